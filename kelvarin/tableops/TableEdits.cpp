#include "TableEdits.h"

#include <algorithm>

void mergeSelectedCells(AcDbTable& table, const tagAcadTableRange& range) {
    table.mergeCells(range.rowMin, range.rowMax, range.colMin, range.colMax);
}

void addMergedRange(std::vector<tagAcadTableRange>& mergedRanges, const tagAcadTableRange& range) {
    if (std::find(mergedRanges.begin(), mergedRanges.end(), range) == mergedRanges.end())
        mergedRanges.push_back(range);
}

void unmergeSelectedCells(AcDbTable& table, const tagAcadTableRange& range,
                          std::vector<tagAcadTableRange>& mergedRanges) {
    mergedRanges.clear();
    mergedRanges.shrink_to_fit();
    for (int row = range.rowMin; row <= range.rowMax; ++row)
        for (int col = range.colMin; col <= range.colMax; ++col) {
            tagAcadTableRange merged;
            if (table.isMergedCell(row, col, &merged.rowMin, &merged.rowMax, &merged.colMin,
                                   &merged.colMax))
                addMergedRange(mergedRanges, merged);
        }
    for (const tagAcadTableRange& merged : mergedRanges)
        if (table.unmergeCells(merged.rowMin, merged.rowMax, merged.colMin, merged.colMax) ==
            Acad::eInvalidInput)
            acutPrintf(
                "\nThe invalid input is rowMin = %d, rowMax = %d, colMin = %d, colMax = %d\n",
                merged.rowMin, merged.rowMax, merged.colMin, merged.colMax);
}

void insertColumnsBeside(AcDbTable& table, const tagAcadTableRange& range, bool left) {
    const int count = range.colMax - range.colMin + 1;
    double width = table.columnWidth(range.colMin);
    for (int col = range.colMin + 1; col <= range.colMax; ++col)
        width = std::min(width, table.columnWidth(col));
    table.insertColumns(left ? range.colMin : range.colMax + 1, width, count);
}

void insertRowsBeside(AcDbTable& table, const tagAcadTableRange& range, bool above) {
    const int count = range.rowMax - range.rowMin + 1;
    double height = table.rowHeight(range.rowMin);
    for (int row = range.rowMin + 1; row <= range.rowMax; ++row)
        height = std::min(height, table.rowHeight(row));
    table.insertRows(above ? range.rowMin : range.rowMax + 1, height, count);
}

void deleteSelectedColumns(AcDbTable& table, const tagAcadTableRange& range) {
    table.deleteColumns(range.colMin, range.colMax - range.colMin + 1);
}

void deleteSelectedRows(AcDbTable& table, const tagAcadTableRange& range) {
    table.deleteRows(range.rowMin, range.rowMax - range.rowMin + 1);
}

void sizeEqually(AcDbTable& table, const tagAcadTableRange& range, bool rows) {
    const int first = rows ? range.rowMin : range.colMin;
    const int last = rows ? range.rowMax : range.colMax;
    double total = 0.0;
    for (int i = first; i <= last; ++i)
        total += rows ? table.rowHeight(i) : table.columnWidth(i);
    const double each = total / static_cast<double>(last - first + 1);
    for (int i = first; i <= last; ++i) {
        if (rows)
            table.setRowHeight(i, each);
        else
            table.setColumnWidth(i, each);
    }
}

bool setCellEdge(AcDbTable* table, int row, int col, int edgeMask, int visibility,
                 const AcCmColor& color, int lineWeight) {
    if (!table)
        return false;
    table->setEdgeVisibility(row, col, edgeMask, static_cast<AcDb::Visibility>(visibility));
    table->setEdgeColor(row, col, edgeMask, color);
    table->setEdgeLineWeight(row, col, edgeMask, static_cast<AcDb::LineWeight>(lineWeight));
    return true;
}
