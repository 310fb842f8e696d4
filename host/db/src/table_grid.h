#pragma once
// The table's grid as plain data: row heights, column widths, cells, the grid
// line segments that neighbouring cells share, and merged regions. It knows
// nothing of styles or databases; the table entity resolves inherited values.

#include "acdb/color.h"
#include "acdb/objectid.h"
#include "acdb/status.h"
#include "acdb/table_limits.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace acdbtable {

// Bounds are zero-based and inclusive.
struct CellRange {
    int minRow = 0, maxRow = 0, minCol = 0, maxCol = 0;
    bool operator==(const CellRange&) const = default;
    bool contains(int row, int col) const {
        return row >= minRow && row <= maxRow && col >= minCol && col <= maxCol;
    }
    bool contains(const CellRange& o) const {
        return o.minRow >= minRow && o.maxRow <= maxRow && o.minCol >= minCol && o.maxCol <= maxCol;
    }
    bool intersects(const CellRange& o) const {
        return o.minRow <= maxRow && o.maxRow >= minRow && o.minCol <= maxCol && o.maxCol >= minCol;
    }
    bool isSingleCell() const { return minRow == maxRow && minCol == maxCol; }
};

// Cell properties a cell may set for itself instead of taking the style's.
// Bits follow AcDbTable::CellProperty.
struct CellLook {
    AcDbObjectId textStyle;
    double textHeight = 0.18;
    AcCmColor textColor;
    AcCmColor fillColor;
    int alignment = 2;
    std::uint8_t overridden = 0; // bit (1 << property) set: the value below rules
    bool fillNone = true;
    bool isOverridden(int property) const { return overridden & (1u << property); }
    void markOverridden(int property) { overridden |= static_cast<std::uint8_t>(1u << property); }
    void clearOverride(int property) { overridden &= static_cast<std::uint8_t>(~(1u << property)); }
};

// A value most cells leave at its defaults, kept out of the cell record so
// that big tables stay small: reads of an unset value see the defaults, only
// edit() allocates. Copies are deep.
template <class T> class OutOfLine {
public:
    OutOfLine() = default;
    OutOfLine(const OutOfLine& o) : m_p(o.m_p ? std::make_unique<T>(*o.m_p) : nullptr) {}
    OutOfLine& operator=(const OutOfLine& o) {
        if (this != &o)
            m_p = o.m_p ? std::make_unique<T>(*o.m_p) : nullptr;
        return *this;
    }
    OutOfLine(OutOfLine&&) noexcept = default;
    OutOfLine& operator=(OutOfLine&&) noexcept = default;

    bool isSet() const { return m_p != nullptr; }
    const T& get() const { return m_p ? *m_p : defaults(); }
    const T* operator->() const { return &get(); }
    T& edit() {
        if (!m_p)
            m_p = std::make_unique<T>();
        return *m_p;
    }

private:
    static const T& defaults() {
        static const T d;
        return d;
    }
    std::unique_ptr<T> m_p;
};

struct CellBlock {
    AcDbObjectId block;
    double scale = 1.0;
    double rotation = 0.0;
    bool autoFit = false;
    std::vector<std::pair<AcDbObjectId, std::string>> attributes; // in order first set
};

struct TableCell {
    std::string text;
    OutOfLine<CellLook> look;
    OutOfLine<CellBlock> block;
    std::uint8_t type = 1; // AcDb::CellType: 1 text, 2 block

    // An empty text cell with the same look: what a new row or column gets.
    TableCell formatOnly() const {
        TableCell c;
        c.look = look;
        return c;
    }
};

// One grid line segment, shared by the two cells on either side of it.
// Bits of `overridden` follow AcDbTable::EdgeProperty.
// Packed: a table has about two per cell.
struct GridSegment {
    AcCmColor color;
    std::int16_t lineWeight = -2; // AcDb::LineWeight
    std::uint8_t visibility = 0;  // AcDb::Visibility
    std::uint8_t overridden = 0;
    bool isOverridden(int property) const { return overridden & (1u << property); }
    void markOverridden(int property) { overridden |= static_cast<std::uint8_t>(1u << property); }
};

// The line weights drawing files allow, checked in constant time (edge
// setters run once per edge of every selected cell).
inline bool isValidLineWeight(int lw) {
    constexpr int kFirst = -3, kLast = 211;
    static constexpr auto allowed = [] {
        std::array<bool, kLast - kFirst + 1> a{};
        for (int v : {0,  5,  9,  13,  15,  18,  20,  25,  30,  35,  40, 50, 53, 60,
                      70, 80, 90, 100, 106, 120, 140, 158, 200, 211, -1, -2, -3})
            a[v - kFirst] = true;
        return a;
    }();
    return lw >= kFirst && lw <= kLast && allowed[lw - kFirst];
}

class TableGrid {
public:
    // Upper bounds that keep a garbled size from exhausting memory.
    static constexpr int kMaxRows = acdb::kTableMaxRows;
    static constexpr int kMaxColumns = acdb::kTableMaxColumns;
    static constexpr long long kMaxCells = acdb::kTableMaxCells;

    TableGrid(int rows, int cols, double rowHeight, double columnWidth);

    int rows() const { return m_rows; }
    int cols() const { return m_cols; }
    bool isValidCell(int row, int col) const {
        return row >= 0 && row < m_rows && col >= 0 && col < m_cols;
    }
    bool isValidRange(const CellRange& r) const {
        return r.minRow >= 0 && r.minRow <= r.maxRow && r.maxRow < m_rows && r.minCol >= 0 &&
               r.minCol <= r.maxCol && r.maxCol < m_cols;
    }

    // Where a cell, row or line index lands in a structural edit along one
    // axis: the insertion or deletion of `count` at `at`. -1: removed.
    struct AxisEdit {
        int at = 0, count = 0;
        bool insert = false;
        static AxisEdit none() { return {}; }
        int index(int i) const {
            if (count == 0)
                return i;
            if (insert)
                return i < at ? i : i + count;
            return i < at ? i : i < at + count ? -1 : i - count;
        }
        // Grid lines: line i is the top (left) line of row (column) i.
        int line(int l) const {
            if (count == 0)
                return l;
            if (insert)
                return l < at ? l : l + count;
            return l <= at ? l : l <= at + count ? -1 : l - count;
        }
        // The line where a deletion brought two lines together, or -1.
        int seam() const { return count > 0 && !insert ? at : -1; }
    };

    // Stored sizes (the table applies the minimum row height when drawing).
    double rowHeight(int row) const { return m_rowHeights[row]; }
    void setRowHeight(int row, double h) { m_rowHeights[row] = h; }
    double columnWidth(int col) const { return m_colWidths[col]; }
    void setColumnWidth(int col, double w) { m_colWidths[col] = w; }

    const TableCell& cell(int row, int col) const { return (*m_cells)[index(row, col)]; }
    // For writing: copies of a grid (undo keeps one per edit) share their
    // cells until one of them changes a cell, so edits of edges alone never
    // copy the cells.
    TableCell& editCell(int row, int col) { return cellsForWrite()[index(row, col)]; }

    // Horizontal line `line` (0 = top of the table, rows() = bottom) over column col.
    GridSegment& horizontal(int line, int col) { return m_horz[line * m_cols + col]; }
    const GridSegment& horizontal(int line, int col) const { return m_horz[line * m_cols + col]; }
    // Vertical line `line` (0 = left of the table, cols() = right) beside row row.
    GridSegment& vertical(int row, int line) { return m_vert[row * (m_cols + 1) + line]; }
    const GridSegment& vertical(int row, int line) const {
        return m_vert[row * (m_cols + 1) + line];
    }

    // ---- merged regions: rectangles of at least two cells that never overlap
    const std::vector<CellRange>& regions() const { return m_regions; }
    // The region holding the cell, or null.
    const CellRange* regionAt(int row, int col) const {
        return m_regions.empty() ? nullptr : findRegion(row, col); // most tables merge nothing
    }
    // Region index per cell (row-major), -1 outside every region.
    std::vector<int> regionMap() const;
    // A range partly overlapping a region is refused; regions wholly inside
    // the range are absorbed. A single cell is already one cell: eOk, no region.
    Acad::ErrorStatus merge(const CellRange& r);
    // Only a range equal to a region can be unmerged.
    Acad::ErrorStatus unmerge(const CellRange& r);
    // For readers of stored tables: adds the region when it is valid and
    // touches no other region.
    Acad::ErrorStatus addRegion(const CellRange& r) { return merge(r); }

    // ---- structure. Each inserted row copies the look of the row at the
    // index (the last row when appending): its cells' overrides, its vertical
    // segments and its top segments. Columns likewise with left segments.
    Acad::ErrorStatus insertRows(int at, int count, double height);
    Acad::ErrorStatus insertColumns(int at, int count, double width);
    // Removing every row or column is refused. The grid line before the
    // removed ones stays; it takes the overrides of the line after them that
    // it has not got itself (an overridden edge wins over an inherited one,
    // of two overridden ones the upper or left).
    Acad::ErrorStatus deleteRows(int at, int count);
    Acad::ErrorStatus deleteColumns(int at, int count);

private:
    std::size_t index(int row, int col) const {
        return static_cast<std::size_t>(row) * m_cols + col;
    }
    void sortRegions();
    const CellRange* findRegion(int row, int col) const;
    std::vector<TableCell>& cellsForWrite();

    int m_rows;
    int m_cols;
    std::vector<double> m_rowHeights;
    std::vector<double> m_colWidths;
    // rows * cols, row-major; shared by copies until written (cellsForWrite)
    std::shared_ptr<std::vector<TableCell>> m_cells;
    std::vector<GridSegment> m_horz; // (rows + 1) * cols
    std::vector<GridSegment> m_vert; // rows * (cols + 1)
    std::vector<CellRange> m_regions;
};

} // namespace acdbtable
