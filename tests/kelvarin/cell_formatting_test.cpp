// Border styles on a range of cells: which grid segments end up shown, and
// that every written edge carries the colour and line weight.
#include "tableops/CellFormatting.h"

#include <gtest/gtest.h>

#include <memory>

namespace {

std::unique_ptr<AcDbTable> grid(int rows, int cols) {
    auto table = std::make_unique<AcDbTable>();
    table->setSize(rows, cols);
    return table;
}

AcCmColor red() {
    AcCmColor c;
    c.setColorIndex(1);
    return c;
}

bool shown(const AcDbTable& t, int r, int c, AcDb::CellEdgeMask edge) {
    return t.edgeVisibility(r, c, edge) == AcDb::kVisible;
}

TEST(BorderStyles, OutsideBorderShowsTheOutlineOnly) {
    auto t = grid(5, 5);
    ASSERT_TRUE(applyBorderStyle(t.get(), 1, 3, 1, 3, 1, red(), AcDb::kLnWt050));
    int outer = 0, inner = 0;
    for (int r = 1; r <= 3; ++r)
        for (int c = 1; c <= 3; ++c) {
            EXPECT_EQ(shown(*t, r, c, AcDb::kTopMask), r == 1);
            EXPECT_EQ(shown(*t, r, c, AcDb::kLeftMask), c == 1);
            EXPECT_EQ(shown(*t, r, c, AcDb::kBottomMask), r == 3);
            EXPECT_EQ(shown(*t, r, c, AcDb::kRightMask), c == 3);
            for (auto edge :
                 {AcDb::kTopMask, AcDb::kLeftMask, AcDb::kBottomMask, AcDb::kRightMask}) {
                EXPECT_EQ(t->edgeColor(r, c, edge).colorIndex(), 1);
                EXPECT_EQ(t->edgeLineWeight(r, c, edge), AcDb::kLnWt050);
            }
            outer += (r == 1) + (r == 3) + (c == 1) + (c == 3);
            inner += (r > 1) + (c > 1);
        }
    EXPECT_EQ(outer, 12);
    EXPECT_EQ(inner, 12);
    // Cells outside the range keep their own edges.
    EXPECT_TRUE(shown(*t, 0, 0, AcDb::kBottomMask));
    EXPECT_TRUE(shown(*t, 4, 4, AcDb::kTopMask));
}

TEST(BorderStyles, EachStyleShowsItsSegments) {
    auto one = grid(3, 3);
    ASSERT_TRUE(applyBorderStyle(one.get(), 1, 1, 1, 1, 2, red(), 25));
    for (auto edge : {AcDb::kTopMask, AcDb::kLeftMask, AcDb::kBottomMask, AcDb::kRightMask})
        EXPECT_FALSE(shown(*one, 1, 1, edge)) << "inside border of one cell hides all four";

    auto t = grid(2, 2);
    ASSERT_TRUE(applyBorderStyle(t.get(), 0, 1, 0, 1, 6, red(), 25)); // bottom border
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 2; ++c) {
            EXPECT_FALSE(shown(*t, r, c, AcDb::kLeftMask));
            EXPECT_EQ(shown(*t, r, c, AcDb::kTopMask), false) << r << "," << c;
        }
    EXPECT_TRUE(shown(*t, 1, 0, AcDb::kBottomMask));
    EXPECT_TRUE(shown(*t, 1, 1, AcDb::kBottomMask));
    EXPECT_FALSE(shown(*t, 0, 1, AcDb::kRightMask));
    EXPECT_FALSE(shown(*t, 1, 1, AcDb::kRightMask));

    auto h = grid(3, 2);
    ASSERT_TRUE(applyBorderStyle(h.get(), 0, 2, 0, 1, 7, red(), 25)); // inside horizontal
    EXPECT_FALSE(shown(*h, 0, 0, AcDb::kTopMask));
    EXPECT_TRUE(shown(*h, 1, 0, AcDb::kTopMask));
    EXPECT_TRUE(shown(*h, 2, 1, AcDb::kTopMask));
    EXPECT_FALSE(shown(*h, 1, 1, AcDb::kLeftMask));
    EXPECT_FALSE(shown(*h, 2, 1, AcDb::kBottomMask));

    auto v = grid(2, 3);
    ASSERT_TRUE(applyBorderStyle(v.get(), 0, 1, 0, 2, 8, red(), 25)); // inside vertical
    EXPECT_FALSE(shown(*v, 0, 0, AcDb::kLeftMask));
    EXPECT_TRUE(shown(*v, 0, 1, AcDb::kLeftMask));
    EXPECT_TRUE(shown(*v, 1, 2, AcDb::kLeftMask));
    EXPECT_FALSE(shown(*v, 1, 2, AcDb::kRightMask));
    EXPECT_FALSE(shown(*v, 0, 1, AcDb::kTopMask));

    auto none = grid(2, 2);
    ASSERT_TRUE(applyBorderStyle(none.get(), 0, 1, 0, 1, 9, red(), 25));
    ASSERT_TRUE(applyBorderStyle(none.get(), 0, 0, 0, 0, 3, red(), 25)); // left border
    EXPECT_TRUE(shown(*none, 0, 0, AcDb::kLeftMask));
    EXPECT_FALSE(shown(*none, 0, 0, AcDb::kTopMask));
    EXPECT_FALSE(shown(*none, 1, 1, AcDb::kBottomMask));
}

TEST(BorderStyles, AnUnknownStyleWritesNothingAndUnchosenColoursAreLeftAlone) {
    auto t = grid(2, 2);
    EXPECT_FALSE(applyBorderStyle(t.get(), 0, 1, 0, 1, 10, red(), 25));
    EXPECT_FALSE(applyBorderStyle(t.get(), 0, 1, 0, 1, -1, red(), 25));
    EXPECT_TRUE(shown(*t, 0, 0, AcDb::kTopMask));
    const AcCmColor fresh;
    EXPECT_EQ(colorFromRemembered(-1).colorIndex(), fresh.colorIndex());
    EXPECT_EQ(colorFromRemembered(-3).colorIndex(), 0);
    EXPECT_EQ(colorFromRemembered(256).colorIndex(), 256);
    EXPECT_EQ(colorFromRemembered(42).colorIndex(), 42);
}

} // namespace
