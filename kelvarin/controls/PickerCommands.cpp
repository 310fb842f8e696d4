#include "controls/PickerCommands.h"

#include "controls/ColorPalette.h"
#include "tableops/CellFormatting.h"

#include "acedads.h"

#include <cctype>

namespace {

bool sameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

} // namespace

PickerColorDialog hostPickerColorDialog() {
    return [](int& color) { return acedSetColorDialog(color, true, 256); };
}

bool applyPickerColor(const std::string& title, int colorIndex, bool isDefault) {
    if (colorIndex < 0 || colorIndex > 256)
        return false;
    AcCmColor color;
    color.setColorIndex(static_cast<std::uint16_t>(colorIndex));
    if (sameIgnoringCase(title, "Font Color"))
        return formatSelectionTextColor(color);
    if (sameIgnoringCase(title, "Shade Color"))
        return formatSelectionFill(isDefault, color);
    return false;
}

bool runPickerCommand(const std::string& title, int id, const PickerColorDialog& dialog) {
    if (id == kPickerByBlockId)
        return applyPickerColor(title, 0, true);
    if (id == kPickerMoreColorsId) {
        int color = 0;
        if (!dialog || dialog(color) != 1)
            return false;
        return applyPickerColor(title, color, false);
    }
    if (id >= kPickerFirstSwatchId && id <= kPickerLastSwatchId) {
        const int index = paletteColorIndex(id - kPickerFirstSwatchId);
        return index >= 0 && index <= 256 && applyPickerColor(title, index, false);
    }
    return false;
}
