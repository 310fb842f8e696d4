#pragma once
// Runs scripts: one line per turn of the event loop, so it keeps going inside
// the nested loops of waiting prompts, modal dialogs, menus and popups. A plain
// line goes to the input broker as a typed line; the next line waits until it
// has been taken. Directives act on the user interface (ui_automation.h).
//
// While a script runs, message boxes, the host alert and file dialogs are
// answered from @answer and @file lines (given before the box opens, or as the
// very next line). A box, dialog or popup that nothing answers, a line that
// cannot be carried out, a prompt still waiting at the end or a line that makes
// no progress for the stall timeout fails the script: the reason is printed
// with the file, line number and text, waiting prompts are cancelled, dialogs
// and popups closed, and finished(false) is emitted.

#include "cadhost/ui_services.h"
#include "hostapp/script.h"
#include "hostapp/stall_watchdog.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPointer>
#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QDialog;
class QTimer;
class QWidget;

namespace hostui {
class FrameWindow;
}

namespace hostapp {

class ScriptRunner : public QObject {
    Q_OBJECT
public:
    explicit ScriptRunner(hostui::FrameWindow* frame, QObject* parent = nullptr);
    ~ScriptRunner() override;

    // Starts a script, or runs it before the rest of the current one (SCRIPT
    // inside a script). False with the reason when the file cannot be read.
    bool runFile(const std::string& path, std::string& error);
    void runText(const std::string& text, const std::string& name);

    bool isRunning() const { return m_running; }
    bool hasFailed() const { return m_failed; }
    // "file:line: text: reason" of the failure.
    const std::string& failureMessage() const { return m_failureMessage; }
    // A line that makes no progress for this long fails (default 30 s, or
    // CADHOST_SCRIPT_STALL_SECONDS).
    void setStallTimeout(int milliseconds) { m_stallTimeoutMs = milliseconds; }

    // A command reports that it failed: the running script fails at the
    // current line.
    void commandFailed(const std::string& message);

    // ---- the services' answers
    int answerMessageBox(const cadhost::MessageBoxRequest& request);
    std::optional<std::string> answerFileDialog(const cadhost::FileDialogRequest& request);

signals:
    void finished(bool ok);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Source {
        std::string name;
        std::vector<ScriptLine> lines;
        std::size_t next = 0;
    };
    struct LineRef {
        std::string source;
        int number = 0;
        std::string text;
    };
    struct BoxAnswer {
        std::string button; // "yes", "no", "ok", "cancel"
        std::string expectedText;
        LineRef line;
    };
    struct FileAnswer {
        std::string path; // empty: cancel
        LineRef line;
    };
    enum class Outcome { Next, ActionPosted, Retry };

    void start();
    void scheduleStep(int delayMs = 0);
    void step();
    Outcome execute(const ScriptLine& line);
    Outcome directive(const ScriptLine& line);
    Outcome typeLine(const ScriptLine& line);
    bool inputPending() const;
    const ScriptLine* peekNextLine() const; // the next non-comment line of the top script
    void consumePeekedLine();
    bool takeAnswerLine(const char* directive);
    bool parseAnswer(const ScriptLine& line, const LineRef& ref);
    bool parseFile(const ScriptLine& line, const LineRef& ref);
    void finishScript();
    void fail(const LineRef& line, const std::string& reason);
    void unwind(int attempt);
    void end(bool ok);
    void checkStall();
    void progress();
    LineRef refOf(const Source& source, const ScriptLine& line) const;
    QDialog* unacknowledgedDialog() const;

    QPointer<hostui::FrameWindow> m_frame;
    std::vector<Source> m_sources;
    bool m_running = false;
    bool m_failed = false;
    bool m_stepScheduled = false;
    bool m_retrying = false;
    std::string m_failureMessage;
    LineRef m_current;
    std::deque<BoxAnswer> m_boxAnswers;
    std::deque<FileAnswer> m_fileAnswers;
    QPointer<QDialog> m_dialog;                     // the dialog @dialog named
    std::vector<QPointer<QDialog>> m_openedDialogs; // shown since the last @dialog
    std::size_t m_expectMark = 0;
    QElapsedTimer m_sinceProgress;
    QTimer* m_watchdog;
    int m_stallTimeoutMs = 30000;
    std::unique_ptr<StallWatchdog> m_hardWatchdog; // when the event loop itself is stuck
    class Services;
    std::unique_ptr<Services> m_services;
};

} // namespace hostapp
