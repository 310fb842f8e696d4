#pragma once
// The host colour dialog "Select Color" behind acedSetColorDialog: the 255
// colour indices as swatches (9 standard colours, 240 hues, 6 greys),
// ByLayer and ByBlock buttons when meta colours are allowed, the index typed
// in a box, OK and Cancel. The box is what OK takes: a swatch or button
// writes its index there; a bad entry is reported in a message box (through
// the host's message-box service, so scripts answer it) and the dialog stays
// open. A double-click on a swatch chooses it and closes the dialog.
//
// Control ids: 1001 index box, 1002 ByLayer, 1003 ByBlock, 2000 + N the
// swatch of index N (2001..2255), 1 OK, 2 Cancel.

#include "cadhost/ui_services.h"

#include <QAbstractButton>
#include <QDialog>
#include <array>

class QLabel;
class QLineEdit;
class QPushButton;

namespace hostui {

// One colour index drawn as a filled square; checked when it is the choice.
class ColorSwatch : public QAbstractButton {
    Q_OBJECT
public:
    ColorSwatch(int index, int side, QWidget* parent);
    int colorIndex() const { return m_index; }
    QSize sizeHint() const override;

signals:
    void doubleClicked(int index);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    int m_index;
    int m_side;
};

class ColorDialog : public QDialog {
    Q_OBJECT
public:
    enum ControlId { kIndexBox = 1001, kByLayer = 1002, kByBlock = 1003, kSwatchBase = 2000 };

    explicit ColorDialog(const cadhost::ColorDialogRequest& request, QWidget* parent = nullptr);
    // The index last accepted.
    int chosenIndex() const { return m_chosen; }
    ColorSwatch* swatch(int index) const;

    void accept() override;

private:
    void choose(int index);
    void entryEdited();
    void showEntry();

    cadhost::ColorDialogRequest m_request;
    std::array<ColorSwatch*, 256> m_swatches{}; // by index, 1..255
    QLineEdit* m_box;
    QLabel* m_preview;
    QLabel* m_description;
    QPushButton* m_byLayer = nullptr;
    QPushButton* m_byBlock = nullptr;
    int m_chosen;
};

// The colour dialog service: the dialog above, modal over the active window.
class QtColorDialogs : public cadhost::ColorDialogService {
public:
    std::optional<int> chooseColor(const cadhost::ColorDialogRequest& request) override;
};

} // namespace hostui
