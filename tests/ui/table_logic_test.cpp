// Creating tables as TABLE and -TABLE do, and what the properties palette
// reads from a range of cells.
#include "acdb/acdb.h"
#include "hostui/cell_properties.h"
#include "hostui/table_creation.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace hostui;

TEST(TableCreation, SpecsOutsideTheLimitsAreRefusedWithAReason) {
    EXPECT_FALSE(validateTableShape(TableShape{}));
    EXPECT_TRUE(validateTableShape({0, 4, 2.5, 0.75}));
    EXPECT_TRUE(validateTableShape({kMaxTableColumns + 1, 4, 2.5, 0.75}));
    EXPECT_TRUE(validateTableShape({5, -1, 2.5, 0.75}));
    EXPECT_TRUE(validateTableShape({5, 4, 0, 0.75}));
    EXPECT_TRUE(validateTableShape({5, 4, NAN, 0.75}));
    EXPECT_TRUE(validateTableShape({5, 4, 2.5, -0.1}));
    EXPECT_NE(validateTableShape({5, 4, 2.5, INFINITY})->find("Row height"), std::string::npos);

    AcDbDatabase db;
    AcDbObjectId id;
    EXPECT_EQ(createTable(&db, {0, 4, 2.5, 0.75}, AcGePoint3d(), id), Acad::eInvalidInput);
    EXPECT_TRUE(id.isNull());
    AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForRead);
    EXPECT_TRUE(ms->entityIds().empty());
}

TEST(TableCreation, NewTableHasEmptyTextCellsAndEveryGridLineFromItsTopLeftCorner) {
    AcDbDatabase db;
    AcDbObjectId id;
    ASSERT_EQ(createTable(&db, {3, 2, 2.0, 0.8}, AcGePoint3d(10, 20, 0), id), Acad::eOk);
    AcDbObjectPointer<AcDbTable> table(id, AcDb::kForRead);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->rowCount(), 2);
    EXPECT_EQ(table->columnCount(), 3);
    EXPECT_EQ(table->ownerId(), db.modelSpaceId());
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 3; ++col) {
            EXPECT_EQ(table->cellType(row, col), AcDb::kTextCell);
            EXPECT_EQ(table->textString(row, col), "");
            for (auto edge : {AcDb::kTopMask, AcDb::kRightMask, AcDb::kBottomMask, AcDb::kLeftMask})
                EXPECT_EQ(table->edgeVisibility(row, col, edge), AcDb::kVisible);
        }
    // Rows run down and columns right from the insertion point.
    int row = -1, col = -1;
    ASSERT_TRUE(table->hitTestCell(AcGePoint3d(15.5, 18.7, 0), row, col));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 2);
    EXPECT_FALSE(table->hitTestCell(AcGePoint3d(9.9, 19.9, 0), row, col));
    EXPECT_FALSE(table->hitTestCell(AcGePoint3d(10.1, 20.1, 0), row, col));
}

TEST(CellProperties, SharedValuesAndVaryingOnes) {
    AcDbDatabase db;
    AcDbObjectId id;
    ASSERT_EQ(createTable(&db, {3, 3, 1, 1}, AcGePoint3d(), id), Acad::eOk);
    AcDbObjectPointer<AcDbTable> table(id, AcDb::kForWrite);
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            table->setCellAlignment(r, c, AcDb::kBottomRight);
    table->setCellAlignment(2, 2, AcDb::kTopLeft);
    table->setTextColor(0, 0, AcCmColor::fromIndex(1));
    table->setFillNone(0, 1, false);
    table->setFillColor(0, 1, AcCmColor::fromIndex(3));
    table->setEdgeVisibility(0, 0, AcDb::kTopMask, AcDb::kInvisible);
    table->setEdgeVisibility(0, 1, AcDb::kTopMask, AcDb::kInvisible);
    table->setEdgeColor(1, 1, AcDb::kRightMask, AcCmColor::fromIndex(5));
    table->setEdgeLineWeight(1, 1, AcDb::kRightMask, AcDb::kLnWt050);

    auto look = describeCellRange(*table.object(), 0, 1, 0, 1);
    ASSERT_TRUE(look);
    EXPECT_EQ(look->alignment.value, 9);
    EXPECT_TRUE(look->textColor.varies());
    EXPECT_TRUE(look->fill.varies());
    ASSERT_FALSE(look->top.varies());
    EXPECT_EQ(look->top.value->visibility, AcDb::kInvisible);
    EXPECT_TRUE(look->right.varies()); // (0,1) differs from (1,1)

    // Bounds in any order, clamped to the table.
    look = describeCellRange(*table.object(), 5, 1, 2, 1);
    ASSERT_TRUE(look);
    EXPECT_EQ(look->rowMin, 1);
    EXPECT_EQ(look->rowMax, 2);
    EXPECT_TRUE(look->alignment.varies());
    EXPECT_FALSE(describeCellRange(*table.object(), 5, 7, 0, 0));

    look = describeCellRange(*table.object(), 1, 1, 1, 1);
    const auto rows = cellRangeRows(*look);
    auto value = [&](const std::string& label) {
        for (const auto& [l, v] : rows)
            if (l == label)
                return v;
        return std::string("(missing)");
    };
    EXPECT_EQ(value("Cells"), "R2C2");
    EXPECT_EQ(value("Alignment"), "Bottom Right");
    EXPECT_EQ(value("Fill"), "None");
    EXPECT_EQ(value("Border right"), "Blue, 0.50 mm");
}

TEST(CellProperties, Names) {
    EXPECT_EQ(alignmentName(1), "Top Left");
    EXPECT_EQ(alignmentName(5), "Middle Center");
    EXPECT_EQ(alignmentName(0).rfind("Unknown", 0), 0u);
    EXPECT_EQ(colorName(AcCmColor::byLayer()), "ByLayer");
    EXPECT_EQ(colorName(AcCmColor::byBlock()), "ByBlock");
    EXPECT_EQ(colorName(AcCmColor::fromIndex(1)), "Red");
    EXPECT_EQ(colorName(AcCmColor::fromIndex(42)), "Color 42");
    EXPECT_EQ(colorName(AcCmColor::fromRgb(1, 2, 3)), "RGB 1,2,3");
    EXPECT_EQ(lineWeightName(AcDb::kLnWtByLwDefault), "Default");
    EXPECT_EQ(lineWeightName(211), "2.11 mm");
}

TEST(TableCreation, TablesOverTheHostsCellLimitAreRefusedBeforeAnyWork) {
    EXPECT_EQ(maxTableRowsFor(1000), 1000);
    EXPECT_EQ(maxTableRowsFor(5), kMaxTableRows);
    const auto tooMany = validateTableShape({1000, 1001, 2.5, 0.75});
    ASSERT_TRUE(tooMany);
    EXPECT_EQ(*tooMany,
              "A table holds at most 1000000 cells: with 1000 columns, at most 1000 rows.");
    EXPECT_FALSE(validateTableShape({100, 10000, 2.5, 0.75})); // exactly at the limit
}
