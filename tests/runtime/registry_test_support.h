#pragma once
// Shared helpers of the registry tests: a throw-away profile folder and short string calls.

#include "hostreg/registry.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace regtest {

class TempProfile {
public:
    TempProfile() {
        const char* base = std::getenv("TMPDIR");
        std::string pattern = std::string(base && *base ? base : "/tmp") + "/cadhost-reg-XXXXXX";
        std::vector<char> buf(pattern.begin(), pattern.end());
        buf.push_back('\0');
        if (char* made = ::mkdtemp(buf.data()))
            dir_ = made;
    }
    ~TempProfile() {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }
    TempProfile(const TempProfile&) = delete;
    TempProfile& operator=(const TempProfile&) = delete;

    const std::string& dir() const { return dir_; }
    std::string file(const std::string& name) const { return dir_ + "/" + name; }

    // Files of the folder whose name starts with `prefix`.
    std::vector<std::string> filesStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
            const std::string name = entry.path().filename().string();
            if (name.rfind(prefix, 0) == 0)
                found.push_back(name);
        }
        return found;
    }

private:
    std::string dir_;
};

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

inline void writeFile(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

// Writes a REG_SZ with its terminating zero, as the modules do.
inline LONG setString(HKEY key, const char* name, const std::string& text) {
    return RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                         static_cast<DWORD>(text.size() + 1));
}

inline LONG setDword(HKEY key, const char* name, DWORD value) {
    return RegSetValueEx(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                         sizeof value);
}

// The stored bytes of a value, "" when the query fails.
inline std::string queryBytes(HKEY key, const char* name, DWORD* type = nullptr) {
    DWORD size = 0;
    if (RegQueryValueEx(key, name, nullptr, type, nullptr, &size) != ERROR_SUCCESS)
        return {};
    std::string data(size, '\0');
    if (RegQueryValueEx(key, name, nullptr, type, reinterpret_cast<BYTE*>(data.data()), &size) !=
        ERROR_SUCCESS)
        return {};
    return data;
}

// Names that `enumOne(index, buffer, &chars)` hands out for index 0, 1, ... until it fails.
template <typename EnumOne> std::vector<std::string> enumNames(EnumOne enumOne) {
    std::vector<std::string> names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD chars = sizeof name;
        if (enumOne(i, name, &chars) != ERROR_SUCCESS)
            break;
        names.emplace_back(name, chars);
    }
    return names;
}

inline std::vector<std::string> valueNames(HKEY key) {
    return enumNames([key](DWORD i, char* name, DWORD* chars) {
        return RegEnumValue(key, i, name, chars, nullptr, nullptr, nullptr, nullptr);
    });
}

inline std::vector<std::string> subKeyNames(HKEY key) {
    return enumNames([key](DWORD i, char* name, DWORD* chars) {
        return RegEnumKeyEx(key, i, name, chars, nullptr, nullptr, nullptr, nullptr);
    });
}

} // namespace regtest
