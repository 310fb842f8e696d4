// The suite loader's start-up work.
#include "SuiteLoader.h"

#include "aced.h"
#include "acedads.h"
#include "adscodes.h"
#include "afxdisp.h"
#include "hostreg/registry.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <optional>

namespace vorel {

namespace fs = std::filesystem;

namespace {

// Dispatch ids of the host's automation model used here.
constexpr DISPID kItem = 0;
constexpr DISPID kCount = 0x60020002;
constexpr DISPID kAppMenuGroups = 28;
constexpr DISPID kGroupName = 0x60020002;
constexpr DISPID kGroupMenus = 0x60020005;
constexpr DISPID kGroupToolbars = 0x60020006;
constexpr DISPID kGroupUnload = 0x60020007;
constexpr DISPID kGroupSave = 0x60020008;
constexpr DISPID kPopName = 0x60020005;
constexpr DISPID kItemLabel = 0x60020002;
constexpr DISPID kItemDelete = 0x60020012;
constexpr DISPID kToolbarName = 0x60020005;
constexpr DISPID kToolbarDelete = 0x60020019;

constexpr DWORD kValueNameSize = 1024; // names up to 1023 characters
constexpr DWORD kPathSize = 260;       // module paths up to 259 characters

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

COleDispatchDriver element(const COleDispatchDriver& collection, long index) {
    return COleDispatchDriver(collection.InvokeMethod(kItem, {COleVariant(index)}).pdispVal);
}

// The first element of a collection whose name (read with nameId) holds part.
std::optional<COleDispatchDriver> firstNamed(const COleDispatchDriver& collection, DISPID nameId,
                                             const std::string& part, long* at = nullptr) {
    const long count = collection.GetLong(kCount);
    for (long i = 0; i < count; ++i) {
        COleDispatchDriver item = element(collection, i);
        if (contains(item.GetString(nameId), part)) {
            if (at)
                *at = i;
            return item;
        }
    }
    return std::nullopt;
}

COleDispatchDriver menuGroups() {
    COleDispatchDriver app(acedGetAcadWinApp()->GetIDispatch(true));
    return COleDispatchDriver(app.GetObject(kAppMenuGroups));
}

void writeText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    const std::string bytes = withCrLf(text);
    out.write(bytes.data(), std::streamsize(bytes.size()));
}

class CmdEchoOff {
public:
    CmdEchoOff() {
        m_kept = acedGetVar("CMDECHO", &m_value) == RTNORM;
        resbuf off{};
        off.restype = RTSHORT;
        off.resval.rint = 0;
        acedSetVar("CMDECHO", &off);
    }
    void restore() {
        if (m_kept)
            acedSetVar("CMDECHO", &m_value);
        m_kept = false;
    }
    ~CmdEchoOff() { restore(); }
    CmdEchoOff(const CmdEchoOff&) = delete;
    CmdEchoOff& operator=(const CmdEchoOff&) = delete;

private:
    resbuf m_value{};
    bool m_kept = false;
};

} // namespace

const std::string& suiteMenuText() {
    static const std::string text = "//\n"
                                    "//      AutoCAD menu file - //\n"
                                    "\n"
                                    "***MENUGROUP=Vorel\n"
                                    "\n"
                                    "***POP1\n"
                                    "\t\t\t\t[Vorel]\n"
                                    "\n"
                                    "\n"
                                    "//\n"
                                    "//      End of AutoCAD menu file - //\n"
                                    "\n";
    return text;
}

const std::string& suiteMenuLispText() {
    static const std::string text = "(defun init-placemenu (/ CNT)\n"
                                    "(setq CNT 1)\n"
                                    "(while (< CNT 24)\n"
                                    "(if (menucmd (strcat \"P\" (itoa CNT) \".1=?\"))\n"
                                    "(setq CNT (1+ CNT))\n"
                                    "(progn\n"
                                    "(if (> CNT 2)\n"
                                    "(setq CNT (- CNT 2))\n"
                                    "(setq CNT 2)\n"
                                    ")\n"
                                    "(menucmd (strcat \"p\" (itoa CNT) \"=+Vorel.pop1\"))\n"
                                    "(setq CNT 25)\n"
                                    ")\n"
                                    ")\n"
                                    ")\n"
                                    ")\n"
                                    "\n"
                                    "\n"
                                    "\n"
                                    "(init-placemenu)\n"
                                    "\n";
    return text;
}

std::string withCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

std::string moduleDirectory(const std::string& modulePath) {
    // The folder the module lies in, whatever the module file is called.
    std::string dir = fs::path(modulePath).parent_path().string();
    if (dir.empty())
        dir = ".";
    if (dir.back() != '/' && dir.back() != '\\')
        dir += '/';
    return dir;
}

SuiteFiles suiteFiles(const std::string& modulePath) {
    SuiteFiles files;
    files.directory = moduleDirectory(modulePath);
    const std::string base = files.directory + kSuiteBaseName;
    files.menuFile = base + ".mns";
    files.menuLispFile = base + ".mnl";
    files.compiledMenu = base + ".mnc";
    files.menuResource = base + ".mnr";
    return files;
}

bool ensureSuiteMenuFiles(const SuiteFiles& files) {
    std::error_code ec;
    if (fs::exists(files.menuFile, ec))
        return false;
    for (const std::string& stale : {files.menuResource, files.compiledMenu, files.menuLispFile})
        if (fs::exists(stale, ec))
            fs::remove(stale, ec);
    writeText(files.menuLispFile, suiteMenuLispText());
    writeText(files.menuFile, suiteMenuText());
    return true;
}

std::string menuLoadCommand(const std::string& menuFile) {
    std::string text = "(command \"_.menuload\" \"" + menuFile + "\")(princ)\n";
    for (char& c : text)
        if (c == '\\')
            c = '/';
    return text;
}

std::vector<std::string> takeMenuEntriesToDelete(bool& opened) {
    std::vector<std::string> names;
    HKEY key = nullptr;
    opened = RegOpenKeyEx(HKEY_LOCAL_MACHINE, kMenuToDelKey, 0, KEY_QUERY_VALUE | KEY_SET_VALUE,
                          &key) == ERROR_SUCCESS;
    if (!opened)
        return names;
    // Each named value is deleted once read, so the next one moves up; the
    // unnamed default value is passed over and stays.
    DWORD index = 0;
    for (;;) {
        char name[kValueNameSize] = {};
        DWORD nameSize = kValueNameSize;
        if (RegEnumValue(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        if (nameSize == 0) {
            ++index;
            continue;
        }
        names.emplace_back(name, nameSize);
        if (RegDeleteValue(key, names.back().c_str()) != ERROR_SUCCESS)
            break;
    }
    RegCloseKey(key);
    return names;
}

void deleteSuiteMenuEntries(const std::vector<std::string>& names) {
    try {
        COleDispatchDriver groups = menuGroups();
        auto group = firstNamed(groups, kGroupName, kSuiteGroupName);
        if (!group)
            return;
        COleDispatchDriver pops(group->GetObject(kGroupMenus));
        auto pop = firstNamed(pops, kPopName, kSuiteGroupName);
        if (!pop)
            return;
        COleDispatchDriver toolbars(group->GetObject(kGroupToolbars));
        for (const std::string& name : names) {
            if (auto item = firstNamed(*pop, kItemLabel, name))
                item->InvokeMethod(kItemDelete);
            if (auto toolbar = firstNamed(toolbars, kToolbarName, name))
                toolbar->InvokeMethod(kToolbarDelete);
        }
        group->InvokeMethod(kGroupSave, {COleVariant(1L)});
    } catch (const COleDispatchException&) {
        // Automation failures leave the menu as it is, without a message.
    }
}

void unloadSuiteMenuGroup() {
    try {
        if (auto group = firstNamed(menuGroups(), kGroupName, kSuiteGroupName))
            group->InvokeMethod(kGroupUnload);
    } catch (const COleDispatchException&) {
    }
}

void removeMenuEntries() {
    bool opened = false;
    const std::vector<std::string> names = takeMenuEntriesToDelete(opened);
    if (!opened) {
        AfxMessageBox(kMenuInfoMessage);
        return;
    }
    if (!names.empty())
        deleteSuiteMenuEntries(names);
}

void loadSuite(const std::string& modulePath) {
    const SuiteFiles files = suiteFiles(modulePath);
    ensureSuiteMenuFiles(files);

    CmdEchoOff echo;
    if (!acedIsMenuGroupLoaded(kSuiteGroupName)) {
        // The menu load reaches the host as command-line input; its menu LISP
        // file places the pop menu once the group is in.
        std::string text = menuLoadCommand(files.menuFile);
        COPYDATASTRUCT data;
        data.dwData = 1;
        data.cbData = DWORD(text.size() + 1);
        data.lpData = text.data();
        acedGetAcadFrame()->SendCopyData(data);
        acedGetAcadFrame()->SetActiveWindow();
    }

    removeMenuEntries();

    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kProductLinkKey, 0, KEY_QUERY_VALUE, &key) !=
        ERROR_SUCCESS) {
        AfxMessageBox(kSystemInfoMessage);
        return; // echo restores CMDECHO
    }
    bool anyNamed = false;
    for (DWORD index = 0;; ++index) {
        char name[kValueNameSize] = {};
        DWORD nameSize = kValueNameSize;
        if (RegEnumValue(key, index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        if (nameSize == 0)
            continue;
        anyNamed = true;
        char path[kPathSize + 1] = {};
        DWORD type = REG_NONE;
        DWORD size = kPathSize;
        if (RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(path), &size) ==
                ERROR_SUCCESS &&
            type == REG_SZ) {
            path[std::min<DWORD>(size, kPathSize)] = '\0'; // a value stored without its zero
            acedArxLoad(path);
        }
    }
    RegCloseKey(key);
    echo.restore();
    if (!anyNamed)
        unloadSuiteMenuGroup();
}

void loadSuiteOf(HINSTANCE module) {
    char buffer[kPathSize] = {};
    const DWORD length = GetModuleFileNameA(module, buffer, sizeof buffer);
    if (length == 0)
        return;
    // A path cut to the buffer names no file: better no menu files than wrong ones.
    if (length >= sizeof buffer) {
        acedAlert(kPathTooLongMessage);
        return;
    }
    loadSuite(std::string(buffer, length));
}

} // namespace vorel
