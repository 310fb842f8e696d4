// System variables through acedGetVar / acedSetVar.
#include "runtime_fixture.h"

#include <cstdlib>

namespace cadhost::test {
namespace {

class SystemVariablesTest : public RuntimeTest {
protected:
    resbuf shortValue(int v) {
        resbuf rb{};
        rb.restype = RTSHORT;
        rb.resval.rint = static_cast<short>(v);
        return rb;
    }
    resbuf stringValue(const char* s) {
        resbuf rb{};
        rb.restype = RTSTR;
        rb.resval.rstring = const_cast<char*>(s);
        return rb;
    }
    std::string getString(const char* name) {
        resbuf rb{};
        EXPECT_EQ(acedGetVar(name, &rb), RTNORM);
        EXPECT_EQ(rb.restype, RTSTR);
        std::string s = rb.resval.rstring ? rb.resval.rstring : "";
        acutDelString(rb.resval.rstring);
        return s;
    }
};

TEST_F(SystemVariablesTest, DefaultsAndTypes) {
    resbuf rb{};
    ASSERT_EQ(acedGetVar("cmdecho", &rb), RTNORM);
    EXPECT_EQ(rb.restype, RTSHORT);
    EXPECT_EQ(rb.resval.rint, 1);
    ASSERT_EQ(acedGetVar("OSMODE", &rb), RTNORM);
    EXPECT_EQ(rb.restype, RTSHORT);
    EXPECT_EQ(rb.resval.rint, 4133);
    EXPECT_EQ(getString("CTAB"), "Model");
    EXPECT_EQ(acedGetVar("NOSUCHVAR", &rb), RTERROR);
}

TEST_F(SystemVariablesTest, SetKeepsTheTypeAndChecksRange) {
    resbuf zero = shortValue(0);
    ASSERT_EQ(acedSetVar("OSMODE", &zero), RTNORM);
    EXPECT_EQ(SystemVariables::instance().getInt("OSMODE"), 0);
    resbuf asLong{};
    asLong.restype = RTLONG;
    asLong.resval.rlong = 37;
    ASSERT_EQ(acedSetVar("OSMODE", &asLong), RTNORM) << "whole numbers convert";
    resbuf rb{};
    acedGetVar("OSMODE", &rb);
    EXPECT_EQ(rb.restype, RTSHORT);
    EXPECT_EQ(rb.resval.rint, 37);

    resbuf two = shortValue(2);
    EXPECT_EQ(acedSetVar("CMDECHO", &two), RTREJ);
    resbuf text = stringValue("1");
    EXPECT_EQ(acedSetVar("CMDECHO", &text), RTREJ);
    resbuf real{};
    real.restype = RTREAL;
    real.resval.rreal = 0.5;
    EXPECT_EQ(acedSetVar("CMDECHO", &real), RTREJ);
    EXPECT_EQ(SystemVariables::instance().getInt("CMDECHO"), 1);
    EXPECT_EQ(acedSetVar("NOSUCHVAR", &two), RTERROR);
}

TEST_F(SystemVariablesTest, ReadOnlyVariablesRefuseWrites) {
    resbuf v = stringValue("x");
    EXPECT_EQ(acedSetVar("ACADVER", &v), RTREJ);
    EXPECT_EQ(acedSetVar("DWGNAME", &v), RTREJ);
    resbuf one = shortValue(1);
    EXPECT_EQ(acedSetVar("CMDACTIVE", &one), RTREJ);
}

TEST_F(SystemVariablesTest, CtabFollowsTheActiveDocument) {
    resbuf model = stringValue("MODEL");
    EXPECT_EQ(acedSetVar("CTAB", &model), RTREJ) << "no drawing open";
    AcApDocument* a = newDrawing();
    ASSERT_EQ(acedSetVar("CTAB", &model), RTNORM);
    EXPECT_EQ(getString("CTAB"), "Model") << "the layout's own spelling";
    resbuf layout = stringValue("layout1");
    ASSERT_EQ(acedSetVar("CTAB", &layout), RTNORM);
    EXPECT_EQ(getString("CTAB"), "Layout1");
    resbuf bogus = stringValue("Sheet9");
    EXPECT_EQ(acedSetVar("CTAB", &bogus), RTREJ);
    newDrawing();
    EXPECT_EQ(getString("CTAB"), "Model");
    acDocManagerPtr()->setActiveDocument(a);
    EXPECT_EQ(getString("CTAB"), "Layout1");
}

TEST_F(SystemVariablesTest, DocumentAndCommandStateVariables) {
    AcApDocument* d = newDrawing();
    EXPECT_EQ(getString("DWGNAME"), d->docTitle());
    EXPECT_EQ(getString("CLAYER"), "0");
    static int active = -1;
    static std::string names;
    struct Local {
        static void cmd() {
            active = SystemVariables::instance().getInt("CMDACTIVE");
            names = SystemVariables::instance().getString("CMDNAMES");
        }
    };
    acedRegCmds->addCommand("TEST", "PROBE", "PROBE", 0, Local::cmd);
    type("PROBE");
    EXPECT_EQ(active, 1);
    EXPECT_EQ(names, "PROBE");
    EXPECT_EQ(SystemVariables::instance().getInt("CMDACTIVE"), 0);
}

TEST_F(SystemVariablesTest, PointVariableRoundTrips) {
    resbuf p{};
    p.restype = RT3DPOINT;
    p.resval.rpoint[0] = 1;
    p.resval.rpoint[1] = 2;
    p.resval.rpoint[2] = 3;
    ASSERT_EQ(acedSetVar("LASTPOINT", &p), RTNORM);
    resbuf rb{};
    ASSERT_EQ(acedGetVar("LASTPOINT", &rb), RTNORM);
    EXPECT_EQ(rb.restype, RT3DPOINT);
    EXPECT_DOUBLE_EQ(rb.resval.rpoint[2], 3);
}

TEST_F(SystemVariablesTest, ResetRestoresDefaults) {
    resbuf zero = shortValue(0);
    acedSetVar("OSMODE", &zero);
    SystemVariables::instance().resetToDefaults();
    EXPECT_EQ(SystemVariables::instance().getInt("OSMODE"), 4133);
}

} // namespace
} // namespace cadhost::test
