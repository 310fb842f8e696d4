#include "dxf_color.h"

#include <cstdlib>

namespace acdxf {

// The colour number of a colour is its colour index as the database gives it;
// a number readers refuse (only 0..257 exist) is written as ByLayer.
int colorNumber(const AcCmColor& c) {
    const int number = c.colorIndex();
    return number >= 0 && number <= 257 ? number : 256;
}

std::int32_t trueColorValue(const AcCmColor& c) {
    return c.isByColor() ? static_cast<std::int32_t>(acdbPackRgb(c.rgb())) : -1;
}

AcCmColor colorFromNumber(int number) {
    number = std::abs(number);
    if (number == 257)
        return AcCmColor::none();
    if (number > 256)
        return AcCmColor::byLayer();
    return AcCmColor::fromIndex(static_cast<std::uint16_t>(number));
}

AcCmColor colorFromTrueColor(std::int64_t packed) {
    return AcCmColor::fromRgb(static_cast<std::uint8_t>((packed >> 16) & 0xFF),
                              static_cast<std::uint8_t>((packed >> 8) & 0xFF),
                              static_cast<std::uint8_t>(packed & 0xFF));
}

} // namespace acdxf
