// The host's LISP interpreter, wired to the input broker and the command-line log.
#include "cadhost/command_log.h"
#include "cadhost/input_broker.h"
#include "cadhost/lisp.h"
#include "cadhost/menu_groups.h"
#include "cadhost/system_variables.h"

namespace cadhost::lisp {

namespace {

Value toLisp(const SysVarValue& value) {
    if (auto p = std::get_if<std::int16_t>(&value))
        return Value::ofInt(*p);
    if (auto p = std::get_if<std::int32_t>(&value))
        return Value::ofInt(*p);
    if (auto p = std::get_if<double>(&value))
        return Value::ofReal(*p);
    if (auto p = std::get_if<std::string>(&value))
        return Value::ofString(*p);
    const auto& p = std::get<AcGePoint3d>(value);
    return Value::list({Value::ofReal(p.x), Value::ofReal(p.y), Value::ofReal(p.z)});
}

// A point is a list of two or three numbers.
std::optional<SysVarValue> fromLisp(const Value& value) {
    switch (value.type) {
    case Value::Type::Int:
        return SysVarValue(value.integer);
    case Value::Type::Real:
        return SysVarValue(value.real);
    case Value::Type::String:
        return SysVarValue(value.text);
    case Value::Type::List: {
        if (value.items.size() < 2 || value.items.size() > 3)
            break;
        double xyz[3] = {0, 0, 0};
        for (std::size_t i = 0; i < value.items.size(); ++i) {
            if (!value.items[i].isNumber())
                return std::nullopt;
            xyz[i] = value.items[i].number();
        }
        return SysVarValue(AcGePoint3d(xyz[0], xyz[1], xyz[2]));
    }
    default:
        break;
    }
    return std::nullopt;
}

} // namespace

Interpreter& Interpreter::instance() {
    static Interpreter interpreter = [] {
        Interpreter in;
        Hooks hooks;
        hooks.command = [](const std::vector<std::string>& input) {
            // Each argument is one answer: a newline ends it even when it holds blanks.
            std::string text;
            for (const std::string& item : input)
                text += item + "\n";
            // As queued commands are: not echoed while CMDECHO is 0.
            const bool echo = SystemVariables::instance().getInt("CMDECHO", 1) != 0;
            InputBroker::instance().submitText(text, InputSource::Queued, echo);
        };
        hooks.print = [](std::string_view text) { CommandLineLog::instance().print(text); };
        hooks.menucmd = [](const std::string& request) {
            return MenuGroups::instance().menucmd(request);
        };
        hooks.getvar = [](const std::string& name) -> std::optional<Value> {
            auto value = SystemVariables::instance().get(name);
            return value ? std::optional<Value>(toLisp(*value)) : std::nullopt;
        };
        hooks.setvar = [](const std::string& name,
                          const Value& value) -> std::optional<std::string> {
            const auto converted = fromLisp(value);
            if (!converted)
                return "not a number, string or point";
            std::string why;
            if (SystemVariables::instance().set(name, *converted, why) != SysVarStatus::Ok)
                return why;
            return std::nullopt;
        };
        in.setHooks(std::move(hooks));
        return in;
    }();
    return interpreter;
}

} // namespace cadhost::lisp
