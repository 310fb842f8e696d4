#pragma once
// Small text helpers of the runtime.

#include <string>
#include <string_view>

namespace cadhost {

std::string upperCase(std::string_view text);
bool equalsNoCase(std::string_view a, std::string_view b);
std::string trim(std::string_view text);
// A whole number ("12", "-3", "+4"); nothing for anything else.
bool parseInteger(std::string_view text, long long& value);
// A real number in decimal or exponent notation.
bool parseReal(std::string_view text, double& value);

} // namespace cadhost
