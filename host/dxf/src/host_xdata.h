#pragma once
// Extended data under this host's application name ("CADHOST", registered in
// the APPID table) carries what the DXF codes of AC1018 cannot hold: true
// colours of table cells and table styles, the unloaded flag of a block that
// is not an external reference. Other programs keep or drop it unharmed.

#include "dxf_records.h"
#include "dxf_writer.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace acdxf {

inline constexpr std::string_view kHostAppName = "CADHOST";

// One true colour of a table cell or table style: where (row and column of a
// cell; row type index and -1 for a style) and which property.
struct TrueColorEntry {
    std::int32_t where = 0;
    std::int32_t column = 0;
    std::int32_t property = 0;
    std::int32_t rgb = 0;
};

void writeTrueColorXdata(DxfWriter& w, const std::vector<TrueColorEntry>& entries);
std::vector<TrueColorEntry> readTrueColorXdata(const DxfRecord& r);

// What a table keeps here besides its true colours: which edge properties
// each cell overrides (code 177 has 16 bits, too few for twelve edge bits
// beside the cell's own), and the row heights set below what the content
// needs (code 141 holds the height drawn, which the *T block shows).
struct CellBitsEntry {
    std::int32_t row = 0;
    std::int32_t column = 0;
    std::int32_t bits = 0;
};
struct TableXdata {
    std::vector<TrueColorEntry> trueColors;
    // True when the record has the edge section (even an empty one): edge
    // overrides come from it, not from code 177.
    bool hasEdgeOverrides = false;
    std::vector<CellBitsEntry> edgeOverrides;
    std::vector<std::pair<std::int32_t, double>> storedRowHeights;
};
void writeTableXdata(DxfWriter& w, const TableXdata& x);
TableXdata readTableXdata(const DxfRecord& r);

// A marker word in this host's extended data ("UNLOADED").
void writeMarkerXdata(DxfWriter& w, std::string_view marker);
bool hasMarkerXdata(const DxfRecord& r, std::string_view marker);

} // namespace acdxf
