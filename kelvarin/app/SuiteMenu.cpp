// The add-in's submenu and toolbar in the suite menu group.
#include "SuiteMenu.h"

#include "afxdisp.h"

#include <algorithm>
#include <optional>

namespace kelvarin {

namespace {

// Dispatch ids of the host's automation model used here.
constexpr DISPID kItem = 0;
constexpr DISPID kCount = 0x60020002;
constexpr DISPID kAppMenuGroups = 28;
constexpr DISPID kGroupName = 0x60020002;
constexpr DISPID kGroupMenus = 0x60020005;
constexpr DISPID kGroupToolbars = 0x60020006;
constexpr DISPID kGroupSave = 0x60020008;
constexpr DISPID kPopName = 0x60020005;
constexpr DISPID kPopAddItem = 0x6002000a;
constexpr DISPID kPopAddSubMenu = 0x6002000b;
constexpr DISPID kPopAddSeparator = 0x6002000c;
constexpr DISPID kItemLabel = 0x60020002;
constexpr DISPID kItemEndSubMenuLevel = 0x60020013;
constexpr DISPID kToolbarsAdd = 0x60020007;
constexpr DISPID kToolbarName = 0x60020005;
constexpr DISPID kToolbarAddButton = 0x60020015;
constexpr DISPID kToolbarAddSeparator = 0x60020016;
constexpr DISPID kToolbarLargeButtons = 0x60020007;
constexpr DISPID kButtonSetBitmaps = 0x6002000e;

constexpr const char* kSuiteName = "Vorel";
constexpr const char* kToolbarName_ = "Kelvarin";

// Echo off, cancel, cancel, then the command's global name and a blank.
std::string macro(const char* globalName) {
    return std::string("\x10\x03\x03") + globalName + " ";
}

bool isChild(const std::string& label) {
    return label.rfind("->", 0) == 0;
}

bool equalsNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
               return lower(x) == lower(y);
           });
}

COleVariant menuIndex(std::size_t i) {
    return COleVariant(long(i), VT_I4);
}
COleVariant buttonIndex(std::size_t i) {
    return COleVariant(long(i), VT_INT);
}

COleDispatchDriver element(const COleDispatchDriver& collection, long index) {
    return COleDispatchDriver(collection.InvokeMethod(kItem, {menuIndex(index)}).pdispVal);
}

// The first menu group whose name holds "Vorel" (letter case counts).
std::optional<COleDispatchDriver> findSuiteGroup() {
    COleDispatchDriver app(acedGetAcadWinApp()->GetIDispatch(true));
    COleDispatchDriver groups(app.GetObject(kAppMenuGroups));
    const long count = groups.GetLong(kCount);
    for (long i = 0; i < count; ++i) {
        COleDispatchDriver group = element(groups, i);
        if (group.GetString(kGroupName).find(kSuiteName) != std::string::npos)
            return group;
    }
    return std::nullopt;
}

std::optional<COleDispatchDriver> findSuitePop(const COleDispatchDriver& group) {
    COleDispatchDriver pops(group.GetObject(kGroupMenus));
    const long count = pops.GetLong(kCount);
    for (long i = 0; i < count; ++i) {
        COleDispatchDriver pop = element(pops, i);
        if (pop.GetString(kPopName).find(kSuiteName) != std::string::npos)
            return pop;
    }
    return std::nullopt;
}

void saveGroup(const COleDispatchDriver& group) {
    group.InvokeMethod(kGroupSave, {COleVariant(1L)});
}

void groupMissing() {
    AfxMessageBox(kMenuGroupMissing, MB_ICONEXCLAMATION);
}

// One level of a submenu: items at their position in the level's list.
void addMenuLevel(const COleDispatchDriver& menu, const StringList& labels,
                  const StringList& macros) {
    if (labels.size() != macros.size()) {
        AfxMessageBox(kMenuScriptError);
        return;
    }
    for (std::size_t i = 0; i < labels.size(); ++i) {
        if (isChild(labels[i]))
            continue;
        const bool hasChildren = i + 1 < labels.size() && isChild(labels[i + 1]);
        if (hasChildren) {
            const MenuLevel children = collectChildren(labels, macros, i);
            if (children.labels.empty())
                continue;
            COleDispatchDriver sub(
                menu.InvokeMethod(kPopAddSubMenu, {menuIndex(i), COleVariant(labels[i])}).pdispVal);
            addMenuLevel(sub, children.labels, children.macros);
            continue;
        }
        if (labels[i] == "-") {
            menu.InvokeMethod(kPopAddSeparator, {menuIndex(i)});
            continue;
        }
        COleDispatchDriver item(
            menu.InvokeMethod(kPopAddItem,
                              {menuIndex(i), COleVariant(labels[i]), COleVariant(macros[i])})
                .pdispVal);
        if (i + 1 == labels.size())
            item.SetProperty(kItemEndSubMenuLevel, COleVariant(1L));
    }
}

} // namespace

const StringList& suiteMenuLabels() {
    static const StringList list = {"Kelvarin",
                                    "->Display Kelvarin",
                                    "->Table Template Database Setting",
                                    "->-",
                                    "->Kelvarin Help",
                                    "->-",
                                    "->Demo",
                                    "->Online Resources",
                                    "->->Vorel Home",
                                    "->->What's New",
                                    "->->FAQ",
                                    "->Support",
                                    "->Check for Update...",
                                    "->-",
                                    "->About...",
                                    "->-",
                                    "->Try Vorel Merovin",
                                    "\n"};
    return list;
}

const StringList& suiteMenuMacros() {
    static const StringList list = {"-",
                                    macro("_VOREL_KELVARIN_SHOW"),
                                    macro("_VOREL_KELVARIN_DBSETTING"),
                                    "-",
                                    macro("_VOREL_KELVARIN_HELP"),
                                    "-",
                                    macro("_VOREL_KELVARIN_DEMO"),
                                    "-",
                                    macro("_VOREL_KELVARIN_WEBSITE"),
                                    macro("_VOREL_KELVARIN_NEW"),
                                    macro("_VOREL_KELVARIN_FAQ"),
                                    macro("_VOREL_KELVARIN_SUPPORT"),
                                    macro("_VOREL_KELVARIN_UPDATE"),
                                    "-",
                                    macro("_VOREL_KELVARIN_ABOUT"),
                                    "-",
                                    macro("_VOREL_KELVARIN_TRYMEROVIN"),
                                    "\n"};
    return list;
}

const StringList& suiteToolbarNames() {
    static const StringList list = {"Display Kelvarin", "-", "Kelvarin Help", "\n"};
    return list;
}
const StringList& suiteToolbarMacros() {
    static const StringList list = {macro("_VOREL_KELVARIN_SHOW"), "-",
                                    macro("_VOREL_KELVARIN_HELP"), "\n"};
    return list;
}
const StringList& suiteToolbarSmallBitmaps() {
    static const StringList list = {"VOREL_KELVARIN_SHOW_SMALL.BMP", "-",
                                    "VOREL_KELVARIN_HELP_SMALL.BMP", "\n"};
    return list;
}
const StringList& suiteToolbarLargeBitmaps() {
    static const StringList list = {"VOREL_KELVARIN_SHOW_BIG.BMP", "-",
                                    "VOREL_KELVARIN_HELP_BIG.BMP", "\n"};
    return list;
}

StringList copyList(const StringList& list) {
    StringList out;
    for (const std::string& entry : list) {
        if (entry == "\n")
            break;
        if (!entry.empty())
            out.push_back(entry);
    }
    return out;
}

MenuLevel collectChildren(const StringList& labels, const StringList& macros, std::size_t k) {
    MenuLevel level;
    for (std::size_t j = k + 1; j < labels.size() && j < macros.size(); ++j) {
        if (!isChild(labels[j]))
            break;
        std::string rest = labels[j].substr(2);
        if (rest.empty())
            continue;
        level.labels.push_back(std::move(rest));
        level.macros.push_back(macros[j]);
    }
    return level;
}

void addSuiteMenuItems(const StringList& labelList, const StringList& macroList) {
    const StringList labels = copyList(labelList);
    const StringList macros = copyList(macroList);
    if (labels.size() != macros.size()) {
        AfxMessageBox(kMenuScriptError);
        return;
    }
    try {
        auto group = findSuiteGroup();
        if (!group) {
            groupMissing();
            return;
        }
        auto pop = findSuitePop(*group);
        if (!pop) {
            groupMissing();
            return;
        }
        const long n = pop->GetLong(kCount);
        StringList existing;
        for (long i = 0; i < n; ++i)
            existing.push_back(element(*pop, i).GetString(kItemLabel));
        for (std::size_t k = 0; k < labels.size(); ++k) {
            const std::string& label = labels[k];
            if (isChild(label) ||
                std::any_of(existing.begin(), existing.end(),
                            [&](const std::string& e) { return equalsNoCase(e, label); }))
                continue;
            const bool hasChildren = k + 1 < labels.size() && isChild(labels[k + 1]);
            if (hasChildren) {
                const MenuLevel children = collectChildren(labels, macros, k);
                if (!children.labels.empty()) {
                    COleDispatchDriver sub(
                        pop->InvokeMethod(kPopAddSubMenu, {menuIndex(n), COleVariant(label)})
                            .pdispVal);
                    addMenuLevel(sub, children.labels, children.macros);
                }
            } else if (label == "-") {
                pop->InvokeMethod(kPopAddSeparator, {menuIndex(n)});
            } else {
                pop->InvokeMethod(kPopAddItem,
                                  {menuIndex(n), COleVariant(label), COleVariant(macros[k])});
            }
            saveGroup(*group);
        }
    } catch (...) {
        AfxMessageBox(kMenuScriptError);
    }
}

void addSuiteToolbar(const StringList& nameList, const StringList& macroList,
                     const StringList& smallList, const StringList& largeList) {
    const StringList names = copyList(nameList);
    const StringList macros = copyList(macroList);
    const StringList smalls = copyList(smallList);
    const StringList larges = copyList(largeList);
    if (names.size() != macros.size() || names.size() != smalls.size() ||
        names.size() != larges.size()) {
        AfxMessageBox(kMenuScriptError);
        return;
    }
    try {
        auto group = findSuiteGroup();
        if (!group) {
            groupMissing();
            return;
        }
        COleDispatchDriver toolbars(group->GetObject(kGroupToolbars));
        const long count = toolbars.GetLong(kCount);
        for (long i = 0; i < count; ++i)
            if (element(toolbars, i).GetString(kToolbarName).find(kToolbarName_) !=
                std::string::npos)
                return;
        COleDispatchDriver toolbar(
            toolbars.InvokeMethod(kToolbarsAdd, {COleVariant(kToolbarName_)}).pdispVal);
        for (std::size_t i = 0; i < names.size(); ++i) {
            if (names[i] == "-")
                continue;
            COleDispatchDriver button(
                toolbar
                    .InvokeMethod(kToolbarAddButton,
                                  {buttonIndex(i), COleVariant(names[i]), COleVariant(""),
                                   COleVariant(macros[i]), COleVariant(false)})
                    .pdispVal);
            button.InvokeMethod(kButtonSetBitmaps,
                                {COleVariant(smalls[i]), COleVariant(larges[i])});
            if (i > 0 && names[i - 1] == "-")
                toolbar.InvokeMethod(kToolbarAddSeparator, {buttonIndex(i)});
        }
        toolbar.SetProperty(kToolbarLargeButtons, COleVariant(false));
        saveGroup(*group);
    } catch (const COleDispatchException& e) {
        e.ReportError();
    } catch (...) {
        AfxMessageBox(kMenuScriptError);
    }
}

void addSuiteMenuAndToolbar() {
    addSuiteMenuItems(suiteMenuLabels(), suiteMenuMacros());
    addSuiteToolbar(suiteToolbarNames(), suiteToolbarMacros(), suiteToolbarSmallBitmaps(),
                    suiteToolbarLargeBitmaps());
}

} // namespace kelvarin
