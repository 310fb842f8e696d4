// Damaged and foreign bytes: every one is refused with a reason a user can
// read, and the database that was to be filled stays exactly as it was.

#include "acdxf/dxf.h"
#include "dxf/dxf_test_support.h"

#include <gtest/gtest.h>

#include <random>
#include <regex>

using namespace dxftest;

namespace {

class DxfBadFiles : public ::testing::Test {
protected:
    void SetUp() override {
        target = makeEntityDrawing();
        before = dumpDatabase(*target);
    }

    // The bytes are refused, the reason mentions phrase, nothing changed.
    void expectRefused(const std::string& bytes, const std::string& phrase) {
        SCOPED_TRACE(phrase);
        EXPECT_EQ(acdxf::readDxf(*target, bytes), Acad::eBadDxfFile);
        EXPECT_NE(target->lastFileError().find(phrase), std::string::npos)
            << "reason was: " << target->lastFileError();
        EXPECT_TRUE(dumpDatabase(*target) == before) << "the database changed";
    }

    static std::string replaceFirst(const std::string& text, const std::string& pattern,
                                    const std::string& replacement) {
        std::string out = std::regex_replace(text, std::regex(pattern), replacement,
                                             std::regex_constants::format_first_only);
        EXPECT_NE(out, text) << "pattern not found: " << pattern;
        return out;
    }

    std::unique_ptr<AcDbDatabase> target;
    std::string before;
};

} // namespace

TEST_F(DxfBadFiles, OtherKindsOfFileAreNamed) {
    expectRefused("", "empty");
    expectRefused(std::string("AutoCAD Binary DXF\r\n\x1a\0\x00\x01", 24), "binary DXF");
    expectRefused(std::string("AC1018\0\0\0\0\x01\x02", 12), "DWG file");
    expectRefused(std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "not a DXF file");
    expectRefused("Dear drafter,\nplease find the drawing attached.\n", "not a DXF file");
    expectRefused("\n\n\n", "not a DXF file");

    std::mt19937 rng(7);
    std::string junk(4096, '\0');
    for (char& c : junk)
        c = static_cast<char>(rng());
    expectRefused(junk, "not a DXF file");
}

TEST_F(DxfBadFiles, CutShortFilesAreRefused) {
    std::string text = dxfText(*makeTableDrawing());
    expectRefused(text.substr(0, text.rfind("  0\nEOF")), "without EOF");
    expectRefused(text.substr(0, text.size() / 2), "");
    expectRefused(text.substr(0, text.find("ENTITIES") + 20), "");
    // Cut right after a group code: the value line is missing.
    expectRefused(text.substr(0, text.find(" 91\n") + 4), "without its value");
}

TEST_F(DxfBadFiles, GarbledValuesNameTheirLine) {
    std::string text = dxfText(*makeEntityDrawing());
    expectRefused(replaceFirst(text, "\nAcDbLine\n 10\n", "\nAcDbLine\n1x0\n"),
                  "expected a group code, found \"1x0\"");
    expectRefused(replaceFirst(text, "\nAcDbLine\n 10\n[^\n]*\n", "\nAcDbLine\n 10\nabc\n"),
                  "group code 10 needs a finite number, found \"abc\"");
    expectRefused(replaceFirst(text, "\nAcDbLine\n 10\n[^\n]*\n", "\nAcDbLine\n 10\nnan\n"),
                  "finite number");
    expectRefused(replaceFirst(text, "\nAcDbLine\n 10\n",
                               "\nAcDbLine\n 10\n" + std::string("\x01\x02\0\x03", 4)),
                  "binary data");
    // The reason names the line of the damage.
    std::string garbled = replaceFirst(text, "\nAcDbLine\n 10\n", "\nAcDbLine\n1x0\n");
    auto codeLine = std::count(garbled.begin(),
                               garbled.begin() + static_cast<long>(garbled.find("\n1x0\n")), '\n');
    expectRefused(garbled, "line " + std::to_string(codeLine + 2) + ": expected a group code");
}

TEST_F(DxfBadFiles, HugeValuesAndAbsurdCountsAreRefused) {
    std::string text = dxfText(*makeTableDrawing());
    expectRefused(replaceFirst(text, "\nAcDbTable\n280\n0\n",
                               "\nAcDbTable\n280\n0\n  1\n" + std::string(2000000, 'x') + "\n"),
                  "characters long");
    expectRefused(replaceFirst(text, "\n 91\n5\n", "\n 91\n2000000000\n"), "2000000000 rows");
    expectRefused(replaceFirst(text, "\n 92\n4\n", "\n 92\n-3\n"), "-3 columns");
    expectRefused(replaceFirst(text, "\n 91\n5\n 92\n4\n", "\n 91\n90000\n 92\n9000\n"),
                  "cells; the file is damaged");
    expectRefused(replaceFirst(text, "\n 91\n5\n", "\n 91\n6\n"), "5 row heights for 6 rows");
    expectRefused(replaceFirst(text, "\n 91\n5\n", "\n 91\n4\n"), "more row heights than rows");
    expectRefused(replaceFirst(text, "\n175\n4\n", "\n175\n40\n"), "beyond the table's edge");
    expectRefused(replaceFirst(text, "\n  5\n[0-9A-F]+\n", "\n  5\nFFFFFFFFFFFFFFFFFF\n"),
                  "hexadecimal handle");
}

TEST_F(DxfBadFiles, ReferencesThatPointNowhereAreRefused) {
    auto tables = makeTableDrawing();
    std::string text = dxfText(*tables);
    expectRefused(replaceFirst(text, "\n340\n[0-9A-F]+\n144\n", "\n340\nABCDE\n144\n"),
                  "block cell (340) refers to handle ABCDE, which no object in the file has");
    expectRefused(replaceFirst(text, "\n331\n[0-9A-F]+\n", "\n331\nABCDE\n"),
                  "attribute value (331) refers to handle ABCDE");

    AcDbObjectId layerZero;
    AcDbObjectPointer<AcDbLayerTable> layers(tables->layerTableId(), AcDb::kForRead);
    layers->getAt("0", layerZero);
    expectRefused(
        replaceFirst(text, "\n342\n[0-9A-F]+\n", "\n342\n" + layerZero.handle().toHex() + "\n"),
        "is not a TABLESTYLE object");
    // A handle of an object the host does not keep (a LAYOUT).
    std::smatch layout;
    ASSERT_TRUE(std::regex_search(text, layout, std::regex("\nLAYOUT\n  5\n([0-9A-F]+)\n")));
    expectRefused(
        replaceFirst(text, "\n340\n[0-9A-F]+\n144\n", "\n340\n" + layout[1].str() + "\n144\n"),
        "a LAYOUT object, which cannot be used there");
    expectRefused(
        replaceFirst(text, "\nACAD_GROUP\n350\n[0-9A-F]+\n", "\nACAD_GROUP\n350\nABCDE\n"),
        "dictionary entry \"ACAD_GROUP\" refers to handle ABCDE");

    std::string entities = dxfText(*makeEntityDrawing());
    expectRefused(replaceFirst(entities, "AcDbBlockReference\n  2\nDoor\n",
                               "AcDbBlockReference\n  2\nNoSuchBlock\n"),
                  "INSERT refers to block \"NoSuchBlock\", which the file does not define");
}

TEST_F(DxfBadFiles, AHandleGivenTwiceIsRefused) {
    std::string text = dxfText(*makeEntityDrawing());
    std::smatch first;
    ASSERT_TRUE(std::regex_search(text, first, std::regex("\nLINE\n  5\n([0-9A-F]+)\n")));
    std::string rest = first.suffix();
    std::string prefix = text.substr(0, text.size() - rest.size());
    rest = replaceFirst(rest, "\nLINE\n  5\n[0-9A-F]+\n", "\nLINE\n  5\n" + first[1].str() + "\n");
    expectRefused(prefix + rest, "is given to two objects");
}

TEST_F(DxfBadFiles, EndlesslyNestedDictionariesAreRefused) {
    std::string text = "  0\nSECTION\n  2\nOBJECTS\n";
    for (int i = 1; i <= 100; ++i) {
        char handle[16];
        std::snprintf(handle, sizeof handle, "%X", 0x100 + i);
        char child[16];
        std::snprintf(child, sizeof child, "%X", 0x101 + i);
        text += "  0\nDICTIONARY\n  5\n" + std::string(handle) + "\n100\nAcDbDictionary\n";
        if (i < 100)
            text += "  3\nD\n350\n" + std::string(child) + "\n";
    }
    text += "  0\nENDSEC\n  0\nEOF\n";
    expectRefused(text, "nested too deeply");
}

TEST_F(DxfBadFiles, RandomDamageNeverCrashesOrHalfFills) {
    std::string text = dxfText(*makeTableDrawing());
    std::mt19937 rng(2024);
    for (int round = 0; round < 150; ++round) {
        std::string damaged = text;
        int edits = 1 + static_cast<int>(rng() % 4);
        for (int e = 0; e < edits; ++e) {
            std::size_t at = rng() % damaged.size();
            switch (rng() % 4) {
            case 0:
                damaged[at] = static_cast<char>(rng());
                break;
            case 1:
                damaged.erase(at, 1 + rng() % 40);
                break;
            case 2:
                damaged.insert(at, std::string(1 + rng() % 8, static_cast<char>('0' + rng() % 10)));
                break;
            default:
                damaged.insert(at, "\n");
                break;
            }
        }
        Acad::ErrorStatus es = acdxf::readDxf(*target, damaged);
        if (es != Acad::eOk) {
            EXPECT_EQ(es, Acad::eBadDxfFile);
            EXPECT_FALSE(target->lastFileError().empty());
            EXPECT_EQ(dumpDatabase(*target), before) << "round " << round;
        } else {
            // Damage the reader tolerates still yields a whole drawing.
            EXPECT_FALSE(target->modelSpaceId().isNull());
            target = makeEntityDrawing();
        }
    }
}

TEST_F(DxfBadFiles, TableOverTheCellLimitIsRefusedNamingTheLimitAndOneAtItIsNot) {
    std::string text = dxfText(*makeTableDrawing());
    // What the host would have saved before it had one limit: 101 x 10000.
    expectRefused(replaceFirst(text, "\n 91\n5\n 92\n4\n", "\n 91\n101\n 92\n10000\n"),
                  "a table holds at most 1000000 cells");
    // Creating and editing stop at the same limit, before any work is done.
    AcDbTable table;
    EXPECT_EQ(table.setSize(101, 10000), Acad::eInvalidInput);
    EXPECT_EQ(table.setSize(100000, 11), Acad::eInvalidInput);
    ASSERT_EQ(table.setSize(1000, 100), Acad::eOk);
    EXPECT_EQ(table.insertRows(1000, 0.5, 9001), Acad::eInvalidInput);
    EXPECT_EQ(table.rowCount(), 1000);
}
