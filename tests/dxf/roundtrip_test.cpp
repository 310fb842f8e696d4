// A drawing saved and read back holds exactly what it held.

#include "acdxf/dxf.h"
#include "dxf/dxf_test_support.h"

#include <gtest/gtest.h>

#include <sstream>

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

namespace {

// The code/value pairs of a DXF text.
std::vector<std::pair<int, std::string>> pairsOf(const std::string& text) {
    std::vector<std::pair<int, std::string>> out;
    std::istringstream in(text);
    std::string code, value;
    while (std::getline(in, code) && std::getline(in, value))
        out.emplace_back(std::stoi(code), value);
    return out;
}

std::string replaceOnce(std::string text, const std::string& from, const std::string& to) {
    std::size_t at = text.find(from);
    EXPECT_NE(at, std::string::npos) << from;
    if (at != std::string::npos)
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

TEST(DxfTableCodes, EveryValueFitsItsGroupCode) {
    auto db = makeTableDrawing();
    // What a border colour of "nothing chosen" gave before: it must not
    // reach the file as colour number 65535.
    AcCmColor unchosen;
    unchosen.setColorIndex(static_cast<std::uint16_t>(-1));
    {
        AcDbObjectId tableId = addTable(*db, {50, 0, 0}, 3, 3);
        AcDbObjectPointer<AcDbTable> t(tableId, AcDb::kForWrite);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) {
                t->setEdgeColor(r, c, 15, unchosen);
                t->setEdgeVisibility(r, c, 15, AcDb::kVisible);
                t->setEdgeLineWeight(r, c, 15, AcDb::kLnWt025);
            }
    }
    std::size_t flags = 0;
    for (const auto& [code, value] : pairsOf(dxfText(*db))) {
        // 16-bit integers in binary DXF, and bytes (280..289).
        const bool int16 = (code >= 60 && code <= 79) || (code >= 170 && code <= 179) ||
                           (code >= 270 && code <= 279) || (code >= 370 && code <= 389) ||
                           (code >= 400 && code <= 409) || (code >= 1060 && code <= 1070);
        if (int16) {
            long long v = std::stoll(value);
            EXPECT_TRUE(v >= -32768 && v <= 32767) << "code " << code << " holds " << value;
        }
        if (code >= 280 && code <= 289) {
            long long v = std::stoll(value);
            EXPECT_TRUE(v >= 0 && v <= 255) << "code " << code << " holds " << value;
        }
        // Colour numbers: 62 on entities, 63..69 on table cells and styles.
        if (code >= 62 && code <= 69 && code != 67) {
            int v = std::abs(std::stoi(value));
            EXPECT_LE(v, 257) << "code " << code << " holds " << value;
        }
        flags += code == 177;
    }
    EXPECT_GT(flags, 0u);
}

TEST(DxfTableCodes, EdgeOverridesRoundTripAndOldWideFlagsAreStillRead) {
    AcDbDatabase db;
    AcDbObjectId id = addTable(db, {0, 0, 0}, 1, 1);
    {
        AcDbObjectPointer<AcDbTable> t(id, AcDb::kForWrite);
        t->setEdgeVisibility(0, 0, AcDb::kLeftMask, AcDb::kInvisible);
    }
    std::string text;
    auto back = roundTrip(db, &text);
    EXPECT_EQ(dumpDatabase(*back), dumpDatabase(db));

    // The same drawing as this host wrote it before: the left edge's
    // visibility bit (0x20000) in 177, no edge section in the extended data.
    std::string old = replaceOnce(text, "177\n0\n", "177\n131072\n");
    old = replaceOnce(old, "1000\nEDGEOVERRIDES\n1071\n0\n1071\n0\n1071\n131072\n", "");
    AcDbDatabase oldDb(false, true);
    ASSERT_EQ(acdxf::readDxf(oldDb, old), Acad::eOk) << oldDb.lastFileError();
    EXPECT_EQ(dumpDatabase(oldDb), dumpDatabase(db));
}

TEST(DxfTableCodes, OutOfRangeColourNumbersOfOlderFilesReadAsByLayer) {
    AcDbDatabase db;
    AcDbObjectId id = addTable(db, {0, 0, 0}, 1, 1);
    {
        AcDbObjectPointer<AcDbTable> t(id, AcDb::kForWrite);
        t->setEdgeColor(0, 0, AcDb::kTopMask, AcCmColor::fromIndex(1));
    }
    // What this host wrote for a border colour of "nothing chosen".
    std::string old = replaceOnce(dxfText(db), " 69\n1\n", " 69\n65535\n");
    AcDbDatabase back(false, true);
    ASSERT_EQ(acdxf::readDxf(back, old), Acad::eOk) << back.lastFileError();
    AcDbBlockTableRecord* ms = AcDbBlockTableRecord::cast(back.modelSpaceId().objectLeftOpen());
    ASSERT_NE(ms, nullptr);
    const AcDbTable* t = nullptr;
    for (AcDbObjectId e : ms->entityIds())
        if (auto* table = AcDbTable::cast(e.objectLeftOpen()))
            t = table;
    ASSERT_NE(t, nullptr);
    EXPECT_TRUE(t->edgeColor(0, 0, AcDb::kTopMask).isByLayer());
    EXPECT_TRUE(t->isEdgePropertyOverridden(0, 0, AcDb::kTopMask, AcDbTable::kEdgeColor));
    for (const auto& [code, value] : pairsOf(dxfText(back))) {
        if (code == 69) {
            EXPECT_LE(std::stoi(value), 257);
        }
    }
}
