// The formatting drop-downs of the toolbar: the colour, border-style and
// alignment popups under their buttons, what a choice does to the remembered
// values and the selected cells, and the floating pickers a tear-off opens.
#include "ToolbarHandle.h"

#include "KvToolbar.h"
#include "app/KelvarinApp.h"
#include "app/ModuleState.h"
#include "controls/AlignPicker.h"
#include "controls/AlignPopup.h"
#include "controls/BorderPicker.h"
#include "controls/BorderPopup.h"
#include "controls/ColorPicker.h"
#include "controls/ColorPopup.h"
#include "tableops/CellFormatting.h"

#include <QApplication>
#include <QCursor>
#include <QMouseEvent>

#include <cmath>

namespace {

constexpr int kDefaultEntry = -3;
constexpr int kCustomEntry = -2;

// Where a popup opens: its top left at the button's bottom left.
QPoint popupPlace(unsigned buttonId) {
    const QRect rect = kelvarinToolbar().buttonScreenRect(buttonId);
    return rect.isValid() ? rect.bottomLeft() + QPoint(0, 1) : QCursor::pos();
}

// The host colour dialog as the colour popups use it: starting at 0, with
// ByBlock and ByLayer, the layer colour 256. -1 when cancelled.
int hostColorDialog() {
    int color = 0;
    return acedSetColorDialog(color, true, 256) == 1 ? color : -1;
}

// What a colour popup gave: the popup's result turned into a colour index to
// remember (or -3), or nothing.
struct ColorChoice {
    bool chosen = false;
    bool tornOff = false;
    int remembered = -1;
};

ColorChoice runColorPopup(unsigned buttonId, int remembered, const char* defaultText, bool tearOff,
                          QWidget* owner) {
    const QPoint at = popupPlace(buttonId);
    CColorPopup popup(at.x(), at.y(), initialColorFromRemembered(remembered), owner, defaultText,
                      "More Colors...", tearOff);
    ColorChoice choice;
    if (popup.DoModal() != IDOK) {
        choice.tornOff = tearOff && popup.dragging();
        return choice;
    }
    const int selection = popup.selection();
    if (selection == kDefaultEntry) {
        choice.chosen = true;
        choice.remembered = kDefaultEntry;
    } else if (selection == kCustomEntry) {
        const int color = hostColorDialog();
        choice.chosen = color >= 0;
        choice.remembered = color;
    } else if (selection >= 0) {
        const int index = popup.paletteColorIndex();
        choice.chosen = index >= 0 && index <= 256;
        choice.remembered = index;
    }
    return choice;
}

// Shows a floating picker centred under the cursor on its title strip and
// lets it follow the mouse as if the strip had been grabbed.
void showPickerUnderCursor(QWidget* picker, int closeBoxHeight) {
    picker->show();
    const QRect frame = picker->frameGeometry();
    const int w = frame.width();
    const int h = closeBoxHeight;
    const QPoint cursor = QCursor::pos();
    picker->move(cursor.x() + static_cast<int>(std::trunc(-w * 0.5)),
                 cursor.y() + static_cast<int>(std::trunc(-h * 0.5)));
    picker->update();
    const QPointF inStrip(std::trunc(w * 0.5), std::trunc(h * 0.5));
    QMouseEvent press(QEvent::MouseButtonPress, inStrip, picker->mapToGlobal(inStrip),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(picker, &press);
}

} // namespace

void CToolbarHandle::borderColorPopup() {
    ModuleResourceScope resources;
    CKvToolbar& bar = kelvarinToolbar();
    const ColorChoice choice =
        runColorPopup(kvid::kBorderColor, bar.borderColor, "ByBlock", false, m_window);
    if (choice.chosen)
        bar.borderColor = choice.remembered;
    bar.refreshFaces();
}

void CToolbarHandle::fontColorDropDown() {
    CKvToolbar& bar = kelvarinToolbar();
    const ColorChoice choice =
        runColorPopup(kvid::kFontColor, bar.fontColor, "ByBlock", true, m_window);
    if (choice.tornOff) {
        openColorPicker(m_fontPicker, "Font Color", nullptr);
        return;
    }
    if (!choice.chosen)
        return;
    bar.fontColor = choice.remembered;
    bar.refreshFaces();
    // The default entry applies ByBlock (index 0).
    formatSelectionTextColor(colorFromRemembered(choice.remembered));
}

void CToolbarHandle::shadingDropDown() {
    CKvToolbar& bar = kelvarinToolbar();
    const ColorChoice choice =
        runColorPopup(kvid::kShadingColor, bar.shadeColor, "None", true, m_window);
    if (choice.tornOff) {
        openColorPicker(m_shadePicker, "Shade Color", m_window);
        return;
    }
    if (!choice.chosen)
        return;
    bar.shadeColor = choice.remembered;
    bar.refreshFaces();
    applyRememberedShading();
}

void CToolbarHandle::borderStyleDropDown() {
    CKvToolbar& bar = kelvarinToolbar();
    const QPoint at = popupPlace(kvid::kCellsBorder);
    CBorderPopup popup(at.x(), at.y(), nullptr);
    if (popup.DoModal() != IDOK) {
        if (popup.dragging()) {
            if (!m_borderPicker) {
                m_borderPicker = new CBorderPicker(m_window);
                m_borderPicker->Create(m_window);
            }
            showPickerUnderCursor(m_borderPicker, m_borderPicker->closeBoxHeight());
        }
        return;
    }
    const int style = popup.selection();
    if (style < 0 || style >= kBorderStyleCount)
        return;
    bar.setButtonImage(kvid::kCellsBorder, 26 + style);
    bar.borderStyleIndex = style;
    bar.borderStyleName = kBorderStyleNames[style];
    bar.refreshFaces();
    applyRememberedBorderStyle();
}

void CToolbarHandle::alignmentDropDown() {
    CKvToolbar& bar = kelvarinToolbar();
    const QPoint at = popupPlace(kvid::kAlignment);
    CAlignPopup popup(at.x(), at.y(), nullptr);
    if (popup.DoModal() != IDOK) {
        if (popup.dragging()) {
            if (!m_alignPicker) {
                m_alignPicker = new CAlignPicker(m_window);
                m_alignPicker->Create(m_window);
            }
            showPickerUnderCursor(m_alignPicker, m_alignPicker->closeBoxHeight());
        }
        return;
    }
    const int index = popup.selection();
    if (index < 0 || index >= kAlignmentCount)
        return;
    bar.setButtonImage(kvid::kAlignment, 17 + index);
    bar.alignmentIndex = index;
    bar.alignmentName = kAlignmentNames[index];
    bar.refreshFaces();
    applyRememberedAlignment();
}

void CToolbarHandle::openColorPicker(QPointer<CColorPicker>& picker, const char* title,
                                     QWidget* parent) {
    if (!picker) {
        picker = new CColorPicker(parent, title);
        picker->Create(parent);
    }
    showPickerUnderCursor(picker, picker->closeBoxHeight());
}
