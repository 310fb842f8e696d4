#pragma once
// Splits ASCII DXF text into group-code/value pairs. Values are views into the
// text (no copies); lines may end in LF or CRLF; codes may carry spaces.

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace acdxf {

struct DxfToken {
    int code = 0;
    std::string_view value;
    std::uint32_t line = 0; // line of the group code, counted from 1
};

// Throws DxfError when the bytes are not ASCII DXF at all (empty, binary DXF,
// a DWG file, other binary data), with a reason a user understands. Returns
// the text to tokenize (without a leading byte-order mark).
std::string_view checkDxfText(std::string_view bytes);

class DxfTokenizer {
public:
    // Longest value accepted. DXF values are short lines (long texts come in
    // pieces); a line longer than this is damage or another kind of file.
    static constexpr std::size_t kMaxValueLength = 1 << 20;

    explicit DxfTokenizer(std::string_view text) : m_text(text) {}

    // The next pair; false at the end of the text. Throws DxfError on a line
    // that is not a group code, a missing value line or a damaged value.
    bool next(DxfToken& token);

    // Where the next pair starts, to come back to it later.
    struct Position {
        std::size_t offset = 0;
        std::uint32_t line = 1;
    };
    Position position() const { return {m_pos, m_line}; }
    void seek(Position p) {
        m_pos = p.offset;
        m_line = p.line;
    }

private:
    std::string_view readLine();
    std::string_view m_text;
    std::size_t m_pos = 0;
    std::uint32_t m_line = 1;
};

} // namespace acdxf
