// CFileDialog over the installed file dialog service, and the parsing of
// Windows-style filter strings.
#include "afxdlgs.h"

#include "cadhost/runtime.h"
#include "cadhost/ui_services.h"

namespace cadhost {

std::vector<FileFilter> parseFileFilter(const std::string& filter) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start <= filter.size()) {
        const std::size_t bar = filter.find('|', start);
        parts.push_back(
            filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos)
            break;
        start = bar + 1;
    }
    std::vector<FileFilter> filters;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        if (parts[i].empty() || parts[i + 1].empty())
            break;
        FileFilter entry{parts[i], {}};
        std::size_t from = 0;
        const std::string& patterns = parts[i + 1];
        while (from <= patterns.size()) {
            const std::size_t semi = patterns.find(';', from);
            std::string one =
                patterns.substr(from, semi == std::string::npos ? std::string::npos : semi - from);
            if (!one.empty())
                entry.patterns.push_back(one);
            if (semi == std::string::npos)
                break;
            from = semi + 1;
        }
        filters.push_back(std::move(entry));
    }
    return filters;
}

} // namespace cadhost

CFileDialog::CFileDialog(bool openFileDialog, const char* defaultExtension, const char* fileName,
                         DWORD flags, const char* filter, void*)
    : m_open(openFileDialog), m_defaultExtension(defaultExtension ? defaultExtension : ""),
      m_fileName(fileName ? fileName : ""), m_filter(filter ? filter : "") {
    m_ofn.Flags = flags;
}

int CFileDialog::DoModal() {
    cadhost::initializeRuntime();
    cadhost::FileDialogRequest request;
    request.title = m_ofn.lpstrTitle ? m_ofn.lpstrTitle : (m_open ? "Open" : "Save As");
    request.defaultName = m_fileName;
    if (!m_defaultExtension.empty())
        request.extensions.push_back(m_defaultExtension);
    request.filters = cadhost::parseFileFilter(m_filter);
    const bool askReplace = !m_open && (m_ofn.Flags & OFN_OVERWRITEPROMPT);
    request.save = askReplace;
    request.acceptNewFile = m_open ? !(m_ofn.Flags & OFN_FILEMUSTEXIST) : !askReplace;
    std::optional<std::string> chosen = cadhost::UiServices::fileDialogs().chooseFile(request);
    if (!chosen || chosen->empty()) {
        m_path.clear();
        return IDCANCEL;
    }
    m_path = *chosen;
    if (!m_defaultExtension.empty() && GetFileExt().empty() && m_path.back() != '/')
        m_path += "." + m_defaultExtension;
    return IDOK;
}

std::string CFileDialog::GetFileName() const {
    const std::size_t slash = m_path.find_last_of('/');
    return slash == std::string::npos ? m_path : m_path.substr(slash + 1);
}

std::string CFileDialog::GetFileExt() const {
    const std::string name = GetFileName();
    const std::size_t dot = name.find_last_of('.');
    return dot == std::string::npos || dot == 0 ? std::string() : name.substr(dot + 1);
}
