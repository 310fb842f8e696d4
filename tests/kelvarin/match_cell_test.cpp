// Match Cell: what is copied from the source cell, and the destination of a
// pick found through the index exactly as by the plain scan.
#include "tableops/AttributePages.h"
#include "tableops/MatchCell.h"

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

namespace {

std::unique_ptr<AcDbTable> makeTable(int rows, int cols, AcGePoint3d at = {0, 0, 0},
                                     AcGeVector3d direction = {1, 0, 0}) {
    auto table = std::make_unique<AcDbTable>();
    table->setSize(rows, cols);
    table->setColumnWidth(2.5);
    table->setRowHeight(0.75);
    table->setPosition(at);
    table->setDirection(direction);
    return table;
}

AcCmColor indexColor(int index) {
    AcCmColor c;
    c.setColorIndex(static_cast<std::uint16_t>(index));
    return c;
}

TEST(MatchCellFormat, TextToBlockCopiesTheLookButNotTheContentProperties) {
    auto source = makeTable(3, 3);
    source->setCellAlignment(1, 1, AcDb::kBottomRight);
    source->setFillNone(1, 1, false);
    source->setFillColor(1, 1, indexColor(3));
    source->setTextColor(1, 1, indexColor(5));
    source->setEdgeVisibility(1, 1, AcDb::kTopMask, AcDb::kInvisible);
    source->setEdgeColor(1, 1, AcDb::kLeftMask, indexColor(1));
    source->setEdgeLineWeight(1, 1, AcDb::kRightMask, AcDb::kLnWt050);
    source->setHorizontalCellMargin(0.2);
    const tagAcadDbCell cell = captureCellFormat(*source, 1, 1);
    EXPECT_EQ(cell.outline.size(), 4u);

    auto target = makeTable(2, 2);
    target->setCellType(0, 0, AcDb::kBlockCell);
    const AcCmColor textBefore = target->textColor(0, 0);
    applyCellFormat(*target, 0, 0, cell);
    EXPECT_EQ(target->cellAlignment(0, 0), AcDb::kBottomRight);
    EXPECT_FALSE(target->isFillNone(0, 0));
    EXPECT_EQ(target->fillColor(0, 0).colorIndex(), 3);
    EXPECT_EQ(target->edgeVisibility(0, 0, AcDb::kTopMask), AcDb::kInvisible);
    EXPECT_EQ(target->edgeColor(0, 0, AcDb::kLeftMask).colorIndex(), 1);
    EXPECT_EQ(target->edgeLineWeight(0, 0, AcDb::kRightMask), AcDb::kLnWt050);
    EXPECT_DOUBLE_EQ(target->horizontalCellMargin(), 0.2);
    EXPECT_EQ(target->textColor(0, 0).colorIndex(), textBefore.colorIndex());

    // A source without fill removes the destination's fill and keeps its colour.
    auto plain = makeTable(1, 1);
    plain->setFillNone(0, 0, true);
    target->setFillColor(0, 1, indexColor(4));
    applyCellFormat(*target, 0, 1, captureCellFormat(*plain, 0, 0));
    EXPECT_TRUE(target->isFillNone(0, 1));
    EXPECT_EQ(target->fillColor(0, 1).colorIndex(), 4);
}

// Records for every cell of a few tables, one of them turned.
std::vector<tagAcadDbCell> recordsOf(const std::vector<std::unique_ptr<AcDbTable>>& tables) {
    std::vector<tagAcadDbCell> cells;
    for (const auto& t : tables)
        for (int r = 0; r < t->rowCount(); ++r)
            for (int c = 0; c < t->columnCount(); ++c) {
                tagAcadDbCell cell;
                cell.row = r;
                cell.column = c;
                t->cellOutline(r, c, true, cell.outline);
                cells.push_back(std::move(cell));
            }
    return cells;
}

TEST(MatchCellHits, TheIndexFindsWhatTheScanFinds) {
    std::vector<std::unique_ptr<AcDbTable>> tables;
    tables.push_back(makeTable(6, 4, {0, 10, 0}));
    tables.push_back(makeTable(5, 5, {5, 8, 0})); // overlaps the first
    tables.push_back(makeTable(4, 3, {30, 4, 0}, AcGeVector3d(1, 1, 0).normal()));
    tables.back()->mergeCells(1, 2, 0, 1);
    const std::vector<tagAcadDbCell> cells = recordsOf(tables);
    const CellHitIndex index(cells);

    std::mt19937 random(12345);
    std::uniform_real_distribution<double> x(-3, 40), y(-3, 14);
    std::uniform_int_distribution<int> pick(0, 3);
    int hits = 0;
    for (int i = 0; i < 4000; ++i) {
        AcGePoint3d p(x(random), y(random), 0);
        // Every fourth point lies on a grid line or corner of some cell.
        if (i % 4 == 0) {
            const auto& outline = cells[static_cast<std::size_t>(i / 4) % cells.size()].outline;
            const AcGePoint3d& a = outline[static_cast<std::size_t>(pick(random))];
            const AcGePoint3d& b = outline[static_cast<std::size_t>(pick(random))];
            p = i % 8 == 0 ? a : AcGePoint3d((a.x + b.x) / 2, (a.y + b.y) / 2, 0);
        }
        const int expected = findDestinationByScan(cells, p);
        ASSERT_EQ(index.find(p), expected) << "at " << p.x << "," << p.y;
        hits += expected >= 0;
    }
    EXPECT_GT(hits, 500);
    EXPECT_EQ(CellHitIndex({}).find({0, 0, 0}), -1);
}

TEST(MatchCellHits, APickBelowACellIsNeverThatCell) {
    // From this point in row 1, two rays of the three-ray vote graze the
    // bottom corners of row 0; the pick still belongs to row 1.
    std::vector<std::unique_ptr<AcDbTable>> tables;
    tables.push_back(makeTable(2, 1));
    const std::vector<tagAcadDbCell> cells = recordsOf(tables);
    const CellHitIndex index(cells);
    const AcGePoint3d grazing(1.25, -0.75 - 1.25 * std::tan(M_PI / 6), 0);
    EXPECT_EQ(index.find(grazing), 1);
    EXPECT_EQ(index.find({1.25, -0.375, 0}), 0);
    EXPECT_EQ(index.find({1.25, -0.75, 0}), -1); // on the line between them
}

TEST(AttributePaging, EightRowsAPageAndValuesKeptAcrossPages) {
    AttributePages pages;
    for (int i = 1; i <= 10; ++i)
        pages.records().push_back({"TAG" + std::to_string(i),
                                   i == 3 ? "" : "Prompt " + std::to_string(i),
                                   "v" + std::to_string(i), AcDbObjectId()});
    AttributePages::Page first = pages.fill(0);
    EXPECT_EQ(first.labels[0], "Prompt 1");
    EXPECT_EQ(first.labels[2], "TAG3");
    EXPECT_FALSE(first.previousEnabled);
    EXPECT_TRUE(first.nextEnabled);
    first.values[1] = "typed";
    pages.save(0, first.values);
    AttributePages::Page second = pages.fill(8);
    EXPECT_EQ(second.labels[1], "Prompt 10");
    EXPECT_EQ(second.labels[2], "");
    EXPECT_TRUE(second.previousEnabled);
    EXPECT_FALSE(second.nextEnabled);
    second.values[5] = "dropped";
    pages.save(8, second.values);
    EXPECT_EQ(pages.fill(0).values[1], "typed");
    EXPECT_EQ(pages.records().size(), 10u);
}

} // namespace
