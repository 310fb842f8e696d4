// The *T block of a table holds the table's graphics in block coordinates:
// the world coordinates the host draws, moved so the insertion point is the
// block's origin. Other readers draw the table by inserting that block.

#include "dxf/dxf_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

using namespace dxftest;

namespace {

struct Pair {
    int code;
    std::string value;
};

std::vector<Pair> pairsOf(const std::string& text) {
    std::vector<Pair> out;
    std::istringstream in(text);
    std::string code, value;
    while (std::getline(in, code) && std::getline(in, value))
        out.push_back({std::stoi(code), value});
    return out;
}

// Segments of the LINEs between "BLOCK ... 2 name" and its ENDBLK, rounded.
std::vector<std::string> linesOfBlock(const std::vector<Pair>& pairs, const std::string& name) {
    std::vector<std::string> out;
    bool inBlock = false, inLine = false;
    double v[6] = {};
    auto flush = [&] {
        if (!inLine)
            return;
        char buf[160];
        std::snprintf(buf, sizeof buf, "%.6f,%.6f-%.6f,%.6f", v[0], v[1], v[3], v[4]);
        out.push_back(buf);
        inLine = false;
    };
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const Pair& p = pairs[i];
        if (p.code == 0) {
            flush();
            if (p.value == "BLOCK")
                inBlock = i + 1 < pairs.size() && [&] {
                    for (std::size_t k = i + 1; k < pairs.size() && pairs[k].code != 0; ++k)
                        if (pairs[k].code == 2)
                            return pairs[k].value == name;
                    return false;
                }();
            else if (p.value == "ENDBLK")
                inBlock = false;
            inLine = inBlock && p.value == "LINE";
        } else if (inLine) {
            if (p.code == 10 || p.code == 20 || p.code == 30)
                v[(p.code - 10) / 10] = std::stod(p.value);
            else if (p.code == 11 || p.code == 21 || p.code == 31)
                v[3 + (p.code - 11) / 10] = std::stod(p.value);
        }
    }
    flush();
    std::sort(out.begin(), out.end());
    return out;
}

} // namespace

TEST(DxfTableGraphics, StarTBlockHoldsTheGraphicsRelativeToTheInsertionPoint) {
    AcDbDatabase db;
    AcDbObjectId id = addTable(db, {10, 20, 0}, 3, 2);
    std::vector<std::string> expected;
    {
        AcDbObjectPointer<AcDbTable> t(id, AcDb::kForWrite);
        t->mergeCells(1, 2, 0, 0);
        t->setEdgeVisibility(0, 1, AcDb::kRightMask, AcDb::kInvisible);
        for (const auto& g : t->graphics()) {
            if (auto* line = AcDbLine::cast(g.get())) {
                char buf[160];
                std::snprintf(buf, sizeof buf, "%.6f,%.6f-%.6f,%.6f", line->startPoint().x - 10,
                              line->startPoint().y - 20, line->endPoint().x - 10,
                              line->endPoint().y - 20);
                expected.push_back(buf);
            }
        }
    }
    std::sort(expected.begin(), expected.end());
    ASSERT_FALSE(expected.empty());

    std::string text = dxfText(db);
    auto pairs = pairsOf(text);
    EXPECT_EQ(linesOfBlock(pairs, "*T1"), expected);
    // The table names its block by name (2) and record handle (343).
    EXPECT_NE(text.find("AcDbBlockReference\n  2\n*T1\n 10\n10.0\n 20\n20.0\n"), std::string::npos);
}

TEST(DxfTableGraphics, TableBlockNamesNeverHideABlockOfTheDrawing) {
    AcDbDatabase db;
    {
        AcDbObjectPointer<AcDbBlockTable> blocks(db.blockTableId(), AcDb::kForWrite);
        auto* taken = new AcDbBlockTableRecord;
        taken->setName("*T1");
        blocks->add(taken);
        taken->close();
    }
    addTable(db, {0, 0, 0}, 1, 1);
    std::string text = dxfText(db);
    EXPECT_NE(text.find("AcDbBlockReference\n  2\n*T2\n"), std::string::npos);
    auto back = roundTrip(db);
    EXPECT_TRUE(dumpDatabase(*back) == dumpDatabase(db));
}
