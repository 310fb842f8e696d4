// Camera arithmetic of the graphics views: fitting, zoom, dolly and the
// matrices that turn device displacements into world displacements.
#include "hostui/gs_camera.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using hostui::GsCamera;

namespace {

void expectNear(const AcGePoint3d& a, const AcGePoint3d& b, double tol = 1e-9) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

void expectNear(const AcGeVector3d& a, const AcGeVector3d& b, double tol = 1e-9) {
    EXPECT_NEAR(a.x, b.x, tol);
    EXPECT_NEAR(a.y, b.y, tol);
    EXPECT_NEAR(a.z, b.z, tol);
}

GsCamera planCamera(int w, int h, double fieldW, double fieldH) {
    GsCamera cam;
    cam.setDeviceSize(w, h);
    cam.setView(AcGePoint3d(0, 0, 1), AcGePoint3d(0, 0, 0), AcGeVector3d(0, 1, 0), fieldW, fieldH);
    return cam;
}

} // namespace

TEST(GsCamera, PlanViewPutsTargetAtCentreWithYUp) {
    GsCamera cam = planCamera(200, 100, 1.0, 1.0);
    // The field fits the smaller side: 100 pixels per unit.
    EXPECT_DOUBLE_EQ(cam.pixelsPerUnit(), 100.0);
    expectNear(cam.worldToDevice(AcGePoint3d(0, 0, 0)), AcGePoint3d(100, 50, 0));
    expectNear(cam.worldToDevice(AcGePoint3d(0.5, 0.25, 0)), AcGePoint3d(150, 25, 0));
    expectNear(cam.deviceToWorld(150, 25), AcGePoint3d(0.5, 0.25, 0));
}

TEST(GsCamera, FieldFitsTheTighterDirection) {
    GsCamera wide = planCamera(400, 400, 4.0, 1.0);
    EXPECT_DOUBLE_EQ(wide.pixelsPerUnit(), 100.0);
    GsCamera tall = planCamera(400, 400, 1.0, 8.0);
    EXPECT_DOUBLE_EQ(tall.pixelsPerUnit(), 50.0);
}

TEST(GsCamera, ZeroOrInvalidFieldSizesAreIgnoredInTheFit) {
    // A flat entity gives a zero field height: the width alone decides.
    EXPECT_DOUBLE_EQ(planCamera(300, 100, 3.0, 0.0).pixelsPerUnit(), 100.0);
    EXPECT_DOUBLE_EQ(planCamera(300, 100, 0.0, 0.5).pixelsPerUnit(), 200.0);
    EXPECT_DOUBLE_EQ(planCamera(300, 100, 0.0, 0.0).pixelsPerUnit(), 1.0);
    GsCamera cam = planCamera(300, 100, 0.0, 0.0);
    EXPECT_DOUBLE_EQ(cam.fieldWidth(), 0.0);
    cam.setView(cam.position(), cam.target(), cam.upVector(),
                std::numeric_limits<double>::quiet_NaN(), 2.0);
    EXPECT_DOUBLE_EQ(cam.pixelsPerUnit(), 50.0);
    // Matrices stay invertible whatever the field.
    const AcGeMatrix3d m = cam.worldToDeviceMatrix();
    EXPECT_TRUE((m * m.inverse()).isEqualTo(AcGeMatrix3d::kIdentity));
}

TEST(GsCamera, ZoomScalesTheFieldAndIgnoresBadFactors) {
    GsCamera cam = planCamera(100, 100, 2.0, 2.0);
    cam.zoom(1.1);
    EXPECT_NEAR(cam.fieldWidth(), 2.0 / 1.1, 1e-12);
    cam.zoom(0.9);
    EXPECT_NEAR(cam.fieldWidth(), 2.0 / 1.1 / 0.9, 1e-12);
    const double before = cam.fieldWidth();
    cam.zoom(0);
    cam.zoom(-2);
    cam.zoom(std::numeric_limits<double>::infinity());
    cam.zoom(std::numeric_limits<double>::quiet_NaN());
    EXPECT_DOUBLE_EQ(cam.fieldWidth(), before);
    // Position and target do not move.
    expectNear(cam.position(), AcGePoint3d(0, 0, 1));
    expectNear(cam.target(), AcGePoint3d(0, 0, 0));
}

TEST(GsCamera, DeviceDisplacementConvertsToEyeUnitsThroughTheMatrices) {
    GsCamera cam = planCamera(200, 100, 2.0, 1.0); // 100 px per unit
    const AcGeMatrix3d deviceToEye = cam.viewingMatrix() * cam.worldToDeviceMatrix().inverse();
    // Device y runs down; eye y runs up. Depth keeps the horizontal pixel scale.
    expectNear(deviceToEye * AcGeVector3d(20, 0, 0), AcGeVector3d(0.2, 0, 0));
    expectNear(deviceToEye * AcGeVector3d(0, 10, 0), AcGeVector3d(0, -0.1, 0));
    expectNear(deviceToEye * AcGeVector3d(0, 0, 200), AcGeVector3d(0, 0, 2.0));
}

TEST(GsCamera, DollyMovesCameraAndTargetTogetherAlongScreenAxes) {
    GsCamera cam;
    cam.setDeviceSize(100, 100);
    // Looking down with +X up the screen: screen right is world -Y.
    cam.setView(AcGePoint3d(5, 5, 10), AcGePoint3d(5, 5, 0), AcGeVector3d(1, 0, 0), 10, 10);
    cam.dolly(AcGeVector3d(1, 0, 0));
    expectNear(cam.target(), AcGePoint3d(5, 4, 0));
    expectNear(cam.position(), AcGePoint3d(5, 4, 10));
    cam.dolly(AcGeVector3d(0, 2, 0));
    expectNear(cam.target(), AcGePoint3d(7, 4, 0));
    cam.dolly(AcGeVector3d(0, 0, -3)); // towards the target
    expectNear(cam.position(), AcGePoint3d(7, 4, 7));
    expectNear(cam.target(), AcGePoint3d(7, 4, -3));
}

TEST(GsCamera, PanByDeviceMakesThePictureFollowTheCursor) {
    GsCamera cam = planCamera(200, 200, 2.0, 2.0);
    const AcGePoint3d world(0.3, -0.4, 0);
    const AcGePoint3d before = cam.worldToDevice(world);
    cam.panByDevice(17, -9);
    const AcGePoint3d after = cam.worldToDevice(world);
    EXPECT_NEAR(after.x - before.x, 17, 1e-9);
    EXPECT_NEAR(after.y - before.y, -9, 1e-9);
}

TEST(GsCamera, ZoomAtKeepsThePointUnderTheCursor) {
    GsCamera cam = planCamera(300, 200, 3.0, 2.0);
    const AcGePoint3d under = cam.deviceToWorld(40, 170);
    cam.zoomAt(40, 170, 1.7);
    expectNear(cam.deviceToWorld(40, 170), under);
    EXPECT_NEAR(cam.pixelsPerUnit(), 170.0, 1e-9);
}

TEST(GsCamera, ObliqueCameraHasOrthonormalEyeFrame) {
    GsCamera cam;
    cam.setDeviceSize(100, 100);
    cam.setView(AcGePoint3d(1, 1, 1), AcGePoint3d(0, 0, 0), AcGeVector3d(0, 0, 1), 2, 2);
    const AcGeVector3d x = cam.eyeXAxis(), y = cam.eyeYAxis(), z = cam.eyeZAxis();
    EXPECT_NEAR(x.length(), 1, 1e-12);
    EXPECT_NEAR(y.length(), 1, 1e-12);
    EXPECT_NEAR(x.dotProduct(y), 0, 1e-12);
    EXPECT_NEAR(x.dotProduct(z), 0, 1e-12);
    EXPECT_GT(y.z, 0); // world up stays up on screen
    expectNear(cam.viewingMatrix() * AcGePoint3d(1, 1, 1), AcGePoint3d(0, 0, std::sqrt(3.0)));
}

TEST(GsCamera, UpVectorAlongTheLineOfSightFallsBackToAnAxis) {
    GsCamera cam;
    cam.setDeviceSize(100, 100);
    cam.setView(AcGePoint3d(0, 0, 5), AcGePoint3d(0, 0, 0), AcGeVector3d(0, 0, 1), 1, 1);
    const AcGeMatrix3d m = cam.worldToDeviceMatrix();
    EXPECT_TRUE((m * m.inverse()).isEqualTo(AcGeMatrix3d::kIdentity));
    expectNear(cam.eyeYAxis(), AcGeVector3d(0, 1, 0));
    cam.setView(AcGePoint3d(0, 0, 0), AcGePoint3d(0, 0, 0), AcGeVector3d(0, 0, 0), 1, 1);
    expectNear(cam.eyeZAxis(), AcGeVector3d(0, 0, 1));
}

TEST(GsCamera, FitPlanCentresTheBoxWithAMargin) {
    GsCamera cam;
    cam.setDeviceSize(110, 110);
    cam.fitPlan(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 4, 0), 0.05);
    expectNear(cam.target(), AcGePoint3d(5, 2, 0));
    EXPECT_NEAR(cam.fieldWidth(), 11.0, 1e-12);
    EXPECT_NEAR(cam.pixelsPerUnit(), 10.0, 1e-12);
    expectNear(cam.worldToDevice(AcGePoint3d(0, 4, 0)), AcGePoint3d(5, 35, 0));
}

TEST(GsCamera, DeviceSizesBelowOnePixelCountAsOne) {
    GsCamera cam = planCamera(0, -5, 1, 1);
    EXPECT_EQ(cam.deviceWidth(), 1);
    EXPECT_EQ(cam.deviceHeight(), 1);
    EXPECT_DOUBLE_EQ(cam.pixelsPerUnit(), 1.0);
}
