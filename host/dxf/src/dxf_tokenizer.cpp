#include "dxf_tokenizer.h"

#include "dxf_error.h"

#include <charconv>
#include <cstring>

namespace acdxf {

namespace {

constexpr std::string_view kBinarySentinel = "AutoCAD Binary DXF";

bool looksLikeDwg(std::string_view bytes) {
    // DWG files start with their version string, e.g. "AC1018", then binary.
    return bytes.size() >= 6 && bytes.substr(0, 4) == "AC10" && bytes[4] >= '0' &&
           bytes[4] <= '9' && bytes[5] >= '0' && bytes[5] <= '9';
}

std::string_view trimmed(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

} // namespace

std::string_view checkDxfText(std::string_view bytes) {
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF")
        bytes.remove_prefix(3);
    if (bytes.empty())
        throw DxfError(0, "the file is empty");
    if (bytes.substr(0, kBinarySentinel.size()) == kBinarySentinel)
        throw DxfError(0, "this is a binary DXF file; only ASCII DXF can be read "
                          "(save the drawing as ASCII DXF)");
    if (looksLikeDwg(bytes))
        throw DxfError(0, "this is a DWG file, not a DXF file");
    return bytes;
}

std::string_view DxfTokenizer::readLine() {
    const char* begin = m_text.data() + m_pos;
    std::size_t left = m_text.size() - m_pos;
    const void* nl = std::memchr(begin, '\n', left);
    std::size_t len = nl ? static_cast<std::size_t>(static_cast<const char*>(nl) - begin) : left;
    m_pos += nl ? len + 1 : len;
    ++m_line;
    if (len > 0 && begin[len - 1] == '\r')
        --len;
    return {begin, len};
}

bool DxfTokenizer::next(DxfToken& token) {
    // Blank lines at the very end are tolerated (some writers add them).
    while (m_pos < m_text.size()) {
        std::size_t start = m_pos;
        std::uint32_t codeLine = m_line;
        std::string_view codeText = trimmed(readLine());
        if (codeText.empty()) {
            std::size_t rest = start;
            while (rest < m_text.size() && (m_text[rest] == '\n' || m_text[rest] == '\r' ||
                                            m_text[rest] == ' ' || m_text[rest] == '\t'))
                ++rest;
            if (rest == m_text.size()) {
                m_pos = rest;
                return false;
            }
            throw DxfError(codeLine, "expected a group code, found an empty line");
        }
        int code = 0;
        const char* first = codeText.data();
        const char* last = first + codeText.size();
        if (*first == '+')
            ++first;
        auto [ptr, ec] = std::from_chars(first, last, code);
        if (ec != std::errc() || ptr != last || code < 0 || code > 1071)
            throw DxfError(codeLine, "expected a group code, found " +
                                         quoteForMessage(codeText.data(), codeText.size()));
        if (m_pos >= m_text.size())
            throw DxfError(codeLine, "the file ends after group code " + std::to_string(code) +
                                         " without its value (is it cut short?)");
        std::uint32_t valueLine = m_line;
        std::string_view value = readLine();
        if (value.size() > kMaxValueLength)
            throw DxfError(valueLine, "value of group code " + std::to_string(code) + " is " +
                                          std::to_string(value.size()) +
                                          " characters long; the file is damaged");
        if (std::memchr(value.data(), '\0', value.size()))
            throw DxfError(valueLine, "binary data where a text value was expected");
        token.code = code;
        token.value = value;
        token.line = codeLine;
        return true;
    }
    return false;
}

} // namespace acdxf
