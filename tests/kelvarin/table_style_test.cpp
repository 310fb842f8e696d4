// Applying a table style: the drawing's names, and a style found by name
// (letter case ignored) given to a table; a missing name changes nothing.
#include "templates/TableStyle.h"

#include "runtime_core/drawing_support.h"
#include "runtime_core/runtime_fixture.h"

namespace {

using namespace kelvarin::templates;

class TableStyleTest : public cadhost::test::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        drawing = newDrawing()->database();
        AcDbDictionary* styles = nullptr;
        ASSERT_EQ(drawing->getTableStyleDictionary(styles, AcDb::kForWrite), Acad::eOk);
        auto* style = new AcDbTableStyle;
        style->setName("Doors");
        style->setTextHeight(0.5, AcDb::kDataRow);
        ASSERT_EQ(styles->setAt("Doors", style, doors), Acad::eOk);
        style->close();
        styles->close();
        table = cadhost::test::addTable(drawing, {0, 0, 0}, 3, 2);
    }
    AcDbObjectId styleOf() {
        AcDbObjectPointer<AcDbTable> t(table, AcDb::kForRead);
        return t->tableStyle();
    }
    AcDbDatabase* drawing = nullptr;
    AcDbObjectId doors, table;
};

TEST_F(TableStyleTest, NamesComeInDictionaryOrder) {
    EXPECT_EQ(tableStyleNames(drawing), (std::vector<std::string>{"Standard", "Doors"}));
    EXPECT_FALSE(tableStyleNames(nullptr));
}

TEST_F(TableStyleTest, AStyleFoundByNameGoesToTheTable) {
    const AcDbObjectId before = styleOf();
    {
        AcDbObjectPointer<AcDbTable> t(table, AcDb::kForWrite);
        EXPECT_FALSE(applyTableStyleByName(*t.object(), "Nothing"));
        EXPECT_FALSE(applyTableStyleByName(*t.object(), ""));
    }
    EXPECT_EQ(styleOf(), before);
    {
        AcDbObjectPointer<AcDbTable> t(table, AcDb::kForWrite);
        EXPECT_TRUE(applyTableStyleByName(*t.object(), "doors"));
    }
    EXPECT_EQ(styleOf(), doors);
    {
        AcDbObjectPointer<AcDbTable> t(table, AcDb::kForRead);
        EXPECT_DOUBLE_EQ(t->textHeight(2, 0), 0.5); // a data row
    }
    // The style it already has: accepted, nothing else changes.
    AcDbObjectPointer<AcDbTable> t(table, AcDb::kForWrite);
    EXPECT_TRUE(applyTableStyleByName(*t.object(), "Doors"));
    EXPECT_EQ(t->tableStyle(), doors);
}

} // namespace
