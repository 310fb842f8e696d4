#pragma once
// System variables: typed values with defaults, read and written by name
// (acedGetVar / acedSetVar). Some are computed from the host's state.

#include "acdb/geometry.h"

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>
#include <vector>

namespace cadhost {

enum class SysVarType { Short, Long, Real, String, Point };

using SysVarValue = std::variant<std::int16_t, std::int32_t, double, std::string, AcGePoint3d>;

struct SysVarDefinition {
    std::string name; // upper case
    SysVarType type = SysVarType::Short;
    SysVarValue defaultValue;
    bool readOnly = false;
    // Optional range for numbers (inclusive).
    std::optional<double> minimum, maximum;
    // Computed variables read and write through these instead of the store.
    std::function<SysVarValue()> getter;
    // Returns false to reject the value.
    std::function<bool(const SysVarValue&)> setter;
    // Checks a value before it is stored; false rejects it.
    std::function<bool(const SysVarValue&)> validator;
};

enum class SysVarStatus { Ok, Unknown, Rejected };

class SystemVariables {
public:
    static SystemVariables& instance();

    // Adds or replaces a definition; the value becomes its default.
    void define(SysVarDefinition definition);
    bool isDefined(const std::string& name) const;
    const SysVarDefinition* definition(const std::string& name) const;

    std::optional<SysVarValue> get(const std::string& name) const;
    // Integer-typed values are converted between short and long (and from a
    // whole real) when they fit; anything else of the wrong type is rejected.
    SysVarStatus set(const std::string& name, const SysVarValue& value);
    // The same, with the reason of a refusal in one line ("Value must be
    // from 0 to 10000.", "ACADVER is read-only.").
    SysVarStatus set(const std::string& name, const SysVarValue& value, std::string& why);
    // Ignores read-only (for the host itself).
    SysVarStatus setInternal(const std::string& name, const SysVarValue& value);

    // Convenience for host code.
    int getInt(const std::string& name, int fallback = 0) const;
    std::string getString(const std::string& name, const std::string& fallback = {}) const;

    // Names of the defined variables, in alphabetical order.
    std::vector<std::string> names() const;

    // Every value back to its default; definitions stay.
    void resetToDefaults();
    // The host's standard set: CMDECHO, OSMODE, CTAB, FILEDIA, CMDACTIVE, ...
    void defineStandard();

private:
    SystemVariables();
    SysVarStatus store(const std::string& name, const SysVarValue& value, bool force,
                       std::string* why);
    std::map<std::string, SysVarDefinition> m_defs;
    std::map<std::string, SysVarValue> m_values;
};

// A value as SETVAR shows it: numbers plain, strings quoted, points "x,y,z".
std::string formatSysVar(const SysVarValue& value);
// Text typed for a variable of this type as a value: numbers for the number
// types, "x,y[,z]" for points, the text itself for strings ("." alone is the
// empty string). Nothing when the text is no value of the type; why then
// says what is required.
std::optional<SysVarValue> parseSysVar(SysVarType type, const std::string& text, std::string& why);

// SETVAR: asks for a variable's name ("?" lists them), then for its value.
void setvarCommand();
// The value prompt of SETVAR for one variable, also what typing a
// variable's name at the command prompt runs. Enter keeps the value; a
// refused value is one line and changes nothing.
void askVariableValue(const std::string& name);

} // namespace cadhost
