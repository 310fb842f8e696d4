#pragma once
// Script files: plain lines typed into the command line, ';' comments and
// '@' directives that act on the user interface. Parsing needs no window.

#include "acdb/geometry.h"

#include <optional>
#include <string>
#include <vector>

namespace hostapp {

struct ScriptLine {
    enum class Kind { Plain, Comment, Directive };
    int number = 0;   // 1-based line number in its file
    std::string text; // the line as written (without the line end)
    Kind kind = Kind::Plain;
    std::string directive; // lower case, without '@'
    std::string argument;  // the rest of the line, outer blanks removed
};

// Splits a script into lines ("\r\n" and "\n" end lines; a final line end
// does not make an extra empty line).
std::vector<ScriptLine> parseScript(const std::string& text);

// Directive names the runner knows.
bool isKnownDirective(const std::string& name);

// "X,Y" or "X,Y,Z" (blanks around numbers allowed).
std::optional<AcGePoint3d> parsePoint(const std::string& text);
// Splits at the first blank: "TITLE ID" style arguments take the last word as
// the id, so a title may contain blanks.
bool splitLastWord(const std::string& text, std::string& head, std::string& last);
bool splitFirstWord(const std::string& text, std::string& first, std::string& rest);
std::optional<int> parseInt(const std::string& text);

} // namespace hostapp
