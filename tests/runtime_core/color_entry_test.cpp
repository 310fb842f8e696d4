// The colour dialog's index box and palette layout, and acedSetColorDialog
// over the headless default and installed colour dialog services.
#include "runtime_fixture.h"

#include "cadhost/color_entry.h"
#include "cadhost/ui_services.h"

#include <set>
#include <tuple>

namespace cadhost::test {
namespace {

TEST(ColorEntryTest, IndexBoxReadsNumbersAndMetaWords) {
    EXPECT_EQ(parseColorEntry("1", false).index, 1);
    EXPECT_EQ(parseColorEntry(" 255 ", false).index, 255);
    EXPECT_EQ(parseColorEntry("bylayer", true).index, kByLayerIndex);
    EXPECT_EQ(parseColorEntry("BYBLOCK", true).index, kByBlockIndex);
    EXPECT_EQ(parseColorEntry("0", true).index, kByBlockIndex);
    EXPECT_EQ(parseColorEntry("256", true).index, kByLayerIndex);
    // The box shows what it reads back.
    for (int index : {0, 7, 256})
        EXPECT_EQ(parseColorEntry(colorEntryText(index), true).index, index);
}

TEST(ColorEntryTest, IndexBoxRefusesWhatCannotBeStored) {
    for (const char* bad : {"", "  ", "0", "256", "ByLayer", "-1", "300", "12a", "1.5", "+5",
                            "99999999999999999999"}) {
        const ColorEntry entry = parseColorEntry(bad, false);
        EXPECT_FALSE(entry.index) << bad;
        EXPECT_NE(entry.problem.find("from 1 to 255"), std::string::npos) << bad;
    }
    const ColorEntry meta = parseColorEntry("257", true);
    EXPECT_FALSE(meta.index);
    EXPECT_EQ(meta.problem, "\"257\" is not a color index. Enter a color index from 1 to 255, "
                            "ByLayer or ByBlock.");
}

TEST(ColorEntryTest, PaletteHoldsEveryIndexOnceAndFindsItBack) {
    std::set<std::tuple<int, int, int>> cells;
    int perSection[3] = {};
    for (int index = 1; index <= 255; ++index) {
        const std::optional<PaletteCell> cell = paletteCellOf(index);
        ASSERT_TRUE(cell) << index;
        EXPECT_EQ(paletteIndexAt(*cell), index);
        cells.emplace(static_cast<int>(cell->section), cell->row, cell->column);
        ++perSection[static_cast<int>(cell->section)];
        if (cell->section == PaletteSection::Hues) {
            EXPECT_LT(cell->row, kHueRows);
            EXPECT_LT(cell->column, kHueColumns);
        }
    }
    EXPECT_EQ(cells.size(), 255u);
    EXPECT_EQ(perSection[0], 9);
    EXPECT_EQ(perSection[1], 240);
    EXPECT_EQ(perSection[2], 6);
    // One hue a column, its brightest shade on top.
    EXPECT_EQ(paletteIndexAt({PaletteSection::Hues, 0, 0}), 10);
    EXPECT_EQ(paletteIndexAt({PaletteSection::Hues, 5, 23}), 241);
    for (int outside : {0, 256, -3})
        EXPECT_FALSE(paletteCellOf(outside));
    EXPECT_FALSE(paletteIndexAt({PaletteSection::Standard, 0, 9}));
    EXPECT_FALSE(paletteIndexAt({PaletteSection::Hues, 10, 0}));
    EXPECT_FALSE(paletteIndexAt({PaletteSection::Greys, 0, 6}));
}

class ColorDialogCallTest : public RuntimeTest {};

struct ChosenColor : ColorDialogService {
    std::optional<int> answer;
    ColorDialogRequest seen;
    std::optional<int> chooseColor(const ColorDialogRequest& r) override {
        seen = r;
        return answer;
    }
};

TEST_F(ColorDialogCallTest, WithoutUserInterfaceItCancels) {
    int color = 5;
    EXPECT_EQ(acedSetColorDialog(color, true, 256), 0);
    EXPECT_EQ(color, 5);
    EXPECT_NE(log().find("[Color dialog] Select Color"), std::string::npos);
}

TEST_F(ColorDialogCallTest, AcceptedIndicesReturnAndOthersCountAsCancelled) {
    ChosenColor dialogs;
    UiServices::install(&dialogs);
    int color = 0;
    dialogs.answer = 256;
    EXPECT_EQ(acedSetColorDialog(color, true, 3), 1);
    EXPECT_EQ(color, 256);
    EXPECT_EQ(dialogs.seen.color, 0);
    EXPECT_TRUE(dialogs.seen.allowMetaColor);
    EXPECT_EQ(dialogs.seen.currentLayerColor, 3);
    // A service answering what the caller could not store changes nothing.
    for (int bad : {0, 256, 300, -1}) {
        color = 7;
        dialogs.answer = bad;
        EXPECT_EQ(acedSetColorDialog(color, false, 256), 0) << bad;
        EXPECT_EQ(color, 7);
    }
    dialogs.answer.reset();
    EXPECT_EQ(acedSetColorDialog(color, true, 256), 0);
    EXPECT_EQ(color, 7);
    UiServices::resetToDefaults();
    EXPECT_EQ(acedSetColorDialog(color, true, 256), 0);
}

} // namespace
} // namespace cadhost::test
