#pragma once
// The add-in's items in the suite menu group "Vorel": a submenu of the suite
// pop menu and a small toolbar, added through the host's automation model.
// Both are added once: an existing item or toolbar of the same name stops
// the addition, so the menu file the group is saved to keeps one copy.

#include <string>
#include <vector>

namespace kelvarin {

inline constexpr const char* kMenuScriptError = "Menu script has an error.";
inline constexpr const char* kMenuGroupMissing = "Can't find the menu group.";

// Lists end with an entry "\n"; empty entries are skipped.
using StringList = std::vector<std::string>;

// The add-in's lists: labels and macros of the suite menu items; names,
// macros, small and large bitmaps of the suite toolbar.
const StringList& suiteMenuLabels();
const StringList& suiteMenuMacros();
const StringList& suiteToolbarNames();
const StringList& suiteToolbarMacros();
const StringList& suiteToolbarSmallBitmaps();
const StringList& suiteToolbarLargeBitmaps();

// The entries up to the "\n" end mark, empty ones left out.
StringList copyList(const StringList& list);

struct MenuLevel {
    StringList labels;
    StringList macros;
};
// The entries one level below entry k: the following entries up to the first
// without "->", each with its first "->" removed (empty remainders skipped).
MenuLevel collectChildren(const StringList& labels, const StringList& macros, std::size_t k);

void addSuiteMenuItems(const StringList& labels, const StringList& macros);
void addSuiteToolbar(const StringList& names, const StringList& macros,
                     const StringList& smallBitmaps, const StringList& largeBitmaps);

// Initialisation's step: both, with the add-in's lists.
void addSuiteMenuAndToolbar();

} // namespace kelvarin
