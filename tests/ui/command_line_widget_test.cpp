// The command line hands typed input to the input broker the way the host's
// command line cuts it, shows the log and follows the prompt.
#include "cadhost/command_log.h"
#include "cadhost/input_broker.h"
#include "cadhost/runtime.h"
#include "hostui/command_line_widget.h"

#include <QLineEdit>
#include <QTest>
#include <gtest/gtest.h>

using cadhost::InputBroker;
using cadhost::InputItem;

namespace {

class CommandLineWidgetTest : public ::testing::Test {
protected:
    void SetUp() override { cadhost::resetRuntimeState(); }
    void TearDown() override { cadhost::resetRuntimeState(); }

    QLineEdit* input(hostui::CommandLineWidget& w) {
        return w.findChild<QLineEdit*>(QStringLiteral("commandInput"));
    }
    std::vector<InputItem> takeAll() {
        std::vector<InputItem> items;
        while (auto item = InputBroker::instance().take())
            items.push_back(*item);
        return items;
    }
};

} // namespace

TEST_F(CommandLineWidgetTest, EnterSubmitsTheLineAndBlankEndsAToken) {
    hostui::CommandLineWidget w;
    QLineEdit* in = input(w);
    ASSERT_NE(in, nullptr);
    QTest::keyClicks(in, QStringLiteral("-TABLE"));
    QTest::keyClick(in, Qt::Key_Return);
    QTest::keyClicks(in, QStringLiteral("3 4"));
    QTest::keyClick(in, Qt::Key_Return);
    QTest::keyClick(in, Qt::Key_Space); // blank at an empty line: Enter
    auto items = takeAll();
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].text, "-TABLE");
    EXPECT_EQ(items[1].text, "3");
    EXPECT_EQ(items[2].text, "4");
    EXPECT_EQ(items[3].kind, InputItem::Kind::Enter);
    EXPECT_TRUE(in->text().isEmpty());
}

TEST_F(CommandLineWidgetTest, BlanksStayInAnswersOfPromptsThatTakeThem) {
    hostui::CommandLineWidget w;
    cadhost::InputRequest request;
    request.kind = cadhost::InputRequest::Kind::String;
    request.prompt = "\nEnter text: ";
    request.blanksAllowed = true;
    InputBroker::instance().pushRequest(request);
    w.showPrompt(InputBroker::instance().currentRequest());
    EXPECT_EQ(w.promptText(), QStringLiteral("Enter text:"));
    QTest::keyClicks(input(w), QStringLiteral("two words"));
    QTest::keyClick(input(w), Qt::Key_Return);
    cadhost::TokenRule rule;
    rule.blankEnds = false;
    auto item = InputBroker::instance().take(rule);
    ASSERT_TRUE(item);
    EXPECT_EQ(item->text, "two words");
    InputBroker::instance().popRequest();
    w.showPrompt(nullptr);
    EXPECT_EQ(w.promptText(), QStringLiteral("Command:"));
}

TEST_F(CommandLineWidgetTest, EscCancelsAndDropsTheTypedText) {
    hostui::CommandLineWidget w;
    QTest::keyClicks(input(w), QStringLiteral("half"));
    QTest::keyClick(input(w), Qt::Key_Escape);
    EXPECT_TRUE(w.inputText().isEmpty());
    auto items = takeAll();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].kind, InputItem::Kind::Escape);
}

TEST_F(CommandLineWidgetTest, UpAndDownRecallEarlierInput) {
    hostui::CommandLineWidget w;
    QLineEdit* in = input(w);
    for (const char* line : {"FIRST", "SECOND"}) {
        QTest::keyClicks(in, QString::fromLatin1(line));
        QTest::keyClick(in, Qt::Key_Return);
    }
    QTest::keyClick(in, Qt::Key_Up);
    EXPECT_EQ(in->text(), QStringLiteral("SECOND"));
    QTest::keyClick(in, Qt::Key_Up);
    EXPECT_EQ(in->text(), QStringLiteral("FIRST"));
    QTest::keyClick(in, Qt::Key_Up); // past the oldest: empty again
    EXPECT_TRUE(in->text().isEmpty());
    QTest::keyClick(in, Qt::Key_Down);
    EXPECT_TRUE(in->text().isEmpty());
}

TEST_F(CommandLineWidgetTest, ShowsWhatWasPrintedBeforeAndAfterItExisted) {
    cadhost::CommandLineLog::instance().print("\nstarted");
    hostui::CommandLineWidget w;
    cadhost::CommandLineLog::instance().print("\nCommand: ", cadhost::LogKind::Prompt);
    cadhost::CommandLineLog::instance().echo("LINE");
    EXPECT_EQ(w.historyText(), QStringLiteral("started\nCommand: LINE"));
}

TEST_F(CommandLineWidgetTest, KeysTypedElsewhereArriveAsTyping) {
    hostui::CommandLineWidget w;
    w.typeText(QStringLiteral("ZOOM E"));
    EXPECT_EQ(w.inputText(), QStringLiteral("E"));
    auto items = takeAll();
    ASSERT_EQ(items.size(), 1u);
    EXPECT_EQ(items[0].text, "ZOOM");
}
