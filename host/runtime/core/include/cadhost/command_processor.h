#pragma once
// Runs commands. Idle, it takes tokens from the input broker and runs the
// command each one names; commands themselves take their answers from the
// broker through the acedGet* functions, so typed, queued and script input
// all follow this one path.

#include "acwin.h"
#include "cadhost/input_broker.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class AcEdCommand;

namespace cadhost {

// Evaluates LISP expressions typed at the command line. The host's LISP
// interpreter plugs in here; without one the host says it cannot evaluate.
class LispEvaluator {
public:
    virtual ~LispEvaluator() = default;
    struct Result {
        bool ok = false;
        std::string text; // the printed value, or the error message
    };
    virtual Result evaluate(const std::string& expression) = 0;
};

class CommandProcessor {
public:
    static CommandProcessor& instance();

    // Runs the commands in the broker until it holds no complete item. Does
    // nothing when called while a command runs or while a prompt waits, also
    // one started outside any command (the waiting prompt takes the input),
    // or re-entered. Returns the number of items taken.
    int processPending();

    // Finds a command as the command line does: '.' and '_' prefixes in any
    // order, global name (a leading '_' may belong to it), then local name,
    // case-insensitive. Null when unknown.
    AcEdCommand* findCommand(const std::string& token) const;
    // Runs a command as if its name had been entered (nested when a command
    // is active). Exceptions out of the command are reported and swallowed.
    void runCommand(AcEdCommand* command);
    // Handles a token at the command prompt: a LISP expression, a command
    // name, a system variable's name (its SETVAR value prompt), or Enter
    // (repeats the last command).
    void executeToken(const InputItem& item);

    bool isIdle() const { return m_active.empty(); }
    // Global names of the running commands, outermost first.
    std::vector<std::string> activeCommands() const;
    const std::string& lastCommand() const { return m_lastCommand; }

    void setLispEvaluator(LispEvaluator* evaluator) { m_lisp = evaluator; }
    LispEvaluator* lispEvaluator() const { return m_lisp; }
    // Evaluates or reports that it cannot; nothing when it failed.
    std::optional<std::string> evaluateLisp(const std::string& expression);

    // The prompt shown while idle.
    static constexpr const char* kCommandPrompt = "\nCommand: ";

    // Forgets the last command and the running state (tests).
    void reset();

private:
    CommandProcessor() = default;
    // A command's run under its name: the active list, its undo group and
    // its resources.
    void run(const std::string& name, const std::function<void()>& body, HINSTANCE resources);
    struct Active {
        std::string name; // a copy: the command may be removed while it runs
    };
    std::vector<Active> m_active;
    std::string m_lastCommand;
    LispEvaluator* m_lisp = nullptr;
    bool m_draining = false;
};

} // namespace cadhost
