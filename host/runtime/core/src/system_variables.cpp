// System variables and acedGetVar / acedSetVar.
#include "cadhost/system_variables.h"

#include "acedads.h"
#include "acutads.h"

#include "cadhost/runtime.h"
#include "prompt_engine.h"
#include "text_util.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

namespace cadhost {

SystemVariables& SystemVariables::instance() {
    static SystemVariables vars;
    return vars;
}

SystemVariables::SystemVariables() = default;

void SystemVariables::define(SysVarDefinition definition) {
    definition.name = upperCase(definition.name);
    std::string name = definition.name;
    m_values[name] = definition.defaultValue;
    m_defs[name] = std::move(definition);
}

bool SystemVariables::isDefined(const std::string& name) const {
    return m_defs.count(upperCase(name)) != 0;
}

const SysVarDefinition* SystemVariables::definition(const std::string& name) const {
    auto it = m_defs.find(upperCase(name));
    return it == m_defs.end() ? nullptr : &it->second;
}

std::optional<SysVarValue> SystemVariables::get(const std::string& name) const {
    std::string key = upperCase(name);
    auto def = m_defs.find(key);
    if (def == m_defs.end())
        return std::nullopt;
    if (def->second.getter)
        return def->second.getter();
    auto it = m_values.find(key);
    return it == m_values.end() ? def->second.defaultValue : it->second;
}

namespace {

// The value converted to the variable's type, or nothing when it does not fit.
std::optional<SysVarValue> convert(const SysVarValue& value, SysVarType type) {
    auto wholeNumber = [&]() -> std::optional<double> {
        if (auto p = std::get_if<std::int16_t>(&value))
            return *p;
        if (auto p = std::get_if<std::int32_t>(&value))
            return *p;
        if (auto p = std::get_if<double>(&value))
            if (std::isfinite(*p) && std::floor(*p) == *p)
                return *p;
        return std::nullopt;
    };
    switch (type) {
    case SysVarType::Short: {
        auto v = wholeNumber();
        if (!v || *v < -32768 || *v > 32767)
            return std::nullopt;
        return SysVarValue(static_cast<std::int16_t>(*v));
    }
    case SysVarType::Long: {
        auto v = wholeNumber();
        if (!v || *v < -2147483648.0 || *v > 2147483647.0)
            return std::nullopt;
        return SysVarValue(static_cast<std::int32_t>(*v));
    }
    case SysVarType::Real:
        if (auto p = std::get_if<double>(&value))
            return std::isfinite(*p) ? std::optional<SysVarValue>(*p) : std::nullopt;
        if (auto p = std::get_if<std::int16_t>(&value))
            return SysVarValue(static_cast<double>(*p));
        if (auto p = std::get_if<std::int32_t>(&value))
            return SysVarValue(static_cast<double>(*p));
        return std::nullopt;
    case SysVarType::String:
        if (std::holds_alternative<std::string>(value))
            return value;
        return std::nullopt;
    case SysVarType::Point:
        if (std::holds_alternative<AcGePoint3d>(value))
            return value;
        return std::nullopt;
    }
    return std::nullopt;
}

double numberOf(const SysVarValue& v) {
    if (auto p = std::get_if<std::int16_t>(&v))
        return *p;
    if (auto p = std::get_if<std::int32_t>(&v))
        return *p;
    if (auto p = std::get_if<double>(&v))
        return *p;
    return 0;
}

// The bounds a number must keep for the variable: its own range, within
// what its type holds.
std::pair<double, double> boundsOf(const SysVarDefinition& d) {
    double lo = -HUGE_VAL, hi = HUGE_VAL;
    if (d.type == SysVarType::Short)
        lo = -32768, hi = 32767;
    else if (d.type == SysVarType::Long)
        lo = -2147483648.0, hi = 2147483647.0;
    if (d.minimum)
        lo = std::max(lo, *d.minimum);
    if (d.maximum)
        hi = std::min(hi, *d.maximum);
    return {lo, hi};
}

std::string rangeText(const SysVarDefinition& d) {
    auto [lo, hi] = boundsOf(d);
    if (std::isinf(lo))
        return "Value must be at most " + formatSysVar(hi) + ".";
    if (std::isinf(hi))
        return "Value must be at least " + formatSysVar(lo) + ".";
    return "Value must be from " + formatSysVar(lo) + " to " + formatSysVar(hi) + ".";
}

const char* requiredText(SysVarType type) {
    switch (type) {
    case SysVarType::Short:
    case SysVarType::Long:
        return "Requires an integer value.";
    case SysVarType::Real:
        return "Requires a number.";
    case SysVarType::String:
        return "Requires a string.";
    case SysVarType::Point:
        return "Requires a point.";
    }
    return "Invalid value.";
}

bool isNumber(const SysVarValue& v) {
    return std::holds_alternative<std::int16_t>(v) || std::holds_alternative<std::int32_t>(v) ||
           std::holds_alternative<double>(v);
}

} // namespace

SysVarStatus SystemVariables::store(const std::string& name, const SysVarValue& value, bool force,
                                    std::string* why) {
    std::string key = upperCase(name);
    auto refuse = [&](SysVarStatus status, std::string reason) {
        if (why)
            *why = std::move(reason);
        return status;
    };
    auto def = m_defs.find(key);
    if (def == m_defs.end())
        return refuse(SysVarStatus::Unknown, "Unknown variable name \"" + key + "\".");
    const SysVarDefinition& d = def->second;
    if (d.readOnly && !force)
        return refuse(SysVarStatus::Rejected, key + " is read-only.");
    const bool numeric = d.type != SysVarType::String && d.type != SysVarType::Point;
    // The range first: 99999 for a short is out of range, not "no integer".
    if (numeric && isNumber(value) && std::isfinite(numberOf(value))) {
        auto [lo, hi] = boundsOf(d);
        if (numberOf(value) < lo || numberOf(value) > hi)
            return refuse(SysVarStatus::Rejected, rangeText(d));
    }
    std::optional<SysVarValue> v = convert(value, d.type);
    if (!v)
        return refuse(SysVarStatus::Rejected, requiredText(d.type));
    if ((d.validator && !d.validator(*v)) || (d.setter && !d.setter(*v)))
        return refuse(SysVarStatus::Rejected, key + " cannot be set to " + formatSysVar(*v) + ".");
    if (!d.setter)
        m_values[key] = *v;
    return SysVarStatus::Ok;
}

SysVarStatus SystemVariables::set(const std::string& name, const SysVarValue& value) {
    return store(name, value, false, nullptr);
}

SysVarStatus SystemVariables::set(const std::string& name, const SysVarValue& value,
                                  std::string& why) {
    return store(name, value, false, &why);
}

SysVarStatus SystemVariables::setInternal(const std::string& name, const SysVarValue& value) {
    return store(name, value, true, nullptr);
}

std::vector<std::string> SystemVariables::names() const {
    std::vector<std::string> out;
    for (const auto& entry : m_defs)
        out.push_back(entry.first);
    return out;
}

int SystemVariables::getInt(const std::string& name, int fallback) const {
    auto v = get(name);
    if (!v || std::holds_alternative<std::string>(*v) || std::holds_alternative<AcGePoint3d>(*v))
        return fallback;
    return static_cast<int>(numberOf(*v));
}

std::string SystemVariables::getString(const std::string& name, const std::string& fallback) const {
    auto v = get(name);
    if (!v)
        return fallback;
    if (auto p = std::get_if<std::string>(&*v))
        return *p;
    return fallback;
}

void SystemVariables::resetToDefaults() {
    for (auto& [name, def] : m_defs)
        if (!def.getter)
            m_values[name] = def.defaultValue;
}

void SystemVariables::defineStandard() {
    auto shortVar = [&](const char* name, int value, int lo, int hi) {
        SysVarDefinition d;
        d.name = name;
        d.type = SysVarType::Short;
        d.defaultValue = static_cast<std::int16_t>(value);
        d.minimum = lo;
        d.maximum = hi;
        define(std::move(d));
    };
    shortVar("CMDECHO", 1, 0, 1);
    shortVar("UNDOLIMIT", 100, 0, 10000); // undo steps kept per drawing
    shortVar("OSMODE", 4133, 0, 16383);
    shortVar("FILEDIA", 1, 0, 1);
    shortVar("CMDDIA", 1, 0, 1);
    shortVar("PICKFIRST", 1, 0, 1);
    shortVar("MENUECHO", 0, 0, 15);
    shortVar("EXPERT", 0, 0, 5);
    shortVar("TILEMODE", 1, 0, 1);
    shortVar("SDI", 0, 0, 3);
    shortVar("LUPREC", 4, 0, 8);
    shortVar("AUPREC", 0, 0, 8);
    shortVar("ATTREQ", 1, 0, 1);
    shortVar("ATTDIA", 0, 0, 1);

    SysVarDefinition lastPoint;
    lastPoint.name = "LASTPOINT";
    lastPoint.type = SysVarType::Point;
    lastPoint.defaultValue = AcGePoint3d();
    define(std::move(lastPoint));

    SysVarDefinition version;
    version.name = "ACADVER";
    version.type = SysVarType::String;
    version.defaultValue = std::string("16.1s (cadhost)");
    version.readOnly = true;
    define(std::move(version));

    SysVarDefinition product;
    product.name = "PRODUCT";
    product.type = SysVarType::String;
    product.defaultValue = std::string("cadhost");
    product.readOnly = true;
    define(std::move(product));
    // CTAB, DWGNAME, DWGPREFIX, DBMOD, CLAYER, CMDACTIVE and CMDNAMES follow
    // the active document and the command processor; they are defined where
    // that state lives.
}

std::string formatSysVar(const SysVarValue& value) {
    auto real = [](double v) {
        char buffer[64];
        std::snprintf(buffer, sizeof buffer, "%.10g", v);
        return std::string(buffer);
    };
    if (auto p = std::get_if<std::string>(&value))
        return "\"" + *p + "\"";
    if (auto p = std::get_if<AcGePoint3d>(&value))
        return real(p->x) + "," + real(p->y) + "," + real(p->z);
    if (auto p = std::get_if<double>(&value))
        return real(*p);
    return std::to_string(static_cast<long long>(numberOf(value)));
}

std::optional<SysVarValue> parseSysVar(SysVarType type, const std::string& input,
                                       std::string& why) {
    const std::string text = type == SysVarType::String ? input : trim(input);
    switch (type) {
    case SysVarType::Short:
    case SysVarType::Long:
    case SysVarType::Real: {
        // Whole numbers of any size come as reals, so that the range check,
        // not the type, refuses 99999 for a short.
        double number = 0;
        if (parseReal(text, number) && std::isfinite(number))
            return SysVarValue(number);
        break;
    }
    case SysVarType::String:
        return SysVarValue(text == "." ? std::string() : text);
    case SysVarType::Point:
        if (auto p = parsePoint(text, std::nullopt))
            return SysVarValue(*p);
        break;
    }
    why = requiredText(type);
    return std::nullopt;
}

} // namespace cadhost

using cadhost::SystemVariables;
using cadhost::SysVarStatus;
using cadhost::SysVarValue;

int acedGetVar(const char* name, resbuf* result) {
    cadhost::initializeRuntime();
    if (!name || !result)
        return RTERROR;
    auto value = SystemVariables::instance().get(name);
    if (!value)
        return RTERROR;
    result->rbnext = nullptr;
    if (auto p = std::get_if<std::int16_t>(&*value)) {
        result->restype = RTSHORT;
        result->resval.rint = *p;
    } else if (auto p = std::get_if<std::int32_t>(&*value)) {
        result->restype = RTLONG;
        result->resval.rlong = *p;
    } else if (auto p = std::get_if<double>(&*value)) {
        result->restype = RTREAL;
        result->resval.rreal = *p;
    } else if (auto p = std::get_if<std::string>(&*value)) {
        result->restype = RTSTR;
        result->resval.rstring = acutNewString(p->c_str());
    } else if (auto p = std::get_if<AcGePoint3d>(&*value)) {
        result->restype = RT3DPOINT;
        result->resval.rpoint[0] = p->x;
        result->resval.rpoint[1] = p->y;
        result->resval.rpoint[2] = p->z;
    }
    return RTNORM;
}

int acedSetVar(const char* name, const resbuf* value) {
    cadhost::initializeRuntime();
    if (!name || !value)
        return RTERROR;
    SysVarValue v;
    switch (value->restype) {
    case RTSHORT:
        v = static_cast<std::int16_t>(value->resval.rint);
        break;
    case RTLONG:
        v = static_cast<std::int32_t>(value->resval.rlong);
        break;
    case RTREAL:
    case RTANG:
    case RTORINT:
        v = value->resval.rreal;
        break;
    case RTSTR:
        if (!value->resval.rstring)
            return RTREJ;
        v = std::string(value->resval.rstring);
        break;
    case RTPOINT:
    case RT3DPOINT:
        v = AcGePoint3d(value->resval.rpoint[0], value->resval.rpoint[1],
                        value->restype == RT3DPOINT ? value->resval.rpoint[2] : 0.0);
        break;
    default:
        return RTREJ;
    }
    switch (SystemVariables::instance().set(name, v)) {
    case SysVarStatus::Ok:
        return RTNORM;
    case SysVarStatus::Unknown:
        return RTERROR;
    case SysVarStatus::Rejected:
        return RTREJ;
    }
    return RTERROR;
}
