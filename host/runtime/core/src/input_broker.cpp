// The input queue and how its raw text is cut into tokens.
#include "cadhost/input_broker.h"

#include <algorithm>

namespace cadhost {

namespace {
constexpr char kEsc = 27;
constexpr char kCtrlC = 3;
constexpr char kCtrlP = 16; // menu echo toggle in menu macros: no input of its own

bool isCancel(char c) {
    return c == kEsc || c == kCtrlC;
}
} // namespace

InputBroker& InputBroker::instance() {
    static InputBroker broker;
    return broker;
}

void InputBroker::submitText(std::string_view text, InputSource source, bool echo) {
    if (text.empty())
        return;
    Entry e;
    e.isText = true;
    e.text.assign(text);
    e.item.source = source;
    e.item.echo = echo;
    m_entries.push_back(std::move(e));
    notifyAvailable();
}

void InputBroker::submitLine(std::string_view line, InputSource source, bool echo) {
    std::string text(line);
    text.push_back('\n');
    submitText(text, source, echo);
}

void InputBroker::submitEnter(InputSource source) {
    Entry e;
    e.item.kind = InputItem::Kind::Enter;
    e.item.source = source;
    m_entries.push_back(std::move(e));
    notifyAvailable();
}

void InputBroker::submitEscape(InputSource source) {
    Entry e;
    e.item.kind = InputItem::Kind::Escape;
    e.item.source = source;
    m_entries.push_back(std::move(e));
    notifyAvailable();
}

void InputBroker::submitPoint(const AcGePoint3d& point) {
    Entry e;
    e.item.kind = InputItem::Kind::Point;
    e.item.point = point;
    e.item.source = InputSource::Pick;
    e.item.echo = false;
    m_entries.push_back(std::move(e));
    notifyAvailable();
}

void InputBroker::submitEntity(AcDbObjectId entity, const AcGePoint3d& pickPoint) {
    Entry e;
    e.item.kind = InputItem::Kind::Entity;
    e.item.entity = entity;
    e.item.point = pickPoint;
    e.item.source = InputSource::Pick;
    e.item.echo = false;
    m_entries.push_back(std::move(e));
    notifyAvailable();
}

std::optional<InputItem> InputBroker::take(const TokenRule& rule) {
    return scan(rule, true);
}

bool InputBroker::hasItem(const TokenRule& rule) const {
    return const_cast<InputBroker*>(this)->scan(rule, false).has_value();
}

// Cuts the next item. The consecutive text entries at the front are read as
// one stream; only when consume is set are the characters used removed.
std::optional<InputItem> InputBroker::scan(const TokenRule& rule, bool consume) {
    if (consume)
        while (!m_entries.empty() && m_entries.front().isText &&
               m_entries.front().pos >= m_entries.front().text.size())
            m_entries.pop_front();

    std::size_t first = 0;
    while (first < m_entries.size() && m_entries[first].isText &&
           m_entries[first].pos >= m_entries[first].text.size())
        ++first;
    if (first >= m_entries.size())
        return std::nullopt;

    if (!m_entries[first].isText) {
        InputItem item = m_entries[first].item;
        if (consume)
            m_entries.erase(m_entries.begin(), m_entries.begin() + first + 1);
        return item;
    }

    // The text stream: remaining text of consecutive text entries.
    std::string buf;
    std::vector<std::pair<std::size_t, std::size_t>> owners; // (stream offset, entry index)
    std::size_t last = first;
    for (; last < m_entries.size() && m_entries[last].isText; ++last) {
        owners.emplace_back(buf.size(), last);
        buf.append(m_entries[last].text, m_entries[last].pos);
    }
    const bool itemFollows = last < m_entries.size();
    auto entryAt = [&](std::size_t offset) -> const Entry& {
        std::size_t idx = owners.front().second;
        for (const auto& [start, entry] : owners)
            if (start <= offset)
                idx = entry;
        return m_entries[idx];
    };
    auto consumeChars = [&](std::size_t count) {
        if (!consume)
            return;
        std::size_t i = first;
        while (count > 0 && i < last) {
            Entry& e = m_entries[i];
            std::size_t avail = e.text.size() - e.pos;
            std::size_t n = std::min(avail, count);
            e.pos += n;
            count -= n;
            if (e.pos >= e.text.size())
                ++i;
        }
        while (!m_entries.empty() && m_entries.front().isText &&
               m_entries.front().pos >= m_entries.front().text.size())
            m_entries.pop_front();
    };

    std::size_t i = 0;
    while (i < buf.size() && buf[i] == kCtrlP)
        ++i;
    if (i >= buf.size()) {
        // Only menu-echo toggles: they vanish, and a following item is next.
        if (!itemFollows) {
            consumeChars(i);
            return std::nullopt;
        }
        InputItem next = m_entries[last].item;
        if (consume) {
            consumeChars(i);
            m_entries.pop_front();
        }
        return next;
    }

    const Entry& startEntry = entryAt(i);
    InputItem item;
    item.source = startEntry.item.source;
    item.echo = startEntry.item.echo;

    if (isCancel(buf[i])) {
        item.kind = InputItem::Kind::Escape;
        consumeChars(i + 1);
        return item;
    }

    auto isNewline = [](char c) { return c == '\n' || c == '\r'; };
    // Length of the line end at j (1, or 2 for "\r\n"), 0 when none.
    auto newlineLength = [&](std::size_t j) -> std::size_t {
        if (j >= buf.size() || !isNewline(buf[j]))
            return 0;
        return buf[j] == '\r' && j + 1 < buf.size() && buf[j + 1] == '\n' ? 2 : 1;
    };

    if (rule.lispExpressions && buf[i] == '(') {
        int depth = 0;
        bool inString = false;
        std::size_t j = i;
        for (; j < buf.size(); ++j) {
            char c = buf[j];
            if (inString) {
                if (c == '\\')
                    ++j;
                else if (c == '"')
                    inString = false;
            } else if (c == '"') {
                inString = true;
            } else if (c == ';') {
                while (j + 1 < buf.size() && !isNewline(buf[j + 1]))
                    ++j;
            } else if (c == '(') {
                ++depth;
            } else if (c == ')' && --depth == 0) {
                break;
            }
        }
        if (j >= buf.size()) {
            if (!itemFollows)
                return std::nullopt; // the expression is still being typed
            j = buf.size() - 1;
        }
        item.kind = InputItem::Kind::Text;
        item.text = buf.substr(i, j + 1 - i);
        std::size_t end = j + 1;
        // The blank or Enter that submitted the expression is part of it.
        if (end < buf.size() && (buf[end] == ' ' || buf[end] == '\t'))
            end += 1;
        else
            end += newlineLength(end);
        consumeChars(end);
        return item;
    }

    std::string token;
    std::size_t j = i;
    for (; j < buf.size(); ++j) {
        char c = buf[j];
        if (isCancel(c)) {
            // Esc drops what was typed so far and cancels.
            item.kind = InputItem::Kind::Escape;
            consumeChars(j + 1);
            return item;
        }
        if (c == kCtrlP)
            continue;
        if (isNewline(c) || (rule.blankEnds && (c == ' ' || c == '\t')))
            break;
        token.push_back(c);
    }
    std::size_t end;
    if (j < buf.size())
        end = j + (isNewline(buf[j]) ? newlineLength(j) : 1);
    else if (itemFollows)
        end = j; // a pick or Esc after unfinished text ends it
    else
        return std::nullopt;
    item.kind = token.empty() ? InputItem::Kind::Enter : InputItem::Kind::Text;
    item.text = std::move(token);
    consumeChars(end);
    return item;
}

std::string InputBroker::pendingText() const {
    std::string text;
    for (const Entry& e : m_entries)
        if (e.isText && e.pos < e.text.size())
            text.append(e.text, e.pos);
    return text;
}

void InputBroker::clear() {
    m_entries.clear();
}

bool InputBroker::waitForInput() {
    return m_waiter && m_waiter->wait();
}

void InputBroker::pushRequest(const InputRequest& request) {
    m_requests.push_back(request);
    notifyRequest();
}

void InputBroker::popRequest() {
    if (!m_requests.empty())
        m_requests.pop_back();
    notifyRequest();
}

const InputRequest* InputBroker::currentRequest() const {
    return m_requests.empty() ? nullptr : &m_requests.back();
}

void InputBroker::addListener(InputListener* listener) {
    if (listener &&
        std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void InputBroker::removeListener(InputListener* listener) {
    std::erase(m_listeners, listener);
}

void InputBroker::notifyAvailable() {
    std::vector<InputListener*> listeners = m_listeners;
    for (InputListener* l : listeners)
        if (std::find(m_listeners.begin(), m_listeners.end(), l) != m_listeners.end())
            l->inputAvailable();
}

void InputBroker::notifyRequest() {
    std::vector<InputListener*> listeners = m_listeners;
    const InputRequest* request = currentRequest();
    for (InputListener* l : listeners)
        if (std::find(m_listeners.begin(), m_listeners.end(), l) != m_listeners.end())
            l->requestChanged(request);
}

} // namespace cadhost
