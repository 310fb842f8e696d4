#include "dxf_values.h"

#include "dxf_error.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace acdxf {

namespace {

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    if (!s.empty() && s.front() == '+')
        s.remove_prefix(1);
    return s;
}

[[noreturn]] void fail(const DxfToken& t, const char* expected) {
    throw DxfError(t.line, std::string("group code ") + std::to_string(t.code) + " needs " +
                               expected + ", found " +
                               quoteForMessage(t.value.data(), t.value.size()));
}

bool parseReal(std::string_view s, double& v) {
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    return ec == std::errc() && ptr == s.data() + s.size() && std::isfinite(v);
}

} // namespace

std::int64_t toInt64(const DxfToken& t) {
    std::string_view s = trimmed(t.value);
    std::int64_t v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
    if (ec == std::errc() && ptr == s.data() + s.size() && !s.empty())
        return v;
    // Some writers put integers as reals ("1.0"); whole numbers are accepted.
    double d = 0;
    if (parseReal(s, d) && d == std::floor(d) && std::abs(d) < 9.0e18)
        return static_cast<std::int64_t>(d);
    fail(t, "an integer");
}

int toInt(const DxfToken& t) {
    std::int64_t v = toInt64(t);
    // Codes 90-99 hold unsigned 32-bit flags in some writers.
    if (v > std::numeric_limits<std::uint32_t>::max() || v < std::numeric_limits<int>::min())
        fail(t, "a 32-bit integer");
    return static_cast<int>(static_cast<std::int32_t>(static_cast<std::uint32_t>(v)));
}

double toReal(const DxfToken& t) {
    std::string_view s = trimmed(t.value);
    double v = 0;
    if (s.empty() || !parseReal(s, v))
        fail(t, "a finite number");
    return v;
}

AcDbHandle toHandle(const DxfToken& t) {
    std::string_view s = trimmed(t.value);
    if (s.empty())
        return {};
    std::uint64_t v = 0;
    auto [ptr, ec] = std::from_chars(s.data(), s.data() + s.size(), v, 16);
    if (ec != std::errc() || ptr != s.data() + s.size())
        fail(t, "a hexadecimal handle");
    if (v > kMaxFileHandle)
        fail(t, "a handle of a sensible size");
    return AcDbHandle(v);
}

} // namespace acdxf
