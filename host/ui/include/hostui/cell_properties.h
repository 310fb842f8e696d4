#pragma once
// What the properties palette shows for a range of table cells: alignment,
// text colour, fill and the four outer borders of the range, each either the
// one value all cells share or "varies".

#include "acdb/color.h"
#include "acdb/status.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

class AcDbTable;

namespace hostui {

// A value shared by every cell, or nothing when the cells differ.
template <class T> struct Shared {
    std::optional<T> value;
    bool varies() const { return !value.has_value(); }
};

struct EdgeLook {
    AcDb::Visibility visibility = AcDb::kVisible;
    AcCmColor color;
    AcDb::LineWeight lineWeight = AcDb::kLnWtByBlock;
    bool operator==(const EdgeLook& o) const {
        return visibility == o.visibility && color == o.color && lineWeight == o.lineWeight;
    }
};

struct CellRangeLook {
    int rowMin = 0, rowMax = 0, colMin = 0, colMax = 0;
    Shared<int> alignment;                 // 1..9
    Shared<AcCmColor> textColor;           // text cells only; unset for only block cells
    Shared<std::optional<AcCmColor>> fill; // nullopt inside: no fill
    Shared<EdgeLook> top, right, bottom, left;
};

// Reads the range (clamped to the table). Nothing for an empty range.
std::optional<CellRangeLook> describeCellRange(const AcDbTable& table, int rowMin, int rowMax,
                                               int colMin, int colMax);

// Names as the palette shows them.
std::string alignmentName(int alignment); // "Top Left" .. "Bottom Right"
std::string colorName(const AcCmColor& color);
std::string lineWeightName(int lineWeight);
// Rows of (label, value) for the palette.
std::vector<std::pair<std::string, std::string>> cellRangeRows(const CellRangeLook& look);

} // namespace hostui
