// Where a table lies and what it draws: outlines, hit testing, extents,
// transforms, the graphics it explodes into, and its references.

#include "acdb/database.h"
#include "acdb/table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Rows of height 1 and columns of width 2, top-left corner at (10, 20, 0).
std::unique_ptr<AcDbTable> makeTable(int rows, int cols) {
    auto t = std::make_unique<AcDbTable>();
    EXPECT_EQ(t->setSize(rows, cols), Acad::eOk);
    EXPECT_EQ(t->setRowHeight(1.0), Acad::eOk);
    EXPECT_EQ(t->setColumnWidth(2.0), Acad::eOk);
    EXPECT_EQ(t->setPosition(AcGePoint3d(10, 20, 0)), Acad::eOk);
    return t;
}

template <class T> std::vector<const T*> entitiesOf(const AcDbEntityList& list) {
    std::vector<const T*> out;
    for (const auto& e : list)
        if (e->isA() == T::desc())
            out.push_back(static_cast<const T*>(e.get()));
    return out;
}

template <class T> std::size_t countOf(const AcDbTable& t) {
    return entitiesOf<T>(t.graphics()).size();
}

void expectPoint(const AcGePoint3d& p, double x, double y) {
    EXPECT_NEAR(p.x, x, 1e-9);
    EXPECT_NEAR(p.y, y, 1e-9);
    EXPECT_NEAR(p.z, 0, 1e-9);
}

TEST(TableOutline, CornersComeTopLeftTopRightBottomLeftBottomRight) {
    auto t = makeTable(3, 3);
    AcGePoint3dArray pts;
    ASSERT_EQ(t->cellOutline(1, 2, true, pts), Acad::eOk);
    ASSERT_EQ(pts.size(), 4u);
    expectPoint(pts[0], 14, 19);
    expectPoint(pts[1], 16, 19);
    expectPoint(pts[2], 14, 18);
    expectPoint(pts[3], 16, 18);
    // Inside the margins.
    ASSERT_EQ(t->cellOutline(1, 2, false, pts), Acad::eOk);
    expectPoint(pts[0], 14.06, 18.94);
    expectPoint(pts[3], 15.94, 18.06);
    EXPECT_EQ(t->cellOutline(3, 0, true, pts), Acad::eInvalidInput);
    EXPECT_TRUE(pts.empty());
}

TEST(TableOutline, AMergedCellGivesItsRegionsCorners) {
    auto t = makeTable(3, 3);
    ASSERT_EQ(t->mergeCells(1, 2, 0, 1), Acad::eOk);
    AcGePoint3dArray pts;
    ASSERT_EQ(t->cellOutline(2, 1, true, pts), Acad::eOk);
    expectPoint(pts[0], 10, 19);
    expectPoint(pts[1], 14, 19);
    expectPoint(pts[2], 10, 17);
    expectPoint(pts[3], 14, 17);
}

TEST(TableOutline, ColumnsFollowTheDirectionAndRowsRunAcrossIt) {
    auto t = makeTable(2, 2);
    ASSERT_EQ(t->setDirection(AcGeVector3d(0, 3, 0)), Acad::eOk); // columns run +Y
    EXPECT_TRUE(t->direction().isEqualTo(AcGeVector3d(0, 1, 0)));
    AcGePoint3dArray pts;
    ASSERT_EQ(t->cellOutline(1, 1, true, pts), Acad::eOk);
    // Rows run down, i.e. to the right of the direction: +X.
    expectPoint(pts[0], 11, 22);
    expectPoint(pts[1], 11, 24);
    expectPoint(pts[2], 12, 22);
    expectPoint(pts[3], 12, 24);
    EXPECT_EQ(t->setDirection(AcGeVector3d(0, 0, 1)), Acad::eInvalidInput);
}

TEST(TableOutline, HitTestFindsTheCellUnderAPoint) {
    auto t = makeTable(3, 3);
    ASSERT_EQ(t->mergeCells(1, 2, 1, 2), Acad::eOk);
    int row = -1, col = -1;
    ASSERT_TRUE(t->hitTestCell(AcGePoint3d(11, 19.5, 0), row, col));
    EXPECT_EQ(row, 0);
    EXPECT_EQ(col, 0);
    ASSERT_TRUE(t->hitTestCell(AcGePoint3d(15.9, 17.1, 5), row, col)); // off the plane
    EXPECT_EQ(row, 1); // a merged cell answers as its top-left cell
    EXPECT_EQ(col, 1);
    EXPECT_FALSE(t->hitTestCell(AcGePoint3d(9.9, 19.5, 0), row, col));
    EXPECT_FALSE(t->hitTestCell(AcGePoint3d(11, 16.9, 0), row, col));
}

TEST(TableOutline, ExtentsCoverTheGrid) {
    auto t = makeTable(3, 4);
    AcDbExtents ext;
    ASSERT_EQ(t->getGeomExtents(ext), Acad::eOk);
    expectPoint(ext.minPoint(), 10, 17);
    expectPoint(ext.maxPoint(), 18, 20);
}

TEST(TableTransform, MovesRotatesAndScalesTheGrid) {
    auto t = makeTable(2, 2);
    ASSERT_EQ(t->setTextHeight(1, 1, 0.3), Acad::eOk);
    const AcGePoint3d pivot(10, 20, 0);
    AcGeMatrix3d m = AcGeMatrix3d::translation(AcGeVector3d(5, 0, 0)) *
                     AcGeMatrix3d::rotation(std::numbers::pi / 2, AcGeVector3d::kZAxis, pivot) *
                     AcGeMatrix3d::scaling(2.0, pivot);
    ASSERT_EQ(t->transformBy(m), Acad::eOk);
    expectPoint(t->position(), 15, 20);
    EXPECT_TRUE(t->direction().isEqualTo(AcGeVector3d(0, 1, 0), AcGeTol{1e-9, 1e-9}));
    EXPECT_DOUBLE_EQ(t->columnWidth(0), 4.0);
    EXPECT_DOUBLE_EQ(t->rowHeight(1), 2.0);
    EXPECT_DOUBLE_EQ(t->textHeight(1, 1), 0.6);
    EXPECT_DOUBLE_EQ(t->textHeight(1, 0), 0.36);
    EXPECT_DOUBLE_EQ(t->horizontalCellMargin(), 0.12);
    AcGePoint3dArray pts;
    ASSERT_EQ(t->cellOutline(0, 0, true, pts), Acad::eOk);
    expectPoint(pts[3], 17, 24); // bottom-right: one row (+X) and one column (+Y) away

    AcGeMatrix3d stretch;
    stretch.entry[0][0] = 2.0;
    EXPECT_EQ(t->transformBy(stretch), Acad::eInvalidInput);
    EXPECT_DOUBLE_EQ(t->columnWidth(0), 4.0);
}

TEST(TableGraphics, OneLinePerShownSegment) {
    auto t = makeTable(3, 3);
    // (3 + 1) * 3 horizontal and 3 * (3 + 1) vertical segments.
    EXPECT_EQ(countOf<AcDbLine>(*t), 24u);
    ASSERT_EQ(t->setEdgeVisibility(1, 1, 15, AcDb::kInvisible), Acad::eOk);
    EXPECT_EQ(countOf<AcDbLine>(*t), 20u);
    ASSERT_EQ(t->setEdgeVisibility(1, 1, AcDb::kTopMask, AcDb::kVisible), Acad::eOk);
    EXPECT_EQ(countOf<AcDbLine>(*t), 21u);
    EXPECT_EQ(countOf<AcDbSolid>(*t), 0u);
    EXPECT_EQ(countOf<AcDbMText>(*t), 0u);
}

TEST(TableGraphics, LinesCarryTheirSegmentsColourAndWeight) {
    auto t = makeTable(1, 1);
    ASSERT_EQ(t->setEdgeColor(0, 0, AcDb::kBottomMask, AcCmColor::fromIndex(3)), Acad::eOk);
    ASSERT_EQ(t->setEdgeLineWeight(0, 0, AcDb::kBottomMask, AcDb::kLnWt070), Acad::eOk);
    auto lines = entitiesOf<AcDbLine>(t->graphics());
    auto bottom = std::find_if(lines.begin(), lines.end(), [](const AcDbLine* l) {
        return std::fabs(l->startPoint().y - 19) < 1e-9 && std::fabs(l->endPoint().y - 19) < 1e-9;
    });
    ASSERT_NE(bottom, lines.end());
    EXPECT_EQ((*bottom)->color(), AcCmColor::fromIndex(3));
    EXPECT_EQ((*bottom)->lineWeight(), AcDb::kLnWt070);
    EXPECT_EQ(lines.front()->color(), AcCmColor::byBlock());
}

TEST(TableGraphics, MergedCellsDrawNoInnerLinesAndOneFillAndText) {
    auto t = makeTable(3, 3);
    ASSERT_EQ(t->mergeCells(0, 1, 0, 1), Acad::eOk);
    EXPECT_EQ(countOf<AcDbLine>(*t), 24u - 4u);
    for (int r = 0; r <= 1; ++r) {
        for (int c = 0; c <= 1; ++c) {
            t->setFillNone(r, c, false);
            t->setTextString(r, c, "cell");
        }
    }
    EXPECT_EQ(countOf<AcDbSolid>(*t), 1u);
    EXPECT_EQ(countOf<AcDbMText>(*t), 1u);
    AcGePoint3d p;
    ASSERT_EQ(entitiesOf<AcDbSolid>(t->graphics())[0]->getPointAt(3, p), Acad::eOk);
    expectPoint(p, 14, 18); // the region's bottom-right corner
}

TEST(TableGraphics, FillsHaveTheirCellsColour) {
    auto t = makeTable(2, 2);
    ASSERT_EQ(t->setFillNone(1, 0, false), Acad::eOk);
    ASSERT_EQ(t->setFillColor(1, 0, AcCmColor::fromIndex(2)), Acad::eOk);
    auto solids = entitiesOf<AcDbSolid>(t->graphics());
    ASSERT_EQ(solids.size(), 1u);
    EXPECT_EQ(solids[0]->color(), AcCmColor::fromIndex(2));
    AcGePoint3d p;
    solids[0]->getPointAt(0, p);
    expectPoint(p, 10, 19);
}

TEST(TableGraphics, TextIsPlacedByAlignmentInsideTheMargins) {
    auto t = makeTable(3, 2);
    ASSERT_EQ(t->setTextString(2, 1, "top left"), Acad::eOk);
    ASSERT_EQ(t->setCellAlignment(2, 1, AcDb::kTopLeft), Acad::eOk);
    ASSERT_EQ(t->setTextString(0, 0, "title"), Acad::eOk); // middle centre by the style
    ASSERT_EQ(t->setTextColor(0, 0, AcCmColor::fromIndex(6)), Acad::eOk);
    auto texts = entitiesOf<AcDbMText>(t->graphics());
    ASSERT_EQ(texts.size(), 2u);
    const AcDbMText* title = texts[0];
    const AcDbMText* data = texts[1];
    EXPECT_EQ(title->contents(), "title");
    expectPoint(title->location(), 11, 19.5);
    EXPECT_EQ(title->attachment(), AcDb::kMiddleCenter);
    EXPECT_DOUBLE_EQ(title->textHeight(), 0.25);
    EXPECT_EQ(title->color(), AcCmColor::fromIndex(6));
    expectPoint(data->location(), 12.06, 17.94);
    EXPECT_EQ(data->attachment(), AcDb::kTopLeft);
    EXPECT_NEAR(data->width(), 2 - 0.12, 1e-12);
}

TEST(TableGraphics, SettersAndMovesRebuildThePicture) {
    auto t = makeTable(1, 1);
    ASSERT_EQ(t->graphics().size(), 4u);
    ASSERT_EQ(t->setEdgeVisibility(0, 0, AcDb::kLeftMask, AcDb::kInvisible), Acad::eOk);
    EXPECT_EQ(t->graphics().size(), 3u);
    ASSERT_EQ(t->setPosition(AcGePoint3d(0, 0, 0)), Acad::eOk);
    AcDbExtents ext;
    for (const auto& e : t->graphics()) {
        AcDbExtents one;
        ASSERT_EQ(e->getGeomExtents(one), Acad::eOk);
        ext.addExt(one);
    }
    expectPoint(ext.minPoint(), 0, -1);
    expectPoint(ext.maxPoint(), 2, 0);
}

TEST(TableGraphics, ExplodeGivesIndependentCopies) {
    auto t = makeTable(2, 2);
    t->setTextString(0, 0, "a");
    AcDbEntityList parts;
    ASSERT_EQ(t->explode(parts), Acad::eOk);
    ASSERT_EQ(parts.size(), t->graphics().size());
    for (std::size_t i = 0; i < parts.size(); ++i) {
        EXPECT_NE(parts[i].get(), t->graphics()[i].get());
        EXPECT_EQ(parts[i]->isA(), t->graphics()[i]->isA());
        EXPECT_FALSE(parts[i]->isDatabaseResident());
    }
}

TEST(TableSelection, RangeIsRuntimeStateThatCopiesDoNotTake) {
    auto t = makeTable(3, 3);
    int r0 = -1, r1 = -1, c0 = -1, c1 = -1;
    EXPECT_NE(t->selectedCellRange(r0, r1, c0, c1), Acad::eOk);
    EXPECT_EQ(t->setSubSelection(0, 3, 0, 0), Acad::eInvalidInput);
    EXPECT_EQ(t->setSubSelection(1, 0, 0, 0), Acad::eInvalidInput);
    ASSERT_EQ(t->setSubSelection(1, 2, 0, 1), Acad::eOk);
    ASSERT_EQ(t->selectedCellRange(r0, r1, c0, c1), Acad::eOk);
    EXPECT_EQ((AcDbTable::Range{r0, r1, c0, c1}), (AcDbTable::Range{1, 2, 0, 1}));

    t->mergeCells(0, 1, 1, 2);
    std::unique_ptr<AcDbTable> copy(AcDbTable::cast(t->cloneObject()));
    ASSERT_TRUE(copy);
    EXPECT_FALSE(copy->hasSubSelection());
    EXPECT_EQ(copy->mergedRanges(), t->mergedRanges());
    EXPECT_TRUE(t->hasSubSelection());

    ASSERT_EQ(t->clearSubSelection(), Acad::eOk);
    EXPECT_NE(t->selectedCellRange(r0, r1, c0, c1), Acad::eOk);
}

// ---- with a database: block cells, text styles, references

struct BlockFixture : ::testing::Test {
    AcDbDatabase db;
    AcDbObjectId blockId, defId, lineId;

    // Block "B": a line from (1, 1) to (3, 2) and an attribute definition at
    // (1, 1); the block's origin is (1, 1).
    void SetUp() override {
        AcDbBlockTable* bt = nullptr;
        ASSERT_EQ(db.getBlockTable(bt, AcDb::kForWrite), Acad::eOk);
        auto* rec = new AcDbBlockTableRecord;
        rec->setName("B");
        rec->setOrigin(AcGePoint3d(1, 1, 0));
        ASSERT_EQ(bt->add(blockId, rec), Acad::eOk);
        bt->close();
        auto* line = new AcDbLine(AcGePoint3d(1, 1, 0), AcGePoint3d(3, 2, 0));
        rec->appendAcDbEntity(lineId, line);
        line->close();
        auto* def = new AcDbAttributeDefinition(AcGePoint3d(1, 1, 0), "default", "TAG", "Tag?");
        def->setHeight(0.1);
        rec->appendAcDbEntity(defId, def);
        def->close();
        rec->close();
    }

    AcDbTable* addTable(AcDbObjectId& id) {
        AcDbBlockTableRecord* ms = nullptr;
        EXPECT_EQ(acdbOpenObject(ms, db.modelSpaceId(), AcDb::kForWrite), Acad::eOk);
        auto* t = new AcDbTable;
        t->setSize(3, 2);
        t->setRowHeight(1.0);
        t->setColumnWidth(2.5);
        EXPECT_EQ(ms->appendAcDbEntity(id, t), Acad::eOk);
        ms->close();
        EXPECT_EQ(t->setTableStyle(db.tablestyle()), Acad::eOk);
        return t;
    }
};

TEST_F(BlockFixture, AutoFitScalesTheBlockIntoTheCellAndAlignsIt) {
    AcDbObjectId tableId;
    AcDbTable* t = addTable(tableId);
    ASSERT_EQ(t->setCellBlock(2, 0, blockId, true), Acad::eOk);
    ASSERT_EQ(t->setCellAlignment(2, 0, AcDb::kMiddleCenter), Acad::eOk);
    ASSERT_EQ(t->setCellBlockAttributeValue(2, 0, defId, "value"), Acad::eOk);
    auto refs = entitiesOf<AcDbBlockReference>(t->graphics());
    ASSERT_EQ(refs.size(), 1u);
    // The block is 2 by 1; the cell inside its margins 2.38 by 0.88.
    EXPECT_NEAR(refs[0]->scaleFactors().x, 0.88, 1e-9);
    EXPECT_EQ(refs[0]->blockTableRecord(), blockId);
    expectPoint(refs[0]->position(), (2.5 - 0.88 * 2) / 2, -2.5 - 0.88 / 2);

    auto texts = entitiesOf<AcDbText>(t->graphics());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->textString(), "value");
    expectPoint(texts[0]->position(), refs[0]->position().x, refs[0]->position().y);
    t->close();
}

TEST_F(BlockFixture, FixedScaleAndRotationAreKept) {
    AcDbObjectId tableId;
    AcDbTable* t = addTable(tableId);
    ASSERT_EQ(t->setCellBlock(2, 1, blockId, false), Acad::eOk);
    ASSERT_EQ(t->setCellBlockScale(2, 1, 0.25), Acad::eOk);
    ASSERT_EQ(t->setCellBlockRotation(2, 1, std::numbers::pi / 2), Acad::eOk);
    ASSERT_EQ(t->setCellAlignment(2, 1, AcDb::kTopLeft), Acad::eOk);
    auto refs = entitiesOf<AcDbBlockReference>(t->graphics());
    ASSERT_EQ(refs.size(), 1u);
    EXPECT_DOUBLE_EQ(refs[0]->scaleFactors().x, 0.25);
    EXPECT_NEAR(refs[0]->rotation(), std::numbers::pi / 2, 1e-12);
    // Turned a quarter, the block spans -0.25..0 across and 0..0.5 up from
    // its insertion point; its top-left lands inside the margins.
    expectPoint(refs[0]->position(), 2.5 + 0.06 + 0.25, -2 - 0.06 - 0.5);
    // Without a value the attribute shows its default.
    auto texts = entitiesOf<AcDbText>(t->graphics());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->textString(), "default");
    t->close();
}

TEST_F(BlockFixture, ABlockThatCannotBeReadDrawsNothing) {
    AcDbObjectId tableId;
    AcDbTable* t = addTable(tableId);
    ASSERT_EQ(t->setCellBlock(1, 1, db.layerTableId(), true), Acad::eOk);
    EXPECT_TRUE(entitiesOf<AcDbBlockReference>(t->graphics()).empty());
    EXPECT_EQ(countOf<AcDbLine>(*t), (3u + 1) * 2 + 3u * (2 + 1));
    t->close();
}

TEST_F(BlockFixture, AnErasedBlockDrawsAgainOnceUnerased) {
    AcDbObjectId tableId;
    AcDbTable* t = addTable(tableId);
    ASSERT_EQ(t->setCellBlock(2, 0, blockId, true), Acad::eOk);
    ASSERT_EQ(entitiesOf<AcDbBlockReference>(t->graphics()).size(), 1u);
    {
        AcDbObjectPointer<AcDbBlockTableRecord> rec(blockId, AcDb::kForWrite);
        ASSERT_TRUE(rec);
        ASSERT_EQ(rec->erase(), Acad::eOk);
    }
    t->invalidateGraphics();
    EXPECT_TRUE(entitiesOf<AcDbBlockReference>(t->graphics()).empty());
    {
        AcDbObjectPointer<AcDbBlockTableRecord> rec(blockId, AcDb::kForWrite, true);
        ASSERT_TRUE(rec);
        ASSERT_EQ(rec->erase(false), Acad::eOk);
    }
    EXPECT_EQ(entitiesOf<AcDbBlockReference>(t->graphics()).size(), 1u);
    t->close();
}

TEST_F(BlockFixture, RedefiningTheBlockRebuildsThePictureAndTheRowHeights) {
    AcDbObjectId tableId;
    AcDbTable* t = addTable(tableId);
    ASSERT_EQ(t->setCellBlock(2, 0, blockId, true), Acad::eOk);
    ASSERT_EQ(t->setCellBlock(1, 1, blockId, false), Acad::eOk);
    auto refs = entitiesOf<AcDbBlockReference>(t->graphics());
    ASSERT_EQ(refs.size(), 2u);
    const double fitted = refs[1]->scaleFactors().x;
    const double before = t->rowHeight(1);

    // "B" again, now a line four times as long and as high (block origin 0,0).
    AcDbDatabase source;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> ms(source.modelSpaceId(), AcDb::kForWrite);
        auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(8, 4, 0));
        ms->appendAcDbEntity(line);
        line->close();
    }
    AcDbObjectId redefined;
    ASSERT_EQ(db.insert(redefined, "B", &source), Acad::eOk);
    ASSERT_EQ(redefined, blockId);

    // No invalidateGraphics(): the table notices by itself.
    refs = entitiesOf<AcDbBlockReference>(t->graphics());
    ASSERT_EQ(refs.size(), 2u);
    EXPECT_NEAR(refs[1]->scaleFactors().x, fitted / 4, 1e-9);
    // The fixed-scale cell's row now holds a block 4 high plus the margins.
    EXPECT_GT(t->rowHeight(1), before);
    EXPECT_NEAR(t->rowHeight(1), 4 + 2 * t->verticalCellMargin(), 1e-9);
    t->close();
}

TEST_F(BlockFixture, RowsGrowToHoldABlockAtAFixedScale) {
    AcDbObjectId tableId;
    AcDbTable* t = addTable(tableId);
    const double vm = t->verticalCellMargin();
    // The block is 2 wide and 1 high: at scale 3 it needs 3 plus margins.
    ASSERT_EQ(t->setCellBlock(1, 0, blockId, false), Acad::eOk);
    ASSERT_EQ(t->setCellBlockScale(1, 0, 3.0), Acad::eOk);
    EXPECT_NEAR(t->rowHeight(1), 3 + 2 * vm, 1e-9);
    EXPECT_DOUBLE_EQ(t->storedRowHeight(1), 1.0);
    // Turned a quarter it stands 2 wide as its height.
    ASSERT_EQ(t->setCellBlockRotation(1, 0, std::numbers::pi / 2), Acad::eOk);
    EXPECT_NEAR(t->rowHeight(1), 6 + 2 * vm, 1e-9);
    // The block lies inside its row.
    auto refs = entitiesOf<AcDbBlockReference>(t->graphics());
    ASSERT_EQ(refs.size(), 1u);
    AcDbExtents e;
    ASSERT_EQ(refs[0]->getGeomExtents(e), Acad::eOk);
    EXPECT_GE(e.minPoint().y, -(1.0 + t->rowHeight(1)) - 1e-9);
    EXPECT_LE(e.maxPoint().y, -1.0 + 1e-9);
    // Fitted blocks follow the row instead of sizing it.
    ASSERT_EQ(t->setCellBlockAutoFit(1, 0, true), Acad::eOk);
    EXPECT_DOUBLE_EQ(t->rowHeight(1), 1.0);
    t->close();
}

TEST_F(BlockFixture, ARegionOverSeveralRowsGrowsItsLastRowToHoldItsBlock) {
    AcDbObjectId tableId;
    AcDbTable* t = addTable(tableId);
    const double vm = t->verticalCellMargin();
    ASSERT_EQ(t->mergeCells(0, 1, 0, 0), Acad::eOk);
    ASSERT_EQ(t->setCellBlock(0, 0, blockId, false), Acad::eOk);
    ASSERT_EQ(t->setCellBlockScale(0, 0, 3.0), Acad::eOk); // 3 high: rows 0 and 1 hold 2
    EXPECT_DOUBLE_EQ(t->rowHeight(0), 1.0);
    EXPECT_NEAR(t->rowHeight(1), 2 + 2 * vm, 1e-9);
    EXPECT_DOUBLE_EQ(t->storedRowHeight(1), 1.0);
    // Room enough: nothing grows.
    ASSERT_EQ(t->setCellBlockScale(0, 0, 1.0), Acad::eOk);
    EXPECT_DOUBLE_EQ(t->rowHeight(1), 1.0);
    t->close();
}

TEST_F(BlockFixture, ConstantAttributesShowTheirFixedValueAndInvisibleOnesNothing) {
    {
        AcDbObjectPointer<AcDbBlockTableRecord> rec(blockId, AcDb::kForWrite);
        auto* fixed = new AcDbAttributeDefinition(AcGePoint3d(1, 1.5, 0), "FIXED", "CONST", "");
        fixed->setConstant(true);
        fixed->setHeight(0.1);
        rec->appendAcDbEntity(fixed);
        fixed->close();
        auto* hidden = new AcDbAttributeDefinition(AcGePoint3d(1, 1.8, 0), "SECRET", "HID", "");
        hidden->setInvisible(true);
        hidden->setHeight(0.1);
        rec->appendAcDbEntity(hidden);
        hidden->close();
    }
    AcDbObjectId tableId;
    AcDbTable* t = addTable(tableId);
    ASSERT_EQ(t->setCellBlock(2, 0, blockId, true), Acad::eOk);
    ASSERT_EQ(t->setCellBlockAttributeValue(2, 0, defId, "value"), Acad::eOk);
    std::vector<std::string> shown;
    for (const AcDbText* text : entitiesOf<AcDbText>(t->graphics()))
        shown.push_back(text->textString());
    EXPECT_EQ(shown, (std::vector<std::string>{"value", "FIXED"}));
    t->close();
}

TEST_F(BlockFixture, TextUsesTheStylesTextStyle) {
    AcDbObjectId tableId;
    AcDbTable* t = addTable(tableId);
    t->setTextString(2, 0, "x");
    auto texts = entitiesOf<AcDbMText>(t->graphics());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->textStyle(), db.textstyle());
    t->close();
}

struct CollectingSink : AcDbReferenceSink {
    std::vector<AcDbObjectId> ids;
    void hardReference(AcDbObjectId id) override { ids.push_back(id); }
};

TEST_F(BlockFixture, ReferencesAreReportedOnceAndRemapped) {
    AcDbObjectId tableId;
    AcDbTable* t = addTable(tableId);
    const AcDbObjectId styleId = db.tablestyle();
    const AcDbObjectId textStyleId = db.textstyle();
    const AcDbObjectId otherText = db.layerTableId(); // any distinct id will do
    t->setCellBlock(1, 0, blockId, true);
    t->setCellBlock(2, 0, blockId, true);
    t->setCellBlockAttributeValue(2, 0, defId, "v");
    t->setTextStyle(0, 1, otherText);

    CollectingSink sink;
    t->collectReferences(sink);
    auto has = [&](AcDbObjectId id) { return std::count(sink.ids.begin(), sink.ids.end(), id); };
    EXPECT_EQ(has(styleId), 1);
    EXPECT_EQ(has(textStyleId), 1);
    EXPECT_EQ(has(otherText), 1);
    EXPECT_EQ(has(blockId), 1);
    EXPECT_EQ(has(AcDbObjectId()), 0);

    // Map every id onto another one of this database.
    const AcDbObjectId newStyle = db.namedObjectsDictionaryId();
    const AcDbObjectId newBlock = db.paperSpaceId(), newDef = lineId;
    const AcDbObjectId newText = db.linetypeTableId(), newOther = db.blockTableId();
    AcDbIdMapping map;
    map.assign(styleId, newStyle);
    map.assign(blockId, newBlock);
    map.assign(defId, newDef);
    map.assign(textStyleId, newText);
    map.assign(otherText, newOther);
    t->remapReferences(map);
    EXPECT_EQ(t->tableStyle(), newStyle);
    EXPECT_EQ(t->cellBlock(1, 0), newBlock);
    EXPECT_EQ(t->textStyle(2, 1), newText); // inherited through the snapshot
    EXPECT_EQ(t->textStyle(0, 1), newOther);
    std::string value;
    EXPECT_EQ(t->cellBlockAttributeValue(2, 0, newDef, value), Acad::eOk);
    EXPECT_EQ(value, "v");
    t->close();
}

} // namespace
