// Merged regions: rectangles that never overlap, absorbed by larger merges,
// unmerged only as a whole.

#include "acdb/table.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using Range = AcDbTable::Range;

std::unique_ptr<AcDbTable> makeTable(int rows, int cols) {
    auto t = std::make_unique<AcDbTable>();
    EXPECT_EQ(t->setSize(rows, cols), Acad::eOk);
    return t;
}

TEST(TableMerge, EveryCellOfARegionReportsTheRegionBounds) {
    auto t = makeTable(5, 5);
    ASSERT_EQ(t->mergeCells(1, 2, 1, 3), Acad::eOk);
    for (int r = 0; r < 5; ++r) {
        for (int c = 0; c < 5; ++c) {
            int minRow = -1, maxRow = -1, minCol = -1, maxCol = -1;
            bool inside = r >= 1 && r <= 2 && c >= 1 && c <= 3;
            EXPECT_EQ(t->isMergedCell(r, c, &minRow, &maxRow, &minCol, &maxCol), inside)
                << r << "," << c;
            if (inside) {
                EXPECT_EQ((Range{minRow, maxRow, minCol, maxCol}), (Range{1, 2, 1, 3}));
            }
        }
    }
    EXPECT_FALSE(t->isMergedCell(-1, 0));
    EXPECT_FALSE(t->isMergedCell(0, 99));
}

TEST(TableMerge, PartialOverlapIsRefusedAndChangesNothing) {
    auto t = makeTable(6, 6);
    ASSERT_EQ(t->mergeCells(1, 2, 1, 2), Acad::eOk);
    // Sticking out of the region on one side, covering a corner, lying inside it.
    EXPECT_EQ(t->mergeCells(2, 3, 1, 2), Acad::eInvalidInput);
    EXPECT_EQ(t->mergeCells(0, 1, 0, 1), Acad::eInvalidInput);
    EXPECT_EQ(t->mergeCells(1, 1, 1, 2), Acad::eInvalidInput);
    EXPECT_EQ(t->mergeCells(2, 2, 2, 2), Acad::eInvalidInput);
    EXPECT_EQ(t->mergedRanges(), (std::vector<Range>{{1, 2, 1, 2}}));
}

TEST(TableMerge, RangeHoldingRegionsAbsorbsThem) {
    auto t = makeTable(6, 6);
    ASSERT_EQ(t->mergeCells(0, 1, 0, 1), Acad::eOk);
    ASSERT_EQ(t->mergeCells(3, 4, 3, 4), Acad::eOk);
    ASSERT_EQ(t->mergeCells(0, 5, 0, 4), Acad::eOk);
    EXPECT_EQ(t->mergedRanges(), (std::vector<Range>{{0, 5, 0, 4}}));
    // Merging the same range again keeps one region.
    EXPECT_EQ(t->mergeCells(0, 5, 0, 4), Acad::eOk);
    EXPECT_EQ(t->mergedRanges().size(), 1u);
}

TEST(TableMerge, TouchingRegionsStaySeparate) {
    auto t = makeTable(4, 4);
    ASSERT_EQ(t->mergeCells(0, 1, 0, 1), Acad::eOk);
    ASSERT_EQ(t->mergeCells(0, 1, 2, 3), Acad::eOk);
    EXPECT_EQ(t->mergedRanges(), (std::vector<Range>{{0, 1, 0, 1}, {0, 1, 2, 3}}));
}

TEST(TableMerge, SingleCellMergeIsAcceptedWithoutMakingARegion) {
    auto t = makeTable(3, 3);
    EXPECT_EQ(t->mergeCells(1, 1, 1, 1), Acad::eOk);
    EXPECT_TRUE(t->mergedRanges().empty());
    EXPECT_FALSE(t->isMergedCell(1, 1));
}

TEST(TableMerge, InvalidRangesAreRefused) {
    auto t = makeTable(3, 3);
    EXPECT_EQ(t->mergeCells(-1, 1, 0, 1), Acad::eInvalidInput);
    EXPECT_EQ(t->mergeCells(0, 3, 0, 1), Acad::eInvalidInput);
    EXPECT_EQ(t->mergeCells(2, 1, 0, 1), Acad::eInvalidInput); // min above max
    EXPECT_EQ(t->mergeCells(0, 1, 1, 0), Acad::eInvalidInput);
    EXPECT_TRUE(t->mergedRanges().empty());
}

TEST(TableMerge, UnmergeNeedsTheExactRegion) {
    auto t = makeTable(5, 5);
    ASSERT_EQ(t->mergeCells(1, 3, 1, 3), Acad::eOk);
    EXPECT_EQ(t->unmergeCells(1, 2, 1, 3), Acad::eInvalidInput); // part of it
    EXPECT_EQ(t->unmergeCells(0, 4, 0, 4), Acad::eInvalidInput); // more than it
    EXPECT_EQ(t->unmergeCells(0, 0, 0, 0), Acad::eInvalidInput); // no region at all
    EXPECT_TRUE(t->isMergedCell(2, 2));
    EXPECT_EQ(t->unmergeCells(1, 3, 1, 3), Acad::eOk);
    EXPECT_FALSE(t->isMergedCell(2, 2));
    EXPECT_EQ(t->unmergeCells(1, 3, 1, 3), Acad::eInvalidInput); // already gone
}

// How the add-in's unmerge uses the table: collect each region met in a
// selection once, then unmerge each.
TEST(TableMerge, UnmergeEveryRegionTouchingASelection) {
    auto t = makeTable(6, 6);
    ASSERT_EQ(t->mergeCells(0, 1, 0, 1), Acad::eOk);
    ASSERT_EQ(t->mergeCells(1, 2, 3, 5), Acad::eOk);
    std::vector<Range> met;
    for (int r = 1; r <= 1; ++r) {
        for (int c = 1; c <= 3; ++c) {
            Range g{};
            if (t->isMergedCell(r, c, &g.minRow, &g.maxRow, &g.minCol, &g.maxCol) &&
                std::find(met.begin(), met.end(), g) == met.end())
                met.push_back(g);
        }
    }
    ASSERT_EQ(met, (std::vector<Range>{{0, 1, 0, 1}, {1, 2, 3, 5}}));
    for (const Range& g : met)
        EXPECT_EQ(t->unmergeCells(g.minRow, g.maxRow, g.minCol, g.maxCol), Acad::eOk);
    EXPECT_TRUE(t->mergedRanges().empty());
}

TEST(TableMerge, MergingKeepsTheContentOfCoveredCells) {
    auto t = makeTable(2, 2);
    ASSERT_EQ(t->setTextString(1, 1, "kept"), Acad::eOk);
    ASSERT_EQ(t->mergeCells(0, 1, 0, 1), Acad::eOk);
    ASSERT_EQ(t->unmergeCells(0, 1, 0, 1), Acad::eOk);
    EXPECT_EQ(t->textString(1, 1), "kept");
}

} // namespace
