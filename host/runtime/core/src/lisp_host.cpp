// The host's LISP interpreter, wired to the input broker and the command-line log.
#include "cadhost/command_log.h"
#include "cadhost/input_broker.h"
#include "cadhost/lisp.h"
#include "cadhost/menu_groups.h"

namespace cadhost::lisp {

Interpreter& Interpreter::instance() {
    static Interpreter interpreter = [] {
        Interpreter in;
        Hooks hooks;
        hooks.command = [](const std::vector<std::string>& input) {
            // Each argument is one answer: a newline ends it even when it holds blanks.
            std::string text;
            for (const std::string& item : input)
                text += item + "\n";
            InputBroker::instance().submitText(text, InputSource::Queued);
        };
        hooks.print = [](std::string_view text) { CommandLineLog::instance().print(text); };
        hooks.menucmd = [](const std::string& request) {
            return MenuGroups::instance().menucmd(request);
        };
        in.setHooks(std::move(hooks));
        return in;
    }();
    return interpreter;
}

} // namespace cadhost::lisp
