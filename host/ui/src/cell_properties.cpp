#include "hostui/cell_properties.h"

#include "acdb/table.h"

#include <algorithm>
#include <cstdio>

namespace hostui {

namespace {

template <class T> void merge(Shared<T>& shared, const T& value, bool& first) {
    if (first)
        shared.value = value;
    else if (shared.value && !(*shared.value == value))
        shared.value.reset();
    first = false;
}

// Collects one property over cells, remembering whether it was seen yet.
template <class T> struct Collector {
    Shared<T> shared;
    bool first = true;
    void add(const T& v) { merge(shared, v, first); }
    Shared<T> result() const { return first ? Shared<T>{} : shared; }
};

EdgeLook edgeOf(const AcDbTable& t, int row, int col, AcDb::CellEdgeMask edge) {
    return {t.edgeVisibility(row, col, edge), t.edgeColor(row, col, edge),
            t.edgeLineWeight(row, col, edge)};
}

std::string varies() {
    return "*VARIES*";
}

std::string edgeText(const Shared<EdgeLook>& e) {
    if (e.varies())
        return varies();
    if (e.value->visibility != AcDb::kVisible)
        return "Hidden";
    return colorName(e.value->color) + ", " + lineWeightName(e.value->lineWeight);
}

} // namespace

std::optional<CellRangeLook> describeCellRange(const AcDbTable& table, int rowMin, int rowMax,
                                               int colMin, int colMax) {
    if (rowMin > rowMax)
        std::swap(rowMin, rowMax);
    if (colMin > colMax)
        std::swap(colMin, colMax);
    rowMin = std::max(rowMin, 0);
    colMin = std::max(colMin, 0);
    rowMax = std::min(rowMax, table.rowCount() - 1);
    colMax = std::min(colMax, table.columnCount() - 1);
    if (rowMin > rowMax || colMin > colMax)
        return std::nullopt;

    CellRangeLook look{rowMin, rowMax, colMin, colMax, {}, {}, {}, {}, {}, {}, {}};
    Collector<int> alignment;
    Collector<AcCmColor> textColor;
    Collector<std::optional<AcCmColor>> fill;
    Collector<EdgeLook> top, right, bottom, left;
    for (int row = rowMin; row <= rowMax; ++row) {
        for (int col = colMin; col <= colMax; ++col) {
            alignment.add(table.cellAlignment(row, col));
            if (table.cellType(row, col) != AcDb::kBlockCell)
                textColor.add(table.textColor(row, col));
            fill.add(table.isFillNone(row, col)
                         ? std::optional<AcCmColor>()
                         : std::optional<AcCmColor>(table.fillColor(row, col)));
            if (row == rowMin)
                top.add(edgeOf(table, row, col, AcDb::kTopMask));
            if (row == rowMax)
                bottom.add(edgeOf(table, row, col, AcDb::kBottomMask));
            if (col == colMin)
                left.add(edgeOf(table, row, col, AcDb::kLeftMask));
            if (col == colMax)
                right.add(edgeOf(table, row, col, AcDb::kRightMask));
        }
    }
    look.alignment = alignment.result();
    look.textColor = textColor.result();
    look.fill = fill.result();
    look.top = top.result();
    look.right = right.result();
    look.bottom = bottom.result();
    look.left = left.result();
    return look;
}

std::string alignmentName(int alignment) {
    static const char* const names[] = {"Top Left",    "Top Center",    "Top Right",
                                        "Middle Left", "Middle Center", "Middle Right",
                                        "Bottom Left", "Bottom Center", "Bottom Right"};
    if (alignment < 1 || alignment > 9)
        return "Unknown (" + std::to_string(alignment) + ")";
    return names[alignment - 1];
}

std::string colorName(const AcCmColor& color) {
    if (color.isByLayer())
        return "ByLayer";
    if (color.isByBlock())
        return "ByBlock";
    if (color.isNone())
        return "None";
    if (color.isByColor()) {
        const AcCmRgb rgb = color.rgb();
        return "RGB " + std::to_string(rgb.red) + "," + std::to_string(rgb.green) + "," +
               std::to_string(rgb.blue);
    }
    static const char* const named[] = {"ByBlock", "Red",  "Yellow",  "Green",
                                        "Cyan",    "Blue", "Magenta", "White"};
    const int index = color.colorIndex();
    if (index >= 0 && index <= 7)
        return named[index];
    if (index == 256)
        return "ByLayer";
    return "Color " + std::to_string(index);
}

std::string lineWeightName(int lw) {
    switch (lw) {
    case AcDb::kLnWtByLayer:
        return "ByLayer";
    case AcDb::kLnWtByBlock:
        return "ByBlock";
    case AcDb::kLnWtByLwDefault:
        return "Default";
    default:
        break;
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.2f mm", lw / 100.0);
    return buf;
}

std::vector<std::pair<std::string, std::string>> cellRangeRows(const CellRangeLook& look) {
    std::vector<std::pair<std::string, std::string>> rows;
    auto cellName = [](int row, int col) {
        return "R" + std::to_string(row + 1) + "C" + std::to_string(col + 1);
    };
    std::string cells = cellName(look.rowMin, look.colMin);
    if (look.rowMin != look.rowMax || look.colMin != look.colMax)
        cells += ":" + cellName(look.rowMax, look.colMax);
    rows.emplace_back("Cells", cells);
    rows.emplace_back("Alignment",
                      look.alignment.varies() ? varies() : alignmentName(*look.alignment.value));
    rows.emplace_back("Text color",
                      look.textColor.varies() ? varies() : colorName(*look.textColor.value));
    std::string fill = varies();
    if (!look.fill.varies())
        fill = look.fill.value->has_value() ? colorName(**look.fill.value) : "None";
    rows.emplace_back("Fill", fill);
    rows.emplace_back("Border top", edgeText(look.top));
    rows.emplace_back("Border right", edgeText(look.right));
    rows.emplace_back("Border bottom", edgeText(look.bottom));
    rows.emplace_back("Border left", edgeText(look.left));
    return rows;
}

} // namespace hostui
