#pragma once
// The command-line log: everything printed to the command line (acutPrintf,
// prompts, echoed input), kept as history and passed on to listeners (the
// command-line widget, the transcript).

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace cadhost {

enum class LogKind {
    Output, // acutPrintf and host messages
    Prompt, // a prompt waiting for input ("Command: ", "Specify insertion point: ")
    Echo,   // input taken at a prompt, as the user would have typed it
};

class LogListener {
public:
    virtual ~LogListener() = default;
    virtual void logText(std::string_view text, LogKind kind) = 0;
};

class CommandLineLog {
public:
    static CommandLineLog& instance();

    void print(std::string_view text, LogKind kind = LogKind::Output);
    // printf-style output; returns the number of characters written.
    int printf(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Prints a prompt unless the same prompt is the last thing printed
    // (an idle "Command: " is not repeated for every quiet queued command).
    void prompt(std::string_view text);
    void echo(std::string_view text) { print(text, LogKind::Echo); }

    // Everything printed so far (capped at historyLimit() characters, oldest dropped).
    const std::string& history() const { return m_history; }
    // The history since mark (a value of historySize() taken earlier).
    std::string historySince(std::size_t mark) const;
    std::size_t historySize() const { return m_dropped + m_history.size(); }
    std::size_t historyLimit() const { return m_limit; }
    void setHistoryLimit(std::size_t chars);
    void clear();

    // Listeners are not owned; removing one during a notification is safe.
    void addListener(LogListener* listener);
    void removeListener(LogListener* listener);

private:
    CommandLineLog() = default;
    std::string m_history;
    std::size_t m_dropped = 0;
    std::size_t m_limit = 4 * 1024 * 1024;
    std::string m_lastPrompt;
    bool m_atPrompt = false;
    std::vector<LogListener*> m_listeners;
};

} // namespace cadhost
