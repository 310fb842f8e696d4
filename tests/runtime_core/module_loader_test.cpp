// Loading the test module and the broken ones; host messages; the module's
// commands and LISP function; cleanup after a sloppy module.
#include "drawing_support.h"
#include "runtime_fixture.h"

#include "cadhost/cell_selection.h"

#include <dlfcn.h>

namespace cadhost::test {
namespace {

class ModuleLoaderTest : public RuntimeTest {
protected:
    ModuleLoader& loader = ModuleLoader::instance();

    // The messages the test module recorded, "1,3,..." (the module's own export).
    std::string messages() {
        const ModuleRecord* m = loader.find("testmod.arx");
        if (!m)
            return "<not loaded>";
        auto fn = reinterpret_cast<const char* (*)()>(dlsym(m->library, "testmodMessages"));
        return fn ? fn() : "<no export>";
    }
};

TEST_F(ModuleLoaderTest, TestModuleGetsItsMessagesInOrder) {
    ASSERT_EQ(acedArxLoad(modulePath("testmod.arx").c_str()), RTNORM) << log();
    EXPECT_EQ(messages(), "1");
    EXPECT_FALSE(loader.isApplicationLocked("testmod.arx"));
    EXPECT_TRUE(loader.isAppMDIAware("TESTMOD.ARX"));
    AcApDocument* d = newDrawing();
    EXPECT_EQ(messages(), "1,3");
    acDocManagerPtr()->closeDocument(d);
    EXPECT_EQ(messages(), "1,3,4");
    EXPECT_NE(log().find("[testmod] closing"), std::string::npos) << "its reactor heard it";
    ASSERT_EQ(acedArxUnload("testmod.arx"), RTNORM);
    EXPECT_EQ(loader.find("testmod.arx"), nullptr);
    EXPECT_NE(log().find("[testmod] message 2"), std::string::npos);
    EXPECT_EQ(CommandProcessor::instance().findCommand("TESTMOD_ECHO"), nullptr);
}

TEST_F(ModuleLoaderTest, ModuleLoadedIntoARunningSessionHearsOfOpenDrawings) {
    newDrawing();
    newDrawing();
    ASSERT_EQ(acedArxLoad(modulePath("testmod.arx").c_str()), RTNORM);
    EXPECT_EQ(messages(), "1,3,3");
}

TEST_F(ModuleLoaderTest, CommandsRunTypedAndQueuedAndQuietly) {
    ASSERT_EQ(acedArxLoad(modulePath("testmod.arx").c_str()), RTNORM);
    newDrawing();
    type("testmod_echo");
    EXPECT_NE(log().find("TESTMOD_ECHO ran."), std::string::npos);
    take();
    // The module queues "_TESTMOD_ECHO " with CMDECHO off around the queuing.
    type("_TESTMOD_QUEUE");
    EXPECT_NE(log().find("TESTMOD_ECHO ran."), std::string::npos);
    EXPECT_EQ(log().find("_TESTMOD_ECHO"), std::string::npos) << log();
    EXPECT_EQ(SystemVariables::instance().getInt("CMDECHO"), 1);
}

TEST_F(ModuleLoaderTest, CellsCommandPrintsTheSelectedRange) {
    ASSERT_EQ(acedArxLoad(modulePath("testmod.arx").c_str()), RTNORM);
    AcApDocument* d = newDrawing();
    addTable(d->database(), AcGePoint3d(0, 0, 0));
    AcDbObjectId second = addTable(d->database(), AcGePoint3d(30, 0, 0));
    type("TESTMOD_CELLS");
    EXPECT_NE(log().find("No table has a cell selection."), std::string::npos);
    ASSERT_EQ(CellSelection::instance().setCellSelection(second, CellRange{1, 2, 0, 3}), Acad::eOk);
    type("TESTMOD_CELLS");
    EXPECT_NE(log().find("Selected cells: rows 1-2, columns 0-3"), std::string::npos);
}

TEST_F(ModuleLoaderTest, PointCommandTakesScriptAnswers) {
    ASSERT_EQ(acedArxLoad(modulePath("testmod.arx").c_str()), RTNORM);
    waiter.lines = {"12,34"};
    type("TESTMOD_POINT");
    EXPECT_NE(log().find("Point: 12,34,0"), std::string::npos) << log();
}

TEST_F(ModuleLoaderTest, LispFunctionIsDefinedWhileADrawingIsOpen) {
    ASSERT_EQ(acedArxLoad(modulePath("testmod.arx").c_str()), RTNORM);
    LispFunctions& lisp = LispFunctions::instance();
    EXPECT_FALSE(lisp.isDefined("testmod-add"));
    AcApDocument* d = newDrawing();
    ASSERT_TRUE(lisp.isDefined("TESTMOD-ADD"));
    resbuf* args = acutBuildList(RTSHORT, 2, RTSHORT, 40, 0);
    LispFunctions::CallResult r = lisp.invoke("testmod-add", args);
    acutRelRb(args);
    ASSERT_EQ(r.status, RTNORM);
    ASSERT_NE(r.value, nullptr);
    EXPECT_EQ(r.value->restype, RTSHORT);
    EXPECT_EQ(r.value->resval.rint, 42);
    acutRelRb(r.value);
    EXPECT_EQ(lisp.invoke("no-such-function", nullptr).status, RTERROR);
    acDocManagerPtr()->closeDocument(d);
    EXPECT_FALSE(lisp.isDefined("testmod-add"));
}

TEST_F(ModuleLoaderTest, SecondLoadOfTheSameModuleIsRefused) {
    ASSERT_EQ(acedArxLoad(modulePath("testmod.arx").c_str()), RTNORM);
    EXPECT_EQ(acedArxLoad(modulePath("testmod.arx").c_str()), RTERROR);
    EXPECT_NE(log().find("already loaded"), std::string::npos);
    EXPECT_EQ(messages(), "1");
}

TEST_F(ModuleLoaderTest, ReloadAfterUnloadWorks) {
    ASSERT_EQ(acedArxLoad(modulePath("testmod.arx").c_str()), RTNORM);
    ASSERT_EQ(acedArxUnload("testmod.arx"), RTNORM);
    ASSERT_EQ(acedArxLoad(modulePath("testmod.arx").c_str()), RTNORM) << log();
    type("TESTMOD_ECHO");
    EXPECT_NE(log().find("TESTMOD_ECHO ran."), std::string::npos);
}

struct FailureCase {
    const char* file;
    const char* message;
};

class ModuleLoaderFailureTest : public ModuleLoaderTest,
                                public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ModuleLoaderFailureTest, IsReportedAndTheHostGoesOn) {
    std::string path = modulePath(GetParam().file);
    EXPECT_EQ(acedArxLoad(path.c_str()), RTERROR);
    EXPECT_NE(log().find(GetParam().message), std::string::npos) << log();
    EXPECT_EQ(loader.find(path), nullptr);
    EXPECT_TRUE(loader.loadedModules().empty());
    // The host goes on: a good module still loads.
    EXPECT_EQ(acedArxLoad(modulePath("testmod.arx").c_str()), RTNORM);
}

INSTANTIATE_TEST_SUITE_P(
    Broken, ModuleLoaderFailureTest,
    ::testing::Values(FailureCase{"missing.arx", "the file does not exist"},
                      FailureCase{"notamodule.arx", "it is not a loadable module"},
                      FailureCase{"noentrymod.arx", "it does not export acrxEntryPoint"},
                      FailureCase{"badversionmod.arx", "built for API version 0xF0000"},
                      FailureCase{"failinitmod.arx", "its initialisation failed"}),
    [](const auto& info) {
        std::string name = info.param.file;
        return name.substr(0, name.find('.'));
    });

TEST_F(ModuleLoaderTest, DirectoryAndEmptyNameAreNoModules) {
    EXPECT_EQ(acedArxLoad(binaryDir().c_str()), RTERROR);
    EXPECT_NE(log().find("it is not a module file"), std::string::npos);
    EXPECT_EQ(acedArxLoad(""), RTERROR);
    EXPECT_EQ(acedArxLoad(nullptr), RTERROR);
}

TEST_F(ModuleLoaderTest, LockedModuleCannotBeUnloaded) {
    ASSERT_EQ(acedArxLoad(modulePath("lockedmod.arx").c_str()), RTNORM);
    EXPECT_TRUE(loader.isApplicationLocked("lockedmod.arx"));
    EXPECT_EQ(acedArxUnload("lockedmod.arx"), RTERROR);
    EXPECT_NE(log().find("the module is locked"), std::string::npos);
    EXPECT_NE(loader.find("lockedmod.arx"), nullptr);
    EXPECT_EQ(acedArxUnload("nosuch.arx"), RTERROR);
    EXPECT_NE(log().find("is not loaded"), std::string::npos);
}

TEST_F(ModuleLoaderTest, SloppyModuleLeavesNothingDanglingBehind) {
    ASSERT_EQ(acedArxLoad(modulePath("sloppymod.arx").c_str()), RTNORM);
    AcApDocument* d = newDrawing();
    ASSERT_NE(CommandProcessor::instance().findCommand("TESTMOD_ECHO"), nullptr);
    ASSERT_EQ(acedArxUnload("sloppymod.arx"), RTNORM);
    // Its command and reactor would now point into unmapped code.
    EXPECT_EQ(CommandProcessor::instance().findCommand("TESTMOD_ECHO"), nullptr);
    type("TESTMOD_ECHO");
    EXPECT_NE(log().find("Unknown command"), std::string::npos);
    EXPECT_EQ(acDocManagerPtr()->closeDocument(d), Acad::eOk);
    EXPECT_FALSE(LispFunctions::instance().isDefined("testmod-add"));
}

TEST_F(ModuleLoaderTest, LinkerFlagsNeedTheModulesOwnPacket) {
    int notAPacket = 0;
    EXPECT_FALSE(loader.unlockApplication(&notAPacket));
    EXPECT_EQ(loader.registerAppMDIAware(&notAPacket), Acad::eInvalidInput);
    EXPECT_EQ(acrxDynamicLinker->loadModule(modulePath("testmod.arx").c_str(), true), true);
    EXPECT_EQ(acrxDynamicLinker->loadedModules(), (std::vector<std::string>{"testmod.arx"}));
    EXPECT_TRUE(acrxDynamicLinker->unloadModule("testmod.arx"));
}

TEST(ApiHandshake, LaterQueriesAnswerADerivedValue) {
    EXPECT_NE(acrxApiHandshake(kAcrxApiVersion), kAcrxApiVersion);
    EXPECT_EQ(acrxApiHandshake(5), acrxApiHandshake(5));
    EXPECT_NE(acrxApiHandshake(5), acrxApiHandshake(6));
}

} // namespace
} // namespace cadhost::test
