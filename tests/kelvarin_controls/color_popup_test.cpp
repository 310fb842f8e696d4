// The colour popup and the floating colour picker as windows (offscreen):
// the popup run modally and driven by keys, clicks and the tear-off bar; the
// picker built from its template, its close box, title strip and commands.
#include "controls/ButtonST.h"
#include "controls/ColorPicker.h"
#include "controls/ColorPopup.h"

#include "support/kelvarin_resources.h"

#include "acwin.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace {

void mouse(QWidget* w, QEvent::Type type, QPoint local, Qt::MouseButton button,
           Qt::MouseButtons buttons) {
    QMouseEvent e(type, QPointF(local), QPointF(w->mapToGlobal(local)), button, buttons,
                  Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}
void press(QWidget* w, QPoint p) {
    mouse(w, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
}
void moveTo(QWidget* w, QPoint p, Qt::MouseButtons buttons = Qt::NoButton) {
    mouse(w, QEvent::MouseMove, p, Qt::NoButton, buttons);
}
void release(QWidget* w, QPoint p) {
    mouse(w, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}
void key(QWidget* w, int k) {
    QKeyEvent e(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

QPoint centre(const popupgrid::Rect& r) {
    return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Runs the popup modally while the steps act on it from inside its loop.
int runWith(CColorPopup& popup, std::function<void()> steps) {
    QTimer::singleShot(0, &popup, [&popup, steps] {
        steps();
        // Whatever the steps left open is closed, so the test never hangs.
        QTimer::singleShot(0, &popup, [&popup] {
            if (popup.isOpen())
                popup.close();
        });
    });
    return popup.DoModal();
}

struct FontPopup : CColorPopup {
    explicit FontPopup(std::uint32_t initial = 0xFFFFFFFFu, bool tearOff = true)
        : CColorPopup(100, 100, initial, nullptr, "ByBlock", "More Colors...", tearOff) {}
};

} // namespace

TEST(ColorPopupWindow, InitialEntryFromTheRememberedColour) {
    EXPECT_EQ(FontPopup(initialColorFromRemembered(1)).initialEntry(), 16); // "Red"
    EXPECT_EQ(FontPopup(initialColorFromRemembered(5)).initialEntry(), 13); // "Blue"
    EXPECT_EQ(FontPopup(initialColorFromRemembered(-3)).initialEntry(), -3);
    EXPECT_EQ(FontPopup(initialColorFromRemembered(-1)).initialEntry(), -1);
    EXPECT_EQ(FontPopup(initialColorFromRemembered(-2)).initialEntry(), -1);
    // Index 10 shows as pure red too; index 11's display colour is on no swatch.
    EXPECT_EQ(FontPopup(initialColorFromRemembered(10)).initialEntry(), 16);
    EXPECT_EQ(FontPopup(initialColorFromRemembered(11)).initialEntry(), -1);
    CColorPopup noDefault(0, 0, kInitialDefaultEntry, nullptr, "", "More Colors...", false);
    EXPECT_EQ(noDefault.initialEntry(), -1);
}

TEST(ColorPopupWindow, TheBarOnlyWithTearOffAndTheTooltips) {
    FontPopup font;
    FontPopup border(0xFFFFFFFFu, false);
    EXPECT_NE(font.findChild<QWidget*>(QStringLiteral("tearOffBar")), nullptr);
    EXPECT_EQ(border.findChild<QWidget*>(QStringLiteral("tearOffBar")), nullptr);
    EXPECT_EQ(font.size(), QSize(font.layout().width(), font.layout().height()));
    EXPECT_EQ(font.layout().height() - border.layout().height(), 8);
    EXPECT_EQ(font.toolTipAt(centre(font.layout().cellRect(16))), QStringLiteral("Red"));
    EXPECT_EQ(font.toolTipAt(centre(font.layout().tearOffRect())),
              QStringLiteral("Drag to make this menu float"));
    EXPECT_TRUE(font.toolTipAt(centre(font.layout().customRect())).isEmpty());
}

TEST(ColorPopupWindow, KeysWalkTheGridAndEnterAccepts) {
    FontPopup popup;
    const int result = runWith(popup, [&] {
        key(&popup, Qt::Key_Down); // custom box
        key(&popup, Qt::Key_Down); // default box
        key(&popup, Qt::Key_Down); // swatch 0
        key(&popup, Qt::Key_Right);
        key(&popup, Qt::Key_Return);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(popup.selection(), 1);
    EXPECT_EQ(popup.paletteColorIndex(), 22);
    EXPECT_FALSE(popup.dragging());

    FontPopup early;
    EXPECT_EQ(runWith(early, [&] { key(&early, Qt::Key_Enter); }), IDOK);
    EXPECT_EQ(early.selection(), -1);
    EXPECT_EQ(early.paletteColorIndex(), -1);

    FontPopup escaped;
    EXPECT_EQ(runWith(escaped,
                      [&] {
                          key(&escaped, Qt::Key_Left);
                          key(&escaped, Qt::Key_Escape);
                      }),
              IDCANCEL);
    EXPECT_EQ(escaped.paletteColorIndex(), -3);
}

TEST(ColorPopupWindow, TheFirstReleaseIsIgnoredThenAClickAccepts) {
    FontPopup popup;
    const QPoint red = centre(popup.layout().cellRect(16));
    bool openAfterFirst = false;
    const int result = runWith(popup, [&] {
        moveTo(&popup, red);
        release(&popup, red);
        openAfterFirst = popup.isOpen();
        const QPoint other = centre(popup.layout().cellRect(26));
        moveTo(&popup, other);
        press(&popup, other);
        release(&popup, other);
    });
    EXPECT_TRUE(openAfterFirst);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(popup.selection(), 26);
    EXPECT_EQ(popup.paletteColorIndex(), 2); // "Yellow"
}

TEST(ColorPopupWindow, WithoutTearOffTheFirstReleaseCountsAndMarginsGiveNothing) {
    FontPopup border(0xFFFFFFFFu, false);
    const popupgrid::Rect cell = border.layout().cellRect(0);
    const QPoint margin(cell.left - 2, cell.top + 4);
    EXPECT_EQ(runWith(border,
                      [&] {
                          moveTo(&border, centre(cell));
                          moveTo(&border, margin);
                          release(&border, margin);
                      }),
              IDOK);
    EXPECT_EQ(border.selection(), -1);

    FontPopup outside(0xFFFFFFFFu, false);
    EXPECT_EQ(runWith(outside, [&] { press(&outside, QPoint(-30, -30)); }), IDCANCEL);
    FontPopup chosen;
    EXPECT_EQ(runWith(chosen, [&] { chosen.chooseEntry(-2); }), IDOK);
    EXPECT_EQ(chosen.paletteColorIndex(), -2);
}

TEST(ColorPopupWindow, DraggingTheBarTenPixelsKeepsElevenTearsOff) {
    FontPopup popup;
    auto* bar = popup.findChild<QWidget*>(QStringLiteral("tearOffBar"));
    ASSERT_NE(bar, nullptr);
    const QPoint start = bar->rect().center();
    bool openAtTen = false;
    const int result = runWith(popup, [&] {
        press(bar, start);
        moveTo(bar, start + QPoint(10, -10), Qt::LeftButton);
        openAtTen = popup.isOpen();
        moveTo(bar, start + QPoint(0, 11), Qt::LeftButton);
    });
    EXPECT_TRUE(openAtTen);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(popup.dragging());

    // Escape while the bar is held is a cancel, not a tear-off.
    FontPopup held;
    auto* heldBar = held.findChild<QWidget*>(QStringLiteral("tearOffBar"));
    EXPECT_EQ(runWith(held,
                      [&] {
                          press(heldBar, start);
                          key(&held, Qt::Key_Escape);
                      }),
              IDCANCEL);
    EXPECT_FALSE(held.dragging());
}

TEST(ColorPopupWindow, AScriptedDragPastTheThresholdStaysATearOff) {
    // As scripts drag the bar: press, moves of 20 pixels, a release after
    // the popup has already ended.
    FontPopup popup;
    auto* bar = popup.findChild<QWidget*>(QStringLiteral("tearOffBar"));
    const QPoint start = bar->rect().center();
    bool invalidLeftOpen = false;
    EXPECT_EQ(runWith(popup,
                      [&] {
                          popup.chooseEntry(40);
                          popup.chooseEntry(-1);
                          invalidLeftOpen = popup.isOpen();
                          press(bar, start);
                          for (int step = 1; step <= 4; ++step)
                              moveTo(bar, start + QPoint(0, 20 * step), Qt::LeftButton);
                          release(bar, start + QPoint(0, 80));
                      }),
              IDCANCEL);
    EXPECT_TRUE(invalidLeftOpen);
    EXPECT_TRUE(popup.dragging());
}

TEST(ColorPopupWindow, StaysInsideTheScreen) {
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    CColorPopup popup(screen.right() - 5, screen.bottom() - 5, 0, nullptr, "None", "More Colors...",
                      true);
    EXPECT_TRUE(screen.contains(popup.windowRect())) << popup.windowRect().x();
    EXPECT_EQ(popup.windowRect().size(), popup.size());
}

TEST(ColorPickerWindow, BuiltFromItsTemplate) {
    CColorPicker missing(nullptr, "Font Color");
    EXPECT_FALSE(missing.Create(nullptr)) << "without the add-in's resources";
    EXPECT_EQ(missing.closeBoxHeight(), 0);

    KelvarinResources resources;
    CColorPicker picker(nullptr, "Shade Color");
    EXPECT_EQ(picker.closeBoxHeight(), 0);
    ASSERT_TRUE(picker.Create(nullptr));
    EXPECT_FALSE(picker.isVisible());
    EXPECT_EQ(picker.windowTitle(), QStringLiteral("Shade Color"));
    EXPECT_EQ(picker.closeBoxHeight(), 13);
    EXPECT_EQ(picker.closeBox(), QRect(picker.width() - 15, 1, 15, 13));
    for (int e = 0; e < 40; ++e) {
        CButtonST* b = picker.button(202 + e);
        ASSERT_NE(b, nullptr) << e;
        EXPECT_EQ(b->swatchMode(), 0);
        EXPECT_EQ(b->swatchColor(), CButtonST::fromWindowsColor(colorPalette[e].color));
        EXPECT_EQ(b->toolTip(), QString::fromLatin1(colorPalette[e].name));
        EXPECT_EQ(b->property("controlId").toInt(), 202 + e);
    }
    EXPECT_EQ(picker.button(200)->text(), QStringLiteral("ByBlock"));
    EXPECT_EQ(picker.button(200)->swatchMode(), 1);
    EXPECT_EQ(picker.button(201)->text(), QStringLiteral("More Colors..."));
    EXPECT_EQ(picker.button(201)->swatchMode(), 2);
    // Rows of swatches in template order, below "ByBlock", above the line.
    EXPECT_LT(picker.button(200)->geometry().bottom(), picker.button(202)->geometry().top());
    EXPECT_EQ(picker.button(203)->geometry().left(), picker.button(202)->geometry().right() + 1);
    EXPECT_LT(picker.button(241)->geometry().bottom(), picker.button(201)->geometry().top());
    EXPECT_LE(picker.titleStrip().bottom(), picker.button(200)->geometry().top());
}

TEST(ColorPickerWindow, CloseBoxTitleStripAndKeepFocus) {
    KelvarinResources resources;
    CColorPicker picker(nullptr, "Font Color");
    ASSERT_TRUE(picker.Create(nullptr));
    picker.move(200, 200);
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    const QPoint box = picker.closeBox().center();

    // Pressed on the close box, released off it: the picker stays.
    press(&picker, box);
    moveTo(&picker, QPoint(5, 40), Qt::LeftButton);
    release(&picker, QPoint(5, 40));
    EXPECT_TRUE(picker.isVisible());

    // The synthetic grab of the strip: the picker follows the mouse.
    const QPoint grab(picker.width() / 2, picker.closeBoxHeight() / 2);
    const QPoint before = picker.pos();
    press(&picker, grab);
    EXPECT_TRUE(picker.moving());
    moveTo(&picker, grab + QPoint(30, 20), Qt::LeftButton);
    EXPECT_EQ(picker.pos(), before + QPoint(30, 20));
    release(&picker, grab);
    EXPECT_FALSE(picker.moving());

    EXPECT_TRUE(picker.keepsFocusAt(picker.frameGeometry().center()));
    EXPECT_FALSE(picker.keepsFocusAt(picker.frameGeometry().bottomRight() + QPoint(5, 5)));

    press(&picker, box);
    release(&picker, box);
    EXPECT_FALSE(picker.isVisible());
    EXPECT_FALSE(picker.keepsFocusAt(picker.frameGeometry().center()));
}

TEST(ColorPickerWindow, MoreColorsAsksTheDialogOnEachClick) {
    KelvarinResources resources;
    CColorPicker picker(nullptr, "Font Color");
    ASSERT_TRUE(picker.Create(nullptr));
    int asked = 0;
    picker.setColorDialog([&](int&) {
        ++asked;
        return 0; // cancelled: nothing is applied
    });
    picker.clickControl(201);
    EXPECT_EQ(asked, 1);
    picker.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&picker));
    // The platform's double click: down, up, double click, up.
    CButtonST* more = picker.button(201);
    const QPoint at = more->rect().center();
    press(more, at);
    release(more, at);
    mouse(more, QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    release(more, at);
    EXPECT_EQ(asked, 3) << "a double click is two clicks";
    picker.clickControl(1001);
    picker.clickControl(5);
    EXPECT_EQ(asked, 3);
}

TEST(ColorPickerWindow, KeptInsideTheScreen) {
    KelvarinResources resources;
    CColorPicker picker(nullptr, "Font Color");
    ASSERT_TRUE(picker.Create(nullptr));
    picker.show();
    const QRect screen = picker.screen()->availableGeometry();
    picker.move(screen.right() + 100, screen.bottom() + 100);
    EXPECT_TRUE(screen.contains(picker.frameGeometry()));
}
