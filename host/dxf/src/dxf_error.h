#pragma once
// The one way reading fails: a message for the user and the line of the file
// where reading stopped (0 when no line applies).

#include <cstdint>
#include <stdexcept>
#include <string>

namespace acdxf {

class DxfError : public std::runtime_error {
public:
    DxfError(std::uint32_t line, const std::string& what)
        : std::runtime_error(line ? "line " + std::to_string(line) + ": " + what : what),
          m_line(line) {}
    std::uint32_t line() const { return m_line; }

private:
    std::uint32_t m_line;
};

// A short, printable quote of bytes from the file for messages.
std::string quoteForMessage(const char* data, std::size_t size, std::size_t maxChars = 24);

} // namespace acdxf
