// Result-buffer lists and wildcard matching.
#include "runtime_fixture.h"

namespace cadhost::test {
namespace {

TEST(ResultBuffers, BuildListTakesEachValueByItsType) {
    ads_point p = {1, 2, 3};
    ads_name n = {7, 0};
    resbuf* list =
        acutBuildList(RTDXF0, "ACAD_TABLE", 8, "Walls", RTSHORT, 5, RTLONG, 70000, RTREAL, 2.5,
                      RT3DPOINT, p, RTPOINT, p, RTENAME, n, 62, 3, RTLB, RTLE, 0);
    ASSERT_NE(list, nullptr);
    std::vector<int> types;
    for (resbuf* rb = list; rb; rb = rb->rbnext)
        types.push_back(rb->restype);
    EXPECT_EQ(types, (std::vector<int>{RTDXF0, 8, RTSHORT, RTLONG, RTREAL, RT3DPOINT, RTPOINT,
                                       RTENAME, 62, RTLB, RTLE}));
    resbuf* rb = list;
    EXPECT_STREQ(rb->resval.rstring, "ACAD_TABLE");
    rb = rb->rbnext;
    EXPECT_STREQ(rb->resval.rstring, "Walls");
    rb = rb->rbnext;
    EXPECT_EQ(rb->resval.rint, 5);
    rb = rb->rbnext;
    EXPECT_EQ(rb->resval.rlong, 70000);
    rb = rb->rbnext;
    EXPECT_DOUBLE_EQ(rb->resval.rreal, 2.5);
    rb = rb->rbnext;
    EXPECT_DOUBLE_EQ(rb->resval.rpoint[2], 3);
    rb = rb->rbnext;
    EXPECT_DOUBLE_EQ(rb->resval.rpoint[2], 0) << "a 2D point drops z";
    rb = rb->rbnext;
    EXPECT_EQ(rb->resval.rlname[0], 7);
    rb = rb->rbnext;
    EXPECT_EQ(rb->resval.rint, 3);
    EXPECT_EQ(acutRelRb(list), RTNORM);
    EXPECT_EQ(acutRelRb(nullptr), RTNORM);
}

TEST(ResultBuffers, UnknownTypeGivesNothing) {
    EXPECT_EQ(acutBuildList(RTSTR, "a", 12345, 1, 0), nullptr);
}

TEST(ResultBuffers, StringsAreCopied) {
    std::string text = "Standard";
    resbuf* list = acutBuildList(RTSTR, text.c_str(), 0);
    text[0] = 'X';
    EXPECT_STREQ(list->resval.rstring, "Standard");
    acutRelRb(list);
}

TEST(Wildcards, MatchAsTheSelectionFilterNeeds) {
    auto m = [](const char* t, const char* p) { return acutWcMatch(t, p) == RTNORM; };
    EXPECT_TRUE(m("ACAD_TABLE", "acad_table"));
    EXPECT_TRUE(m("ACAD_TABLE", "*TABLE"));
    EXPECT_TRUE(m("LINE", "ARC,LINE"));
    EXPECT_FALSE(m("LINE", "ARC,CIRCLE"));
    EXPECT_TRUE(m("A1", "@#"));
    EXPECT_FALSE(m("AB", "@#"));
    EXPECT_TRUE(m("Walls", "W?lls"));
    EXPECT_TRUE(m("Walls", "[VW]alls"));
    EXPECT_FALSE(m("Halls", "[~H]alls"));
    EXPECT_TRUE(m("Doors", "~Walls"));
    EXPECT_FALSE(m("Walls", "~Walls"));
    EXPECT_TRUE(m("A,B", "A`,B"));
    EXPECT_TRUE(m("", "*"));
    EXPECT_FALSE(m("LINE", ""));
    EXPECT_EQ(acutWcMatch(nullptr, "*"), RTERROR);
}

} // namespace
} // namespace cadhost::test
