#pragma once
// Strings in DXF: the database keeps UTF-8; the file keeps one line per value,
// ASCII with \U+XXXX for other characters and ^J style escapes for control
// characters, as AutoCAD 2004 writes them.

#include <string>
#include <string_view>

namespace acdxf {

// Appends the file form of a UTF-8 string.
void encodeDxfText(std::string_view utf8, std::string& out);

// How bytes above 0x7F are read from files that carry no encoding of their own.
enum class DxfTextEncoding {
    kCodePage, // AC1018 and older: valid UTF-8 stays, other bytes are Windows-1252
    kUtf8,     // AC1021 and newer
};

// The UTF-8 string of a value read from a file.
std::string decodeDxfText(std::string_view value, DxfTextEncoding encoding);
// Same, appending to out.
void decodeDxfTextTo(std::string_view value, DxfTextEncoding encoding, std::string& out);

} // namespace acdxf
