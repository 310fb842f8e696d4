#include "hostapp/script.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace hostapp {

namespace {

std::string trim(const std::string& s) {
    const auto first = s.find_first_not_of(" \t");
    if (first == std::string::npos)
        return {};
    const auto last = s.find_last_not_of(" \t");
    return s.substr(first, last - first + 1);
}

std::optional<double> parseNumber(const std::string& text) {
    const std::string t = trim(text);
    if (t.empty())
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const double v = std::strtod(t.c_str(), &end);
    if (end != t.c_str() + t.size() || errno == ERANGE || !std::isfinite(v))
        return std::nullopt;
    return v;
}

} // namespace

bool readScriptFile(const std::string& path, std::string& text, std::string& error) {
    const std::string what = "cannot read the script " + path + ": ";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = what + (errno == ENOENT ? std::string("it does not exist") : std::strerror(errno));
        return false;
    }
    struct stat st {};
    const bool stated = ::fstat(fd, &st) == 0;
    if (!stated || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error = what + (stated && S_ISDIR(st.st_mode) ? "it is a folder, not a file"
                                                      : "it is not a regular file");
        return false;
    }
    if (static_cast<std::uint64_t>(st.st_size) > kMaxScriptFileBytes) {
        ::close(fd);
        error = what + "it is larger than " + std::to_string(kMaxScriptFileBytes >> 20) + " MiB";
        return false;
    }
    text.clear();
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            error = what + std::strerror(errno);
            ::close(fd);
            return false;
        }
        if (n == 0)
            break;
        if (text.size() + static_cast<std::size_t>(n) > kMaxScriptFileBytes) {
            ::close(fd);
            error =
                what + "it is larger than " + std::to_string(kMaxScriptFileBytes >> 20) + " MiB";
            return false;
        }
        text.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return true;
}

std::string scriptLineProblem(const ScriptLine& line) {
    if (line.text.size() <= kMaxScriptLineBytes)
        return {};
    return "the line is " + std::to_string(line.text.size()) + " bytes long; lines longer than " +
           std::to_string(kMaxScriptLineBytes) + " bytes are not taken";
}

std::vector<ScriptLine> parseScript(const std::string& text) {
    std::vector<ScriptLine> lines;
    std::size_t pos = 0;
    int number = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        std::string raw =
            text.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
        pos = end == std::string::npos ? text.size() : end + 1;
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        ScriptLine line;
        line.number = ++number;
        line.text = raw;
        const std::string lead = trim(raw);
        if (!lead.empty() && lead[0] == ';') {
            line.kind = ScriptLine::Kind::Comment;
        } else if (!lead.empty() && lead[0] == '@') {
            line.kind = ScriptLine::Kind::Directive;
            std::string name, rest;
            splitFirstWord(lead.substr(1), name, rest);
            std::transform(name.begin(), name.end(), name.begin(),
                           [](unsigned char c) { return std::tolower(c); });
            line.directive = name;
            line.argument = rest;
        }
        lines.push_back(std::move(line));
    }
    return lines;
}

bool isKnownDirective(const std::string& name) {
    static const char* const known[] = {
        "cells",  "nocells", "cancel", "toolbar", "dropdown", "choose",     "tearoff",
        "picker", "key",     "dialog", "set",     "check",    "select",     "click",
        "answer", "file",    "expect", "open",    "save",     "screenshot", "menu"};
    return std::any_of(std::begin(known), std::end(known),
                       [&](const char* k) { return name == k; });
}

std::optional<AcGePoint3d> parsePoint(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    if (parts.size() != 2 && parts.size() != 3)
        return std::nullopt;
    double v[3] = {0, 0, 0};
    for (std::size_t i = 0; i < parts.size(); ++i) {
        auto n = parseNumber(parts[i]);
        if (!n)
            return std::nullopt;
        v[i] = *n;
    }
    return AcGePoint3d(v[0], v[1], v[2]);
}

bool splitFirstWord(const std::string& text, std::string& first, std::string& rest) {
    const std::string t = trim(text);
    const auto blank = t.find_first_of(" \t");
    first = t.substr(0, blank);
    rest = blank == std::string::npos ? std::string() : trim(t.substr(blank));
    return !first.empty();
}

bool splitLastWord(const std::string& text, std::string& head, std::string& last) {
    const std::string t = trim(text);
    const auto blank = t.find_last_of(" \t");
    if (blank == std::string::npos) {
        head.clear();
        last = t;
        return false;
    }
    head = trim(t.substr(0, blank));
    last = t.substr(blank + 1);
    return !head.empty() && !last.empty();
}

std::optional<int> parseInt(const std::string& text) {
    const std::string t = trim(text);
    if (t.empty())
        return std::nullopt;
    char* end = nullptr;
    errno = 0;
    const long v = std::strtol(t.c_str(), &end, 10);
    if (end != t.c_str() + t.size() || errno == ERANGE || v < INT32_MIN || v > INT32_MAX)
        return std::nullopt;
    return static_cast<int>(v);
}

} // namespace hostapp
