// A drawing saved and read back holds exactly what it held.

#include "acdxf/dxf.h"
#include "dxf/dxf_test_support.h"

#include <gtest/gtest.h>

using namespace dxftest;

TEST(DxfRoundTrip, DefaultDrawingSurvives) {
    AcDbDatabase db;
    auto back = roundTrip(db);
    EXPECT_EQ(dumpDatabase(*back), dumpDatabase(db));
}

TEST(DxfRoundTrip, EveryEntityAndRecordSurvives) {
    auto db = makeEntityDrawing();
    auto back = roundTrip(*db);
    EXPECT_EQ(dumpDatabase(*back), dumpDatabase(*db));
}

TEST(DxfRoundTrip, TablesSurviveWithEveryFeature) {
    auto db = makeTableDrawing();
    auto back = roundTrip(*db);
    EXPECT_EQ(dumpDatabase(*back), dumpDatabase(*db));
}
