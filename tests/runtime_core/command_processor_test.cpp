// Commands found and run from typed, queued and script input through one path.
#include "runtime_fixture.h"

#include <stdexcept>

namespace cadhost::test {
namespace {

std::vector<std::string> g_ran;

void alpha() {
    g_ran.push_back("ALPHA");
}
void showCmd() {
    g_ran.push_back("SHOW");
}
void zoomCmd() {
    g_ran.push_back("ZOOM");
    acutPrintf("\nZooming.");
}
void modalCmd() {
    g_ran.push_back("MODAL");
}
void throwing() {
    throw std::runtime_error("table is locked");
}
void pointCmd() {
    ads_point p;
    int rc = acedGetPoint(nullptr, "\nSpecify point: ", p);
    g_ran.push_back(
        "POINT " + std::to_string(rc) +
        (rc == RTNORM ? " " + std::to_string(int(p[0])) + "," + std::to_string(int(p[1])) : ""));
}
void stringCmd() {
    char text[133];
    int rc = acedGetString(1, "\nName: ", text);
    g_ran.push_back("STRING " + std::to_string(rc) + " [" + text + "]");
}

class CommandProcessorTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        g_ran.clear();
        AcEdCommandStack* stack = acedRegCmds;
        ASSERT_NE(stack, nullptr);
        stack->addCommand("TEST", "ALPHA", "ALFA", ACRX_CMD_MODAL, alpha);
        stack->addCommand("TEST", "_VOREL_KELVARIN_SHOW", "VOREL_KELVARIN_SHOW",
                          ACRX_CMD_TRANSPARENT, showCmd);
        stack->addCommand("TEST", "ZOOM", "ZOOM", ACRX_CMD_TRANSPARENT, zoomCmd);
        stack->addCommand("TEST", "MODAL", "MODAL", ACRX_CMD_MODAL, modalCmd);
        stack->addCommand("TEST", "BOOM", "BOOM", ACRX_CMD_MODAL, throwing);
        stack->addCommand("TEST", "PT", "PT", ACRX_CMD_MODAL, pointCmd);
        stack->addCommand("TEST", "STR", "STR", ACRX_CMD_MODAL, stringCmd);
    }
    CommandProcessor& processor = CommandProcessor::instance();
};

TEST_F(CommandProcessorTest, FindsCommandsByEveryFormOfTheirName) {
    for (const char* name : {"ALFA", "alfa", "ALPHA", "_ALPHA", "._alpha", "_.ALPHA", ".alfa"})
        EXPECT_NE(processor.findCommand(name), nullptr) << name;
    // A global name that starts with '_' is found as written and without it.
    EXPECT_STREQ(processor.findCommand("_VOREL_KELVARIN_SHOW")->globalName(),
                 "_VOREL_KELVARIN_SHOW");
    EXPECT_NE(processor.findCommand("vorel_kelvarin_show"), nullptr);
    EXPECT_EQ(processor.findCommand("_"), nullptr);
    EXPECT_EQ(processor.findCommand("ALPH"), nullptr);
}

TEST_F(CommandProcessorTest, TypedQueuedAndScriptInputRunTheSameWay) {
    type("alfa");
    acDocManagerPtr()->queueCommandString(nullptr, "_ALPHA ", false, true, true);
    InputBroker::instance().submitLine("._alpha", InputSource::Script);
    processor.processPending();
    EXPECT_EQ(g_ran, (std::vector<std::string>{"ALPHA", "ALPHA", "ALPHA"}));
    EXPECT_NE(log().find("Command: alfa"), std::string::npos);
    EXPECT_NE(log().find("Command: _ALPHA"), std::string::npos);
}

TEST_F(CommandProcessorTest, UnknownCommandGetsOneLine) {
    type("foo");
    EXPECT_NE(log().find("\nUnknown command \"FOO\".  Press F1 for help."), std::string::npos);
    EXPECT_TRUE(g_ran.empty());
    type("modal");
    EXPECT_EQ(g_ran, (std::vector<std::string>{"MODAL"})) << "the host goes on";
}

TEST_F(CommandProcessorTest, EnterAtCommandPromptRepeatsTheLastCommand) {
    type("alfa");
    type("");
    EXPECT_EQ(g_ran.size(), 2u);
}

TEST_F(CommandProcessorTest, CmdechoOffAtQueueTimeHidesTheQueuedText) {
    SystemVariables::instance().set("CMDECHO", std::int16_t(0));
    acDocManagerPtr()->queueCommandString(nullptr, "_ALPHA ", false, true, true);
    // Restored before the text runs, as the add-ins do.
    SystemVariables::instance().set("CMDECHO", std::int16_t(1));
    processor.processPending();
    EXPECT_EQ(g_ran.size(), 1u);
    EXPECT_EQ(log().find("_ALPHA"), std::string::npos) << log();

    take();
    acDocManagerPtr()->queueCommandString(nullptr, "_ALPHA ", false, true, false);
    processor.processPending();
    EXPECT_EQ(log().find("_ALPHA"), std::string::npos) << "echo false hides it too";
    acDocManagerPtr()->queueCommandString(nullptr, "_ALPHA ", false, true, true);
    processor.processPending();
    EXPECT_NE(log().find("_ALPHA"), std::string::npos);
}

TEST_F(CommandProcessorTest, TransparentCommandRunsDuringAPromptThenThePromptRepeats) {
    InputBroker::instance().submitText("PT ZOOM 'ZOOM 3,4\n", InputSource::Typed);
    processor.processPending();
    EXPECT_EQ(g_ran, (std::vector<std::string>{"ZOOM", "ZOOM", "POINT 5100 3,4"}));
    EXPECT_NE(log().find("Resuming PT command."), std::string::npos);
}

TEST_F(CommandProcessorTest, ModalCommandIsRefusedDuringAPrompt) {
    InputBroker::instance().submitText("PT 'MODAL MODAL 1,2\n", InputSource::Typed);
    processor.processPending();
    EXPECT_EQ(g_ran, (std::vector<std::string>{"POINT 5100 1,2"}));
    EXPECT_NE(log().find("may not be invoked transparently"), std::string::npos);
    EXPECT_NE(log().find("Invalid point."), std::string::npos);
}

TEST_F(CommandProcessorTest, QueuedTransparentCommandFromAModuleRunsInsideAPrompt) {
    // A toolbar button queues "_VOREL_KELVARIN_SHOW " while a command waits.
    waiter.lines = {"1,1"};
    InputBroker::instance().submitLine("PT", InputSource::Typed);
    acDocManagerPtr()->queueCommandString(nullptr, "_VOREL_KELVARIN_SHOW ", false, true, true);
    processor.processPending();
    EXPECT_EQ(g_ran, (std::vector<std::string>{"SHOW", "POINT 5100 1,1"}));
}

TEST_F(CommandProcessorTest, EscapeCancelsThePendingPromptOnly) {
    InputBroker::instance().submitText("PT \x1b"
                                       "ALFA ",
                                       InputSource::Typed);
    processor.processPending();
    EXPECT_EQ(g_ran, (std::vector<std::string>{"POINT -5002", "ALPHA"}));
    EXPECT_NE(log().find("*Cancel*"), std::string::npos);
}

TEST_F(CommandProcessorTest, PromptWithNoInputLeftIsCancelledNotHung) {
    type("PT");
    EXPECT_EQ(g_ran, (std::vector<std::string>{"POINT -5002"}));
    EXPECT_EQ(waiter.waits, 1);
    EXPECT_TRUE(processor.isIdle());
    EXPECT_EQ(InputBroker::instance().requestDepth(), 0u);
}

TEST_F(CommandProcessorTest, WaiterFeedsInputWhenThePromptRunsDry) {
    waiter.lines = {"abc", "7,8"};
    type("PT");
    EXPECT_EQ(g_ran, (std::vector<std::string>{"POINT 5100 7,8"}));
    EXPECT_NE(log().find("Invalid point."), std::string::npos);
}

TEST_F(CommandProcessorTest, StringPromptTakesBlanksUntilEnter) {
    InputBroker::instance().submitText("STR my table name\n", InputSource::Script);
    processor.processPending();
    EXPECT_EQ(g_ran, (std::vector<std::string>{"STRING 5100 [my table name]"}));
}

TEST_F(CommandProcessorTest, ExceptionFromACommandIsReportedAndTheHostGoesOn) {
    type("BOOM");
    EXPECT_NE(log().find("Error in command BOOM: table is locked"), std::string::npos);
    EXPECT_TRUE(processor.isIdle());
    type("ALFA");
    EXPECT_EQ(g_ran.size(), 1u);
}

TEST_F(CommandProcessorTest, LispWithoutInterpreterIsReported) {
    type("(setq a 1)");
    EXPECT_NE(log().find("Cannot evaluate (setq a 1): no LISP interpreter is loaded."),
              std::string::npos);
}

struct FixedLisp : LispEvaluator {
    Result evaluate(const std::string& e) override {
        return e == "(getpt)" ? Result{true, "(4 5 0)"} : Result{true, "\"" + e + "\""};
    }
};

TEST_F(CommandProcessorTest, LispResultAnswersAPrompt) {
    FixedLisp lisp;
    processor.setLispEvaluator(&lisp);
    InputBroker::instance().submitText("PT (getpt)\n", InputSource::Typed);
    processor.processPending();
    processor.setLispEvaluator(nullptr);
    EXPECT_EQ(g_ran, (std::vector<std::string>{"POINT 5100 4,5"}));
}

TEST_F(CommandProcessorTest, OfExpressionsOneAfterTheOtherOnlyTheLastPrints) {
    FixedLisp lisp;
    processor.setLispEvaluator(&lisp);
    type("(first)(second)");
    type("(third) (fourth)");
    type("(fifth)");
    processor.setLispEvaluator(nullptr);
    EXPECT_EQ(log().find("\"(first)\""), std::string::npos) << log();
    EXPECT_NE(log().find("\"(second)\""), std::string::npos) << log();
    EXPECT_EQ(log().find("\"(third)\""), std::string::npos) << log();
    EXPECT_NE(log().find("\"(fourth)\""), std::string::npos) << log();
    EXPECT_NE(log().find("\"(fifth)\""), std::string::npos) << log();
}

TEST_F(CommandProcessorTest, IdleProcessingDoesNothingWhileACommandRuns) {
    static int nested = -1;
    struct Local {
        static void cmd() { nested = CommandProcessor::instance().processPending(); }
    };
    acedRegCmds->addCommand("TEST", "NEST", "NEST", 0, Local::cmd);
    InputBroker::instance().submitText("NEST ALFA ", InputSource::Typed);
    processor.processPending();
    EXPECT_EQ(nested, 0);
    EXPECT_EQ(g_ran, (std::vector<std::string>{"ALPHA"}));
}

TEST_F(CommandProcessorTest, CommandRemovedWhileRunningFinishesSafely) {
    struct Local {
        static void cmd() {
            acedRegCmds->removeGroup("TEST2");
            acutPrintf("\nstill here");
        }
    };
    acedRegCmds->addCommand("TEST2", "SELFREMOVE", "SELFREMOVE", 0, Local::cmd);
    type("SELFREMOVE");
    EXPECT_NE(log().find("still here"), std::string::npos);
    EXPECT_EQ(processor.findCommand("SELFREMOVE"), nullptr);
}

TEST_F(CommandProcessorTest, CommandStackRejectsDuplicatesAndBadInput) {
    AcEdCommandStack* stack = acedRegCmds;
    EXPECT_EQ(stack->addCommand("TEST", "alpha", "other", 0, alpha), Acad::eDuplicateKey);
    EXPECT_EQ(stack->addCommand("TEST", "X1", "ALFA", 0, alpha), Acad::eDuplicateKey);
    EXPECT_EQ(stack->addCommand("TEST", "", "X", 0, alpha), Acad::eInvalidInput);
    EXPECT_EQ(stack->addCommand("TEST", "X", "X", 0, nullptr), Acad::eInvalidInput);
    // Another group may reuse a name; the newer group wins look-ups.
    EXPECT_EQ(stack->addCommand("TEST2", "ALPHA", "ALFA2", 0, modalCmd), Acad::eOk);
    EXPECT_STREQ(stack->lookupGlobalCmd("ALPHA")->groupName(), "TEST2");
    EXPECT_EQ(stack->removeCmd("TEST2", "alpha"), Acad::eOk);
    EXPECT_EQ(stack->removeCmd("TEST2", "alpha"), Acad::eKeyNotFound);
    EXPECT_STREQ(stack->lookupGlobalCmd("ALPHA")->groupName(), "TEST");
}

TEST_F(CommandProcessorTest, RegistryHandsOutTheServicesWithTheirClasses) {
    AcRxObject* linker = acrxSysRegistry()->at("DynamicLinker");
    AcRxObject* commands = acrxSysRegistry()->at("ACAD_REGISTERED_COMMANDS");
    ASSERT_NE(linker, nullptr);
    ASSERT_NE(commands, nullptr);
    EXPECT_NE(AcRxDynamicLinker::cast(linker), nullptr);
    EXPECT_EQ(AcEdCommandStack::cast(linker), nullptr);
    EXPECT_NE(AcEdCommandStack::cast(commands), nullptr);
    EXPECT_EQ(acrxSysRegistry()->at("NoSuchService"), nullptr);
}

} // namespace
} // namespace cadhost::test
