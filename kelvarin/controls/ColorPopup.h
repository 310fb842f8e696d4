#pragma once
// CColorPopup: the drop-down palette of the colour buttons. A modal popup
// with a default box, the 40 swatches, a custom box and, when allowed, a bar
// that tears it off. Layout, hit testing, keys and the pointer rules are
// popupgrid's; this widget paints them and forwards its events.

#include "controls/ColorPalette.h"
#include "controls/PopupGrid.h"

#include <QWidget>

#include <cstdint>
#include <string>

class QEventLoop;

class CColorPopup : public QWidget {
    Q_OBJECT
public:
    CColorPopup(int posX, int posY, std::uint32_t initialColor, QWidget* owner,
                const std::string& defaultText, const std::string& customText, bool tearOffAllowed);
    ~CColorPopup() override;

    // Shows the popup and waits: IDOK or IDCANCEL.
    int DoModal();
    // The entry value: 0..39, -3 default, -2 custom, -1 none.
    int selection() const { return m_selection; }
    // The popup was cancelled by tearing it off.
    bool dragging() const { return m_tornOff; }
    // Host colour index of the chosen swatch, else the entry value itself.
    int paletteColorIndex() const;

    int initialEntry() const { return m_initialEntry; }
    const popupgrid::Layout& layout() const { return m_layout; }
    // Where the popup is (kept inside the screen), in screen coordinates.
    QRect windowRect() const { return m_windowRect; }
    // The tooltip text at a client point: a swatch's name, the bar's hint.
    QString toolTipAt(const QPoint& clientPoint) const;
    bool isOpen() const { return m_loop != nullptr; }

    // Script access: choose an entry as a click on it would (0..39, or a box
    // that is present); anything else leaves the popup open.
    Q_INVOKABLE void chooseEntry(int entry);

    // Forwarded from the tear-off bar (client coordinates of the popup).
    void barPressed(const QPoint& p);
    void barMoved(const QPoint& p, Qt::MouseButtons buttons);
    void barReleased(const QPoint& global);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void setSelection(int entry);
    void end(int result);
    void pointerMoved(const QPoint& p);
    void pointerReleased(const QPoint& global);
    void paintCell(class QPainter& p, int entry);
    void paintBox(class QPainter& p, int entry, const QString& text);
    void setBarHot(bool hot);

    int m_initialEntry = -1;
    int m_selection = -1;
    bool m_tornOff = false;
    bool m_tearOffAllowed;
    QString m_defaultText;
    QString m_customText;
    popupgrid::Layout m_layout;
    popupgrid::PointerRules m_rules;
    QRect m_windowRect;
    QWidget* m_bar = nullptr;
    bool m_barHot = false;
    QEventLoop* m_loop = nullptr;
    int m_result = 2;
};
