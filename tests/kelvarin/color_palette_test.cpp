// The colour palette: every entry's host colour index, the name rule, and
// which entry the popup marks for an initial colour.
#include "controls/ColorPalette.h"

#include <gtest/gtest.h>

TEST(ColorPalette, EveryEntryGivesItsColourIndex) {
    const int expected[kPaletteColorCount] = {18,  22,  58,  98,  146, 174, 175, 250, 14,  32,
                                              54,  94,  134, 5,   163, 8,   1,   30,  52,  115,
                                              133, 150, 214, 252, 6,   40,  2,   3,   4,   140,
                                              235, 9,   231, 31,  51,  71,  131, 151, 191, 7};
    for (int e = 0; e < kPaletteColorCount; ++e)
        EXPECT_EQ(paletteColorIndex(e), expected[e]) << colorPalette[e].name;
    EXPECT_EQ(paletteColorIndex(-1), -1);
    EXPECT_EQ(paletteColorIndex(40), -1);
}

TEST(ColorPalette, NamesToIndices) {
    EXPECT_EQ(colorIndexFromName("RED"), 1);
    EXPECT_EQ(colorIndexFromName("white"), 7);
    EXPECT_EQ(colorIndexFromName("Color 256"), 256);
    EXPECT_EQ(colorIndexFromName("Color 0"), 0);
    EXPECT_EQ(colorIndexFromName("Color 257"), -1);
    EXPECT_EQ(colorIndexFromName("Color -4"), -1);
    EXPECT_EQ(colorIndexFromName("Color 12abc"), 12);
    EXPECT_EQ(colorIndexFromName("Color 99999999999999999999"), -1);
    EXPECT_EQ(colorIndexFromName("Color x"), -1);
    EXPECT_EQ(colorIndexFromName("Black"), -1);
    EXPECT_EQ(colorIndexFromName("Redder"), -1);
}

TEST(ColorPalette, DisplayColoursAreWindowsValues) {
    EXPECT_EQ(colorPalette[16].color, 0x0000FFu); // Red: red in the low byte
    EXPECT_EQ(colorPalette[13].color, 0xFF0000u); // Blue
    EXPECT_EQ(colorPalette[33].color, windowsRgb(210, 191, 127));
}

TEST(ColorPalette, InitialEntry) {
    EXPECT_EQ(initialPaletteEntry(windowsRgb(255, 0, 0), true, true), 16);
    EXPECT_EQ(initialPaletteEntry(kInitialDefaultEntry, true, true), -3);
    EXPECT_EQ(initialPaletteEntry(kInitialDefaultEntry, false, true), -1);
    EXPECT_EQ(initialPaletteEntry(kInitialCustomEntry, true, true), -2);
    EXPECT_EQ(initialPaletteEntry(kInitialCustomEntry, true, false), -1);
    EXPECT_EQ(initialPaletteEntry(windowsRgb(1, 2, 3), true, true), -1);
    EXPECT_EQ(initialPaletteEntry(windowsRgb(255, 255, 255), false, false), 39);
}
