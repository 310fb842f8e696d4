#include "acdb/entity.h"
#include "acdb/database.h"
#include "textmetrics.h"
#include "write_access.h"

#include <cmath>

ACDB_DEFINE_MEMBERS(AcDbEntity, AcDbObject, "")
ACDB_DEFINE_MEMBERS(AcDbLine, AcDbEntity, "LINE")
ACDB_DEFINE_MEMBERS(AcDbRay, AcDbEntity, "RAY")
ACDB_DEFINE_MEMBERS(AcDbText, AcDbEntity, "TEXT")
ACDB_DEFINE_MEMBERS(AcDbAttributeDefinition, AcDbText, "ATTDEF")
ACDB_DEFINE_MEMBERS(AcDbMText, AcDbEntity, "MTEXT")
ACDB_DEFINE_MEMBERS(AcDbSolid, AcDbEntity, "SOLID")
ACDB_DEFINE_MEMBERS(AcDbBlockReference, AcDbEntity, "INSERT")

// ---- AcDbEntity

Acad::ErrorStatus AcDbEntity::setLayer(const std::string& name) {
    if (name.empty())
        return Acad::eInvalidInput;
    ACDB_WRITE(m_layer = name);
}
Acad::ErrorStatus AcDbEntity::setColor(const AcCmColor& c) {
    ACDB_WRITE(m_color = c);
}
Acad::ErrorStatus AcDbEntity::setColorIndex(std::uint16_t index) {
    ACDB_ASSERT_WRITE();
    if (index > 256)
        return Acad::eInvalidInput;
    m_color.setColorIndex(index);
    return Acad::eOk;
}
Acad::ErrorStatus AcDbEntity::setLineWeight(AcDb::LineWeight lw) {
    if (!AcDb::isValidLineWeight(lw))
        return Acad::eInvalidInput;
    ACDB_WRITE(m_lineWeight = lw);
}
Acad::ErrorStatus AcDbEntity::setLinetype(const std::string& name) {
    if (name.empty())
        return Acad::eInvalidInput;
    ACDB_WRITE(m_linetype = name);
}

Acad::ErrorStatus AcDbEntity::getGeomExtents(AcDbExtents&) const {
    return Acad::eInvalidExtents;
}
Acad::ErrorStatus AcDbEntity::transformBy(const AcGeMatrix3d&) {
    return Acad::eNotApplicable;
}
Acad::ErrorStatus AcDbEntity::explode(AcDbEntityList&) const {
    return Acad::eCannotExplodeEntity;
}

void AcDbEntity::copyEntityProperties(const AcDbEntity& from) {
    m_layer = from.m_layer;
    m_linetype = from.m_linetype;
    m_color = from.m_color;
    m_lineWeight = from.m_lineWeight;
}

// ---- AcDbLine

Acad::ErrorStatus AcDbLine::setStartPoint(const AcGePoint3d& p) {
    ACDB_WRITE(m_start = p);
}
Acad::ErrorStatus AcDbLine::setEndPoint(const AcGePoint3d& p) {
    ACDB_WRITE(m_end = p);
}
Acad::ErrorStatus AcDbLine::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents(m_start, m_end);
    return Acad::eOk;
}
Acad::ErrorStatus AcDbLine::transformBy(const AcGeMatrix3d& m) {
    ACDB_WRITE((m_start = m * m_start, m_end = m * m_end));
}

// ---- AcDbRay

Acad::ErrorStatus AcDbRay::setBasePoint(const AcGePoint3d& p) {
    ACDB_WRITE(m_base = p);
}
Acad::ErrorStatus AcDbRay::setUnitDir(const AcGeVector3d& v) {
    if (v.isZeroLength())
        return Acad::eDegenerateGeometry;
    ACDB_WRITE(m_dir = v.normal());
}
Acad::ErrorStatus AcDbRay::getGeomExtents(AcDbExtents&) const {
    return Acad::eInvalidExtents;
}
Acad::ErrorStatus AcDbRay::transformBy(const AcGeMatrix3d& m) {
    ACDB_WRITE((m_base = m * m_base, m_dir = (m * m_dir).normal()));
}

// ---- AcDbText

Acad::ErrorStatus AcDbText::setPosition(const AcGePoint3d& p) {
    ACDB_WRITE(m_position = p);
}
Acad::ErrorStatus AcDbText::setAlignmentPoint(const AcGePoint3d& p) {
    ACDB_WRITE(m_alignment = p);
}
Acad::ErrorStatus AcDbText::setTextString(const std::string& s) {
    ACDB_WRITE(m_text = s);
}
Acad::ErrorStatus AcDbText::setHeight(double h) {
    if (!(h > 0) || !std::isfinite(h))
        return Acad::eInvalidInput;
    ACDB_WRITE(m_height = h);
}
Acad::ErrorStatus AcDbText::setRotation(double r) {
    if (!std::isfinite(r))
        return Acad::eInvalidInput;
    ACDB_WRITE(m_rotation = r);
}
Acad::ErrorStatus AcDbText::setWidthFactor(double w) {
    if (!(w > 0) || !std::isfinite(w))
        return Acad::eInvalidInput;
    ACDB_WRITE(m_widthFactor = w);
}
Acad::ErrorStatus AcDbText::setTextStyle(AcDbObjectId id) {
    ACDB_WRITE(m_style = id);
}
Acad::ErrorStatus AcDbText::setHorizontalMode(HorzMode m) {
    ACDB_WRITE(m_horz = m);
}
Acad::ErrorStatus AcDbText::setVerticalMode(VertMode m) {
    ACDB_WRITE(m_vert = m);
}

AcGePoint3d AcDbText::anchorPoint() const {
    return (m_horz == kLeft && m_vert == kBase) ? m_position : m_alignment;
}

Acad::ErrorStatus AcDbText::getGeomExtents(AcDbExtents& ext) const {
    double w = textmetrics::lineWidth(m_text, m_height) * m_widthFactor;
    double h = m_height;
    // Offset of the box's left-baseline corner from the anchor, by justification.
    double dx = 0, dy = 0;
    switch (m_horz) {
    case kCenter:
    case kMid:
        dx = -w / 2;
        break;
    case kRight:
        dx = -w;
        break;
    default:
        break;
    }
    switch (m_vert) {
    case kBottom:
        dy = 0;
        break;
    case kMiddle:
        dy = -h / 2;
        break;
    case kTop:
        dy = -h;
        break;
    default:
        break;
    }
    if (m_horz == kMid)
        dy = -h / 2;
    AcGePoint3d a = anchorPoint();
    double c = std::cos(m_rotation), s = std::sin(m_rotation);
    ext = AcDbExtents();
    for (int i = 0; i < 4; ++i) {
        double lx = dx + (i & 1 ? w : 0), ly = dy + (i & 2 ? h : 0);
        ext.addPoint({a.x + lx * c - ly * s, a.y + lx * s + ly * c, a.z});
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbText::transformBy(const AcGeMatrix3d& m) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    AcGeVector3d dir = m * AcGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0);
    m_position = m * m_position;
    m_alignment = m * m_alignment;
    m_height *= m.scale();
    m_rotation = std::atan2(dir.y, dir.x);
    return Acad::eOk;
}

void AcDbText::collectReferences(AcDbReferenceSink& sink) const {
    sink.hardReference(m_style);
}
void AcDbText::remapReferences(const AcDbIdMapping& map) {
    m_style = map.translate(m_style);
}

// ---- AcDbAttributeDefinition

AcDbAttributeDefinition::AcDbAttributeDefinition(const AcGePoint3d& pos,
                                                 const std::string& defaultText,
                                                 const std::string& tag, const std::string& prompt)
    : m_tag(tag), m_prompt(prompt) {
    setPosition(pos);
    setTextString(defaultText);
}
Acad::ErrorStatus AcDbAttributeDefinition::setTag(const std::string& s) {
    if (s.empty() || s.find(' ') != std::string::npos)
        return Acad::eInvalidInput;
    ACDB_WRITE(m_tag = s);
}
Acad::ErrorStatus AcDbAttributeDefinition::setPrompt(const std::string& s) {
    ACDB_WRITE(m_prompt = s);
}
Acad::ErrorStatus AcDbAttributeDefinition::setConstant(bool c) {
    ACDB_WRITE(m_constant = c);
}
Acad::ErrorStatus AcDbAttributeDefinition::setInvisible(bool i) {
    ACDB_WRITE(m_invisible = i);
}

// ---- AcDbMText

Acad::ErrorStatus AcDbMText::setLocation(const AcGePoint3d& p) {
    ACDB_WRITE(m_location = p);
}
Acad::ErrorStatus AcDbMText::setContents(const std::string& s) {
    ACDB_WRITE(m_contents = s);
}
Acad::ErrorStatus AcDbMText::setTextHeight(double h) {
    if (!(h > 0) || !std::isfinite(h))
        return Acad::eInvalidInput;
    ACDB_WRITE(m_height = h);
}
Acad::ErrorStatus AcDbMText::setWidth(double w) {
    if (!(w >= 0) || !std::isfinite(w))
        return Acad::eInvalidInput;
    ACDB_WRITE(m_width = w);
}
Acad::ErrorStatus AcDbMText::setAttachment(int a) {
    if (a < 1 || a > 9)
        return Acad::eInvalidInput;
    ACDB_WRITE(m_attachment = a);
}
Acad::ErrorStatus AcDbMText::setDirection(const AcGeVector3d& d) {
    if (d.isZeroLength())
        return Acad::eDegenerateGeometry;
    ACDB_WRITE(m_direction = d.normal());
}
Acad::ErrorStatus AcDbMText::setTextStyle(AcDbObjectId id) {
    ACDB_WRITE(m_style = id);
}

Acad::ErrorStatus AcDbMText::getGeomExtents(AcDbExtents& ext) const {
    auto lines = textmetrics::splitLines(m_contents);
    double w = 0;
    for (const auto& l : lines)
        w = std::max(w, textmetrics::lineWidth(l, m_height));
    double h = textmetrics::blockHeight(lines.size(), m_height);
    int col = (m_attachment - 1) % 3, row = (m_attachment - 1) / 3;
    double left = -w * col / 2.0;
    double top = h * row / 2.0;
    AcGeVector3d x = m_direction, y = AcGeVector3d::kZAxis.crossProduct(m_direction);
    ext = AcDbExtents();
    for (int i = 0; i < 4; ++i) {
        double lx = left + (i & 1 ? w : 0), ly = top - (i & 2 ? h : 0);
        ext.addPoint(m_location + x * lx + y * ly);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbMText::transformBy(const AcGeMatrix3d& m) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    double s = m.scale();
    m_location = m * m_location;
    m_direction = (m * m_direction).normal();
    m_height *= s;
    m_width *= s;
    return Acad::eOk;
}

void AcDbMText::collectReferences(AcDbReferenceSink& sink) const {
    sink.hardReference(m_style);
}
void AcDbMText::remapReferences(const AcDbIdMapping& map) {
    m_style = map.translate(m_style);
}

// ---- AcDbSolid

AcDbSolid::AcDbSolid(const AcGePoint3d& p0, const AcGePoint3d& p1, const AcGePoint3d& p2,
                     const AcGePoint3d& p3)
    : m_pts{p0, p1, p2, p3} {}
Acad::ErrorStatus AcDbSolid::getPointAt(int index, AcGePoint3d& p) const {
    if (index < 0 || index > 3)
        return Acad::eInvalidInput;
    p = m_pts[index];
    return Acad::eOk;
}
Acad::ErrorStatus AcDbSolid::setPointAt(int index, const AcGePoint3d& p) {
    if (index < 0 || index > 3)
        return Acad::eInvalidInput;
    ACDB_WRITE(m_pts[index] = p);
}
Acad::ErrorStatus AcDbSolid::getGeomExtents(AcDbExtents& ext) const {
    ext = AcDbExtents();
    for (const auto& p : m_pts)
        ext.addPoint(p);
    return Acad::eOk;
}
Acad::ErrorStatus AcDbSolid::transformBy(const AcGeMatrix3d& m) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    for (auto& p : m_pts)
        p = m * p;
    return Acad::eOk;
}

// ---- AcDbBlockReference

AcDbBlockReference::AcDbBlockReference(const AcGePoint3d& position, AcDbObjectId blockId)
    : m_block(blockId), m_position(position) {}

Acad::ErrorStatus AcDbBlockReference::setBlockTableRecord(AcDbObjectId id) {
    ACDB_WRITE(m_block = id);
}
Acad::ErrorStatus AcDbBlockReference::setPosition(const AcGePoint3d& p) {
    ACDB_WRITE(m_position = p);
}
Acad::ErrorStatus AcDbBlockReference::setScaleFactors(const AcGeVector3d& s) {
    if (s.x == 0 || s.y == 0 || s.z == 0 || !std::isfinite(s.x + s.y + s.z))
        return Acad::eInvalidInput;
    ACDB_WRITE(m_scale = s);
}
Acad::ErrorStatus AcDbBlockReference::setRotation(double r) {
    if (!std::isfinite(r))
        return Acad::eInvalidInput;
    ACDB_WRITE(m_rotation = r);
}
Acad::ErrorStatus AcDbBlockReference::setNormal(const AcGeVector3d& n) {
    if (n.isZeroLength())
        return Acad::eDegenerateGeometry;
    ACDB_WRITE(m_normal = n.normal());
}

AcGeMatrix3d AcDbBlockReference::blockTransform() const {
    AcGePoint3d origin;
    if (AcDbObjectPointer<AcDbBlockTableRecord> rec(m_block, AcDb::kForRead); rec)
        origin = rec->origin();
    AcGeMatrix3d scale;
    scale.entry[0][0] = m_scale.x;
    scale.entry[1][1] = m_scale.y;
    scale.entry[2][2] = m_scale.z;
    return AcGeMatrix3d::translation(m_position.asVector()) *
           AcGeMatrix3d::rotation(m_rotation, m_normal) * scale *
           AcGeMatrix3d::translation(-origin.asVector());
}

Acad::ErrorStatus AcDbBlockReference::getGeomExtents(AcDbExtents& ext) const {
    AcDbObjectPointer<AcDbBlockTableRecord> rec(m_block, AcDb::kForRead);
    if (!rec)
        return rec.openStatus();
    AcGeMatrix3d m = blockTransform();
    ext = AcDbExtents();
    for (AcDbObjectId id : rec->entityIds()) {
        AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
        AcDbExtents e;
        if (ent && ent->getGeomExtents(e) == Acad::eOk) {
            e.transformBy(m);
            ext.addExt(e);
        }
    }
    if (!ext.isValid())
        ext = AcDbExtents(m_position, m_position);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::transformBy(const AcGeMatrix3d& m) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    AcGeVector3d dir = m * AcGeVector3d(std::cos(m_rotation), std::sin(m_rotation), 0);
    double s = m.scale();
    m_position = m * m_position;
    m_scale = m_scale * s;
    m_rotation = std::atan2(dir.y, dir.x);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockReference::explode(AcDbEntityList& out) const {
    AcDbObjectPointer<AcDbBlockTableRecord> rec(m_block, AcDb::kForRead);
    if (!rec)
        return rec.openStatus();
    AcGeMatrix3d m = blockTransform();
    AcDbEntityList parts;
    for (AcDbObjectId id : rec->entityIds()) {
        AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
        if (!ent)
            continue;
        if (ent->isKindOf(AcDbAttributeDefinition::desc()))
            continue; // definitions are not part of a reference's picture
        std::unique_ptr<AcDbEntity> copy(static_cast<AcDbEntity*>(ent->cloneObject()));
        if (copy->transformBy(m) != Acad::eOk)
            return Acad::eCannotExplodeEntity;
        parts.push_back(std::move(copy));
    }
    for (auto& p : parts)
        out.push_back(std::move(p));
    return Acad::eOk;
}

void AcDbBlockReference::collectReferences(AcDbReferenceSink& sink) const {
    sink.hardReference(m_block);
}
void AcDbBlockReference::remapReferences(const AcDbIdMapping& map) {
    m_block = map.translate(m_block);
}
