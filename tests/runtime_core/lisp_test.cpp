#include "cadhost/lisp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using cadhost::lisp::Interpreter;

namespace {

// The suite's menu LISP file, as the loader writes it.
const char* kPlaceMenu = "(defun init-placemenu (/ CNT)\n"
                         "(setq CNT 1)\n"
                         "(while (< CNT 24)\n"
                         "(if (menucmd (strcat \"P\" (itoa CNT) \".1=?\"))\n"
                         "(setq CNT (1+ CNT))\n"
                         "(progn\n"
                         "(if (> CNT 2)\n"
                         "(setq CNT (- CNT 2))\n"
                         "(setq CNT 2)\n"
                         ")\n"
                         "(menucmd (strcat \"p\" (itoa CNT) \"=+Vorel.pop1\"))\n"
                         "(setq CNT 25)\n"
                         ")\n)\n)\n)\n\n\n\n"
                         "(init-placemenu)\n\n";

class LispTest : public ::testing::Test {
protected:
    void SetUp() override {
        lisp.hooks().menucmd = [this](const std::string& request) -> std::optional<std::string> {
            requests.push_back(request);
            // "Pn.1=?" answers the first item's label while position n holds a pull-down.
            if (request.size() > 5 && request.ends_with(".1=?")) {
                const int position = std::stoi(request.substr(1));
                if (position <= usedPositions)
                    return "Item";
                return std::nullopt;
            }
            return "";
        };
        lisp.hooks().command = [this](const std::vector<std::string>& input) {
            commands.push_back(input);
        };
        lisp.hooks().print = [this](std::string_view text) { printed += text; };
    }

    std::string ok(const std::string& expression) {
        auto r = lisp.evaluate(expression);
        EXPECT_TRUE(r.ok) << expression << " -> " << r.text;
        return r.text;
    }
    std::string error(const std::string& expression) {
        auto r = lisp.evaluate(expression);
        EXPECT_FALSE(r.ok) << expression << " -> " << r.text;
        return r.text;
    }

    Interpreter lisp;
    int usedPositions = 0;
    std::vector<std::string> requests;
    std::vector<std::vector<std::string>> commands;
    std::string printed;
};

std::string lastPlacement(const std::vector<std::string>& requests) {
    for (auto it = requests.rbegin(); it != requests.rend(); ++it)
        if (it->find("=+") != std::string::npos)
            return *it;
    return "";
}

TEST_F(LispTest, MenuLispPlacesThePopMenuTwoBeforeTheFirstFreePosition) {
    usedPositions = 8;
    ok(kPlaceMenu);
    EXPECT_EQ(lastPlacement(requests), "p7=+Vorel.pop1");
    // CNT was local to the function: nothing of it is left behind.
    EXPECT_FALSE(lisp.global("CNT").has_value());

    requests.clear();
    usedPositions = 0;
    ok("(init-placemenu)");
    EXPECT_EQ(lastPlacement(requests), "p2=+Vorel.pop1");

    requests.clear();
    usedPositions = 23;
    ok("(init-placemenu)");
    EXPECT_EQ(lastPlacement(requests), "");
    EXPECT_EQ(requests.size(), 23u);
}

TEST_F(LispTest, CommandHandsItsArgumentsOnAndPrincIsQuiet) {
    EXPECT_EQ(ok("(command \"_.menuload\" \"C:/Suite dir/Vorel2005.mns\")(princ)"), "");
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(commands[0], (std::vector<std::string>{"_.menuload", "C:/Suite dir/Vorel2005.mns"}));
    EXPECT_EQ(ok("(command \"_LINE\" 3 2.5 nil)"), "nil");
    EXPECT_EQ(commands[1], (std::vector<std::string>{"_LINE", "3", "2.5", ""}));
    EXPECT_EQ(ok("(princ \"a\\\"b\")"), "\"a\\\"b\"");
    EXPECT_EQ(printed, "a\"b");
}

TEST_F(LispTest, ArithmeticComparisonsAndStrings) {
    EXPECT_EQ(ok("(+ 1 2 3)"), "6");
    EXPECT_EQ(ok("(- 10 2 3)"), "5");
    EXPECT_EQ(ok("(- 4)"), "-4");
    EXPECT_EQ(ok("(/ 7 2)"), "3");
    EXPECT_EQ(ok("(/ 7 2.0)"), "3.5");
    EXPECT_EQ(ok("(* 2 1.5)"), "3.0");
    EXPECT_EQ(ok("(1+ 2147483647)"), "-2147483648"); // 32-bit integers wrap
    EXPECT_EQ(ok("(1- 0)"), "-1");
    EXPECT_EQ(ok("(< 1 2 3)"), "T");
    EXPECT_EQ(ok("(< 1 3 2)"), "nil");
    EXPECT_EQ(ok("(>= 2 2.0)"), "T");
    EXPECT_EQ(ok("(= 2 2.0)"), "T");
    EXPECT_EQ(ok("(/= 1 1)"), "nil");
    EXPECT_EQ(ok("(strcat \"P\" (itoa 12) \".1=?\")"), "\"P12.1=?\"");
    EXPECT_EQ(ok("(atoi \"42abc\")"), "42");
    EXPECT_EQ(ok("(if nil 1)"), "nil");
    EXPECT_EQ(ok("(setq A 5 b (1+ a))"), "6");
    EXPECT_EQ(ok("'(1 \"x\" sym)"), "(1 \"x\" SYM)");
}

TEST_F(LispTest, BadInputGetsAOneLineErrorAndTheInterpreterGoesOn) {
    EXPECT_EQ(error("(/ 1 0)"), "divide by zero");
    EXPECT_EQ(error("(itoa 1.5)"), "bad argument type: fixnump: 1.5");
    EXPECT_EQ(error("(strcat \"a\" 1)"), "bad argument type: stringp 1");
    EXPECT_EQ(error("(nosuch 1)"), "no function definition: NOSUCH");
    EXPECT_EQ(error("(+ 1"), "malformed list on input");
    EXPECT_EQ(error("(+ 1))"), "extra right paren on input");
    EXPECT_EQ(error("(list ')"), "malformed list on input"); // a quote of nothing
    EXPECT_EQ(error("(strcat \"abc)"), "malformed string on input");
    EXPECT_EQ(error("(1 2)"), "bad function: 1");
    ok("(defun two (a b) (+ a b))");
    EXPECT_EQ(error("(two 1)"), "too few arguments");
    EXPECT_EQ(error("(two 1 2 3)"), "too many arguments");
    EXPECT_EQ(ok("(two 1 2)"), "3");
    for (const std::string& e : {error("(+ 1"), error("(nosuch)")})
        EXPECT_EQ(e.find('\n'), std::string::npos);
}

TEST_F(LispTest, RunawayLoopsRecursionAndNestingEndWithAnError) {
    EXPECT_NE(error("(setq s \"ab\")(while T (setq s (strcat s s)))").find("string too long"),
              std::string::npos);
    // Growing a string one byte at a time is bounded by the steps its copies cost.
    EXPECT_NE(error("(setq s \"\")(while T (setq s (strcat s \"x\")))").find("too many steps"),
              std::string::npos);
    lisp.setStepLimit(100000);
    EXPECT_NE(error("(while T (setq x 1))").find("too many steps"), std::string::npos);
    EXPECT_EQ(error("(defun f (n) (f (1+ n))) (f 0)"), "stack overflow");
    // A failed call leaves its parameters unbound again.
    EXPECT_FALSE(lisp.global("N").has_value());
    EXPECT_EQ(error(std::string(100000, '(')), "expression nested too deeply");
    EXPECT_EQ(ok("(progn (setq x 2) (* x x))"), "4");
}

} // namespace
