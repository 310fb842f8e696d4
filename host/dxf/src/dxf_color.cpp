#include "dxf_color.h"

#include <cstdlib>

namespace acdxf {

int colorNumber(const AcCmColor& c) {
    switch (c.colorMethod()) {
    case AcCmEntityColor::kByLayer:
        return 256;
    case AcCmEntityColor::kByBlock:
        return 0;
    case AcCmEntityColor::kNone:
        return 257;
    case AcCmEntityColor::kByColor:
        return acdbNearestColorIndex(c.rgb());
    default:
        return c.colorIndex();
    }
}

std::int32_t trueColorValue(const AcCmColor& c) {
    if (!c.isByColor())
        return -1;
    AcCmRgb rgb = c.rgb();
    return (std::int32_t(rgb.red) << 16) | (std::int32_t(rgb.green) << 8) | rgb.blue;
}

AcCmColor colorFromNumber(int number) {
    number = std::abs(number);
    if (number > 0xFFFF)
        number = 256;
    AcCmColor c;
    c.setColorIndex(static_cast<std::uint16_t>(number));
    return c;
}

AcCmColor colorFromTrueColor(std::int64_t packed) {
    return AcCmColor::fromRgb(static_cast<std::uint8_t>((packed >> 16) & 0xFF),
                              static_cast<std::uint8_t>((packed >> 8) & 0xFF),
                              static_cast<std::uint8_t>(packed & 0xFF));
}

} // namespace acdxf
