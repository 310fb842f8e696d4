// The process-wide registry behind the Reg* calls.

#include "hostreg/host_registry.h"
#include "hostreg/registry.h"

#include <memory>
#include <mutex>

namespace {

std::mutex registryMutex;
std::shared_ptr<hostreg::HostRegistry> registryInstance;

std::shared_ptr<hostreg::HostRegistry> activeRegistry() {
    const std::lock_guard guard(registryMutex);
    return registryInstance;
}

void installRegistry(std::shared_ptr<hostreg::HostRegistry> registry) {
    const std::lock_guard guard(registryMutex);
    registryInstance = std::move(registry);
}

} // namespace

bool hostRegistryOpen(const std::string& profileDir, std::vector<std::string>* messages) {
    installRegistry(nullptr);
    std::vector<std::string> found;
    bool clean = false;
    installRegistry(hostreg::HostRegistry::openProfile(profileDir, found, &clean));
    if (messages)
        messages->insert(messages->end(), found.begin(), found.end());
    return clean;
}

void hostRegistryOpenInMemory() {
    installRegistry(hostreg::HostRegistry::inMemory());
}

void hostRegistryClose() {
    installRegistry(nullptr);
}

std::vector<std::string> hostRegistryTakeMessages() {
    const auto registry = activeRegistry();
    return registry ? registry->takeMessages() : std::vector<std::string>{};
}

LONG RegOpenKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD /*ulOptions*/, REGSAM samDesired,
                  PHKEY phkResult) {
    const auto registry = activeRegistry();
    if (!registry) {
        if (phkResult)
            *phkResult = nullptr;
        return ERROR_INVALID_HANDLE;
    }
    return registry->openKey(hKey, lpSubKey, samDesired, phkResult);
}

LONG RegCreateKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD /*Reserved*/, LPSTR /*lpClass*/,
                    DWORD /*dwOptions*/, REGSAM samDesired, const void* /*lpSecurityAttributes*/,
                    PHKEY phkResult, LPDWORD lpdwDisposition) {
    const auto registry = activeRegistry();
    if (!registry) {
        if (phkResult)
            *phkResult = nullptr;
        return ERROR_INVALID_HANDLE;
    }
    return registry->createKey(hKey, lpSubKey, samDesired, phkResult, lpdwDisposition);
}

LONG RegQueryValueEx(HKEY hKey, LPCSTR lpValueName, LPDWORD /*lpReserved*/, LPDWORD lpType,
                     LPBYTE lpData, LPDWORD lpcbData) {
    const auto registry = activeRegistry();
    return registry ? registry->queryValue(hKey, lpValueName, lpType, lpData, lpcbData)
                    : ERROR_INVALID_HANDLE;
}

LONG RegSetValueEx(HKEY hKey, LPCSTR lpValueName, DWORD /*Reserved*/, DWORD dwType,
                   const BYTE* lpData, DWORD cbData) {
    const auto registry = activeRegistry();
    return registry ? registry->setValue(hKey, lpValueName, dwType, lpData, cbData)
                    : ERROR_INVALID_HANDLE;
}

LONG RegDeleteValue(HKEY hKey, LPCSTR lpValueName) {
    const auto registry = activeRegistry();
    return registry ? registry->deleteValue(hKey, lpValueName) : ERROR_INVALID_HANDLE;
}

LONG RegDeleteKey(HKEY hKey, LPCSTR lpSubKey) {
    const auto registry = activeRegistry();
    return registry ? registry->deleteKey(hKey, lpSubKey) : ERROR_INVALID_HANDLE;
}

LONG RegDeleteTree(HKEY hKey, LPCSTR lpSubKey) {
    const auto registry = activeRegistry();
    return registry ? registry->deleteTree(hKey, lpSubKey) : ERROR_INVALID_HANDLE;
}

LONG RegEnumValue(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                  LPDWORD /*lpReserved*/, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData) {
    const auto registry = activeRegistry();
    return registry ? registry->enumValue(hKey, dwIndex, lpValueName, lpcchValueName, lpType,
                                          lpData, lpcbData)
                    : ERROR_INVALID_HANDLE;
}

LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD /*lpReserved*/,
                  LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime) {
    const auto registry = activeRegistry();
    return registry ? registry->enumKey(hKey, dwIndex, lpName, lpcchName, lpClass, lpcchClass,
                                        lpftLastWriteTime)
                    : ERROR_INVALID_HANDLE;
}

LONG RegQueryInfoKey(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD /*lpReserved*/,
                     LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                     LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                     LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime) {
    const auto registry = activeRegistry();
    return registry
               ? registry->queryInfoKey(hKey, lpClass, lpcchClass, lpcSubKeys, lpcbMaxSubKeyLen,
                                        lpcbMaxClassLen, lpcValues, lpcbMaxValueNameLen,
                                        lpcbMaxValueLen, lpcbSecurityDescriptor, lpftLastWriteTime)
               : ERROR_INVALID_HANDLE;
}

LONG RegCloseKey(HKEY hKey) {
    const auto registry = activeRegistry();
    return registry ? registry->closeKey(hKey) : ERROR_INVALID_HANDLE;
}
