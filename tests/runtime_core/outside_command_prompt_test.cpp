// A prompt started outside any command (from a toolbar button) owns the
// input while it waits, even when the command processor is asked to run.
#include "runtime_fixture.h"

namespace cadhost::test {
namespace {

// Feeds a line and, as the user interface's pump may, asks the processor to
// run before the prompt gets to look.
class EagerPumpWaiter : public InputWaiter {
public:
    std::deque<std::string> lines;
    bool wait() override {
        if (lines.empty())
            return false;
        InputBroker::instance().submitLine(lines.front(), InputSource::Typed);
        lines.pop_front();
        CommandProcessor::instance().processPending();
        return true;
    }
};

class OutsideCommandPrompt : public RuntimeTest {};

TEST_F(OutsideCommandPrompt, TheWaitingPromptTakesTheInputNotTheProcessor) {
    newDrawing();
    EagerPumpWaiter eager;
    eager.lines = {"10,20", "PLINE", ""};
    InputBroker::instance().setWaiter(&eager);
    ASSERT_TRUE(CommandProcessor::instance().isIdle());

    ads_point p;
    ASSERT_EQ(acedGetPoint(nullptr, "\nSelect destination cell: ", p), RTNORM);
    EXPECT_EQ(p[0], 10);
    EXPECT_EQ(p[1], 20);
    // A word at a point prompt is refused by the prompt, not run as a command.
    EXPECT_EQ(acedGetPoint(nullptr, "\nSelect destination cell: ", p), RTNONE);
    const std::string text = log();
    EXPECT_EQ(text.find("Unknown command"), std::string::npos) << text;
    EXPECT_NE(text.find("Invalid point"), std::string::npos) << text;
    InputBroker::instance().setWaiter(&waiter);
}

} // namespace
} // namespace cadhost::test
