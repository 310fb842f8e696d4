// The acedGet* functions: what each answer gives.
#include "runtime_fixture.h"

namespace cadhost::test {
namespace {

class PromptsTest : public RuntimeTest {
protected:
    void feed(const std::string& text) {
        InputBroker::instance().submitText(text, InputSource::Script);
    }
};

TEST_F(PromptsTest, GetPointParsesTwoAndThreeCoordinates) {
    ads_point p;
    feed("10,20\n");
    ASSERT_EQ(acedGetPoint(nullptr, "\nPoint: ", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[0], 10);
    EXPECT_DOUBLE_EQ(p[1], 20);
    EXPECT_DOUBLE_EQ(p[2], 0);
    feed("-1.5,.25,5\n");
    ASSERT_EQ(acedGetPoint(nullptr, "\nPoint: ", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[0], -1.5);
    EXPECT_DOUBLE_EQ(p[1], 0.25);
    EXPECT_DOUBLE_EQ(p[2], 5);
}

TEST_F(PromptsTest, GetPointEnterIsNoneAndEscIsCancel) {
    ads_point p;
    feed("\n");
    EXPECT_EQ(acedGetPoint(nullptr, "\nPoint: ", p), RTNONE);
    feed("\x1b");
    EXPECT_EQ(acedGetPoint(nullptr, "\nPoint: ", p), RTCAN);
    EXPECT_NE(log().find("Point: *Cancel*"), std::string::npos);
}

TEST_F(PromptsTest, GetPointRepromptsOnBadTextUntilAPointComes) {
    ads_point p;
    feed("abc 1,2,3,4 1,,2 1,x 3,4\n");
    ASSERT_EQ(acedGetPoint(nullptr, "\nPoint: ", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[0], 3);
    std::string text = log();
    std::size_t count = 0;
    for (std::size_t at = text.find("Invalid point."); at != std::string::npos;
         at = text.find("Invalid point.", at + 1))
        ++count;
    EXPECT_EQ(count, 4u);
}

TEST_F(PromptsTest, GetPointTakesPicksAndRelativeInput) {
    ads_point p;
    InputBroker::instance().submitPoint(AcGePoint3d(7, 8, 0));
    ASSERT_EQ(acedGetPoint(nullptr, "\nPoint: ", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[0], 7);
    // "@dx,dy" is relative to the base point, or to the last point without one.
    ads_point base = {100, 100, 0};
    feed("@1,2\n");
    ASSERT_EQ(acedGetPoint(base, "\nNext: ", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[0], 101);
    EXPECT_DOUBLE_EQ(p[1], 102);
    feed("@1,1\n");
    ASSERT_EQ(acedGetPoint(nullptr, "\nNext: ", p), RTNORM);
    EXPECT_DOUBLE_EQ(p[0], 102);
    EXPECT_DOUBLE_EQ(p[1], 103);
}

TEST_F(PromptsTest, NoInputEverIsCancel) {
    ads_point p;
    EXPECT_EQ(acedGetPoint(nullptr, "\nPoint: ", p), RTCAN);
    int i = 0;
    EXPECT_EQ(acedGetInt("\nN: ", &i), RTCAN);
}

TEST_F(PromptsTest, IntegerPromptChecksTypeRangeAndInitGetBits) {
    int value = 0;
    feed("2.5 x 40000 7\n");
    ASSERT_EQ(acedGetInt("\nColumns: ", &value), RTNORM);
    EXPECT_EQ(value, 7);
    EXPECT_NE(log().find("Requires an integer value."), std::string::npos);
    EXPECT_NE(log().find("between -32768 and 32767"), std::string::npos);

    acedInitGet(RSG_NONULL | RSG_NOZERO | RSG_NONEG, nullptr);
    feed("\n0 -3 4\n");
    ASSERT_EQ(acedGetInt("\nRows: ", &value), RTNORM);
    EXPECT_EQ(value, 4);
    EXPECT_NE(log().find("Value must be nonzero."), std::string::npos);
    EXPECT_NE(log().find("Value must be positive."), std::string::npos);

    // The bits apply to one call only.
    feed("\n");
    EXPECT_EQ(acedGetInt("\nRows: ", &value), RTNONE);
}

TEST_F(PromptsTest, RealPromptAcceptsDecimalsAndRejectsText) {
    double value = 0;
    feed("wide 2.5e1\n");
    ASSERT_EQ(acedGetReal("\nWidth: ", &value), RTNORM);
    EXPECT_DOUBLE_EQ(value, 25);
    EXPECT_NE(log().find("Requires numeric value."), std::string::npos);
}

TEST_F(PromptsTest, KeywordsMatchWholeAbbreviatedAndByPrefix) {
    char kw[133];
    acedInitGet(0, "Left Right eXit");
    feed("x\n");
    ads_point p;
    ASSERT_EQ(acedGetPoint(nullptr, "\nPoint or [Left/Right/eXit]: ", p), RTKWORD);
    ASSERT_EQ(acedGetInput(kw), RTNORM);
    EXPECT_STREQ(kw, "eXit");

    acedInitGet(0, "Left Right");
    feed("ri\n");
    ASSERT_EQ(acedGetKword("\nSide: ", kw), RTNORM);
    EXPECT_STREQ(kw, "Right");

    acedInitGet(0, "Left Right");
    feed("up left\n");
    ASSERT_EQ(acedGetKword("\nSide: ", kw), RTNORM);
    EXPECT_STREQ(kw, "Left");
    EXPECT_NE(log().find("Invalid option keyword."), std::string::npos);
}

TEST_F(PromptsTest, StringPromptEnterIsAnEmptyAnswerAndLongAnswersAreCut) {
    char text[133];
    feed("\n");
    EXPECT_EQ(acedGetString(0, "\nName: ", text), RTNORM);
    EXPECT_STREQ(text, "");
    feed("one two\n");
    EXPECT_EQ(acedGetString(0, "\nName: ", text), RTNORM);
    EXPECT_STREQ(text, "one");
    // "two" is still waiting from the same line.
    char small[3];
    EXPECT_EQ(acedGetString(0, "\nName: ", small, sizeof small), RTINPUTTRUNCATED);
    EXPECT_STREQ(small, "tw");
    feed("\x1b");
    EXPECT_EQ(acedGetString(1, "\nName: ", text), RTCAN);
}

TEST_F(PromptsTest, PromptIsPublishedWhileWaiting) {
    struct Probe : InputWaiter {
        InputRequest seen;
        bool wait() override {
            seen = *InputBroker::instance().currentRequest();
            InputBroker::instance().submitLine("1,1", InputSource::Script);
            return true;
        }
    } probe;
    InputBroker::instance().setWaiter(&probe);
    ads_point base = {5, 5, 0}, p;
    ASSERT_EQ(acedGetPoint(base, "\nTo point: ", p), RTNORM);
    EXPECT_EQ(probe.seen.kind, InputRequest::Kind::Point);
    EXPECT_EQ(probe.seen.prompt, "\nTo point: ");
    ASSERT_TRUE(probe.seen.basePoint);
    EXPECT_DOUBLE_EQ(probe.seen.basePoint->x, 5);
    EXPECT_EQ(InputBroker::instance().currentRequest(), nullptr);
}

TEST_F(PromptsTest, GetDistFromNumberOrTwoPoints) {
    double d = 0;
    feed("3.5\n");
    ASSERT_EQ(acedGetDist(nullptr, "\nDistance: ", &d), RTNORM);
    EXPECT_DOUBLE_EQ(d, 3.5);
    feed("0,0 3,4\n");
    ASSERT_EQ(acedGetDist(nullptr, "\nDistance: ", &d), RTNORM);
    EXPECT_DOUBLE_EQ(d, 5);
}

} // namespace
} // namespace cadhost::test
