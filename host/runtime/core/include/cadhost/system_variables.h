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
    // Ignores read-only (for the host itself).
    SysVarStatus setInternal(const std::string& name, const SysVarValue& value);

    // Convenience for host code.
    int getInt(const std::string& name, int fallback = 0) const;
    std::string getString(const std::string& name, const std::string& fallback = {}) const;

    // Every value back to its default; definitions stay.
    void resetToDefaults();
    // The host's standard set: CMDECHO, OSMODE, CTAB, FILEDIA, CMDACTIVE, ...
    void defineStandard();

private:
    SystemVariables();
    SysVarStatus store(const std::string& name, const SysVarValue& value, bool force);
    std::map<std::string, SysVarDefinition> m_defs;
    std::map<std::string, SysVarValue> m_values;
};

} // namespace cadhost
