#pragma once
// CColorPicker: the floating colour palette ("Font Color", "Shade Color"),
// built from dialog template 200. It stays open and applies each click to
// the selected cells itself; its title strip moves it and its close box
// hides it.

#include "controls/PickerCommands.h"

#include <QDialog>
#include <QFont>

#include <string>
#include <vector>

class CButtonST;

class CColorPicker : public QDialog {
    Q_OBJECT
public:
    CColorPicker(QWidget* owner, const std::string& title);

    // Builds the controls from template 200, modeless and hidden; false when
    // the template is missing or malformed.
    bool Create(QWidget* parent);
    // The close box's height: 13 once created, 0 before.
    int closeBoxHeight() const { return m_closeBox.height(); }
    QRect closeBox() const { return m_closeBox; }
    QRect titleStrip() const { return m_titleStrip; }
    // The host's keep-focus query: the cursor lies on the picker.
    bool keepsFocusAt(const QPoint& globalCursor) const;
    Q_INVOKABLE int keepFocusQuery() const;

    // Script access: the command of button id (200..241), as a click.
    Q_INVOKABLE void clickControl(int id);
    CButtonST* button(int id) const;
    bool moving() const { return m_moving; }

    // The colour dialog behind "More Colors..." (tests put their own).
    void setColorDialog(PickerColorDialog dialog) { m_colorDialog = std::move(dialog); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void onCommand(int id);
    void keepOnScreen();

    std::string m_title;
    std::vector<CButtonST*> m_buttons; // by id - 200
    QRect m_titleStrip;
    QRect m_closeBox;
    QFont m_captionFont;
    bool m_closePushed = false;
    bool m_moving = false;
    QPoint m_grabOffset;
    bool m_keeping = false;
    PickerColorDialog m_colorDialog;
};
