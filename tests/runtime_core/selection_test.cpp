// acedSSGet and friends, entity names, entity picks and the cell selection.
#include "drawing_support.h"
#include "runtime_fixture.h"

#include "cadhost/cell_selection.h"

namespace cadhost::test {
namespace {

class SelectionTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        doc = newDrawing();
        db = doc->database();
    }
    std::vector<AcDbObjectId> members(const ads_name ss) {
        std::vector<AcDbObjectId> ids;
        std::int32_t n = 0;
        EXPECT_EQ(acedSSLength(ss, &n), RTNORM);
        for (std::int32_t i = 0; i < n; ++i) {
            ads_name ent;
            AcDbObjectId id;
            EXPECT_EQ(acedSSName(ss, i, ent), RTNORM);
            EXPECT_EQ(acdbGetObjectId(id, ent), Acad::eOk);
            ids.push_back(id);
        }
        return ids;
    }
    AcApDocument* doc = nullptr;
    AcDbDatabase* db = nullptr;
};

TEST_F(SelectionTest, AllFilteredByTypeInDatabaseOrder) {
    AcDbObjectId t1 = addTable(db, AcGePoint3d(0, 0, 0));
    addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(1, 1, 0));
    AcDbObjectId t2 = addTable(db, AcGePoint3d(20, 0, 0));
    resbuf* filter = acutBuildList(RTDXF0, "ACAD_TABLE", 0);
    ads_name ss;
    ASSERT_EQ(acedSSGet("X", nullptr, nullptr, filter, ss), RTNORM);
    acutRelRb(filter);
    EXPECT_EQ(members(ss), (std::vector<AcDbObjectId>{t1, t2}));
    EXPECT_EQ(acedSSFree(ss), RTNORM);
    EXPECT_EQ(acedSSFree(ss), RTERROR);
    std::int32_t n;
    EXPECT_EQ(acedSSLength(ss, &n), RTERROR) << "a released set is gone";
}

TEST_F(SelectionTest, AllCoversModelSpaceAndEveryPaperSpaceLayout) {
    AcDbObjectId inModel = addTable(db, AcGePoint3d(0, 0, 0));
    // A second paper-space layout besides "*Paper_Space".
    AcDbObjectId layout2;
    {
        AcDbObjectPointer<AcDbBlockTable> blocks(db->blockTableId(), AcDb::kForWrite);
        auto* record = new AcDbBlockTableRecord;
        record->setName("*Paper_Space0");
        ASSERT_EQ(blocks->add(layout2, record), Acad::eOk);
        record->close();
    }
    auto* onPaper = new AcDbTable;
    AcDbObjectId inPaper, inLayout2, inBlock;
    ASSERT_EQ(acdbAppendToBlock(db, "*Paper_Space", onPaper, inPaper), Acad::eOk);
    onPaper->close();
    auto* onLayout2 = new AcDbTable;
    ASSERT_EQ(acdbAppendToBlock(db, "*Paper_Space0", onLayout2, inLayout2), Acad::eOk);
    onLayout2->close();
    // A table inside a block definition is no entity of a layout.
    {
        AcDbObjectPointer<AcDbBlockTable> blocks(db->blockTableId(), AcDb::kForWrite);
        auto* record = new AcDbBlockTableRecord;
        record->setName("Template");
        AcDbObjectId blockId;
        ASSERT_EQ(blocks->add(blockId, record), Acad::eOk);
        record->close();
    }
    auto* inDefinition = new AcDbTable;
    ASSERT_EQ(acdbAppendToBlock(db, "Template", inDefinition, inBlock), Acad::eOk);
    inDefinition->close();

    resbuf* filter = acutBuildList(RTDXF0, "ACAD_TABLE", 0);
    ads_name ss;
    ASSERT_EQ(acedSSGet("X", nullptr, nullptr, filter, ss), RTNORM);
    acutRelRb(filter);
    EXPECT_EQ(members(ss), (std::vector<AcDbObjectId>{inModel, inPaper, inLayout2}));
    acedSSFree(ss);
}

TEST_F(SelectionTest, FiltersCombineAndTakeWildcards) {
    AcDbObjectId a = addLine(db, AcGePoint3d(), AcGePoint3d(1, 0, 0), "Walls");
    addLine(db, AcGePoint3d(), AcGePoint3d(1, 0, 0), "Doors");
    AcDbObjectId t = addTable(db, AcGePoint3d());
    resbuf* filter = acutBuildList(RTDXF0, "LINE,ACAD_TABLE", 8, "w*,0", 0);
    ads_name ss;
    ASSERT_EQ(acedSSGet("_X", nullptr, nullptr, filter, ss), RTNORM);
    acutRelRb(filter);
    EXPECT_EQ(members(ss), (std::vector<AcDbObjectId>{a, t}));
    acedSSFree(ss);
}

TEST_F(SelectionTest, NothingMatchingOrNoDrawingIsAnError) {
    addLine(db, AcGePoint3d(), AcGePoint3d(1, 0, 0));
    resbuf* filter = acutBuildList(RTDXF0, "ACAD_TABLE", 0);
    ads_name ss = {1, 2};
    EXPECT_EQ(acedSSGet("X", nullptr, nullptr, filter, ss), RTERROR);
    EXPECT_TRUE(ads_name_nil(ss));
    acDocManagerPtr()->closeDocument(doc);
    EXPECT_EQ(acedSSGet("X", nullptr, nullptr, filter, ss), RTERROR);
    acutRelRb(filter);
}

TEST_F(SelectionTest, UnsupportedFilterGroupOrModeIsRefused) {
    addLine(db, AcGePoint3d(), AcGePoint3d(1, 0, 0));
    resbuf* filter = acutBuildList(-4, "<OR", 0);
    ads_name ss;
    EXPECT_EQ(acedSSGet("X", nullptr, nullptr, filter, ss), RTERROR);
    acutRelRb(filter);
    EXPECT_EQ(acedSSGet("W", nullptr, nullptr, nullptr, ss), RTERROR);
}

TEST_F(SelectionTest, ErasedEntitiesAreLeftOut) {
    AcDbObjectId a = addLine(db, AcGePoint3d(), AcGePoint3d(1, 0, 0));
    AcDbObjectId b = addLine(db, AcGePoint3d(), AcGePoint3d(2, 0, 0));
    {
        AcDbObjectPointer<AcDbLine> line(a, AcDb::kForWrite);
        ASSERT_TRUE(line);
        line->erase();
    }
    ads_name ss;
    ASSERT_EQ(acedSSGet("X", nullptr, nullptr, nullptr, ss), RTNORM);
    EXPECT_EQ(members(ss), (std::vector<AcDbObjectId>{b}));
    acedSSFree(ss);
}

TEST_F(SelectionTest, NamesAreCheckedAndDieWithTheirDrawing) {
    AcDbObjectId line = addLine(db, AcGePoint3d(), AcGePoint3d(1, 0, 0));
    ads_name ss, ent;
    ASSERT_EQ(acedSSGet("X", nullptr, nullptr, nullptr, ss), RTNORM);
    EXPECT_EQ(acedSSName(ss, 1, ent), RTERROR);
    EXPECT_EQ(acedSSName(ss, -1, ent), RTERROR);
    ASSERT_EQ(acedSSName(ss, 0, ent), RTNORM);
    ads_name bogus = {123456, 0};
    AcDbObjectId id;
    EXPECT_EQ(acdbGetObjectId(id, bogus), Acad::eInvalidInput);
    EXPECT_EQ(acdbGetObjectId(id, ss), Acad::eInvalidInput) << "a set is not an entity";
    ASSERT_EQ(acdbGetObjectId(id, ent), Acad::eOk);
    EXPECT_EQ(id, line);
    ads_name again;
    ASSERT_EQ(acdbGetAdsName(again, line), Acad::eOk);
    EXPECT_TRUE(ads_name_equal(again, ent));

    acDocManagerPtr()->closeDocument(doc);
    EXPECT_EQ(acdbGetObjectId(id, ent), Acad::eInvalidInput);
    std::int32_t n = -1;
    ASSERT_EQ(acedSSLength(ss, &n), RTNORM);
    EXPECT_EQ(n, 0) << "the set no longer holds ids of the closed drawing";
    acedSSFree(ss);
}

TEST_F(SelectionTest, AddDeleteAndMembership) {
    AcDbObjectId a = addLine(db, AcGePoint3d(), AcGePoint3d(1, 0, 0));
    ads_name ent, ss;
    ASSERT_EQ(acdbGetAdsName(ent, a), Acad::eOk);
    ASSERT_EQ(acedSSAdd(nullptr, nullptr, ss), RTNORM);
    EXPECT_EQ(acedSSMemb(ent, ss), RTERROR);
    ASSERT_EQ(acedSSAdd(ent, ss, ss), RTNORM);
    ASSERT_EQ(acedSSAdd(ent, ss, ss), RTNORM);
    EXPECT_EQ(members(ss).size(), 1u);
    EXPECT_EQ(acedSSMemb(ent, ss), RTNORM);
    EXPECT_EQ(acedSSDel(ent, ss), RTNORM);
    EXPECT_EQ(acedSSDel(ent, ss), RTERROR);
    acedSSFree(ss);
}

TEST_F(SelectionTest, EntSelTakesPicksAndTypedPointsAndRepromptsOnAMiss) {
    AcDbObjectId line = addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0));
    AcDbObjectId table = addTable(db, AcGePoint3d(0, 20, 0));
    InputBroker::instance().submitText("50,50 1,19.5\n", InputSource::Script);
    ads_name ent;
    ads_point pt;
    ASSERT_EQ(acedEntSel("\nSelect a table: ", ent, pt), RTNORM);
    AcDbObjectId id;
    ASSERT_EQ(acdbGetObjectId(id, ent), Acad::eOk);
    EXPECT_EQ(id, table);
    EXPECT_DOUBLE_EQ(pt[1], 19.5);
    EXPECT_NE(log().find("Nothing selected."), std::string::npos);

    InputBroker::instance().submitEntity(line, AcGePoint3d(5, 0, 0));
    ASSERT_EQ(acedEntSel("\nSelect: ", ent, pt), RTNORM);
    ASSERT_EQ(acdbGetObjectId(id, ent), Acad::eOk);
    EXPECT_EQ(id, line);

    InputBroker::instance().submitEnter();
    EXPECT_EQ(acedEntSel("\nSelect: ", ent, pt), RTNONE);
}

TEST_F(SelectionTest, InteractiveSelectionCollectsPicksUntilEnter) {
    AcDbObjectId a = addLine(db, AcGePoint3d(0, 0, 0), AcGePoint3d(10, 0, 0));
    AcDbObjectId b = addLine(db, AcGePoint3d(0, 5, 0), AcGePoint3d(10, 5, 0));
    InputBroker::instance().submitEntity(b, AcGePoint3d(1, 5, 0));
    InputBroker::instance().submitText("5,0 5,0 99,99\n\n", InputSource::Script);
    ads_name ss;
    ASSERT_EQ(acedSSGet(nullptr, nullptr, nullptr, nullptr, ss), RTNORM);
    EXPECT_EQ(members(ss), (std::vector<AcDbObjectId>{b, a}));
    acedSSFree(ss);
    EXPECT_NE(log().find("1 duplicate"), std::string::npos);
}

// ---------------------------------------------------------------- cells

TEST_F(SelectionTest, SelectingCellsInOneTableClearsEveryOther) {
    AcDbObjectId t1 = addTable(db, AcGePoint3d(0, 0, 0));
    AcDbObjectId t2 = addTable(db, AcGePoint3d(20, 0, 0));
    CellSelection& cells = CellSelection::instance();
    ASSERT_EQ(cells.setCellSelection(t1, CellRange{2, 0, 3, 1}), Acad::eOk);
    int r0, r1, c0, c1;
    ASSERT_TRUE(tableRange(t1, r0, r1, c0, c1));
    EXPECT_EQ((std::array{r0, r1, c0, c1}), (std::array{0, 2, 1, 3})) << "bounds in any order";
    ASSERT_EQ(cells.setCellSelection(t2, CellRange{1, 1, 1, 1}), Acad::eOk);
    EXPECT_FALSE(tableRange(t1, r0, r1, c0, c1));
    EXPECT_TRUE(tableRange(t2, r0, r1, c0, c1));
    cells.clearCellSelection();
    EXPECT_FALSE(tableRange(t2, r0, r1, c0, c1));
    EXPECT_FALSE(cells.current());
}

TEST_F(SelectionTest, ACellSelectionClearsTablesOfEveryLayout) {
    AcDbObjectId inModel = addTable(db, AcGePoint3d(0, 0, 0));
    auto* onPaper = new AcDbTable;
    onPaper->setSize(2, 2);
    AcDbObjectId inPaper;
    ASSERT_EQ(acdbAppendToBlock(db, "*Paper_Space", onPaper, inPaper), Acad::eOk);
    onPaper->close();
    CellSelection& cells = CellSelection::instance();
    ASSERT_EQ(cells.setCellSelection(inPaper, CellRange{0, 0, 0, 0}), Acad::eOk);
    ASSERT_EQ(cells.setCellSelection(inModel, CellRange{1, 1, 1, 1}), Acad::eOk);
    int r0, r1, c0, c1;
    EXPECT_FALSE(tableRange(inPaper, r0, r1, c0, c1));
    EXPECT_TRUE(tableRange(inModel, r0, r1, c0, c1));
    ASSERT_EQ(cells.setCellSelection(inPaper, CellRange{1, 1, 0, 1}), Acad::eOk);
    cells.clearCellSelection();
    EXPECT_FALSE(tableRange(inPaper, r0, r1, c0, c1));
    EXPECT_FALSE(tableRange(inModel, r0, r1, c0, c1));
}

TEST_F(SelectionTest, OutOfRangeCellsAreRefusedAndChangeNothing) {
    AcDbObjectId t1 = addTable(db, AcGePoint3d(0, 0, 0), 3, 4);
    CellSelection& cells = CellSelection::instance();
    ASSERT_EQ(cells.setCellSelection(t1, CellRange{0, 0, 0, 0}), Acad::eOk);
    EXPECT_EQ(cells.setCellSelection(t1, CellRange{0, 3, 0, 0}), Acad::eInvalidInput);
    EXPECT_EQ(cells.setCellSelection(t1, CellRange{0, 0, -1, 0}), Acad::eInvalidInput);
    AcDbObjectId line = addLine(db, AcGePoint3d(), AcGePoint3d(1, 1, 0));
    EXPECT_NE(cells.setCellSelection(line, CellRange{}), Acad::eOk);
    int r0, r1, c0, c1;
    ASSERT_TRUE(tableRange(t1, r0, r1, c0, c1));
    EXPECT_EQ(r1, 0);
}

TEST_F(SelectionTest, ClickAndShiftClickSelectARangeInOneTable) {
    AcDbObjectId t1 = addTable(db, AcGePoint3d(0, 0, 0)); // cells 2.5 x 1, rows run down
    AcDbObjectId t2 = addTable(db, AcGePoint3d(20, 0, 0));
    CellSelection& cells = CellSelection::instance();
    ASSERT_EQ(cells.selectAt(AcGePoint3d(3.0, -0.5, 0), false), Acad::eOk); // row 0, col 1
    ASSERT_EQ(cells.selectAt(AcGePoint3d(8.0, -2.5, 0), true), Acad::eOk);  // row 2, col 3
    int r0, r1, c0, c1;
    ASSERT_TRUE(tableRange(t1, r0, r1, c0, c1));
    EXPECT_EQ((std::array{r0, r1, c0, c1}), (std::array{0, 2, 1, 3}));
    // Shift+click in another table starts there.
    ASSERT_EQ(cells.selectAt(AcGePoint3d(21, -0.5, 0), true), Acad::eOk);
    EXPECT_FALSE(tableRange(t1, r0, r1, c0, c1));
    ASSERT_TRUE(tableRange(t2, r0, r1, c0, c1));
    EXPECT_EQ((std::array{r0, r1, c0, c1}), (std::array{0, 0, 0, 0}));
    EXPECT_EQ(cells.selectAt(AcGePoint3d(100, 100, 0), false), Acad::eInvalidInput);
}

TEST_F(SelectionTest, SelectionGrowsOverMergedCells) {
    AcDbObjectId t1 = addTable(db, AcGePoint3d(0, 0, 0), 4, 4);
    {
        AcDbObjectPointer<AcDbTable> table(t1, AcDb::kForWrite);
        ASSERT_EQ(table->mergeCells(1, 2, 1, 2), Acad::eOk);
    }
    ASSERT_EQ(CellSelection::instance().setCellSelection(t1, CellRange{0, 1, 0, 1}), Acad::eOk);
    int r0, r1, c0, c1;
    ASSERT_TRUE(tableRange(t1, r0, r1, c0, c1));
    EXPECT_EQ((std::array{r0, r1, c0, c1}), (std::array{0, 2, 0, 2}));
}

TEST_F(SelectionTest, CellSelectionListenersHearChanges) {
    struct L : CellSelectionListener {
        int calls = 0;
        bool last = false;
        void cellSelectionChanged(const std::optional<CellSelectionState>& s) override {
            ++calls;
            last = s.has_value();
        }
    } listener;
    AcDbObjectId t1 = addTable(db, AcGePoint3d(0, 0, 0));
    CellSelection::instance().addListener(&listener);
    CellSelection::instance().setCellSelection(t1, CellRange{0, 0, 0, 0});
    EXPECT_TRUE(listener.last);
    acDocManagerPtr()->closeDocument(doc);
    EXPECT_FALSE(listener.last) << "the selection goes with its drawing";
    CellSelection::instance().removeListener(&listener);
    EXPECT_GE(listener.calls, 2);
}

} // namespace
} // namespace cadhost::test
