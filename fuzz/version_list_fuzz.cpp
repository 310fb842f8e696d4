// Feeds arbitrary bytes to the update check's version list reader and
// compares what it finds. Every version found is short printable text, the
// chosen latest one is one of them and no other is newer, and the
// comparison is antisymmetric.

#include "update/UpdateCheck.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::vector<std::string> versions = kelvarin::parseVersionList(text);
    for (const std::string& v : versions) {
        if (v.size() > kelvarin::kMaxVersionLength)
            __builtin_trap();
        for (unsigned char c : v)
            if (c < 0x20 || c == 0x7f)
                __builtin_trap();
    }
    const std::string latest = kelvarin::selectLatestVersion(versions);
    if (!versions.empty() && std::find(versions.begin(), versions.end(), latest) == versions.end())
        __builtin_trap();
    for (const std::string& v : versions) {
        if (kelvarin::compareVersions(v, latest) == 1)
            __builtin_trap();
        if (kelvarin::compareVersions(v, latest) != -kelvarin::compareVersions(latest, v))
            __builtin_trap();
    }
    return 0;
}
