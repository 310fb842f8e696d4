#include "dxf_records.h"

#include "dxf_error.h"
#include "dxf_values.h"

namespace acdxf {

std::string_view DxfRecord::first(int code) const {
    const DxfToken* t = find(code);
    return t ? t->value : std::string_view();
}

AcDbHandle DxfRecord::handleAt(int code) const {
    const DxfToken* t = find(code);
    return t ? toHandle(*t) : AcDbHandle();
}

const DxfToken* DxfRecord::find(int code) const {
    for (const DxfToken& t : body)
        if (t.code == code)
            return &t;
    return nullptr;
}

bool DxfRecordReader::nextToken(DxfToken& t) {
    if (m_hasPending) {
        t = m_pending;
        m_hasPending = false;
        return true;
    }
    return m_tokens.next(t);
}

bool DxfRecordReader::nextInRecord(DxfToken& t) {
    const DxfTokenizer::Position before = m_tokens.position();
    if (!m_tokens.next(t))
        return false;
    if (t.code == 0) {
        m_pending = t;
        m_pendingPosition = before;
        m_hasPending = true;
        return false;
    }
    return true;
}

DxfTokenizer::Position DxfRecordReader::position() const {
    return m_hasPending ? m_pendingPosition : m_tokens.position();
}

void DxfRecordReader::seek(DxfTokenizer::Position p) {
    m_hasPending = false;
    m_tokens.seek(p);
}

bool DxfRecordReader::next(DxfRecord& r) {
    r.body.clear();
    r.xdata.clear();
    DxfToken t;
    do {
        if (!nextToken(t))
            return false;
    } while (t.code == 999);
    if (t.code != 0)
        throw DxfError(t.line, "expected the start of a record (group code 0), found group code " +
                                   std::to_string(t.code));
    r.type = t.value;
    while (!r.type.empty() && (r.type.back() == ' ' || r.type.back() == '\t'))
        r.type.remove_suffix(1);
    r.line = t.line;
    bool inXdata = false;
    for (;;) {
        if (!nextInRecord(t))
            return true;
        if (t.code == 999)
            continue;
        if (t.code == 102 && !t.value.empty() && t.value.front() == '{') {
            // Skip the application group; a record end closes it too.
            for (;;) {
                if (!nextInRecord(t))
                    return true;
                if (t.code == 102)
                    break;
            }
            continue;
        }
        if (t.code >= 1000)
            inXdata = true;
        (inXdata ? r.xdata : r.body).push_back(t);
    }
}

} // namespace acdxf
