#pragma once
// Approximate text measures, used where no font is at hand (extents, fitting).

#include <string>
#include <vector>

namespace textmetrics {
// Width of one line of text of the given height (0.6 of the height per
// character, counting UTF-8 code points).
double lineWidth(const std::string& line, double height);
// Lines of an MText string: split at "\P" and newlines.
std::vector<std::string> splitLines(const std::string& contents);
// Height of n lines with the usual 5/3 line spacing.
double blockHeight(std::size_t lines, double height);
} // namespace textmetrics
