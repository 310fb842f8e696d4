#pragma once
// One process's registry on one profile: the two hives, the open handles and the calls of
// hostreg/registry.h. The host keeps one of these behind the Reg* functions; tests may open
// several on the same profile to play several host processes.

#include "hostreg/registry.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace hostreg {

class HiveFile;

// Crash tests stop a writing process at each step of a hive write: "write" (half of the text
// written), "flush" (all written, not yet on disk), "rename" and "renamed". Null for none.
using WriteStepHook = void (*)(const char* step);
void setWriteStepHook(WriteStepHook hook);

class HostRegistry {
public:
    // Opens user.reg and machine.reg in `profileDir` (created when missing). Problems are
    // appended to `messages`; `clean` tells whether there were none.
    static std::unique_ptr<HostRegistry> openProfile(const std::string& profileDir,
                                                     std::vector<std::string>& messages,
                                                     bool* clean = nullptr);
    // Both hives in memory, nothing written anywhere.
    static std::unique_ptr<HostRegistry> inMemory();

    ~HostRegistry();
    HostRegistry(const HostRegistry&) = delete;
    HostRegistry& operator=(const HostRegistry&) = delete;

    LONG openKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result);
    LONG createKey(HKEY key, LPCSTR subKey, REGSAM access, PHKEY result, LPDWORD disposition);
    LONG queryValue(HKEY key, LPCSTR name, LPDWORD type, LPBYTE data, LPDWORD size);
    LONG setValue(HKEY key, LPCSTR name, DWORD type, const BYTE* data, DWORD size);
    LONG deleteValue(HKEY key, LPCSTR name);
    LONG deleteKey(HKEY key, LPCSTR subKey);
    LONG deleteTree(HKEY key, LPCSTR subKey);
    LONG enumValue(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPDWORD type, LPBYTE data,
                   LPDWORD size);
    LONG enumKey(HKEY key, DWORD index, LPSTR name, LPDWORD nameChars, LPSTR className,
                 LPDWORD classChars, PFILETIME lastWrite);
    LONG queryInfoKey(HKEY key, LPSTR className, LPDWORD classChars, LPDWORD subKeys,
                      LPDWORD maxSubKeyChars, LPDWORD maxClassChars, LPDWORD values,
                      LPDWORD maxValueNameChars, LPDWORD maxValueBytes,
                      LPDWORD securityDescriptorBytes, PFILETIME lastWrite);
    LONG closeKey(HKEY key);

    // Problems met since start-up or the previous call, each returned once.
    std::vector<std::string> takeMessages();
    std::size_t openHandleCount() const;

private:
    struct OpenKey;
    struct Impl;
    explicit HostRegistry(std::unique_ptr<Impl> impl);

    std::unique_ptr<Impl> impl_;
    mutable std::mutex mutex_;
};

} // namespace hostreg
