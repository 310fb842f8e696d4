// A drawing saved and read back holds exactly what it held.

#include "acdxf/dxf.h"
#include "dxf/dxf_test_support.h"

#include <gtest/gtest.h>

using namespace dxftest;

TEST(DxfRoundTrip, DefaultDrawingSurvives) {
    AcDbDatabase db;
    auto back = roundTrip(db);
    EXPECT_EQ(dumpDatabase(*back), dumpDatabase(db));
}

TEST(DxfRoundTrip, EveryEntityAndRecordSurvives) {
    auto db = makeEntityDrawing();
    auto back = roundTrip(*db);
    EXPECT_EQ(dumpDatabase(*back), dumpDatabase(*db));
}

TEST(DxfRoundTrip, TablesSurviveWithEveryFeature) {
    auto db = makeTableDrawing();
    auto back = roundTrip(*db);
    EXPECT_EQ(dumpDatabase(*back), dumpDatabase(*db));
}

TEST(DxfRoundTrip, TableWithoutStyleAndStylesOnlyTablesUseSurvive) {
    AcDbDatabase db;
    auto* bare = new AcDbTable;
    bare->setSize(2, 3);
    bare->setTextString(1, 2, "no style");
    AcDbObjectId id;
    ASSERT_EQ(acdbAppendToBlock(&db, "*Model_Space", bare, id), Acad::eOk);
    bare->close();

    // A style that a table uses after it left the style dictionary.
    AcDbObjectId loose;
    {
        AcDbObjectPointer<AcDbDictionary> styles(db.tableStyleDictionaryId(), AcDb::kForWrite);
        auto* style = new AcDbTableStyle;
        style->setName("Loose");
        style->setTextHeight(0.5, AcDb::kTitleRow | AcDb::kHeaderRow | AcDb::kDataRow);
        ASSERT_EQ(styles->setAt("Loose", style, loose), Acad::eOk);
        style->close();
    }
    AcDbObjectId tableId = addTable(db, {0, 10, 0}, 2, 2);
    {
        AcDbObjectPointer<AcDbTable> t(tableId, AcDb::kForWrite);
        ASSERT_EQ(t->setTableStyle(loose), Acad::eOk);
        AcDbObjectPointer<AcDbDictionary> styles(db.tableStyleDictionaryId(), AcDb::kForWrite);
        ASSERT_EQ(styles->remove("Loose"), Acad::eOk);
    }
    auto back = roundTrip(db);
    AcDbObjectId backTable;
    ASSERT_EQ(back->getAcDbObjectId(backTable, false, tableId.handle()), Acad::eOk);
    AcDbObjectPointer<AcDbTable> t(backTable, AcDb::kForRead);
    ASSERT_TRUE(t);
    EXPECT_EQ(t->tableStyle().handle(), loose.handle());
    EXPECT_DOUBLE_EQ(t->textHeight(1, 1), 0.5);
    AcDbObjectPointer<AcDbDictionary> styles(back->tableStyleDictionaryId(), AcDb::kForRead);
    EXPECT_FALSE(styles->has("Loose"));
    t.close();
    styles.close();
    EXPECT_TRUE(dumpDatabase(*back) == dumpDatabase(db));
}

TEST(DxfRoundTrip, ErasedObjectsAreNotWritten) {
    auto db = makeEntityDrawing();
    AcDbObjectId lineId;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> ms(db->modelSpaceId(), AcDb::kForRead);
        lineId = ms->entityIds().front();
    }
    {
        AcDbObjectPointer<AcDbLine> line(lineId, AcDb::kForWrite);
        ASSERT_EQ(line->erase(), Acad::eOk);
    }
    std::string text;
    auto back = roundTrip(*db, &text);
    EXPECT_EQ(text.find("\n  5\n" + lineId.handle().toHex() + "\n"), std::string::npos);
    AcDbObjectId gone;
    EXPECT_EQ(back->getAcDbObjectId(gone, false, lineId.handle()), Acad::eKeyNotFound);
    EXPECT_TRUE(dumpDatabase(*back) == dumpDatabase(*db));
}

TEST(DxfRoundTrip, SavingTwiceWritesTheSameDrawing) {
    auto db = makeTableDrawing();
    auto once = roundTrip(*db);
    auto twice = roundTrip(*once);
    EXPECT_TRUE(dumpDatabase(*twice) == dumpDatabase(*db));
}
