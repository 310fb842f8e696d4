// Runs that must end: unreadable scripts, scripts that run each other without
// end, runaway lines, and the watchdog that fires when the event loop itself
// is stuck.
#include "cadhost/command_log.h"
#include "cadhost/runtime.h"
#include "hostapp/script.h"
#include "hostapp/script_runner.h"
#include "hostapp/stall_watchdog.h"
#include "hostui/command_line_widget.h"

#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

using hostapp::ScriptRunner;
namespace fs = std::filesystem;

namespace {

class ScriptLimitsTest : public ::testing::Test {
protected:
    void SetUp() override {
        cadhost::resetRuntimeState();
        m_dir = fs::temp_directory_path() / ("cadhost-limits-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override {
        cadhost::resetRuntimeState();
        fs::remove_all(m_dir);
    }
    std::string file(const std::string& name, const std::string& text) {
        const std::string path = (m_dir / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }
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
    fs::path m_dir;
};

} // namespace

TEST_F(ScriptLimitsTest, ScriptThatIsNotAReadableFileIsRefusedWithTheReason) {
    std::string text, error;
    EXPECT_FALSE(hostapp::readScriptFile(m_dir.string(), text, error));
    EXPECT_NE(error.find("it is a folder"), std::string::npos) << error;
    EXPECT_FALSE(hostapp::readScriptFile((m_dir / "missing.scr").string(), text, error));
    EXPECT_NE(error.find("does not exist"), std::string::npos) << error;
    EXPECT_TRUE(hostapp::readScriptFile(file("ok.scr", "LINE\n"), text, error));
    EXPECT_EQ(text, "LINE\n");

    ScriptRunner runner(nullptr);
    EXPECT_FALSE(runner.runFile(m_dir.string(), error));
    EXPECT_FALSE(runner.isRunning()); // nothing ran, nothing to save
}

TEST_F(ScriptLimitsTest, ScriptsRunningEachOtherEndlesslyAreStoppedWithAMessage) {
    const std::string path = file("self.scr", "; runs itself\n");
    ScriptRunner runner(nullptr);
    std::string error;
    std::size_t accepted = 0;
    // What a SCRIPT line running its own file does, before any line has run.
    while (runner.runFile(path, error) && accepted < 1000)
        ++accepted;
    EXPECT_EQ(accepted, hostapp::kMaxScriptNesting);
    EXPECT_NE(error.find("more than 32 deep"), std::string::npos) << error;
    EXPECT_EQ(waitForEnd(runner), false);
    EXPECT_NE(runner.failureMessage().find("more than 32 deep"), std::string::npos);
}

TEST_F(ScriptLimitsTest, RunawayLineIsRefusedAndQuotedShort) {
    ScriptRunner runner(nullptr);
    runner.runText("; fine\n" + std::string(hostapp::kMaxScriptLineBytes + 1, 'X') + "\nNEXT\n",
                   "long.scr");
    EXPECT_EQ(waitForEnd(runner), false);
    const std::string& message = runner.failureMessage();
    EXPECT_NE(message.find("long.scr:2: XXX"), std::string::npos);
    EXPECT_NE(message.find("lines longer than 65536 bytes are not taken"), std::string::npos);
    EXPECT_LT(message.size(), 500u);
    EXPECT_EQ(cadhost::CommandLineLog::instance().history().find(std::string(1000, 'X')),
              std::string::npos);
}

TEST_F(ScriptLimitsTest, CommandLineShowsARunawayLineCut) {
    hostui::CommandLineWidget w;
    cadhost::CommandLineLog::instance().print("\nUnknown command \"" + std::string(1 << 20, 'Y') +
                                              "\".  Press F1 for help.");
    cadhost::CommandLineLog::instance().print(std::string(5000, 'Z')); // same line, more of it
    cadhost::CommandLineLog::instance().print("\nCommand: ");
    const QString shown = w.historyText();
    EXPECT_LT(shown.size(), 2100);
    EXPECT_TRUE(shown.contains(QStringLiteral("YYYY [...]\nCommand:")))
        << shown.right(40).toStdString();
    EXPECT_FALSE(shown.contains(QLatin1Char('Z')));
}

TEST(StallWatchdog, FiresWhenNothingReportsProgressAndOnlyThen) {
    std::atomic<int> fired{0};
    std::string where;
    std::mutex whereMutex;
    auto waitForFire = [&](int count) {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (fired.load() < count && std::chrono::steady_clock::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    {
        hostapp::StallWatchdog dog(std::chrono::milliseconds(1000), [&](const std::string& w) {
            std::lock_guard lock(whereMutex);
            where = w;
            ++fired;
        });
        // Progress every 20 ms: never fires.
        for (int i = 0; i < 15; ++i) {
            dog.progress("busy.scr:" + std::to_string(i));
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        }
        EXPECT_EQ(fired.load(), 0);
        // A line that keeps this thread busy: fires once, naming it.
        dog.progress("busy.scr:7: RUNAWAY");
        waitForFire(1);
        EXPECT_EQ(fired.load(), 1);
        // Disarmed: quiet.
        dog.progress("busy.scr:8");
        dog.disarm();
    }
    EXPECT_EQ(fired.load(), 1);
    std::lock_guard lock(whereMutex);
    EXPECT_EQ(where, "busy.scr:7: RUNAWAY");
}
