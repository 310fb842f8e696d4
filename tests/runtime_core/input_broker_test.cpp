// How raw input is cut into items.
#include "runtime_fixture.h"

namespace cadhost::test {
namespace {

using Kind = InputItem::Kind;

class InputBrokerTest : public RuntimeTest {
protected:
    InputBroker& broker = InputBroker::instance();

    // Every item the broker gives under rule, as "T:text", "ENTER", "ESC", ...
    std::vector<std::string> drain(const TokenRule& rule = {}) {
        std::vector<std::string> out;
        while (auto item = broker.take(rule)) {
            switch (item->kind) {
            case Kind::Text:
                out.push_back("T:" + item->text);
                break;
            case Kind::Enter:
                out.push_back("ENTER");
                break;
            case Kind::Escape:
                out.push_back("ESC");
                break;
            case Kind::Point:
                out.push_back("PT");
                break;
            case Kind::Entity:
                out.push_back("ENT");
                break;
            }
        }
        return out;
    }
};

using Items = std::vector<std::string>;

TEST_F(InputBrokerTest, BlanksAndNewlinesEndTokensAndEmptyTokensAreEnter) {
    broker.submitText("LINE 0,0 10,10  \n", InputSource::Typed);
    EXPECT_EQ(drain(), (Items{"T:LINE", "T:0,0", "T:10,10", "ENTER", "ENTER"}));
}

TEST_F(InputBrokerTest, StringPromptWithBlanksEndsOnlyAtNewline) {
    broker.submitText("Kelvarin table one\nnext", InputSource::Script);
    auto item = broker.take(TokenRule{false, false});
    ASSERT_TRUE(item);
    EXPECT_EQ(item->text, "Kelvarin table one");
    EXPECT_FALSE(broker.take()) << "a token without its end waits for more text";
    broker.submitText(" ", InputSource::Typed);
    EXPECT_EQ(drain(), (Items{"T:next"}));
}

TEST_F(InputBrokerTest, TokenIsCutOnlyWhenTaken) {
    // Queued as one text, taken by a string prompt and then by a command prompt.
    broker.submitText("my name\nLINE ", InputSource::Queued);
    EXPECT_EQ(broker.take(TokenRule{false, false})->text, "my name");
    EXPECT_EQ(broker.take()->text, "LINE");
}

TEST_F(InputBrokerTest, EscapeAndCtrlCCancelAndDropPartialText) {
    broker.submitText("\x1b", InputSource::Queued);
    broker.submitText("abc\x03_LINE ", InputSource::Queued);
    EXPECT_EQ(drain(), (Items{"ESC", "ESC", "T:_LINE"}));
}

TEST_F(InputBrokerTest, MenuMacroPrefixRunsAsCancelCancelCommand) {
    broker.submitText("\x10\x03\x03_VOREL_KELVARIN_SHOW ", InputSource::Queued);
    EXPECT_EQ(drain(), (Items{"ESC", "ESC", "T:_VOREL_KELVARIN_SHOW"}));
}

TEST_F(InputBrokerTest, LispExpressionIsOneTokenAndSwallowsItsTerminator) {
    broker.submitText("(command \"_.menuload\" \"C:/Suite/a b.mns\")(princ)\nLINE ",
                      InputSource::CopyData);
    EXPECT_EQ(drain(),
              (Items{"T:(command \"_.menuload\" \"C:/Suite/a b.mns\")", "T:(princ)", "T:LINE"}));
}

TEST_F(InputBrokerTest, LispParenthesesInsideStringsAndEscapesDoNotCount) {
    broker.submitText("(princ \"a)b\\\"c(\") X ", InputSource::Typed);
    EXPECT_EQ(drain(), (Items{"T:(princ \"a)b\\\"c(\")", "T:X"}));
}

TEST_F(InputBrokerTest, UnfinishedLispWaitsForTheRest) {
    broker.submitText("(setq a ", InputSource::Typed);
    EXPECT_FALSE(broker.take());
    broker.submitText("1)\n", InputSource::Typed);
    EXPECT_EQ(drain(), (Items{"T:(setq a 1)"}));
}

TEST_F(InputBrokerTest, PickAfterUnfinishedTextEndsTheText) {
    broker.submitText("10,2", InputSource::Typed);
    broker.submitPoint(AcGePoint3d(1, 2, 0));
    EXPECT_EQ(drain(), (Items{"T:10,2", "PT"}));
}

TEST_F(InputBrokerTest, CrLfCountsAsOneEnter) {
    broker.submitText("A\r\n\r\nB\r\n", InputSource::Script);
    EXPECT_EQ(drain(), (Items{"T:A", "ENTER", "T:B"}));
}

TEST_F(InputBrokerTest, ItemsKeepSubmissionOrderAcrossKinds) {
    broker.submitPoint(AcGePoint3d(1, 1, 0));
    broker.submitLine("X", InputSource::Typed);
    broker.submitEscape();
    broker.submitEnter();
    EXPECT_EQ(drain(), (Items{"PT", "T:X", "ESC", "ENTER"}));
    EXPECT_EQ(broker.pendingText(), "");
}

TEST_F(InputBrokerTest, EchoFlagTravelsWithTheText) {
    broker.submitText("QUIET ", InputSource::Queued, false);
    broker.submitText("LOUD ", InputSource::Typed, true);
    auto quiet = broker.take();
    auto loud = broker.take();
    EXPECT_FALSE(quiet->echo);
    EXPECT_TRUE(loud->echo);
    EXPECT_EQ(quiet->source, InputSource::Queued);
}

TEST_F(InputBrokerTest, HasItemDoesNotConsume) {
    broker.submitText("A ", InputSource::Typed);
    EXPECT_TRUE(broker.hasItem());
    EXPECT_TRUE(broker.hasItem());
    EXPECT_EQ(drain(), (Items{"T:A"}));
    EXPECT_FALSE(broker.hasItem());
}

struct CountingListener : InputListener {
    int available = 0;
    std::vector<const InputRequest*> requests;
    void inputAvailable() override { ++available; }
    void requestChanged(const InputRequest* r) override { requests.push_back(r); }
};

TEST_F(InputBrokerTest, ListenersHearOfInputAndPrompts) {
    CountingListener l;
    broker.addListener(&l);
    broker.submitLine("A", InputSource::Typed);
    broker.submitPoint(AcGePoint3d());
    InputRequest r;
    r.kind = InputRequest::Kind::Point;
    broker.pushRequest(r);
    broker.popRequest();
    broker.removeListener(&l);
    broker.submitEnter();
    EXPECT_EQ(l.available, 2);
    ASSERT_EQ(l.requests.size(), 2u);
    EXPECT_NE(l.requests[0], nullptr);
    EXPECT_EQ(l.requests[1], nullptr);
}

} // namespace
} // namespace cadhost::test
