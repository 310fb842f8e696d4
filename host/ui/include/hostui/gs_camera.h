#pragma once
// The camera of a graphics view and the matrices between world, eye, normalised
// and device coordinates. Pure arithmetic: no window is needed, so it is tested
// on its own and shared by every view.
//
// Coordinate systems:
//   world   - the drawing's coordinates.
//   eye     - world units, origin at the target, x to the right of the screen,
//             y up the screen, z from the target towards the camera.
//   normalised - x and y in [-1, 1] across the device, z in the same scale as x.
//   device  - pixels of the device, origin top left, y down; z keeps the
//             pixel scale so that the matrices stay invertible.
//
// The field (width x height, world units) is fitted into the device keeping
// square pixels: the smaller of width/fieldWidth and height/fieldHeight wins. A
// zero or invalid field size is ignored in that choice (a flat entity still
// shows); with none usable the scale is one pixel per unit.

#include "acdb/geometry.h"

namespace hostui {

class GsCamera {
public:
    enum class Projection { kParallel, kPerspective };

    GsCamera() = default;

    // Sets the whole camera at once. A degenerate up vector (zero or along the
    // line of sight) is replaced by the nearest usable axis.
    void setView(const AcGePoint3d& position, const AcGePoint3d& target,
                 const AcGeVector3d& upVector, double fieldWidth, double fieldHeight,
                 Projection projection = Projection::kParallel);

    const AcGePoint3d& position() const { return m_position; }
    const AcGePoint3d& target() const { return m_target; }
    const AcGeVector3d& upVector() const { return m_up; }
    double fieldWidth() const { return m_fieldWidth; }
    double fieldHeight() const { return m_fieldHeight; }
    Projection projection() const { return m_projection; }
    // Perspective is remembered but drawn as parallel: the host shows plan views only.
    bool isPerspective() const { return m_projection == Projection::kPerspective; }

    // Device size in pixels; zero or negative sizes count as one pixel.
    void setDeviceSize(int width, int height);
    int deviceWidth() const { return m_deviceWidth; }
    int deviceHeight() const { return m_deviceHeight; }

    // Magnifies by factor (> 1 shows things larger): the field shrinks by it.
    // Non-positive or non-finite factors are ignored.
    void zoom(double factor);
    // Moves position and target together by a displacement given in eye
    // coordinates (world units along the screen's right, up and depth axes).
    void dolly(const AcGeVector3d& eyeDisplacement);
    // Moves position and target together by a world displacement.
    void translate(const AcGeVector3d& worldDisplacement);

    // Unit axes of the eye frame in world coordinates.
    AcGeVector3d eyeXAxis() const;
    AcGeVector3d eyeYAxis() const;
    AcGeVector3d eyeZAxis() const;

    // Pixels per world unit after fitting the field into the device.
    double pixelsPerUnit() const;

    AcGeMatrix3d viewingMatrix() const;    // world -> eye
    AcGeMatrix3d projectionMatrix() const; // eye -> normalised
    AcGeMatrix3d screenMatrix() const;     // normalised -> device
    AcGeMatrix3d worldToDeviceMatrix() const;
    AcGeMatrix3d deviceToWorldMatrix() const;

    // Convenience built on the matrices.
    AcGePoint3d worldToDevice(const AcGePoint3d& world) const;
    // The world point on the plane through the target facing the camera.
    AcGePoint3d deviceToWorld(double x, double y) const;
    // Zooms keeping the world point under device point (x, y) in place.
    void zoomAt(double x, double y, double factor);
    // Moves the picture by a device displacement (the point under the cursor follows it).
    void panByDevice(double dx, double dy);
    // Looks straight down at the XY plane (up = +Y) and fits the box with a margin
    // (fraction of the box size added around it).
    void fitPlan(const AcGePoint3d& min, const AcGePoint3d& max, double margin = 0.05);

private:
    AcGePoint3d m_position{0, 0, 1};
    AcGePoint3d m_target{0, 0, 0};
    AcGeVector3d m_up{0, 1, 0};
    double m_fieldWidth = 1;
    double m_fieldHeight = 1;
    Projection m_projection = Projection::kParallel;
    int m_deviceWidth = 1;
    int m_deviceHeight = 1;
};

} // namespace hostui
