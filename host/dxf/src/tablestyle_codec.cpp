#include "tablestyle_codec.h"

#include "dxf_color.h"
#include "dxf_values.h"
#include "entity_codecs.h"
#include "host_xdata.h"

#include <bitset>

namespace acdxf {

namespace {

constexpr AcDb::RowType kFileOrder[3] = {AcDb::kDataRow, AcDb::kTitleRow, AcDb::kHeaderRow};

// True-colour properties of a style's cell format.
enum { kTcText = 0, kTcFill = 1, kTcGrid0 = 2 };

void writeColor(DxfWriter& w, int code, const AcCmColor& c, int group, int property,
                std::vector<TrueColorEntry>& trueColors) {
    w.integer(code, colorNumber(c));
    if (std::int32_t rgb = trueColorValue(c); rgb >= 0)
        trueColors.push_back({group, -1, property, rgb});
}

bool isFormatCode(int code) {
    return code == 7 || code == 140 || code == 170 || code == 62 || code == 63 || code == 283 ||
           code == 90 || code == 91 || code == 1 || (code >= 274 && code <= 279) ||
           (code >= 284 && code <= 289) || (code >= 64 && code <= 69);
}

// Slot of a format code in the "seen" set of one group.
std::size_t slotOf(int code) {
    if (code >= 274 && code <= 279)
        return 20 + static_cast<std::size_t>(code - 274);
    if (code >= 284 && code <= 289)
        return 30 + static_cast<std::size_t>(code - 284);
    if (code >= 64 && code <= 69)
        return 40 + static_cast<std::size_t>(code - 64);
    switch (code) {
    case 7:
        return 0;
    case 140:
        return 1;
    case 170:
        return 2;
    case 62:
        return 3;
    case 63:
        return 4;
    case 283:
        return 5;
    case 90:
        return 6;
    case 91:
        return 7;
    default:
        return 8;
    }
}

void readFormatCode(AcDbCellFormat& f, const DxfToken& t, ReadContext& ctx) {
    int code = t.code;
    if (code >= 274 && code <= 279) {
        int lw = toInt(t);
        if (AcDb::isValidLineWeight(lw))
            f.grid[code - 274].lineWeight = static_cast<AcDb::LineWeight>(lw);
    } else if (code >= 284 && code <= 289) {
        f.grid[code - 284].visibility = toInt(t) != 0 ? AcDb::kVisible : AcDb::kInvisible;
    } else if (code >= 64 && code <= 69) {
        f.grid[code - 64].color = colorFromNumber(toInt(t));
    } else if (code == 7) {
        f.textStyle = findTextStyle(ctx, ctx.text(t.value));
    } else if (code == 140) {
        if (double h = toReal(t); h > 0)
            f.textHeight = h;
    } else if (code == 170) {
        int a = toInt(t);
        if (a >= AcDb::kTopLeft && a <= AcDb::kBottomRight)
            f.alignment = static_cast<AcDb::CellAlignment>(a);
    } else if (code == 62) {
        f.textColor = colorFromNumber(toInt(t));
    } else if (code == 63) {
        f.fillColor = colorFromNumber(toInt(t));
    } else if (code == 283) {
        f.fillNone = toInt(t) == 0;
    }
}

} // namespace

void writeTableStyle(DxfWriter& w, const AcDbTableStyle& s, AcDbHandle handle, AcDbHandle owner) {
    writeOwnedObjectStart(w, "TABLESTYLE", handle, owner, "AcDbTableStyle");
    w.integer(280, 0);
    w.text(3, s.description());
    w.integer(70, s.flowDirection());
    w.integer(71, 0);
    w.real(40, s.horzCellMargin());
    w.real(41, s.vertCellMargin());
    w.integer(280, s.isTitleSuppressed() ? 1 : 0);
    w.integer(281, s.isHeaderSuppressed() ? 1 : 0);
    std::vector<TrueColorEntry> trueColors;
    for (int g = 0; g < 3; ++g) {
        const AcDbCellFormat& f = s.cellFormat(kFileOrder[g]);
        if (std::string name = textStyleName(f.textStyle); !name.empty())
            w.text(7, name);
        w.real(140, f.textHeight);
        w.integer(170, f.alignment);
        writeColor(w, 62, f.textColor, g, kTcText, trueColors);
        writeColor(w, 63, f.fillColor, g, kTcFill, trueColors);
        w.integer(283, f.fillNone ? 0 : 1);
        for (int i = 0; i < 6; ++i)
            w.integer(274 + i, f.grid[i].lineWeight);
        for (int i = 0; i < 6; ++i)
            w.integer(284 + i, f.grid[i].visibility == AcDb::kVisible ? 1 : 0);
        for (int i = 0; i < 6; ++i)
            writeColor(w, 64 + i, f.grid[i].color, g, kTcGrid0 + i, trueColors);
    }
    writeTrueColorXdata(w, trueColors);
}

std::unique_ptr<AcDbTableStyle> readTableStyle(const DxfRecord& r, ReadContext& ctx) {
    auto style = std::make_unique<AcDbTableStyle>();
    AcDbCellFormat formats[3] = {style->cellFormat(kFileOrder[0]), style->cellFormat(kFileOrder[1]),
                                 style->cellFormat(kFileOrder[2])};
    int group = -1;
    std::bitset<64> seen;
    int count280 = 0;
    bool inStyle = false;
    for (const DxfToken& t : r.body) {
        if (t.code == 100) {
            inStyle = t.value == "AcDbTableStyle";
            continue;
        }
        if (!inStyle && t.code != 3)
            continue;
        if (isFormatCode(t.code)) {
            std::size_t slot = slotOf(t.code);
            if (group < 0 || seen.test(slot) || (t.code == 7 && seen.any())) {
                ++group;
                seen.reset();
            }
            seen.set(slot);
            if (group < 3)
                readFormatCode(formats[group], t, ctx);
            continue;
        }
        switch (t.code) {
        case 3:
            style->setDescription(ctx.text(t.value));
            break;
        case 70:
            style->setFlowDirection(toInt(t) == 1 ? AcDb::kBtoT : AcDb::kTtoB);
            break;
        case 40:
            if (double m = toReal(t); m >= 0)
                style->setHorzCellMargin(m);
            break;
        case 41:
            if (double m = toReal(t); m >= 0)
                style->setVertCellMargin(m);
            break;
        case 280:
            // The first 280 is the version, the second the suppressed title.
            if (++count280 == 2)
                style->suppressTitleRow(toInt(t) != 0);
            break;
        case 281:
            style->suppressHeaderRow(toInt(t) != 0);
            break;
        default:
            break;
        }
    }
    for (const TrueColorEntry& tc : readTrueColorXdata(r)) {
        if (tc.where < 0 || tc.where > 2)
            continue;
        AcDbCellFormat& f = formats[tc.where];
        AcCmColor c = colorFromTrueColor(tc.rgb);
        if (tc.property == kTcText)
            f.textColor = c;
        else if (tc.property == kTcFill)
            f.fillColor = c;
        else if (tc.property >= kTcGrid0 && tc.property < kTcGrid0 + 6)
            f.grid[tc.property - kTcGrid0].color = c;
    }
    for (int g = 0; g < 3; ++g)
        style->setCellFormat(kFileOrder[g], formats[g]);
    return style;
}

} // namespace acdxf
