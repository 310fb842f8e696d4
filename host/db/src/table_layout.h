#pragma once
// Where a table's grid lies in the world: its plane (origin at the top-left
// corner, x along the columns, y up, so rows run towards -y) and the
// positions of its grid lines.

#include "acdb/geometry.h"

#include <vector>

namespace acdbtable {

struct TableFrame {
    AcGePoint3d origin;
    AcGeVector3d xAxis{1, 0, 0};
    AcGeVector3d yAxis{0, 1, 0};
    AcGeVector3d zAxis{0, 0, 1};

    // The frame of a table at `origin` with the given normal whose columns run
    // along `direction` (projected onto the table's plane).
    static TableFrame make(const AcGePoint3d& origin, const AcGeVector3d& normal,
                           const AcGeVector3d& direction);

    // World point of plane coordinates (u along the columns, v up).
    AcGePoint3d at(double u, double v) const { return origin + xAxis * u + yAxis * v; }
    // Plane coordinates of a world point projected onto the plane.
    double uOf(const AcGePoint3d& p) const { return (p - origin).dotProduct(xAxis); }
    double vOf(const AcGePoint3d& p) const { return (p - origin).dotProduct(yAxis); }
};

// Grid line positions: colX[c] is the distance of column c's left line from
// the table's left edge (colX[cols] the width); rowY[r] the distance of row
// r's top line below the table's top (rowY[rows] the height).
struct TableLayout {
    std::vector<double> colX;
    std::vector<double> rowY;
    double width() const { return colX.back(); }
    double height() const { return rowY.back(); }
};

// The axis the arbitrary-axis rule gives a plane with this normal.
AcGeVector3d planeXAxis(const AcGeVector3d& normal);

} // namespace acdbtable
