// The dialog template parser.
#include "cadhost/dialog_template.h"

#include "cadhost/resource_text.h"
#include "text_util.h"

#include <charconv>
#include <set>

namespace cadhost {

namespace {

// Dialog units are 16-bit on the platform; anything beyond is a typo.
constexpr long long kMaxUnits = 32767;

struct Token {
    bool quoted = false;
    std::string text;
};

// Words, numbers and quoted texts; commas and blanks separate them. False
// (with the reason) for an unterminated quote.
bool tokenize(std::string_view line, std::vector<Token>& tokens, std::string& why) {
    std::size_t i = 0;
    while (i < line.size()) {
        const char c = line[i];
        if (c == ' ' || c == '\t' || c == ',' || c == '\r') {
            ++i;
            continue;
        }
        if (c == '#' || line.substr(i, 2) == "//")
            break;
        if (c == '"') {
            std::string raw;
            std::size_t j = i + 1;
            bool closed = false;
            for (; j < line.size(); ++j) {
                if (line[j] == '\\' && j + 1 < line.size()) {
                    raw += line[j];
                    raw += line[++j];
                } else if (line[j] == '"') {
                    if (j + 1 < line.size() && line[j + 1] == '"') {
                        raw += "\\\"";
                        ++j;
                    } else {
                        closed = true;
                        break;
                    }
                } else {
                    raw += line[j];
                }
            }
            if (!closed) {
                why = "a text has no closing quote";
                return false;
            }
            tokens.push_back({true, unescapeResourceText(raw)});
            i = j + 1;
            continue;
        }
        std::size_t j = i;
        while (j < line.size() && line[j] != ' ' && line[j] != '\t' && line[j] != ',' &&
               line[j] != '"' && line[j] != '\r')
            ++j;
        tokens.push_back({false, std::string(line.substr(i, j - i))});
        i = j;
    }
    return true;
}

class LineParser {
public:
    LineParser(const std::vector<Token>& tokens) : m_tokens(tokens) {}

    bool text(std::string& out, const char* what) {
        if (m_pos >= m_tokens.size() || !m_tokens[m_pos].quoted)
            return fail(std::string("expected ") + what + " in quotes");
        out = m_tokens[m_pos++].text;
        return true;
    }
    bool number(int& out, const char* what, long long min, long long max) {
        if (m_pos >= m_tokens.size() || m_tokens[m_pos].quoted)
            return fail(std::string("expected ") + what);
        const std::string& t = m_tokens[m_pos].text;
        long long v = 0;
        if (!parseInteger(t, v))
            return fail(std::string("expected ") + what + ", found \"" + t + "\"");
        if (v < min || v > max)
            return fail(std::string(what) + " " + t + " is out of range");
        out = static_cast<int>(v);
        ++m_pos;
        return true;
    }
    bool rect(DialogControl& c) {
        return number(c.x, "x", -kMaxUnits, kMaxUnits) && number(c.y, "y", -kMaxUnits, kMaxUnits) &&
               number(c.width, "width", 0, kMaxUnits) && number(c.height, "height", 0, kMaxUnits);
    }
    bool id(DialogControl& c) { return number(c.id, "control id", -1, 65535); }
    bool atEnd() const { return m_pos >= m_tokens.size(); }
    // The next word, upper-cased; empty when at the end or at a quoted text.
    std::string word() {
        if (atEnd() || m_tokens[m_pos].quoted)
            return {};
        return upperCase(m_tokens[m_pos++].text);
    }
    const std::string& lastRaw() const { return m_tokens[m_pos - 1].text; }
    bool fail(std::string why) {
        m_why = std::move(why);
        return false;
    }
    bool extra() {
        if (atEnd())
            return true;
        return fail("unexpected \"" + m_tokens[m_pos].text + "\"");
    }
    const std::string& why() const { return m_why; }

private:
    const std::vector<Token>& m_tokens;
    std::size_t m_pos = 1; // after the keyword
    std::string m_why;
};

bool editOptions(LineParser& p, DialogControl& c) {
    while (!p.atEnd()) {
        if (p.word() != "CLASS")
            return p.fail("unexpected \"" + p.lastRaw() + "\"; EDITTEXT takes only class NAME");
        const std::string name = p.word();
        if (name == "ACUINUMERICEDIT")
            c.editClass = DialogControl::EditClass::Numeric;
        else if (name == "ACUIANGLEEDIT")
            c.editClass = DialogControl::EditClass::Angle;
        else
            return p.fail(name.empty() ? "class needs a name"
                                       : "unknown edit class \"" + p.lastRaw() + "\"");
    }
    return true;
}

bool comboOptions(LineParser& p, DialogControl& c) {
    while (!p.atEnd()) {
        const std::string w = p.word();
        if (w == "DROPDOWN") {
            c.editable = true;
        } else if (w == "DROPDOWNLIST") {
            c.editable = false;
        } else if (w == "SORT") {
            c.sorted = true;
        } else if (w == "CLASS") {
            const std::string name = p.word();
            if (name == "ACUICOMBOBOX")
                c.comboClass = DialogControl::ComboClass::Plain;
            else if (name == "ACUILINEWEIGHTCOMBOBOX" || name == "ACUILINEWEIGHTCOMBOBOXEX")
                c.comboClass = DialogControl::ComboClass::LineWeight;
            else
                return p.fail(name.empty() ? "class needs a name"
                                           : "unknown combo box class \"" + p.lastRaw() + "\"");
        } else {
            return p.fail(w.empty() ? "unexpected text" : "unexpected \"" + p.lastRaw() + "\"");
        }
    }
    return true;
}

// OWNERDRAW on push buttons (the dialog paints them), ETCHEDHORZ on labels
// (an etched separator line).
bool styleOptions(LineParser& p, DialogControl& c) {
    while (!p.atEnd()) {
        const std::string w = p.word();
        if (w == "OWNERDRAW" && c.kind == DialogControl::Kind::PushButton)
            c.ownerDraw = true;
        else if (w == "ETCHEDHORZ" && c.kind == DialogControl::Kind::Label)
            c.etched = true;
        else
            return p.fail(w.empty() ? "unexpected text" : "unexpected \"" + p.lastRaw() + "\"");
    }
    return true;
}

} // namespace

const DialogControl* DialogTemplate::control(int id) const {
    if (id == -1)
        return nullptr;
    for (const DialogControl& c : controls)
        if (c.id == id)
            return &c;
    return nullptr;
}

std::optional<DialogTemplate> DialogTemplate::parse(std::string_view text, std::string* error) {
    DialogTemplate result;
    bool haveHeader = false;
    std::set<int> ids;
    std::size_t lineNo = 0;
    auto failAt = [&](const std::string& why) -> std::optional<DialogTemplate> {
        if (error)
            *error = "line " + std::to_string(lineNo) + ": " + why;
        return std::nullopt;
    };

    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos)
            end = text.size();
        const std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;

        std::vector<Token> tokens;
        std::string why;
        if (!tokenize(line, tokens, why))
            return failAt(why);
        if (tokens.empty())
            continue;
        if (tokens[0].quoted)
            return failAt("a statement starts with a keyword, not a text");
        const std::string keyword = upperCase(tokens[0].text);
        LineParser p(tokens);

        if (keyword == "DIALOG") {
            if (haveHeader)
                return failAt("a second DIALOG statement");
            if (!p.text(result.title, "the title") ||
                !p.number(result.width, "width", 1, kMaxUnits) ||
                !p.number(result.height, "height", 1, kMaxUnits) || !p.extra())
                return failAt(p.why());
            haveHeader = true;
            continue;
        }
        if (!haveHeader)
            return failAt("the template must start with DIALOG \"Title\" width height");
        if (keyword == "FONT") {
            if (!p.number(result.fontPointSize, "point size", 1, 144) ||
                !p.text(result.fontName, "the font name") || !p.extra())
                return failAt(p.why());
            if (result.fontName.empty())
                return failAt("the font name is empty");
            continue;
        }

        DialogControl c;
        bool ok = false;
        if (keyword == "LTEXT" || keyword == "GROUPBOX" || keyword == "CHECKBOX" ||
            keyword == "PUSHBUTTON" || keyword == "DEFPUSHBUTTON") {
            c.kind = keyword == "LTEXT"      ? DialogControl::Kind::Label
                     : keyword == "GROUPBOX" ? DialogControl::Kind::GroupBox
                     : keyword == "CHECKBOX" ? DialogControl::Kind::CheckBox
                                             : DialogControl::Kind::PushButton;
            c.isDefault = keyword == "DEFPUSHBUTTON";
            ok = p.text(c.text, "the control's text") && p.id(c) && p.rect(c) && styleOptions(p, c);
        } else if (keyword == "EDITTEXT") {
            c.kind = DialogControl::Kind::Edit;
            ok = p.id(c) && p.rect(c) && editOptions(p, c);
        } else if (keyword == "COMBOBOX") {
            c.kind = DialogControl::Kind::ComboBox;
            ok = p.id(c) && p.rect(c) && comboOptions(p, c);
        } else if (keyword == "LISTBOX") {
            c.kind = DialogControl::Kind::ListBox;
            ok = p.id(c) && p.rect(c) && p.extra();
        } else {
            return failAt("unknown statement \"" + tokens[0].text + "\"");
        }
        if (!ok)
            return failAt(keyword + ": " + p.why());
        if (c.id != -1 && !ids.insert(c.id).second)
            return failAt("control id " + std::to_string(c.id) + " is used twice");
        result.controls.push_back(std::move(c));
    }
    if (!haveHeader) {
        if (error)
            *error = "the template has no DIALOG statement";
        return std::nullopt;
    }
    return result;
}

} // namespace cadhost
