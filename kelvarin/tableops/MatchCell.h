#pragma once
// Match Cell: copy one cell's look onto cells the user picks, in any table.

#include "TablePick.h"

#include <vector>

tagAcadDbCell captureCellFormat(const AcDbTable& table, int row, int col);
bool applyCellFormat(AcDbTable& table, int row, int col, const tagAcadDbCell& source);
// One record (table, row, column, outline) per cell of every table of the
// drawing; false when the drawing-wide table selection cannot be built.
bool collectTableCells(std::vector<tagAcadDbCell>& cells);

// The destination of a pick: the first record, in array order, whose outline
// strictly contains the point (a point on or within 0.01 of an outline is no
// hit). The plain scan classifies the point against every outline.
int findDestinationByScan(const std::vector<tagAcadDbCell>& cells, const AcGePoint3d& point);

// The same answer without classifying against every outline: records are
// bucketed by their outline's bounding box on a uniform grid, and only the
// records whose box holds the point are classified, in array order.
class CellHitIndex {
public:
    explicit CellHitIndex(const std::vector<tagAcadDbCell>& cells);
    int find(const AcGePoint3d& point) const;

private:
    struct Box {
        double minX, minY, maxX, maxY;
    };
    bool bucketOf(double x, double y, int& bx, int& by) const;

    const std::vector<tagAcadDbCell>& m_cells;
    std::vector<Box> m_boxes;
    double m_minX = 0, m_minY = 0, m_cellW = 1, m_cellH = 1;
    int m_cols = 0, m_rows = 0;
    std::vector<std::vector<int>> m_buckets;
};

// The whole Match Cell operation of the toolbar button.
bool matchCell();
