// The command processor: runs the commands that input names.
#include "cadhost/command_processor.h"

#include "accmd.h"

#include "cadhost/command_log.h"
#include "cadhost/documents.h"
#include "cadhost/resources.h"
#include "cadhost/runtime.h"
#include "cadhost/system_variables.h"
#include "command_stack.h"
#include "text_util.h"

#include <exception>

namespace cadhost {

CommandProcessor& CommandProcessor::instance() {
    static CommandProcessor processor;
    return processor;
}

int CommandProcessor::processPending() {
    initializeRuntime();
    // A prompt waiting outside any command (one a toolbar button started)
    // takes the input as a command's prompt would: it is no command name.
    if (m_draining || !m_active.empty() || InputBroker::instance().requestDepth() > 0)
        return 0;
    m_draining = true;
    int taken = 0;
    InputBroker& broker = InputBroker::instance();
    try {
        while (auto item = broker.take(TokenRule{})) {
            ++taken;
            executeToken(*item);
        }
    } catch (...) {
        m_draining = false;
        throw;
    }
    m_draining = false;
    CommandLineLog::instance().prompt(kCommandPrompt);
    return taken;
}

AcEdCommand* CommandProcessor::findCommand(const std::string& token) const {
    const CommandStack& stack = CommandStack::instance();
    std::string name = token;
    bool global = false;
    while (!name.empty() && (name.front() == '.' || name.front() == '_')) {
        if (name.front() == '_') {
            // A global name may itself start with '_' ("_VOREL_KELVARIN_SHOW").
            if (AcEdCommand* c = stack.lookupGlobalCmd(name.c_str()))
                return c;
            global = true;
        }
        name.erase(0, 1);
    }
    if (name.empty())
        return nullptr;
    if (global) {
        if (AcEdCommand* c = stack.lookupGlobalCmd(name.c_str()))
            return c;
        return stack.lookupLocalCmd(name.c_str());
    }
    if (AcEdCommand* c = stack.lookupLocalCmd(name.c_str()))
        return c;
    return stack.lookupGlobalCmd(name.c_str());
}

void CommandProcessor::runCommand(AcEdCommand* command) {
    if (!command || !command->functionAddr())
        return;
    // Copies: a command may remove itself (or its module) while it runs.
    AcRxFunctionPtr function = command->functionAddr();
    run(command->globalName(), function, command->resourceHandle());
}

void CommandProcessor::run(const std::string& name, const std::function<void()>& body,
                           HINSTANCE resources) {
    if (m_active.empty())
        m_lastCommand = name;
    m_active.push_back(Active{name});
    std::size_t requestDepth = InputBroker::instance().requestDepth();
    // One undo step per command, in the drawing it started in.
    AcApDocument* doc = DocumentManager::instance().activeDocument();
    DocumentManager::instance().beginUndoGroup(doc, name);
    {
        ResourceScope scope(resources);
        try {
            body();
        } catch (const std::exception& e) {
            CommandLineLog::instance().printf("\nError in command %s: %s", name.c_str(), e.what());
        } catch (...) {
            CommandLineLog::instance().printf("\nError in command %s.", name.c_str());
        }
    }
    // Prompts left behind by an exception are closed with the command.
    while (InputBroker::instance().requestDepth() > requestDepth)
        InputBroker::instance().popRequest();
    DocumentManager::instance().endUndoGroup(doc);
    m_active.pop_back();
}

void CommandProcessor::executeToken(const InputItem& item) {
    CommandLineLog& log = CommandLineLog::instance();
    switch (item.kind) {
    case InputItem::Kind::Escape:
    case InputItem::Kind::Point:
    case InputItem::Kind::Entity:
        // Nothing is pending: Esc cancels nothing, a pick outside a prompt
        // belongs to the drawing view (cell selection), not to a command.
        return;
    case InputItem::Kind::Enter:
        // Enter at the command prompt repeats the last command.
        if (!m_lastCommand.empty())
            if (AcEdCommand* c = findCommand(m_lastCommand)) {
                log.prompt(kCommandPrompt);
                runCommand(c);
            }
        return;
    case InputItem::Kind::Text:
        break;
    }
    log.prompt(kCommandPrompt);
    if (item.echo)
        log.echo(item.text);
    if (item.text.front() == '(') {
        // Of expressions on one line ("(command ...)(princ)") only the last
        // prints its value, so a trailing (princ) keeps the line
        // quiet. The quiet value of (princ) prints nothing, not even an empty line.
        const bool followed = InputBroker::instance().pendingText().starts_with('(');
        if (auto value = evaluateLisp(item.text); value && !value->empty() && !followed)
            log.printf("\n%s", value->c_str());
        return;
    }
    std::string name = item.text;
    if (name.front() == '\'')
        name.erase(0, 1);
    AcEdCommand* command = findCommand(name);
    if (!command && SystemVariables::instance().isDefined(name)) {
        // A variable's name is SETVAR for that variable (a command of the
        // same name comes first).
        run(
            "SETVAR", [&] { askVariableValue(name); }, nullptr);
        return;
    }
    if (!command) {
        log.printf("\nUnknown command \"%s\".  Press F1 for help.", upperCase(name).c_str());
        return;
    }
    runCommand(command);
}

std::vector<std::string> CommandProcessor::activeCommands() const {
    std::vector<std::string> names;
    for (const Active& a : m_active)
        names.push_back(a.name);
    return names;
}

std::optional<std::string> CommandProcessor::evaluateLisp(const std::string& expression) {
    if (!m_lisp) {
        CommandLineLog::instance().printf("\nCannot evaluate %s: no LISP interpreter is loaded.",
                                          expression.c_str());
        return std::nullopt;
    }
    LispEvaluator::Result r = m_lisp->evaluate(expression);
    if (!r.ok) {
        CommandLineLog::instance().printf("\n; error: %s", r.text.c_str());
        return std::nullopt;
    }
    return r.text;
}

void CommandProcessor::reset() {
    m_lastCommand.clear();
    m_active.clear();
    m_draining = false;
}

} // namespace cadhost
