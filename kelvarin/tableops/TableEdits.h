#pragma once
// The work steps of the merge, unmerge, row and column edits. Each acts on a
// table open for write and the selected range; the toolbar runs them inside
// TableOperationFrame.

#include "TablePick.h"

#include <vector>

void mergeSelectedCells(AcDbTable& table, const tagAcadTableRange& range);

// Appends range unless an equal one is listed.
void addMergedRange(std::vector<tagAcadTableRange>& mergedRanges, const tagAcadTableRange& range);
// Unmerges every merged region that touches the range (the regions found are
// left in mergedRanges, in the order their first cell is met).
void unmergeSelectedCells(AcDbTable& table, const tagAcadTableRange& range,
                          std::vector<tagAcadTableRange>& mergedRanges);

// As many columns (rows) as are selected, as narrow (low) as the narrowest
// (lowest) selected one, directly before or after the selection.
void insertColumnsBeside(AcDbTable& table, const tagAcadTableRange& range, bool left);
void insertRowsBeside(AcDbTable& table, const tagAcadTableRange& range, bool above);
void deleteSelectedColumns(AcDbTable& table, const tagAcadTableRange& range);
void deleteSelectedRows(AcDbTable& table, const tagAcadTableRange& range);
// The selected rows (columns) share their combined height (width) equally.
void sizeEqually(AcDbTable& table, const tagAcadTableRange& range, bool rows);

// Visibility, then colour, then line weight of the edges in mask.
bool setCellEdge(AcDbTable* table, int row, int col, int edgeMask, int visibility,
                 const AcCmColor& color, int lineWeight);
