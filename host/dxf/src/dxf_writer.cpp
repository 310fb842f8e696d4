#include "dxf_writer.h"

#include "dxf_text.h"

#include <charconv>
#include <cmath>
#include <numbers>

namespace acdxf {

void DxfWriter::flush() {
    if (m_spill && !m_out.empty()) {
        m_spill(m_out);
        m_out.clear();
    }
}

void DxfWriter::code(int code) {
    // Pairs are whole when handed over: the check comes before each code.
    constexpr std::size_t kSpillBytes = 1 << 20;
    if (m_spill && m_out.size() >= kSpillBytes)
        flush();
    char buf[16];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, code);
    std::size_t len = static_cast<std::size_t>(end - buf);
    for (std::size_t i = len; i < 3; ++i)
        m_out.push_back(' ');
    m_out.append(buf, len);
    m_out.push_back('\n');
}

void DxfWriter::raw(int c, std::string_view value) {
    code(c);
    m_out.append(value);
    m_out.push_back('\n');
}

void DxfWriter::text(int c, std::string_view utf8) {
    code(c);
    encodeDxfText(utf8, m_out);
    m_out.push_back('\n');
}

void DxfWriter::integer(int c, long long value) {
    code(c);
    char buf[24];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    m_out.append(buf, end);
    m_out.push_back('\n');
}

void DxfWriter::real(int c, double value) {
    code(c);
    if (!std::isfinite(value))
        value = 0; // never write what no reader accepts
    if (value == 0)
        value = 0; // no "-0.0"
    char buf[32];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value);
    std::string_view s(buf, static_cast<std::size_t>(end - buf));
    m_out.append(s);
    if (s.find_first_of(".e") == std::string_view::npos)
        m_out += ".0";
    m_out.push_back('\n');
}

void DxfWriter::angle(int c, double radians) {
    // Extended precision so that reading back (degrees to radians) lands on
    // the same double in all but rare cases.
    real(c, static_cast<double>(static_cast<long double>(radians) * 180.0L /
                                std::numbers::pi_v<long double>));
}

void DxfWriter::handle(int c, AcDbHandle h) {
    code(c);
    char buf[20];
    auto [end, ec] = std::to_chars(buf, buf + sizeof buf, h.value(), 16);
    for (char* p = buf; p != end; ++p)
        if (*p >= 'a' && *p <= 'f')
            *p = static_cast<char>(*p - 'a' + 'A');
    m_out.append(buf, end);
    m_out.push_back('\n');
}

void DxfWriter::point(int c, const AcGePoint3d& p) {
    real(c, p.x);
    real(c + 10, p.y);
    real(c + 20, p.z);
}

void DxfWriter::vector(int c, const AcGeVector3d& v) {
    real(c, v.x);
    real(c + 10, v.y);
    real(c + 20, v.z);
}

void writeOwnedObjectStart(DxfWriter& w, std::string_view type, AcDbHandle handle, AcDbHandle owner,
                           std::string_view subclass) {
    w.raw(0, type);
    w.handle(5, handle);
    w.raw(102, "{ACAD_REACTORS");
    w.handle(330, owner);
    w.raw(102, "}");
    w.handle(330, owner);
    w.raw(100, subclass);
}

void DxfWriter::point2d(int c, double x, double y) {
    real(c, x);
    real(c + 10, y);
}

} // namespace acdxf
