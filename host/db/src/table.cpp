// The table entity: a TableGrid plus the style's formats it inherits, placed
// in the world, with lazily built graphics.

#include "acdb/table.h"

#include "acdb/database.h"
#include "table_graphics.h"
#include "table_grid.h"
#include "table_layout.h"
#include "write_access.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <unordered_set>

ACDB_DEFINE_MEMBERS(AcDbTable, AcDbBlockReference, "ACAD_TABLE")

using acdbtable::CellRange;
using acdbtable::GridSegment;
using acdbtable::TableCell;
using acdbtable::TableFrame;
using acdbtable::TableGrid;
using acdbtable::TableLayout;

namespace {

constexpr double kDefaultRowHeight = 0.75;
constexpr double kDefaultColumnWidth = 2.5;

bool isPositive(double v) {
    return std::isfinite(v) && v > 0;
}
bool isValidMargin(double v) {
    return std::isfinite(v) && v >= 0;
}
bool isValidAlignment(int a) {
    return a >= AcDb::kTopLeft && a <= AcDb::kBottomRight;
}
bool isValidVisibility(int v) {
    return v == AcDb::kVisible || v == AcDb::kInvisible;
}
bool isValidEdgeMask(int mask) {
    return mask > 0 && mask <= 15;
}

// One grid line segment named by a cell and one of its edges.
struct EdgeRef {
    bool horizontal;
    int a; // horizontal: line (0 = top of the table); vertical: row
    int b; // horizontal: column; vertical: line (0 = left of the table)
};

} // namespace

struct AcDbTableData {
    TableGrid grid{1, 1, kDefaultRowHeight, kDefaultColumnWidth};
    std::unique_ptr<AcDbTableStyle> style = std::make_unique<AcDbTableStyle>();
    AcDbObjectId styleId;
    std::optional<double> horzMargin; // set: overrides the style's
    std::optional<double> vertMargin;
    AcGeVector3d direction{1, 0, 0};

    // Runtime state: never saved or copied.
    std::optional<CellRange> selection;
    mutable std::optional<TableLayout> layout;
    mutable std::vector<double> drawnHeights; // with the layout
    // Blocks the layout or the picture measured: their database's block
    // revision at the time, to see when a block was redefined since.
    mutable const AcDbDatabase* blockDatabase = nullptr;
    mutable std::uint64_t layoutBlockRevision = 0;
    mutable bool layoutUsesBlocks = false;
    // What a built picture depends on besides the grid: the base class's
    // position and normal, the database (its "Standard" text style), setters
    // outside this class may change them; and blocks shown in cells, which
    // may be redefined since.
    struct PictureKey {
        bool valid = false;
        bool useBlocks = false;
        std::uint64_t blockRevision = 0;
        AcGePoint3d origin;
        AcGeVector3d normal;
        const AcDbDatabase* database = nullptr;
    };
    mutable PictureKey graphicsKey;
    mutable AcDbEntityList graphics;
    mutable PictureKey drawingKey;
    mutable AcDbTableDrawing drawing;
    // Only edges changed since the drawing was built: its fills and contents
    // still hold, the grid-line runs are built again.
    mutable bool drawingGridStale = false;

    bool isCurrent(const PictureKey& key, const AcDbTable& table) const;
    PictureKey keyFor(const AcDbTable& table) const;

    AcDbTableData() = default;
    AcDbTableData(const AcDbTableData& o)
        : grid(o.grid), style(std::make_unique<AcDbTableStyle>(*o.style)), styleId(o.styleId),
          horzMargin(o.horzMargin), vertMargin(o.vertMargin), direction(o.direction) {}

    // Something that moves grid lines or contents changed.
    void changed() {
        layout.reset();
        dropPictures();
    }
    void dropPictures() {
        graphicsKey.valid = false;
        drawingKey.valid = false;
    }
    void dropGridLines() {
        graphicsKey.valid = false;
        drawingGridStale = true;
    }
    // A structural edit may leave the selection outside the grid.
    void dropStaleSelection() {
        if (selection && !grid.isValidRange(*selection))
            selection.reset();
    }

    const TableCell* cell(int row, int col) const {
        return grid.isValidCell(row, col) ? &grid.cell(row, col) : nullptr;
    }
    // For writing only: it unshares the cells from undo's copy of the table.
    TableCell* editCell(int row, int col) {
        return grid.isValidCell(row, col) ? &grid.editCell(row, col) : nullptr;
    }

    // Title row first (unless the style suppresses it), then the header row,
    // then data rows.
    AcDb::RowType rowType(int row) const {
        if (row < 0 || row >= grid.rows())
            return AcDb::kUnknownRow;
        if (!style->isTitleSuppressed()) {
            if (row == 0)
                return AcDb::kTitleRow;
            --row;
        }
        if (!style->isHeaderSuppressed() && row == 0)
            return AcDb::kHeaderRow;
        return AcDb::kDataRow;
    }
    const AcDbCellFormat& format(int row) const { return style->cellFormat(rowType(row)); }

    double horzCellMargin() const { return horzMargin ? *horzMargin : style->horzCellMargin(); }
    double vertCellMargin() const { return vertMargin ? *vertMargin : style->vertCellMargin(); }

    double textHeight(int row, int col) const {
        const TableCell& c = grid.cell(row, col);
        return c.look->isOverridden(AcDbTable::kCellTextHeight) ? c.look->textHeight
                                                                : format(row).textHeight;
    }
    // The height a block at a fixed scale takes in its cell, turned by the
    // cell's rotation; 0 when the block cannot be read now.
    double blockHeight(const TableCell& c) const {
        const AcDbObjectId id = c.block->block;
        if (id.isNull())
            return 0;
        noteBlockDatabase(id.database());
        acdbtable::BlockContentBox box = acdbtable::blockContentBox(id);
        if (!box.readable)
            return 0;
        const AcGePoint3d lo = box.extents.minPoint(), hi = box.extents.maxPoint();
        const double s = std::sin(c.block->rotation), co = std::cos(c.block->rotation);
        double vMin = HUGE_VAL, vMax = -HUGE_VAL;
        for (int corner = 0; corner < 4; ++corner) {
            const double x = corner & 1 ? hi.x : lo.x, y = corner & 2 ? hi.y : lo.y;
            const double v = x * s + y * co;
            vMin = std::min(vMin, v);
            vMax = std::max(vMax, v);
        }
        return (vMax - vMin) * c.block->scale;
    }
    void noteBlockDatabase(const AcDbDatabase* db) const {
        if (db && !blockDatabase)
            blockDatabase = db;
    }
    std::uint64_t blockRevision() const {
        return blockDatabase ? blockDatabase->blockContentRevision() : 0;
    }

    // What the row's content needs: its texts, and blocks at a fixed scale in
    // cells that span this row only, each with the two vertical margins.
    double minimumRowHeight(int row) const {
        const double margins = 2 * vertCellMargin();
        double content = 0;
        for (int col = 0; col < grid.cols(); ++col) {
            const TableCell& c = grid.cell(row, col);
            if (c.type == AcDb::kTextCell) {
                content = std::max(content, textHeight(row, col));
            } else if (c.type == AcDb::kBlockCell && !c.block->autoFit) {
                const CellRange* region = grid.regionAt(row, col);
                if (region && (region->minRow != region->maxRow || region->minCol != col))
                    continue;
                layoutUsesBlocks = true;
                content = std::max(content, blockHeight(c));
            }
        }
        return content + margins;
    }

    const TableLayout& currentLayout() const {
        // A block measured for a row height may have been redefined since.
        if (layout && layoutUsesBlocks && layoutBlockRevision != blockRevision())
            layout.reset();
        if (!layout) {
            layoutUsesBlocks = false;
            TableLayout l;
            l.colX.resize(grid.cols() + 1);
            for (int c = 0; c < grid.cols(); ++c)
                l.colX[c + 1] = l.colX[c] + grid.columnWidth(c);
            l.rowY.resize(grid.rows() + 1);
            drawnHeights.resize(grid.rows());
            for (int r = 0; r < grid.rows(); ++r)
                drawnHeights[r] = std::max(grid.rowHeight(r), minimumRowHeight(r));
            // A block at a fixed scale in a region over several rows: the
            // region's last row grows until the block fits.
            for (const CellRange& region : grid.regions()) {
                const TableCell& c = grid.cell(region.minRow, region.minCol);
                if (region.minRow == region.maxRow || c.type != AcDb::kBlockCell ||
                    c.block->autoFit)
                    continue;
                layoutUsesBlocks = true;
                double above = 0;
                for (int r = region.minRow; r < region.maxRow; ++r)
                    above += drawnHeights[r];
                const double need = blockHeight(c) + 2 * vertCellMargin() - above;
                drawnHeights[region.maxRow] = std::max(drawnHeights[region.maxRow], need);
            }
            for (int r = 0; r < grid.rows(); ++r)
                l.rowY[r + 1] = l.rowY[r] + drawnHeights[r];
            layoutBlockRevision = blockRevision();
            layout = std::move(l);
        }
        return *layout;
    }
    double rowHeight(int row) const {
        currentLayout();
        return drawnHeights[row];
    }

    // The segment a cell's edge names in the grid, ignoring merged regions.
    static bool edgeRef(const TableGrid& g, int row, int col, int edge, EdgeRef& out) {
        if (!g.isValidCell(row, col))
            return false;
        switch (edge) {
        case AcDb::kTopMask:
            out = {true, row, col};
            return true;
        case AcDb::kBottomMask:
            out = {true, row + 1, col};
            return true;
        case AcDb::kLeftMask:
            out = {false, row, col};
            return true;
        case AcDb::kRightMask:
            out = {false, row, col + 1};
            return true;
        default:
            return false;
        }
    }
    // The cell's own range, or the merged region holding it: its edges are
    // the region's outline.
    CellRange outlineOf(int row, int col) const {
        if (const CellRange* region = grid.regionAt(row, col))
            return *region;
        return {row, row, col, col};
    }
    // The first segment of the cell's (or its region's) side: the one a
    // getter answers for.
    bool outlineRef(int row, int col, int edge, EdgeRef& out) const {
        if (!grid.isValidCell(row, col))
            return false;
        const CellRange r = outlineOf(row, col);
        const int anchorRow = edge == AcDb::kBottomMask ? r.maxRow : r.minRow;
        const int anchorCol = edge == AcDb::kRightMask ? r.maxCol : r.minCol;
        return edgeRef(grid, anchorRow, anchorCol, edge, out);
    }
    const GridSegment& segment(const EdgeRef& e) const {
        return e.horizontal ? grid.horizontal(e.a, e.b) : grid.vertical(e.a, e.b);
    }

    // The style's grid format for a segment. The outer lines take the top,
    // bottom, left and right formats; a horizontal line between two rows of
    // one row type takes that type's inside format, a line where the row type
    // changes takes the top format of the row below it.
    const AcDbGridFormat& inheritedEdge(const EdgeRef& e) const {
        auto gridOf = [](const AcDbCellFormat& f, AcDb::GridLineType t) -> const AcDbGridFormat& {
            return f.grid[acdbGridIndex(t)];
        };
        if (e.horizontal) {
            const int line = e.a;
            if (line == 0)
                return gridOf(format(0), AcDb::kHorzTop);
            if (line == grid.rows())
                return gridOf(format(grid.rows() - 1), AcDb::kHorzBottom);
            AcDb::RowType below = rowType(line);
            AcDb::RowType above = rowType(line - 1);
            return gridOf(style->cellFormat(below),
                          below == above ? AcDb::kHorzInside : AcDb::kHorzTop);
        }
        const int line = e.b;
        AcDb::GridLineType t = line == 0             ? AcDb::kVertLeft
                               : line == grid.cols() ? AcDb::kVertRight
                                                     : AcDb::kVertInside;
        return gridOf(format(e.a), t);
    }

    // A segment as stored, with the style's values where it has none of its own.
    void resolveEdge(const EdgeRef& e, AcDbTable::GridEdge& out) const {
        const GridSegment& s = segment(e);
        out.visibility = static_cast<AcDb::Visibility>(s.visibility);
        out.color = s.color;
        out.lineWeight = static_cast<AcDb::LineWeight>(s.lineWeight);
        out.overridden = s.overridden;
        constexpr unsigned kAll = (1u << AcDbTable::kEdgeVisibility) |
                                  (1u << AcDbTable::kEdgeColor) |
                                  (1u << AcDbTable::kEdgeLineWeight);
        if ((s.overridden & kAll) == kAll)
            return; // a styled edge: the table style is not asked
        const AcDbGridFormat& inherited = inheritedEdge(e);
        if (!s.isOverridden(AcDbTable::kEdgeVisibility))
            out.visibility = inherited.visibility;
        if (!s.isOverridden(AcDbTable::kEdgeColor))
            out.color = inherited.color;
        if (!s.isOverridden(AcDbTable::kEdgeLineWeight))
            out.lineWeight = inherited.lineWeight;
    }

    // Applies fn to every segment the mask names on the cell; for a cell of
    // a merged region, to every segment of that side of the region's outline.
    template <class Fn> Acad::ErrorStatus writeEdges(int row, int col, int mask, Fn fn) {
        if (!grid.isValidCell(row, col) || !isValidEdgeMask(mask))
            return Acad::eInvalidInput;
        const CellRange r = outlineOf(row, col);
        for (int c = r.minCol; c <= r.maxCol; ++c) {
            if (mask & AcDb::kTopMask)
                fn(grid.horizontal(r.minRow, c));
            if (mask & AcDb::kBottomMask)
                fn(grid.horizontal(r.maxRow + 1, c));
        }
        for (int row2 = r.minRow; row2 <= r.maxRow; ++row2) {
            if (mask & AcDb::kRightMask)
                fn(grid.vertical(row2, r.maxCol + 1));
            if (mask & AcDb::kLeftMask)
                fn(grid.vertical(row2, r.minCol));
        }
        dropGridLines();
        return Acad::eOk;
    }

    // What each row type and each grid segment inherits now: a structural
    // edit may move untouched rows and lines to places that inherit
    // something else (the old title row pushed down would take the header's
    // look), and keepInheritedLook gives them back what they showed.
    struct InheritedLook {
        std::vector<AcDb::RowType> rowTypes;
        std::vector<AcDbGridFormat> horz; // (rows + 1) * cols
        std::vector<AcDbGridFormat> vert; // rows * (cols + 1)
        int cols = 0;
    };
    InheritedLook captureInherited() const {
        InheritedLook look;
        const int rows = grid.rows(), cols = grid.cols();
        look.cols = cols;
        for (int r = 0; r < rows; ++r)
            look.rowTypes.push_back(rowType(r));
        for (int line = 0; line <= rows; ++line)
            for (int c = 0; c < cols; ++c)
                look.horz.push_back(inheritedEdge({true, line, c}));
        for (int r = 0; r < rows; ++r)
            for (int line = 0; line <= cols; ++line)
                look.vert.push_back(inheritedEdge({false, r, line}));
        return look;
    }

    // Turns an inherited value that differs at the new place into the cell's
    // or segment's own, for every cell and segment the edit kept.
    void keepInheritedLook(const InheritedLook& before, const TableGrid::AxisEdit& rows,
                           const TableGrid::AxisEdit& cols) {
        const int oldRows = static_cast<int>(before.rowTypes.size()), oldCols = before.cols;
        for (int r = 0; r < oldRows; ++r) {
            const int nr = rows.index(r);
            if (nr < 0 || rowType(nr) == before.rowTypes[r])
                continue;
            const AcDbCellFormat& was = style->cellFormat(before.rowTypes[r]);
            const AcDbCellFormat& now = format(nr);
            for (int c = 0; c < oldCols; ++c) {
                const int nc = cols.index(c);
                if (nc >= 0)
                    keepCellLook(grid.editCell(nr, nc).look, was, now);
            }
        }
        auto keepSegment = [](GridSegment& seg, const AcDbGridFormat& was,
                              const AcDbGridFormat& now) {
            if (!seg.isOverridden(AcDbTable::kEdgeVisibility) && was.visibility != now.visibility) {
                seg.visibility = was.visibility;
                seg.markOverridden(AcDbTable::kEdgeVisibility);
            }
            if (!seg.isOverridden(AcDbTable::kEdgeColor) && !(was.color == now.color)) {
                seg.color = was.color;
                seg.markOverridden(AcDbTable::kEdgeColor);
            }
            if (!seg.isOverridden(AcDbTable::kEdgeLineWeight) && was.lineWeight != now.lineWeight) {
                seg.lineWeight = was.lineWeight;
                seg.markOverridden(AcDbTable::kEdgeLineWeight);
            }
        };
        // Where a deletion joined two lines, the edit decided (seams).
        for (int line = 0; line <= oldRows; ++line) {
            const int nl = rows.line(line);
            if (nl < 0 || nl == rows.seam())
                continue;
            for (int c = 0; c < oldCols; ++c) {
                const int nc = cols.index(c);
                if (nc < 0)
                    continue;
                keepSegment(grid.horizontal(nl, nc),
                            before.horz[static_cast<std::size_t>(line) * oldCols + c],
                            inheritedEdge({true, nl, nc}));
            }
        }
        for (int r = 0; r < oldRows; ++r) {
            const int nr = rows.index(r);
            if (nr < 0)
                continue;
            for (int line = 0; line <= oldCols; ++line) {
                const int nl = cols.line(line);
                if (nl < 0 || nl == cols.seam())
                    continue;
                keepSegment(grid.vertical(nr, nl),
                            before.vert[static_cast<std::size_t>(r) * (oldCols + 1) + line],
                            inheritedEdge({false, nr, nl}));
            }
        }
    }
    static void keepCellLook(acdbtable::OutOfLine<acdbtable::CellLook>& kept,
                             const AcDbCellFormat& was, const AcDbCellFormat& now) {
        // Only a cell that needs an override gets a look of its own.
        auto keep = [&](int property, bool differs, auto assign) {
            if (!kept->isOverridden(property) && differs) {
                acdbtable::CellLook& look = kept.edit();
                assign(look);
                look.markOverridden(property);
            }
        };
        keep(AcDbTable::kCellTextStyle, was.textStyle != now.textStyle,
             [&](acdbtable::CellLook& look) { look.textStyle = was.textStyle; });
        keep(AcDbTable::kCellTextHeight, was.textHeight != now.textHeight,
             [&](acdbtable::CellLook& look) { look.textHeight = was.textHeight; });
        keep(AcDbTable::kCellAlignment, was.alignment != now.alignment,
             [&](acdbtable::CellLook& look) { look.alignment = was.alignment; });
        keep(AcDbTable::kCellTextColor, !(was.textColor == now.textColor),
             [&](acdbtable::CellLook& look) { look.textColor = was.textColor; });
        keep(AcDbTable::kCellFillColor, !(was.fillColor == now.fillColor),
             [&](acdbtable::CellLook& look) { look.fillColor = was.fillColor; });
        keep(AcDbTable::kCellFillNone, was.fillNone != now.fillNone,
             [&](acdbtable::CellLook& look) { look.fillNone = was.fillNone; });
    }

    // Scales every length the table holds (uniform scaling).
    void scaleLengths(double s) {
        for (int r = 0; r < grid.rows(); ++r)
            grid.setRowHeight(r, grid.rowHeight(r) * s);
        for (int c = 0; c < grid.cols(); ++c)
            grid.setColumnWidth(c, grid.columnWidth(c) * s);
        for (int r = 0; r < grid.rows(); ++r) {
            for (int c = 0; c < grid.cols(); ++c) {
                TableCell& cell = grid.editCell(r, c);
                if (cell.look.isSet())
                    cell.look.edit().textHeight *= s;
                if (cell.block.isSet())
                    cell.block.edit().scale *= s;
            }
        }
        if (horzMargin)
            *horzMargin *= s;
        if (vertMargin)
            *vertMargin *= s;
        // The snapshot is this table's copy: scaling it keeps inherited sizes
        // in proportion until another style is set.
        for (AcDb::RowType t : {AcDb::kTitleRow, AcDb::kHeaderRow, AcDb::kDataRow})
            style->setTextHeight(style->cellFormat(t).textHeight * s, t);
        style->setHorzCellMargin(style->horzCellMargin() * s);
        style->setVertCellMargin(style->vertCellMargin() * s);
    }
};

AcDbTable::AcDbTable() : m_data(std::make_unique<AcDbTableData>()) {}

AcDbTable::AcDbTable(const AcDbTable& other)
    : AcDbBlockReference(other), m_data(std::make_unique<AcDbTableData>(*other.m_data)) {}

AcDbTable::~AcDbTable() = default;

// ---------------------------------------------------------------- size

int AcDbTable::rowCount() const {
    return m_data->grid.rows();
}
int AcDbTable::columnCount() const {
    return m_data->grid.cols();
}

Acad::ErrorStatus AcDbTable::setNumRows(int rows) {
    return setSize(rows, columnCount());
}
Acad::ErrorStatus AcDbTable::setNumColumns(int cols) {
    return setSize(rowCount(), cols);
}

Acad::ErrorStatus AcDbTable::setSize(int rows, int cols) {
    ACDB_ASSERT_WRITE();
    if (rows < 1 || cols < 1 || rows > TableGrid::kMaxRows || cols > TableGrid::kMaxColumns ||
        static_cast<long long>(rows) * cols > TableGrid::kMaxCells)
        return Acad::eInvalidInput;
    TableGrid& g = m_data->grid;
    // Shrink before growing so that no step holds more cells than the larger
    // of the old and new sizes.
    if (rows < g.rows())
        g.deleteRows(rows, g.rows() - rows);
    if (cols < g.cols())
        g.deleteColumns(cols, g.cols() - cols);
    if (rows > g.rows())
        g.insertRows(g.rows(), rows - g.rows(), g.rowHeight(g.rows() - 1));
    if (cols > g.cols())
        g.insertColumns(g.cols(), cols - g.cols(), g.columnWidth(g.cols() - 1));
    m_data->dropStaleSelection();
    m_data->changed();
    return Acad::eOk;
}

double AcDbTable::columnWidth(int col) const {
    const TableGrid& g = m_data->grid;
    return col >= 0 && col < g.cols() ? g.columnWidth(col) : 0.0;
}

Acad::ErrorStatus AcDbTable::setColumnWidth(int col, double width) {
    ACDB_ASSERT_WRITE();
    if (col < 0 || col >= columnCount() || !isPositive(width))
        return Acad::eInvalidInput;
    m_data->grid.setColumnWidth(col, width);
    m_data->changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setColumnWidth(double width) {
    ACDB_ASSERT_WRITE();
    if (!isPositive(width))
        return Acad::eInvalidInput;
    for (int c = 0; c < columnCount(); ++c)
        m_data->grid.setColumnWidth(c, width);
    m_data->changed();
    return Acad::eOk;
}

double AcDbTable::rowHeight(int row) const {
    if (row < 0 || row >= rowCount())
        return 0.0;
    return m_data->rowHeight(row);
}

Acad::ErrorStatus AcDbTable::setRowHeight(int row, double height) {
    ACDB_ASSERT_WRITE();
    if (row < 0 || row >= rowCount() || !isPositive(height))
        return Acad::eInvalidInput;
    m_data->grid.setRowHeight(row, height);
    m_data->changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setRowHeight(double height) {
    ACDB_ASSERT_WRITE();
    if (!isPositive(height))
        return Acad::eInvalidInput;
    for (int r = 0; r < rowCount(); ++r)
        m_data->grid.setRowHeight(r, height);
    m_data->changed();
    return Acad::eOk;
}

double AcDbTable::storedRowHeight(int row) const {
    if (row < 0 || row >= rowCount())
        return 0.0;
    return m_data->grid.rowHeight(row);
}

double AcDbTable::minimumRowHeight(int row) const {
    if (row < 0 || row >= rowCount())
        return 0.0;
    return m_data->minimumRowHeight(row);
}

double AcDbTable::width() const {
    return m_data->currentLayout().width();
}
double AcDbTable::height() const {
    return m_data->currentLayout().height();
}

// Rows and columns the edit does not touch keep their look.
Acad::ErrorStatus AcDbTable::insertColumns(int col, double width, int count) {
    ACDB_ASSERT_WRITE();
    const auto before = m_data->captureInherited();
    Acad::ErrorStatus es = m_data->grid.insertColumns(col, count, width);
    if (es == Acad::eOk) {
        m_data->keepInheritedLook(before, TableGrid::AxisEdit::none(), {col, count, true});
        m_data->changed();
    }
    return es;
}

Acad::ErrorStatus AcDbTable::insertRows(int row, double height, int count) {
    ACDB_ASSERT_WRITE();
    const auto before = m_data->captureInherited();
    Acad::ErrorStatus es = m_data->grid.insertRows(row, count, height);
    if (es == Acad::eOk) {
        m_data->keepInheritedLook(before, {row, count, true}, TableGrid::AxisEdit::none());
        m_data->changed();
    }
    return es;
}

Acad::ErrorStatus AcDbTable::deleteColumns(int col, int count) {
    ACDB_ASSERT_WRITE();
    const auto before = m_data->captureInherited();
    Acad::ErrorStatus es = m_data->grid.deleteColumns(col, count);
    if (es == Acad::eOk) {
        m_data->keepInheritedLook(before, TableGrid::AxisEdit::none(), {col, count, false});
        m_data->dropStaleSelection();
        m_data->changed();
    }
    return es;
}

Acad::ErrorStatus AcDbTable::deleteRows(int row, int count) {
    ACDB_ASSERT_WRITE();
    const auto before = m_data->captureInherited();
    Acad::ErrorStatus es = m_data->grid.deleteRows(row, count);
    if (es == Acad::eOk) {
        m_data->keepInheritedLook(before, {row, count, false}, TableGrid::AxisEdit::none());
        m_data->dropStaleSelection();
        m_data->changed();
    }
    return es;
}

// ---------------------------------------------------------------- merging

Acad::ErrorStatus AcDbTable::mergeCells(int minRow, int maxRow, int minCol, int maxCol) {
    ACDB_ASSERT_WRITE();
    Acad::ErrorStatus es = m_data->grid.merge({minRow, maxRow, minCol, maxCol});
    if (es == Acad::eOk)
        m_data->changed();
    return es;
}

Acad::ErrorStatus AcDbTable::unmergeCells(int minRow, int maxRow, int minCol, int maxCol) {
    ACDB_ASSERT_WRITE();
    Acad::ErrorStatus es = m_data->grid.unmerge({minRow, maxRow, minCol, maxCol});
    if (es == Acad::eOk)
        m_data->changed();
    return es;
}

bool AcDbTable::isMergedCell(int row, int col, int* minRow, int* maxRow, int* minCol,
                             int* maxCol) const {
    const CellRange* r =
        m_data->grid.isValidCell(row, col) ? m_data->grid.regionAt(row, col) : nullptr;
    if (!r)
        return false;
    if (minRow)
        *minRow = r->minRow;
    if (maxRow)
        *maxRow = r->maxRow;
    if (minCol)
        *minCol = r->minCol;
    if (maxCol)
        *maxCol = r->maxCol;
    return true;
}

std::vector<AcDbTable::Range> AcDbTable::mergedRanges() const {
    std::vector<Range> out;
    for (const CellRange& r : m_data->grid.regions())
        out.push_back({r.minRow, r.maxRow, r.minCol, r.maxCol});
    return out;
}

// ---------------------------------------------------------------- content

AcDb::CellType AcDbTable::cellType(int row, int col) const {
    const TableCell* c = m_data->cell(row, col);
    return c ? static_cast<AcDb::CellType>(c->type) : AcDb::kUnknownCell;
}

Acad::ErrorStatus AcDbTable::setCellType(int row, int col, AcDb::CellType type) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c || (type != AcDb::kTextCell && type != AcDb::kBlockCell))
        return Acad::eInvalidInput;
    c->type = type;
    m_data->changed();
    return Acad::eOk;
}

std::string AcDbTable::textString(int row, int col) const {
    const TableCell* c = m_data->cell(row, col);
    return c ? c->text : std::string();
}

Acad::ErrorStatus AcDbTable::setTextString(int row, int col, const std::string& text) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c)
        return Acad::eInvalidInput;
    c->text = text;
    m_data->changed();
    return Acad::eOk;
}

AcDbObjectId AcDbTable::textStyle(int row, int col) const {
    const TableCell* c = m_data->cell(row, col);
    if (!c)
        return AcDbObjectId();
    return c->look->isOverridden(kCellTextStyle) ? c->look->textStyle
                                                 : m_data->format(row).textStyle;
}

Acad::ErrorStatus AcDbTable::setTextStyle(int row, int col, AcDbObjectId id) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c)
        return Acad::eInvalidInput;
    c->look.edit().textStyle = id;
    c->look.edit().markOverridden(kCellTextStyle);
    m_data->changed();
    return Acad::eOk;
}

double AcDbTable::textHeight(int row, int col) const {
    if (!m_data->grid.isValidCell(row, col))
        return m_data->style->cellFormat(AcDb::kDataRow).textHeight;
    return m_data->textHeight(row, col);
}

Acad::ErrorStatus AcDbTable::setTextHeight(int row, int col, double height) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c || !isPositive(height))
        return Acad::eInvalidInput;
    c->look.edit().textHeight = height;
    c->look.edit().markOverridden(kCellTextHeight);
    m_data->changed();
    return Acad::eOk;
}

AcCmColor AcDbTable::textColor(int row, int col) const {
    const TableCell* c = m_data->cell(row, col);
    if (!c)
        return m_data->style->cellFormat(AcDb::kDataRow).textColor;
    return c->look->isOverridden(kCellTextColor) ? c->look->textColor
                                                 : m_data->format(row).textColor;
}

Acad::ErrorStatus AcDbTable::setTextColor(int row, int col, const AcCmColor& color) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c)
        return Acad::eInvalidInput;
    c->look.edit().textColor = color;
    c->look.edit().markOverridden(kCellTextColor);
    m_data->dropPictures();
    return Acad::eOk;
}

AcDb::CellAlignment AcDbTable::cellAlignment(int row, int col) const {
    const TableCell* c = m_data->cell(row, col);
    if (!c)
        return m_data->style->cellFormat(AcDb::kDataRow).alignment;
    return c->look->isOverridden(kCellAlignment)
               ? static_cast<AcDb::CellAlignment>(c->look->alignment)
               : m_data->format(row).alignment;
}

Acad::ErrorStatus AcDbTable::setCellAlignment(int row, int col, AcDb::CellAlignment a) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c || !isValidAlignment(a))
        return Acad::eInvalidInput;
    c->look.edit().alignment = a;
    c->look.edit().markOverridden(kCellAlignment);
    m_data->dropPictures();
    return Acad::eOk;
}

bool AcDbTable::isFillNone(int row, int col) const {
    const TableCell* c = m_data->cell(row, col);
    if (!c)
        return true;
    return c->look->isOverridden(kCellFillNone) ? c->look->fillNone : m_data->format(row).fillNone;
}

Acad::ErrorStatus AcDbTable::setFillNone(int row, int col, bool none) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c)
        return Acad::eInvalidInput;
    c->look.edit().fillNone = none;
    c->look.edit().markOverridden(kCellFillNone);
    m_data->dropPictures();
    return Acad::eOk;
}

AcCmColor AcDbTable::fillColor(int row, int col) const {
    const TableCell* c = m_data->cell(row, col);
    if (!c)
        return m_data->style->cellFormat(AcDb::kDataRow).fillColor;
    return c->look->isOverridden(kCellFillColor) ? c->look->fillColor
                                                 : m_data->format(row).fillColor;
}

Acad::ErrorStatus AcDbTable::setFillColor(int row, int col, const AcCmColor& color) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c)
        return Acad::eInvalidInput;
    c->look.edit().fillColor = color;
    c->look.edit().markOverridden(kCellFillColor);
    m_data->dropPictures();
    return Acad::eOk;
}

// ---------------------------------------------------------------- block cells

AcDbObjectId AcDbTable::cellBlock(int row, int col) const {
    const TableCell* c = m_data->cell(row, col);
    return c ? c->block->block : AcDbObjectId();
}

Acad::ErrorStatus AcDbTable::setCellBlock(int row, int col, AcDbObjectId blockId, bool autoFit) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c || blockId.isNull())
        return Acad::eInvalidInput;
    // Attribute values name definitions of the previous block: they mean
    // nothing for another one.
    if (c->block->block != blockId)
        c->block.edit().attributes.clear();
    c->type = AcDb::kBlockCell;
    c->block.edit().block = blockId;
    c->block.edit().autoFit = autoFit;
    m_data->changed();
    return Acad::eOk;
}

bool AcDbTable::cellBlockAutoFit(int row, int col) const {
    const TableCell* c = m_data->cell(row, col);
    return c && c->block->autoFit;
}

Acad::ErrorStatus AcDbTable::setCellBlockAutoFit(int row, int col, bool autoFit) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c)
        return Acad::eInvalidInput;
    c->block.edit().autoFit = autoFit;
    m_data->changed(); // a block at a fixed scale sizes its row
    return Acad::eOk;
}

double AcDbTable::cellBlockScale(int row, int col) const {
    const TableCell* c = m_data->cell(row, col);
    return c ? c->block->scale : 1.0;
}

Acad::ErrorStatus AcDbTable::setCellBlockScale(int row, int col, double scale) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c || !isPositive(scale))
        return Acad::eInvalidInput;
    c->block.edit().scale = scale;
    m_data->changed(); // a block at a fixed scale sizes its row
    return Acad::eOk;
}

double AcDbTable::cellBlockRotation(int row, int col) const {
    const TableCell* c = m_data->cell(row, col);
    return c ? c->block->rotation : 0.0;
}

Acad::ErrorStatus AcDbTable::setCellBlockRotation(int row, int col, double rotation) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c || !std::isfinite(rotation))
        return Acad::eInvalidInput;
    c->block.edit().rotation = rotation;
    m_data->changed(); // a block at a fixed scale sizes its row
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::cellBlockAttributeValue(int row, int col, AcDbObjectId attDefId,
                                                     std::string& value) const {
    const TableCell* c = m_data->cell(row, col);
    if (!c || attDefId.isNull())
        return Acad::eInvalidInput;
    for (const auto& [id, text] : c->block->attributes) {
        if (id == attDefId) {
            value = text;
            return Acad::eOk;
        }
    }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcDbTable::setCellBlockAttributeValue(int row, int col, AcDbObjectId attDefId,
                                                        const std::string& value) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c || attDefId.isNull())
        return Acad::eInvalidInput;
    auto& attributes = c->block.edit().attributes;
    auto it = std::find_if(attributes.begin(), attributes.end(),
                           [&](const auto& a) { return a.first == attDefId; });
    if (it != attributes.end())
        it->second = value;
    else
        attributes.emplace_back(attDefId, value);
    m_data->dropPictures();
    return Acad::eOk;
}

std::vector<std::pair<AcDbObjectId, std::string>>
AcDbTable::cellBlockAttributeValues(int row, int col) const {
    const TableCell* c = m_data->cell(row, col);
    return c ? c->block->attributes : std::vector<std::pair<AcDbObjectId, std::string>>();
}

// ---------------------------------------------------------------- grid lines

AcDb::Visibility AcDbTable::edgeVisibility(int row, int col, AcDb::CellEdgeMask edge) const {
    EdgeRef e;
    if (!m_data->outlineRef(row, col, edge, e))
        return AcDb::kVisible;
    const GridSegment& s = m_data->segment(e);
    return s.isOverridden(kEdgeVisibility) ? static_cast<AcDb::Visibility>(s.visibility)
                                           : m_data->inheritedEdge(e).visibility;
}

Acad::ErrorStatus AcDbTable::setEdgeVisibility(int row, int col, int edgeMask, AcDb::Visibility v) {
    ACDB_ASSERT_WRITE();
    if (!isValidVisibility(v))
        return Acad::eInvalidInput;
    return m_data->writeEdges(row, col, edgeMask, [v](GridSegment& s) {
        s.visibility = v;
        s.markOverridden(kEdgeVisibility);
    });
}

AcCmColor AcDbTable::edgeColor(int row, int col, AcDb::CellEdgeMask edge) const {
    EdgeRef e;
    if (!m_data->outlineRef(row, col, edge, e))
        return AcCmColor::byBlock();
    const GridSegment& s = m_data->segment(e);
    return s.isOverridden(kEdgeColor) ? s.color : m_data->inheritedEdge(e).color;
}

Acad::ErrorStatus AcDbTable::setEdgeColor(int row, int col, int edgeMask, const AcCmColor& color) {
    ACDB_ASSERT_WRITE();
    return m_data->writeEdges(row, col, edgeMask, [&color](GridSegment& s) {
        s.color = color;
        s.markOverridden(kEdgeColor);
    });
}

AcDb::LineWeight AcDbTable::edgeLineWeight(int row, int col, AcDb::CellEdgeMask edge) const {
    EdgeRef e;
    if (!m_data->outlineRef(row, col, edge, e))
        return AcDb::kLnWtByBlock;
    const GridSegment& s = m_data->segment(e);
    return s.isOverridden(kEdgeLineWeight) ? static_cast<AcDb::LineWeight>(s.lineWeight)
                                           : m_data->inheritedEdge(e).lineWeight;
}

Acad::ErrorStatus AcDbTable::setEdgeLineWeight(int row, int col, int edgeMask,
                                               AcDb::LineWeight lw) {
    ACDB_ASSERT_WRITE();
    if (!acdbtable::isValidLineWeight(lw))
        return Acad::eInvalidInput;
    return m_data->writeEdges(row, col, edgeMask, [lw](GridSegment& s) {
        s.lineWeight = lw;
        s.markOverridden(kEdgeLineWeight);
    });
}

// ---------------------------------------------------------------- overrides

bool AcDbTable::isCellPropertyOverridden(int row, int col, CellProperty p) const {
    const TableCell* c = m_data->cell(row, col);
    return c && p >= 0 && p < kCellPropertyCount && c->look->isOverridden(p);
}

bool AcDbTable::isEdgePropertyOverridden(int row, int col, AcDb::CellEdgeMask edge,
                                         EdgeProperty p) const {
    EdgeRef e;
    if (p < kEdgeVisibility || p > kEdgeLineWeight || !m_data->outlineRef(row, col, edge, e))
        return false;
    return m_data->segment(e).isOverridden(p);
}

AcDbTable::GridEdge AcDbTable::gridEdge(int row, int col, AcDb::CellEdgeMask edge) const {
    // One result object on every path, so it is built in place (the picture asks
    // this once per grid segment).
    GridEdge out;
    EdgeRef e;
    if (!AcDbTableData::edgeRef(m_data->grid, row, col, edge, e)) {
        out.color = AcCmColor::byBlock();
        return out;
    }
    m_data->resolveEdge(e, out);
    return out;
}

void AcDbTable::horizontalGridLine(int line, std::vector<GridEdge>& out) const {
    const TableGrid& g = m_data->grid;
    out.resize(line >= 0 && line <= g.rows() ? static_cast<std::size_t>(g.cols()) : 0);
    for (std::size_t col = 0; col < out.size(); ++col)
        m_data->resolveEdge({true, line, static_cast<int>(col)}, out[col]);
}

void AcDbTable::verticalGridSegments(int row, std::vector<GridEdge>& out) const {
    const TableGrid& g = m_data->grid;
    out.resize(row >= 0 && row < g.rows() ? static_cast<std::size_t>(g.cols()) + 1 : 0);
    for (std::size_t line = 0; line < out.size(); ++line)
        m_data->resolveEdge({false, row, static_cast<int>(line)}, out[line]);
}

Acad::ErrorStatus AcDbTable::setGridEdge(int row, int col, AcDb::CellEdgeMask edge,
                                         const GridEdge& value) {
    ACDB_ASSERT_WRITE();
    EdgeRef e;
    if (!AcDbTableData::edgeRef(m_data->grid, row, col, edge, e) ||
        ((value.overridden & (1u << kEdgeVisibility)) && !isValidVisibility(value.visibility)) ||
        ((value.overridden & (1u << kEdgeLineWeight)) &&
         !acdbtable::isValidLineWeight(value.lineWeight)))
        return Acad::eInvalidInput;
    GridSegment& s =
        e.horizontal ? m_data->grid.horizontal(e.a, e.b) : m_data->grid.vertical(e.a, e.b);
    if (value.overridden & (1u << kEdgeVisibility)) {
        s.visibility = value.visibility;
        s.markOverridden(kEdgeVisibility);
    }
    if (value.overridden & (1u << kEdgeColor)) {
        s.color = value.color;
        s.markOverridden(kEdgeColor);
    }
    if (value.overridden & (1u << kEdgeLineWeight)) {
        s.lineWeight = value.lineWeight;
        s.markOverridden(kEdgeLineWeight);
    }
    m_data->dropGridLines();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::clearCellOverride(int row, int col, CellProperty p) {
    ACDB_ASSERT_WRITE();
    TableCell* c = m_data->editCell(row, col);
    if (!c || p < 0 || p >= kCellPropertyCount)
        return Acad::eInvalidInput;
    if (c->look.isSet())
        c->look.edit().clearOverride(p);
    m_data->changed();
    return Acad::eOk;
}

// ---------------------------------------------------------------- table-wide

double AcDbTable::horizontalCellMargin() const {
    return m_data->horzCellMargin();
}

Acad::ErrorStatus AcDbTable::setHorizontalCellMargin(double m) {
    ACDB_ASSERT_WRITE();
    if (!isValidMargin(m))
        return Acad::eInvalidInput;
    m_data->horzMargin = m;
    m_data->changed();
    return Acad::eOk;
}

double AcDbTable::verticalCellMargin() const {
    return m_data->vertCellMargin();
}

Acad::ErrorStatus AcDbTable::setVerticalCellMargin(double m) {
    ACDB_ASSERT_WRITE();
    if (!isValidMargin(m))
        return Acad::eInvalidInput;
    m_data->vertMargin = m;
    m_data->changed();
    return Acad::eOk;
}

bool AcDbTable::isMarginOverridden() const {
    return m_data->horzMargin.has_value() || m_data->vertMargin.has_value();
}
bool AcDbTable::isHorizontalMarginOverridden() const {
    return m_data->horzMargin.has_value();
}
bool AcDbTable::isVerticalMarginOverridden() const {
    return m_data->vertMargin.has_value();
}

AcDbObjectId AcDbTable::tableStyle() const {
    return m_data->styleId;
}

Acad::ErrorStatus AcDbTable::setTableStyle(AcDbObjectId styleId) {
    ACDB_ASSERT_WRITE();
    if (styleId.isNull())
        return Acad::eNullObjectId;
    AcDbObjectPointer<AcDbTableStyle> style(styleId, AcDb::kForRead);
    if (!style)
        return style.openStatus();
    m_data->style = std::make_unique<AcDbTableStyle>(*style.object());
    m_data->styleId = styleId;
    m_data->changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setTableStyleId(AcDbObjectId styleId) {
    ACDB_ASSERT_WRITE();
    m_data->styleId = styleId;
    return Acad::eOk;
}

const AcDbTableStyle& AcDbTable::styleSnapshot() const {
    return *m_data->style;
}

Acad::ErrorStatus AcDbTable::setStyleSnapshot(const AcDbTableStyle& style) {
    ACDB_ASSERT_WRITE();
    m_data->style = std::make_unique<AcDbTableStyle>(style);
    m_data->changed();
    return Acad::eOk;
}

AcDb::RowType AcDbTable::rowType(int row) const {
    return m_data->rowType(row);
}
bool AcDbTable::isTitleSuppressed() const {
    return m_data->style->isTitleSuppressed();
}
bool AcDbTable::isHeaderSuppressed() const {
    return m_data->style->isHeaderSuppressed();
}

AcGeVector3d AcDbTable::direction() const {
    return TableFrame::make(position(), normal(), m_data->direction).xAxis;
}

Acad::ErrorStatus AcDbTable::setDirection(const AcGeVector3d& horizontal) {
    ACDB_ASSERT_WRITE();
    AcGeVector3d n = normal().isZeroLength() ? AcGeVector3d::kZAxis : normal().normal();
    AcGeVector3d inPlane = horizontal - n * horizontal.dotProduct(n);
    if (!std::isfinite(inPlane.length()) || inPlane.length() <= 1e-12)
        return Acad::eInvalidInput;
    m_data->direction = inPlane.normal();
    m_data->dropPictures();
    return Acad::eOk;
}

// ---------------------------------------------------------------- cell selection

Acad::ErrorStatus AcDbTable::selectedCellRange(int& rowMin, int& rowMax, int& colMin,
                                               int& colMax) const {
    if (!m_data->selection)
        return Acad::eNotApplicable;
    rowMin = m_data->selection->minRow;
    rowMax = m_data->selection->maxRow;
    colMin = m_data->selection->minCol;
    colMax = m_data->selection->maxCol;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::setSubSelection(int rowMin, int rowMax, int colMin, int colMax) {
    ACDB_ASSERT_WRITE();
    CellRange r{rowMin, rowMax, colMin, colMax};
    if (!m_data->grid.isValidRange(r))
        return Acad::eInvalidInput;
    m_data->selection = r;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::clearSubSelection() {
    ACDB_ASSERT_WRITE();
    m_data->selection.reset();
    return Acad::eOk;
}

bool AcDbTable::hasSubSelection() const {
    return m_data->selection.has_value();
}

// ---------------------------------------------------------------- geometry

Acad::ErrorStatus AcDbTable::cellOutline(int row, int col, bool outerCell,
                                         AcGePoint3dArray& pts) const {
    pts.clear();
    if (!m_data->grid.isValidCell(row, col))
        return Acad::eInvalidInput;
    CellRange r{row, row, col, col};
    if (const CellRange* region = m_data->grid.regionAt(row, col))
        r = *region;
    const TableLayout& l = m_data->currentLayout();
    double left = l.colX[r.minCol], right = l.colX[r.maxCol + 1];
    double top = -l.rowY[r.minRow], bottom = -l.rowY[r.maxRow + 1];
    if (!outerCell) {
        // The area inside the margins, never turned inside out.
        double hm = std::min(horizontalCellMargin(), (right - left) / 2);
        double vm = std::min(verticalCellMargin(), (top - bottom) / 2);
        left += hm;
        right -= hm;
        top -= vm;
        bottom += vm;
    }
    TableFrame f = TableFrame::make(position(), normal(), m_data->direction);
    pts = {f.at(left, top), f.at(right, top), f.at(left, bottom), f.at(right, bottom)};
    return Acad::eOk;
}

bool AcDbTable::hitTestCell(const AcGePoint3d& pt, int& row, int& col) const {
    TableFrame f = TableFrame::make(position(), normal(), m_data->direction);
    const TableLayout& l = m_data->currentLayout();
    const double u = f.uOf(pt);
    const double down = -f.vOf(pt);
    if (!(u >= 0 && u <= l.width() && down >= 0 && down <= l.height()))
        return false;
    auto indexOf = [](const std::vector<double>& lines, double x) {
        auto it = std::upper_bound(lines.begin() + 1, lines.end() - 1, x);
        return static_cast<int>(it - lines.begin()) - 1;
    };
    int r = indexOf(l.rowY, down);
    int c = indexOf(l.colX, u);
    // A merged cell answers as its top-left cell.
    if (const CellRange* region = m_data->grid.regionAt(r, c)) {
        r = region->minRow;
        c = region->minCol;
    }
    row = r;
    col = c;
    return true;
}

bool AcDbTableData::isCurrent(const PictureKey& key, const AcDbTable& table) const {
    return key.valid && !(key.useBlocks && key.blockRevision != blockRevision()) &&
           key.origin.isEqualTo(table.position()) && key.normal.isEqualTo(table.normal()) &&
           key.database == table.database();
}

AcDbTableData::PictureKey AcDbTableData::keyFor(const AcDbTable& table) const {
    PictureKey key;
    for (int r = 0; r < grid.rows() && !key.useBlocks; ++r)
        for (int c = 0; c < grid.cols(); ++c)
            if (const TableCell& cell = grid.cell(r, c);
                cell.type == AcDb::kBlockCell && !cell.block->block.isNull()) {
                noteBlockDatabase(cell.block->block.database());
                key.useBlocks = true;
                break;
            }
    key.blockRevision = blockRevision();
    key.origin = table.position();
    key.normal = table.normal();
    key.database = table.database();
    return key;
}

const AcDbEntityList& AcDbTable::graphics() const {
    AcDbTableData& d = *m_data;
    if (!d.isCurrent(d.graphicsKey, *this)) {
        TableFrame f = TableFrame::make(position(), normal(), d.direction);
        const TableLayout& layout = d.currentLayout();
        d.graphicsKey = d.keyFor(*this);
        acdbtable::TableGraphics g = acdbtable::TableGraphicsBuilder(*this, f, layout).build();
        d.graphics = std::move(g.entities);
        d.graphicsKey.valid = g.complete;
    }
    return d.graphics;
}

void AcDbTable::forEachGraphic(const std::function<void(const AcDbEntity&)>& fn) const {
    AcDbTableData& d = *m_data;
    if (d.isCurrent(d.graphicsKey, *this)) {
        for (const auto& e : d.graphics)
            fn(*e);
        return;
    }
    TableFrame f = TableFrame::make(position(), normal(), d.direction);
    const TableLayout& layout = d.currentLayout();
    acdbtable::TableGraphicsBuilder(*this, f, layout).build([&fn](std::unique_ptr<AcDbEntity> e) {
        fn(*e);
    });
}

const AcDbTableDrawing& AcDbTable::drawing() const {
    AcDbTableData& d = *m_data;
    if (!d.isCurrent(d.drawingKey, *this)) {
        TableFrame f = TableFrame::make(position(), normal(), d.direction);
        const TableLayout& layout = d.currentLayout();
        d.drawingKey = d.keyFor(*this);
        d.drawing = AcDbTableDrawing(); // the old one goes before the new one is built
        bool complete = true;
        d.drawing = acdbtable::TableGraphicsBuilder(*this, f, layout).buildDrawing(complete);
        d.drawingKey.valid = complete;
        d.drawingGridStale = false;
    } else if (d.drawingGridStale) {
        TableFrame f = TableFrame::make(position(), normal(), d.direction);
        d.drawing.gridLines =
            acdbtable::TableGraphicsBuilder(*this, f, d.currentLayout()).buildGridLines();
        d.drawingGridStale = false;
    }
    return d.drawing;
}

void AcDbTable::invalidateGraphics() {
    m_data->dropPictures();
}

Acad::ErrorStatus AcDbTable::setPosition(const AcGePoint3d& p) {
    ACDB_ASSERT_WRITE();
    Acad::ErrorStatus es = AcDbBlockReference::setPosition(p);
    m_data->dropPictures();
    return es;
}

Acad::ErrorStatus AcDbTable::getGeomExtents(AcDbExtents& ext) const {
    TableFrame f = TableFrame::make(position(), normal(), m_data->direction);
    const TableLayout& l = m_data->currentLayout();
    ext = AcDbExtents(f.origin, f.origin);
    ext.addPoint(f.at(l.width(), 0));
    ext.addPoint(f.at(0, -l.height()));
    ext.addPoint(f.at(l.width(), -l.height()));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::transformBy(const AcGeMatrix3d& m) {
    ACDB_ASSERT_WRITE();
    // Only uniform scaling keeps a grid a grid.
    const AcGeVector3d mx = m.apply(AcGeVector3d::kXAxis);
    const AcGeVector3d my = m.apply(AcGeVector3d::kYAxis);
    const AcGeVector3d mz = m.apply(AcGeVector3d::kZAxis);
    const double sx = mx.length();
    const double tol = 1e-9 * std::max(1.0, sx);
    if (!std::isfinite(sx) || sx <= 0 || std::fabs(sx - my.length()) > tol ||
        std::fabs(sx - mz.length()) > tol || std::fabs(mx.dotProduct(my)) > tol * sx ||
        std::fabs(mx.dotProduct(mz)) > tol * sx || std::fabs(my.dotProduct(mz)) > tol * sx)
        return Acad::eInvalidInput;

    TableFrame f = TableFrame::make(position(), normal(), m_data->direction);
    AcGeVector3d dir = m.apply(f.xAxis).normal();
    AcGeVector3d n = m.apply(f.zAxis).normal();
    if (m.det() < 0)
        n = -n; // a mirror keeps rows running down and columns along the mirrored direction
    Acad::ErrorStatus es = AcDbBlockReference::setPosition(m.apply(position()));
    if (es == Acad::eOk)
        es = setNormal(n);
    if (es != Acad::eOk)
        return es;
    m_data->direction = dir;
    if (std::fabs(sx - 1.0) > 1e-12)
        m_data->scaleLengths(sx);
    m_data->changed();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTable::explode(AcDbEntityList& out) const {
    forEachGraphic([&out](const AcDbEntity& e) {
        out.emplace_back(static_cast<AcDbEntity*>(e.cloneObject()));
    });
    return Acad::eOk;
}

namespace {

// Passes each id on once.
struct UniqueSink : AcDbReferenceSink {
    explicit UniqueSink(AcDbReferenceSink& target) : target(target) {}
    void hardReference(AcDbObjectId id) override {
        if (!id.isNull() && seen.insert(id).second)
            target.hardReference(id);
    }
    AcDbReferenceSink& target;
    std::unordered_set<AcDbObjectId> seen;
};

} // namespace

void AcDbTable::collectReferences(AcDbReferenceSink& sink) const {
    UniqueSink unique(sink);
    AcDbBlockReference::collectReferences(unique);
    unique.hardReference(m_data->styleId);
    m_data->style->collectReferences(unique);
    const TableGrid& g = m_data->grid;
    for (int r = 0; r < g.rows(); ++r) {
        for (int c = 0; c < g.cols(); ++c) {
            const TableCell& cell = g.cell(r, c);
            if (cell.look->isOverridden(kCellTextStyle))
                unique.hardReference(cell.look->textStyle);
            unique.hardReference(cell.block->block);
        }
    }
}

void AcDbTable::remapReferences(const AcDbIdMapping& map) {
    AcDbBlockReference::remapReferences(map);
    auto remap = [&map](AcDbObjectId& id) {
        if (!id.isNull())
            id = map.translate(id);
    };
    remap(m_data->styleId);
    m_data->style->remapReferences(map);
    TableGrid& g = m_data->grid;
    for (int r = 0; r < g.rows(); ++r) {
        for (int c = 0; c < g.cols(); ++c) {
            TableCell& cell = g.editCell(r, c);
            if (cell.look.isSet())
                remap(cell.look.edit().textStyle);
            if (cell.block.isSet()) {
                remap(cell.block.edit().block);
                for (auto& attribute : cell.block.edit().attributes)
                    remap(attribute.first);
            }
        }
    }
    m_data->dropPictures();
}
