// The drop-down palettes without windows: the colour popup's geometry with
// and without tear-off bar and boxes, hit testing at cell edges and margins,
// the keyboard table, the tear-off threshold and the first-release rule.
#include "controls/PopupGrid.h"

#include <gtest/gtest.h>

using namespace popupgrid;

namespace {

GridParams colourSpec(bool tearOff, bool boxes = true) {
    GridParams s;
    s.tearOff = tearOff;
    s.hasDefault = boxes;
    s.hasCustom = boxes;
    s.textWidth = 80;
    s.textHeight = 13;
    return s;
}

} // namespace

TEST(PopupLayout, ColourPopupWithTearOffAndBothBoxes) {
    const Layout l(colourSpec(true)); // m = 2, B = 18, Th = 13 + 8 + 2 = 23
    EXPECT_EQ(l.columns(), 8);
    EXPECT_EQ(l.rows(), 5);
    EXPECT_EQ(l.boxSize(), 18);
    EXPECT_EQ(l.width(), 8 * 18 + 16);
    EXPECT_EQ(l.tearOffRect(), (Rect{4, 4, 156, 12}));
    EXPECT_EQ(l.defaultRect(), (Rect{8, 14, 152, 23 + 16}));
    // The grid starts where the default box ends, not under it.
    EXPECT_EQ(l.gridTop(), l.defaultRect().bottom);
    EXPECT_EQ(l.cellRect(0), (Rect{8, 39, 26, 57}));
    EXPECT_EQ(l.cellRect(39), (Rect{8 + 7 * 18, 39 + 4 * 18, 8 + 8 * 18, 39 + 5 * 18}));
    // H = 5B + 8m, + default (2m + Th + m), custom box at that height.
    const int beforeCustom = 90 + 16 + 6 + 23;
    EXPECT_EQ(l.customRect(), (Rect{8, beforeCustom, 152, beforeCustom + 2 + 23}));
    EXPECT_EQ(l.height(), beforeCustom + 6 + 23);
}

TEST(PopupLayout, WithoutTearOffTheGridMovesUpAndThereIsNoBar) {
    const Layout l(colourSpec(false));
    EXPECT_TRUE(l.tearOffRect().isEmpty());
    EXPECT_EQ(l.defaultRect(), (Rect{8, 6, 152, 23 + 8}));
    EXPECT_EQ(l.gridTop(), 23 + 8);
    EXPECT_EQ(l.height(), 90 + 8 + 2 * (6 + 23));
}

TEST(PopupLayout, WideTextsWidenTheWindowAndSmallCellsGrow) {
    GridParams s = colourSpec(false);
    s.textWidth = 300;
    const Layout wide(s);
    EXPECT_EQ(wide.width(), 304);
    EXPECT_EQ(wide.customRect().right, 296);
    EXPECT_EQ(wide.defaultRect().right, 296);

    GridParams small = colourSpec(false, false);
    small.boxSize = 8;
    EXPECT_EQ(Layout(small).boxSize(), 11);
    small.boxSize = 11;
    EXPECT_EQ(Layout(small).boxSize(), 11);
    const Layout plain(small);
    EXPECT_EQ(plain.height(), 5 * 11 + 8);
    EXPECT_TRUE(plain.defaultRect().isEmpty());
}

TEST(PopupLayout, OtherGridSizesForTheOtherPalettes) {
    GridParams s;
    s.count = 10;
    s.columns = 4;
    s.boxSize = 24;
    const Layout l(s);
    EXPECT_EQ(l.rows(), 3);
    EXPECT_EQ(l.hitTest(l.cellRect(9).left + 1, l.cellRect(9).top + 1), 9);
    // Row 2 holds only two cells.
    EXPECT_EQ(l.hitTest(l.cellRect(9).right + 2, l.cellRect(9).top + 1), kNoEntry);
    EXPECT_TRUE(l.cellRect(10).isEmpty());
}

TEST(PopupHitTest, CellsBoxesAndMargins) {
    const Layout l(colourSpec(true));
    for (int e = 0; e < 40; ++e) {
        const Rect r = l.cellRect(e);
        EXPECT_EQ(l.hitTest(r.left, r.top), e);
        EXPECT_EQ(l.hitTest(r.right - 1, r.bottom - 1), e);
    }
    EXPECT_EQ(l.hitTest(20, l.defaultRect().top + 3), kDefaultEntry);
    EXPECT_EQ(l.hitTest(20, l.customRect().top + 3), kCustomEntry);
    // Left margin, the bar, right of the grid, the gap above the custom box.
    EXPECT_EQ(l.hitTest(3, 60), kNoEntry);
    EXPECT_EQ(l.hitTest(20, 6), kNoEntry);
    EXPECT_EQ(l.hitTest(8 + 8 * 18 + 1, 60), kNoEntry);
    EXPECT_EQ(l.hitTest(20, l.customRect().top - 1), kNoEntry);
    EXPECT_EQ(l.entryRect(kNoEntry), Rect{});
}

TEST(PopupKeys, TheKeyboardTable) {
    const Layout l(colourSpec(true));
    auto to = [&](int from, Key k) {
        const KeyResult r = navigate(l, from, k);
        EXPECT_EQ(r.action, KeyResult::Action::Select);
        return r.entry;
    };
    EXPECT_EQ(to(39, Key::Right), kCustomEntry);
    EXPECT_EQ(to(kCustomEntry, Key::Down), kDefaultEntry);
    EXPECT_EQ(to(kDefaultEntry, Key::Down), 0);
    EXPECT_EQ(to(kDefaultEntry, Key::Right), 0);
    EXPECT_EQ(to(kDefaultEntry, Key::Up), kCustomEntry);
    EXPECT_EQ(to(kDefaultEntry, Key::Left), kCustomEntry);
    EXPECT_EQ(to(kCustomEntry, Key::Up), 39);
    EXPECT_EQ(to(kCustomEntry, Key::Left), 39);
    EXPECT_EQ(to(kCustomEntry, Key::Right), kDefaultEntry);
    EXPECT_EQ(to(3, Key::Down), 11);
    EXPECT_EQ(to(11, Key::Up), 3);
    EXPECT_EQ(to(7, Key::Right), 8);
    EXPECT_EQ(to(8, Key::Left), 7);
    EXPECT_EQ(to(35, Key::Down), kCustomEntry);
    EXPECT_EQ(to(3, Key::Up), kDefaultEntry);
    EXPECT_EQ(to(0, Key::Left), kDefaultEntry);
    EXPECT_EQ(to(kNoEntry, Key::Down), kCustomEntry);
    EXPECT_EQ(to(kNoEntry, Key::Right), kCustomEntry);
    EXPECT_EQ(to(kNoEntry, Key::Up), kDefaultEntry);
    EXPECT_EQ(to(kNoEntry, Key::Left), kDefaultEntry);

    EXPECT_EQ(navigate(l, kNoEntry, Key::Enter).action, KeyResult::Action::Accept);
    EXPECT_EQ(navigate(l, kNoEntry, Key::Enter).entry, kNoEntry);
    EXPECT_EQ(navigate(l, 5, Key::Space).action, KeyResult::Action::Accept);
    EXPECT_EQ(navigate(l, 5, Key::Escape).action, KeyResult::Action::Cancel);
    EXPECT_EQ(navigate(l, 5, Key::Other).action, KeyResult::Action::Unhandled);
}

TEST(PopupKeys, WithoutBoxesTheGridWraps) {
    const Layout l(colourSpec(false, false));
    EXPECT_EQ(navigate(l, 39, Key::Right).entry, 0);
    EXPECT_EQ(navigate(l, 36, Key::Down).entry, 0);
    EXPECT_EQ(navigate(l, 0, Key::Left).entry, 39);
    EXPECT_EQ(navigate(l, 2, Key::Up).entry, 39);
    // Only the default box: forwards and backwards both reach it.
    GridParams s = colourSpec(false, false);
    s.hasDefault = true;
    const Layout d(s);
    EXPECT_EQ(navigate(d, 39, Key::Right).entry, kDefaultEntry);
    EXPECT_EQ(navigate(d, kDefaultEntry, Key::Up).entry, 39);
}

TEST(PopupPointer, TenPixelsKeepElevenTear) {
    for (const auto& [dx, dy, tears] : {std::tuple{10, 0, false},
                                        {0, 10, false},
                                        {-10, -10, false},
                                        {11, 0, true},
                                        {0, 11, true},
                                        {-11, 0, true},
                                        {0, -11, true}}) {
        PointerRules rules(true);
        rules.press(50, 8, true);
        EXPECT_TRUE(rules.dragging());
        EXPECT_EQ(rules.tearsOff(50 + dx, 8 + dy), tears) << dx << "," << dy;
    }
    PointerRules offBar(true);
    offBar.press(50, 60, false);
    EXPECT_FALSE(offBar.tearsOff(50, 200));
    PointerRules noTearOff(false);
    noTearOff.press(50, 8, true);
    EXPECT_FALSE(noTearOff.tearsOff(50, 200));
}

TEST(PopupPointer, FirstReleaseIsIgnoredOnlyWithTearOff) {
    PointerRules rules(true);
    EXPECT_EQ(rules.release(true, false), PointerRules::Release::Ignore);
    EXPECT_TRUE(rules.firstReleaseSeen());
    EXPECT_EQ(rules.release(true, false), PointerRules::Release::Accept);
    EXPECT_EQ(rules.release(false, false), PointerRules::Release::Cancel);
    EXPECT_EQ(rules.release(true, true), PointerRules::Release::Cancel);

    PointerRules border(false);
    EXPECT_EQ(border.release(true, false), PointerRules::Release::Accept);
}

TEST(PopupPointer, AnIgnoredReleaseEndsADragOnTheBar) {
    PointerRules rules(true);
    rules.press(50, 8, true);
    EXPECT_EQ(rules.release(true, true), PointerRules::Release::Ignore);
    EXPECT_FALSE(rules.dragging());
    EXPECT_FALSE(rules.tearsOff(50, 100));
}
