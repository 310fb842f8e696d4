// The command-line log and acutPrintf.
#include "cadhost/command_log.h"

#include "acutads.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace cadhost {

CommandLineLog& CommandLineLog::instance() {
    static CommandLineLog log;
    return log;
}

void CommandLineLog::print(std::string_view text, LogKind kind) {
    if (text.empty())
        return;
    m_history.append(text);
    if (m_history.size() > m_limit) {
        std::size_t drop = m_history.size() - m_limit;
        m_history.erase(0, drop);
        m_dropped += drop;
    }
    m_atPrompt = kind == LogKind::Prompt;
    if (m_atPrompt)
        m_lastPrompt.assign(text);
    // A copy, so that a listener may remove itself (or another) meanwhile.
    std::vector<LogListener*> listeners = m_listeners;
    for (LogListener* l : listeners)
        if (std::find(m_listeners.begin(), m_listeners.end(), l) != m_listeners.end())
            l->logText(text, kind);
}

int CommandLineLog::printf(const char* format, ...) {
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n <= 0) {
        va_end(args);
        return n < 0 ? 0 : n;
    }
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    std::vsnprintf(text.data(), text.size(), format, args);
    va_end(args);
    text.resize(static_cast<std::size_t>(n));
    print(text);
    return n;
}

void CommandLineLog::prompt(std::string_view text) {
    if (m_atPrompt && m_lastPrompt == text)
        return;
    print(text, LogKind::Prompt);
}

std::string CommandLineLog::historySince(std::size_t mark) const {
    if (mark <= m_dropped)
        return m_history;
    std::size_t offset = mark - m_dropped;
    return offset >= m_history.size() ? std::string() : m_history.substr(offset);
}

void CommandLineLog::setHistoryLimit(std::size_t chars) {
    m_limit = std::max<std::size_t>(chars, 1024);
}

void CommandLineLog::clear() {
    // Marks taken earlier stay meaningful: they now lie before the history.
    m_dropped += m_history.size();
    m_history.clear();
    m_lastPrompt.clear();
    m_atPrompt = false;
}

void CommandLineLog::addListener(LogListener* listener) {
    if (listener &&
        std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void CommandLineLog::removeListener(LogListener* listener) {
    std::erase(m_listeners, listener);
}

} // namespace cadhost

int acutPrintf(const char* format, ...) {
    if (!format)
        return RTERROR;
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    int n = std::vsnprintf(nullptr, 0, format, copy);
    va_end(copy);
    if (n > 0) {
        std::string text(static_cast<std::size_t>(n) + 1, '\0');
        std::vsnprintf(text.data(), text.size(), format, args);
        text.resize(static_cast<std::size_t>(n));
        cadhost::CommandLineLog::instance().print(text);
    }
    va_end(args);
    return RTNORM;
}
