// The table's grid model on its own: shared segment storage and its
// constant-time line weight check.

#include "../../host/db/src/table_grid.h"

#include <gtest/gtest.h>

namespace {

using acdbtable::CellRange;
using acdbtable::TableGrid;

TEST(TableGridModel, LineWeightCheckAgreesWithTheDatabase) {
    for (int lw = -300; lw <= 300; ++lw)
        EXPECT_EQ(acdbtable::isValidLineWeight(lw), AcDb::isValidLineWeight(lw)) << lw;
}

TEST(TableGridModel, SegmentsAreSharedAndSurviveStructuralEdits) {
    TableGrid g(2, 3, 1.0, 1.0);
    // The segment right of (0, 1) is vertical line 2 of row 0; below (0, 1) is
    // horizontal line 1 of column 1.
    g.vertical(0, 2).visibility = 1;
    g.horizontal(1, 1).lineWeight = 50;
    ASSERT_EQ(g.insertColumns(0, 1, 2.0), Acad::eOk);
    ASSERT_EQ(g.insertRows(0, 1, 2.0), Acad::eOk);
    EXPECT_EQ(g.vertical(1, 3).visibility, 1);
    EXPECT_EQ(g.horizontal(2, 2).lineWeight, 50);
    ASSERT_EQ(g.deleteRows(0, 1), Acad::eOk);
    ASSERT_EQ(g.deleteColumns(0, 1), Acad::eOk);
    EXPECT_EQ(g.vertical(0, 2).visibility, 1);
    EXPECT_EQ(g.horizontal(1, 1).lineWeight, 50);
}

TEST(TableGridModel, RegionMapNamesEveryCoveredCell) {
    TableGrid g(3, 3, 1.0, 1.0);
    ASSERT_EQ(g.merge(CellRange{0, 1, 1, 2}), Acad::eOk);
    const std::vector<int> expected{-1, 0, 0, -1, 0, 0, -1, -1, -1};
    EXPECT_EQ(g.regionMap(), expected);
}

TEST(TableGridModel, OversizedGridsAreRefused) {
    TableGrid g(1, TableGrid::kMaxColumns, 1.0, 1.0);
    EXPECT_EQ(g.insertColumns(0, 1, 1.0), Acad::eInvalidInput);
    EXPECT_EQ(g.insertRows(0, TableGrid::kMaxCells / TableGrid::kMaxColumns, 1.0),
              Acad::eInvalidInput);
    EXPECT_EQ(g.rows(), 1);
}

} // namespace
