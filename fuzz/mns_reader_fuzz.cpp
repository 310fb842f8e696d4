// Feeds arbitrary bytes to the menu source reader. What it reads writes back to text that
// reads into the same group and writes to the same text again.

#include "cadhost/menu_group.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace cadhost::menu;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const MnsReadResult first = readMns(text);
    const std::string written = writeMns(first.group);
    const MnsReadResult second = readMns(written);
    const std::string again = writeMns(second.group);
    const MnsReadResult third = readMns(again);
    if (again != writeMns(third.group) || !(third.group == second.group))
        __builtin_trap();
    if (first.ok() != second.ok())
        __builtin_trap();
    return 0;
}
