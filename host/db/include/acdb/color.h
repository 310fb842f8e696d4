#pragma once
// AcCmColor: ByLayer, ByBlock, an index of the 256-colour table, a true colour
// or none; and the standard colour-index table.

#include <cstdint>

namespace AcCmEntityColor {
enum ColorMethod : std::uint8_t {
    kByLayer = 0xC0,
    kByBlock = 0xC1,
    kByColor = 0xC2,
    kByACI = 0xC3,
    kNone = 0xC8,
};
}

struct AcCmRgb {
    std::uint8_t red = 0, green = 0, blue = 0;
    bool operator==(const AcCmRgb&) const = default;
};

class AcCmColor {
public:
    AcCmColor() = default; // ByLayer
    static AcCmColor byLayer();
    static AcCmColor byBlock();
    static AcCmColor fromIndex(std::uint16_t index);
    static AcCmColor fromRgb(std::uint8_t r, std::uint8_t g, std::uint8_t b);
    static AcCmColor none();

    AcCmEntityColor::ColorMethod colorMethod() const { return m_method; }
    // Index 0 is ByBlock, 256 ByLayer; an index above 256 leaves the colour
    // as it was (none is made with none()).
    void setColorIndex(std::uint16_t index);
    std::uint16_t colorIndex() const;
    void setRGB(std::uint8_t r, std::uint8_t g, std::uint8_t b);
    AcCmRgb rgb() const { return m_rgb; }
    bool isByLayer() const { return m_method == AcCmEntityColor::kByLayer; }
    bool isByBlock() const { return m_method == AcCmEntityColor::kByBlock; }
    bool isByACI() const { return m_method == AcCmEntityColor::kByACI; }
    bool isByColor() const { return m_method == AcCmEntityColor::kByColor; }
    bool isNone() const { return m_method == AcCmEntityColor::kNone; }
    // The colour to draw with; ByLayer/ByBlock resolve to the given fallback.
    AcCmRgb resolvedRgb(AcCmRgb byLayerOrBlock = {255, 255, 255}) const;
    // Inline: the picture compares colours once per grid segment.
    bool operator==(const AcCmColor& o) const {
        if (m_method != o.m_method)
            return false;
        if (m_method == AcCmEntityColor::kByACI)
            return m_index == o.m_index;
        if (m_method == AcCmEntityColor::kByColor)
            return m_rgb == o.m_rgb;
        return true;
    }

private:
    AcCmEntityColor::ColorMethod m_method = AcCmEntityColor::kByLayer;
    std::uint16_t m_index = 256;
    AcCmRgb m_rgb{};
};

// RGB of a colour index (0..255) from the standard table; out-of-range gives white.
AcCmRgb acdbColorIndexRgb(int index);
// Packed 0x00RRGGBB, the form acedGetRGB answers.
unsigned long acedGetRGB(int colorIndex);
// An RGB value packed as 0x00RRGGBB, as acedGetRGB packs it.
inline unsigned long acdbPackRgb(AcCmRgb rgb) {
    return (static_cast<unsigned long>(rgb.red) << 16) |
           (static_cast<unsigned long>(rgb.green) << 8) | rgb.blue;
}
// Nearest colour index (1..255) of an RGB value.
int acdbNearestColorIndex(AcCmRgb rgb);
