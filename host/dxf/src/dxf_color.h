#pragma once
// Colours in group codes: a 16-bit colour number (62, 63, 64 ...) with
// 0 ByBlock, 1..255 the colour index, 256 ByLayer, 257 none; true colours add
// their packed 0xRRGGBB value (code 420 on entities and layers).

#include "acdb/color.h"

#include <cstdint>

namespace acdxf {

// The colour number to write; a true colour writes its nearest index.
int colorNumber(const AcCmColor& c);
// The packed RGB value of a true colour, -1 for any other colour.
std::int32_t trueColorValue(const AcCmColor& c);

// The colour a colour number stands for (negative numbers, layers that are
// off, give the same colour as their absolute value).
AcCmColor colorFromNumber(int number);
AcCmColor colorFromTrueColor(std::int64_t packed);

} // namespace acdxf
