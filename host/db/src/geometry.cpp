#include "acdb/geometry.h"

#include <algorithm>
#include <limits>

const AcGeTol& acGeDefaultTol() {
    static const AcGeTol tol;
    return tol;
}

const AcGeVector3d AcGeVector3d::kXAxis{1, 0, 0};
const AcGeVector3d AcGeVector3d::kYAxis{0, 1, 0};
const AcGeVector3d AcGeVector3d::kZAxis{0, 0, 1};
const AcGeVector3d AcGeVector3d::kIdentity{0, 0, 0};
const AcGePoint3d AcGePoint3d::kOrigin{0, 0, 0};
const AcGeMatrix3d AcGeMatrix3d::kIdentity{};

bool AcGePoint2d::isEqualTo(const AcGePoint2d& p, const AcGeTol& tol) const {
    return std::hypot(x - p.x, y - p.y) <= tol.equalPoint;
}

AcGeVector3d AcGeVector3d::normal() const {
    double len = length();
    return len > 0 ? AcGeVector3d{x / len, y / len, z / len} : *this;
}

bool AcGeVector3d::isEqualTo(const AcGeVector3d& v, const AcGeTol& tol) const {
    return (*this - v).length() <= tol.equalVector;
}

bool AcGeVector3d::isZeroLength(const AcGeTol& tol) const {
    return length() <= tol.equalVector;
}

bool AcGePoint3d::isEqualTo(const AcGePoint3d& p, const AcGeTol& tol) const {
    return distanceTo(p) <= tol.equalPoint;
}

AcGeMatrix3d::AcGeMatrix3d() {
    for (int i = 0; i < 4; ++i)
        entry[i][i] = 1;
}

AcGeMatrix3d AcGeMatrix3d::translation(const AcGeVector3d& v) {
    AcGeMatrix3d m;
    m.entry[0][3] = v.x;
    m.entry[1][3] = v.y;
    m.entry[2][3] = v.z;
    return m;
}

AcGeMatrix3d AcGeMatrix3d::scaling(double s, const AcGePoint3d& c) {
    AcGeMatrix3d m;
    for (int i = 0; i < 3; ++i)
        m.entry[i][i] = s;
    m.entry[0][3] = c.x * (1 - s);
    m.entry[1][3] = c.y * (1 - s);
    m.entry[2][3] = c.z * (1 - s);
    return m;
}

AcGeMatrix3d AcGeMatrix3d::rotation(double angle, const AcGeVector3d& axis, const AcGePoint3d& c) {
    AcGeVector3d a = axis.normal();
    double cs = std::cos(angle), sn = std::sin(angle), t = 1 - cs;
    AcGeMatrix3d r;
    r.entry[0] = {t * a.x * a.x + cs, t * a.x * a.y - sn * a.z, t * a.x * a.z + sn * a.y, 0};
    r.entry[1] = {t * a.x * a.y + sn * a.z, t * a.y * a.y + cs, t * a.y * a.z - sn * a.x, 0};
    r.entry[2] = {t * a.x * a.z - sn * a.y, t * a.y * a.z + sn * a.x, t * a.z * a.z + cs, 0};
    return translation(c.asVector()) * r * translation(-c.asVector());
}

AcGeMatrix3d AcGeMatrix3d::alignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromX,
                                         const AcGeVector3d& fromY, const AcGeVector3d& fromZ,
                                         const AcGePoint3d& toOrigin, const AcGeVector3d& toX,
                                         const AcGeVector3d& toY, const AcGeVector3d& toZ) {
    AcGeMatrix3d from, to;
    const AcGeVector3d fa[3] = {fromX, fromY, fromZ}, ta[3] = {toX, toY, toZ};
    for (int c = 0; c < 3; ++c) {
        from.entry[0][c] = fa[c].x;
        from.entry[1][c] = fa[c].y;
        from.entry[2][c] = fa[c].z;
        to.entry[0][c] = ta[c].x;
        to.entry[1][c] = ta[c].y;
        to.entry[2][c] = ta[c].z;
    }
    from.entry[0][3] = fromOrigin.x;
    from.entry[1][3] = fromOrigin.y;
    from.entry[2][3] = fromOrigin.z;
    to.entry[0][3] = toOrigin.x;
    to.entry[1][3] = toOrigin.y;
    to.entry[2][3] = toOrigin.z;
    return to * from.inverse();
}

AcGeMatrix3d AcGeMatrix3d::operator*(const AcGeMatrix3d& m) const {
    AcGeMatrix3d r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            double s = 0;
            for (int k = 0; k < 4; ++k)
                s += entry[i][k] * m.entry[k][j];
            r.entry[i][j] = s;
        }
    return r;
}

double AcGeMatrix3d::det() const {
    const auto& e = entry;
    return e[0][0] * (e[1][1] * e[2][2] - e[1][2] * e[2][1]) -
           e[0][1] * (e[1][0] * e[2][2] - e[1][2] * e[2][0]) +
           e[0][2] * (e[1][0] * e[2][1] - e[1][1] * e[2][0]);
}

AcGeMatrix3d AcGeMatrix3d::inverse() const {
    // General 4x4 inverse by Gauss-Jordan elimination with partial pivoting.
    double a[4][8];
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            a[i][j] = entry[i][j];
            a[i][j + 4] = i == j ? 1 : 0;
        }
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[pivot][c]))
                pivot = r;
        if (std::fabs(a[pivot][c]) < 1e-300)
            return AcGeMatrix3d(); // singular: identity rather than garbage
        if (pivot != c)
            for (int j = 0; j < 8; ++j)
                std::swap(a[c][j], a[pivot][j]);
        double d = a[c][c];
        for (int j = 0; j < 8; ++j)
            a[c][j] /= d;
        for (int r = 0; r < 4; ++r)
            if (r != c) {
                double f = a[r][c];
                for (int j = 0; j < 8; ++j)
                    a[r][j] -= f * a[c][j];
            }
    }
    AcGeMatrix3d inv;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            inv.entry[i][j] = a[i][j + 4];
    return inv;
}

bool AcGeMatrix3d::isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol) const {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            if (std::fabs(entry[i][j] - m.entry[i][j]) > tol.equalVector)
                return false;
    return true;
}

double AcGeMatrix3d::scale() const {
    return apply(AcGeVector3d::kXAxis).length();
}

AcGePoint3d AcGeMatrix3d::apply(const AcGePoint3d& p) const {
    return {entry[0][0] * p.x + entry[0][1] * p.y + entry[0][2] * p.z + entry[0][3],
            entry[1][0] * p.x + entry[1][1] * p.y + entry[1][2] * p.z + entry[1][3],
            entry[2][0] * p.x + entry[2][1] * p.y + entry[2][2] * p.z + entry[2][3]};
}

AcGeVector3d AcGeMatrix3d::apply(const AcGeVector3d& v) const {
    return {entry[0][0] * v.x + entry[0][1] * v.y + entry[0][2] * v.z,
            entry[1][0] * v.x + entry[1][1] * v.y + entry[1][2] * v.z,
            entry[2][0] * v.x + entry[2][1] * v.y + entry[2][2] * v.z};
}

namespace {
constexpr double kHuge = std::numeric_limits<double>::max();
}

AcDbExtents::AcDbExtents() : m_min(kHuge, kHuge, kHuge), m_max(-kHuge, -kHuge, -kHuge) {}

AcDbExtents::AcDbExtents(const AcGePoint3d& a, const AcGePoint3d& b) : AcDbExtents() {
    addPoint(a);
    addPoint(b);
}

bool AcDbExtents::isValid() const {
    return m_min.x <= m_max.x && m_min.y <= m_max.y && m_min.z <= m_max.z;
}

void AcDbExtents::addPoint(const AcGePoint3d& p) {
    m_min = {std::min(m_min.x, p.x), std::min(m_min.y, p.y), std::min(m_min.z, p.z)};
    m_max = {std::max(m_max.x, p.x), std::max(m_max.y, p.y), std::max(m_max.z, p.z)};
}

void AcDbExtents::addExt(const AcDbExtents& e) {
    if (!e.isValid())
        return;
    addPoint(e.m_min);
    addPoint(e.m_max);
}

void AcDbExtents::transformBy(const AcGeMatrix3d& m) {
    if (!isValid())
        return;
    AcDbExtents out;
    for (int i = 0; i < 8; ++i)
        out.addPoint(m.apply(AcGePoint3d(i & 1 ? m_max.x : m_min.x, i & 2 ? m_max.y : m_min.y,
                                         i & 4 ? m_max.z : m_min.z)));
    *this = out;
}
