#pragma once
// Turns a table into the entities that show it: fills, grid lines, texts and
// block references, in world coordinates.

#include "acdb/entity.h"
#include "acdb/table.h"
#include "table_grid.h"
#include "table_layout.h"

#include <functional>
#include <memory>

class AcDbTable;

namespace acdbtable {

// The box of what a reference to the block shows, in block coordinates (its
// origin included when it has nothing to show). Open: false when the block
// could not be read now but may be later (open elsewhere, erased).
struct BlockContentBox {
    AcDbExtents extents;
    bool readable = false;
    bool retryLater = false;
};
BlockContentBox blockContentBox(AcDbObjectId blockId);

struct TableGraphics {
    AcDbEntityList entities;
    // False when a cell's block could not be read; the picture lacks it and
    // should be built again later.
    bool complete = true;
};

class TableGraphicsBuilder {
public:
    TableGraphicsBuilder(const AcDbTable& table, const TableFrame& frame,
                         const TableLayout& layout);
    // Every entity at once.
    TableGraphics build();
    // Each entity to sink as it is made; false when the picture is incomplete.
    bool build(const std::function<void(std::unique_ptr<AcDbEntity>)>& sink);
    // The compact form the screen draws; complete tells as build's.
    AcDbTableDrawing buildDrawing(bool& complete);
    // Only the grid-line runs, for a picture whose fills and contents still hold.
    std::vector<AcDbTableDrawing::GridLine> buildGridLines();

private:
    struct Rect {
        double left, right, top, bottom; // plane coordinates, top > bottom
    };
    Rect cellRect(int minRow, int maxRow, int minCol, int maxCol) const;
    // Calls fn(row, col, rect) for every cell drawn on its own and for the
    // top-left cell of every merged region, with the region's rectangle.
    template <class Fn> void forEachShownCell(Fn fn) const;
    void addFills();
    void addGridLines();
    void addContents();
    void addLine(double u0, double v0, double u1, double v1, int row, int col, int edge);
    void emit(std::unique_ptr<AcDbEntity> e);
    // The compact drawing's grid: neighbouring segments of one look joined into runs.
    void addHorizontalRuns();
    void addVerticalRuns();
    void addText(int row, int col, const Rect& r);
    void addBlock(int row, int col, const Rect& r);
    AcDbObjectId resolvedTextStyle(AcDbObjectId id) const;

    const AcDbTable& m_table;
    TableFrame m_frame;
    const TableLayout& m_layout;
    int m_rows, m_cols;
    std::vector<int> m_regionOfCell; // per cell, index into m_regions or -1
    std::vector<CellRange> m_regions;
    // Where entities go: the sink, or the compact drawing (m_drawing set).
    std::function<void(std::unique_ptr<AcDbEntity>)> m_sink;
    AcDbTableDrawing* m_drawing = nullptr;
    bool m_inFills = false;
    bool m_complete = true;
};

} // namespace acdbtable
