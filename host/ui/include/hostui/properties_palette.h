#pragma once
// The PROPERTIES palette: a read-only list of the selected cells' alignment,
// text colour, fill and borders, following the in-place cell selection.

#include "cadhost/cell_selection.h"

#include <QWidget>

class QLabel;
class QTableWidget;

namespace hostui {

class PropertiesPalette : public QWidget, public cadhost::CellSelectionListener {
    Q_OBJECT
public:
    explicit PropertiesPalette(QWidget* parent = nullptr);
    ~PropertiesPalette() override;

    void cellSelectionChanged(const std::optional<cadhost::CellSelectionState>& state) override;
    // Reads the current selection again (the cells may have been edited).
    void refresh();

    // The value shown for a label ("Alignment"), empty when there is no such row.
    QString valueOf(const QString& label) const;

private:
    QLabel* m_heading;
    QTableWidget* m_rows;
};

} // namespace hostui
