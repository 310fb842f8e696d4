#pragma once
// The colour dialog's logic that needs no window: which indices may be
// chosen, the text of the index box read and written, and where each index
// sits on the palette.

#include <optional>
#include <string>

namespace cadhost {

inline constexpr const char* kColorDialogTitle = "Select Color";
inline constexpr int kByBlockIndex = 0;
inline constexpr int kByLayerIndex = 256;

// 1..255, and ByBlock (0) and ByLayer (256) when meta colours are allowed.
bool isChoosableColorIndex(int index, bool allowMetaColor);

// The index box's text for an index: "ByBlock", "ByLayer" or the number.
std::string colorEntryText(int index);

struct ColorEntry {
    std::optional<int> index;
    std::string problem; // set when index is not
};
// Reads the index box: a number (surrounding blanks ignored) or, when meta
// colours are allowed, "ByLayer"/"ByBlock" in any case.
ColorEntry parseColorEntry(const std::string& text, bool allowMetaColor);

// The palette: the 9 standard colours in one row, the 240 hues in a grid of
// 24 columns (one hue each, indices 10..19 in the first) and 10 rows (the
// even shades above the odd ones), the 6 greys in one row.
enum class PaletteSection { Standard, Hues, Greys };
inline constexpr int kHueColumns = 24;
inline constexpr int kHueRows = 10;

struct PaletteCell {
    PaletteSection section = PaletteSection::Standard;
    int row = 0;
    int column = 0;
};
// Where index 1..255 sits; nothing for other values.
std::optional<PaletteCell> paletteCellOf(int index);
// The index at a cell; nothing when the cell is off its section.
std::optional<int> paletteIndexAt(const PaletteCell& cell);

} // namespace cadhost
