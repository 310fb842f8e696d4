// Loaded menu groups, the menu bar, and menucmd.
#include "cadhost/menu_groups.h"

#include "aced.h"
#include "cadhost/lisp.h"
#include "text_util.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace cadhost {

namespace fs = std::filesystem;

MenuGroups& MenuGroups::instance() {
    static MenuGroups groups;
    return groups;
}

MenuGroups::LoadResult MenuGroups::load(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return {false, "Cannot open the menu file \"" + path + "\"."};
    std::ostringstream text;
    text << in.rdbuf();
    menu::MnsReadResult read = menu::readMns(text.str());
    if (!read.ok())
        return {false, "\"" + path + "\" is not a menu file: it names no menu group."};
    if (isLoaded(read.group.name))
        return {false, "Menu group \"" + read.group.name + "\" is already loaded."};
    read.group.file = path;
    m_groups.push_back(std::move(read.group));
    notifyChanged();

    fs::path lisp = fs::path(path).replace_extension(".mnl");
    std::error_code ec;
    if (fs::exists(lisp, ec)) {
        auto result = lisp::Interpreter::instance().loadFile(lisp.string());
        if (!result.ok)
            return {true, "; error: " + result.text};
    }
    return {true, ""};
}

bool MenuGroups::unload(const std::string& name) {
    auto it = std::find_if(m_groups.begin(), m_groups.end(),
                           [&](const menu::MenuGroup& g) { return equalsNoCase(g.name, name); });
    if (it == m_groups.end())
        return false;
    std::erase_if(m_bar, [&](const BarEntry& e) { return equalsNoCase(e.group, it->name); });
    m_groups.erase(it);
    notifyChanged();
    return true;
}

bool MenuGroups::save(const menu::MenuGroup& group) {
    if (group.file.empty())
        return false;
    const std::string text = menu::writeMns(group);
    const fs::path target(group.file);
    fs::path temp = target;
    temp += ".saving";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(text.data(), std::streamsize(text.size()));
        out.flush();
        if (!out) {
            std::error_code ec;
            fs::remove(temp, ec);
            return false;
        }
    }
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp, ec);
        return false;
    }
    return true;
}

bool MenuGroups::isLoaded(const std::string& name) const {
    return std::any_of(m_groups.begin(), m_groups.end(),
                       [&](const menu::MenuGroup& g) { return equalsNoCase(g.name, name); });
}

menu::MenuGroup* MenuGroups::find(const std::string& name) {
    for (menu::MenuGroup& g : m_groups)
        if (equalsNoCase(g.name, name))
            return &g;
    return nullptr;
}

menu::MenuGroup* MenuGroups::at(std::size_t index) {
    return index < m_groups.size() ? &m_groups[index] : nullptr;
}

void MenuGroups::setHostMenus(const std::vector<std::string>& titles) {
    std::erase_if(m_bar, [](const BarEntry& e) { return e.group.empty(); });
    std::vector<BarEntry> own;
    for (const std::string& t : titles)
        own.push_back(BarEntry{"", t, ""});
    m_bar.insert(m_bar.begin(), own.begin(), own.end());
    notifyChanged();
}

const menu::PopMenu* MenuGroups::popOf(const BarEntry& entry) {
    if (entry.group.empty())
        return nullptr;
    menu::MenuGroup* group = find(entry.group);
    if (!group)
        return nullptr;
    for (const menu::PopMenu& pop : group->pops)
        if (equalsNoCase(pop.section, entry.section))
            return &pop;
    return nullptr;
}

namespace {

// "P12" -> 12; nothing when the text is not P and a number in 1..999.
std::optional<std::size_t> position(std::string_view text) {
    if (text.size() < 2 || (text[0] != 'P' && text[0] != 'p'))
        return std::nullopt;
    long long n = 0;
    if (!parseInteger(text.substr(1), n) || n < 1 || n > 999 || text[1] == '+' || text[1] == '-')
        return std::nullopt;
    return std::size_t(n);
}

} // namespace

std::optional<std::string> MenuGroups::menucmd(const std::string& request) {
    const std::size_t eq = request.find('=');
    if (eq == std::string::npos)
        return std::nullopt;
    const std::string target = request.substr(0, eq);
    const std::string action = request.substr(eq + 1);
    const std::size_t dot = target.find('.');
    const auto pos = position(std::string_view(target).substr(0, dot));
    if (!pos)
        return std::nullopt;

    if (dot != std::string::npos) {
        // Item query: the item exists at that position.
        long long item = 0;
        if (!parseInteger(target.substr(dot + 1), item) || item < 1 || *pos > m_bar.size())
            return std::nullopt;
        const BarEntry& entry = m_bar[*pos - 1];
        if (entry.group.empty())
            return std::string(); // the host's own menus always have items
        const menu::PopMenu* pop = popOf(entry);
        if (!pop || std::size_t(item) > pop->items.size())
            return std::nullopt;
        return action == "?" ? std::optional<std::string>(std::string()) : std::nullopt;
    }
    if (action == "-") {
        if (*pos > m_bar.size())
            return std::nullopt;
        m_bar.erase(m_bar.begin() + std::ptrdiff_t(*pos - 1));
        notifyChanged();
        return std::string();
    }
    if (action.size() > 1 && action[0] == '+') {
        const std::string target = action.substr(1);
        const std::size_t sep = target.find('.');
        if (sep == std::string::npos)
            return std::nullopt;
        menu::MenuGroup* group = find(target.substr(0, sep));
        if (!group)
            return std::nullopt;
        const std::string name = target.substr(sep + 1);
        const menu::PopMenu* pop = nullptr;
        for (const menu::PopMenu& p : group->pops) {
            const bool alias =
                std::any_of(p.aliases.begin(), p.aliases.end(),
                            [&](const std::string& a) { return equalsNoCase(a, name); });
            if (equalsNoCase(p.section, name) || alias) {
                pop = &p;
                break;
            }
        }
        if (!pop)
            return std::nullopt;
        // A pop menu is on the bar once.
        std::erase_if(m_bar, [&](const BarEntry& e) {
            return equalsNoCase(e.group, group->name) && equalsNoCase(e.section, pop->section);
        });
        const std::size_t at = std::min(*pos - 1, m_bar.size());
        m_bar.insert(m_bar.begin() + std::ptrdiff_t(at),
                     BarEntry{group->name, pop->name, pop->section});
        notifyChanged();
        return std::string();
    }
    return std::nullopt;
}

void MenuGroups::notifyChanged() {
    if (m_changed)
        m_changed();
}

void MenuGroups::clear() {
    m_groups.clear();
    m_bar.clear();
    m_changed = nullptr;
}

} // namespace cadhost

bool acedIsMenuGroupLoaded(const char* groupName) {
    return groupName && cadhost::MenuGroups::instance().isLoaded(groupName);
}
