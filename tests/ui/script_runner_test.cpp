// The script runner's answers to message boxes and file dialogs, its checks
// at the end of a script and its watchdog, without a frame.
#include "cadhost/command_log.h"
#include "cadhost/input_broker.h"
#include "cadhost/runtime.h"
#include "cadhost/ui_services.h"
#include "hostapp/script_runner.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

using hostapp::ScriptRunner;

namespace {

class ScriptRunnerTest : public ::testing::Test {
protected:
    void SetUp() override { cadhost::resetRuntimeState(); }
    void TearDown() override { cadhost::resetRuntimeState(); }

    // Runs the event loop until the runner finishes (at most ten seconds).
    std::optional<bool> waitForEnd(ScriptRunner& runner) {
        std::optional<bool> result;
        QEventLoop loop;
        QObject::connect(&runner, &ScriptRunner::finished, &loop, [&](bool ok) {
            result = ok;
            loop.quit();
        });
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        if (runner.isRunning())
            loop.exec();
        return result;
    }
    int box(UINT type, const std::string& text = "Really?") {
        cadhost::MessageBoxRequest request;
        request.text = text;
        request.caption = "Question";
        request.type = type;
        return cadhost::UiServices::messageBoxes().messageBox(request);
    }
};

} // namespace

TEST_F(ScriptRunnerTest, AnswerGivenAsTheNextLineAnswersTheBoxThatOpens) {
    ScriptRunner runner(nullptr);
    runner.runText("@answer No\n; the rest\n@answer Yes Really\n", "answers.scr");
    // The box opens before the runner has read any line: both answers come from the script.
    EXPECT_EQ(box(MB_YESNO), IDNO);
    EXPECT_EQ(box(MB_YESNOCANCEL), IDYES);
    EXPECT_EQ(waitForEnd(runner), true);
    EXPECT_NE(cadhost::CommandLineLog::instance().history().find("[Message box] Question: Really?"),
              std::string::npos);
}

TEST_F(ScriptRunnerTest, AnswerThatDoesNotFitTheBoxFailsTheScript) {
    ScriptRunner runner(nullptr);
    runner.runText("@answer Yes\n", "wrong.scr");
    EXPECT_EQ(box(MB_OKCANCEL), IDCANCEL);
    EXPECT_EQ(waitForEnd(runner), false);
    EXPECT_NE(runner.failureMessage().find("wrong.scr:1: @answer Yes"), std::string::npos);
    EXPECT_NE(runner.failureMessage().find("has no Yes button"), std::string::npos);
}

TEST_F(ScriptRunnerTest, ExpectedTextMustBeInTheBox) {
    ScriptRunner runner(nullptr);
    runner.runText("@answer OK Delete\n", "text.scr");
    EXPECT_EQ(box(MB_OK, "Keep it?"), IDOK); // OK is the only button: also its cancel answer
    EXPECT_EQ(waitForEnd(runner), false);
    EXPECT_NE(runner.failureMessage().find("not \"Delete\""), std::string::npos);
}

TEST_F(ScriptRunnerTest, BoxWithNoAnswerFailsAndIsCancelled) {
    ScriptRunner runner(nullptr);
    runner.runText("; nothing answers\n", "none.scr");
    EXPECT_EQ(box(MB_YESNO), IDNO);
    EXPECT_EQ(waitForEnd(runner), false);
    EXPECT_NE(runner.failureMessage().find("opened with no @answer"), std::string::npos);
    // After the run the headless default answers again, and nothing hangs.
    EXPECT_EQ(box(MB_OKCANCEL), IDCANCEL);
}

TEST_F(ScriptRunnerTest, FileDialogsTakeTheirPathOrCancel) {
    ScriptRunner runner(nullptr);
    runner.runText("@file /tmp/a.dxf\n@file\n", "files.scr");
    cadhost::FileDialogRequest request;
    request.title = "Select File";
    EXPECT_EQ(cadhost::UiServices::fileDialogs().chooseFile(request), "/tmp/a.dxf");
    EXPECT_EQ(cadhost::UiServices::fileDialogs().chooseFile(request), std::nullopt);
    EXPECT_EQ(waitForEnd(runner), true);
}

TEST_F(ScriptRunnerTest, UnusedAnswersFailAtTheEnd) {
    ScriptRunner runner(nullptr);
    runner.runText("@file /tmp/a.dxf\n", "unused.scr");
    EXPECT_EQ(waitForEnd(runner), false);
    EXPECT_NE(runner.failureMessage().find("unused.scr:1"), std::string::npos);
    EXPECT_NE(runner.failureMessage().find("no file dialog came"), std::string::npos);
}

TEST_F(ScriptRunnerTest, PromptLeftWaitingAtTheEndFailsTheScript) {
    cadhost::InputRequest request;
    request.kind = cadhost::InputRequest::Kind::Point;
    request.prompt = "\nSpecify insertion point: ";
    cadhost::InputBroker::instance().pushRequest(request);
    ScriptRunner runner(nullptr);
    runner.runText("; done\n", "waiting.scr");
    EXPECT_EQ(waitForEnd(runner), false);
    EXPECT_NE(runner.failureMessage().find("Specify insertion point"), std::string::npos);
}

TEST_F(ScriptRunnerTest, LineWhoseInputIsNeverTakenTripsTheWatchdog) {
    // No command processor runs here: the typed line stays in the broker.
    ScriptRunner runner(nullptr);
    runner.setStallTimeout(300);
    QElapsedTimer clock;
    clock.start();
    runner.runText("NEVERTAKEN\nNEXT\n", "stall.scr");
    EXPECT_EQ(waitForEnd(runner), false);
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_NE(runner.failureMessage().find("stall.scr:1: NEVERTAKEN: no progress"),
              std::string::npos);
}

TEST_F(ScriptRunnerTest, ExpectLooksAtTheTranscriptSinceThePreviousExpect) {
    ScriptRunner runner(nullptr);
    cadhost::CommandLineLog::instance().print("\nalpha beta");
    runner.runText("@expect alpha\n@expect beta\n", "expect.scr");
    EXPECT_EQ(waitForEnd(runner), false);
    EXPECT_NE(runner.failureMessage().find("expect.scr:2"), std::string::npos);
}

TEST_F(ScriptRunnerTest, MalformedDirectivesFailWithTheirUsage) {
    const char* scripts[][2] = {
        {"@cells 1\n", "expected @cells"},         {"@toolbar x\n", "expected @toolbar ID"},
        {"@check 5 maybe\n", "no dialog"},         {"@answer Maybe\n", "expected @answer"},
        {"@bogus\n", "unknown directive"},         {"@cells 1,1\n", "no table cell lies at 1,1"},
        {"@save out.dxf\n", "no drawing is open"}, {"@tearoff 1\n", "expected @tearoff [X,Y]"},
        {"@tearoff 1,1\n", "no drawing view"},
    };
    for (auto& s : scripts) {
        ScriptRunner runner(nullptr);
        runner.runText(s[0], "bad.scr");
        EXPECT_EQ(waitForEnd(runner), false) << s[0];
        EXPECT_NE(runner.failureMessage().find(s[1]), std::string::npos)
            << s[0] << " -> " << runner.failureMessage();
    }
}
