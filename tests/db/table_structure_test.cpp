// Rows and columns: insertion before an index with the neighbour's format,
// deletion, merged regions following both, sizes and their limits.

#include "acdb/table.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using Range = AcDbTable::Range;

std::unique_ptr<AcDbTable> makeTable(int rows, int cols) {
    auto t = std::make_unique<AcDbTable>();
    EXPECT_EQ(t->setSize(rows, cols), Acad::eOk);
    EXPECT_EQ(t->setRowHeight(1.0), Acad::eOk);
    EXPECT_EQ(t->setColumnWidth(2.0), Acad::eOk);
    return t;
}

// Labels every cell "r,c" so moves can be followed.
void label(AcDbTable& t) {
    for (int r = 0; r < t.rowCount(); ++r)
        for (int c = 0; c < t.columnCount(); ++c)
            t.setTextString(r, c, std::to_string(r) + "," + std::to_string(c));
}

std::vector<double> rowHeights(const AcDbTable& t) {
    std::vector<double> h;
    for (int r = 0; r < t.rowCount(); ++r)
        h.push_back(t.rowHeight(r));
    return h;
}

std::vector<double> columnWidths(const AcDbTable& t) {
    std::vector<double> w;
    for (int c = 0; c < t.columnCount(); ++c)
        w.push_back(t.columnWidth(c));
    return w;
}

TEST(TableRows, InsertGoesBeforeTheIndexAndAppendsAtTheCount) {
    auto t = makeTable(3, 2);
    label(*t);
    t->setRowHeight(2, 3.0);
    ASSERT_EQ(t->insertRows(1, 5.0, 2), Acad::eOk);
    EXPECT_EQ(rowHeights(*t), (std::vector<double>{1, 5, 5, 1, 3}));
    EXPECT_EQ(t->textString(0, 1), "0,1");
    EXPECT_EQ(t->textString(1, 0), "");
    EXPECT_EQ(t->textString(2, 1), "");
    EXPECT_EQ(t->textString(3, 0), "1,0");
    EXPECT_EQ(t->cellType(1, 0), AcDb::kTextCell);

    ASSERT_EQ(t->insertRows(t->rowCount(), 4.0), Acad::eOk);
    EXPECT_EQ(rowHeights(*t), (std::vector<double>{1, 5, 5, 1, 3, 4}));
    EXPECT_EQ(t->textString(4, 0), "2,0");
}

TEST(TableColumns, InsertGoesBeforeTheIndexAndAppendsAtTheCount) {
    auto t = makeTable(2, 3);
    label(*t);
    ASSERT_EQ(t->insertColumns(0, 1.5, 1), Acad::eOk);
    ASSERT_EQ(t->insertColumns(4, 2.5, 2), Acad::eOk);
    EXPECT_EQ(columnWidths(*t), (std::vector<double>{1.5, 2, 2, 2, 2.5, 2.5}));
    EXPECT_EQ(t->textString(1, 1), "1,0");
    EXPECT_EQ(t->textString(1, 3), "1,2");
    EXPECT_EQ(t->textString(1, 0), "");
    EXPECT_EQ(t->textString(1, 5), "");
}

TEST(TableRows, InsertedRowsCopyTheLookOfTheRowAtTheIndex) {
    auto t = makeTable(3, 2);
    const AcCmColor red = AcCmColor::fromIndex(1);
    t->setFillNone(1, 0, false);
    t->setFillColor(1, 0, red);
    t->setCellAlignment(1, 1, AcDb::kBottomRight);
    t->setEdgeVisibility(1, 0, AcDb::kLeftMask | AcDb::kTopMask, AcDb::kInvisible);
    t->setEdgeLineWeight(1, 1, AcDb::kRightMask, AcDb::kLnWt050);
    t->setTextString(1, 0, "content is not copied");

    ASSERT_EQ(t->insertRows(1, 1.0, 2), Acad::eOk);
    for (int r : {1, 2, 3}) {
        EXPECT_FALSE(t->isFillNone(r, 0)) << r;
        EXPECT_EQ(t->fillColor(r, 0), red) << r;
        EXPECT_EQ(t->cellAlignment(r, 1), AcDb::kBottomRight) << r;
        EXPECT_EQ(t->edgeVisibility(r, 0, AcDb::kLeftMask), AcDb::kInvisible) << r;
        EXPECT_EQ(t->edgeVisibility(r, 0, AcDb::kTopMask), AcDb::kInvisible) << r;
        EXPECT_EQ(t->edgeLineWeight(r, 1, AcDb::kRightMask), AcDb::kLnWt050) << r;
    }
    EXPECT_EQ(t->textString(1, 0), "");
    EXPECT_EQ(t->textString(3, 0), "content is not copied");
    // Neighbours that were not copied keep the style's look.
    EXPECT_TRUE(t->isFillNone(0, 0));
    EXPECT_EQ(t->edgeVisibility(4, 0, AcDb::kLeftMask), AcDb::kVisible);
}

TEST(TableRows, AppendedRowsCopyTheLastRowAndKeepTheBottomLine) {
    auto t = makeTable(2, 2);
    t->setEdgeColor(1, 0, AcDb::kTopMask | AcDb::kLeftMask, AcCmColor::fromIndex(3));
    t->setEdgeColor(1, 0, AcDb::kBottomMask, AcCmColor::fromIndex(5));
    ASSERT_EQ(t->insertRows(2, 1.0, 1), Acad::eOk);
    EXPECT_EQ(t->edgeColor(2, 0, AcDb::kTopMask), AcCmColor::fromIndex(3));
    EXPECT_EQ(t->edgeColor(2, 0, AcDb::kLeftMask), AcCmColor::fromIndex(3));
    EXPECT_EQ(t->edgeColor(2, 0, AcDb::kBottomMask), AcCmColor::fromIndex(5));
}

TEST(TableColumns, InsertedColumnsCopyTheLookOfTheNeighbour) {
    auto t = makeTable(2, 3);
    t->setTextColor(0, 2, AcCmColor::fromIndex(4));
    t->setEdgeVisibility(1, 2, AcDb::kLeftMask | AcDb::kBottomMask, AcDb::kInvisible);
    ASSERT_EQ(t->insertColumns(2, 1.0, 1), Acad::eOk); // copies column 2
    ASSERT_EQ(t->insertColumns(4, 1.0, 1), Acad::eOk); // appended: copies the last
    for (int c : {2, 3, 4}) {
        EXPECT_EQ(t->textColor(0, c), AcCmColor::fromIndex(4)) << c;
        EXPECT_EQ(t->edgeVisibility(1, c, AcDb::kLeftMask), AcDb::kInvisible) << c;
        EXPECT_EQ(t->edgeVisibility(1, c, AcDb::kBottomMask), AcDb::kInvisible) << c;
    }
    EXPECT_FALSE(t->isCellPropertyOverridden(0, 1, AcDbTable::kCellTextColor));
}

TEST(TableRows, RegionsGrowAcrossTheInsertionPointAndMoveAfterIt) {
    auto t = makeTable(8, 4);
    ASSERT_EQ(t->mergeCells(1, 3, 0, 1), Acad::eOk); // spans row 2
    ASSERT_EQ(t->mergeCells(4, 5, 2, 3), Acad::eOk); // after it
    ASSERT_EQ(t->mergeCells(0, 0, 2, 3), Acad::eOk); // before it
    ASSERT_EQ(t->insertRows(2, 1.0, 2), Acad::eOk);
    EXPECT_EQ(t->mergedRanges(), (std::vector<Range>{{0, 0, 2, 3}, {1, 5, 0, 1}, {6, 7, 2, 3}}));
    // Inserting at a region's first row moves it; at the row after it leaves it.
    ASSERT_EQ(t->insertRows(6, 1.0, 1), Acad::eOk);
    ASSERT_EQ(t->insertRows(9, 1.0, 1), Acad::eOk);
    EXPECT_EQ(t->mergedRanges(), (std::vector<Range>{{0, 0, 2, 3}, {1, 5, 0, 1}, {7, 8, 2, 3}}));
}

TEST(TableColumns, RegionsGrowAcrossTheInsertionPoint) {
    auto t = makeTable(3, 5);
    ASSERT_EQ(t->mergeCells(0, 1, 1, 3), Acad::eOk);
    ASSERT_EQ(t->insertColumns(3, 1.0, 1), Acad::eOk);
    EXPECT_EQ(t->mergedRanges(), (std::vector<Range>{{0, 1, 1, 4}}));
    ASSERT_EQ(t->insertColumns(0, 1.0, 2), Acad::eOk);
    EXPECT_EQ(t->mergedRanges(), (std::vector<Range>{{0, 1, 3, 6}}));
}

TEST(TableRows, DeletingShrinksOrDropsRegions) {
    auto t = makeTable(10, 3);
    label(*t);
    ASSERT_EQ(t->mergeCells(1, 4, 0, 1), Acad::eOk); // loses two rows
    ASSERT_EQ(t->mergeCells(5, 6, 2, 2), Acad::eOk); // wholly deleted
    ASSERT_EQ(t->mergeCells(6, 7, 0, 0), Acad::eOk); // left as one cell: no longer merged
    ASSERT_EQ(t->mergeCells(8, 9, 0, 2), Acad::eOk); // moves up
    ASSERT_EQ(t->deleteRows(3, 4), Acad::eOk);       // rows 3..6
    EXPECT_EQ(t->rowCount(), 6);
    EXPECT_EQ(t->mergedRanges(), (std::vector<Range>{{1, 2, 0, 1}, {4, 5, 0, 2}}));
    EXPECT_EQ(t->textString(3, 0), "7,0");
    EXPECT_FALSE(t->isMergedCell(3, 0));
}

TEST(TableColumns, DeletingShrinksOrDropsRegions) {
    auto t = makeTable(3, 6);
    label(*t);
    ASSERT_EQ(t->mergeCells(0, 1, 0, 2), Acad::eOk);
    ASSERT_EQ(t->mergeCells(0, 0, 4, 5), Acad::eOk);
    ASSERT_EQ(t->deleteColumns(1, 4), Acad::eOk); // columns 1..4
    EXPECT_EQ(t->columnCount(), 2);
    // The first keeps two rows of column 0; the second is left as one cell.
    EXPECT_EQ(t->mergedRanges(), (std::vector<Range>{{0, 1, 0, 0}}));
    EXPECT_EQ(t->textString(2, 1), "2,5");
}

TEST(TableRows, DeletingTheTopRowKeepsTheTableOutline) {
    auto t = makeTable(3, 1);
    t->setEdgeColor(0, 0, AcDb::kTopMask, AcCmColor::fromIndex(1));
    t->setEdgeColor(2, 0, AcDb::kBottomMask, AcCmColor::fromIndex(2));
    ASSERT_EQ(t->deleteRows(0, 1), Acad::eOk);
    ASSERT_EQ(t->deleteRows(1, 1), Acad::eOk);
    EXPECT_EQ(t->edgeColor(0, 0, AcDb::kTopMask), AcCmColor::fromIndex(1));
    EXPECT_EQ(t->edgeColor(0, 0, AcDb::kBottomMask), AcCmColor::fromIndex(2));
}

// Everything a failed structural edit must leave alone.
struct Shape {
    int rows, cols;
    std::vector<double> heights, widths;
    std::vector<Range> regions;
    bool operator==(const Shape&) const = default;
};
Shape shapeOf(const AcDbTable& t) {
    return {t.rowCount(), t.columnCount(), rowHeights(t), columnWidths(t), t.mergedRanges()};
}

TEST(TableStructure, BadIndicesAndCountsChangeNothing) {
    auto t = makeTable(3, 3);
    ASSERT_EQ(t->mergeCells(0, 1, 0, 1), Acad::eOk);
    const Shape before = shapeOf(*t);
    const double nan = std::numeric_limits<double>::quiet_NaN();

    EXPECT_EQ(t->insertRows(-1, 1.0, 1), Acad::eInvalidInput);
    EXPECT_EQ(t->insertRows(4, 1.0, 1), Acad::eInvalidInput);
    EXPECT_EQ(t->insertRows(1, 1.0, 0), Acad::eInvalidInput);
    EXPECT_EQ(t->insertRows(1, 1.0, -2), Acad::eInvalidInput);
    EXPECT_EQ(t->insertRows(1, 0.0, 1), Acad::eInvalidInput);
    EXPECT_EQ(t->insertRows(1, nan, 1), Acad::eInvalidInput);
    EXPECT_EQ(t->insertRows(1, 1.0, 1 << 30), Acad::eInvalidInput);
    EXPECT_EQ(t->insertColumns(-1, 1.0, 1), Acad::eInvalidInput);
    EXPECT_EQ(t->insertColumns(4, 1.0, 1), Acad::eInvalidInput);
    EXPECT_EQ(t->insertColumns(0, -1.0, 1), Acad::eInvalidInput);
    EXPECT_EQ(t->insertColumns(0, 1.0, 0), Acad::eInvalidInput);

    EXPECT_EQ(t->deleteRows(-1, 1), Acad::eInvalidInput);
    EXPECT_EQ(t->deleteRows(3, 1), Acad::eInvalidInput);
    EXPECT_EQ(t->deleteRows(2, 2), Acad::eInvalidInput); // runs past the end
    EXPECT_EQ(t->deleteRows(0, 0), Acad::eInvalidInput);
    EXPECT_EQ(t->deleteRows(0, 3), Acad::eInvalidInput); // every row
    EXPECT_EQ(t->deleteColumns(0, 3), Acad::eInvalidInput);
    EXPECT_EQ(t->deleteColumns(1, -1), Acad::eInvalidInput);

    EXPECT_EQ(t->setSize(0, 3), Acad::eInvalidInput);
    EXPECT_EQ(t->setNumColumns(-4), Acad::eInvalidInput);
    EXPECT_EQ(shapeOf(*t), before);
}

TEST(TableStructure, SetSizeKeepsRemainingCells) {
    auto t = makeTable(3, 3);
    label(*t);
    ASSERT_EQ(t->setSize(2, 5), Acad::eOk);
    EXPECT_EQ(t->rowCount(), 2);
    EXPECT_EQ(t->columnCount(), 5);
    EXPECT_EQ(t->textString(1, 2), "1,2");
    EXPECT_EQ(t->textString(1, 4), "");
    EXPECT_EQ(t->columnWidth(4), 2.0);
    ASSERT_EQ(t->setNumRows(4), Acad::eOk);
    EXPECT_EQ(t->textString(3, 0), "");
}

TEST(TableSizes, RowHeightNeverBelowTextAndMargins) {
    auto t = makeTable(3, 2); // title, header, data rows of the default style
    ASSERT_EQ(t->setRowHeight(0.01), Acad::eOk);
    EXPECT_DOUBLE_EQ(t->rowHeight(0), 0.25 + 2 * 0.06);
    EXPECT_DOUBLE_EQ(t->rowHeight(2), 0.18 + 2 * 0.06);
    // The tallest text of the row rules; the stored height comes back when
    // the minimum drops below it again.
    ASSERT_EQ(t->setRowHeight(2, 0.5), Acad::eOk);
    ASSERT_EQ(t->setTextHeight(2, 1, 1.0), Acad::eOk);
    EXPECT_DOUBLE_EQ(t->rowHeight(2), 1.0 + 2 * 0.06);
    EXPECT_DOUBLE_EQ(t->minimumRowHeight(2), 1.0 + 2 * 0.06);
    ASSERT_EQ(t->setTextHeight(2, 1, 0.1), Acad::eOk);
    EXPECT_DOUBLE_EQ(t->rowHeight(2), 0.5);
    ASSERT_EQ(t->setVerticalCellMargin(0.3), Acad::eOk);
    EXPECT_DOUBLE_EQ(t->rowHeight(2), 0.18 + 0.6);
    EXPECT_DOUBLE_EQ(t->height(), t->rowHeight(0) + t->rowHeight(1) + t->rowHeight(2));
}

TEST(TableSizes, SizesMustBePositive) {
    auto t = makeTable(2, 2);
    EXPECT_EQ(t->setColumnWidth(0, 0.0), Acad::eInvalidInput);
    EXPECT_EQ(t->setColumnWidth(0, -1.0), Acad::eInvalidInput);
    EXPECT_EQ(t->setColumnWidth(-0.5), Acad::eInvalidInput);
    EXPECT_EQ(t->setColumnWidth(2, 1.0), Acad::eInvalidInput);
    EXPECT_EQ(t->setRowHeight(0, 0.0), Acad::eInvalidInput);
    EXPECT_EQ(t->setRowHeight(0, std::numeric_limits<double>::infinity()), Acad::eInvalidInput);
    EXPECT_EQ(columnWidths(*t), (std::vector<double>{2, 2}));
    EXPECT_DOUBLE_EQ(t->width(), 4.0);
    // Getters out of range answer zero rather than failing.
    EXPECT_EQ(t->columnWidth(9), 0.0);
    EXPECT_EQ(t->rowHeight(-1), 0.0);
}

TEST(TableSizes, SizingSelectedRowsEquallyKeepsTheirTotal) {
    auto t = makeTable(4, 1);
    t->setRowHeight(1, 1.0);
    t->setRowHeight(2, 2.0);
    t->setRowHeight(3, 6.0);
    double total = t->rowHeight(1) + t->rowHeight(2) + t->rowHeight(3);
    for (int r = 1; r <= 3; ++r)
        t->setRowHeight(r, total / 3);
    EXPECT_EQ(rowHeights(*t), (std::vector<double>{1, 3, 3, 3}));
}

TEST(TableSelection, StructuralEditsDropASelectionTheyInvalidate) {
    auto t = makeTable(4, 4);
    ASSERT_EQ(t->setSubSelection(1, 2, 1, 1), Acad::eOk);
    ASSERT_EQ(t->insertRows(0, 1.0, 1), Acad::eOk);
    EXPECT_TRUE(t->hasSubSelection());
    ASSERT_EQ(t->setSubSelection(3, 4, 0, 3), Acad::eOk);
    ASSERT_EQ(t->deleteRows(3, 2), Acad::eOk);
    EXPECT_FALSE(t->hasSubSelection());
}

} // namespace

namespace {

// A style whose three row types all look different: text colour, fill,
// alignment, text height and every kind of grid line.
AcDbTableStyle threeLooks() {
    AcDbTableStyle s;
    const int types[3] = {AcDb::kTitleRow, AcDb::kHeaderRow, AcDb::kDataRow};
    for (int i = 0; i < 3; ++i) {
        s.setColor(AcCmColor::fromIndex(static_cast<std::uint16_t>(1 + i)), types[i]);
        s.setBackgroundColorNone(i == 2, types[i]);
        s.setBackgroundColor(AcCmColor::fromIndex(static_cast<std::uint16_t>(10 + i)), types[i]);
        s.setAlignment(static_cast<AcDb::CellAlignment>(1 + i), types[i]);
        s.setTextHeight(0.2 + 0.1 * i, types[i]);
        for (int g = 0; g < 6; ++g)
            s.setGridColor(AcCmColor::fromIndex(static_cast<std::uint16_t>(20 + 10 * i + g)),
                           1 << g, types[i]);
        s.setGridLineWeight(i == 0 ? AcDb::kLnWt050 : AcDb::kLnWt018, 0x3F, types[i]);
    }
    return s;
}

// Everything a cell shows, its four edges included.
std::string lookOf(const AcDbTable& t, int r, int c, int edges = 15) {
    std::string s =
        std::to_string(t.textColor(r, c).colorIndex()) + " " + std::to_string(t.isFillNone(r, c)) +
        " " + std::to_string(t.fillColor(r, c).colorIndex()) + " " +
        std::to_string(t.cellAlignment(r, c)) + " " + std::to_string(t.textHeight(r, c));
    for (AcDb::CellEdgeMask e :
         {AcDb::kTopMask, AcDb::kRightMask, AcDb::kBottomMask, AcDb::kLeftMask})
        if (edges & e)
            s += " [" + std::to_string(t.edgeColor(r, c, e).colorIndex()) + " " +
                 std::to_string(t.edgeLineWeight(r, c, e)) + " " +
                 std::to_string(t.edgeVisibility(r, c, e)) + "]";
    return s;
}

std::unique_ptr<AcDbTable> styledTable(int rows, int cols) {
    auto t = makeTable(rows, cols);
    EXPECT_EQ(t->setStyleSnapshot(threeLooks()), Acad::eOk);
    return t;
}

} // namespace

TEST(TableRows, RowsAnInsertionMovesKeepTheirLook) {
    for (int at : {0, 1, 2, 4}) {
        SCOPED_TRACE(at);
        auto t = styledTable(4, 2);
        std::vector<std::string> before; // with all edges, and without the bottom one
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 2; ++c) {
                before.push_back(lookOf(*t, r, c));
                before.push_back(lookOf(*t, r, c, 15 & ~AcDb::kBottomMask));
            }
        ASSERT_EQ(t->insertRows(at, 1.0, 2), Acad::eOk);
        for (int r = 0; r < 4; ++r)
            for (int c = 0; c < 2; ++c) {
                // Rows appended below: the table's bottom line stays at the
                // table's bottom; the old last row's bottom is the new row's top.
                const int edges = r == 3 && at == 4 ? 15 & ~AcDb::kBottomMask : 15;
                EXPECT_EQ(lookOf(*t, r < at ? r : r + 2, c, edges),
                          before[(r * 2 + c) * 2 + (edges != 15)])
                    << r << "," << c;
            }
    }
    // The old title row, pushed down, does not take the header's look.
    auto t = styledTable(3, 1);
    ASSERT_EQ(t->insertRows(0, 1.0, 1), Acad::eOk);
    EXPECT_EQ(t->textColor(1, 0), AcCmColor::fromIndex(1));
    EXPECT_EQ(t->rowType(1), AcDb::kHeaderRow);
}

TEST(TableRows, RowsADeletionMovesKeepTheirLookButAtTheSeam) {
    for (int at : {0, 1, 2}) {
        SCOPED_TRACE(at);
        auto t = styledTable(5, 2);
        std::vector<std::string> before;
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 2; ++c)
                before.push_back(lookOf(*t, r, c, AcDb::kLeftMask | AcDb::kRightMask));
        ASSERT_EQ(t->deleteRows(at, 2), Acad::eOk);
        for (int r = 0; r < 5; ++r) {
            if (r >= at && r < at + 2)
                continue;
            for (int c = 0; c < 2; ++c)
                EXPECT_EQ(lookOf(*t, r < at ? r : r - 2, c, AcDb::kLeftMask | AcDb::kRightMask),
                          before[r * 2 + c])
                    << r << "," << c;
        }
    }
}

TEST(TableColumns, AnInsertedFirstColumnLeavesTheOldFirstColumnsLeftLine) {
    auto t = styledTable(3, 2);
    const std::string before = lookOf(*t, 2, 0);
    ASSERT_EQ(t->insertColumns(0, 1.0, 1), Acad::eOk);
    EXPECT_EQ(lookOf(*t, 2, 1), before);
}

TEST(TableStructure, WhereADeletionJoinsTwoEdgesTheOverriddenAndThenTheUpperOneWins) {
    const AcCmColor red = AcCmColor::fromIndex(1), blue = AcCmColor::fromIndex(5);
    // Rows: the line above row 1 and the line below row 2 meet.
    {
        auto t = makeTable(4, 3);
        t->setEdgeColor(1, 0, AcDb::kTopMask, red);
        t->setEdgeColor(2, 0, AcDb::kBottomMask, blue);
        t->setEdgeColor(2, 1, AcDb::kBottomMask, blue);
        t->setEdgeVisibility(1, 2, AcDb::kTopMask, AcDb::kInvisible);
        t->setEdgeLineWeight(2, 2, AcDb::kBottomMask, AcDb::kLnWt070);
        ASSERT_EQ(t->deleteRows(1, 2), Acad::eOk);
        EXPECT_EQ(t->edgeColor(1, 0, AcDb::kTopMask), red);  // both overridden: the upper
        EXPECT_EQ(t->edgeColor(1, 1, AcDb::kTopMask), blue); // only the lower overridden
        // Property by property.
        EXPECT_EQ(t->edgeVisibility(1, 2, AcDb::kTopMask), AcDb::kInvisible);
        EXPECT_EQ(t->edgeLineWeight(1, 2, AcDb::kTopMask), AcDb::kLnWt070);
        EXPECT_FALSE(t->isEdgePropertyOverridden(1, 2, AcDb::kTopMask, AcDbTable::kEdgeColor));
    }
    // Columns: the left one of two overridden lines wins; the right outline
    // of the table is kept when the last columns go.
    {
        auto t = makeTable(2, 4);
        t->setEdgeColor(0, 1, AcDb::kLeftMask, red);
        t->setEdgeColor(0, 1, AcDb::kRightMask, blue);
        t->setEdgeColor(1, 1, AcDb::kRightMask, blue);
        t->setEdgeColor(0, 3, AcDb::kRightMask, blue);
        ASSERT_EQ(t->deleteColumns(1, 1), Acad::eOk);
        EXPECT_EQ(t->edgeColor(0, 1, AcDb::kLeftMask), red);
        EXPECT_EQ(t->edgeColor(1, 1, AcDb::kLeftMask), blue);
        ASSERT_EQ(t->deleteColumns(2, 1), Acad::eOk);
        EXPECT_EQ(t->edgeColor(0, 1, AcDb::kRightMask), blue);
    }
}

TEST(TableStructure, ARegionLosingItsFirstRowOrColumnKeepsWhatItShows) {
    auto t = makeTable(4, 4);
    label(*t);
    ASSERT_EQ(t->mergeCells(1, 3, 1, 3), Acad::eOk);
    t->setTextString(1, 1, "merged");
    t->setFillNone(1, 1, false);
    t->setFillColor(1, 1, AcCmColor::fromIndex(5));
    ASSERT_EQ(t->deleteColumns(1, 1), Acad::eOk);
    EXPECT_EQ(t->mergedRanges(), (std::vector<Range>{{1, 3, 1, 2}}));
    EXPECT_EQ(t->textString(1, 1), "merged");
    EXPECT_FALSE(t->isFillNone(1, 1));
    ASSERT_EQ(t->deleteRows(0, 2), Acad::eOk);
    EXPECT_EQ(t->mergedRanges(), (std::vector<Range>{{0, 1, 1, 2}}));
    EXPECT_EQ(t->textString(0, 1), "merged");
    EXPECT_EQ(t->fillColor(0, 1), AcCmColor::fromIndex(5));
    // Cells outside regions go with their rows and columns as before.
    EXPECT_EQ(t->textString(0, 0), "2,0");
}
