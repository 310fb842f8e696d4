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

std::optional<std::string> validateTableStyle(const TableStyleRequest& request) {
    if (request.name.empty())
        return "A table style needs a name.";
    // The characters symbol names refuse; a DXF group value ends at a line.
    for (char c : request.name)
        if (std::string_view("<>/\\\":;?*|,=`").find(c) != std::string_view::npos ||
            static_cast<unsigned char>(c) < 0x20)
            return "The name \"" + request.name + "\" has a character a style name may not have.";
    if (!std::isfinite(request.textHeight) || request.textHeight <= 0)
        return "The text height must be positive.";
    if (request.textColorIndex < 0 || request.textColorIndex > 256)
        return "The text colour must be a colour index from 0 to 256.";
    if (request.fillColorIndex && (*request.fillColorIndex < 1 || *request.fillColorIndex > 255))
        return "The fill colour must be a colour index from 1 to 255.";
    if (request.alignment < AcDb::kTopLeft || request.alignment > AcDb::kBottomRight)
        return "The alignment must be one of the nine cell alignments.";
    return std::nullopt;
}

Acad::ErrorStatus createTableStyle(AcDbDatabase* db, const TableStyleRequest& request,
                                   AcDbObjectId& styleId) {
    styleId = AcDbObjectId();
    if (!db || validateTableStyle(request))
        return Acad::eInvalidInput;
    AcDbDictionary* styles = nullptr;
    if (Acad::ErrorStatus es = db->getTableStyleDictionary(styles, AcDb::kForWrite);
        es != Acad::eOk)
        return es;
    if (styles->has(request.name)) {
        styles->close();
        return Acad::eDuplicateKey;
    }
    auto* style = new AcDbTableStyle;
    style->setName(request.name);
    const int all = AcDb::kTitleRow | AcDb::kHeaderRow | AcDb::kDataRow;
    style->setTextStyle(db->textstyle(), all);
    const int data = AcDb::kDataRow;
    style->setTextHeight(request.textHeight, data);
    style->setColor(request.textColorIndex == 0     ? AcCmColor::byBlock()
                    : request.textColorIndex == 256 ? AcCmColor::byLayer()
                                                    : AcCmColor::fromIndex(request.textColorIndex),
                    data);
    if (request.fillColorIndex) {
        style->setBackgroundColor(AcCmColor::fromIndex(*request.fillColorIndex), data);
        style->setBackgroundColorNone(false, data);
    } else {
        style->setBackgroundColorNone(true, data);
    }
    style->setAlignment(request.alignment, data);
    const Acad::ErrorStatus es = styles->setAt(request.name, style, styleId);
    if (es == Acad::eOk)
        style->close();
    else
        delete style;
    styles->close();
    return es;
}

} // namespace hostui
