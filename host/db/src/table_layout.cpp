#include "table_layout.h"

#include <cmath>

namespace acdbtable {

AcGeVector3d planeXAxis(const AcGeVector3d& normal) {
    const double limit = 1.0 / 64.0;
    AcGeVector3d ax = (std::fabs(normal.x) < limit && std::fabs(normal.y) < limit)
                          ? AcGeVector3d::kYAxis.crossProduct(normal)
                          : AcGeVector3d::kZAxis.crossProduct(normal);
    return ax.normal();
}

TableFrame TableFrame::make(const AcGePoint3d& origin, const AcGeVector3d& normal,
                            const AcGeVector3d& direction) {
    TableFrame f;
    f.origin = origin;
    f.zAxis = normal.isZeroLength() ? AcGeVector3d::kZAxis : normal.normal();
    AcGeVector3d x = direction - f.zAxis * direction.dotProduct(f.zAxis);
    f.xAxis = x.length() > 1e-12 ? x.normal() : planeXAxis(f.zAxis);
    f.yAxis = f.zAxis.crossProduct(f.xAxis);
    return f;
}

} // namespace acdbtable
