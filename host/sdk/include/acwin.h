#pragma once
// The few Windows names the modules use around the host: module handles,
// message-box flags and answers, the copy-data record and the shell "open".
// They keep their Windows values so module code reads as it did.

#include "hostreg/wintypes.h"

#include <cstddef>
#include <cstdint>
#include <string>

// A module's handle: the address the module is mapped at. Null names the host.
struct HINSTANCE__;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE;

// An opaque window handle; the host hands out none of its own, so it is only
// ever passed as null ("no owner").
struct HWND__;
using HWND = HWND__*;

using UINT = unsigned int;
using LPARAM = std::intptr_t;
using WPARAM = std::uintptr_t;
using LRESULT = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using PVOID = void*;

// Message box buttons (low nibble) and icons.
inline constexpr UINT MB_OK = 0x0;
inline constexpr UINT MB_OKCANCEL = 0x1;
inline constexpr UINT MB_ABORTRETRYIGNORE = 0x2;
inline constexpr UINT MB_YESNOCANCEL = 0x3;
inline constexpr UINT MB_YESNO = 0x4;
inline constexpr UINT MB_RETRYCANCEL = 0x5;
inline constexpr UINT MB_TYPEMASK = 0xF;
inline constexpr UINT MB_ICONHAND = 0x10;
inline constexpr UINT MB_ICONERROR = MB_ICONHAND;
inline constexpr UINT MB_ICONSTOP = MB_ICONHAND;
inline constexpr UINT MB_ICONQUESTION = 0x20;
inline constexpr UINT MB_ICONEXCLAMATION = 0x30;
inline constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
inline constexpr UINT MB_ICONASTERISK = 0x40;
inline constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
inline constexpr UINT MB_ICONMASK = 0xF0;

// Message box answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDABORT = 3;
inline constexpr int IDRETRY = 4;
inline constexpr int IDIGNORE = 5;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Show states for ShellExecuteA.
inline constexpr int SW_HIDE = 0;
inline constexpr int SW_SHOWNORMAL = 1;
inline constexpr int SW_SHOW = 5;

// The copy-data message: dwData identifies the payload (1 = command-line
// text for the host frame), lpData points at cbData bytes.
inline constexpr UINT WM_COPYDATA = 0x004A;
struct COPYDATASTRUCT {
    ULONG_PTR dwData = 0;
    DWORD cbData = 0;
    PVOID lpData = nullptr;
};
using PCOPYDATASTRUCT = COPYDATASTRUCT*;

// The framework's message box: the host's title, the given buttons and icon.
// Answers IDOK, IDCANCEL, IDYES or IDNO. Headless, the script answers it.
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
inline int AfxMessageBox(const std::string& text, UINT type = MB_OK, UINT helpId = 0) {
    return AfxMessageBox(text.c_str(), type, helpId);
}
// A message box with its own caption; the owner window is ignored.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);

// The shell "open" of an address, mail link or file. Returns a value above 32
// on success (Windows convention), 2 (file not found) or 5 otherwise.
// Headless, the request is written to the transcript and not carried out.
std::intptr_t ShellExecuteA(HWND owner, const char* operation, const char* file,
                            const char* parameters, const char* directory, int showCommand);

// The full path of a module's file from its handle; a null handle names the
// host's executable. Copies at most size - 1 characters and a terminating
// zero. Returns the length copied; a path that does not fit is cut and the
// result is size (as the platform does); 0 for a handle no module has.
DWORD GetModuleFileNameA(HMODULE module, char* fileName, DWORD size);
inline DWORD GetModuleFileName(HMODULE module, char* fileName, DWORD size) {
    return GetModuleFileNameA(module, fileName, size);
}
