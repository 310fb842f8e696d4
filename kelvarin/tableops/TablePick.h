#pragma once
// Finding the table that carries the user's cell selection, and the frame
// every toolbar edit runs in: lock, pick, read the range, work, close,
// unlock, focus back to the drawing.

#include "arxHeaders.h"

#include <functional>
#include <string>

// A cell range: zero-based, both bounds inclusive.
struct tagAcadTableRange {
    int rowMin = 0;
    int rowMax = 0;
    int colMin = 0;
    int colMax = 0;
    bool operator==(const tagAcadTableRange&) const = default;
};

// Everything the add-in reads from one cell (Match Cell's source and targets).
struct tagAcadDbCell {
    AcDbObjectId tableId;
    AcGePoint3dArray outline;
    int row = 0;
    int column = 0;
    int cellType = 0;
    int alignment = 0;
    AcCmColor fillColor;
    double horizontalMargin = 0;
    double verticalMargin = 0;
    bool fillNone = false;
    int topVisibility = 0, leftVisibility = 0, bottomVisibility = 0, rightVisibility = 0;
    AcCmColor topColor, leftColor, bottomColor, rightColor;
    int topLineWeight = 0, leftLineWeight = 0, bottomLineWeight = 0, rightLineWeight = 0;
    double cellBlockScale = 1;
    double cellBlockRotation = 0;
    AcDbObjectId textStyleId;
    AcCmColor textColor;
};

// The first table of the drawing (in selection-set order) that answers
// selectedCellRange, open for write; null when none does. The caller closes it.
AcDbTable* pickSelectedTable();

// Prints text (when not empty) and cancels the pending prompt with ESC.
void printPromptMessage(const std::string& text);

// Steps 1 and 2 of every table edit: the active document locked for write
// and the table carrying the selection, open for write. With no such table:
// the message, the lock given back, and null.
AcDbTable* lockAndPickSelectedTable();

// The common frame of the table edits. The work gets the picked table, open
// for write, and the selected range.
class TableOperationFrame {
public:
    using Work = std::function<void(AcDbTable&, const tagAcadTableRange&)>;
    // false when no table carries a cell selection (the message was printed).
    static bool run(const Work& work);
};
