#include "host_xdata.h"

#include "dxf_values.h"

namespace acdxf {

namespace {

constexpr std::string_view kTrueColors = "TRUECOLORS";

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
