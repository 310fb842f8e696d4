#include "dxf_text.h"

#include "dxf_error.h"

#include <cstdint>

namespace acdxf {

namespace {

// Windows-1252 characters 0x80..0x9F (0 where the code page has none).
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void appendUtf8(char32_t c, std::string& out) {
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

// Length of the valid UTF-8 sequence at s[i], 0 when it is not one.
std::size_t utf8SequenceLength(std::string_view s, std::size_t i, char32_t& c) {
    auto byte = [&](std::size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b0 = byte(i);
    std::size_t n;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        n = 2;
        c = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        n = 3;
        c = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        n = 4;
        c = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + n > s.size())
        return 0;
    for (std::size_t k = 1; k < n; ++k) {
        if ((byte(i + k) & 0xC0) != 0x80)
            return 0;
        c = (c << 6) | (byte(i + k) & 0x3F);
    }
    if ((n == 3 && (c < 0x800 || (c >= 0xD800 && c <= 0xDFFF))) || (n == 4 && c < 0x10000) ||
        c > 0x10FFFF)
        return 0;
    return n;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool isPlain(std::string_view s) {
    for (char ch : s) {
        auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c >= 0x7F || c == '^' || c == '\\')
            return false;
    }
    return true;
}

} // namespace

std::string quoteForMessage(const char* data, std::size_t size, std::size_t maxChars) {
    std::string out = "\"";
    for (std::size_t i = 0; i < size && i < maxChars; ++i) {
        auto c = static_cast<unsigned char>(data[i]);
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else {
            static const char* hex = "0123456789ABCDEF";
            out += "\\x";
            out.push_back(hex[c >> 4]);
            out.push_back(hex[c & 15]);
        }
    }
    if (size > maxChars)
        out += "...";
    out += "\"";
    return out;
}

void encodeDxfText(std::string_view s, std::string& out) {
    if (isPlain(s)) {
        out.append(s);
        return;
    }
    static const char* hex = "0123456789ABCDEF";
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c < 0x20) {
            // Control characters would break the one-value-per-line layout.
            out.push_back('^');
            out.push_back(static_cast<char>(c + 0x40));
            ++i;
        } else if (c == '^') {
            out += "^ ";
            ++i;
        } else if (c < 0x7F) {
            out.push_back(static_cast<char>(c));
            ++i;
        } else {
            char32_t cp = 0;
            std::size_t n = c == 0x7F ? 0 : utf8SequenceLength(s, i, cp);
            if (n == 0) {
                cp = c; // a stray byte: kept as the Latin-1 character it names
                n = 1;
            }
            if (cp > 0xFFFF) {
                out.append(s.substr(i, n)); // beyond \U+XXXX: kept as UTF-8
            } else {
                out += "\\U+";
                out.push_back(hex[(cp >> 12) & 15]);
                out.push_back(hex[(cp >> 8) & 15]);
                out.push_back(hex[(cp >> 4) & 15]);
                out.push_back(hex[cp & 15]);
            }
            i += n;
        }
    }
}

void decodeDxfTextTo(std::string_view s, DxfTextEncoding encoding, std::string& out) {
    if (isPlain(s)) {
        out.append(s);
        return;
    }
    for (std::size_t i = 0; i < s.size();) {
        auto c = static_cast<unsigned char>(s[i]);
        if (c == '^' && i + 1 < s.size()) {
            char next = s[i + 1];
            if (next == ' ') {
                out.push_back('^');
                i += 2;
                continue;
            }
            if (next >= '@' && next <= '_') {
                out.push_back(static_cast<char>(next - 0x40));
                i += 2;
                continue;
            }
        }
        if (c == '\\' && i + 6 < s.size() && (s[i + 1] == 'U' || s[i + 1] == 'u') &&
            s[i + 2] == '+') {
            int d0 = hexDigit(s[i + 3]), d1 = hexDigit(s[i + 4]), d2 = hexDigit(s[i + 5]),
                d3 = hexDigit(s[i + 6]);
            if (d0 >= 0 && d1 >= 0 && d2 >= 0 && d3 >= 0) {
                char32_t cp = static_cast<char32_t>((d0 << 12) | (d1 << 8) | (d2 << 4) | d3);
                if (cp >= 0xD800 && cp <= 0xDFFF)
                    cp = 0xFFFD;
                appendUtf8(cp, out);
                i += 7;
                continue;
            }
        }
        if (c < 0x80) {
            out.push_back(static_cast<char>(c));
            ++i;
            continue;
        }
        char32_t cp = 0;
        std::size_t n = utf8SequenceLength(s, i, cp);
        if (n > 0) {
            out.append(s.substr(i, n));
            i += n;
        } else if (encoding == DxfTextEncoding::kUtf8) {
            appendUtf8(0xFFFD, out);
            ++i;
        } else {
            char32_t w = c < 0xA0 ? kCp1252High[c - 0x80] : c;
            appendUtf8(w ? w : 0xFFFD, out);
            ++i;
        }
    }
}

std::string decodeDxfText(std::string_view value, DxfTextEncoding encoding) {
    std::string out;
    decodeDxfTextTo(value, encoding, out);
    return out;
}

} // namespace acdxf
