#pragma once
// Table styles: the cell formats a table's cells inherit, one per row type
// (title, header, data), with grid lines for the six kinds of grid line.

#include "acdb/color.h"
#include "acdb/object.h"

#include <array>
#include <string>

struct AcDbGridFormat {
    AcCmColor color = AcCmColor::byBlock();
    AcDb::LineWeight lineWeight = AcDb::kLnWtByBlock;
    AcDb::Visibility visibility = AcDb::kVisible;
    bool operator==(const AcDbGridFormat&) const = default;
};

// Grid line kinds in array order: horizontal top, inside, bottom; vertical
// left, inside, right.
int acdbGridIndex(AcDb::GridLineType type); // 0..5, -1 for anything else

struct AcDbCellFormat {
    AcDbObjectId textStyle; // null: the database's "Standard"
    double textHeight = 0.18;
    AcDb::CellAlignment alignment = AcDb::kTopCenter;
    AcCmColor textColor = AcCmColor::byBlock();
    AcCmColor fillColor = AcCmColor::fromIndex(7);
    bool fillNone = true;
    std::array<AcDbGridFormat, 6> grid{};
    bool operator==(const AcDbCellFormat&) const = default;
};

class AcDbTableStyle : public AcDbObject {
    ACDB_DECLARE_MEMBERS(AcDbTableStyle)
public:
    AcDbTableStyle();

    const std::string& name() const { return m_name; }
    Acad::ErrorStatus setName(const std::string& n);
    const std::string& description() const { return m_description; }
    Acad::ErrorStatus setDescription(const std::string& d);
    AcDb::FlowDirection flowDirection() const { return m_flow; }
    Acad::ErrorStatus setFlowDirection(AcDb::FlowDirection f);
    double horzCellMargin() const { return m_horzMargin; }
    Acad::ErrorStatus setHorzCellMargin(double m);
    double vertCellMargin() const { return m_vertMargin; }
    Acad::ErrorStatus setVertCellMargin(double m);
    bool isTitleSuppressed() const { return m_titleSuppressed; }
    Acad::ErrorStatus suppressTitleRow(bool s);
    bool isHeaderSuppressed() const { return m_headerSuppressed; }
    Acad::ErrorStatus suppressHeaderRow(bool s);

    // rowType is one of kTitleRow, kHeaderRow, kDataRow.
    const AcDbCellFormat& cellFormat(AcDb::RowType rowType) const;
    Acad::ErrorStatus setCellFormat(AcDb::RowType rowType, const AcDbCellFormat& f);

    // Per-property setters over several row types (a mask of RowType) and,
    // for grids, several grid line kinds (a mask of GridLineType).
    Acad::ErrorStatus setTextStyle(AcDbObjectId id, int rowTypes);
    Acad::ErrorStatus setTextHeight(double h, int rowTypes);
    Acad::ErrorStatus setAlignment(AcDb::CellAlignment a, int rowTypes);
    Acad::ErrorStatus setColor(const AcCmColor& c, int rowTypes);
    Acad::ErrorStatus setBackgroundColor(const AcCmColor& c, int rowTypes);
    Acad::ErrorStatus setBackgroundColorNone(bool none, int rowTypes);
    Acad::ErrorStatus setGridColor(const AcCmColor& c, int gridLineTypes, int rowTypes);
    Acad::ErrorStatus setGridLineWeight(AcDb::LineWeight lw, int gridLineTypes, int rowTypes);
    Acad::ErrorStatus setGridVisibility(AcDb::Visibility v, int gridLineTypes, int rowTypes);

    void collectReferences(AcDbReferenceSink& sink) const override;
    void remapReferences(const AcDbIdMapping& map) override;

private:
    AcDbCellFormat& format(AcDb::RowType rowType);
    std::string m_name;
    std::string m_description;
    AcDb::FlowDirection m_flow = AcDb::kTtoB;
    double m_horzMargin = 0.06;
    double m_vertMargin = 0.06;
    bool m_titleSuppressed = false;
    bool m_headerSuppressed = false;
    std::array<AcDbCellFormat, 3> m_formats; // title, header, data
};
