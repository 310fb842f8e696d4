// Table styles: three cell formats (title, header, data) with their grid lines.

#include "acdb/tablestyle.h"

#include <cmath>

ACDB_DEFINE_MEMBERS(AcDbTableStyle, AcDbObject, "TABLESTYLE")

namespace {

constexpr int kAllRowTypes = AcDb::kTitleRow | AcDb::kHeaderRow | AcDb::kDataRow;
constexpr int kAllGridLines = AcDb::kHorzTop | AcDb::kHorzInside | AcDb::kHorzBottom |
                              AcDb::kVertLeft | AcDb::kVertInside | AcDb::kVertRight;

constexpr AcDb::RowType kRowTypes[] = {AcDb::kTitleRow, AcDb::kHeaderRow, AcDb::kDataRow};
constexpr AcDb::GridLineType kGridLines[] = {AcDb::kHorzTop,  AcDb::kHorzInside, AcDb::kHorzBottom,
                                             AcDb::kVertLeft, AcDb::kVertInside, AcDb::kVertRight};

// Index into the style's format array: title, header, data; -1 otherwise.
int formatIndex(AcDb::RowType rowType) {
    switch (rowType) {
    case AcDb::kTitleRow:
        return 0;
    case AcDb::kHeaderRow:
        return 1;
    case AcDb::kDataRow:
        return 2;
    default:
        return -1;
    }
}

bool validRowMask(int rowTypes) {
    return rowTypes != 0 && (rowTypes & ~kAllRowTypes) == 0;
}
bool validGridMask(int gridLines) {
    return gridLines != 0 && (gridLines & ~kAllGridLines) == 0;
}
bool validMargin(double m) {
    return std::isfinite(m) && m >= 0;
}
bool validTextHeight(double h) {
    return std::isfinite(h) && h > 0;
}
bool validAlignment(int a) {
    return a >= AcDb::kTopLeft && a <= AcDb::kBottomRight;
}
bool validVisibility(int v) {
    return v == AcDb::kVisible || v == AcDb::kInvisible;
}

bool validFormat(const AcDbCellFormat& f) {
    if (!validTextHeight(f.textHeight) || !validAlignment(f.alignment))
        return false;
    for (const AcDbGridFormat& g : f.grid)
        if (!validVisibility(g.visibility) || !AcDb::isValidLineWeight(g.lineWeight))
            return false;
    return true;
}

} // namespace

int acdbGridIndex(AcDb::GridLineType type) {
    for (int i = 0; i < 6; ++i)
        if (kGridLines[i] == type)
            return i;
    return -1;
}

AcDbTableStyle::AcDbTableStyle() {
    AcDbCellFormat& title = format(AcDb::kTitleRow);
    title.textHeight = 0.25;
    title.alignment = AcDb::kMiddleCenter;
    AcDbCellFormat& header = format(AcDb::kHeaderRow);
    header.textHeight = 0.18;
    header.alignment = AcDb::kMiddleCenter;
    AcDbCellFormat& data = format(AcDb::kDataRow);
    data.textHeight = 0.18;
    data.alignment = AcDb::kTopCenter;
}

AcDbCellFormat& AcDbTableStyle::format(AcDb::RowType rowType) {
    int i = formatIndex(rowType);
    return m_formats[i < 0 ? 2 : i];
}

const AcDbCellFormat& AcDbTableStyle::cellFormat(AcDb::RowType rowType) const {
    int i = formatIndex(rowType);
    return m_formats[i < 0 ? 2 : i];
}

Acad::ErrorStatus AcDbTableStyle::setName(const std::string& n) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (n.empty())
        return Acad::eInvalidInput;
    m_name = n;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setDescription(const std::string& d) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    m_description = d;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setFlowDirection(AcDb::FlowDirection f) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (f != AcDb::kTtoB && f != AcDb::kBtoT)
        return Acad::eInvalidInput;
    m_flow = f;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setHorzCellMargin(double m) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!validMargin(m))
        return Acad::eInvalidInput;
    m_horzMargin = m;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setVertCellMargin(double m) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!validMargin(m))
        return Acad::eInvalidInput;
    m_vertMargin = m;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::suppressTitleRow(bool s) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    m_titleSuppressed = s;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::suppressHeaderRow(bool s) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    m_headerSuppressed = s;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setCellFormat(AcDb::RowType rowType, const AcDbCellFormat& f) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (formatIndex(rowType) < 0 || !validFormat(f))
        return Acad::eInvalidInput;
    format(rowType) = f;
    return Acad::eOk;
}

namespace {

// Applies fn to the format of every row type named in the mask.
template <class Fn>
void forEachRowType(std::array<AcDbCellFormat, 3>& formats, int rowTypes, Fn fn) {
    for (AcDb::RowType t : kRowTypes)
        if (rowTypes & t)
            fn(formats[formatIndex(t)]);
}

// Applies fn to every grid format named by both masks.
template <class Fn>
void forEachGrid(std::array<AcDbCellFormat, 3>& formats, int gridLines, int rowTypes, Fn fn) {
    forEachRowType(formats, rowTypes, [&](AcDbCellFormat& f) {
        for (AcDb::GridLineType g : kGridLines)
            if (gridLines & g)
                fn(f.grid[acdbGridIndex(g)]);
    });
}

} // namespace

Acad::ErrorStatus AcDbTableStyle::setTextStyle(AcDbObjectId id, int rowTypes) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!validRowMask(rowTypes))
        return Acad::eInvalidInput;
    forEachRowType(m_formats, rowTypes, [&](AcDbCellFormat& f) { f.textStyle = id; });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setTextHeight(double h, int rowTypes) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!validRowMask(rowTypes) || !validTextHeight(h))
        return Acad::eInvalidInput;
    forEachRowType(m_formats, rowTypes, [&](AcDbCellFormat& f) { f.textHeight = h; });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setAlignment(AcDb::CellAlignment a, int rowTypes) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!validRowMask(rowTypes) || !validAlignment(a))
        return Acad::eInvalidInput;
    forEachRowType(m_formats, rowTypes, [&](AcDbCellFormat& f) { f.alignment = a; });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setColor(const AcCmColor& c, int rowTypes) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!validRowMask(rowTypes))
        return Acad::eInvalidInput;
    forEachRowType(m_formats, rowTypes, [&](AcDbCellFormat& f) { f.textColor = c; });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setBackgroundColor(const AcCmColor& c, int rowTypes) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!validRowMask(rowTypes))
        return Acad::eInvalidInput;
    forEachRowType(m_formats, rowTypes, [&](AcDbCellFormat& f) { f.fillColor = c; });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setBackgroundColorNone(bool none, int rowTypes) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!validRowMask(rowTypes))
        return Acad::eInvalidInput;
    forEachRowType(m_formats, rowTypes, [&](AcDbCellFormat& f) { f.fillNone = none; });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setGridColor(const AcCmColor& c, int gridLineTypes,
                                               int rowTypes) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!validRowMask(rowTypes) || !validGridMask(gridLineTypes))
        return Acad::eInvalidInput;
    forEachGrid(m_formats, gridLineTypes, rowTypes, [&](AcDbGridFormat& g) { g.color = c; });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setGridLineWeight(AcDb::LineWeight lw, int gridLineTypes,
                                                    int rowTypes) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!validRowMask(rowTypes) || !validGridMask(gridLineTypes) || !AcDb::isValidLineWeight(lw))
        return Acad::eInvalidInput;
    forEachGrid(m_formats, gridLineTypes, rowTypes, [&](AcDbGridFormat& g) { g.lineWeight = lw; });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbTableStyle::setGridVisibility(AcDb::Visibility v, int gridLineTypes,
                                                    int rowTypes) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!validRowMask(rowTypes) || !validGridMask(gridLineTypes) || !validVisibility(v))
        return Acad::eInvalidInput;
    forEachGrid(m_formats, gridLineTypes, rowTypes, [&](AcDbGridFormat& g) { g.visibility = v; });
    return Acad::eOk;
}

void AcDbTableStyle::collectReferences(AcDbReferenceSink& sink) const {
    for (const AcDbCellFormat& f : m_formats)
        if (!f.textStyle.isNull())
            sink.hardReference(f.textStyle);
}

void AcDbTableStyle::remapReferences(const AcDbIdMapping& map) {
    for (AcDbCellFormat& f : m_formats)
        if (!f.textStyle.isNull())
            f.textStyle = map.translate(f.textStyle);
}
