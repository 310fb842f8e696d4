// Table styles: default formats, setters over row-type and grid-line masks.

#include "acdb/database.h"
#include "acdb/tablestyle.h"

#include <gtest/gtest.h>

namespace {

TEST(TableStyleFormats, DefaultsAreThoseOfAStandardStyle) {
    AcDbTableStyle s;
    EXPECT_EQ(s.cellFormat(AcDb::kTitleRow).textHeight, 0.25);
    EXPECT_EQ(s.cellFormat(AcDb::kTitleRow).alignment, AcDb::kMiddleCenter);
    EXPECT_EQ(s.cellFormat(AcDb::kHeaderRow).textHeight, 0.18);
    EXPECT_EQ(s.cellFormat(AcDb::kHeaderRow).alignment, AcDb::kMiddleCenter);
    EXPECT_EQ(s.cellFormat(AcDb::kDataRow).alignment, AcDb::kTopCenter);
    EXPECT_EQ(s.horzCellMargin(), 0.06);
    EXPECT_EQ(s.vertCellMargin(), 0.06);
    EXPECT_EQ(s.flowDirection(), AcDb::kTtoB);
    EXPECT_TRUE(s.cellFormat(AcDb::kDataRow).fillNone);
    EXPECT_EQ(s.cellFormat(AcDb::kDataRow).grid[0], AcDbGridFormat{});
    // An unknown row type reads as data.
    EXPECT_EQ(&s.cellFormat(AcDb::kUnknownRow), &s.cellFormat(AcDb::kDataRow));
}

TEST(TableStyleFormats, GridIndexFollowsTheKindOrder) {
    EXPECT_EQ(acdbGridIndex(AcDb::kHorzTop), 0);
    EXPECT_EQ(acdbGridIndex(AcDb::kHorzBottom), 2);
    EXPECT_EQ(acdbGridIndex(AcDb::kVertRight), 5);
    EXPECT_EQ(acdbGridIndex(AcDb::kInvalidGridLine), -1);
    EXPECT_EQ(acdbGridIndex(static_cast<AcDb::GridLineType>(3)), -1);
}

TEST(TableStyleSetters, MasksNameRowTypesAndGridLines) {
    AcDbTableStyle s;
    ASSERT_EQ(s.setTextHeight(0.3, AcDb::kHeaderRow | AcDb::kDataRow), Acad::eOk);
    EXPECT_EQ(s.cellFormat(AcDb::kTitleRow).textHeight, 0.25);
    EXPECT_EQ(s.cellFormat(AcDb::kHeaderRow).textHeight, 0.3);
    EXPECT_EQ(s.cellFormat(AcDb::kDataRow).textHeight, 0.3);

    const AcCmColor red = AcCmColor::fromIndex(1);
    ASSERT_EQ(s.setGridColor(red, AcDb::kHorzBottom | AcDb::kVertLeft, AcDb::kTitleRow), Acad::eOk);
    const auto& grid = s.cellFormat(AcDb::kTitleRow).grid;
    EXPECT_EQ(grid[acdbGridIndex(AcDb::kHorzBottom)].color, red);
    EXPECT_EQ(grid[acdbGridIndex(AcDb::kVertLeft)].color, red);
    EXPECT_EQ(grid[acdbGridIndex(AcDb::kHorzTop)].color, AcCmColor::byBlock());
    EXPECT_EQ(s.cellFormat(AcDb::kDataRow).grid[acdbGridIndex(AcDb::kVertLeft)].color,
              AcCmColor::byBlock());
}

TEST(TableStyleSetters, BadValuesAndMasksChangeNothing) {
    AcDbTableStyle s;
    const AcDbTableStyle before(s);
    EXPECT_EQ(s.setTextHeight(0.3, 0), Acad::eInvalidInput);
    EXPECT_EQ(s.setTextHeight(0.3, 8), Acad::eInvalidInput);
    EXPECT_EQ(s.setTextHeight(-1, AcDb::kDataRow), Acad::eInvalidInput);
    EXPECT_EQ(s.setAlignment(static_cast<AcDb::CellAlignment>(0), AcDb::kDataRow),
              Acad::eInvalidInput);
    EXPECT_EQ(s.setGridVisibility(AcDb::kInvisible, 0, AcDb::kDataRow), Acad::eInvalidInput);
    EXPECT_EQ(s.setGridVisibility(static_cast<AcDb::Visibility>(5), AcDb::kHorzTop, AcDb::kDataRow),
              Acad::eInvalidInput);
    EXPECT_EQ(
        s.setGridLineWeight(static_cast<AcDb::LineWeight>(12), AcDb::kHorzTop, AcDb::kDataRow),
        Acad::eInvalidInput);
    EXPECT_EQ(s.setHorzCellMargin(-0.1), Acad::eInvalidInput);
    EXPECT_EQ(s.setFlowDirection(static_cast<AcDb::FlowDirection>(2)), Acad::eInvalidInput);
    EXPECT_EQ(s.setName(""), Acad::eInvalidInput);
    AcDbCellFormat f;
    f.textHeight = 0;
    EXPECT_EQ(s.setCellFormat(AcDb::kDataRow, f), Acad::eInvalidInput);
    EXPECT_EQ(s.setCellFormat(AcDb::kUnknownRow, AcDbCellFormat{}), Acad::eInvalidInput);
    for (auto t : {AcDb::kTitleRow, AcDb::kHeaderRow, AcDb::kDataRow})
        EXPECT_EQ(s.cellFormat(t), before.cellFormat(t));
    EXPECT_EQ(s.horzCellMargin(), before.horzCellMargin());
}

TEST(TableStyleSetters, AClosedStyleRefusesWrites) {
    AcDbDatabase db;
    AcDbObjectPointer<AcDbTableStyle> s(db.tablestyle(), AcDb::kForRead);
    ASSERT_TRUE(s);
    EXPECT_EQ(s->name(), "Standard");
    EXPECT_EQ(s->setTextHeight(1.0, AcDb::kDataRow), Acad::eNotOpenForWrite);
    EXPECT_EQ(s->setHorzCellMargin(1.0), Acad::eNotOpenForWrite);
    EXPECT_EQ(s->cellFormat(AcDb::kDataRow).textHeight, 0.18);
}

} // namespace
