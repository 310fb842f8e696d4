#pragma once
// The 40 colours of the colour popup and the floating colour pickers: display
// colours for painting, names for tooltips, and the host colour index each
// name stands for.

#include <cstdint>
#include <string>

struct PaletteColor {
    std::uint32_t color; // Windows colour value: red in the low byte
    const char* name;
};

inline constexpr int kPaletteColorCount = 40;
inline constexpr int kPaletteColumns = 8;
extern const PaletteColor colorPalette[kPaletteColorCount];

// Windows colour value of r, g, b (red in the low byte).
constexpr std::uint32_t windowsRgb(int r, int g, int b) {
    return static_cast<std::uint32_t>(r & 0xFF) | (static_cast<std::uint32_t>(g & 0xFF) << 8) |
           (static_cast<std::uint32_t>(b & 0xFF) << 16);
}

// Initial colours that stand for the boxes instead of a swatch.
inline constexpr std::uint32_t kInitialDefaultEntry = 0xFF000000u;
inline constexpr std::uint32_t kInitialCustomEntry = 0xFFFFFFFEu;

// Host colour index of a palette entry (0..39): the seven named colours give
// 1..7, "Color N" gives N; -1 for an entry outside 0..39 or a name that gives
// no index 0..256.
int paletteColorIndex(int entry);

// The colour index a palette name stands for, -1 when none (tested apart so
// that a bad name in the table cannot slip through).
int colorIndexFromName(const std::string& name);

// The entry drawn as chosen when the popup opens with initial colour c: -3
// for the default marker (with a default box), the first swatch showing c,
// -2 for the custom marker (with a custom box), else -1.
int initialPaletteEntry(std::uint32_t c, bool hasDefaultBox, bool hasCustomBox);

// The popup's initial colour for a remembered colour choice of the toolbar:
// an index 0..256 as the host displays it (as a Windows colour value), the
// default entry (-3) as the default marker, anything else (nothing chosen
// yet) as a value that marks no entry.
std::uint32_t initialColorFromRemembered(int remembered);
