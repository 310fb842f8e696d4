// Match Cell's picking loop through the host's prompts: the snap setting is
// off while picking and back afterwards, whatever ends the loop.
#include "tableops/MatchCell.h"

#include "runtime_core/drawing_support.h"
#include "runtime_core/runtime_fixture.h"

namespace {

class MatchCellPicks : public cadhost::test::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        db = newDrawing()->database();
        id = cadhost::test::addTable(db, {0, 0, 0}, 3, 4); // cells 2.5 x 1
        AcDbObjectPointer<AcDbTable> t(id, AcDb::kForWrite);
        t->setCellAlignment(0, 0, AcDb::kBottomRight);
        t->setSubSelection(0, 0, 0, 0);
    }
    int osmode() {
        resbuf value{};
        acedGetVar("OSMODE", &value);
        return value.resval.rint;
    }
    AcDb::CellAlignment alignment(int row, int col) {
        return AcDbObjectPointer<AcDbTable>(id, AcDb::kForRead)->cellAlignment(row, col);
    }
    AcDbDatabase* db = nullptr;
    AcDbObjectId id;
};

TEST_F(MatchCellPicks, PicksCopyTheSourceAndTheSnapSettingComesBack) {
    resbuf snap{};
    snap.restype = RTSHORT;
    snap.resval.rint = 37;
    acedSetVar("OSMODE", &snap);
    waiter.lines = {"3.75,-1.5", "5,-2.5", "8.75,-2.5", "\x1b"};
    EXPECT_TRUE(matchCell());
    EXPECT_EQ(alignment(1, 1), AcDb::kBottomRight);
    EXPECT_EQ(alignment(2, 3), AcDb::kBottomRight);
    EXPECT_NE(alignment(2, 1), AcDb::kBottomRight); // the pick on a border
    EXPECT_NE(alignment(2, 2), AcDb::kBottomRight);
    EXPECT_EQ(osmode(), 37);
    EXPECT_EQ(acDocManagerPtr()->activeDocument()->myLockMode(), AcAp::kNotLocked);
}

TEST_F(MatchCellPicks, WithoutASelectionNothingIsAskedAndTheSnapIsUntouched) {
    AcDbObjectPointer<AcDbTable>(id, AcDb::kForWrite)->clearSubSelection();
    const int before = osmode();
    waiter.lines = {"3.75,-1.5"};
    EXPECT_TRUE(matchCell());
    EXPECT_NE(log().find("The selection isn't a table."), std::string::npos);
    EXPECT_EQ(log().find("Select destination cell:"), std::string::npos);
    EXPECT_EQ(osmode(), before);
}

} // namespace
