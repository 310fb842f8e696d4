#pragma once
// The host registry as the modules call it: the Windows registry calls with their names, handle
// model, access rights and error codes. Two hives exist, HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE;
// each is a REGEDIT4 text file in the profile (user.reg, machine.reg). Every change is written to
// disk before the call returns, atomically and under a file lock, so a crash loses nothing that a
// call reported as written and two host processes keep each other's values.
//
// Names of keys and values compare without regard to ASCII letter case; values enumerate in the
// order they were first written; sub-keys enumerate in alphabetical order. Value data is kept
// byte for byte as written: a string written with its terminating zero is read back with it.

#include "hostreg/wintypes.h"

#include <cstdint>
#include <string>
#include <vector>

struct HKEY__;
using HKEY = HKEY__*;
using PHKEY = HKEY*;
using REGSAM = DWORD;

// Root keys: always open, never closed by RegCloseKey.
#define HKEY_CURRENT_USER (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000001u)))
#define HKEY_LOCAL_MACHINE (reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x80000002u)))

// Value types.
inline constexpr DWORD REG_NONE = 0;
inline constexpr DWORD REG_SZ = 1;
inline constexpr DWORD REG_EXPAND_SZ = 2;
inline constexpr DWORD REG_BINARY = 3;
inline constexpr DWORD REG_DWORD = 4;
inline constexpr DWORD REG_MULTI_SZ = 7;
inline constexpr DWORD REG_QWORD = 11;

// Access rights. A handle may only do what it was opened for.
inline constexpr REGSAM KEY_QUERY_VALUE = 0x0001;
inline constexpr REGSAM KEY_SET_VALUE = 0x0002;
inline constexpr REGSAM KEY_CREATE_SUB_KEY = 0x0004;
inline constexpr REGSAM KEY_ENUMERATE_SUB_KEYS = 0x0008;
inline constexpr REGSAM KEY_NOTIFY = 0x0010;
inline constexpr REGSAM KEY_CREATE_LINK = 0x0020;
inline constexpr REGSAM KEY_WOW64_64KEY = 0x0100; // accepted and ignored: there is one view
inline constexpr REGSAM KEY_WOW64_32KEY = 0x0200;
inline constexpr REGSAM DELETE = 0x00010000;
inline constexpr REGSAM READ_CONTROL = 0x00020000;
inline constexpr REGSAM KEY_READ =
    READ_CONTROL | KEY_QUERY_VALUE | KEY_ENUMERATE_SUB_KEYS | KEY_NOTIFY;
inline constexpr REGSAM KEY_WRITE = READ_CONTROL | KEY_SET_VALUE | KEY_CREATE_SUB_KEY;
inline constexpr REGSAM KEY_EXECUTE = KEY_READ;
inline constexpr REGSAM KEY_ALL_ACCESS = 0x000F003F;

// RegCreateKeyEx options and dispositions.
inline constexpr DWORD REG_OPTION_NON_VOLATILE = 0;
inline constexpr DWORD REG_CREATED_NEW_KEY = 1;
inline constexpr DWORD REG_OPENED_EXISTING_KEY = 2;

// Results.
inline constexpr LONG ERROR_SUCCESS = 0;
inline constexpr LONG ERROR_FILE_NOT_FOUND = 2;
inline constexpr LONG ERROR_ACCESS_DENIED = 5;
inline constexpr LONG ERROR_INVALID_HANDLE = 6;
inline constexpr LONG ERROR_OUTOFMEMORY = 14;
inline constexpr LONG ERROR_INVALID_PARAMETER = 87;
inline constexpr LONG ERROR_DISK_FULL = 112;
inline constexpr LONG ERROR_BAD_PATHNAME = 161;
inline constexpr LONG ERROR_MORE_DATA = 234;
inline constexpr LONG ERROR_NO_MORE_ITEMS = 259;
inline constexpr LONG ERROR_REGISTRY_IO_FAILED = 1016; // the hive file could not be read or written
inline constexpr LONG ERROR_KEY_DELETED = 1018;        // the handle's key was deleted meanwhile
inline constexpr LONG ERROR_TIMEOUT = 1460; // another process held the hive lock too long

// Opens an existing key below hKey. An empty or null lpSubKey opens hKey again.
LONG RegOpenKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD ulOptions, REGSAM samDesired, PHKEY phkResult);

// Opens the key, creating it and any missing key on its path. lpdwDisposition (optional) tells
// REG_CREATED_NEW_KEY or REG_OPENED_EXISTING_KEY. Creating needs KEY_CREATE_SUB_KEY on hKey.
// lpClass, dwOptions and lpSecurityAttributes are accepted and ignored.
LONG RegCreateKeyEx(HKEY hKey, LPCSTR lpSubKey, DWORD Reserved, LPSTR lpClass, DWORD dwOptions,
                    REGSAM samDesired, const void* lpSecurityAttributes, PHKEY phkResult,
                    LPDWORD lpdwDisposition);

// Reads a value (null or empty name: the unnamed default value). With lpData null the size is
// returned in *lpcbData; a buffer that is too small gives ERROR_MORE_DATA with the size needed.
LONG RegQueryValueEx(HKEY hKey, LPCSTR lpValueName, LPDWORD lpReserved, LPDWORD lpType,
                     LPBYTE lpData, LPDWORD lpcbData);

// Writes a value; an existing value keeps its place in the enumeration order.
LONG RegSetValueEx(HKEY hKey, LPCSTR lpValueName, DWORD Reserved, DWORD dwType, const BYTE* lpData,
                   DWORD cbData);

LONG RegDeleteValue(HKEY hKey, LPCSTR lpValueName);

// Deletes a key that has no sub-keys (ERROR_ACCESS_DENIED otherwise, as on Windows).
LONG RegDeleteKey(HKEY hKey, LPCSTR lpSubKey);

// Deletes a key with everything below it; with a null lpSubKey, empties hKey instead.
LONG RegDeleteTree(HKEY hKey, LPCSTR lpSubKey);

// Values by index in insertion order, the default value included (with an empty name);
// ERROR_NO_MORE_ITEMS past the end. *lpcchValueName is the name buffer size in characters,
// terminating zero included; on success it receives the name length without the zero.
LONG RegEnumValue(HKEY hKey, DWORD dwIndex, LPSTR lpValueName, LPDWORD lpcchValueName,
                  LPDWORD lpReserved, LPDWORD lpType, LPBYTE lpData, LPDWORD lpcbData);

// Sub-keys by index in alphabetical order (letter case ignored). Keys have no class here:
// lpClass receives an empty string.
LONG RegEnumKeyEx(HKEY hKey, DWORD dwIndex, LPSTR lpName, LPDWORD lpcchName, LPDWORD lpReserved,
                  LPSTR lpClass, LPDWORD lpcchClass, PFILETIME lpftLastWriteTime);

// Counts and the longest names and data below a key, for sizing enumeration buffers.
LONG RegQueryInfoKey(HKEY hKey, LPSTR lpClass, LPDWORD lpcchClass, LPDWORD lpReserved,
                     LPDWORD lpcSubKeys, LPDWORD lpcbMaxSubKeyLen, LPDWORD lpcbMaxClassLen,
                     LPDWORD lpcValues, LPDWORD lpcbMaxValueNameLen, LPDWORD lpcbMaxValueLen,
                     LPDWORD lpcbSecurityDescriptor, PFILETIME lpftLastWriteTime);

LONG RegCloseKey(HKEY hKey);

// Host side: start-up and shut-down of the process-wide registry.

// Opens the hives of a profile folder (created when missing). Problems found on the way (a
// malformed hive, an unreadable file) are appended to *messages as lines for the user; the
// registry then runs with what could be read, and a malformed file is kept beside the hive as
// "<name>.bad-<date>-<time>". Returns true when both hives were read without a problem.
// Opening again closes the previous profile and every handle of it.
bool hostRegistryOpen(const std::string& profileDir, std::vector<std::string>* messages);

// A registry that lives in memory only (tests of other layers, a host without a profile).
void hostRegistryOpenInMemory();

// Closes every handle; later calls fail with ERROR_INVALID_HANDLE until the next open.
void hostRegistryClose();

// Problems met after start-up (a hive made malformed by someone else and set aside while writing);
// the host prints them. Each is returned once.
std::vector<std::string> hostRegistryTakeMessages();
