#include "controls/ColorPalette.h"

#include "acdb/color.h"

#include <cctype>
#include <cstdlib>

const PaletteColor colorPalette[kPaletteColorCount] = {
    {windowsRgb(76, 0, 0), "Color 18"},       {windowsRgb(204, 51, 0), "Color 22"},
    {windowsRgb(76, 76, 0), "Color 58"},      {windowsRgb(0, 76, 0), "Color 98"},
    {windowsRgb(0, 95, 127), "Color 146"},    {windowsRgb(0, 0, 153), "Color 174"},
    {windowsRgb(76, 76, 153), "Color 175"},   {windowsRgb(51, 51, 51), "Color 250"},
    {windowsRgb(153, 0, 0), "Color 14"},      {windowsRgb(204, 102, 0), "Color 32"},
    {windowsRgb(153, 153, 0), "Color 54"},    {windowsRgb(0, 153, 0), "Color 94"},
    {windowsRgb(0, 153, 153), "Color 134"},   {windowsRgb(0, 0, 255), "Blue"},
    {windowsRgb(102, 127, 204), "Color 163"}, {windowsRgb(128, 128, 128), "Color 8"},
    {windowsRgb(255, 0, 0), "Red"},           {windowsRgb(255, 127, 0), "Color 30"},
    {windowsRgb(204, 204, 0), "Color 52"},    {windowsRgb(76, 153, 114), "Color 115"},
    {windowsRgb(102, 204, 204), "Color 133"}, {windowsRgb(0, 127, 255), "Color 150"},
    {windowsRgb(153, 0, 153), "Color 214"},   {windowsRgb(132, 132, 132), "Color 252"},
    {windowsRgb(255, 0, 255), "Magenta"},     {windowsRgb(255, 191, 0), "Color 40"},
    {windowsRgb(255, 255, 0), "Yellow"},      {windowsRgb(0, 255, 0), "Green"},
    {windowsRgb(0, 255, 255), "Cyan"},        {windowsRgb(0, 191, 255), "Color 140"},
    {windowsRgb(153, 76, 114), "Color 235"},  {windowsRgb(192, 192, 192), "Color 9"},
    {windowsRgb(255, 127, 191), "Color 231"}, {windowsRgb(210, 191, 127), "Color 31"},
    {windowsRgb(255, 255, 127), "Color 51"},  {windowsRgb(191, 255, 127), "Color 71"},
    {windowsRgb(127, 255, 255), "Color 131"}, {windowsRgb(127, 191, 255), "Color 151"},
    {windowsRgb(191, 127, 255), "Color 191"}, {windowsRgb(255, 255, 255), "White"},
};

namespace {

bool equalsIgnoringCase(const std::string& a, const char* b) {
    std::size_t i = 0;
    for (; i < a.size() && b[i]; ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return i == a.size() && !b[i];
}

} // namespace

int colorIndexFromName(const std::string& name) {
    static const char* const named[] = {"Red",  "Yellow",  "Green", "Cyan",
                                        "Blue", "Magenta", "White"};
    for (int n = 0; n < 7; ++n)
        if (equalsIgnoringCase(name, named[n]))
            return n + 1;
    // "Color N": the leading decimal number after the first six characters,
    // read as strtol reads it (a huge number saturates and is refused below).
    // No number at all gives no index rather than 0, which would be ByBlock.
    constexpr std::size_t prefix = 6;
    if (name.size() <= prefix)
        return -1;
    const char* digits = name.c_str() + prefix;
    char* end = nullptr;
    const long value = std::strtol(digits, &end, 10);
    if (end == digits)
        return -1;
    return value >= 0 && value <= 256 ? static_cast<int>(value) : -1;
}

int paletteColorIndex(int entry) {
    if (entry < 0 || entry >= kPaletteColorCount)
        return -1;
    return colorIndexFromName(colorPalette[entry].name);
}

int initialPaletteEntry(std::uint32_t c, bool hasDefaultBox, bool hasCustomBox) {
    if (c == kInitialDefaultEntry && hasDefaultBox)
        return -3;
    for (int e = 0; e < kPaletteColorCount; ++e)
        if (colorPalette[e].color == c)
            return e;
    if (c == kInitialCustomEntry && hasCustomBox)
        return -2;
    return -1;
}

std::uint32_t initialColorFromRemembered(int remembered) {
    if (remembered >= 0 && remembered <= 256) {
        const unsigned long rgb = acedGetRGB(remembered); // 0x00RRGGBB
        return windowsRgb(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                          static_cast<int>(rgb & 0xFF));
    }
    if (remembered == -3)
        return kInitialDefaultEntry;
    // Neither a display colour (the high byte is set) nor a marker.
    return 0xFFFFFFFFu;
}
