#include "acdb/entity.h"

#include <algorithm>
#include <cmath>
#include <limits>

ACDB_DEFINE_MEMBERS(AcDbPolyline, AcDbEntity, "LWPOLYLINE")

namespace {
// Segments of the polyline as pairs of 2D points.
template <class F> void forEachSegment(const std::vector<AcGePoint2d>& pts, bool closed, F f) {
    if (pts.size() < 2)
        return;
    for (std::size_t i = 0; i + 1 < pts.size(); ++i)
        f(pts[i], pts[i + 1]);
    if (closed)
        f(pts.back(), pts.front());
}
} // namespace

Acad::ErrorStatus AcDbPolyline::addVertexAt(unsigned index, const AcGePoint2d& pt) {
    if (index > m_points.size())
        return Acad::eInvalidInput;
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    m_points.insert(m_points.begin() + index, pt);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getPointAt(unsigned index, AcGePoint2d& pt) const {
    if (index >= m_points.size())
        return Acad::eInvalidInput;
    pt = m_points[index];
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setClosed(bool closed) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    m_closed = closed;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setElevation(double z) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    m_elevation = z;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::setConstantWidth(double w) {
    if (!(w >= 0))
        return Acad::eInvalidInput;
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    m_width = w;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getClosestPointTo(const AcGePoint3d& p,
                                                  AcGePoint3d& closest) const {
    if (m_points.empty())
        return Acad::eDegenerateGeometry;
    double best = std::numeric_limits<double>::max();
    AcGePoint2d bestPt = m_points.front();
    auto consider = [&](const AcGePoint2d& c) {
        double d = std::hypot(c.x - p.x, c.y - p.y);
        if (d < best) {
            best = d;
            bestPt = c;
        }
    };
    if (m_points.size() == 1)
        consider(m_points.front());
    forEachSegment(m_points, m_closed, [&](const AcGePoint2d& a, const AcGePoint2d& b) {
        double dx = b.x - a.x, dy = b.y - a.y, len2 = dx * dx + dy * dy;
        double t = len2 > 0 ? ((p.x - a.x) * dx + (p.y - a.y) * dy) / len2 : 0;
        t = std::clamp(t, 0.0, 1.0);
        consider({a.x + t * dx, a.y + t * dy});
    });
    closest = {bestPt.x, bestPt.y, m_elevation};
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::intersectWith(const AcDbRay& ray, AcGePoint3dArray& points) const {
    const AcGePoint3d& o = ray.basePoint();
    const AcGeVector3d& d = ray.unitDir();
    if (std::hypot(d.x, d.y) == 0)
        return Acad::eDegenerateGeometry;
    if (m_points.size() < 2)
        return Acad::eDegenerateGeometry;
    const double eps = 1e-12;
    forEachSegment(m_points, m_closed, [&](const AcGePoint2d& a, const AcGePoint2d& b) {
        double ex = b.x - a.x, ey = b.y - a.y;
        double denom = d.x * ey - d.y * ex;
        if (std::fabs(denom) < eps)
            return; // parallel (collinear overlaps count as no crossing point)
        double wx = a.x - o.x, wy = a.y - o.y;
        double t = (wx * ey - wy * ex) / denom;   // along the ray
        double u = (wx * d.y - wy * d.x) / denom; // along the segment
        if (t < -eps || u < -eps || u > 1 + eps)
            return;
        AcGePoint3d hit(o.x + t * d.x, o.y + t * d.y, m_elevation);
        // A crossing exactly at a shared vertex is reported once.
        for (const auto& q : points)
            if (q.isEqualTo(hit, AcGeTol{1e-9, 1e-12}))
                return;
        points.push_back(hit);
    });
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::getGeomExtents(AcDbExtents& ext) const {
    if (m_points.empty())
        return Acad::eInvalidExtents;
    ext = AcDbExtents();
    for (const auto& p : m_points)
        ext.addPoint({p.x, p.y, m_elevation});
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::transformBy(const AcGeMatrix3d& m) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    for (auto& p : m_points) {
        AcGePoint3d q = m * AcGePoint3d(p.x, p.y, m_elevation);
        p = {q.x, q.y};
    }
    m_elevation = (m * AcGePoint3d(0, 0, m_elevation)).z;
    m_width *= m.scale();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbPolyline::explode(AcDbEntityList& out) const {
    forEachSegment(m_points, m_closed, [&](const AcGePoint2d& a, const AcGePoint2d& b) {
        auto line = std::make_unique<AcDbLine>(AcGePoint3d(a.x, a.y, m_elevation),
                                               AcGePoint3d(b.x, b.y, m_elevation));
        line->copyEntityProperties(*this);
        out.push_back(std::move(line));
    });
    return Acad::eOk;
}
