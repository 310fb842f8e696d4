#include "acdb/color.h"

#include <array>
#include <cmath>
#include <limits>

namespace {
// The standard colour-index table: 1..9 fixed colours, 10..249 twenty-four
// hues in five shades at full and half saturation, 250..255 greys.
std::array<AcCmRgb, 256> buildIndexTable() {
    std::array<AcCmRgb, 256> t{};
    const AcCmRgb fixed[10] = {{0, 0, 0},       {255, 0, 0},    {255, 255, 0}, {0, 255, 0},
                               {0, 255, 255},   {0, 0, 255},    {255, 0, 255}, {255, 255, 255},
                               {128, 128, 128}, {192, 192, 192}};
    for (int i = 0; i < 10; ++i)
        t[i] = fixed[i];
    const double shade[5] = {1.0, 0.8, 0.6, 0.5, 0.3};
    for (int i = 10; i < 250; ++i) {
        double hue = (i - 10) / 10 * 15.0;
        double sector = hue / 60.0;
        int s = static_cast<int>(sector);
        double f = sector - s;
        double rgb[3];
        double up = 255.0 * f, down = 255.0 * (1 - f);
        switch (s) {
        case 0:
            rgb[0] = 255, rgb[1] = up, rgb[2] = 0;
            break;
        case 1:
            rgb[0] = down, rgb[1] = 255, rgb[2] = 0;
            break;
        case 2:
            rgb[0] = 0, rgb[1] = 255, rgb[2] = up;
            break;
        case 3:
            rgb[0] = 0, rgb[1] = down, rgb[2] = 255;
            break;
        case 4:
            rgb[0] = up, rgb[1] = 0, rgb[2] = 255;
            break;
        default:
            rgb[0] = 255, rgb[1] = 0, rgb[2] = down;
            break;
        }
        int within = (i - 10) % 10;
        bool half = within % 2 == 1;
        double level = shade[within / 2];
        std::uint8_t out[3];
        for (int c = 0; c < 3; ++c) {
            double v = half ? rgb[c] + (255.0 - rgb[c]) / 2 : rgb[c];
            out[c] = static_cast<std::uint8_t>(std::floor(v * level + 1e-9));
        }
        t[i] = {out[0], out[1], out[2]};
    }
    const std::uint8_t greys[6] = {51, 91, 132, 173, 214, 255};
    for (int i = 0; i < 6; ++i)
        t[250 + i] = {greys[i], greys[i], greys[i]};
    return t;
}

const std::array<AcCmRgb, 256>& indexTable() {
    static const auto table = buildIndexTable();
    return table;
}
} // namespace

AcCmRgb acdbColorIndexRgb(int index) {
    if (index < 0 || index > 255)
        return {255, 255, 255};
    return indexTable()[index];
}

unsigned long acedGetRGB(int colorIndex) {
    AcCmRgb c = acdbColorIndexRgb(colorIndex);
    return (static_cast<unsigned long>(c.red) << 16) | (static_cast<unsigned long>(c.green) << 8) |
           c.blue;
}

int acdbNearestColorIndex(AcCmRgb rgb) {
    int best = 7;
    long bestDist = std::numeric_limits<long>::max();
    for (int i = 1; i < 256; ++i) {
        AcCmRgb c = indexTable()[i];
        long dr = c.red - rgb.red, dg = c.green - rgb.green, db = c.blue - rgb.blue;
        long d = dr * dr + dg * dg + db * db;
        if (d < bestDist) {
            bestDist = d;
            best = i;
        }
    }
    return best;
}

AcCmColor AcCmColor::byLayer() {
    return AcCmColor();
}

AcCmColor AcCmColor::byBlock() {
    AcCmColor c;
    c.setColorIndex(0);
    return c;
}

AcCmColor AcCmColor::fromIndex(std::uint16_t index) {
    AcCmColor c;
    c.setColorIndex(index);
    return c;
}

AcCmColor AcCmColor::fromRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    AcCmColor c;
    c.setRGB(r, g, b);
    return c;
}

AcCmColor AcCmColor::none() {
    AcCmColor c;
    c.m_method = AcCmEntityColor::kNone;
    c.m_index = 257;
    return c;
}

void AcCmColor::setColorIndex(std::uint16_t index) {
    // Only 0..256 name a colour; anything else (65535 is "nothing chosen")
    // would reach drawings as a colour number no reader accepts.
    if (index > 256)
        return;
    m_index = index;
    m_rgb = {};
    if (index == 0)
        m_method = AcCmEntityColor::kByBlock;
    else if (index == 256)
        m_method = AcCmEntityColor::kByLayer;
    else {
        m_method = AcCmEntityColor::kByACI;
        m_rgb = acdbColorIndexRgb(index);
    }
}

std::uint16_t AcCmColor::colorIndex() const {
    switch (m_method) {
    case AcCmEntityColor::kByLayer:
        return 256;
    case AcCmEntityColor::kByBlock:
        return 0;
    case AcCmEntityColor::kNone:
        return 257;
    case AcCmEntityColor::kByColor:
        return static_cast<std::uint16_t>(acdbNearestColorIndex(m_rgb));
    default:
        return m_index;
    }
}

void AcCmColor::setRGB(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    m_method = AcCmEntityColor::kByColor;
    m_rgb = {r, g, b};
    m_index = 0;
}

AcCmRgb AcCmColor::resolvedRgb(AcCmRgb fallback) const {
    switch (m_method) {
    case AcCmEntityColor::kByACI:
    case AcCmEntityColor::kByColor:
        return m_rgb;
    default:
        return fallback;
    }
}
