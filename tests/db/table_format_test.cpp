// Cell look and grid lines: shared segments, inheritance from the style
// against overrides on the cell, table styles taken from the database.

#include "acdb/database.h"
#include "acdb/table.h"

#include <gtest/gtest.h>

namespace {

std::unique_ptr<AcDbTable> makeTable(int rows, int cols) {
    auto t = std::make_unique<AcDbTable>();
    EXPECT_EQ(t->setSize(rows, cols), Acad::eOk);
    return t;
}

const AcCmColor kRed = AcCmColor::fromIndex(1);
const AcCmColor kBlue = AcCmColor::fromIndex(5);

TEST(TableEdges, NeighboursShareTheSegmentBetweenThem) {
    auto t = makeTable(3, 3);
    ASSERT_EQ(t->setEdgeColor(1, 1, AcDb::kRightMask, kRed), Acad::eOk);
    EXPECT_EQ(t->edgeColor(1, 2, AcDb::kLeftMask), kRed);
    ASSERT_EQ(t->setEdgeVisibility(1, 1, AcDb::kBottomMask, AcDb::kInvisible), Acad::eOk);
    EXPECT_EQ(t->edgeVisibility(2, 1, AcDb::kTopMask), AcDb::kInvisible);
    ASSERT_EQ(t->setEdgeLineWeight(2, 2, AcDb::kTopMask | AcDb::kLeftMask, AcDb::kLnWt030),
              Acad::eOk);
    EXPECT_EQ(t->edgeLineWeight(1, 2, AcDb::kBottomMask), AcDb::kLnWt030);
    EXPECT_EQ(t->edgeLineWeight(2, 1, AcDb::kRightMask), AcDb::kLnWt030);
    // Segments not named stay as they were.
    EXPECT_EQ(t->edgeVisibility(1, 1, AcDb::kTopMask), AcDb::kVisible);
    EXPECT_FALSE(t->isEdgePropertyOverridden(1, 1, AcDb::kLeftMask, AcDbTable::kEdgeColor));
    EXPECT_TRUE(t->isEdgePropertyOverridden(1, 2, AcDb::kLeftMask, AcDbTable::kEdgeColor));
}

TEST(TableEdges, AFullMaskWritesAllFourSegments) {
    auto t = makeTable(3, 3);
    ASSERT_EQ(t->setEdgeColor(1, 1, 15, kBlue), Acad::eOk);
    EXPECT_EQ(t->edgeColor(0, 1, AcDb::kBottomMask), kBlue);
    EXPECT_EQ(t->edgeColor(2, 1, AcDb::kTopMask), kBlue);
    EXPECT_EQ(t->edgeColor(1, 0, AcDb::kRightMask), kBlue);
    EXPECT_EQ(t->edgeColor(1, 2, AcDb::kLeftMask), kBlue);
}

TEST(TableEdges, BadEdgeInputIsRefusedAndChangesNothing) {
    auto t = makeTable(2, 2);
    EXPECT_EQ(t->setEdgeVisibility(0, 0, 0, AcDb::kInvisible), Acad::eInvalidInput);
    EXPECT_EQ(t->setEdgeVisibility(0, 0, 16, AcDb::kInvisible), Acad::eInvalidInput);
    EXPECT_EQ(t->setEdgeVisibility(0, 0, 1, static_cast<AcDb::Visibility>(2)), Acad::eInvalidInput);
    EXPECT_EQ(t->setEdgeLineWeight(0, 0, 1, static_cast<AcDb::LineWeight>(7)), Acad::eInvalidInput);
    EXPECT_EQ(t->setEdgeColor(2, 0, 1, kRed), Acad::eInvalidInput);
    EXPECT_EQ(t->setEdgeColor(0, -1, 1, kRed), Acad::eInvalidInput);
    EXPECT_EQ(t->edgeVisibility(0, 0, AcDb::kTopMask), AcDb::kVisible);
    EXPECT_EQ(t->edgeLineWeight(0, 0, AcDb::kTopMask), AcDb::kLnWtByBlock);
    // A getter takes one edge; anything else answers a default.
    EXPECT_EQ(t->edgeVisibility(0, 0, static_cast<AcDb::CellEdgeMask>(3)), AcDb::kVisible);
    EXPECT_EQ(t->edgeColor(5, 5, AcDb::kTopMask), AcCmColor::byBlock());
}

TEST(TableEdges, ACellOfAMergedRegionAddressesTheRegionsOutline) {
    auto t = makeTable(5, 5);
    ASSERT_EQ(t->mergeCells(1, 3, 1, 2), Acad::eOk);
    // From an inner cell of the region: the region's right side is column
    // line 3, rows 1..3, not the grid line inside the region.
    ASSERT_EQ(t->setEdgeColor(2, 1, AcDb::kRightMask, kRed), Acad::eOk);
    for (int r = 1; r <= 3; ++r)
        EXPECT_EQ(t->edgeColor(r, 3, AcDb::kLeftMask), kRed) << r;
    EXPECT_NE(t->gridEdge(2, 1, AcDb::kRightMask).color, kRed);
    EXPECT_NE(t->edgeColor(0, 3, AcDb::kLeftMask), kRed);
    EXPECT_NE(t->edgeColor(4, 3, AcDb::kLeftMask), kRed);
    // Top and bottom: every segment along the region's width.
    ASSERT_EQ(t->setEdgeVisibility(3, 2, AcDb::kTopMask | AcDb::kBottomMask, AcDb::kInvisible),
              Acad::eOk);
    for (int c = 1; c <= 2; ++c) {
        EXPECT_EQ(t->edgeVisibility(0, c, AcDb::kBottomMask), AcDb::kInvisible) << c;
        EXPECT_EQ(t->edgeVisibility(4, c, AcDb::kTopMask), AcDb::kInvisible) << c;
        EXPECT_EQ(t->gridEdge(2, c, AcDb::kTopMask).visibility, AcDb::kVisible) << c;
    }
    // Getters from any cell of the region read the outline.
    ASSERT_EQ(t->setEdgeLineWeight(1, 2, AcDb::kLeftMask, AcDb::kLnWt050), Acad::eOk);
    EXPECT_EQ(t->edgeLineWeight(3, 2, AcDb::kLeftMask), AcDb::kLnWt050);
    EXPECT_EQ(t->edgeLineWeight(2, 0, AcDb::kRightMask), AcDb::kLnWt050);
    EXPECT_EQ(t->edgeColor(1, 1, AcDb::kRightMask), kRed);
    EXPECT_EQ(t->edgeVisibility(1, 1, AcDb::kBottomMask), AcDb::kInvisible);
    EXPECT_TRUE(t->isEdgePropertyOverridden(2, 2, AcDb::kRightMask, AcDbTable::kEdgeColor));
    // After an unmerge the cells have their own edges again.
    ASSERT_EQ(t->unmergeCells(1, 3, 1, 2), Acad::eOk);
    EXPECT_NE(t->edgeColor(2, 1, AcDb::kRightMask), kRed);
    EXPECT_EQ(t->edgeColor(2, 2, AcDb::kRightMask), kRed);
}

TEST(TableEdges, GridEdgesReadAndWriteOneSegmentWhateverTheRegions) {
    auto t = makeTable(3, 3);
    ASSERT_EQ(t->mergeCells(0, 1, 0, 1), Acad::eOk);
    AcDbTable::GridEdge e;
    e.color = kBlue;
    e.overridden = 1u << AcDbTable::kEdgeColor;
    ASSERT_EQ(t->setGridEdge(0, 0, AcDb::kRightMask, e), Acad::eOk);
    EXPECT_EQ(t->gridEdge(0, 1, AcDb::kLeftMask).color, kBlue);
    EXPECT_EQ(t->gridEdge(0, 1, AcDb::kLeftMask).overridden, 1u << AcDbTable::kEdgeColor);
    EXPECT_EQ(t->gridEdge(1, 0, AcDb::kRightMask).overridden, 0u);
    // Only what the bits name is written; bad values are refused.
    e.overridden = 1u << AcDbTable::kEdgeLineWeight;
    e.lineWeight = static_cast<AcDb::LineWeight>(7);
    EXPECT_EQ(t->setGridEdge(0, 0, AcDb::kRightMask, e), Acad::eInvalidInput);
    EXPECT_EQ(t->setGridEdge(3, 0, AcDb::kRightMask, e), Acad::eInvalidInput);
    EXPECT_EQ(t->gridEdge(0, 0, AcDb::kRightMask).overridden, 1u << AcDbTable::kEdgeColor);
}

TEST(TableLook, AnIndexOutsideTheColourTableLeavesTheColourAsItWas) {
    auto t = makeTable(2, 2);
    // What a border colour of "nothing chosen yet" (-1) becomes.
    AcCmColor unchosen;
    unchosen.setColorIndex(static_cast<std::uint16_t>(-1));
    ASSERT_EQ(t->setEdgeColor(0, 0, 15, unchosen), Acad::eOk);
    EXPECT_EQ(t->edgeColor(0, 0, AcDb::kTopMask).colorIndex(), 256);
    AcCmColor red = kRed;
    red.setColorIndex(65535);
    EXPECT_EQ(red, kRed);
}

TEST(TableLook, CellsInheritTheirRowTypesFormat) {
    auto t = makeTable(4, 2);
    EXPECT_EQ(t->rowType(0), AcDb::kTitleRow);
    EXPECT_EQ(t->rowType(1), AcDb::kHeaderRow);
    EXPECT_EQ(t->rowType(3), AcDb::kDataRow);
    EXPECT_EQ(t->textHeight(0, 1), 0.25);
    EXPECT_EQ(t->cellAlignment(0, 1), AcDb::kMiddleCenter);
    EXPECT_EQ(t->cellAlignment(1, 0), AcDb::kMiddleCenter);
    EXPECT_EQ(t->textHeight(2, 0), 0.18);
    EXPECT_EQ(t->cellAlignment(2, 0), AcDb::kTopCenter);
    EXPECT_TRUE(t->isFillNone(3, 1));
    EXPECT_DOUBLE_EQ(t->horizontalCellMargin(), 0.06);
    EXPECT_FALSE(t->isMarginOverridden());
    EXPECT_FALSE(t->isCellPropertyOverridden(2, 0, AcDbTable::kCellAlignment));
}

TEST(TableLook, SettersOverrideAndClearingInheritsAgain) {
    auto t = makeTable(3, 2);
    ASSERT_EQ(t->setCellAlignment(2, 0, AcDb::kBottomLeft), Acad::eOk);
    ASSERT_EQ(t->setTextHeight(2, 0, 0.5), Acad::eOk);
    ASSERT_EQ(t->setFillNone(2, 0, false), Acad::eOk);
    ASSERT_EQ(t->setFillColor(2, 0, kRed), Acad::eOk);
    ASSERT_EQ(t->setTextColor(2, 0, kBlue), Acad::eOk);
    EXPECT_EQ(t->cellAlignment(2, 0), AcDb::kBottomLeft);
    EXPECT_EQ(t->textHeight(2, 0), 0.5);
    EXPECT_FALSE(t->isFillNone(2, 0));
    EXPECT_EQ(t->fillColor(2, 0), kRed);
    EXPECT_EQ(t->textColor(2, 0), kBlue);
    for (auto p : {AcDbTable::kCellAlignment, AcDbTable::kCellTextHeight, AcDbTable::kCellFillNone,
                   AcDbTable::kCellFillColor, AcDbTable::kCellTextColor})
        EXPECT_TRUE(t->isCellPropertyOverridden(2, 0, p)) << p;
    EXPECT_FALSE(t->isCellPropertyOverridden(2, 0, AcDbTable::kCellTextStyle));
    EXPECT_FALSE(t->isCellPropertyOverridden(2, 1, AcDbTable::kCellAlignment));

    ASSERT_EQ(t->clearCellOverride(2, 0, AcDbTable::kCellTextHeight), Acad::eOk);
    EXPECT_EQ(t->textHeight(2, 0), 0.18);
    EXPECT_EQ(t->clearCellOverride(2, 0, AcDbTable::kCellPropertyCount), Acad::eInvalidInput);
}

TEST(TableLook, BadCellValuesAreRefused) {
    auto t = makeTable(2, 2);
    EXPECT_EQ(t->setCellAlignment(0, 0, static_cast<AcDb::CellAlignment>(0)), Acad::eInvalidInput);
    EXPECT_EQ(t->setCellAlignment(0, 0, static_cast<AcDb::CellAlignment>(10)), Acad::eInvalidInput);
    EXPECT_EQ(t->setTextHeight(0, 0, 0.0), Acad::eInvalidInput);
    EXPECT_EQ(t->setHorizontalCellMargin(-0.1), Acad::eInvalidInput);
    EXPECT_EQ(t->setCellType(0, 0, AcDb::kUnknownCell), Acad::eInvalidInput);
    EXPECT_EQ(t->setTextString(2, 0, "x"), Acad::eInvalidInput);
    EXPECT_FALSE(t->isCellPropertyOverridden(0, 0, AcDbTable::kCellAlignment));
    EXPECT_EQ(t->textString(-1, 0), "");
    EXPECT_EQ(t->cellType(9, 9), AcDb::kUnknownCell);
}

TEST(TableLook, ANewSnapshotChangesInheritedValuesOnly) {
    auto t = makeTable(3, 2);
    ASSERT_EQ(t->setCellAlignment(2, 0, AcDb::kBottomRight), Acad::eOk);
    ASSERT_EQ(t->setHorizontalCellMargin(0.2), Acad::eOk);
    AcDbTableStyle style;
    ASSERT_EQ(style.setAlignment(AcDb::kMiddleLeft, AcDb::kDataRow), Acad::eOk);
    ASSERT_EQ(style.setTextHeight(0.4, AcDb::kDataRow), Acad::eOk);
    ASSERT_EQ(style.setHorzCellMargin(0.1), Acad::eOk);
    ASSERT_EQ(style.setVertCellMargin(0.1), Acad::eOk);
    ASSERT_EQ(t->setStyleSnapshot(style), Acad::eOk);
    EXPECT_EQ(t->cellAlignment(2, 0), AcDb::kBottomRight); // overridden
    EXPECT_EQ(t->cellAlignment(2, 1), AcDb::kMiddleLeft);  // inherited
    EXPECT_EQ(t->textHeight(2, 1), 0.4);
    EXPECT_DOUBLE_EQ(t->horizontalCellMargin(), 0.2);
    EXPECT_DOUBLE_EQ(t->verticalCellMargin(), 0.1);
    EXPECT_DOUBLE_EQ(t->minimumRowHeight(2), 0.4 + 0.2);
}

TEST(TableLook, SuppressedTitleAndHeaderRowsAreDataRows) {
    auto t = makeTable(3, 1);
    AcDbTableStyle style;
    style.suppressTitleRow(true);
    ASSERT_EQ(t->setStyleSnapshot(style), Acad::eOk);
    EXPECT_EQ(t->rowType(0), AcDb::kHeaderRow);
    EXPECT_EQ(t->rowType(1), AcDb::kDataRow);
    style.suppressHeaderRow(true);
    ASSERT_EQ(t->setStyleSnapshot(style), Acad::eOk);
    EXPECT_EQ(t->rowType(0), AcDb::kDataRow);
    EXPECT_TRUE(t->isTitleSuppressed());
    EXPECT_EQ(t->rowType(3), AcDb::kUnknownRow);
}

// Each grid line kind of each row type with its own colour index: the row
// type index times ten plus the kind's index.
AcDbTableStyle colourCodedGridStyle() {
    AcDbTableStyle style;
    const AcDb::RowType types[] = {AcDb::kTitleRow, AcDb::kHeaderRow, AcDb::kDataRow};
    const AcDb::GridLineType kinds[] = {AcDb::kHorzTop,  AcDb::kHorzInside, AcDb::kHorzBottom,
                                        AcDb::kVertLeft, AcDb::kVertInside, AcDb::kVertRight};
    for (int t = 0; t < 3; ++t)
        for (int k = 0; k < 6; ++k)
            style.setGridColor(AcCmColor::fromIndex(10 * (t + 1) + k), kinds[k], types[t]);
    return style;
}

TEST(TableEdges, SegmentsInheritTheGridFormatOfTheirPlace) {
    auto t = makeTable(5, 3); // title, header, three data rows
    ASSERT_EQ(t->setStyleSnapshot(colourCodedGridStyle()), Acad::eOk);
    auto index = [&](int r, int c, AcDb::CellEdgeMask e) {
        return t->edgeColor(r, c, e).colorIndex();
    };
    EXPECT_EQ(index(0, 1, AcDb::kTopMask), 10);    // title top
    EXPECT_EQ(index(1, 1, AcDb::kTopMask), 20);    // title/header: header's top
    EXPECT_EQ(index(2, 1, AcDb::kTopMask), 30);    // header/data: data's top
    EXPECT_EQ(index(3, 1, AcDb::kTopMask), 31);    // between data rows: inside
    EXPECT_EQ(index(4, 1, AcDb::kBottomMask), 32); // bottom of the table
    EXPECT_EQ(index(0, 0, AcDb::kLeftMask), 13);
    EXPECT_EQ(index(1, 1, AcDb::kLeftMask), 24);
    EXPECT_EQ(index(3, 2, AcDb::kRightMask), 35);
}

TEST(TableBlocks, BlockContentAndAttributeValues) {
    AcDbDatabase db;
    auto t = makeTable(2, 2);
    const AcDbObjectId blockA = db.modelSpaceId(), blockB = db.paperSpaceId();
    const AcDbObjectId defA = db.textstyle(), defB = db.layerTableId();
    EXPECT_EQ(t->setCellBlock(0, 0, AcDbObjectId(), false), Acad::eInvalidInput);
    ASSERT_EQ(t->setCellBlock(0, 0, blockA, true), Acad::eOk);
    EXPECT_EQ(t->cellType(0, 0), AcDb::kBlockCell);
    EXPECT_TRUE(t->cellBlockAutoFit(0, 0));
    EXPECT_EQ(t->cellBlockScale(0, 0), 1.0);
    EXPECT_EQ(t->setCellBlockScale(0, 0, 0.0), Acad::eInvalidInput);
    ASSERT_EQ(t->setCellBlockRotation(0, 0, 0.5), Acad::eOk);

    ASSERT_EQ(t->setCellBlockAttributeValue(0, 0, defB, "b"), Acad::eOk);
    ASSERT_EQ(t->setCellBlockAttributeValue(0, 0, defA, "a"), Acad::eOk);
    ASSERT_EQ(t->setCellBlockAttributeValue(0, 0, defB, "b2"), Acad::eOk);
    using Values = std::vector<std::pair<AcDbObjectId, std::string>>;
    EXPECT_EQ(t->cellBlockAttributeValues(0, 0), (Values{{defB, "b2"}, {defA, "a"}}));
    std::string value;
    EXPECT_EQ(t->cellBlockAttributeValue(0, 0, defA, value), Acad::eOk);
    EXPECT_EQ(value, "a");
    EXPECT_EQ(t->cellBlockAttributeValue(0, 1, defA, value), Acad::eKeyNotFound);

    // The same block again keeps the values; another block drops them.
    ASSERT_EQ(t->setCellBlock(0, 0, blockA, false), Acad::eOk);
    EXPECT_EQ(t->cellBlockAttributeValues(0, 0).size(), 2u);
    EXPECT_EQ(t->cellBlockRotation(0, 0), 0.5);
    ASSERT_EQ(t->setCellBlock(0, 0, blockB, false), Acad::eOk);
    EXPECT_TRUE(t->cellBlockAttributeValues(0, 0).empty());
}

// A table in model space of db, left open for write.
AcDbTable* addTable(AcDbDatabase& db, AcDbObjectId& id, int rows, int cols) {
    AcDbBlockTableRecord* ms = nullptr;
    EXPECT_EQ(acdbOpenObject(ms, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
    auto* t = new AcDbTable;
    t->setSize(rows, cols);
    EXPECT_EQ(ms->appendAcDbEntity(id, t), Acad::eOk);
    ms->close();
    return t;
}

AcDbObjectId addStyle(AcDbDatabase& db, const std::string& name, AcDbTableStyle* style) {
    AcDbDictionary* dict = nullptr;
    EXPECT_EQ(db.getTableStyleDictionary(dict, AcDb::kForWrite), Acad::eOk);
    style->setName(name);
    AcDbObjectId id;
    EXPECT_EQ(dict->setAt(name, style, id), Acad::eOk);
    style->close();
    dict->close();
    return id;
}

TEST(TableStyles, SetTableStyleRederivesInheritedValuesAndKeepsOverrides) {
    AcDbDatabase db;
    auto* bold = new AcDbTableStyle;
    bold->setTextHeight(0.5, AcDb::kDataRow);
    bold->setAlignment(AcDb::kBottomLeft, AcDb::kDataRow | AcDb::kHeaderRow);
    bold->setGridLineWeight(AcDb::kLnWt050, AcDb::kHorzInside, AcDb::kDataRow);
    bold->setBackgroundColorNone(false, AcDb::kTitleRow);
    bold->setBackgroundColor(kBlue, AcDb::kTitleRow);
    const AcDbObjectId boldId = addStyle(db, "Bold", bold);

    AcDbObjectId tableId;
    AcDbTable* t = addTable(db, tableId, 4, 2);
    ASSERT_EQ(t->setTableStyle(db.tablestyle()), Acad::eOk);
    ASSERT_EQ(t->setCellAlignment(3, 1, AcDb::kTopRight), Acad::eOk);
    ASSERT_EQ(t->setEdgeLineWeight(3, 0, AcDb::kTopMask, AcDb::kLnWt020), Acad::eOk);

    ASSERT_EQ(t->setTableStyle(boldId), Acad::eOk);
    EXPECT_EQ(t->tableStyle(), boldId);
    EXPECT_EQ(t->textHeight(3, 0), 0.5);
    EXPECT_EQ(t->cellAlignment(3, 0), AcDb::kBottomLeft);
    EXPECT_EQ(t->cellAlignment(1, 0), AcDb::kBottomLeft);
    EXPECT_EQ(t->cellAlignment(3, 1), AcDb::kTopRight); // override kept
    EXPECT_FALSE(t->isFillNone(0, 1));
    EXPECT_EQ(t->fillColor(0, 1), kBlue);
    EXPECT_EQ(t->edgeLineWeight(3, 1, AcDb::kTopMask), AcDb::kLnWt050);
    EXPECT_EQ(t->edgeLineWeight(3, 0, AcDb::kTopMask), AcDb::kLnWt020); // override kept
    // The table holds its own copy: later edits of the style do not reach it.
    {
        AcDbObjectPointer<AcDbTableStyle> s(boldId, AcDb::kForWrite);
        ASSERT_TRUE(s);
        s->setTextHeight(0.9, AcDb::kDataRow);
    }
    EXPECT_EQ(t->textHeight(3, 0), 0.5);
    t->close();
}

TEST(TableStyles, SetTableStyleRefusesWhatIsNotAStyle) {
    AcDbDatabase db;
    AcDbObjectId tableId;
    AcDbTable* t = addTable(db, tableId, 3, 2);
    ASSERT_EQ(t->setTableStyle(db.tablestyle()), Acad::eOk);
    const AcDbObjectId before = t->tableStyle();
    EXPECT_NE(t->setTableStyle(AcDbObjectId()), Acad::eOk);
    EXPECT_NE(t->setTableStyle(db.textstyle()), Acad::eOk);
    EXPECT_EQ(t->tableStyle(), before);
    EXPECT_EQ(t->textHeight(0, 0), 0.25);
    t->close();
}

TEST(TableStyles, SettersNeedTheTableOpenForWrite) {
    AcDbDatabase db;
    AcDbObjectId tableId;
    AcDbTable* t = addTable(db, tableId, 3, 2);
    t->close();
    AcDbObjectPointer<AcDbTable> reader(tableId, AcDb::kForRead);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->setCellAlignment(0, 0, AcDb::kTopLeft), Acad::eNotOpenForWrite);
    EXPECT_EQ(reader->setEdgeColor(0, 0, 1, kRed), Acad::eNotOpenForWrite);
    EXPECT_EQ(reader->mergeCells(0, 1, 0, 1), Acad::eNotOpenForWrite);
    EXPECT_EQ(reader->insertRows(0, 1.0), Acad::eNotOpenForWrite);
    EXPECT_EQ(reader->setTableStyle(db.tablestyle()), Acad::eNotOpenForWrite);
    EXPECT_EQ(reader->setSubSelection(0, 0, 0, 0), Acad::eNotOpenForWrite);
    EXPECT_EQ(reader->rowCount(), 3);
    EXPECT_FALSE(reader->isCellPropertyOverridden(0, 0, AcDbTable::kCellAlignment));
    EXPECT_TRUE(reader->mergedRanges().empty());
}

} // namespace
