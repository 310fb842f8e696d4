#include "table_grid.h"

#include <algorithm>
#include <cmath>

namespace acdbtable {

namespace {

bool validSize(double v) {
    return std::isfinite(v) && v > 0;
}

// Erases `count` elements starting at `at` from every stride-long run of v.
template <class T> void eraseInRuns(std::vector<T>& v, std::size_t stride, int at, int count) {
    std::vector<T> out;
    out.reserve(v.size() / stride * (stride - count));
    for (std::size_t start = 0; start < v.size(); start += stride)
        for (std::size_t i = 0; i < stride; ++i)
            if (static_cast<int>(i) < at || static_cast<int>(i) >= at + count)
                out.push_back(std::move(v[start + i]));
    v = std::move(out);
}

// Inserts `count` copies of run element `source` before index `at` of every
// stride-long run of v; `make` turns the source element into the copy.
template <class T, class Make>
void insertInRuns(std::vector<T>& v, std::size_t stride, int at, int count, int source, Make make) {
    std::vector<T> out;
    out.reserve(v.size() / stride * (stride + count));
    for (std::size_t start = 0; start < v.size(); start += stride) {
        for (std::size_t i = 0; i <= stride; ++i) {
            if (static_cast<int>(i) == at)
                for (int k = 0; k < count; ++k)
                    out.push_back(make(v[start + source]));
            if (i < stride)
                out.push_back(v[start + i]);
        }
    }
    v = std::move(out);
}

// The rows (or columns) [lo, hi] of a region once [at, at + count) is removed;
// false when none remain.
bool shrinkSpan(int& lo, int& hi, int at, int count) {
    int removedBefore = std::max(0, std::min(at + count, lo) - at);
    int removedInside = std::max(0, std::min(at + count, hi + 1) - std::max(at, lo));
    int remaining = hi - lo + 1 - removedInside;
    if (remaining <= 0)
        return false;
    lo -= removedBefore;
    hi = lo + remaining - 1;
    return true;
}

// Deleting rows or columns brings two grid lines together; the one kept
// (upper or left) takes, property by property, the other's override where
// it has none of its own.
void mergeSeam(GridSegment& kept, const GridSegment& other) {
    auto take = [&](int property, auto member) {
        if (!kept.isOverridden(property) && other.isOverridden(property)) {
            kept.*member = other.*member;
            kept.markOverridden(property);
        }
    };
    take(0, &GridSegment::visibility);
    take(1, &GridSegment::color);
    take(2, &GridSegment::lineWeight);
}

// Region bounds after inserting `count` before index `at`: a region spanning
// the insertion point grows, one after it moves.
void growSpan(int& lo, int& hi, int at, int count) {
    if (lo >= at) {
        lo += count;
        hi += count;
    } else if (hi >= at) {
        hi += count;
    }
}

} // namespace

TableGrid::TableGrid(int rows, int cols, double rowHeight, double columnWidth)
    : m_rows(std::clamp(rows, 1, kMaxRows)), m_cols(std::clamp(cols, 1, kMaxColumns)) {
    if (static_cast<long long>(m_rows) * m_cols > kMaxCells)
        m_rows = static_cast<int>(kMaxCells / m_cols);
    m_rowHeights.assign(m_rows, validSize(rowHeight) ? rowHeight : 1.0);
    m_colWidths.assign(m_cols, validSize(columnWidth) ? columnWidth : 1.0);
    m_cells = std::make_shared<std::vector<TableCell>>(static_cast<std::size_t>(m_rows) * m_cols);
    m_horz.resize(static_cast<std::size_t>(m_rows + 1) * m_cols);
    m_vert.resize(static_cast<std::size_t>(m_rows) * (m_cols + 1));
}

std::vector<TableCell>& TableGrid::cellsForWrite() {
    if (m_cells.use_count() > 1)
        m_cells = std::make_shared<std::vector<TableCell>>(*m_cells);
    return *m_cells;
}

const CellRange* TableGrid::findRegion(int row, int col) const {
    for (const CellRange& r : m_regions)
        if (r.contains(row, col))
            return &r;
    return nullptr;
}

std::vector<int> TableGrid::regionMap() const {
    std::vector<int> map(m_cells->size(), -1);
    for (std::size_t i = 0; i < m_regions.size(); ++i) {
        const CellRange& r = m_regions[i];
        for (int row = r.minRow; row <= r.maxRow; ++row)
            for (int col = r.minCol; col <= r.maxCol; ++col)
                map[index(row, col)] = static_cast<int>(i);
    }
    return map;
}

void TableGrid::sortRegions() {
    std::sort(m_regions.begin(), m_regions.end(), [](const CellRange& a, const CellRange& b) {
        return a.minRow != b.minRow ? a.minRow < b.minRow : a.minCol < b.minCol;
    });
}

Acad::ErrorStatus TableGrid::merge(const CellRange& range) {
    if (!isValidRange(range))
        return Acad::eInvalidInput;
    for (const CellRange& r : m_regions)
        if (r.intersects(range) && !range.contains(r))
            return Acad::eInvalidInput;
    if (range.isSingleCell())
        return Acad::eOk;
    std::erase_if(m_regions, [&](const CellRange& r) { return range.contains(r); });
    m_regions.push_back(range);
    sortRegions();
    return Acad::eOk;
}

Acad::ErrorStatus TableGrid::unmerge(const CellRange& range) {
    auto it = std::find(m_regions.begin(), m_regions.end(), range);
    if (it == m_regions.end())
        return Acad::eInvalidInput;
    m_regions.erase(it);
    return Acad::eOk;
}

Acad::ErrorStatus TableGrid::insertRows(int at, int count, double height) {
    if (at < 0 || at > m_rows || count < 1 || !validSize(height) || count > kMaxRows - m_rows ||
        static_cast<long long>(m_rows + count) * m_cols > kMaxCells)
        return Acad::eInvalidInput;
    const int source = at < m_rows ? at : m_rows - 1;

    m_rowHeights.insert(m_rowHeights.begin() + at, count, height);

    std::vector<TableCell> newCells;
    newCells.reserve(static_cast<std::size_t>(count) * m_cols);
    for (int k = 0; k < count; ++k)
        for (int c = 0; c < m_cols; ++c)
            newCells.push_back(cell(source, c).formatOnly());
    std::vector<TableCell>& cells = cellsForWrite();
    cells.insert(cells.begin() + index(at, 0), newCells.begin(), newCells.end());

    // Vertical segments of the new rows copy the source row's.
    std::vector<GridSegment> vert;
    vert.reserve(static_cast<std::size_t>(count) * (m_cols + 1));
    for (int k = 0; k < count; ++k)
        vert.insert(vert.end(), m_vert.begin() + source * (m_cols + 1),
                    m_vert.begin() + (source + 1) * (m_cols + 1));
    m_vert.insert(m_vert.begin() + at * (m_cols + 1), vert.begin(), vert.end());

    // Each new row's top line copies the source row's top line.
    std::vector<GridSegment> top;
    top.reserve(static_cast<std::size_t>(count) * m_cols);
    for (int k = 0; k < count; ++k)
        top.insert(top.end(), m_horz.begin() + source * m_cols,
                   m_horz.begin() + (source + 1) * m_cols);
    m_horz.insert(m_horz.begin() + at * m_cols, top.begin(), top.end());

    m_rows += count;
    for (CellRange& r : m_regions)
        growSpan(r.minRow, r.maxRow, at, count);
    return Acad::eOk;
}

Acad::ErrorStatus TableGrid::insertColumns(int at, int count, double width) {
    if (at < 0 || at > m_cols || count < 1 || !validSize(width) || count > kMaxColumns - m_cols ||
        static_cast<long long>(m_cols + count) * m_rows > kMaxCells)
        return Acad::eInvalidInput;
    const int source = at < m_cols ? at : m_cols - 1;

    m_colWidths.insert(m_colWidths.begin() + at, count, width);
    insertInRuns(cellsForWrite(), m_cols, at, count, source,
                 [](const TableCell& c) { return c.formatOnly(); });
    // Horizontal lines run along the columns: each line gains copies of its
    // segment over the source column.
    insertInRuns(m_horz, m_cols, at, count, source, [](const GridSegment& s) { return s; });
    // Each new column's left line copies the source column's left line.
    insertInRuns(m_vert, m_cols + 1, at, count, source, [](const GridSegment& s) { return s; });

    m_cols += count;
    for (CellRange& r : m_regions)
        growSpan(r.minCol, r.maxCol, at, count);
    return Acad::eOk;
}

Acad::ErrorStatus TableGrid::deleteRows(int at, int count) {
    if (at < 0 || count < 1 || at >= m_rows || count > m_rows - at || count == m_rows)
        return Acad::eInvalidInput;

    // A region that loses its top rows and stays a region keeps what it
    // shows: its top-left cell's content moves to its new top-left cell.
    for (const CellRange& r : m_regions)
        if (r.minRow >= at && r.minRow < at + count && r.maxRow >= at + count &&
            (r.maxRow > at + count || r.maxCol > r.minCol))
            editCell(at + count, r.minCol) = cell(r.minRow, r.minCol);
    m_rowHeights.erase(m_rowHeights.begin() + at, m_rowHeights.begin() + at + count);
    std::vector<TableCell>& cells = cellsForWrite();
    cells.erase(cells.begin() + index(at, 0), cells.begin() + index(at + count, 0));
    m_vert.erase(m_vert.begin() + at * (m_cols + 1), m_vert.begin() + (at + count) * (m_cols + 1));
    // The line above the removed rows stays and meets the line below them.
    for (int col = 0; col < m_cols; ++col)
        mergeSeam(horizontal(at, col), horizontal(at + count, col));
    m_horz.erase(m_horz.begin() + (at + 1) * m_cols, m_horz.begin() + (at + count + 1) * m_cols);

    m_rows -= count;
    std::erase_if(m_regions, [&](CellRange& r) {
        return !shrinkSpan(r.minRow, r.maxRow, at, count) || r.isSingleCell();
    });
    return Acad::eOk;
}

Acad::ErrorStatus TableGrid::deleteColumns(int at, int count) {
    if (at < 0 || count < 1 || at >= m_cols || count > m_cols - at || count == m_cols)
        return Acad::eInvalidInput;

    for (const CellRange& r : m_regions)
        if (r.minCol >= at && r.minCol < at + count && r.maxCol >= at + count &&
            (r.maxCol > at + count || r.maxRow > r.minRow))
            editCell(r.minRow, at + count) = cell(r.minRow, r.minCol);
    m_colWidths.erase(m_colWidths.begin() + at, m_colWidths.begin() + at + count);
    eraseInRuns(cellsForWrite(), m_cols, at, count);
    eraseInRuns(m_horz, m_cols, at, count);
    // The line left of the removed columns stays and meets the line right of them.
    for (int row = 0; row < m_rows; ++row)
        mergeSeam(vertical(row, at), vertical(row, at + count));
    eraseInRuns(m_vert, m_cols + 1, at + 1, count);

    m_cols -= count;
    std::erase_if(m_regions, [&](CellRange& r) {
        return !shrinkSpan(r.minCol, r.maxCol, at, count) || r.isSingleCell();
    });
    return Acad::eOk;
}

} // namespace acdbtable
