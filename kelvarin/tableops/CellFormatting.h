#pragma once
// Cell formatting: the ten border styles, text colour, fill and alignment on
// the selected cells. The toolbar's buttons and drop-downs and the floating
// pickers all apply their choices through these.

#include "TablePick.h"

// Border styles, by index.
inline constexpr int kBorderStyleCount = 10;
extern const char* const kBorderStyleNames[kBorderStyleCount];
// Alignments, by index (host value = index + 1).
inline constexpr int kAlignmentCount = 9;
extern const char* const kAlignmentNames[kAlignmentCount];

// The colour a remembered value stands for: an index 0..256 as it is; the
// default entry (-3) as ByBlock (0) for edges; anything else (nothing chosen
// yet) leaves the colour as a new colour object has it.
AcCmColor colorFromRemembered(int value);

// Writes the style's edges on every cell of the range, each edge with the
// colour and line weight; false (nothing written) for a style outside 0..9.
bool applyBorderStyle(AcDbTable* table, int rowMin, int rowMax, int colMin, int colMax, int style,
                      const AcCmColor& color, int lineWeight);

// The same on the selected cells of the picked table (TableOperationFrame);
// false when no table carries a selection.
bool formatSelectionBorders(int style, const AcCmColor& color, int lineWeight);
bool formatSelectionAlignment(int alignmentValue);
bool formatSelectionTextColor(const AcCmColor& color);
// none: the fill is removed; otherwise it is switched on in color.
bool formatSelectionFill(bool none, const AcCmColor& color);
