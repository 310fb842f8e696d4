#include "hostreg/reg_text.h"

#include <algorithm>
#include <cstdio>
#include <optional>

namespace hostreg {

namespace {

constexpr std::string_view kHeader = "REGEDIT4";

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && isBlank(s.front()))
        s.remove_prefix(1);
    return s;
}

std::string_view trimRight(std::string_view s) {
    while (!s.empty() && (isBlank(s.back()) || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

std::string_view trim(std::string_view s) {
    return trimRight(trimLeft(s));
}

bool startsWithNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && namesEqual(s.substr(0, prefix.size()), prefix);
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// Parses 1 to maxDigits hex digits making up all of `s`.
std::optional<std::uint32_t> parseHexNumber(std::string_view s, std::size_t maxDigits) {
    if (s.empty() || s.size() > maxDigits)
        return std::nullopt;
    std::uint32_t n = 0;
    for (char c : s) {
        const int d = hexDigit(c);
        if (d < 0)
            return std::nullopt;
        n = (n << 4) | static_cast<std::uint32_t>(d);
    }
    return n;
}

// Shows a piece of a bad line in a message as printable ASCII: control bytes and bytes that may
// not be valid UTF-8 are written as \xNN, so the message is always valid text.
std::string excerpt(std::string_view s) {
    constexpr std::size_t kMax = 40;
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (std::size_t i = 0; i < s.size() && i < kMax; ++i) {
        const auto c = static_cast<unsigned char>(s[i]);
        if (c >= 0x20 && c < 0x7f) {
            out += static_cast<char>(c);
        } else {
            out += "\\x";
            out += hex[c >> 4];
            out += hex[c & 15];
        }
    }
    if (s.size() > kMax)
        out += "...";
    return out;
}

class RegTextReader {
public:
    RegTextReader(std::string_view text, HiveRoot root, const ReadLimits& limits)
        : text_(text), root_(root), limits_(limits) {}

    ReadResult run() {
        if (text_.size() > limits_.maxInputBytes) {
            // The line where the limit falls, so the user can find what made the file so big.
            const std::string_view within = text_.substr(0, limits_.maxInputBytes);
            const auto line =
                static_cast<std::size_t>(std::count(within.begin(), within.end(), '\n')) + 1;
            problem(line, "the file is larger than " + std::to_string(limits_.maxInputBytes >> 20) +
                              " MiB (it passes that size on this line) and was not read");
            return std::move(result_);
        }
        if (text_.substr(0, 3) == "\xEF\xBB\xBF")
            pos_ = 3;
        readHeader();
        std::string_view line;
        while (nextLine(line))
            readLine(line, lineNumber_);
        return std::move(result_);
    }

private:
    enum class KeyState { None, Skipped, Open };

    void problem(std::size_t line, std::string message) {
        ++result_.problemCount;
        if (result_.problems.size() < limits_.maxReportedProblems)
            result_.problems.push_back(TextProblem{line, std::move(message)});
    }

    bool nextLine(std::string_view& line) {
        if (pos_ >= text_.size())
            return false;
        const std::size_t end = text_.find('\n', pos_);
        const std::size_t stop = end == std::string_view::npos ? text_.size() : end;
        line = text_.substr(pos_, stop - pos_);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        pos_ = stop + 1;
        ++lineNumber_;
        return true;
    }

    void readHeader() {
        std::string_view line;
        while (nextLine(line)) {
            if (trim(line).empty())
                continue;
            if (trim(line) == kHeader)
                return;
            problem(lineNumber_, "the file does not start with REGEDIT4 (found \"" +
                                     excerpt(trim(line)) + "\")");
            readLine(line, lineNumber_);
            return;
        }
        problem(0, "the file is empty: the REGEDIT4 header is missing");
    }

    void readLine(std::string_view line, std::size_t lineNo) {
        const std::string_view text = trimLeft(line);
        if (trimRight(text).empty() || text.front() == ';')
            return;
        if (text.front() == '[')
            readKeyLine(trimRight(text), lineNo);
        else if (text.front() == '"' || text.front() == '@')
            readValueLine(text, lineNo);
        else
            problem(lineNo, "not a key, value or comment line: \"" + excerpt(text) + "\"");
    }

    void readKeyLine(std::string_view text, std::size_t lineNo) {
        keyState_ = KeyState::Skipped;
        key_ = nullptr;
        const std::size_t close = text.rfind(']');
        if (close == std::string_view::npos) {
            problem(lineNo, "the key line has no closing ]");
            return;
        }
        if (close + 1 != text.size()) {
            problem(lineNo, "text after the ] of the key line");
            return;
        }
        std::string_view inner = text.substr(1, close - 1);
        const bool deletion = !inner.empty() && inner.front() == '-';
        if (deletion)
            inner.remove_prefix(1);

        const std::size_t slash = inner.find('\\');
        const std::string_view rootName = inner.substr(0, slash);
        if (!isOwnRoot(rootName)) {
            problem(lineNo, std::string("the key is not below ") + rootKeyName(root_) + ": \"" +
                                excerpt(inner) + "\"");
            return;
        }
        KeyPath path;
        const std::string_view rest =
            slash == std::string_view::npos ? std::string_view{} : inner.substr(slash + 1);
        if (slash != std::string_view::npos && rest.empty()) {
            problem(lineNo, "empty key name at the end of the key path");
            return;
        }
        switch (splitKeyPath(rest, path)) {
        case PathStatus::Ok:
            break;
        case PathStatus::BadPath:
            problem(lineNo, "empty key name in the key path");
            return;
        case PathStatus::InvalidName:
            problem(lineNo, "a key name in the path is longer than 255 bytes or holds a control "
                            "character");
            return;
        case PathStatus::TooDeep:
            problem(lineNo, "the key lies more than 512 levels deep");
            return;
        }

        if (deletion) {
            if (path.empty()) {
                problem(lineNo, "the hive's root key cannot be deleted");
                return;
            }
            const std::string leaf = path.back();
            path.pop_back();
            if (RegKey* parent = findKey(result_.root, path))
                parent->removeSubKey(leaf);
            keyState_ = KeyState::None;
            return;
        }
        RegKey* key = &result_.root;
        for (const std::string& name : path)
            key = &key->addSubKey(name);
        key_ = key;
        keyState_ = KeyState::Open;
    }

    bool isOwnRoot(std::string_view name) const {
        if (root_ == HiveRoot::CurrentUser)
            return namesEqual(name, "HKEY_CURRENT_USER") || namesEqual(name, "HKCU");
        return namesEqual(name, "HKEY_LOCAL_MACHINE") || namesEqual(name, "HKLM");
    }

    // Reads a quoted string starting at text[pos] == '"'; pos ends after the closing quote.
    bool readQuoted(std::string_view text, std::size_t& pos, std::string& out, std::size_t lineNo,
                    const char* what) {
        out.clear();
        for (std::size_t i = pos + 1; i < text.size(); ++i) {
            const char c = text[i];
            if (c == '"') {
                pos = i + 1;
                return true;
            }
            if (c == '\\') {
                if (i + 1 < text.size() && (text[i + 1] == '"' || text[i + 1] == '\\')) {
                    out += text[++i];
                    continue;
                }
                problem(lineNo, std::string("unknown escape in the ") + what +
                                    " (write a backslash as \\\\ and a quote as \\\")");
                return false;
            }
            out += c;
        }
        problem(lineNo, std::string("the ") + what + " has no closing quote");
        return false;
    }

    void readValueLine(std::string_view text, std::size_t lineNo) {
        std::string name;
        std::size_t pos = 0;
        if (text.front() == '@') {
            pos = 1;
        } else if (!readQuoted(text, pos, name, lineNo, "value name")) {
            return;
        }
        pos = text.find_first_not_of(" \t", pos);
        if (pos == std::string_view::npos || text[pos] != '=') {
            problem(lineNo, "expected = after the value name");
            return;
        }
        std::string_view data = trimLeft(text.substr(pos + 1));
        const bool isHex = startsWithNoCase(data, "hex");
        std::string joined;
        if (isHex && !trimRight(data).empty() && trimRight(data).back() == '\\') {
            if (!joinContinuation(data, joined, lineNo))
                return;
            data = joined;
        }

        if (keyState_ != KeyState::Open) {
            if (keyState_ == KeyState::None)
                problem(lineNo, "a value line that belongs to no key");
            return;
        }
        if (!isValidValueName(name)) {
            problem(lineNo, "the value name is longer than 16383 bytes or holds a control "
                            "character");
            return;
        }
        if (trimRight(data) == "-") {
            key_->removeValue(name);
            return;
        }
        std::uint32_t type = 0;
        std::vector<std::uint8_t> bytes;
        if (!readData(data, lineNo, type, bytes))
            return;
        if (bytes.size() > kMaxValueDataSize) {
            problem(lineNo, "the value data is larger than 1 MiB");
            return;
        }
        key_->setValue(name, type, std::move(bytes));
    }

    // Joins a hex value continued over several lines by trailing backslashes.
    bool joinContinuation(std::string_view first, std::string& joined, std::size_t lineNo) {
        const std::size_t maxText = kMaxValueDataSize * 3 + 64;
        bool tooLong = false;
        std::string_view part = trimRight(first);
        while (true) {
            const bool more = !part.empty() && part.back() == '\\';
            if (more)
                part.remove_suffix(1);
            if (!tooLong) {
                if (joined.size() + part.size() > maxText)
                    tooLong = true;
                else
                    joined.append(part);
            }
            if (!more)
                break;
            std::string_view next;
            if (!nextLine(next)) {
                problem(lineNo, "the file ends inside a value continued with \\");
                return false;
            }
            part = trim(next);
        }
        if (tooLong) {
            problem(lineNo, "the value data is larger than 1 MiB");
            return false;
        }
        return true;
    }

    bool readData(std::string_view data, std::size_t lineNo, std::uint32_t& type,
                  std::vector<std::uint8_t>& bytes) {
        if (!data.empty() && data.front() == '"') {
            std::string text;
            std::size_t pos = 0;
            if (!readQuoted(data, pos, text, lineNo, "string"))
                return false;
            if (!trim(data.substr(pos)).empty()) {
                problem(lineNo, "text after the closing quote of the string");
                return false;
            }
            type = 1; // REG_SZ, kept with its terminating zero
            bytes.assign(text.begin(), text.end());
            bytes.push_back(0);
            return true;
        }
        if (startsWithNoCase(data, "dword:")) {
            const auto n = parseHexNumber(trimRight(data.substr(6)), 8);
            if (!n) {
                problem(lineNo, "dword: needs 1 to 8 hex digits");
                return false;
            }
            type = 4; // REG_DWORD, little-endian as on the platform
            bytes = {static_cast<std::uint8_t>(*n), static_cast<std::uint8_t>(*n >> 8),
                     static_cast<std::uint8_t>(*n >> 16), static_cast<std::uint8_t>(*n >> 24)};
            return true;
        }
        if (startsWithNoCase(data, "hex:")) {
            type = 3; // REG_BINARY
            return readHexBytes(data.substr(4), lineNo, bytes);
        }
        if (startsWithNoCase(data, "hex(")) {
            const std::size_t close = data.find(')');
            const auto n = close == std::string_view::npos
                               ? std::nullopt
                               : parseHexNumber(data.substr(4, close - 4), 8);
            if (!n || close + 1 >= data.size() || data[close + 1] != ':') {
                problem(lineNo, "hex(type): needs the type as 1 to 8 hex digits and a colon");
                return false;
            }
            type = *n;
            return readHexBytes(data.substr(close + 2), lineNo, bytes);
        }
        problem(lineNo, "unknown value data \"" + excerpt(data) +
                            "\" (expected \"text\", dword:, hex: or hex(type):)");
        return false;
    }

    bool readHexBytes(std::string_view list, std::size_t lineNo, std::vector<std::uint8_t>& out) {
        list = trim(list);
        std::size_t pos = 0;
        while (pos < list.size()) {
            std::size_t comma = list.find(',', pos);
            const bool last = comma == std::string_view::npos;
            if (last)
                comma = list.size();
            const std::string_view item = trim(list.substr(pos, comma - pos));
            if (item.empty() && last)
                break; // a trailing comma
            const auto n = parseHexNumber(item, 2);
            if (!n) {
                problem(lineNo, "bad byte \"" + excerpt(item) + "\" in hex data");
                return false;
            }
            out.push_back(static_cast<std::uint8_t>(*n));
            pos = comma + 1;
        }
        return true;
    }

    std::string_view text_;
    HiveRoot root_;
    ReadLimits limits_;
    ReadResult result_;
    std::size_t pos_ = 0;
    std::size_t lineNumber_ = 0;
    KeyState keyState_ = KeyState::None;
    RegKey* key_ = nullptr;
};

} // namespace

ReadResult readRegText(std::string_view text, HiveRoot root, const ReadLimits& limits) {
    return RegTextReader(text, root, limits).run();
}

} // namespace hostreg
