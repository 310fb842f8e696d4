#include "CellFormatting.h"

#include "TableEdits.h"

const char* const kBorderStyleNames[kBorderStyleCount] = {"All Borders",
                                                          "Outside Border",
                                                          "Inside Border",
                                                          "Left Border",
                                                          "Right Border",
                                                          "Top Border",
                                                          "Bottom Border",
                                                          "Inside Horizontal Border",
                                                          "Inside Vertical Border",
                                                          "No Border"};

const char* const kAlignmentNames[kAlignmentCount] = {
    "Top Left",     "Top Center",  "Top Right",     "Middle Left", "Middle Center",
    "Middle Right", "Bottom Left", "Bottom Center", "Bottom Right"};

AcCmColor colorFromRemembered(int value) {
    AcCmColor color;
    if (value == -3)
        value = 0;
    // Values outside 0..256 are left to the colour object, which keeps its
    // own colour for an index it cannot hold.
    color.setColorIndex(static_cast<std::uint16_t>(value));
    return color;
}

namespace {

constexpr int kShown = 0;
constexpr int kHidden = 1;

// Visibility of the left, top, right (last column) and bottom (last row)
// edges of one cell for the styles that write each inner segment once.
struct EdgePlan {
    int left, top, right, bottom;
};

EdgePlan planFor(int style, bool firstRow, bool firstCol) {
    switch (style) {
    case 0:
        return {kShown, kShown, kShown, kShown};
    case 2:
        return {firstCol ? kHidden : kShown, firstRow ? kHidden : kShown, kHidden, kHidden};
    case 3:
        return {firstCol ? kShown : kHidden, kHidden, kHidden, kHidden};
    case 4:
        return {kHidden, kHidden, kShown, kHidden};
    case 5:
        return {kHidden, firstRow ? kShown : kHidden, kHidden, kHidden};
    case 6:
        return {kHidden, kHidden, kHidden, kShown};
    case 7:
        return {kHidden, firstRow ? kHidden : kShown, kHidden, kHidden};
    case 8:
        return {firstCol ? kHidden : kShown, kHidden, kHidden, kHidden};
    default: // 9
        return {kHidden, kHidden, kHidden, kHidden};
    }
}

} // namespace

bool applyBorderStyle(AcDbTable* table, int rowMin, int rowMax, int colMin, int colMax, int style,
                      const AcCmColor& color, int lineWeight) {
    if (style < 0 || style >= kBorderStyleCount)
        return false;
    for (int r = rowMin; r <= rowMax; ++r)
        for (int c = colMin; c <= colMax; ++c) {
            if (style == 1) {
                setCellEdge(table, r, c, AcDb::kTopMask, r == rowMin ? kShown : kHidden, color,
                            lineWeight);
                setCellEdge(table, r, c, AcDb::kLeftMask, c == colMin ? kShown : kHidden, color,
                            lineWeight);
                setCellEdge(table, r, c, AcDb::kBottomMask, r == rowMax ? kShown : kHidden, color,
                            lineWeight);
                setCellEdge(table, r, c, AcDb::kRightMask, c == colMax ? kShown : kHidden, color,
                            lineWeight);
                continue;
            }
            const EdgePlan plan = planFor(style, r == rowMin, c == colMin);
            setCellEdge(table, r, c, AcDb::kLeftMask, plan.left, color, lineWeight);
            setCellEdge(table, r, c, AcDb::kTopMask, plan.top, color, lineWeight);
            if (c == colMax)
                setCellEdge(table, r, c, AcDb::kRightMask, plan.right, color, lineWeight);
            if (r == rowMax)
                setCellEdge(table, r, c, AcDb::kBottomMask, plan.bottom, color, lineWeight);
        }
    return true;
}

bool formatSelectionBorders(int style, const AcCmColor& color, int lineWeight) {
    return TableOperationFrame::run([&](AcDbTable& table, const tagAcadTableRange& r) {
        applyBorderStyle(&table, r.rowMin, r.rowMax, r.colMin, r.colMax, style, color, lineWeight);
    });
}

namespace {

template <class CellWork> bool forEachSelectedCell(CellWork work) {
    return TableOperationFrame::run([&](AcDbTable& table, const tagAcadTableRange& r) {
        for (int row = r.rowMin; row <= r.rowMax; ++row)
            for (int col = r.colMin; col <= r.colMax; ++col)
                work(table, row, col);
    });
}

} // namespace

bool formatSelectionAlignment(int alignmentValue) {
    return forEachSelectedCell([&](AcDbTable& table, int row, int col) {
        table.setCellAlignment(row, col, static_cast<AcDb::CellAlignment>(alignmentValue));
    });
}

bool formatSelectionTextColor(const AcCmColor& color) {
    return forEachSelectedCell(
        [&](AcDbTable& table, int row, int col) { table.setTextColor(row, col, color); });
}

bool formatSelectionFill(bool none, const AcCmColor& color) {
    return forEachSelectedCell([&](AcDbTable& table, int row, int col) {
        table.setFillNone(row, col, none);
        if (!none)
            table.setFillColor(row, col, color);
    });
}
