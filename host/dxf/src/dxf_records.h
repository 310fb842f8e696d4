#pragma once
// Groups the pairs of a DXF file into records: one "0 TYPE" pair and every
// pair up to the next code 0. Application groups ("102 {ACAD_REACTORS" ...
// "102 }") and comments (999) are dropped; extended data (1000 and up) is kept
// apart from the record's own codes.

#include "acdb/objectid.h"
#include "dxf_tokenizer.h"

#include <string_view>
#include <vector>

namespace acdxf {

struct DxfRecord {
    std::string_view type; // "LINE", "SECTION", "EOF" ...
    std::uint32_t line = 0;
    std::vector<DxfToken> body;  // the record's own pairs, in file order
    std::vector<DxfToken> xdata; // extended data, from the first 1001 on

    // First value of code in the body; empty view when there is none.
    std::string_view first(int code) const;
    const DxfToken* find(int code) const;
    // The handle under code; null when the record has none.
    AcDbHandle handleAt(int code) const;
};

class DxfRecordReader {
public:
    explicit DxfRecordReader(std::string_view text) : m_tokens(text) {}

    // Reads the next record into r (reusing its storage); false at the end.
    bool next(DxfRecord& r);
    // Where the next record starts, to read it again later.
    DxfTokenizer::Position position() const;
    void seek(DxfTokenizer::Position p);

private:
    bool nextToken(DxfToken& t);
    // The next token of the current record; false at the end of the text or at the next
    // record's "0", which is kept for the following next().
    bool nextInRecord(DxfToken& t);
    DxfTokenizer m_tokens;
    DxfToken m_pending;
    bool m_hasPending = false;
    DxfTokenizer::Position m_pendingPosition;
};

} // namespace acdxf
