#pragma once
// What a floating colour picker's buttons do, without its window: the
// command ids of template 200 and applying a colour to the selected cells
// of the picked table.

#include <functional>
#include <string>

inline constexpr int kPickerByBlockId = 200;
inline constexpr int kPickerMoreColorsId = 201;
inline constexpr int kPickerFirstSwatchId = 202; // + palette entry
inline constexpr int kPickerLastSwatchId = 241;
inline constexpr int kPickerTitleStripId = 1001;

// The host colour dialog: answers 1 when accepted, with the chosen index in
// color (ByBlock and ByLayer allowed).
using PickerColorDialog = std::function<int(int& color)>;
PickerColorDialog hostPickerColorDialog();

// Applies a colour index to the selected cells as the picker titled so does
// (titles compared ignoring case): "Font Color" sets the text colour; "Shade
// Color" removes the fill when isDefault, else switches it on in the colour.
// Nothing happens (false) for another title or an index outside 0..256;
// false too when no table carries a selection (the table frame says so).
bool applyPickerColor(const std::string& title, int colorIndex, bool isDefault);

// The work of picker command id: "ByBlock" applies index 0 as the default,
// "More Colors..." asks the dialog first, a swatch applies its colour index.
// False when nothing was applied (cancelled dialog, a swatch without index,
// an unknown id).
bool runPickerCommand(const std::string& title, int id, const PickerColorDialog& dialog);
