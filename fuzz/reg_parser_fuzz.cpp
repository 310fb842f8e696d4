// Feeds arbitrary bytes to the hive file reader. Whatever it reads must write back to text that
// reads again without a problem and into the same keys and values.

#include "hostreg/reg_text.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    for (const hostreg::HiveRoot root :
         {hostreg::HiveRoot::CurrentUser, hostreg::HiveRoot::LocalMachine}) {
        const hostreg::ReadResult first = hostreg::readRegText(text, root);
        if (first.problems.size() > first.problemCount)
            __builtin_trap();
        const std::string written = hostreg::writeRegText(first.root, root);
        const hostreg::ReadResult second = hostreg::readRegText(written, root);
        if (!second.ok() || !(second.root == first.root))
            __builtin_trap();
        if (hostreg::writeRegText(second.root, root) != written)
            __builtin_trap();
    }
    return 0;
}
