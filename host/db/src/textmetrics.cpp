#include "textmetrics.h"

namespace textmetrics {

double lineWidth(const std::string& line, double height) {
    std::size_t chars = 0;
    for (unsigned char c : line)
        if ((c & 0xC0) != 0x80)
            ++chars;
    return 0.6 * height * static_cast<double>(chars);
}

std::vector<std::string> splitLines(const std::string& contents) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < contents.size(); ++i) {
        if (contents[i] == '\n' ||
            (contents[i] == '\\' && i + 1 < contents.size() && contents[i + 1] == 'P')) {
            if (contents[i] == '\\')
                ++i;
            lines.emplace_back();
        } else {
            lines.back() += contents[i];
        }
    }
    return lines;
}

double blockHeight(std::size_t lines, double height) {
    if (lines == 0)
        return 0;
    return height + static_cast<double>(lines - 1) * height * 5.0 / 3.0;
}

} // namespace textmetrics
