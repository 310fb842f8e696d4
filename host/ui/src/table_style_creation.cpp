#include "hostui/table_style_creation.h"

#include "acdb/database.h"
#include "acdb/dictionary.h"
#include "acdb/tablestyle.h"

#include <cctype>
#include <cmath>

namespace hostui {

std::optional<AcDb::CellAlignment> alignmentFromKeyword(const std::string& word) {
    std::string upper = word;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    int value = 1;
    for (const char* keyword : kAlignmentKeywords) {
        if (upper == keyword)
            return static_cast<AcDb::CellAlignment>(value);
        ++value;
    }
    return std::nullopt;
}

std::optional<std::string> validateTableStyle(const TableStyleSpec& spec) {
    if (spec.name.empty())
        return "A table style needs a name.";
    // The characters symbol names refuse; a DXF group value ends at a line.
    for (char c : spec.name)
        if (std::string_view("<>/\\\":;?*|,=`").find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) < 0x20)
            return "The name \"" + spec.name + "\" has a character a style name may not have.";
    if (!std::isfinite(spec.textHeight) || spec.textHeight <= 0)
        return "The text height must be positive.";
    if (spec.textColorIndex < 0 || spec.textColorIndex > 256)
        return "The text colour must be a colour index from 0 to 256.";
    if (spec.fillColorIndex && (*spec.fillColorIndex < 1 || *spec.fillColorIndex > 255))
        return "The fill colour must be a colour index from 1 to 255.";
    if (spec.alignment < AcDb::kTopLeft || spec.alignment > AcDb::kBottomRight)
        return "The alignment must be one of the nine cell alignments.";
    return std::nullopt;
}

Acad::ErrorStatus createTableStyle(AcDbDatabase* db, const TableStyleSpec& spec,
                                   AcDbObjectId& styleId) {
    styleId = AcDbObjectId();
    if (!db || validateTableStyle(spec))
        return Acad::eInvalidInput;
    AcDbDictionary* styles = nullptr;
    if (Acad::ErrorStatus es = db->getTableStyleDictionary(styles, AcDb::kForWrite);
        es != Acad::eOk)
        return es;
    if (styles->has(spec.name)) {
        styles->close();
        return Acad::eDuplicateKey;
    }
    auto* style = new AcDbTableStyle;
    style->setName(spec.name);
    const int all = AcDb::kTitleRow | AcDb::kHeaderRow | AcDb::kDataRow;
    style->setTextStyle(db->textstyle(), all);
    const int data = AcDb::kDataRow;
    style->setTextHeight(spec.textHeight, data);
    style->setColor(spec.textColorIndex == 0     ? AcCmColor::byBlock()
                    : spec.textColorIndex == 256 ? AcCmColor::byLayer()
                                                 : AcCmColor::fromIndex(spec.textColorIndex),
                    data);
    if (spec.fillColorIndex) {
        style->setBackgroundColor(AcCmColor::fromIndex(*spec.fillColorIndex), data);
        style->setBackgroundColorNone(false, data);
    } else {
        style->setBackgroundColorNone(true, data);
    }
    style->setAlignment(spec.alignment, data);
    const Acad::ErrorStatus es = styles->setAt(spec.name, style, styleId);
    if (es == Acad::eOk)
        style->close();
    else
        delete style;
    styles->close();
    return es;
}

} // namespace hostui
