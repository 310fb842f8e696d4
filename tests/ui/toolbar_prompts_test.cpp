// Prompts started from a toolbar button outside any command behave as they
// do inside one: shown on the command line, answered by typed, scripted and
// picked input, cancelled by Esc; and edits made there are redrawn.
#include "arxHeaders.h"

#include "cadhost/command_log.h"
#include "cadhost/command_processor.h"
#include "cadhost/documents.h"
#include "cadhost/input_broker.h"
#include "cadhost/runtime.h"
#include "hostui/command_line_widget.h"
#include "hostui/frame_window.h"
#include "hostui/input_pump.h"

#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Runs each step from the event loop, a few milliseconds apart, whether or
// not the previous one returned (a step may start a nested prompt loop).
class Steps : public QObject {
public:
    explicit Steps(std::vector<std::function<void()>> steps) : m_steps(std::move(steps)) {
        QTimer::singleShot(0, this, [this] { next(); });
    }
    bool done() const { return m_index >= m_steps.size(); }

private:
    void next() {
        if (done())
            return;
        // The next step is due before this one runs: a step may not return
        // until a later one answered it.
        QTimer::singleShot(5, this, [this] { next(); });
        m_steps[m_index++]();
    }
    std::vector<std::function<void()>> m_steps;
    std::size_t m_index = 0;
};

class ToolbarPrompts : public ::testing::Test {
protected:
    void SetUp() override {
        cadhost::resetRuntimeState();
        cadhost::initializeRuntime();
        frame = std::make_unique<hostui::FrameWindow>();
        frame->show();
        acDocManagerPtr()->newDocument();
        mark = cadhost::CommandLineLog::instance().historySize();
    }
    void TearDown() override {
        frame.reset();
        cadhost::resetRuntimeState();
    }
    std::string log() const { return cadhost::CommandLineLog::instance().historySince(mark); }

    std::unique_ptr<hostui::FrameWindow> frame;
    std::size_t mark = 0;
};

TEST_F(ToolbarPrompts, ALoopOfPointPromptsFromAButtonTakesEveryKindOfInput) {
    // The handler Match Cell has: ask for points until the user stops.
    std::vector<AcGePoint3d> points;
    int lastStatus = 0;
    QString promptShown;
    bool finished = false;
    QPushButton button(QStringLiteral("Match Cell"));
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ads_point p;
        int rc;
        while ((rc = acedGetPoint(nullptr, "\nSelect destination cell: ", p)) == RTNORM)
            points.push_back(AcGePoint3d(p[0], p[1], p[2]));
        lastStatus = rc;
        finished = true;
    });
    auto& broker = cadhost::InputBroker::instance();
    Steps steps({
        [&] { button.click(); },
        [&] {
            promptShown = frame->commandLine()->promptText();
            broker.submitLine("10,20", cadhost::InputSource::Script);
            // Whichever runs first, the pump or the prompt's loop, the
            // waiting prompt takes the line: it is no command.
            frame->commandPump()->runPending();
        },
        [&] { broker.submitLine("30,40", cadhost::InputSource::Typed); },
        [&] { broker.submitPoint(AcGePoint3d(5, 6, 0)); },
        [&] { broker.submitEscape(); },
    });
    QTRY_VERIFY_WITH_TIMEOUT(finished, 5000);
    EXPECT_TRUE(promptShown.contains(QStringLiteral("Select destination cell")))
        << promptShown.toStdString();
    ASSERT_EQ(points.size(), 3u) << log();
    EXPECT_EQ(points[0], AcGePoint3d(10, 20, 0));
    EXPECT_EQ(points[1], AcGePoint3d(30, 40, 0));
    EXPECT_EQ(points[2], AcGePoint3d(5, 6, 0));
    EXPECT_EQ(lastStatus, RTCAN);
    EXPECT_EQ(log().find("Unknown command"), std::string::npos) << log();
    EXPECT_EQ(broker.requestDepth(), 0u);
}

TEST_F(ToolbarPrompts, EnterEndsTheLoopAndCommandsRunAgainAfterwards) {
    int lastStatus = 0;
    bool finished = false;
    QPushButton button(QStringLiteral("Pick"));
    QObject::connect(&button, &QPushButton::clicked, [&] {
        ads_point p;
        lastStatus = acedGetPoint(nullptr, "\nPick: ", p);
        finished = true;
    });
    auto& broker = cadhost::InputBroker::instance();
    Steps steps(
        {[&] { button.click(); }, [&] { broker.submitLine("", cadhost::InputSource::Script); }});
    QTRY_VERIFY_WITH_TIMEOUT(finished, 5000);
    EXPECT_EQ(lastStatus, RTNONE);
    // Back at the command prompt, typed text is a command again.
    broker.submitLine("NOSUCHCOMMAND", cadhost::InputSource::Typed);
    QTRY_VERIFY_WITH_TIMEOUT(log().find("Unknown command \"NOSUCHCOMMAND\"") != std::string::npos,
                             5000);
}

TEST_F(ToolbarPrompts, AnEditOutsideACommandIsRedrawnWhenItsLockIsReleased) {
    int refreshes = 0;
    QObject::connect(frame.get(), &hostui::FrameWindow::drawingRefreshed, [&] { ++refreshes; });
    AcApDocument* doc = acDocManagerPtr()->curDocument();
    QCoreApplication::processEvents();
    refreshes = 0;

    // What a toolbar button does: lock, edit, unlock, outside any command.
    ASSERT_EQ(acDocManagerPtr()->lockDocument(doc, AcAp::kWrite), Acad::eOk);
    ASSERT_EQ(acDocManagerPtr()->lockDocument(doc, AcAp::kWrite), Acad::eOk); // nested
    ASSERT_EQ(acDocManagerPtr()->unlockDocument(doc), Acad::eOk);
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes, 0) << "still locked: the action is not over";
    ASSERT_EQ(acDocManagerPtr()->unlockDocument(doc), Acad::eOk);
    QTRY_COMPARE_WITH_TIMEOUT(refreshes, 1, 2000);
    QTest::qWait(20);
    EXPECT_EQ(refreshes, 1) << "one redraw per release";
}

} // namespace
