#pragma once
// CItemPicker: the floating form of the border and alignment drop-downs, a
// modeless window built from its dialog template: a title strip that moves
// the window, a close box that hides it, and one flat button per item whose
// click applies the item to the selected cells at once.

#include "controls/PickerCommands.h"
#include "controls/PickerItems.h"

#include <QDialog>
#include <QFont>
#include <QPoint>
#include <QRect>

#include <vector>

class CButtonST;

class CItemPicker : public QDialog {
    Q_OBJECT
public:
    CItemPicker(QWidget* owner, const char* title, const ItemTable* items, int count,
                unsigned templateId, int firstId);

    // Builds the window from the template, modeless and hidden; false when
    // the template is missing or malformed (nothing is built then).
    bool Create(QWidget* parent);
    int closeBoxHeight() const { return m_closeBox.height(); }
    QRect closeBox() const { return m_closeBox; }
    QRect titleStrip() const { return m_titleStrip; }
    bool closeBoxPushed() const { return m_closePushed; }
    bool moving() const { return m_movingWindow; }
    CButtonST* itemButton(int item) const;
    int itemCount() const { return m_count; }

    // The host's keep-focus query: the cursor lies on the (shown) picker.
    bool keepsFocusAt(const QPoint& globalCursor) const;
    Q_INVOKABLE int keepFocusQuery() const;

    // Script automation: the button with this control id, as a click.
    Q_INVOKABLE void clickControl(int id);

signals:
    void itemApplied(int item);

protected:
    // Applies item `item` to the selected cells.
    virtual void applyItem(int item) = 0;

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void onItem(int item);
    void setClosePushed(bool pushed);
    void keepOnScreen();

    const ItemTable* m_items;
    int m_count;
    unsigned m_templateId;
    int m_firstId;
    QString m_title;
    std::vector<CButtonST*> m_buttons;
    QRect m_titleStrip;
    QRect m_closeBox;
    QFont m_captionFont;
    bool m_closePushed = false;
    bool m_movingWindow = false;
    bool m_keeping = false;
    QPoint m_grabOffset;
};
