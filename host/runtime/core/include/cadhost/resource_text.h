#pragma once
// The text forms of module resources: the string table, toolbar and menu
// resources. Plain parsers with no user interface; the host UI library turns
// their results into widgets.

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cadhost {

// Undoes the escapes of resource text: "\n" line break, "\t" tab, "\\" a
// backslash, "\"" a quote. Any other backslash stays as it is.
std::string unescapeResourceText(std::string_view text);

// String table: one entry a line, "<id><TAB><text>". Lines that are not
// entries (blank, comments, no tab, no number) are skipped; a later entry of
// the same id replaces an earlier one.
std::map<unsigned, std::string> parseStringTable(std::string_view text);

// Toolbar resource: one command id a line, 0 for a separator, "#" starts a
// comment. Nothing (and the reason in error) for a line that is no id.
std::optional<std::vector<unsigned>> parseToolbarResource(std::string_view text,
                                                          std::string* error = nullptr);

struct MenuResourceItem {
    enum class Kind { Command, Separator, Popup };
    Kind kind = Kind::Command;
    std::string text;
    unsigned id = 0;
    std::vector<MenuResourceItem> children; // of a popup
};

// Menu resource, one statement a line:
//   POPUP "text"           opens a submenu, closed by END
//   MENUITEM "text", id    a command
//   MENUITEM SEPARATOR
// BEGIN, "{" and "}" (as END) are accepted as in resource scripts, and a
// leading "<id> MENU" line is skipped; "#" and "//" start comments. The items
// at the outermost level come back; nothing (and the reason) on an error.
std::optional<std::vector<MenuResourceItem>> parseMenuResource(std::string_view text,
                                                               std::string* error = nullptr);

} // namespace cadhost
