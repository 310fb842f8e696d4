#include "cadhost/color_entry.h"

#include <algorithm>
#include <cctype>
#include <charconv>

namespace cadhost {

namespace {

std::string trimmed(const std::string& text) {
    auto blank = [](unsigned char c) { return std::isspace(c) != 0; };
    auto first = std::find_if_not(text.begin(), text.end(), blank);
    auto last = std::find_if_not(text.rbegin(), text.rend(), blank).base();
    return first < last ? std::string(first, last) : std::string();
}

bool equalsNoCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

constexpr int kFirstHue = 10;
constexpr int kFirstGrey = 250;

} // namespace

bool isChoosableColorIndex(int index, bool allowMetaColor) {
    if (index >= 1 && index <= 255)
        return true;
    return allowMetaColor && (index == kByBlockIndex || index == kByLayerIndex);
}

std::string colorEntryText(int index) {
    if (index == kByBlockIndex)
        return "ByBlock";
    if (index == kByLayerIndex)
        return "ByLayer";
    return std::to_string(index);
}

ColorEntry parseColorEntry(const std::string& text, bool allowMetaColor) {
    const std::string range = allowMetaColor
                                  ? "Enter a color index from 1 to 255, ByLayer or ByBlock."
                                  : "Enter a color index from 1 to 255.";
    const std::string value = trimmed(text);
    ColorEntry entry;
    if (value.empty()) {
        entry.problem = range;
        return entry;
    }
    if (allowMetaColor && equalsNoCase(value, "ByLayer")) {
        entry.index = kByLayerIndex;
        return entry;
    }
    if (allowMetaColor && equalsNoCase(value, "ByBlock")) {
        entry.index = kByBlockIndex;
        return entry;
    }
    int number = 0;
    const char* end = value.data() + value.size();
    auto [stop, error] = std::from_chars(value.data(), end, number);
    if (error != std::errc() || stop != end || !isChoosableColorIndex(number, allowMetaColor)) {
        entry.problem = "\"" + value + "\" is not a color index. " + range;
        return entry;
    }
    entry.index = number;
    return entry;
}

std::optional<PaletteCell> paletteCellOf(int index) {
    if (index >= 1 && index < kFirstHue)
        return PaletteCell{PaletteSection::Standard, 0, index - 1};
    if (index >= kFirstHue && index < kFirstGrey) {
        const int shade = index % 10;
        const int row = shade % 2 == 0 ? shade / 2 : kHueRows / 2 + shade / 2;
        return PaletteCell{PaletteSection::Hues, row, (index - kFirstHue) / 10};
    }
    if (index >= kFirstGrey && index <= 255)
        return PaletteCell{PaletteSection::Greys, 0, index - kFirstGrey};
    return std::nullopt;
}

std::optional<int> paletteIndexAt(const PaletteCell& cell) {
    switch (cell.section) {
    case PaletteSection::Standard:
        if (cell.row == 0 && cell.column >= 0 && cell.column < kFirstHue - 1)
            return cell.column + 1;
        return std::nullopt;
    case PaletteSection::Hues: {
        if (cell.row < 0 || cell.row >= kHueRows || cell.column < 0 || cell.column >= kHueColumns)
            return std::nullopt;
        const int half = kHueRows / 2;
        const int shade = cell.row < half ? cell.row * 2 : (cell.row - half) * 2 + 1;
        return kFirstHue + cell.column * 10 + shade;
    }
    case PaletteSection::Greys:
        if (cell.row == 0 && cell.column >= 0 && cell.column <= 255 - kFirstGrey)
            return kFirstGrey + cell.column;
        return std::nullopt;
    }
    return std::nullopt;
}

} // namespace cadhost
