// The table edits of the toolbar on real tables: merge and unmerge, rows and
// columns, and the frame that finds the table carrying the cell selection.
#include "tableops/TableEdits.h"
#include "util/UtiCommonFunc.h"

#include "runtime_core/drawing_support.h"
#include "runtime_core/runtime_fixture.h"

#include <gtest/gtest.h>

using cadhost::test::addTable;

namespace {

class TableEdits : public cadhost::test::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        db = newDrawing()->database();
        id = addTable(db, {0, 0, 0}, 6, 6);
    }
    // Runs one edit on the table as the toolbar does, with the cells selected.
    bool run(const tagAcadTableRange& cells, const TableOperationFrame::Work& work) {
        {
            AcDbObjectPointer<AcDbTable> t(id, AcDb::kForWrite);
            t->setSubSelection(cells.rowMin, cells.rowMax, cells.colMin, cells.colMax);
        }
        return TableOperationFrame::run(work);
    }
    AcDbObjectPointer<AcDbTable> table() {
        return AcDbObjectPointer<AcDbTable>(id, AcDb::kForRead);
    }
    std::vector<tagAcadTableRange> merged;
    AcDbDatabase* db = nullptr;
    AcDbObjectId id;
};

TEST_F(TableEdits, UnmergeTakesEveryRegionTouchedOnceInScanOrder) {
    {
        AcDbObjectPointer<AcDbTable> t(id, AcDb::kForWrite);
        t->mergeCells(0, 1, 0, 1);
        t->mergeCells(1, 2, 3, 5);
    }
    // Part of the first region, all of the second: both go, wholly.
    ASSERT_TRUE(run({1, 1, 1, 4}, [&](AcDbTable& t, const tagAcadTableRange& r) {
        unmergeSelectedCells(t, r, merged);
    }));
    EXPECT_EQ(merged, (std::vector<tagAcadTableRange>{{0, 1, 0, 1}, {1, 2, 3, 5}}));
    EXPECT_TRUE(table()->mergedRanges().empty());
    EXPECT_EQ(take().find("invalid input"), std::string::npos);
    // A selection without merged cells unmerges nothing and the list empties.
    ASSERT_TRUE(run({4, 5, 4, 5}, [&](AcDbTable& t, const tagAcadTableRange& r) {
        unmergeSelectedCells(t, r, merged);
    }));
    EXPECT_TRUE(merged.empty());
}

TEST_F(TableEdits, MergeOverlappingARegionIsRefusedSilently) {
    ASSERT_TRUE(run({0, 1, 0, 1}, mergeSelectedCells));
    EXPECT_EQ(table()->mergedRanges().size(), 1u);
    ASSERT_TRUE(run({1, 2, 1, 2}, mergeSelectedCells));
    ASSERT_EQ(table()->mergedRanges().size(), 1u);
    EXPECT_EQ(table()->mergedRanges()[0], (AcDbTable::Range{0, 1, 0, 1}));
}

TEST_F(TableEdits, InsertedColumnsAndRowsTakeTheSmallestSelectedSize) {
    {
        AcDbObjectPointer<AcDbTable> t(id, AcDb::kForWrite);
        t->setColumnWidth(1, 3.0);
        t->setColumnWidth(2, 1.5);
        t->setColumnWidth(3, 2.0);
        t->setRowHeight(2, 2.0);
    }
    ASSERT_TRUE(run({0, 0, 1, 3}, [](AcDbTable& t, const tagAcadTableRange& r) {
        insertColumnsBeside(t, r, false);
    }));
    auto t = table();
    ASSERT_EQ(t->columnCount(), 9);
    for (int c = 4; c <= 6; ++c)
        EXPECT_DOUBLE_EQ(t->columnWidth(c), 1.5);
    EXPECT_DOUBLE_EQ(t->columnWidth(3), 2.0);
    EXPECT_DOUBLE_EQ(t->columnWidth(7), 2.5);
    t->close();
    ASSERT_TRUE(run({2, 3, 0, 0}, [](AcDbTable& t, const tagAcadTableRange& r) {
        insertRowsBeside(t, r, true);
    }));
    auto after = table();
    ASSERT_EQ(after->rowCount(), 8);
    EXPECT_DOUBLE_EQ(after->rowHeight(2), 1.0);
    EXPECT_DOUBLE_EQ(after->rowHeight(3), 1.0);
    EXPECT_DOUBLE_EQ(after->rowHeight(4), 2.0); // the selected row moved down
}

TEST_F(TableEdits, SizeEquallyKeepsTheTotalAndDeleteTakesTheSelection) {
    {
        AcDbObjectPointer<AcDbTable> t(id, AcDb::kForWrite);
        t->setRowHeight(1, 1.0);
        t->setRowHeight(2, 2.0);
        t->setRowHeight(3, 6.0);
    }
    ASSERT_TRUE(run({1, 3, 0, 0},
                    [](AcDbTable& t, const tagAcadTableRange& r) { sizeEqually(t, r, true); }));
    for (int r = 1; r <= 3; ++r)
        EXPECT_DOUBLE_EQ(table()->rowHeight(r), 3.0);
    ASSERT_TRUE(run({2, 4, 0, 0}, deleteSelectedRows));
    EXPECT_EQ(table()->rowCount(), 3);
    ASSERT_TRUE(run({0, 0, 1, 2}, deleteSelectedColumns));
    EXPECT_EQ(table()->columnCount(), 4);
}

TEST_F(TableEdits, TheFirstTableWithASelectionIsUsedAndNoneGivesTheMessage) {
    const AcDbObjectId second = addTable(db, {50, 0, 0}, 3, 3);
    {
        AcDbObjectPointer<AcDbTable> t(second, AcDb::kForWrite);
        t->setSubSelection(0, 1, 0, 1);
    }
    ASSERT_TRUE(run({0, 1, 0, 1}, mergeSelectedCells));
    EXPECT_EQ(table()->mergedRanges().size(), 1u);
    EXPECT_TRUE(AcDbObjectPointer<AcDbTable>(second, AcDb::kForRead)->mergedRanges().empty());

    for (AcDbObjectId each : {id, second})
        AcDbObjectPointer<AcDbTable>(each, AcDb::kForWrite)->clearSubSelection();
    take();
    bool worked = false;
    EXPECT_FALSE(
        TableOperationFrame::run([&](AcDbTable&, const tagAcadTableRange&) { worked = true; }));
    EXPECT_FALSE(worked);
    EXPECT_NE(take().find("The selection isn't a table."), std::string::npos);
    // The document lock was given back.
    EXPECT_EQ(acDocManagerPtr()->activeDocument()->myLockMode(), AcAp::kNotLocked);
}

} // namespace

namespace {

class DrawingUtilities : public cadhost::test::RuntimeTest {};

TEST_F(DrawingUtilities, BlocksAreListedFoundAndAppendedToTheCurrentSpace) {
    AcDbDatabase* db = newDrawing()->database();
    CUtiCommonFunc util;
    std::vector<std::string> names;
    ASSERT_TRUE(util.gatherBlockNames(names));
    EXPECT_TRUE(names.empty()) << "model and paper space are no blocks to offer";

    auto* block = new AcDbBlockTableRecord;
    block->setName("Door_Tag");
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(db->getBlockTable(table, AcDb::kForWrite), Acad::eOk);
    AcDbObjectId blockId;
    table->add(blockId, block);
    block->close();
    table->close();
    ASSERT_TRUE(util.gatherBlockNames(names));
    EXPECT_EQ(names, std::vector<std::string>{"Door_Tag"});
    EXPECT_EQ(util.blockIdByName("DOOR_TAG"), blockId);
    EXPECT_TRUE(util.blockIdByName("missing").isNull());

    // "CTAB" in any letter case names model space.
    resbuf ctab{};
    ctab.restype = RTSTR;
    ctab.resval.rstring = const_cast<char*>("Model");
    acedSetVar("CTAB", &ctab);
    const AcDbObjectId inModel = util.appendToCurrentSpace(new AcDbLine({0, 0, 0}, {1, 1, 0}));
    ASSERT_FALSE(inModel.isNull());
    EXPECT_EQ(AcDbObjectPointer<AcDbEntity>(inModel, AcDb::kForRead)->ownerId(),
              db->modelSpaceId());
    ctab.resval.rstring = const_cast<char*>("Layout1");
    acedSetVar("CTAB", &ctab);
    const AcDbObjectId inPaper = util.appendToCurrentSpace(new AcDbLine({0, 0, 0}, {1, 1, 0}));
    EXPECT_EQ(AcDbObjectPointer<AcDbEntity>(inPaper, AcDb::kForRead)->ownerId(),
              db->paperSpaceId());

    // Deleting a block takes its references with it.
    auto* ref = new AcDbBlockReference({5, 5, 0}, blockId);
    const AcDbObjectId refId = cadhost::test::appendToModelSpace(db, ref);
    EXPECT_TRUE(util.deleteBlockWithReferences("door_tag"));
    EXPECT_TRUE(util.blockIdByName("Door_Tag").isNull());
    AcDbObject* gone = nullptr;
    EXPECT_NE(acdbOpenAcDbObject(gone, refId, AcDb::kForRead), Acad::eOk);
    EXPECT_FALSE(util.deleteBlockWithReferences("door_tag"));
}

} // namespace
