#pragma once
// The menu groups loaded into the host and the menu bar built from them.
// MENULOAD reads a group from its .mns file (and runs the .mnl beside it);
// saving a group writes it back to that file. The bar holds the host's own
// menus and the pop menus placed with menucmd ("P7=+Vorel.pop1").

#include "cadhost/menu_group.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace cadhost {

class MenuGroups {
public:
    static MenuGroups& instance();

    struct LoadResult {
        bool ok = false;
        std::string message; // one line, for the command line, when not ok
    };
    // Reads the group; a group of the same name already loaded is refused.
    // Loaded, the group's menu LISP file (same base name, ".mnl") runs.
    LoadResult load(const std::string& path);
    bool unload(const std::string& name);
    // Writes the group back to its file (whole, atomically).
    bool save(const menu::MenuGroup& group);

    bool isLoaded(const std::string& name) const; // case-insensitive
    menu::MenuGroup* find(const std::string& name);
    std::size_t count() const { return m_groups.size(); }
    menu::MenuGroup* at(std::size_t index);

    // ---- the menu bar
    struct BarEntry {
        std::string group; // empty for a menu of the host's own
        std::string title;
        std::string section; // the pop menu's section in its group
    };
    void setHostMenus(const std::vector<std::string>& titles);
    const std::vector<BarEntry>& bar() const { return m_bar; }
    // The pop menu a bar entry shows; null for the host's own.
    const menu::PopMenu* popOf(const BarEntry& entry);
    // menucmd requests: "Pn.i=?" (an answer while position n has an item i),
    // "Pn=+group.section" (place a pop menu at position n), "Pn=-" (remove).
    std::optional<std::string> menucmd(const std::string& request);

    // Told after any change of groups, their contents or the bar.
    void setChangedListener(std::function<void()> listener) { m_changed = std::move(listener); }
    void notifyChanged();

    void clear(); // tests

private:
    MenuGroups() = default;
    std::vector<menu::MenuGroup> m_groups;
    std::vector<BarEntry> m_bar;
    std::function<void()> m_changed;
};

} // namespace cadhost
