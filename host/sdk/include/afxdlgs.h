#pragma once
// The framework's common file dialog, with the Windows flag values. The host
// shows its own file dialog (headless: answered by the script's @file).

#include "acwin.h"

#include <string>

inline constexpr DWORD OFN_READONLY = 0x1;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x2;
inline constexpr DWORD OFN_HIDEREADONLY = 0x4;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x1000;

struct OPENFILENAMEA {
    DWORD Flags = 0;
    const char* lpstrTitle = nullptr;
};

class CFileDialog {
public:
    // An "open" dialog takes any name unless OFN_FILEMUSTEXIST is set (so a
    // new file can be named); a save dialog asks before replacing a file only
    // with OFN_OVERWRITEPROMPT. filter: "Label|*.a;*.b|Label|*.*||". A chosen
    // name without an extension gets defaultExtension.
    CFileDialog(bool openFileDialog, const char* defaultExtension = nullptr,
                const char* fileName = nullptr,
                DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, const char* filter = nullptr,
                void* parentWindow = nullptr);
    virtual ~CFileDialog() = default;

    // IDOK with a chosen file, IDCANCEL otherwise.
    virtual int DoModal();
    std::string GetPathName() const { return m_path; }
    std::string GetFileName() const;
    std::string GetFileExt() const;

    OPENFILENAMEA m_ofn;

private:
    bool m_open;
    std::string m_defaultExtension;
    std::string m_fileName;
    std::string m_filter;
    std::string m_path;
};
