#pragma once
// The TABLE command's dialog "Insert Table": columns, rows, column width and
// row height, with the -TABLE command's defaults. OK checks the values and
// reports a bad one in a message box (through the host's message-box service,
// so scripts answer it) with the dialog left open.
//
// Control ids: 1001 columns, 1002 rows, 1003 column width, 1004 row height,
// 1 OK, 2 Cancel.

#include "hostui/table_creation.h"

#include <QDialog>

class QLineEdit;

namespace hostui {

class InsertTableDialog : public QDialog {
    Q_OBJECT
public:
    enum ControlId { kColumns = 1001, kRows = 1002, kColumnWidth = 1003, kRowHeight = 1004 };

    explicit InsertTableDialog(const TableShape& initial, QWidget* parent = nullptr);
    // The values as last accepted.
    TableShape shape() const { return m_shape; }

    void accept() override;

private:
    // The shape from the fields; a message for the first bad field otherwise.
    std::optional<TableShape> readFields(QString& problem, QLineEdit*& badField) const;

    QLineEdit* m_columns;
    QLineEdit* m_rows;
    QLineEdit* m_columnWidth;
    QLineEdit* m_rowHeight;
    TableShape m_shape;
};

} // namespace hostui
