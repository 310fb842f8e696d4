#pragma once
// Appends group-code/value pairs to a string in the layout AutoCAD writes:
// the code right-aligned in three columns, the value on the next line.
// Reals are written in their shortest form that reads back to the same double.

#include "acdb/geometry.h"
#include "acdb/objectid.h"

#include <functional>
#include <string>
#include <string_view>

namespace acdxf {

class DxfWriter {
public:
    // Hands over what was written so far (and clears it), so a big drawing is
    // written as it goes instead of being built in memory.
    using Spill = std::function<void(std::string& written)>;

    explicit DxfWriter(std::string& out, Spill spill = {})
        : m_out(out), m_spill(std::move(spill)) {}
    // Hands over the rest.
    void flush();

    // A value that is already in file form (names of records, markers).
    void raw(int code, std::string_view value);
    // A string of the database (UTF-8), encoded for the file.
    void text(int code, std::string_view utf8);
    void integer(int code, long long value);
    void real(int code, double value);
    // Degrees in the file for radians in the database.
    void angle(int code, double radians);
    void handle(int code, AcDbHandle h);
    // code, code+10, code+20 (x, y, z).
    void point(int code, const AcGePoint3d& p);
    void vector(int code, const AcGeVector3d& v);
    void point2d(int code, double x, double y);

    std::string& buffer() { return m_out; }

private:
    void code(int code);
    std::string& m_out;
    Spill m_spill;
};

// "0 type", the handle, the owner as reactor and as owner, and the first subclass marker: how
// an object that a dictionary owns begins.
void writeOwnedObjectStart(DxfWriter& w, std::string_view type, AcDbHandle handle, AcDbHandle owner,
                           std::string_view subclass);

} // namespace acdxf
