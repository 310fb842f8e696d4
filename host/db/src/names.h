#pragma once
// Symbol and dictionary names compare without regard to ASCII letter case.

#include <string>

namespace names {
inline std::string fold(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    return out;
}
inline bool equal(const std::string& a, const std::string& b) {
    return fold(a) == fold(b);
}
} // namespace names
