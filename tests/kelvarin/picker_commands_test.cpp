// The floating colour pickers' commands on a real table: which colour each
// button applies, by title, through the host colour dialog, and nothing on
// a cancelled dialog or without a selected table.
#include "controls/PickerCommands.h"

#include "runtime_core/drawing_support.h"
#include "runtime_core/runtime_fixture.h"

#include <gtest/gtest.h>

namespace {

class PickerCommands : public cadhost::test::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        db = newDrawing()->database();
        id = cadhost::test::addTable(db, {0, 0, 0}, 4, 4);
        AcDbObjectPointer<AcDbTable>(id, AcDb::kForWrite)->setSubSelection(1, 2, 1, 2);
    }
    AcDbObjectPointer<AcDbTable> table() {
        return AcDbObjectPointer<AcDbTable>(id, AcDb::kForRead);
    }
    static PickerColorDialog answering(int result, int index) {
        return [=](int& color) {
            EXPECT_EQ(color, 0) << "the dialog starts at ByBlock";
            color = index;
            return result;
        };
    }
    AcDbDatabase* db = nullptr;
    AcDbObjectId id;
};

TEST_F(PickerCommands, FontColourSwatchesByBlockAndTheDialog) {
    ASSERT_TRUE(runPickerCommand("Font Color", kPickerFirstSwatchId + 16, nullptr)); // "Red"
    EXPECT_EQ(table()->textColor(1, 1).colorIndex(), 1);
    EXPECT_EQ(table()->textColor(2, 2).colorIndex(), 1);
    EXPECT_NE(table()->textColor(0, 0).colorIndex(), 1) << "outside the selection";

    ASSERT_TRUE(runPickerCommand("font color", kPickerFirstSwatchId + 0, nullptr)); // "Color 18"
    EXPECT_EQ(table()->textColor(1, 2).colorIndex(), 18);

    ASSERT_TRUE(runPickerCommand("Font Color", kPickerByBlockId, nullptr));
    EXPECT_TRUE(table()->textColor(2, 1).isByBlock());

    EXPECT_FALSE(runPickerCommand("Font Color", kPickerMoreColorsId, answering(0, 200)));
    EXPECT_TRUE(table()->textColor(2, 1).isByBlock()) << "a cancelled dialog changes nothing";
    ASSERT_TRUE(runPickerCommand("Font Color", kPickerMoreColorsId, answering(1, 200)));
    EXPECT_EQ(table()->textColor(2, 1).colorIndex(), 200);
}

TEST_F(PickerCommands, ShadeByBlockRemovesTheFillAndSwatchesSwitchItOn) {
    ASSERT_TRUE(runPickerCommand("Shade Color", kPickerFirstSwatchId + 39, nullptr)); // "White"
    EXPECT_FALSE(table()->isFillNone(1, 1));
    EXPECT_EQ(table()->fillColor(2, 2).colorIndex(), 7);
    EXPECT_TRUE(table()->isFillNone(0, 0));

    ASSERT_TRUE(runPickerCommand("Shade Color", kPickerByBlockId, nullptr));
    EXPECT_TRUE(table()->isFillNone(1, 1));
    EXPECT_TRUE(table()->isFillNone(2, 2));
}

TEST_F(PickerCommands, UnknownTitlesIdsAndNoSelectionDoNothing) {
    EXPECT_FALSE(runPickerCommand("Border", kPickerFirstSwatchId, nullptr));
    EXPECT_FALSE(runPickerCommand("Font Color", 199, nullptr));
    EXPECT_FALSE(runPickerCommand("Font Color", 242, nullptr));
    EXPECT_FALSE(applyPickerColor("Font Color", 257, false));
    EXPECT_FALSE(applyPickerColor("Font Color", -1, false));
    AcDbObjectPointer<AcDbTable>(id, AcDb::kForWrite)->clearSubSelection();
    take();
    EXPECT_FALSE(runPickerCommand("Font Color", kPickerFirstSwatchId, nullptr));
    EXPECT_NE(take().find("The selection isn't a table."), std::string::npos);
}

} // namespace
