// -TABLESTYLE's work: a named style with the data cells' text height, colour,
// fill and alignment; refusals leave the drawing as it was.
#include "hostui/table_style_creation.h"

#include "acdb/database.h"
#include "acdb/dictionary.h"
#include "acdb/tablestyle.h"

#include <gtest/gtest.h>

#include <limits>

using namespace hostui;

namespace {

std::vector<std::string> styleNames(AcDbDatabase& db) {
    std::vector<std::string> names;
    AcDbDictionary* styles = nullptr;
    EXPECT_EQ(db.getTableStyleDictionary(styles, AcDb::kForRead), Acad::eOk);
    for (const auto& [name, id] : styles->entries())
        names.push_back(name);
    styles->close();
    return names;
}

} // namespace

TEST(TableStyleCreation, DataCellsTakeTheAnswersAndTheOtherRowsKeepTheDefaults) {
    AcDbDatabase db(true, false);
    TableStyleRequest request;
    request.name = "Door schedule";
    request.textHeight = 0.35;
    request.textColorIndex = 1;
    request.fillColorIndex = 3;
    request.alignment = AcDb::kMiddleRight;
    AcDbObjectId id;
    ASSERT_EQ(createTableStyle(&db, request, id), Acad::eOk);
    EXPECT_EQ(styleNames(db), (std::vector<std::string>{"Standard", "Door schedule"}));
    AcDbObjectPointer<AcDbTableStyle> style(id, AcDb::kForRead);
    ASSERT_TRUE(style);
    EXPECT_EQ(style->name(), "Door schedule");
    const AcDbCellFormat& data = style->cellFormat(AcDb::kDataRow);
    EXPECT_DOUBLE_EQ(data.textHeight, 0.35);
    EXPECT_EQ(data.textColor, AcCmColor::fromIndex(1));
    EXPECT_FALSE(data.fillNone);
    EXPECT_EQ(data.fillColor, AcCmColor::fromIndex(3));
    EXPECT_EQ(data.alignment, AcDb::kMiddleRight);
    EXPECT_EQ(data.textStyle, db.textstyle());
    EXPECT_DOUBLE_EQ(style->cellFormat(AcDb::kHeaderRow).textHeight,
                     AcDbTableStyle().cellFormat(AcDb::kHeaderRow).textHeight);

    // ByBlock and ByLayer text, no fill.
    request = {};
    request.name = "Plain";
    request.textColorIndex = 256;
    ASSERT_EQ(createTableStyle(&db, request, id), Acad::eOk);
    AcDbObjectPointer<AcDbTableStyle> plain(id, AcDb::kForRead);
    EXPECT_EQ(plain->cellFormat(AcDb::kDataRow).textColor, AcCmColor::byLayer());
    EXPECT_TRUE(plain->cellFormat(AcDb::kDataRow).fillNone);
}

TEST(TableStyleCreation, BadAnswersAndTakenNamesCreateNothing) {
    AcDbDatabase db(true, false);
    AcDbObjectId id;
    TableStyleRequest request;
    EXPECT_TRUE(validateTableStyle(request)); // no name
    request.name = "a|b";
    EXPECT_TRUE(validateTableStyle(request));
    request.name = "line\nbreak";
    EXPECT_TRUE(validateTableStyle(request));
    request.name = "Ok name Ü";
    EXPECT_FALSE(validateTableStyle(request));
    for (double h : {0.0, -1.0, std::numeric_limits<double>::infinity()}) {
        TableStyleRequest bad = request;
        bad.textHeight = h;
        EXPECT_EQ(createTableStyle(&db, bad, id), Acad::eInvalidInput) << h;
    }
    TableStyleRequest bad = request;
    bad.textColorIndex = 257;
    EXPECT_EQ(createTableStyle(&db, bad, id), Acad::eInvalidInput);
    bad = request;
    bad.fillColorIndex = 0;
    EXPECT_EQ(createTableStyle(&db, bad, id), Acad::eInvalidInput);
    EXPECT_EQ(styleNames(db), (std::vector<std::string>{"Standard"}));
    request.name = "STANDARD";
    EXPECT_EQ(createTableStyle(&db, request, id), Acad::eDuplicateKey);
    EXPECT_TRUE(id.isNull());
    EXPECT_EQ(styleNames(db), (std::vector<std::string>{"Standard"}));
}

TEST(TableStyleCreation, AlignmentKeywordsInTheHostsOrder) {
    EXPECT_EQ(alignmentFromKeyword("TL"), AcDb::kTopLeft);
    EXPECT_EQ(alignmentFromKeyword("mc"), AcDb::kMiddleCenter);
    EXPECT_EQ(alignmentFromKeyword("BR"), AcDb::kBottomRight);
    EXPECT_FALSE(alignmentFromKeyword("Center"));
}
