// GetModuleFileNameA: the file a module handle was loaded from.
#include "acwin.h"

#include "cadhost/module_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>

namespace {

std::string executablePath() {
    char buffer[PATH_MAX];
    ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    return n > 0 ? std::string(buffer, static_cast<std::size_t>(n)) : std::string();
}

// A shared object mapped by anyone else (a test executable's library).
std::string mappedFilePath(HMODULE module) {
    Dl_info info{};
    if (!dladdr(module, &info) || !info.dli_fname || info.dli_fbase != module)
        return {};
    std::error_code ec;
    return std::filesystem::absolute(info.dli_fname, ec).lexically_normal().string();
}

} // namespace

DWORD GetModuleFileNameA(HMODULE module, char* fileName, DWORD size) {
    std::string path;
    if (!module)
        path = executablePath();
    else if (const auto* record = cadhost::ModuleLoader::instance().findByHandle(module))
        path = record->fullPath.empty() ? record->path : record->fullPath;
    else
        path = mappedFilePath(module);
    if (path.empty() || !fileName || size == 0)
        return 0;
    const std::size_t copied = std::min<std::size_t>(path.size(), size - 1);
    std::memcpy(fileName, path.data(), copied);
    fileName[copied] = '\0';
    return copied < path.size() ? size : static_cast<DWORD>(copied);
}
