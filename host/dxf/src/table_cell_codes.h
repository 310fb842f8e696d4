#pragma once
// Which cell properties a table cell overrides on its style: the cell's own
// as the bits of group code 177, the edges' (bits from 0x40 up, beyond the
// code's 16 bits) in this host's extended data; the reader's presence mask
// uses the same bits. Edges are
// numbered top 0, right 1, bottom 2, left 3; each has colour, line weight and
// visibility bits. Group codes of each edge property follow the DXF
// reference: colours 69/65/66/68, line weights 279/275/276/278, visibility
// 289/285/286/288.

#include "acdb/status.h"

namespace acdxf::cellbits {

constexpr unsigned kAlignment = 0x01;
constexpr unsigned kFillNone = 0x02;
constexpr unsigned kFillColor = 0x04;
constexpr unsigned kTextColor = 0x08;
constexpr unsigned kTextStyle = 0x10;
constexpr unsigned kTextHeight = 0x20;
// The cell's own bits: all that code 177 carries when written.
constexpr unsigned kCellBitsMask = 0x3F;

constexpr unsigned edgeColor(int edge) {
    return 0x40u << (3 * edge);
}
constexpr unsigned edgeLineWeight(int edge) {
    return 0x80u << (3 * edge);
}
constexpr unsigned edgeVisibility(int edge) {
    return 0x100u << (3 * edge);
}

constexpr AcDb::CellEdgeMask kEdgeMasks[4] = {AcDb::kTopMask, AcDb::kRightMask, AcDb::kBottomMask,
                                              AcDb::kLeftMask};
constexpr int kEdgeColorCodes[4] = {69, 65, 66, 68};
constexpr int kEdgeLineWeightCodes[4] = {279, 275, 276, 278};
constexpr int kEdgeVisibilityCodes[4] = {289, 285, 286, 288};

} // namespace acdxf::cellbits
