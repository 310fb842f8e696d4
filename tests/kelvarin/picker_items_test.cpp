// The border and alignment drop-downs without windows: their item tables,
// the popups' geometry (grid 10 margins down), hit testing at cell edges
// and margins, the keyboard table's wrap-arounds, and keeping a window on
// the screen.
#include "controls/PickerItems.h"
#include "tableops/CellFormatting.h"

#include <gtest/gtest.h>

#include <cctype>
#include <set>
#include <string>

using itemgrid::Layout;
using popupgrid::Key;
using popupgrid::Rect;
using A = popupgrid::KeyResult::Action;

namespace {

std::string lower(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

int keyed(const Layout& l, int selection, Key key) {
    const auto r = l.navigate(selection, key);
    EXPECT_EQ(r.action, A::Select);
    return r.entry;
}

} // namespace

TEST(PickerItems, TablesAgreeWithTheToolbarNamesAndPicturesAreDistinct) {
    std::set<std::string> pictures;
    for (int i = 0; i < kBorderItemCount; ++i) {
        EXPECT_STREQ(kBorderItems[i].name, kBorderStyleNames[i]) << i;
        pictures.insert(lower(kBorderItems[i].bitmapName));
    }
    for (int i = 0; i < kAlignItemCount; ++i) {
        EXPECT_STREQ(kAlignItems[i].name, kAlignmentNames[i]) << i;
        pictures.insert(lower(kAlignItems[i].bitmapName));
    }
    // Names compare without letter case, so no two may differ only in case.
    EXPECT_EQ(pictures.size(), static_cast<std::size_t>(kBorderItemCount + kAlignItemCount));
    EXPECT_STREQ(kBorderItems[9].name, "No Border");
    EXPECT_STREQ(kAlignItems[4].bitmapName, "{9BBC8441-4637-4653-97A3-A2A61A568F6B}");
}

TEST(PickerLayout, BorderAndAlignmentGeometry) {
    const Layout b = itemgrid::borderLayout(); // m = 2, B = 23
    EXPECT_EQ(b.rows(), 2);
    EXPECT_EQ(b.width(), 5 * 23 + 16);
    EXPECT_EQ(b.height(), 2 * 23 + 24);
    EXPECT_EQ(b.tearOffRect(), (Rect{4, 4, 127, 12}));
    EXPECT_EQ(b.cellRect(0), (Rect{8, 20, 31, 43}));
    EXPECT_EQ(b.cellRect(7), (Rect{8 + 2 * 23, 43, 8 + 3 * 23, 66}));
    EXPECT_TRUE(b.cellRect(10).isEmpty());
    EXPECT_TRUE(b.cellRect(-1).isEmpty());

    const Layout a = itemgrid::alignLayout();
    EXPECT_EQ(a.rows(), 3);
    EXPECT_EQ(a.width(), 3 * 23 + 16);
    EXPECT_EQ(a.height(), 3 * 23 + 24);
    EXPECT_EQ(a.cellRect(8), (Rect{8 + 46, 20 + 46, 8 + 69, 20 + 69}));

    // A wide edge leaves too little room in a 23-pixel cell: the cell grows.
    const Layout wide(10, 5, 23, 8);
    EXPECT_EQ(wide.boxSize(), 23);
    const Layout tight(10, 5, 23, 9);
    EXPECT_EQ(tight.boxSize(), 2 * 9 + 7);
    EXPECT_EQ(tight.cellRect(0), (Rect{36, 90, 36 + 25, 90 + 25}));
}

TEST(PickerHitTest, CellsMarginsAndTheBar) {
    const Layout b = itemgrid::borderLayout();
    EXPECT_EQ(b.hitTest(8, 20), 0);
    EXPECT_EQ(b.hitTest(30, 42), 0);
    EXPECT_EQ(b.hitTest(31, 20), 1);
    EXPECT_EQ(b.hitTest(8, 43), 5);
    EXPECT_EQ(b.hitTest(8 + 5 * 23 - 1, 43 + 22), 9);
    EXPECT_EQ(b.hitTest(7, 30), -1) << "left margin";
    EXPECT_EQ(b.hitTest(20, 19), -1) << "between the bar and the grid";
    EXPECT_EQ(b.hitTest(20, 8), -1) << "the bar";
    EXPECT_EQ(b.hitTest(8 + 5 * 23, 30), -1) << "the grid's right edge is outside it";
    EXPECT_EQ(b.hitTest(20, 20 + 2 * 23), -1) << "the grid's bottom edge is outside it";
    EXPECT_EQ(b.hitTest(-5, -5), -1);

    // A last row not filled: the empty places are no item.
    const Layout partial(7, 3, 23, 2);
    EXPECT_EQ(partial.hitTest(8 + 23, 20 + 2 * 23), -1);
    EXPECT_EQ(partial.hitTest(8, 20 + 2 * 23), 6);
}

TEST(PickerKeys, BorderPopupWrapsAroundItsTwoRows) {
    const Layout b = itemgrid::borderLayout();
    EXPECT_EQ(keyed(b, 5, Key::Down), 0) << "Top Border, Down: All Borders";
    EXPECT_EQ(keyed(b, 0, Key::Up), 9) << "All Borders, Up: No Border";
    EXPECT_EQ(keyed(b, 2, Key::Down), 7);
    EXPECT_EQ(keyed(b, 7, Key::Up), 2);
    EXPECT_EQ(keyed(b, 4, Key::Right), 5) << "end of a row: the next row's start";
    EXPECT_EQ(keyed(b, 5, Key::Left), 4);
    EXPECT_EQ(keyed(b, 9, Key::Right), 0);
    EXPECT_EQ(keyed(b, 0, Key::Left), 9);
    // From none: forwards the first item, backwards the last.
    EXPECT_EQ(keyed(b, -1, Key::Down), 0);
    EXPECT_EQ(keyed(b, -1, Key::Right), 0);
    EXPECT_EQ(keyed(b, -1, Key::Up), 9);
    EXPECT_EQ(keyed(b, -1, Key::Left), 9);
}

TEST(PickerKeys, AlignmentPopupAndTheEndingKeys) {
    const Layout a = itemgrid::alignLayout();
    EXPECT_EQ(keyed(a, 5, Key::Right), 6) << "Middle Right, Right: Bottom Left";
    EXPECT_EQ(keyed(a, 8, Key::Right), 0) << "Bottom Right, Right: Top Left";
    EXPECT_EQ(keyed(a, 7, Key::Down), 0);
    EXPECT_EQ(keyed(a, 1, Key::Up), 8);
    EXPECT_EQ(keyed(a, 3, Key::Left), 2);

    EXPECT_EQ(a.navigate(4, Key::Enter).action, A::Accept);
    EXPECT_EQ(a.navigate(-1, Key::Space).action, A::Accept);
    EXPECT_EQ(a.navigate(4, Key::Escape).action, A::Cancel);
    EXPECT_EQ(a.navigate(4, Key::Other).action, A::Unhandled);
}

TEST(KeepInsideScreen, MovesOnlyWhatWouldLeaveTheScreen) {
    const Rect screen{0, 0, 1024, 768};
    EXPECT_EQ(keepInsideScreen({100, 100, 231, 170}, screen), (Rect{100, 100, 231, 170}));
    EXPECT_EQ(keepInsideScreen({1000, 740, 1131, 810}, screen), (Rect{893, 698, 1024, 768}));
    EXPECT_EQ(keepInsideScreen({-40, -10, 91, 60}, screen), (Rect{0, 0, 131, 70}));
    // Larger than the screen: its top left corner stays visible.
    EXPECT_EQ(keepInsideScreen({500, 500, 1700, 1400}, screen), (Rect{0, 0, 1200, 900}));
    // A second screen to the right.
    EXPECT_EQ(keepInsideScreen({1950, 10, 2081, 80}, {1024, 0, 2048, 768}),
              (Rect{1917, 10, 2048, 80}));
}
