#include "host_xdata.h"

#include "dxf_values.h"

namespace acdxf {

namespace {

constexpr std::string_view kTrueColors = "TRUECOLORS";
constexpr std::string_view kEdgeOverrides = "EDGEOVERRIDES";
constexpr std::string_view kRowHeights = "ROWHEIGHTS";

// The pairs of this host's extended data in r (after its 1001 up to the next).
std::vector<const DxfToken*> hostXdata(const DxfRecord& r) {
    std::vector<const DxfToken*> out;
    bool ours = false;
    for (const DxfToken& t : r.xdata) {
        if (t.code == 1001)
            ours = t.value == kHostAppName;
        else if (ours)
            out.push_back(&t);
    }
    return out;
}

} // namespace

void writeTrueColorXdata(DxfWriter& w, const std::vector<TrueColorEntry>& entries) {
    if (entries.empty())
        return;
    w.raw(1001, kHostAppName);
    w.raw(1000, kTrueColors);
    for (const TrueColorEntry& e : entries) {
        w.integer(1071, e.where);
        w.integer(1071, e.column);
        w.integer(1071, e.property);
        w.integer(1071, e.rgb);
    }
}

std::vector<TrueColorEntry> readTrueColorXdata(const DxfRecord& r) {
    std::vector<TrueColorEntry> out;
    auto pairs = hostXdata(r);
    bool inColors = false;
    std::vector<std::int32_t> values;
    for (const DxfToken* t : pairs) {
        if (t->code == 1000) {
            inColors = t->value == kTrueColors;
        } else if (inColors && t->code == 1071) {
            values.push_back(toInt(*t));
            if (values.size() == 4) {
                out.push_back({values[0], values[1], values[2], values[3]});
                values.clear();
            }
        }
    }
    return out;
}

void writeTableXdata(DxfWriter& w, const TableXdata& x) {
    w.raw(1001, kHostAppName);
    if (!x.trueColors.empty()) {
        w.raw(1000, kTrueColors);
        for (const TrueColorEntry& e : x.trueColors) {
            w.integer(1071, e.where);
            w.integer(1071, e.column);
            w.integer(1071, e.property);
            w.integer(1071, e.rgb);
        }
    }
    w.raw(1000, kEdgeOverrides);
    for (const CellBitsEntry& e : x.edgeOverrides) {
        w.integer(1071, e.row);
        w.integer(1071, e.column);
        w.integer(1071, e.bits);
    }
    if (!x.storedRowHeights.empty()) {
        w.raw(1000, kRowHeights);
        for (const auto& [row, height] : x.storedRowHeights) {
            w.integer(1071, row);
            w.real(1040, height);
        }
    }
}

TableXdata readTableXdata(const DxfRecord& r) {
    TableXdata out;
    out.trueColors = readTrueColorXdata(r);
    std::string_view section;
    std::vector<std::int32_t> ints;
    for (const DxfToken* t : hostXdata(r)) {
        if (t->code == 1000) {
            section = t->value;
            ints.clear();
            if (section == kEdgeOverrides)
                out.hasEdgeOverrides = true;
        } else if (section == kEdgeOverrides && t->code == 1071) {
            ints.push_back(toInt(*t));
            if (ints.size() == 3) {
                out.edgeOverrides.push_back({ints[0], ints[1], ints[2]});
                ints.clear();
            }
        } else if (section == kRowHeights && t->code == 1071) {
            ints.assign(1, toInt(*t));
        } else if (section == kRowHeights && t->code == 1040 && ints.size() == 1) {
            out.storedRowHeights.emplace_back(ints[0], toReal(*t));
            ints.clear();
        }
    }
    return out;
}

void writeMarkerXdata(DxfWriter& w, std::string_view marker) {
    w.raw(1001, kHostAppName);
    w.raw(1000, marker);
}

bool hasMarkerXdata(const DxfRecord& r, std::string_view marker) {
    for (const DxfToken* t : hostXdata(r))
        if (t->code == 1000 && t->value == marker)
            return true;
    return false;
}

} // namespace acdxf
