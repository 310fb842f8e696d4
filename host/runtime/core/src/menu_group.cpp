// Menu source files: reading into menu groups and writing them back.
#include "cadhost/menu_group.h"

#include "text_util.h"

#include <algorithm>
#include <map>
#include <optional>

namespace cadhost::menu {

namespace {

// Deeper submenus than this are kept as plain items: nobody can use them, and
// the writer and the menu bar recurse per level.
constexpr std::size_t kMaxSubmenuDepth = 32;

std::string_view trimLeft(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    return s;
}

std::string_view trimmed(std::string_view s) {
    s = trimLeft(s);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

bool startsNoCase(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && equalsNoCase(s.substr(0, prefix.size()), prefix);
}

// Text inside brackets or quotes cannot hold its own closing character or a line end.
std::string clean(std::string_view s, bool quoted) {
    std::string out;
    for (char c : s) {
        if (c == ']')
            c = ')';
        else if (quoted && c == '"')
            c = '\'';
        else if (static_cast<unsigned char>(c) < 32)
            c = ' ';
        out += c;
    }
    return out;
}

// The name of a "**" subsection (an alias or a toolbar). Leading stars and
// blanks are not part of it: written back, they would make a section header.
std::string subsectionName(std::string_view raw) {
    const std::string cleaned = clean(raw, false);
    std::string_view name = trimmed(cleaned);
    while (!name.empty() && (name.front() == '*' || name.front() == ' ' || name.front() == '\t'))
        name.remove_prefix(1);
    return std::string(name);
}

struct ItemLine {
    std::string tag;
    std::string label;
    std::string macro;
};

std::optional<ItemLine> splitItemLine(std::string_view line) {
    const std::size_t open = line.find('[');
    if (open == std::string_view::npos)
        return std::nullopt;
    const std::size_t close = line.find(']', open + 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    return ItemLine{std::string(trimmed(line.substr(0, open))),
                    std::string(line.substr(open + 1, close - open - 1)),
                    macroFromText(line.substr(close + 1))};
}

// The arguments of _Toolbar(...), _Button(...): split at commas outside quotes.
std::vector<std::string> callArguments(std::string_view label, std::string_view function) {
    std::vector<std::string> args;
    std::string_view rest = label.substr(function.size());
    if (!rest.empty() && rest.back() == ')')
        rest.remove_suffix(1);
    std::string current;
    bool inQuotes = false;
    for (char c : rest) {
        if (c == '"') {
            inQuotes = !inQuotes;
        } else if (c == ',' && !inQuotes) {
            args.emplace_back(trimmed(current));
            current.clear();
        } else {
            current += c;
        }
    }
    args.emplace_back(trimmed(current));
    return args;
}

class MnsReader {
public:
    MnsReadResult read(std::string_view text) {
        std::size_t lineNo = 0;
        while (!text.empty()) {
            const std::size_t end = text.find('\n');
            std::string_view line = text.substr(0, end);
            text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
            if (!line.empty() && line.back() == '\r')
                line.remove_suffix(1);
            ++lineNo;
            readLine(line, lineNo);
        }
        applyHelp();
        return std::move(m_result);
    }

private:
    enum class State { None, Pop, Toolbars, Help, Other };

    void problem(std::size_t lineNo, const std::string& what) {
        m_result.problems.push_back("line " + std::to_string(lineNo) + ": " + what);
    }

    void readLine(std::string_view raw, std::size_t lineNo) {
        const std::string_view line = trimLeft(raw);
        if (line.starts_with("***")) {
            startSection(trimmed(line));
            return;
        }
        if (m_state == State::Other) {
            // Comments are not kept: the writer adds its own around the file.
            if (!trimmed(line).empty() && !line.starts_with("//"))
                m_result.group.others.back().lines.emplace_back(raw);
            return;
        }
        if (trimmed(line).empty() || line.starts_with("//"))
            return;
        if (line.starts_with("**")) {
            if (m_state == State::Pop) {
                m_result.group.pops.back().aliases.emplace_back(subsectionName(line.substr(2)));
            } else if (m_state == State::Toolbars) {
                Toolbar toolbar;
                toolbar.section = subsectionName(line.substr(2));
                m_result.group.toolbars.push_back(std::move(toolbar));
            } else {
                problem(lineNo, "a subsection outside pop menus and toolbars");
            }
            return;
        }
        std::optional<ItemLine> item = splitItemLine(line);
        if (!item) {
            problem(lineNo, "no [label] on the line");
            return;
        }
        switch (m_state) {
        case State::Pop:
            popItem(std::move(*item));
            break;
        case State::Toolbars:
            toolbarItem(std::move(*item), lineNo);
            break;
        case State::Help:
            if (!item->tag.empty())
                m_help.emplace(item->tag, item->label); // the first text of a tag counts
            break;
        default:
            problem(lineNo, "an item outside any section");
            break;
        }
    }

    void startSection(std::string_view header) {
        const std::string_view name = header.substr(3);
        if (startsNoCase(name, "MENUGROUP=")) {
            m_result.group.name = std::string(trimmed(clean(name.substr(10), false)));
            m_state = State::None;
        } else if (startsNoCase(name, "POP")) {
            PopMenu pop;
            pop.section = std::string(trimmed(clean(name, false)));
            m_result.group.pops.push_back(std::move(pop));
            m_levels.assign(1, &m_result.group.pops.back().items);
            m_titleRead = false;
            m_state = State::Pop;
        } else if (equalsNoCase(name, "TOOLBARS")) {
            m_state = State::Toolbars;
        } else if (equalsNoCase(name, "HELPSTRINGS")) {
            m_state = State::Help;
        } else {
            m_result.group.others.push_back(RawSection{std::string(header), {}});
            m_state = State::Other;
        }
    }

    static std::string_view stripMarks(std::string_view label) {
        while (label.starts_with("->") || label.starts_with("<-"))
            label.remove_prefix(2);
        return label;
    }

    void popItem(ItemLine line) {
        PopMenu& pop = m_result.group.pops.back();
        if (!m_titleRead) {
            pop.tag = std::move(line.tag);
            pop.name = std::move(line.label);
            m_titleRead = true;
            return;
        }
        MenuItem item;
        item.tag = std::move(line.tag);
        std::string_view label = line.label;
        if (label.starts_with("->") && m_levels.size() < kMaxSubmenuDepth) {
            item.kind = MenuItem::Kind::Submenu;
            item.label = std::string(stripMarks(label));
            m_levels.back()->push_back(std::move(item));
            m_levels.push_back(&m_levels.back()->back().children);
            return;
        }
        std::size_t closes = 0;
        while (label.starts_with("<-")) {
            label.remove_prefix(2);
            ++closes;
        }
        label = stripMarks(label);
        item.endsLevel = closes > 0;
        if (label == "--") {
            item.kind = MenuItem::Kind::Separator;
        } else {
            item.label = std::string(label);
            item.macro = std::move(line.macro);
        }
        m_levels.back()->push_back(std::move(item));
        for (; closes > 0 && m_levels.size() > 1; --closes)
            m_levels.pop_back();
    }

    void toolbarItem(ItemLine line, std::size_t lineNo) {
        if (m_result.group.toolbars.empty()) {
            problem(lineNo, "a toolbar item before any **toolbar line");
            return;
        }
        Toolbar& toolbar = m_result.group.toolbars.back();
        const std::string_view label = trimmed(line.label);
        if (startsNoCase(label, "_Toolbar(")) {
            const auto args = callArguments(label, "_Toolbar(");
            toolbar.tag = std::move(line.tag);
            toolbar.name = args[0];
            toolbar.visible = args.size() < 3 || !equalsNoCase(args[2], "_Hide");
            return;
        }
        ToolbarButton button;
        button.tag = std::move(line.tag);
        if (label == "--") {
            button.separator = true;
        } else if (startsNoCase(label, "_Button(") || startsNoCase(label, "_Flyout(")) {
            button.flyout = startsNoCase(label, "_Flyout(");
            const auto args = callArguments(label, "_Button(");
            button.name = args[0];
            button.smallBitmap = args.size() > 1 ? args[1] : "";
            button.largeBitmap = args.size() > 2 ? args[2] : "";
            button.macro = std::move(line.macro);
        } else {
            problem(lineNo, "not a toolbar, button, flyout or separator");
            return;
        }
        toolbar.buttons.push_back(std::move(button));
    }

    void applyHelp() {
        for (Toolbar& toolbar : m_result.group.toolbars)
            for (ToolbarButton& button : toolbar.buttons)
                if (auto it = m_help.find(button.tag); !button.tag.empty() && it != m_help.end())
                    button.help = it->second;
    }

    MnsReadResult m_result;
    State m_state = State::None;
    std::vector<std::vector<MenuItem>*> m_levels;
    bool m_titleRead = false;
    std::map<std::string, std::string> m_help;
};

void writeLevel(std::string& out, const std::vector<MenuItem>& items, std::size_t closing) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        const MenuItem& item = items[i];
        const bool last = i + 1 == items.size();
        const std::string head = (item.tag.empty() ? std::string("\t\t\t\t") : item.tag + " ");
        if (item.kind == MenuItem::Kind::Submenu && !item.children.empty()) {
            out += head + "[->" + clean(item.label, false) + "]\r\n";
            writeLevel(out, item.children, 1 + (last ? closing : 0));
            continue;
        }
        std::string label;
        for (std::size_t k = 0; last && k < closing; ++k)
            label += "<-";
        // An empty submenu has no way to be written: it becomes a plain entry.
        label += item.kind == MenuItem::Kind::Separator ? "--" : clean(item.label, false);
        out += head + "[" + label + "]";
        if (item.kind == MenuItem::Kind::Command)
            out += macroToText(item.macro);
        out += "\r\n";
    }
}

} // namespace

std::string macroFromText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '^' && i + 1 < text.size()) {
            const char n = text[i + 1];
            if (n >= '@' && n <= '_') {
                out += char(n - '@');
                ++i;
                continue;
            }
            if (n >= 'a' && n <= 'z') {
                out += char(n - 'a' + 1);
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

std::string macroToText(std::string_view macro) {
    std::string out;
    for (char c : macro) {
        if (static_cast<unsigned char>(c) < 32) {
            out += '^';
            out += char(c + '@');
        } else {
            out += c;
        }
    }
    return out;
}

MnsReadResult readMns(std::string_view text) {
    return MnsReader().read(text);
}

std::string writeMns(const MenuGroup& group) {
    std::string out = "//\r\n//      AutoCAD menu file - " + clean(group.file, false) +
                      "\r\n//\r\n\r\n***MENUGROUP=" + clean(group.name, false) + "\r\n";
    for (const PopMenu& pop : group.pops) {
        out += "\r\n***" + clean(pop.section, false) + "\r\n";
        for (const std::string& alias : pop.aliases)
            out += "**" + subsectionName(alias) + "\r\n";
        out += (pop.tag.empty() ? std::string("\t\t\t\t") : pop.tag + " ") + "[" +
               clean(pop.name, false) + "]\r\n";
        writeLevel(out, pop.items, 0);
    }
    std::vector<std::pair<std::string, std::string>> help; // tag, text; first of a tag only
    if (!group.toolbars.empty()) {
        out += "\r\n***TOOLBARS\r\n";
        int generated = 0;
        for (const Toolbar& toolbar : group.toolbars) {
            std::string section = subsectionName(toolbar.section);
            if (section.empty())
                section = "TB_" + subsectionName(toolbar.name);
            out += "**" + section + "\r\n";
            out += (toolbar.tag.empty() ? std::string("") : toolbar.tag + " ") + "[_Toolbar(\"" +
                   clean(toolbar.name, true) + "\", _Floating, " +
                   (toolbar.visible ? "_Show" : "_Hide") + ", 200, 200, 1)]\r\n";
            for (const ToolbarButton& button : toolbar.buttons) {
                std::string tag = button.tag;
                if (tag.empty() && !button.help.empty())
                    tag = "ID_TbHelp" + std::to_string(++generated);
                if (!button.help.empty() &&
                    std::none_of(help.begin(), help.end(),
                                 [&](const auto& h) { return h.first == tag; }))
                    help.emplace_back(tag, button.help);
                const std::string head = tag.empty() ? std::string("\t") : tag + " ";
                if (button.separator) {
                    out += head + "[--]\r\n";
                    continue;
                }
                out += head + "[" + (button.flyout ? "_Flyout(\"" : "_Button(\"") +
                       clean(button.name, true) + "\", \"" + clean(button.smallBitmap, true) +
                       "\", \"" + clean(button.largeBitmap, true) + "\")]" +
                       macroToText(button.macro) + "\r\n";
            }
        }
    }
    if (!help.empty()) {
        out += "\r\n***HELPSTRINGS\r\n";
        for (const auto& [tag, text] : help)
            out += tag + " [" + clean(text, false) + "]\r\n";
    }
    for (const RawSection& section : group.others) {
        out += "\r\n" + section.header + "\r\n";
        for (const std::string& line : section.lines)
            out += line + "\r\n";
    }
    out +=
        "\r\n//\r\n//      End of AutoCAD menu file - " + clean(group.file, false) + "\r\n//\r\n";
    return out;
}

} // namespace cadhost::menu
