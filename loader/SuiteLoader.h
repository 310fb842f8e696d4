#pragma once
// The suite loader's work, without windows: the suite's menu files beside
// the module, the menu load handed to the host frame, the removal of menu
// entries of products taken out of the suite, and the loading of every
// product module the suite's registry key lists.

#include "acwin.h"

#include <string>
#include <vector>

namespace vorel {

inline constexpr const char* kSuiteBaseName = "Vorel2005";
inline constexpr const char* kSuiteGroupName = "Vorel";
inline constexpr const char* kSuiteKey = "SOFTWARE\\Vorel\\Vorel2005";
inline constexpr const char* kMenuToDelKey = "SOFTWARE\\Vorel\\Vorel2005\\MenuToDel";
inline constexpr const char* kProductLinkKey = "SOFTWARE\\Vorel\\Vorel2005\\ProductLink";

inline constexpr const char* kMenuInfoMessage = "Can't read the menu information!";
inline constexpr const char* kSystemInfoMessage =
    "Can't read the system information, and can't load Vorel!";
inline constexpr const char* kPathTooLongMessage =
    "Can't load Vorel: the path of its loader module is longer than 259 characters, so the "
    "suite's menu files and products can't be found. Install the suite in a folder with a "
    "shorter path.";

// The menu source and menu LISP texts, line feeds only; written with CR LF.
const std::string& suiteMenuText();
const std::string& suiteMenuLispText();
std::string withCrLf(const std::string& text);

// The folder of the module's file, ending with one separator.
std::string moduleDirectory(const std::string& modulePath);

struct SuiteFiles {
    std::string directory;
    std::string menuFile;     // .mns
    std::string menuLispFile; // .mnl
    std::string compiledMenu; // .mnc
    std::string menuResource; // .mnr
};
SuiteFiles suiteFiles(const std::string& modulePath);

// Writes both files (after removing stale compiled menus and the old menu
// LISP file) when the menu source file is missing; otherwise touches nothing.
// Returns true when it wrote them.
bool ensureSuiteMenuFiles(const SuiteFiles& files);

// "(command "_.menuload" "PATH")(princ)" and a line feed, every backslash a
// forward slash.
std::string menuLoadCommand(const std::string& menuFile);

// The names listed under "MenuToDel", each taken out of the registry as it
// is read. Nothing when the key cannot be opened for query and set-value
// (reported through opened = false).
std::vector<std::string> takeMenuEntriesToDelete(bool& opened);

// Through the host's automation: in the suite group's suite pop menu, the
// first item whose label holds each name, and the group's first toolbar
// whose name holds it, are deleted; then the group is saved. Silent when the
// group or pop menu is missing or automation fails.
void deleteSuiteMenuEntries(const std::vector<std::string>& names);

// Unloads the first menu group whose name holds "Vorel". Silent on failure.
void unloadSuiteMenuGroup();

void removeMenuEntries();

// The whole start-up work of the loader for a module at modulePath.
void loadSuite(const std::string& modulePath);

// The start-up work of the loader module with this handle: its own path
// from the system (a 260-character buffer), then loadSuite. A path that
// does not fit the buffer names no file: nothing is written or loaded, and
// an alert says why.
void loadSuiteOf(HINSTANCE module);

} // namespace vorel
