// Geometry, colours and the polyline queries the add-in's point test relies on.
#include "acdb/acdb.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

TEST(Matrix, InverseAndRotationRoundTrip) {
    AcGeMatrix3d m = AcGeMatrix3d::translation({3, -2, 1}) *
                     AcGeMatrix3d::rotation(0.7, AcGeVector3d::kZAxis, {1, 1, 0}) *
                     AcGeMatrix3d::scaling(2.5);
    AcGePoint3d p(4, 5, 6);
    EXPECT_TRUE((m.inverse() * (m * p)).isEqualTo(p, AcGeTol{1e-9, 1e-9}));
    EXPECT_TRUE((m * m.inverse()).isEqualTo(AcGeMatrix3d::kIdentity, AcGeTol{1e-9, 1e-9}));
    AcGePoint3d r = AcGeMatrix3d::rotation(M_PI / 2, AcGeVector3d::kZAxis) * AcGePoint3d(1, 0, 0);
    EXPECT_TRUE(r.isEqualTo({0, 1, 0}, AcGeTol{1e-12, 1e-12}));
    EXPECT_NEAR(AcGeMatrix3d::scaling(3).scale(), 3.0, 1e-12);
}

TEST(Extents, TransformKeepsTheBoxAroundRotatedCorners) {
    AcDbExtents e({0, 0, 0}, {2, 1, 0});
    e.transformBy(AcGeMatrix3d::rotation(M_PI / 2, AcGeVector3d::kZAxis));
    EXPECT_NEAR(e.minPoint().x, -1, 1e-12);
    EXPECT_NEAR(e.maxPoint().y, 2, 1e-12);
    EXPECT_FALSE(AcDbExtents().isValid());
}

TEST(Colors, StandardIndexTable) {
    EXPECT_EQ(acedGetRGB(1), 0xFF0000ul);
    EXPECT_EQ(acedGetRGB(5), 0x0000FFul);
    EXPECT_EQ(acedGetRGB(7), 0xFFFFFFul);
    EXPECT_EQ(acedGetRGB(8), 0x808080ul);
    EXPECT_EQ(acedGetRGB(10), 0xFF0000ul);
    EXPECT_EQ(acedGetRGB(11), 0xFF7F7Ful);
    EXPECT_EQ(acedGetRGB(30), 0xFF7F00ul);
    EXPECT_EQ(acedGetRGB(250), 0x333333ul);
    EXPECT_EQ(acdbNearestColorIndex({255, 0, 0}), 1);
}

TEST(Colors, MethodsAndIndices) {
    AcCmColor c;
    EXPECT_TRUE(c.isByLayer());
    c.setColorIndex(0);
    EXPECT_TRUE(c.isByBlock());
    c.setColorIndex(256);
    EXPECT_TRUE(c.isByLayer());
    c.setColorIndex(3);
    EXPECT_TRUE(c.isByACI());
    EXPECT_EQ(c.colorIndex(), 3);
    // An index outside 0..256 (65535 from a "nothing chosen" -1, 257 and
    // up) names no colour: the colour stays as it was.
    for (int bad : {65535, 257, 300}) {
        c.setColorIndex(static_cast<std::uint16_t>(bad));
        EXPECT_TRUE(c.isByACI()) << bad;
        EXPECT_EQ(c.colorIndex(), 3) << bad;
    }
    AcCmColor fresh;
    fresh.setColorIndex(65535);
    EXPECT_TRUE(fresh.isByLayer());
    AcDbLine line;
    EXPECT_EQ(line.setColorIndex(65535), Acad::eInvalidInput);
    EXPECT_TRUE(line.color().isByLayer());
    EXPECT_EQ(AcCmColor::fromIndex(3), AcCmColor::fromIndex(3));
    EXPECT_FALSE(AcCmColor::fromIndex(3) == AcCmColor::byBlock());
    EXPECT_TRUE(AcCmColor::fromRgb(1, 2, 3).isByColor());
}

AcDbPolyline square() {
    AcDbPolyline p;
    p.addVertexAt(0, {0, 0});
    p.addVertexAt(1, {10, 0});
    p.addVertexAt(2, {10, 10});
    p.addVertexAt(3, {0, 10});
    p.setClosed(true);
    return p;
}

AcDbRay rayFrom(AcGePoint3d base, double angle) {
    AcDbRay r;
    r.setBasePoint(base);
    r.setUnitDir({std::cos(angle), std::sin(angle), 0});
    return r;
}

TEST(Polyline, ClosestPointIncludesTheClosingSegment) {
    AcDbPolyline p = square();
    AcGePoint3d c;
    ASSERT_EQ(p.getClosestPointTo({-3, 5, 7}, c), Acad::eOk);
    EXPECT_TRUE(c.isEqualTo({0, 5, 0}));
    ASSERT_EQ(p.getClosestPointTo({5, 5, 0}, c), Acad::eOk);
    EXPECT_NEAR(c.distanceTo({5, 5, 0}), 5.0, 1e-12);
}

TEST(Polyline, RayCrossingsCountOncePerCrossing) {
    AcDbPolyline p = square();
    AcGePoint3dArray hits;
    ASSERT_EQ(p.intersectWith(rayFrom({5, 5, 0}, M_PI / 6), hits), Acad::eOk);
    EXPECT_EQ(hits.size(), 1u);
    hits.clear();
    p.intersectWith(rayFrom({-5, 5, 0}, 0), hits);
    EXPECT_EQ(hits.size(), 2u);
    hits.clear();
    p.intersectWith(rayFrom({-5, 5, 0}, M_PI), hits);
    EXPECT_TRUE(hits.empty());
    // Through a corner: the two segments meeting there give one point.
    hits.clear();
    p.intersectWith(rayFrom({-5, -5, 0}, M_PI / 4), hits);
    EXPECT_EQ(hits.size(), 2u);
    AcDbPolyline single;
    single.addVertexAt(0, {0, 0});
    EXPECT_EQ(single.intersectWith(rayFrom({0, 0, 0}, 0), hits), Acad::eDegenerateGeometry);
}

TEST(Text, ExtentsFollowJustification) {
    AcDbText t;
    t.setTextString("ABCD");
    t.setHeight(1);
    t.setHorizontalMode(AcDbText::kRight);
    t.setAlignmentPoint({10, 0, 0});
    AcDbExtents e;
    ASSERT_EQ(t.getGeomExtents(e), Acad::eOk);
    EXPECT_NEAR(e.maxPoint().x, 10, 1e-12);
    EXPECT_LT(e.minPoint().x, 10);
    EXPECT_EQ(t.setHeight(0), Acad::eInvalidInput);
}

} // namespace
