// Text forms of the string table, toolbar and menu resources.
#include "cadhost/resource_text.h"

#include "text_util.h"

#include <charconv>

namespace cadhost {

namespace {

// Splits text into lines without their line ends ("\n", "\r\n").
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

bool parseUnsigned(std::string_view text, unsigned& value) {
    if (text.empty())
        return false;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

std::string lineError(std::size_t lineNo, const std::string& what) {
    return "line " + std::to_string(lineNo) + ": " + what;
}

void setError(std::string* error, std::string text) {
    if (error)
        *error = std::move(text);
}

// Reads a quoted string at the start of text; "" inside stands for one quote
// as in resource scripts. Leaves text after the closing quote.
bool readQuoted(std::string_view& text, std::string& out) {
    if (text.empty() || text.front() != '"')
        return false;
    std::string raw;
    std::size_t i = 1;
    for (; i < text.size(); ++i) {
        char c = text[i];
        if (c == '\\' && i + 1 < text.size()) {
            raw += c;
            raw += text[++i];
        } else if (c == '"') {
            if (i + 1 < text.size() && text[i + 1] == '"') {
                raw += '"';
                ++i;
            } else {
                break;
            }
        } else {
            raw += c;
        }
    }
    if (i >= text.size())
        return false; // no closing quote
    out = unescapeResourceText(raw);
    text.remove_prefix(i + 1);
    return true;
}

std::string_view stripComment(std::string_view line) {
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] == '"')
            quoted = !quoted;
        else if (!quoted && (line[i] == '#' || line.substr(i, 2) == "//"))
            return line.substr(0, i);
    }
    return line;
}

std::string_view trimView(std::string_view s) {
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
        s.remove_suffix(1);
    return s;
}

// The first word (up to blank, tab or comma) and the rest after it.
std::string_view firstWord(std::string_view& rest) {
    rest = trimView(rest);
    std::size_t end = rest.find_first_of(" \t,");
    std::string_view word = rest.substr(0, end);
    rest = end == std::string_view::npos ? std::string_view() : trimView(rest.substr(end));
    return word;
}

} // namespace

std::string unescapeResourceText(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        char next = text[i + 1];
        switch (next) {
        case 'n':
            out += '\n';
            break;
        case 't':
            out += '\t';
            break;
        case '\\':
            out += '\\';
            break;
        case '"':
            out += '"';
            break;
        default:
            out += c;
            out += next;
            break;
        }
        ++i;
    }
    return out;
}

std::map<unsigned, std::string> parseStringTable(std::string_view text) {
    std::map<unsigned, std::string> table;
    for (std::string_view line : splitLines(text)) {
        std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos)
            continue;
        unsigned id = 0;
        if (!parseUnsigned(trimView(line.substr(0, tab)), id))
            continue;
        table[id] = unescapeResourceText(line.substr(tab + 1));
    }
    return table;
}

std::optional<std::vector<unsigned>> parseToolbarResource(std::string_view text,
                                                          std::string* error) {
    std::vector<unsigned> ids;
    std::size_t lineNo = 0;
    for (std::string_view line : splitLines(text)) {
        ++lineNo;
        std::string_view content = line.substr(0, line.find('#'));
        content = trimView(content);
        if (content.empty())
            continue;
        unsigned id = 0;
        if (!parseUnsigned(content, id)) {
            setError(error, lineError(lineNo, "\"" + std::string(content) + "\" is no command id"));
            return std::nullopt;
        }
        ids.push_back(id);
    }
    return ids;
}

std::optional<std::vector<MenuResourceItem>> parseMenuResource(std::string_view text,
                                                               std::string* error) {
    std::vector<MenuResourceItem> top;
    // The open popups, innermost last; items go to the innermost one.
    std::vector<MenuResourceItem> open;
    auto addItem = [&](MenuResourceItem item) {
        (open.empty() ? top : open.back().children).push_back(std::move(item));
    };
    std::size_t lineNo = 0;
    int plainBlocks = 0;
    bool lastWasPopup = false;
    for (std::string_view line : splitLines(text)) {
        ++lineNo;
        std::string_view rest = trimView(stripComment(line));
        if (rest.empty())
            continue;
        std::string_view word = firstWord(rest);
        const std::string keyword = upperCase(word);
        // "<id> MENU" or "MENU" heads the resource.
        if (upperCase(rest) == "MENU" || (keyword == "MENU" && rest.empty()))
            continue;
        const bool afterPopup = lastWasPopup;
        lastWasPopup = false;
        if (keyword == "BEGIN" || keyword == "{") {
            // A POPUP's own BEGIN changes nothing; any other opens a plain
            // block (the menu's outer one in a resource script).
            if (!afterPopup)
                ++plainBlocks;
        } else if (keyword == "END" || keyword == "}") {
            if (!open.empty()) {
                MenuResourceItem done = std::move(open.back());
                open.pop_back();
                addItem(std::move(done));
            } else if (plainBlocks > 0) {
                --plainBlocks;
            } else {
                setError(error, lineError(lineNo, "END without an open POPUP"));
                return std::nullopt;
            }
        } else if (keyword == "POPUP") {
            lastWasPopup = true;
            MenuResourceItem popup;
            popup.kind = MenuResourceItem::Kind::Popup;
            if (!readQuoted(rest, popup.text)) {
                setError(error, lineError(lineNo, "POPUP needs a quoted text"));
                return std::nullopt;
            }
            open.push_back(std::move(popup));
        } else if (keyword == "MENUITEM") {
            MenuResourceItem item;
            if (upperCase(trimView(rest)) == "SEPARATOR") {
                item.kind = MenuResourceItem::Kind::Separator;
                addItem(std::move(item));
                continue;
            }
            if (!readQuoted(rest, item.text)) {
                setError(error, lineError(lineNo, "MENUITEM needs a quoted text or SEPARATOR"));
                return std::nullopt;
            }
            rest = trimView(rest);
            if (rest.empty() || rest.front() != ',') {
                setError(error, lineError(lineNo, "MENUITEM needs \", id\" after its text"));
                return std::nullopt;
            }
            rest.remove_prefix(1);
            // Flags after the id (", GRAYED") are accepted and ignored.
            std::string_view idText = trimView(rest.substr(0, rest.find(',')));
            if (!parseUnsigned(idText, item.id)) {
                setError(error,
                         lineError(lineNo, "\"" + std::string(idText) + "\" is no command id"));
                return std::nullopt;
            }
            addItem(std::move(item));
        } else {
            setError(error, lineError(lineNo, "unknown statement \"" + std::string(word) + "\""));
            return std::nullopt;
        }
    }
    if (!open.empty()) {
        setError(error, "POPUP \"" + open.back().text + "\" has no END");
        return std::nullopt;
    }
    return top;
}

} // namespace cadhost
