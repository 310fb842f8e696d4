#pragma once
// Menu groups: what a menu source file (.mns) holds, read and written back.
// A group has pull-down (pop) menus with submenus and separators, toolbars
// with buttons and their bitmap names, and any other section kept as text so
// that saving a group loses nothing of its file.

#include <string>
#include <string_view>
#include <vector>

namespace cadhost::menu {

struct MenuItem {
    enum class Kind { Command, Separator, Submenu };
    Kind kind = Kind::Command;
    std::string tag;                // the name tag before the label ("ID_Open"), may be empty
    std::string label;              // shown text; empty for a separator
    std::string macro;              // control characters as bytes (0x03 for "^C")
    std::vector<MenuItem> children; // a submenu's items
    bool endsLevel = false;         // marked as the last item of its submenu level
    bool operator==(const MenuItem&) const = default;
};

struct PopMenu {
    std::string section; // "POP1" …
    std::string tag;
    std::string name; // the title shown in the menu bar
    std::vector<std::string> aliases;
    std::vector<MenuItem> items;
    bool operator==(const PopMenu&) const = default;
};

struct ToolbarButton {
    bool separator = false;
    bool flyout = false;
    std::string tag;
    std::string name;
    std::string help;
    std::string macro;
    std::string smallBitmap;
    std::string largeBitmap;
    bool operator==(const ToolbarButton&) const = default;
};

struct Toolbar {
    std::string section; // "TB_KELVARIN"
    std::string tag;
    std::string name;
    bool visible = true;
    std::vector<ToolbarButton> buttons;
    bool operator==(const Toolbar&) const = default;
};

struct RawSection {
    std::string header;             // "***ACCELERATORS"
    std::vector<std::string> lines; // as read
    bool operator==(const RawSection&) const = default;
};

struct MenuGroup {
    std::string name;
    std::string file; // where it was read from and is saved to
    std::vector<PopMenu> pops;
    std::vector<Toolbar> toolbars;
    std::vector<RawSection> others;
    bool operator==(const MenuGroup&) const = default;
};

struct MnsReadResult {
    MenuGroup group;
    std::vector<std::string> problems; // one line each, with the line number
    bool ok() const { return !group.name.empty(); }
};

// Reads menu source text (CR LF or LF line ends). Without a "***MENUGROUP="
// line the result is not ok(); anything else it does not understand is a
// problem, skipped.
MnsReadResult readMns(std::string_view text);
// Writes the group as menu source text with CR LF line ends.
std::string writeMns(const MenuGroup& group);

// "^C^C_LINE " <-> "\x03\x03_LINE ".
std::string macroFromText(std::string_view text);
std::string macroToText(std::string_view macro);

} // namespace cadhost::menu
