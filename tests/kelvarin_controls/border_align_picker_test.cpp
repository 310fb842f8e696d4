// The border and alignment popups and floating pickers as windows
// (offscreen): a click on a picture after the opening click, the margin's
// empty accept, tear-off at 11 pixels and not at 10, Escape with the bar
// held, the keys, a press outside, the tooltips, pictures painted centred,
// and the pickers' buttons, close box, title strip and application of their
// clicks.
#include "controls/AlignPicker.h"
#include "controls/AlignPopup.h"
#include "controls/BorderPicker.h"
#include "controls/BorderPopup.h"
#include "controls/ButtonST.h"
#include "controls/Caption.h"

#include "acuiresources.h"
#include "acwin.h"
#include "support/kelvarin_resources.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QHelpEvent>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QScreen>
#include <QTimer>
#include <QToolTip>
#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace {

void mouse(QWidget& w, QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::LeftButton,
           Qt::MouseButtons held = Qt::LeftButton) {
    QMouseEvent e(type, QPointF(at), w.mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(&w, &e);
}

void click(QWidget& w, QPoint at) {
    mouse(w, QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    mouse(w, QEvent::MouseButtonPress, at);
    mouse(w, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

void key(QWidget& w, int k) {
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
}

// Runs the popup modally while `drive` acts on it; the popup is closed as
// cancelled if the steps leave it open, so a failing test never hangs.
int runWith(CItemPopup& popup, const std::function<void()>& drive) {
    QTimer::singleShot(0, &popup, [&] {
        drive();
        if (popup.isVisible())
            QTimer::singleShot(0, &popup, [&] { popup.close(); });
    });
    return popup.DoModal();
}

// The opening click's release, which must not end the popup.
void openingRelease(CItemPopup& p) {
    mouse(p, QEvent::MouseButtonRelease, p.cellRect(2).center(), Qt::LeftButton, Qt::NoButton);
}

class RecordingBorderPicker : public CBorderPicker {
public:
    using CBorderPicker::CBorderPicker;
    std::vector<int> applied;

protected:
    void applyItem(int style) override { applied.push_back(style); }
};

class RecordingAlignPicker : public CAlignPicker {
public:
    using CAlignPicker::CAlignPicker;
    std::vector<int> applied;

protected:
    void applyItem(int item) override { applied.push_back(item); }
};

} // namespace

TEST(BorderPopupWindow, OpeningReleaseIgnoredThenAClickOnAPictureAccepts) {
    KelvarinResources resources;
    CBorderPopup popup(40, 50, nullptr);
    EXPECT_EQ(popup.windowRect(), QRect(40, 50, 131, 70));
    bool openAfterFirstRelease = false;
    const int result = runWith(popup, [&] {
        openingRelease(popup);
        openAfterFirstRelease = popup.isVisible();
        click(popup, popup.cellRect(7).center());
    });
    EXPECT_TRUE(openAfterFirstRelease);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(popup.selection(), 7);
    EXPECT_FALSE(popup.dragging());
}

TEST(BorderPopupWindow, ReleaseOnTheMarginAcceptsNothingAndPressOutsideCancels) {
    KelvarinResources resources;
    CBorderPopup margin(40, 50, nullptr);
    EXPECT_EQ(runWith(margin,
                      [&] {
                          openingRelease(margin);
                          click(margin, QPoint(3, 40));
                      }),
              IDOK);
    EXPECT_EQ(margin.selection(), -1);

    CAlignPopup outside(40, 50, nullptr);
    EXPECT_EQ(runWith(outside,
                      [&] {
                          mouse(outside, QEvent::MouseMove, outside.cellRect(4).center(),
                                Qt::NoButton, Qt::NoButton);
                          mouse(outside, QEvent::MouseButtonPress, QPoint(300, 300));
                      }),
              IDCANCEL);
    EXPECT_EQ(outside.selection(), -1);
    EXPECT_FALSE(outside.dragging());
}

TEST(BorderPopupWindow, TenPixelsOnTheBarKeepElevenTearOff) {
    KelvarinResources resources;
    CBorderPopup popup(40, 50, nullptr);
    bool keptAtTen = false;
    bool barLit = false;
    const int result = runWith(popup, [&] {
        const QPoint start = popup.tearOffRect().center();
        mouse(popup, QEvent::MouseMove, start, Qt::NoButton, Qt::NoButton);
        barLit = popup.tearOffHot();
        mouse(popup, QEvent::MouseButtonPress, start);
        mouse(popup, QEvent::MouseMove, start + QPoint(10, -10));
        keptAtTen = popup.isVisible() && !popup.dragging();
        mouse(popup, QEvent::MouseMove, start + QPoint(0, 11));
    });
    EXPECT_TRUE(barLit);
    EXPECT_TRUE(keptAtTen);
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(popup.dragging());
    EXPECT_EQ(popup.selection(), -1);

    // Escape while the bar is held is a cancel, not a tear-off: the caller
    // opens no floating picker.
    CAlignPopup held(40, 50, nullptr);
    EXPECT_EQ(runWith(held,
                      [&] {
                          mouse(held, QEvent::MouseButtonPress, held.tearOffRect().center());
                          key(held, Qt::Key_Escape);
                      }),
              IDCANCEL);
    EXPECT_FALSE(held.dragging());
}

TEST(AlignPopupWindow, KeysMoveTheHighlightAndEndThePopup) {
    KelvarinResources resources;
    CAlignPopup enter(40, 50, nullptr);
    EXPECT_EQ(runWith(enter,
                      [&] {
                          key(enter, Qt::Key_Down);  // none -> Top Left
                          key(enter, Qt::Key_Down);  // Middle Left
                          key(enter, Qt::Key_Right); // Middle Center
                          key(enter, Qt::Key_Right); // Middle Right
                          key(enter, Qt::Key_Right); // Bottom Left
                          key(enter, Qt::Key_Return);
                      }),
              IDOK);
    EXPECT_EQ(enter.selection(), 6);

    CAlignPopup escape(40, 50, nullptr);
    EXPECT_EQ(runWith(escape,
                      [&] {
                          key(escape, Qt::Key_Up);
                          key(escape, Qt::Key_Escape);
                      }),
              IDCANCEL);
    EXPECT_EQ(escape.selection(), -1);
}

TEST(AlignPopupWindow, ScriptChoiceAndTearOff) {
    KelvarinResources resources;
    CAlignPopup chosen(40, 50, nullptr);
    EXPECT_EQ(runWith(chosen, [&] { chosen.chooseEntry(8); }), IDOK);
    EXPECT_EQ(chosen.selection(), 8);

    CAlignPopup beyond(40, 50, nullptr);
    EXPECT_EQ(runWith(beyond, [&] { beyond.chooseEntry(9); }), IDOK);
    EXPECT_EQ(beyond.selection(), -1) << "no such item: nothing chosen, nothing left open";

    CAlignPopup torn(40, 50, nullptr);
    EXPECT_EQ(runWith(torn, [&] { torn.tearOff(); }), IDCANCEL);
    EXPECT_TRUE(torn.dragging());
}

TEST(BorderPopupWindow, TooltipsNameThePicturesAndTheBar) {
    KelvarinResources resources;
    CBorderPopup border(40, 50, nullptr);
    CAlignPopup align(40, 50, nullptr);
    // The names of the first, a middle and the last cell of each grid.
    const std::pair<int, const char*> borders[] = {
        {0, "All Borders"}, {7, "Inside Horizontal Border"}, {9, "No Border"}};
    const std::pair<int, const char*> alignments[] = {
        {0, "Top Left"}, {4, "Middle Center"}, {8, "Bottom Right"}};
    for (const auto& [i, name] : borders)
        EXPECT_EQ(border.toolTipAt(border.cellRect(i).center()), QString::fromUtf8(name));
    for (const auto& [i, name] : alignments)
        EXPECT_EQ(align.toolTipAt(align.cellRect(i).center()), QString::fromUtf8(name));
    for (CItemPopup* p : {static_cast<CItemPopup*>(&border), static_cast<CItemPopup*>(&align)}) {
        EXPECT_EQ(p->toolTipAt(p->tearOffRect().center()),
                  QStringLiteral("Drag to make this menu float"));
        EXPECT_TRUE(p->toolTipAt(QPoint(3, 40)).isEmpty()) << "the margin has none";
    }

    // The help event the window system sends shows that text.
    QString shown;
    runWith(border, [&] {
        const QPoint at = border.cellRect(3).center();
        QHelpEvent help(QEvent::ToolTip, at, border.mapToGlobal(at));
        QApplication::sendEvent(&border, &help);
        shown = QToolTip::text();
        QToolTip::hideText();
        key(border, Qt::Key_Escape);
    });
    EXPECT_EQ(shown, QStringLiteral("Left Border"));
}

TEST(BorderPopupWindow, PicturesAreDrawnCentredAndOpaqueAndTheWindowStaysOnScreen) {
    KelvarinResources resources;
    CBorderPopup popup(0, 0, nullptr);
    const QImage picture = acuiLoadBitmap(std::string(kBorderItems[3].bitmapName))
                               .toImage()
                               .convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(picture.size(), QSize(13, 13));
    const QImage shot = popup.grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QRect cell = popup.cellRect(3);
    const QPoint origin = cell.topLeft() + QPoint((23 - 13) / 2, (23 - 13) / 2);
    for (int y = 0; y < 13; ++y)
        for (int x = 0; x < 13; ++x)
            ASSERT_EQ(shot.pixel(origin + QPoint(x, y)), picture.pixel(x, y)) << x << "," << y;
    EXPECT_EQ(QColor(shot.pixel(popup.tearOffRect().center())), caption::inactive());

    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    CBorderPopup corner(screen.right() - 10, screen.bottom() - 10, nullptr);
    EXPECT_TRUE(screen.contains(corner.windowRect())) << "opened at the screen's corner";
}

TEST(FloatingPickers, BuiltFromTheirTemplatesHiddenWithPicturesAndIds) {
    KelvarinResources resources;
    QWidget owner;
    RecordingBorderPicker border(&owner);
    EXPECT_EQ(border.closeBoxHeight(), 0);
    ASSERT_TRUE(border.Create(&owner));
    EXPECT_FALSE(border.isVisible());
    EXPECT_EQ(border.windowTitle(), "Border");
    EXPECT_EQ(border.closeBoxHeight(), 13);
    EXPECT_EQ(border.closeBox().width(), 15);
    EXPECT_EQ(border.closeBox().right(), border.width() - 1);
    for (int i = 0; i < kBorderItemCount; ++i) {
        CButtonST* b = border.itemButton(i);
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(b->property("controlId").toInt(), 1005 + i);
        EXPECT_EQ(b->toolTip(), QString(kBorderItems[i].name));
        EXPECT_EQ(b->picture().size(), QSize(13, 13)) << i;
    }
    // Second row below the first, same columns.
    EXPECT_EQ(border.itemButton(5)->x(), border.itemButton(0)->x());
    EXPECT_GT(border.itemButton(5)->y(), border.itemButton(0)->geometry().bottom());

    RecordingAlignPicker align(&owner);
    ASSERT_TRUE(align.Create(&owner));
    EXPECT_EQ(align.windowTitle(), "Alignment");
    EXPECT_EQ(align.itemButton(8)->property("controlId").toInt(), 1023);
    EXPECT_EQ(align.itemButton(8)->picture().size(), QSize(14, 14));
    EXPECT_EQ(align.itemButton(9), nullptr);

    // The title fits beside the close box, in a smaller caption font where
    // the desktop's is too wide for the narrow alignment picker; a title
    // with room keeps the desktop's size.
    const int room = align.titleStrip().width() - 1 - align.closeBox().width();
    const QFont fitted = caption::fitted(QStringLiteral("Alignment"), room);
    EXPECT_LE(QFontMetrics(fitted).horizontalAdvance(QStringLiteral("Alignment")), room);
    EXPECT_TRUE(fitted.bold());
    EXPECT_EQ(caption::fitted(QStringLiteral("Border"), 1000).pointSizeF(),
              QFontDatabase::systemFont(QFontDatabase::TitleFont).pointSizeF());
}

TEST(FloatingPickers, ClicksApplyTheirItemAndScriptsReachTheButtons) {
    KelvarinResources resources;
    QWidget owner;
    RecordingAlignPicker align(&owner);
    ASSERT_TRUE(align.Create(&owner));
    align.show();
    align.itemButton(4)->click();
    align.clickControl(1015);
    align.clickControl(1024); // no such button
    EXPECT_EQ(align.applied, (std::vector<int>{4, 0}));

    RecordingBorderPicker border(&owner);
    ASSERT_TRUE(border.Create(&owner));
    border.clickControl(1014);
    EXPECT_EQ(border.applied, (std::vector<int>{9}));
}

TEST(FloatingPickers, TheBorderSettingsAreReadAtEachClick) {
    int weight = 25;
    int asked = 0;
    CBorderPicker::setSettingsSource([&] {
        ++asked;
        return CBorderPicker::Settings{5, weight};
    });
    EXPECT_EQ(CBorderPicker::currentSettings().lineWeight, 25);
    weight = 50;
    const CBorderPicker::Settings s = CBorderPicker::currentSettings();
    EXPECT_EQ(s.lineWeight, 50);
    EXPECT_EQ(s.rememberedBorderColor, 5);
    EXPECT_EQ(asked, 2);
    CBorderPicker::setSettingsSource({});
    EXPECT_EQ(CBorderPicker::currentSettings().rememberedBorderColor, -1);
}

TEST(FloatingPickers, CloseBoxHidesAndTheTitleStripMovesTheWindow) {
    KelvarinResources resources;
    QWidget owner;
    RecordingBorderPicker picker(&owner);
    ASSERT_TRUE(picker.Create(&owner));
    picker.move(200, 200);
    picker.show();
    const QPoint box = picker.closeBox().center();
    EXPECT_TRUE(picker.keepsFocusAt(picker.mapToGlobal(QPoint(2, 20))));
    EXPECT_FALSE(picker.keepsFocusAt(picker.mapToGlobal(QPoint(-3, 20))));

    // Pushed, then moved off: drawn normal again, and the release does not close.
    mouse(picker, QEvent::MouseButtonPress, box);
    EXPECT_TRUE(picker.closeBoxPushed());
    mouse(picker, QEvent::MouseMove, QPoint(5, 30));
    EXPECT_FALSE(picker.closeBoxPushed());
    mouse(picker, QEvent::MouseButtonRelease, QPoint(5, 30), Qt::LeftButton, Qt::NoButton);
    EXPECT_TRUE(picker.isVisible());

    mouse(picker, QEvent::MouseButtonPress, box);
    mouse(picker, QEvent::MouseButtonRelease, box, Qt::LeftButton, Qt::NoButton);
    EXPECT_FALSE(picker.isVisible()) << "hidden, kept for the next tear-off";
    EXPECT_TRUE(picker.applied.empty());

    picker.show();
    const QPoint before = picker.pos();
    const QPoint grip(10, picker.titleStrip().center().y());
    mouse(picker, QEvent::MouseButtonPress, grip);
    QMouseEvent drag(QEvent::MouseMove, QPointF(grip + QPoint(30, 20)),
                     picker.mapToGlobal(QPointF(grip)) + QPointF(30, 20), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&picker, &drag);
    mouse(picker, QEvent::MouseButtonRelease, grip, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(picker.pos(), before + QPoint(30, 20));
    EXPECT_FALSE(picker.moving());
}

TEST(FloatingPickers, ShownOrDraggedOffTheScreenComesBackInside) {
    KelvarinResources resources;
    QWidget owner;
    RecordingAlignPicker picker(&owner);
    ASSERT_TRUE(picker.Create(&owner));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    picker.move(screen.right() - 5, screen.bottom() - 5);
    picker.show();
    EXPECT_TRUE(screen.contains(picker.frameGeometry())) << "placed at the screen's corner";
    picker.move(-200, -200);
    EXPECT_TRUE(screen.contains(picker.frameGeometry())) << "dragged off the top left";
}
