#include "prompt_engine.h"

#include "accmd.h"
#include "adscodes.h"

#include "cadhost/command_log.h"
#include "cadhost/command_processor.h"
#include "cadhost/system_variables.h"
#include "text_util.h"

#include <cctype>
#include <sstream>

namespace cadhost {

namespace {

InitGet g_initGet;
std::string g_lastKeyword;

// Pops the request on every way out of a prompt.
struct RequestGuard {
    explicit RequestGuard(const InputRequest& r) { InputBroker::instance().pushRequest(r); }
    ~RequestGuard() { InputBroker::instance().popRequest(); }
    RequestGuard(const RequestGuard&) = delete;
    RequestGuard& operator=(const RequestGuard&) = delete;
};

bool takesValuesOtherThanText(InputRequest::Kind kind) {
    return kind != InputRequest::Kind::String;
}

// Strips the quotes of a LISP string result.
std::string lispAnswer(const std::string& printed) {
    if (printed.size() >= 2 && printed.front() == '"' && printed.back() == '"')
        return printed.substr(1, printed.size() - 2);
    return printed;
}

} // namespace

InitGet takeInitGet() {
    InitGet taken = std::move(g_initGet);
    g_initGet = InitGet{};
    return taken;
}

void setInitGet(int flags, std::vector<std::string> keywords) {
    g_initGet.flags = flags;
    g_initGet.keywords = std::move(keywords);
}

void setLastKeyword(std::string keyword) {
    g_lastKeyword = std::move(keyword);
}

const std::string& lastKeyword() {
    return g_lastKeyword;
}

std::optional<std::string> matchKeyword(const std::string& text,
                                        const std::vector<std::string>& keywords) {
    if (text.empty())
        return std::nullopt;
    for (const std::string& k : keywords) {
        if (equalsNoCase(text, k))
            return k;
        std::string abbreviation;
        for (char c : k)
            if (std::isupper(static_cast<unsigned char>(c)) ||
                std::isdigit(static_cast<unsigned char>(c)))
                abbreviation.push_back(c);
        if (abbreviation.empty())
            abbreviation = k.substr(0, 1);
        if (equalsNoCase(text, abbreviation))
            return k;
        if (text.size() >= abbreviation.size() && text.size() <= k.size() &&
            equalsNoCase(text, k.substr(0, text.size())))
            return k;
    }
    return std::nullopt;
}

std::optional<AcGePoint3d> parsePoint(const std::string& input,
                                      const std::optional<AcGePoint3d>& base) {
    std::string text = trim(input);
    if (text.empty())
        return std::nullopt;
    std::vector<std::string> parts;
    bool relative = false;
    if (text.front() == '(' && text.back() == ')') {
        std::istringstream in(text.substr(1, text.size() - 2));
        std::string part;
        while (in >> part)
            parts.push_back(part);
    } else {
        if (text.front() == '@') {
            relative = true;
            text.erase(0, 1);
            if (text.empty())
                parts = {"0", "0"};
        }
        std::size_t start = 0;
        while (!text.empty()) {
            std::size_t comma = text.find(',', start);
            parts.push_back(text.substr(start, comma - start));
            if (comma == std::string::npos)
                break;
            start = comma + 1;
        }
    }
    if (parts.size() < 2 || parts.size() > 3)
        return std::nullopt;
    double v[3] = {0, 0, 0};
    for (std::size_t i = 0; i < parts.size(); ++i)
        if (!parseReal(parts[i], v[i]))
            return std::nullopt;
    AcGePoint3d p(v[0], v[1], v[2]);
    if (relative) {
        AcGePoint3d from = base.value_or(AcGePoint3d());
        if (!base)
            if (auto last = SystemVariables::instance().get("LASTPOINT"))
                if (auto lp = std::get_if<AcGePoint3d>(&*last))
                    from = *lp;
        p = AcGePoint3d(from.x + v[0], from.y + v[1], from.z + v[2]);
    }
    return p;
}

int runPrompt(const PromptSetup& setup,
              const std::function<PromptVerdict(const InputItem&)>& accept) {
    CommandLineLog& log = CommandLineLog::instance();
    InputBroker& broker = InputBroker::instance();
    CommandProcessor& processor = CommandProcessor::instance();
    const InputRequest& request = setup.request;
    const TokenRule rule{!request.blanksAllowed, takesValuesOtherThanText(request.kind)};

    RequestGuard guard(request);
    auto showPrompt = [&] {
        if (!request.prompt.empty())
            log.prompt(request.prompt);
    };
    showPrompt();

    std::optional<std::string> pendingAnswer; // a LISP result given as the answer
    for (;;) {
        std::optional<InputItem> item;
        if (pendingAnswer) {
            item = InputItem{};
            item->kind = InputItem::Kind::Text;
            item->text = std::move(*pendingAnswer);
            item->echo = false;
            pendingAnswer.reset();
        } else {
            item = broker.take(rule);
        }
        if (!item) {
            if (!broker.waitForInput()) {
                log.print("*Cancel*");
                return RTCAN;
            }
            continue;
        }
        switch (item->kind) {
        case InputItem::Kind::Escape:
            log.print("*Cancel*");
            return RTCAN;
        case InputItem::Kind::Enter:
            if (setup.initFlags & RSG_NONULL) {
                log.print("\n");
                showPrompt();
                continue;
            }
            return RTNONE;
        case InputItem::Kind::Point:
        case InputItem::Kind::Entity: {
            PromptVerdict v = accept(*item);
            if (v.kind == PromptVerdict::Kind::Accept)
                return RTNORM;
            log.print(v.message);
            showPrompt();
            continue;
        }
        case InputItem::Kind::Text:
            break;
        }

        const std::string& text = item->text;
        if (item->echo)
            log.echo(text);

        // "(1 2 0)" is a point written as a list; any other "(...)" is LISP.
        if (rule.lispExpressions && text.front() == '(' && !parsePoint(text, request.basePoint)) {
            if (auto value = processor.evaluateLisp(text))
                pendingAnswer = lispAnswer(*value);
            else
                showPrompt();
            continue;
        }

        if (auto keyword = matchKeyword(text, setup.keywords)) {
            setLastKeyword(*keyword);
            return RTKWORD;
        }

        const bool quoted = text.front() == '\'' && text.size() > 1;
        if (takesValuesOtherThanText(request.kind) && quoted) {
            AcEdCommand* command = processor.findCommand(text.substr(1));
            if (!command) {
                log.printf("\nUnknown command \"%s\".  Press F1 for help.",
                           upperCase(text.substr(1)).c_str());
            } else if (!command->isTransparent()) {
                log.print("\n** That command may not be invoked transparently **");
            } else {
                std::vector<std::string> outer = processor.activeCommands();
                processor.runCommand(command);
                if (!outer.empty())
                    log.printf("\nResuming %s command.", outer.back().c_str());
            }
            showPrompt();
            continue;
        }

        PromptVerdict v = accept(*item);
        if (v.kind == PromptVerdict::Kind::Accept)
            return RTNORM;

        if (takesValuesOtherThanText(request.kind)) {
            AcEdCommand* command = processor.findCommand(text);
            if (command && command->isTransparent()) {
                std::vector<std::string> outer = processor.activeCommands();
                processor.runCommand(command);
                if (!outer.empty())
                    log.printf("\nResuming %s command.", outer.back().c_str());
                showPrompt();
                continue;
            }
        }
        if (setup.initFlags & RSG_OTHER) {
            setLastKeyword(text);
            return RTKWORD;
        }
        log.print(v.message.empty() ? setup.rejectMessage : v.message);
        showPrompt();
    }
}

} // namespace cadhost
