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

// Longest script line taken: far beyond any command or answer, short enough
// that a runaway line is refused before it costs minutes of work.
constexpr std::size_t kMaxScriptLineBytes = 64 * 1024;
// Largest script file read.
constexpr std::size_t kMaxScriptFileBytes = 256u * 1024 * 1024;
// How deep scripts may run each other (SCRIPT inside a script).
constexpr std::size_t kMaxScriptNesting = 32;

// Reads a script file whole. False with the reason for the user when it is
// missing, a folder, unreadable or too large.
bool readScriptFile(const std::string& path, std::string& text, std::string& error);

// Why a line cannot be typed (too long); empty when it can.
std::string scriptLineProblem(const ScriptLine& line);

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
