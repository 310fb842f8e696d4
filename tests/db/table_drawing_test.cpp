// What the screen draws of a table (grid lines joined into runs) against its
// graphics (one line entity per segment): the same lines, fills and contents,
// and the streamed graphics the file writer uses equal the listed ones.

#include "acdb/table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>

namespace {

// Rows of height 1 and columns of width 2, top-left corner at (10, 20, 0).
std::unique_ptr<AcDbTable> makeTable(int rows, int cols) {
    auto t = std::make_unique<AcDbTable>();
    EXPECT_EQ(t->setSize(rows, cols), Acad::eOk);
    EXPECT_EQ(t->setRowHeight(1.0), Acad::eOk);
    EXPECT_EQ(t->setColumnWidth(2.0), Acad::eOk);
    EXPECT_EQ(t->setPosition(AcGePoint3d(10, 20, 0)), Acad::eOk);
    return t;
}

bool onRun(const AcGePoint3d& p, const AcDbTableDrawing::GridLine& run) {
    const AcGeVector3d along = run.end - run.start;
    const AcGeVector3d to = p - run.start;
    const double len = along.length();
    if (len < 1e-12)
        return to.length() < 1e-9;
    const double s = to.dotProduct(along) / (len * len);
    return s > -1e-9 && s < 1 + 1e-9 && (to - along * s).length() < 1e-9;
}

// Every line entity lies on exactly one run of the same look, and the runs
// are no longer than the lines they stand for.
void expectSameGrid(const AcDbTable& t) {
    const AcDbTableDrawing& d = t.drawing();
    double lineLength = 0, runLength = 0;
    for (const auto& e : t.graphics()) {
        const auto* line = AcDbLine::cast(e.get());
        if (!line)
            continue;
        lineLength += (line->endPoint() - line->startPoint()).length();
        int holders = 0;
        for (const auto& run : d.gridLines)
            if (onRun(line->startPoint(), run) && onRun(line->endPoint(), run) &&
                run.color == line->color() && run.lineWeight == line->lineWeight())
                ++holders;
        EXPECT_EQ(holders, 1) << "line " << line->startPoint().x << "," << line->startPoint().y
                              << " - " << line->endPoint().x << "," << line->endPoint().y;
    }
    for (const auto& run : d.gridLines)
        runLength += (run.end - run.start).length();
    EXPECT_NEAR(runLength, lineLength, 1e-9);
}

std::size_t count(const AcDbEntityList& list, const AcRxClass* what) {
    std::size_t n = 0;
    for (const auto& e : list)
        n += e->isA() == what;
    return n;
}

TEST(TableDrawing, EachGridLineOfAPlainTableIsOneRun) {
    auto t = makeTable(50, 7);
    const AcDbTableDrawing& d = t->drawing();
    EXPECT_EQ(d.gridLines.size(), 51u + 8u);
    expectSameGrid(*t);
}

TEST(TableDrawing, RunsBreakWhereTheLookChangesOrASegmentIsMissing) {
    auto t = makeTable(4, 4);
    ASSERT_EQ(t->setEdgeColor(1, 1, AcDb::kTopMask, AcCmColor::fromIndex(1)), Acad::eOk);
    ASSERT_EQ(t->setEdgeLineWeight(2, 0, AcDb::kLeftMask, AcDb::kLnWt050), Acad::eOk);
    ASSERT_EQ(t->setEdgeVisibility(3, 2, AcDb::kBottomMask, AcDb::kInvisible), Acad::eOk);
    ASSERT_EQ(t->mergeCells(0, 1, 2, 3), Acad::eOk);
    expectSameGrid(*t);
    // Horizontal lines: 1, 2 (default, red; the region hides the rest), 1,
    // 1, 2 (around the hidden segment). Vertical lines: 3 (around the heavy
    // segment), 1, 1, 1 (below the region), 1.
    const AcDbTableDrawing& d = t->drawing();
    EXPECT_EQ(d.gridLines.size(), 7u + 7u);

    // The whole-line reads the runs are built from answer as gridEdge does.
    std::vector<AcDbTable::GridEdge> line;
    t->horizontalGridLine(1, line);
    ASSERT_EQ(line.size(), 4u);
    EXPECT_EQ(line[1].color, t->gridEdge(1, 1, AcDb::kTopMask).color);
    t->verticalGridSegments(2, line);
    ASSERT_EQ(line.size(), 5u);
    EXPECT_EQ(line[0].lineWeight, AcDb::kLnWt050);
    t->horizontalGridLine(5, line);
    EXPECT_TRUE(line.empty());
    t->verticalGridSegments(-1, line);
    EXPECT_TRUE(line.empty());
}

TEST(TableDrawing, FillsAndContentsAreTheGraphicsOnesInOrder) {
    auto t = makeTable(3, 2);
    ASSERT_EQ(t->setFillNone(0, 1, false), Acad::eOk);
    ASSERT_EQ(t->setFillColor(0, 1, AcCmColor::fromIndex(3)), Acad::eOk);
    ASSERT_EQ(t->setTextString(1, 0, "a"), Acad::eOk);
    ASSERT_EQ(t->setTextString(2, 1, "b"), Acad::eOk);
    const AcDbTableDrawing& d = t->drawing();
    EXPECT_EQ(d.fills.size(), count(t->graphics(), AcDbSolid::desc()));
    ASSERT_EQ(d.contents.size(), 2u);
    EXPECT_EQ(count(t->graphics(), AcDbMText::desc()), 2u);
    EXPECT_EQ(AcDbMText::cast(d.contents[0].get())->contents(), "a");
    EXPECT_EQ(AcDbMText::cast(d.contents[1].get())->contents(), "b");
}

TEST(TableDrawing, FollowsEditsAndMoves) {
    auto t = makeTable(2, 2);
    const std::size_t before = t->drawing().gridLines.size();
    ASSERT_EQ(t->setEdgeColor(0, 0, AcDb::kRightMask, AcCmColor::fromIndex(5)), Acad::eOk);
    EXPECT_GT(t->drawing().gridLines.size(), before);
    expectSameGrid(*t);
    // An edge edit rebuilds only the runs: the fill and text drawn before stay.
    ASSERT_EQ(t->setFillNone(1, 1, false), Acad::eOk);
    ASSERT_EQ(t->setTextString(0, 0, "x"), Acad::eOk);
    ASSERT_EQ(t->drawing().contents.size(), 1u);
    ASSERT_EQ(t->setEdgeVisibility(1, 1, AcDb::kBottomMask, AcDb::kInvisible), Acad::eOk);
    EXPECT_EQ(t->drawing().fills.size(), 1u);
    EXPECT_EQ(t->drawing().contents.size(), 1u);
    expectSameGrid(*t);
    ASSERT_EQ(t->setPosition(AcGePoint3d(0, 0, 0)), Acad::eOk);
    for (const auto& run : t->drawing().gridLines) {
        EXPECT_LE(run.start.x, 4 + 1e-9);
        EXPECT_GE(run.start.y, -2 - 1e-9);
    }
    expectSameGrid(*t);
}

TEST(TableGraphicsStream, GivesTheListedGraphicsInOrderWithOrWithoutACache) {
    auto t = makeTable(3, 3);
    ASSERT_EQ(t->setTextString(1, 1, "x"), Acad::eOk);
    ASSERT_EQ(t->setFillNone(2, 2, false), Acad::eOk);
    std::vector<std::pair<const AcRxClass*, AcGePoint3d>> streamed;
    auto collect = [&streamed](const AcDbEntity& e) {
        AcDbExtents ext;
        EXPECT_EQ(e.getGeomExtents(ext), Acad::eOk);
        streamed.emplace_back(e.isA(), ext.minPoint());
    };
    t->forEachGraphic(collect); // nothing built yet
    auto uncached = streamed;
    streamed.clear();
    const AcDbEntityList& listed = t->graphics();
    t->forEachGraphic(collect); // from the cache
    ASSERT_EQ(uncached.size(), listed.size());
    ASSERT_EQ(streamed.size(), listed.size());
    for (std::size_t i = 0; i < listed.size(); ++i) {
        AcDbExtents ext;
        ASSERT_EQ(listed[i]->getGeomExtents(ext), Acad::eOk);
        EXPECT_EQ(uncached[i].first, listed[i]->isA());
        EXPECT_TRUE(uncached[i].second.isEqualTo(ext.minPoint()));
        EXPECT_EQ(streamed[i].first, listed[i]->isA());
    }
    AcDbEntityList parts;
    ASSERT_EQ(t->explode(parts), Acad::eOk);
    EXPECT_EQ(parts.size(), listed.size());
}

} // namespace
