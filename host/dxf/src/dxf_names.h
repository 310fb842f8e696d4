#pragma once
// Names in drawings compare without regard to ASCII letter case.

#include <string>
#include <string_view>

namespace acdxf {

inline char upperAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
}

inline std::string upperCase(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = upperAscii(c);
    return out;
}

inline bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (upperAscii(a[i]) != upperAscii(b[i]))
            return false;
    return true;
}

// Anonymous blocks named "*T..." hold the graphics of tables.
inline bool isTableBlockName(std::string_view name) {
    return name.size() >= 2 && name[0] == '*' && upperAscii(name[1]) == 'T';
}

} // namespace acdxf
