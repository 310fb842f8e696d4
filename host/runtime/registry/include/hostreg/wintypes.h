#pragma once
// The Windows scalar types the registry calls are declared with. The modules were written for a
// 32-bit platform, so DWORD and LONG are 32 bits wide here too (not `unsigned long`).
// Other host headers that need these names include this file rather than declaring their own.

#include <cstdint>

using DWORD = std::uint32_t;
using LONG = std::int32_t;
using BYTE = std::uint8_t;
using LPDWORD = DWORD*;
using LPBYTE = BYTE*;
using LPCSTR = const char*;
using LPSTR = char*;

struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
using PFILETIME = FILETIME*;
