#pragma once
// CItemPopup: the drop-down grid of pictures under the Cells Border and
// Alignment buttons, run modally. It holds the mouse (a Qt popup) for its
// whole life, keeps the item under the pointer or the keyboard highlight as
// its selection, and ends accepted or cancelled; a drag of its tear-off bar
// ends it cancelled with dragging() set, the caller then opens the floating
// picker. Geometry, hit testing, keys and pointer rules are itemgrid's and
// popupgrid's; this class paints and forwards events.

#include "controls/PickerItems.h"

#include <QPixmap>
#include <QWidget>

#include <vector>

class QEventLoop;

class CItemPopup : public QWidget {
    Q_OBJECT
public:
    CItemPopup(const ItemTable* items, const itemgrid::Layout& layout, int posX, int posY,
               QWidget* owner);
    ~CItemPopup() override;

    int DoModal(); // IDOK or IDCANCEL
    int selection() const { return m_selection; }
    // The popup was cancelled by tearing it off (a press on the bar that
    // ended in Escape or a close is a plain cancel).
    bool dragging() const { return m_tornOff; }
    bool firstReleaseSeen() const { return m_rules.firstReleaseSeen(); }

    const itemgrid::Layout& layout() const { return m_layout; }
    // Screen rectangle the popup takes (kept inside the screen).
    QRect windowRect() const { return m_windowRect; }
    QRect cellRect(int item) const;
    QRect tearOffRect() const;
    bool tearOffHot() const { return m_tearOffHot; }
    // The tooltip text at a client point: an item's name, the bar's hint.
    QString toolTipAt(const QPoint& clientPoint) const;

    // Script automation: choose an item as a click would (accepted; an index
    // outside the table accepts nothing), or tear the popup off.
    Q_INVOKABLE void chooseEntry(int item);
    Q_INVOKABLE void tearOff();

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void setSelection(int item);
    void finish(int result);
    void paintCell(class QPainter& p, int item);

    const ItemTable* m_items;
    itemgrid::Layout m_layout;
    int m_posX, m_posY;
    QRect m_windowRect;
    std::vector<QPixmap> m_pictures;
    popupgrid::PointerRules m_rules{true};
    int m_selection = -1;
    bool m_tornOff = false;
    bool m_tearOffHot = false;
    int m_result = 0;
    QEventLoop* m_loop = nullptr;
};
