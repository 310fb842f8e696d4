// Undo and redo of recorded edits: random table edits on a drawing with
// several tables, undone and redone step by step, compared as saved DXF.

#include "dxf_test_support.h"

#include "acdb/acdb.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

namespace {

using dxftest::dxfText;

std::vector<AcDbObjectId> tablesOf(const AcDbDatabase& db) {
    std::vector<AcDbObjectId> ids;
    for (AcDbObjectId id : db.allObjectIds()) {
        AcDbObjectPointer<AcDbTable> t(id, AcDb::kForRead);
        if (t)
            ids.push_back(id);
    }
    return ids;
}

std::vector<AcDbObjectId> namedBlocksOf(const AcDbDatabase& db) {
    std::vector<AcDbObjectId> ids;
    for (AcDbObjectId id : db.allObjectIds()) {
        AcDbObjectPointer<AcDbBlockTableRecord> b(id, AcDb::kForRead);
        if (b && !b->getName().empty() && b->getName()[0] != '*')
            ids.push_back(id);
    }
    return ids;
}

// One edit of a random kind on a random table; statuses are ignored, as a
// refused edit must leave nothing to undo either.
void randomTableEdit(std::mt19937& rng, AcDbTable& t, const std::vector<AcDbObjectId>& blocks) {
    auto pick = [&](int n) {
        return n <= 0 ? 0 : std::uniform_int_distribution<int>(0, n - 1)(rng);
    };
    const int rows = t.numRows(), cols = t.numColumns();
    const int r = pick(rows), c = pick(cols);
    AcCmColor colour;
    colour.setColorIndex(static_cast<std::uint16_t>(1 + pick(250)));
    switch (pick(12)) {
    case 0:
        t.setSize(2 + pick(6), 2 + pick(5));
        break;
    case 1:
        t.mergeCells(r, std::min(rows - 1, r + pick(3)), c, std::min(cols - 1, c + pick(3)));
        break;
    case 2:
        t.unmergeCells(0, rows - 1, 0, cols - 1);
        break;
    case 3:
        t.insertRows(r, 0.5 + pick(3), 1 + pick(2));
        break;
    case 4:
        t.insertColumns(c, 1.0 + pick(3), 1);
        break;
    case 5:
        if (rows > 2)
            t.deleteRows(r, 1);
        break;
    case 6:
        if (cols > 2)
            t.deleteColumns(c, 1);
        break;
    case 7:
        t.setTextString(r, c, "edit " + std::to_string(pick(1000)));
        t.setTextHeight(r, c, 0.1 + pick(5) * 0.05);
        break;
    case 8:
        t.setFillNone(r, c, false);
        t.setFillColor(r, c, colour);
        t.setCellAlignment(r, c, AcDb::kMiddleCenter);
        break;
    case 9:
        t.setEdgeColor(r, c, AcDb::kTopMask | AcDb::kLeftMask, colour);
        t.setEdgeLineWeight(r, c, AcDb::kBottomMask, AcDb::kLnWt050);
        t.setEdgeVisibility(r, c, AcDb::kRightMask, pick(2) ? AcDb::kVisible : AcDb::kInvisible);
        break;
    case 10:
        if (!blocks.empty()) {
            t.setCellType(r, c, AcDb::kBlockCell);
            t.setCellBlock(r, c, blocks[static_cast<std::size_t>(pick(int(blocks.size())))],
                           pick(2) == 1);
        }
        break;
    default:
        t.setRowHeight(r, 0.3 + pick(4) * 0.25);
        t.setColumnWidth(c, 1.0 + pick(4));
        break;
    }
}

// One step: a table edit, an appended table or an erased one.
void randomStep(std::mt19937& rng, AcDbDatabase& db, AcDbUndoHistory& history) {
    history.beginGroup("Edit");
    std::vector<AcDbObjectId> tables = tablesOf(db);
    const int kind = std::uniform_int_distribution<int>(0, 9)(rng);
    if (kind == 0 || tables.empty()) {
        dxftest::addTable(db, AcGePoint3d(40.0 * tables.size(), -30, 0), 3, 3);
    } else if (kind == 1 && tables.size() > 2) {
        AcDbObjectPointer<AcDbTable> t(tables[rng() % tables.size()], AcDb::kForWrite);
        if (t)
            t->erase();
    } else {
        AcDbObjectPointer<AcDbTable> t(tables[rng() % tables.size()], AcDb::kForWrite);
        if (t)
            randomTableEdit(rng, *t.object(), namedBlocksOf(db));
    }
    history.endGroup();
}

TEST(UndoTest, UndoAllAndRedoAllGiveBackTheSavedDrawings) {
    for (unsigned seed = 1; seed <= 12; ++seed) {
        SCOPED_TRACE("seed " + std::to_string(seed));
        std::unique_ptr<AcDbDatabase> db = dxftest::makeTableDrawing();
        dxftest::addTable(*db, AcGePoint3d(0, -60, 0), 4, 3);
        AcDbUndoHistory history(db.get());
        const std::string original = dxfText(*db);
        std::mt19937 rng(seed);
        const int steps = 15;
        for (int i = 0; i < steps; ++i)
            randomStep(rng, *db, history);
        const std::string edited = dxfText(*db);
        ASSERT_NE(edited, original);
        ASSERT_LE(history.undoCount(), std::size_t(steps));

        // Half-way back and forth first: redo must replay onto undone states.
        const std::size_t recorded = history.undoCount();
        for (std::size_t i = 0; i < recorded / 2; ++i)
            ASSERT_EQ(history.undo(), Acad::eOk);
        for (std::size_t i = 0; i < recorded / 2; ++i)
            ASSERT_EQ(history.redo(), Acad::eOk);
        EXPECT_EQ(dxfText(*db), edited);

        while (history.canUndo())
            ASSERT_EQ(history.undo(), Acad::eOk);
        EXPECT_EQ(dxfText(*db), original);
        EXPECT_EQ(history.undo(), Acad::eNotApplicable);
        while (history.canRedo())
            ASSERT_EQ(history.redo(), Acad::eOk);
        EXPECT_EQ(dxfText(*db), edited);
    }
}

TEST(UndoTest, GroupsRecordOnlyChangesAndDropRedoOnNewChange) {
    std::unique_ptr<AcDbDatabase> db = dxftest::makeTableDrawing();
    AcDbUndoHistory history(db.get());
    AcDbObjectId table = tablesOf(*db).front();

    // Reading only: no step, so the redo steps would survive.
    history.beginGroup("Look");
    { AcDbObjectPointer<AcDbTable> t(table, AcDb::kForRead); }
    history.endGroup();
    EXPECT_FALSE(history.canUndo());

    // Nested groups make one step, named by the outermost name.
    history.beginGroup("Merge Cells");
    history.beginGroup("inner");
    {
        AcDbObjectPointer<AcDbTable> t(table, AcDb::kForWrite);
        t->setTextString(0, 0, "one");
    }
    history.endGroup();
    {
        AcDbObjectPointer<AcDbTable> t(table, AcDb::kForWrite);
        t->setTextString(0, 0, "two");
    }
    history.endGroup();
    ASSERT_EQ(history.undoCount(), 1u);
    EXPECT_EQ(history.undoName(), "Merge Cells");

    ASSERT_EQ(history.undo(), Acad::eOk);
    EXPECT_TRUE(history.canRedo());
    history.beginGroup("Other");
    {
        AcDbObjectPointer<AcDbTable> t(table, AcDb::kForWrite);
        t->setTextString(0, 0, "three");
    }
    history.endGroup();
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.undoName(), "Other");
}

TEST(UndoTest, EraseAndUneraseAreStepsOfTheirOwn) {
    std::unique_ptr<AcDbDatabase> db = dxftest::makeTableDrawing();
    AcDbUndoHistory history(db.get());
    const AcDbObjectId table = tablesOf(*db).front();
    const std::string original = dxfText(*db);
    auto setErased = [&](bool erasing) {
        history.beginGroup(erasing ? "Erase" : "Unerase");
        AcDbObject* obj = nullptr;
        ASSERT_EQ(acdbOpenObject(obj, table, AcDb::kForWrite, true), Acad::eOk);
        EXPECT_EQ(obj->erase(erasing), Acad::eOk);
        obj->close();
        history.endGroup();
    };
    setErased(true);
    const std::string erased = dxfText(*db);
    setErased(false);
    ASSERT_EQ(history.undoCount(), 2u);
    EXPECT_FALSE(table.isErased());

    ASSERT_EQ(history.undo(), Acad::eOk);
    EXPECT_TRUE(table.isErased()) << "undoing the unerase erases again";
    EXPECT_EQ(dxfText(*db), erased);
    ASSERT_EQ(history.undo(), Acad::eOk);
    EXPECT_FALSE(table.isErased());
    EXPECT_EQ(dxfText(*db), original);
    ASSERT_EQ(history.redo(), Acad::eOk);
    EXPECT_TRUE(table.isErased());
    ASSERT_EQ(history.redo(), Acad::eOk);
    EXPECT_FALSE(table.isErased());
    EXPECT_EQ(dxfText(*db), original);
}

TEST(UndoTest, OpenObjectsAndOpenGroupsRefuseUndo) {
    std::unique_ptr<AcDbDatabase> db = dxftest::makeTableDrawing();
    AcDbUndoHistory history(db.get());
    AcDbObjectId table = tablesOf(*db).front();
    history.beginGroup("Edit");
    {
        AcDbObjectPointer<AcDbTable> t(table, AcDb::kForWrite);
        t->setTextString(0, 0, "changed");
    }
    history.endGroup();

    {
        AcDbObjectPointer<AcDbTable> t(table, AcDb::kForRead);
        EXPECT_EQ(history.undo(), Acad::eWasOpenedForRead);
    }
    history.beginGroup("Busy");
    {
        AcDbObjectPointer<AcDbTable> t(table, AcDb::kForWrite);
        t->setTextString(0, 0, "again");
    }
    EXPECT_EQ(history.undo(), Acad::eLockViolation);
    history.endGroup();
    EXPECT_EQ(history.undoCount(), 2u);
}

TEST(UndoTest, LimitDropsTheOldestStepsAndAppendedObjectsDisappear) {
    std::unique_ptr<AcDbDatabase> db = dxftest::makeTableDrawing();
    AcDbUndoHistory history(db.get());
    history.setLimit(3);
    const std::size_t before = db->objectCount();
    AcDbObjectId last;
    for (int i = 0; i < 5; ++i) {
        history.beginGroup("Add");
        last = dxftest::addTable(*db, AcGePoint3d(0, -20.0 * i, 0), 2, 2);
        history.endGroup();
    }
    EXPECT_EQ(history.undoCount(), 3u);
    while (history.canUndo())
        ASSERT_EQ(history.undo(), Acad::eOk);
    AcDbObject* obj = nullptr;
    EXPECT_NE(acdbOpenAcDbObject(obj, last, AcDb::kForRead), Acad::eOk);
    // The two oldest appends stay: their steps were dropped.
    EXPECT_GE(db->objectCount(), before + 2);
    ASSERT_EQ(history.redo(), Acad::eOk);
    ASSERT_EQ(history.redo(), Acad::eOk);
    ASSERT_EQ(history.redo(), Acad::eOk);
    AcDbObjectPointer<AcDbTable> t(last, AcDb::kForRead);
    EXPECT_TRUE(t);
}

} // namespace
