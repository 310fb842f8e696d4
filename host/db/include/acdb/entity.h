#pragma once
// Entities: the drawable objects that block table records own.

#include "acdb/color.h"
#include "acdb/geometry.h"
#include "acdb/object.h"

#include <memory>
#include <string>
#include <vector>

class AcDbEntity;
using AcDbEntityList = std::vector<std::unique_ptr<AcDbEntity>>;

class AcDbEntity : public AcDbObject {
    ACDB_DECLARE_MEMBERS(AcDbEntity)
public:
    AcDbEntity() = default;

    AcDbObjectId blockId() const { return ownerId(); }
    const std::string& layer() const { return m_layer; }
    Acad::ErrorStatus setLayer(const std::string& name);
    const AcCmColor& color() const { return m_color; }
    Acad::ErrorStatus setColor(const AcCmColor& c);
    Acad::ErrorStatus setColorIndex(std::uint16_t index);
    std::uint16_t colorIndex() const { return m_color.colorIndex(); }
    AcDb::LineWeight lineWeight() const { return m_lineWeight; }
    Acad::ErrorStatus setLineWeight(AcDb::LineWeight lw);
    const std::string& linetype() const { return m_linetype; }
    Acad::ErrorStatus setLinetype(const std::string& name);

    virtual Acad::ErrorStatus getGeomExtents(AcDbExtents& ext) const;
    virtual Acad::ErrorStatus transformBy(const AcGeMatrix3d& m);
    // New entities, not in any database, that together look like this one.
    virtual Acad::ErrorStatus explode(AcDbEntityList& out) const;

    // Copies the common properties (layer, colour, line weight, line type).
    void copyEntityProperties(const AcDbEntity& from);

protected:
    AcDbEntity(const AcDbEntity&) = default;

private:
    std::string m_layer = "0";
    std::string m_linetype = "ByLayer";
    AcCmColor m_color;
    AcDb::LineWeight m_lineWeight = AcDb::kLnWtByLayer;
};

class AcDbLine : public AcDbEntity {
    ACDB_DECLARE_MEMBERS(AcDbLine)
public:
    AcDbLine() = default;
    AcDbLine(const AcGePoint3d& start, const AcGePoint3d& end) : m_start(start), m_end(end) {}
    const AcGePoint3d& startPoint() const { return m_start; }
    const AcGePoint3d& endPoint() const { return m_end; }
    Acad::ErrorStatus setStartPoint(const AcGePoint3d& p);
    Acad::ErrorStatus setEndPoint(const AcGePoint3d& p);
    Acad::ErrorStatus getGeomExtents(AcDbExtents& ext) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& m) override;

private:
    AcGePoint3d m_start, m_end;
};

// An infinite half-line: base point and unit direction.
class AcDbRay : public AcDbEntity {
    ACDB_DECLARE_MEMBERS(AcDbRay)
public:
    AcDbRay() = default;
    const AcGePoint3d& basePoint() const { return m_base; }
    const AcGeVector3d& unitDir() const { return m_dir; }
    Acad::ErrorStatus setBasePoint(const AcGePoint3d& p);
    Acad::ErrorStatus setUnitDir(const AcGeVector3d& v);
    Acad::ErrorStatus getGeomExtents(AcDbExtents& ext) const override; // eInvalidExtents
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& m) override;

private:
    AcGePoint3d m_base;
    AcGeVector3d m_dir{1, 0, 0};
};

// Lightweight polyline of straight segments in the XY plane at an elevation.
class AcDbPolyline : public AcDbEntity {
    ACDB_DECLARE_MEMBERS(AcDbPolyline)
public:
    AcDbPolyline() = default;
    unsigned numVerts() const { return static_cast<unsigned>(m_points.size()); }
    Acad::ErrorStatus addVertexAt(unsigned index, const AcGePoint2d& pt);
    Acad::ErrorStatus getPointAt(unsigned index, AcGePoint2d& pt) const;
    const std::vector<AcGePoint2d>& vertices() const { return m_points; }
    bool isClosed() const { return m_closed; }
    Acad::ErrorStatus setClosed(bool closed);
    double elevation() const { return m_elevation; }
    Acad::ErrorStatus setElevation(double z);
    double constantWidth() const { return m_width; }
    Acad::ErrorStatus setConstantWidth(double w);

    // Nearest point of the polyline to p (p is projected onto the plane).
    Acad::ErrorStatus getClosestPointTo(const AcGePoint3d& p, AcGePoint3d& closest) const;
    // Points where the ray crosses the polyline, neither of them extended.
    Acad::ErrorStatus intersectWith(const AcDbRay& ray, AcGePoint3dArray& points) const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& ext) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& m) override;
    Acad::ErrorStatus explode(AcDbEntityList& out) const override;

private:
    std::vector<AcGePoint2d> m_points;
    bool m_closed = false;
    double m_elevation = 0;
    double m_width = 0;
};

// Single-line text. The position is the left end of the baseline; with a
// justification other than left/baseline the alignment point governs.
class AcDbText : public AcDbEntity {
    ACDB_DECLARE_MEMBERS(AcDbText)
public:
    enum HorzMode { kLeft = 0, kCenter = 1, kRight = 2, kAligned = 3, kMid = 4, kFit = 5 };
    enum VertMode { kBase = 0, kBottom = 1, kMiddle = 2, kTop = 3 };

    AcDbText() = default;
    const AcGePoint3d& position() const { return m_position; }
    Acad::ErrorStatus setPosition(const AcGePoint3d& p);
    const AcGePoint3d& alignmentPoint() const { return m_alignment; }
    Acad::ErrorStatus setAlignmentPoint(const AcGePoint3d& p);
    const std::string& textString() const { return m_text; }
    Acad::ErrorStatus setTextString(const std::string& s);
    double height() const { return m_height; }
    Acad::ErrorStatus setHeight(double h);
    double rotation() const { return m_rotation; }
    Acad::ErrorStatus setRotation(double r);
    double widthFactor() const { return m_widthFactor; }
    Acad::ErrorStatus setWidthFactor(double w);
    AcDbObjectId textStyle() const { return m_style; }
    Acad::ErrorStatus setTextStyle(AcDbObjectId id);
    HorzMode horizontalMode() const { return m_horz; }
    Acad::ErrorStatus setHorizontalMode(HorzMode m);
    VertMode verticalMode() const { return m_vert; }
    Acad::ErrorStatus setVerticalMode(VertMode m);
    // The point the text is anchored at: the position for left/base text,
    // the alignment point otherwise.
    AcGePoint3d anchorPoint() const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& ext) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& m) override;
    void collectReferences(AcDbReferenceSink& sink) const override;
    void remapReferences(const AcDbIdMapping& map) override;

private:
    AcGePoint3d m_position, m_alignment;
    std::string m_text;
    double m_height = 0.2;
    double m_rotation = 0;
    double m_widthFactor = 1;
    AcDbObjectId m_style;
    HorzMode m_horz = kLeft;
    VertMode m_vert = kBase;
};

class AcDbAttributeDefinition : public AcDbText {
    ACDB_DECLARE_MEMBERS(AcDbAttributeDefinition)
public:
    AcDbAttributeDefinition() = default;
    AcDbAttributeDefinition(const AcGePoint3d& pos, const std::string& defaultText,
                            const std::string& tag, const std::string& prompt);
    const std::string& tag() const { return m_tag; }
    Acad::ErrorStatus setTag(const std::string& s);
    const std::string& prompt() const { return m_prompt; }
    Acad::ErrorStatus setPrompt(const std::string& s);
    bool isConstant() const { return m_constant; }
    Acad::ErrorStatus setConstant(bool c);
    bool isInvisible() const { return m_invisible; }
    Acad::ErrorStatus setInvisible(bool i);

private:
    std::string m_tag, m_prompt;
    bool m_constant = false;
    bool m_invisible = false;
};

// Multi-line text with attachment 1..9 (top left .. bottom right).
class AcDbMText : public AcDbEntity {
    ACDB_DECLARE_MEMBERS(AcDbMText)
public:
    AcDbMText() = default;
    const AcGePoint3d& location() const { return m_location; }
    Acad::ErrorStatus setLocation(const AcGePoint3d& p);
    const std::string& contents() const { return m_contents; }
    Acad::ErrorStatus setContents(const std::string& s);
    double textHeight() const { return m_height; }
    Acad::ErrorStatus setTextHeight(double h);
    double width() const { return m_width; }
    Acad::ErrorStatus setWidth(double w);
    int attachment() const { return m_attachment; }
    Acad::ErrorStatus setAttachment(int a);
    const AcGeVector3d& direction() const { return m_direction; }
    Acad::ErrorStatus setDirection(const AcGeVector3d& d);
    AcDbObjectId textStyle() const { return m_style; }
    Acad::ErrorStatus setTextStyle(AcDbObjectId id);

    Acad::ErrorStatus getGeomExtents(AcDbExtents& ext) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& m) override;
    void collectReferences(AcDbReferenceSink& sink) const override;
    void remapReferences(const AcDbIdMapping& map) override;

private:
    AcGePoint3d m_location;
    std::string m_contents;
    double m_height = 0.2;
    double m_width = 0;
    int m_attachment = 1;
    AcGeVector3d m_direction{1, 0, 0};
    AcDbObjectId m_style;
};

// A filled quadrilateral (DXF SOLID); corners in the file's order 1, 2, 3, 4
// where 3 and 4 are swapped against walking order.
class AcDbSolid : public AcDbEntity {
    ACDB_DECLARE_MEMBERS(AcDbSolid)
public:
    AcDbSolid() = default;
    AcDbSolid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
              const AcGePoint3d& p3);
    Acad::ErrorStatus getPointAt(int index, AcGePoint3d& p) const;
    Acad::ErrorStatus setPointAt(int index, const AcGePoint3d& p);
    Acad::ErrorStatus getGeomExtents(AcDbExtents& ext) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& m) override;

private:
    AcGePoint3d m_pts[4];
};

class AcDbBlockReference : public AcDbEntity {
    ACDB_DECLARE_MEMBERS(AcDbBlockReference)
public:
    AcDbBlockReference() = default;
    AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockId);

    AcDbObjectId blockTableRecord() const { return m_block; }
    virtual Acad::ErrorStatus setBlockTableRecord(AcDbObjectId id);
    const AcGePoint3d& position() const { return m_position; }
    virtual Acad::ErrorStatus setPosition(const AcGePoint3d& p);
    const AcGeVector3d& scaleFactors() const { return m_scale; }
    Acad::ErrorStatus setScaleFactors(const AcGeVector3d& s);
    double rotation() const { return m_rotation; }
    Acad::ErrorStatus setRotation(double r);
    const AcGeVector3d& normal() const { return m_normal; }
    Acad::ErrorStatus setNormal(const AcGeVector3d& n);

    // Block coordinates to world coordinates.
    AcGeMatrix3d blockTransform() const;

    Acad::ErrorStatus getGeomExtents(AcDbExtents& ext) const override;
    Acad::ErrorStatus transformBy(const AcGeMatrix3d& m) override;
    Acad::ErrorStatus explode(AcDbEntityList& out) const override;
    void collectReferences(AcDbReferenceSink& sink) const override;
    void remapReferences(const AcDbIdMapping& map) override;

protected:
    AcDbBlockReference(const AcDbBlockReference&) = default;

private:
    AcDbObjectId m_block;
    AcGePoint3d m_position;
    AcGeVector3d m_scale{1, 1, 1};
    double m_rotation = 0;
    AcGeVector3d m_normal{0, 0, 1};
};
