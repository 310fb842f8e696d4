#include "hostui/gs_camera.h"

#include <algorithm>
#include <cmath>

namespace hostui {

namespace {

constexpr double kMinPixelsPerUnit = 1e-12;
constexpr double kMaxPixelsPerUnit = 1e12;

bool usableSize(double v) {
    return std::isfinite(v) && v > 0;
}

AcGeVector3d unitOr(const AcGeVector3d& v, const AcGeVector3d& fallback) {
    const double len = v.length();
    if (!(len > 1e-300) || !std::isfinite(len))
        return fallback;
    return v * (1.0 / len);
}

} // namespace

void GsCamera::setView(const AcGePoint3d& position, const AcGePoint3d& target,
                       const AcGeVector3d& upVector, double fieldWidth, double fieldHeight,
                       Projection projection) {
    m_position = position;
    m_target = target;
    m_up = upVector;
    m_fieldWidth = std::isfinite(fieldWidth) ? std::fabs(fieldWidth) : 0;
    m_fieldHeight = std::isfinite(fieldHeight) ? std::fabs(fieldHeight) : 0;
    m_projection = projection;
}

void GsCamera::setDeviceSize(int width, int height) {
    m_deviceWidth = std::max(1, width);
    m_deviceHeight = std::max(1, height);
}

void GsCamera::zoom(double factor) {
    if (!usableSize(factor))
        return;
    m_fieldWidth /= factor;
    m_fieldHeight /= factor;
}

void GsCamera::dolly(const AcGeVector3d& eye) {
    translate(eyeXAxis() * eye.x + eyeYAxis() * eye.y + eyeZAxis() * eye.z);
}

void GsCamera::translate(const AcGeVector3d& world) {
    if (!std::isfinite(world.x) || !std::isfinite(world.y) || !std::isfinite(world.z))
        return;
    m_position += world;
    m_target += world;
}

AcGeVector3d GsCamera::eyeZAxis() const {
    return unitOr(m_position - m_target, AcGeVector3d::kZAxis);
}

AcGeVector3d GsCamera::eyeXAxis() const {
    const AcGeVector3d z = eyeZAxis();
    AcGeVector3d x = m_up.crossProduct(z);
    if (x.length() < 1e-9 * std::max(1.0, m_up.length())) {
        // Up is zero or along the line of sight: take the world axis least
        // aligned with the line of sight as up.
        const AcGeVector3d alt = std::fabs(z.y) < 0.9 ? AcGeVector3d::kYAxis : AcGeVector3d::kZAxis;
        x = alt.crossProduct(z);
    }
    return unitOr(x, AcGeVector3d::kXAxis);
}

AcGeVector3d GsCamera::eyeYAxis() const {
    return eyeZAxis().crossProduct(eyeXAxis());
}

double GsCamera::pixelsPerUnit() const {
    double s = HUGE_VAL;
    if (usableSize(m_fieldWidth))
        s = std::min(s, m_deviceWidth / m_fieldWidth);
    if (usableSize(m_fieldHeight))
        s = std::min(s, m_deviceHeight / m_fieldHeight);
    if (s == HUGE_VAL)
        return 1.0;
    return std::clamp(s, kMinPixelsPerUnit, kMaxPixelsPerUnit);
}

AcGeMatrix3d GsCamera::viewingMatrix() const {
    const AcGeVector3d x = eyeXAxis(), y = eyeYAxis(), z = eyeZAxis();
    const AcGeVector3d t = m_target.asVector();
    AcGeMatrix3d m;
    const AcGeVector3d rows[3] = {x, y, z};
    for (int i = 0; i < 3; ++i) {
        m.entry[i][0] = rows[i].x;
        m.entry[i][1] = rows[i].y;
        m.entry[i][2] = rows[i].z;
        m.entry[i][3] = -rows[i].dotProduct(t);
    }
    return m;
}

AcGeMatrix3d GsCamera::projectionMatrix() const {
    const double s = pixelsPerUnit();
    AcGeMatrix3d m;
    m.entry[0][0] = s / (m_deviceWidth / 2.0);
    m.entry[1][1] = s / (m_deviceHeight / 2.0);
    m.entry[2][2] = s / (m_deviceWidth / 2.0);
    return m;
}

AcGeMatrix3d GsCamera::screenMatrix() const {
    const double hw = m_deviceWidth / 2.0, hh = m_deviceHeight / 2.0;
    AcGeMatrix3d m;
    m.entry[0][0] = hw;
    m.entry[0][3] = hw;
    m.entry[1][1] = -hh;
    m.entry[1][3] = hh;
    m.entry[2][2] = hw;
    return m;
}

AcGeMatrix3d GsCamera::worldToDeviceMatrix() const {
    return screenMatrix() * projectionMatrix() * viewingMatrix();
}

AcGeMatrix3d GsCamera::deviceToWorldMatrix() const {
    return worldToDeviceMatrix().inverse();
}

AcGePoint3d GsCamera::worldToDevice(const AcGePoint3d& world) const {
    return worldToDeviceMatrix() * world;
}

AcGePoint3d GsCamera::deviceToWorld(double x, double y) const {
    // Device depth 0 is the plane through the target.
    return deviceToWorldMatrix() * AcGePoint3d(x, y, 0);
}

void GsCamera::zoomAt(double x, double y, double factor) {
    const AcGePoint3d before = deviceToWorld(x, y);
    zoom(factor);
    const AcGePoint3d after = deviceToWorld(x, y);
    translate(before - after);
}

void GsCamera::panByDevice(double dx, double dy) {
    const double s = pixelsPerUnit();
    dolly(AcGeVector3d(-dx / s, dy / s, 0));
}

void GsCamera::fitPlan(const AcGePoint3d& min, const AcGePoint3d& max, double margin) {
    const AcGePoint3d centre((min.x + max.x) / 2, (min.y + max.y) / 2, (min.z + max.z) / 2);
    const double grow = 1 + 2 * std::max(0.0, margin);
    setView(AcGePoint3d(centre.x, centre.y, centre.z + 1), centre, AcGeVector3d::kYAxis,
            std::fabs(max.x - min.x) * grow, std::fabs(max.y - min.y) * grow);
}

} // namespace hostui
