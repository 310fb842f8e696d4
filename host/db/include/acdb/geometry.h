#pragma once
// Points, vectors and matrices of the drawing database (3D, double precision).

#include <array>
#include <cmath>
#include <vector>

struct AcGeTol {
    double equalPoint = 1e-10;
    double equalVector = 1e-12;
};
// The tolerance used when none is given.
const AcGeTol& acGeDefaultTol();

class AcGeVector3d;

class AcGePoint2d {
public:
    double x = 0, y = 0;
    AcGePoint2d() = default;
    AcGePoint2d(double x_, double y_) : x(x_), y(y_) {}
    bool isEqualTo(const AcGePoint2d& p, const AcGeTol& tol = acGeDefaultTol()) const;
    bool operator==(const AcGePoint2d& p) const { return isEqualTo(p); }
};

class AcGeVector3d {
public:
    double x = 0, y = 0, z = 0;
    AcGeVector3d() = default;
    AcGeVector3d(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    static const AcGeVector3d kXAxis, kYAxis, kZAxis, kIdentity;

    double length() const { return std::sqrt(x * x + y * y + z * z); }
    double dotProduct(const AcGeVector3d& v) const { return x * v.x + y * v.y + z * v.z; }
    AcGeVector3d crossProduct(const AcGeVector3d& v) const {
        return {y * v.z - z * v.y, z * v.x - x * v.z, x * v.y - y * v.x};
    }
    AcGeVector3d normal() const;
    AcGeVector3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    AcGeVector3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGeVector3d operator-() const { return {-x, -y, -z}; }
    AcGeVector3d operator*(double s) const { return {x * s, y * s, z * s}; }
    bool isEqualTo(const AcGeVector3d& v, const AcGeTol& tol = acGeDefaultTol()) const;
    bool isZeroLength(const AcGeTol& tol = acGeDefaultTol()) const;
    bool operator==(const AcGeVector3d& v) const { return isEqualTo(v); }
};

class AcGePoint3d {
public:
    double x = 0, y = 0, z = 0;
    AcGePoint3d() = default;
    AcGePoint3d(double x_, double y_, double z_) : x(x_), y(y_), z(z_) {}
    static const AcGePoint3d kOrigin;

    double distanceTo(const AcGePoint3d& p) const { return (*this - p).length(); }
    AcGeVector3d operator-(const AcGePoint3d& p) const { return {x - p.x, y - p.y, z - p.z}; }
    AcGePoint3d operator+(const AcGeVector3d& v) const { return {x + v.x, y + v.y, z + v.z}; }
    AcGePoint3d operator-(const AcGeVector3d& v) const { return {x - v.x, y - v.y, z - v.z}; }
    AcGePoint3d& operator+=(const AcGeVector3d& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
    AcGeVector3d asVector() const { return {x, y, z}; }
    bool isEqualTo(const AcGePoint3d& p, const AcGeTol& tol = acGeDefaultTol()) const;
    bool operator==(const AcGePoint3d& p) const { return isEqualTo(p); }
};

using AcGePoint3dArray = std::vector<AcGePoint3d>;

// Row-major 4x4 affine transform acting on column vectors.
class AcGeMatrix3d {
public:
    std::array<std::array<double, 4>, 4> entry{};
    AcGeMatrix3d(); // identity
    static const AcGeMatrix3d kIdentity;

    static AcGeMatrix3d translation(const AcGeVector3d& v);
    static AcGeMatrix3d scaling(double s, const AcGePoint3d& center = AcGePoint3d::kOrigin);
    static AcGeMatrix3d rotation(double angle, const AcGeVector3d& axis,
                                 const AcGePoint3d& center = AcGePoint3d::kOrigin);
    // Maps the origin and axes of one coordinate system onto another.
    static AcGeMatrix3d alignCoordSys(const AcGePoint3d& fromOrigin, const AcGeVector3d& fromX,
                                      const AcGeVector3d& fromY, const AcGeVector3d& fromZ,
                                      const AcGePoint3d& toOrigin, const AcGeVector3d& toX,
                                      const AcGeVector3d& toY, const AcGeVector3d& toZ);

    AcGeMatrix3d operator*(const AcGeMatrix3d& m) const;
    AcGeMatrix3d inverse() const;
    double det() const;
    bool isEqualTo(const AcGeMatrix3d& m, const AcGeTol& tol = acGeDefaultTol()) const;
    bool operator==(const AcGeMatrix3d& m) const { return isEqualTo(m); }
    // Uniform scale factor of the linear part (length of the transformed X axis).
    double scale() const;

    AcGePoint3d apply(const AcGePoint3d& p) const;
    AcGeVector3d apply(const AcGeVector3d& v) const;
};

inline AcGePoint3d operator*(const AcGeMatrix3d& m, const AcGePoint3d& p) {
    return m.apply(p);
}
inline AcGeVector3d operator*(const AcGeMatrix3d& m, const AcGeVector3d& v) {
    return m.apply(v);
}

// Axis-aligned bounding box in world coordinates.
class AcDbExtents {
public:
    AcDbExtents();
    AcDbExtents(const AcGePoint3d& min, const AcGePoint3d& max);
    const AcGePoint3d& minPoint() const { return m_min; }
    const AcGePoint3d& maxPoint() const { return m_max; }
    bool isValid() const;
    void addPoint(const AcGePoint3d& p);
    void addExt(const AcDbExtents& e);
    void transformBy(const AcGeMatrix3d& m);

private:
    AcGePoint3d m_min, m_max;
};
