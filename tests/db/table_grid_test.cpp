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

TEST(TableGridModel, CellOverridesAreOwnedByEachCellAndCopiedWithIt) {
    TableGrid g(2, 2, 1.0, 1.0);
    // Reading a cell that never set a look or block allocates nothing.
    EXPECT_FALSE(g.cell(0, 0).look->isOverridden(0));
    EXPECT_DOUBLE_EQ(g.cell(0, 0).block->scale, 1.0);
    EXPECT_FALSE(g.cell(0, 0).look.isSet());
    EXPECT_FALSE(g.cell(0, 0).block.isSet());

    g.editCell(1, 0).look.edit().textHeight = 2.5;
    g.editCell(1, 0).look.edit().markOverridden(1);
    g.editCell(1, 0).block.edit().attributes.push_back({AcDbObjectId(), "v"});
    // A copy is deep: changing it leaves the original alone.
    acdbtable::TableCell copy = g.cell(1, 0);
    copy.look.edit().textHeight = 9;
    copy.block.edit().attributes.clear();
    EXPECT_DOUBLE_EQ(g.cell(1, 0).look->textHeight, 2.5);
    ASSERT_EQ(g.cell(1, 0).block->attributes.size(), 1u);
    // A new row copies the look of the row it grows from, not its contents.
    ASSERT_EQ(g.insertRows(2, 1, 1.0), Acad::eOk);
    EXPECT_TRUE(g.cell(2, 0).look->isOverridden(1));
    EXPECT_DOUBLE_EQ(g.cell(2, 0).look->textHeight, 2.5);
    EXPECT_TRUE(g.cell(2, 0).block->attributes.empty());
    g.editCell(2, 0).look.edit().textHeight = 4;
    EXPECT_DOUBLE_EQ(g.cell(1, 0).look->textHeight, 2.5);
}

TEST(TableGridModel, CopiesShareCellsUntilEitherWritesOne) {
    TableGrid original(2, 2, 1.0, 1.0);
    original.editCell(0, 0).text = "kept";
    TableGrid copy = original;
    EXPECT_EQ(&copy.cell(0, 0), &original.cell(0, 0)); // an edge-only edit copies no cells

    copy.editCell(0, 0).text = "copy";
    original.editCell(1, 1).text = "original";
    EXPECT_EQ(original.cell(0, 0).text, "kept");
    EXPECT_EQ(copy.cell(0, 0).text, "copy");
    EXPECT_EQ(copy.cell(1, 1).text, "");

    // Structural edits and content moved by a deletion write only their own grid.
    TableGrid second = original;
    ASSERT_EQ(second.merge(CellRange{0, 1, 0, 1}), Acad::eOk);
    ASSERT_EQ(second.deleteRows(0, 1), Acad::eOk);
    ASSERT_EQ(second.insertColumns(0, 1, 1.0), Acad::eOk);
    EXPECT_EQ(original.rows(), 2);
    EXPECT_EQ(original.cell(0, 0).text, "kept");
    EXPECT_EQ(original.cell(1, 0).text, "");
    EXPECT_EQ(second.cell(0, 1).text, "kept");
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
