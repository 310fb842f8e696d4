// SETVAR, and the value prompt that a variable's name runs at the command prompt.
#include "acedads.h"
#include "acutads.h"

#include "cadhost/system_variables.h"
#include "text_util.h"

namespace cadhost {

namespace {

constexpr std::size_t kAnswerSize = 1024;

// The variable SETVAR offers when Enter is pressed at its name prompt.
std::string g_lastName;

void listVariables() {
    char answer[kAnswerSize] = {};
    if (acedGetString(0, "\nEnter variable(s) to list <*>: ", answer, sizeof answer) != RTNORM)
        return;
    std::string pattern = upperCase(trim(answer));
    if (pattern.empty())
        pattern = "*";
    SystemVariables& vars = SystemVariables::instance();
    int shown = 0;
    for (const std::string& name : vars.names()) {
        if (acutWcMatch(name.c_str(), pattern.c_str()) != RTNORM)
            continue;
        const auto value = vars.get(name);
        const bool readOnly = vars.definition(name)->readOnly;
        acutPrintf("\n%-12s %s%s", name.c_str(), value ? formatSysVar(*value).c_str() : "",
                   readOnly ? "  (read only)" : "");
        ++shown;
    }
    if (shown == 0)
        acutPrintf("\nNo variable matches \"%s\".", pattern.c_str());
}

} // namespace

void askVariableValue(const std::string& typedName) {
    SystemVariables& vars = SystemVariables::instance();
    const std::string name = upperCase(typedName);
    const SysVarDefinition* definition = vars.definition(name);
    const auto current = vars.get(name);
    if (!definition || !current) {
        acutPrintf("\nUnknown variable name \"%s\".  Type SETVAR ? for a list of variables.",
                   name.c_str());
        return;
    }
    g_lastName = name;
    if (definition->readOnly) {
        acutPrintf("\n%s = %s (read only)", name.c_str(), formatSysVar(*current).c_str());
        return;
    }
    const std::string prompt =
        "\nEnter new value for " + name + " <" + formatSysVar(*current) + ">: ";
    char answer[kAnswerSize] = {};
    // Only a string value may hold blanks; a blank ends a number as Enter would.
    const bool blanks = definition->type == SysVarType::String;
    if (acedGetString(blanks, prompt.c_str(), answer, sizeof answer) != RTNORM || !*answer)
        return; // Esc, or Enter keeps the value
    std::string why;
    const auto value = parseSysVar(definition->type, answer, why);
    if (!value || vars.set(name, *value, why) != SysVarStatus::Ok)
        acutPrintf("\n%s", why.c_str());
}

void setvarCommand() {
    const std::string prompt = g_lastName.empty()
                                   ? std::string("\nEnter variable name or [?]: ")
                                   : "\nEnter variable name or [?] <" + g_lastName + ">: ";
    char answer[kAnswerSize] = {};
    if (acedGetString(0, prompt.c_str(), answer, sizeof answer) != RTNORM)
        return;
    std::string name = trim(answer);
    if (name == "?") {
        listVariables();
        return;
    }
    if (name.empty())
        name = g_lastName;
    if (!name.empty())
        askVariableValue(name);
}

} // namespace cadhost
