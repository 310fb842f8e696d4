#include "hostapp/script_runner.h"

#include "acdocman.h"
#include "cadhost/cell_selection.h"
#include "cadhost/command_log.h"
#include "cadhost/documents.h"
#include "cadhost/input_broker.h"
#include "hostapp/screenshot.h"
#include "hostapp/ui_automation.h"
#include "hostui/drawing_view.h"
#include "hostui/frame_window.h"
#include "hostui/input_pump.h"

#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace hostapp {

namespace {

constexpr int kPollMs = 2;
// How long a directive waits for the dialog or popup it acts on to appear.
constexpr int kAppearMs = 5000;
constexpr int kUnwindAttempts = 50;
// How much longer than the stall timeout a stuck event loop gets before the
// process is ended from outside it.
constexpr int kHardStallGraceMs = 5000;

std::string lower(std::string s) {
    std::transform(s.begin(), s.end(), s.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return s;
}

std::string buttonName(const std::string& lowerName) {
    if (lowerName == "ok")
        return "OK";
    std::string n = lowerName;
    if (!n.empty())
        n[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(n[0])));
    return n;
}

std::string boxButtonsText(UINT type) {
    switch (type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        return "OK, Cancel";
    case MB_YESNO:
        return "Yes, No";
    case MB_YESNOCANCEL:
        return "Yes, No, Cancel";
    case MB_RETRYCANCEL:
        return "Retry, Cancel";
    case MB_ABORTRETRYIGNORE:
        return "Abort, Retry, Ignore";
    default:
        return "OK";
    }
}

// The answer id of a button name on a box of this type; 0 when it has no such button.
int answerId(const std::string& button, UINT type) {
    const UINT buttons = type & MB_TYPEMASK;
    if (button == "ok" && (buttons == MB_OK || buttons == MB_OKCANCEL))
        return IDOK;
    if (button == "cancel" &&
        (buttons == MB_OKCANCEL || buttons == MB_YESNOCANCEL || buttons == MB_RETRYCANCEL))
        return IDCANCEL;
    if (button == "yes" && (buttons == MB_YESNO || buttons == MB_YESNOCANCEL))
        return IDYES;
    if (button == "no" && (buttons == MB_YESNO || buttons == MB_YESNOCANCEL))
        return IDNO;
    return 0;
}

bool isModalWindowShown(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::Show)
        return false;
    auto* dialog = qobject_cast<QDialog*>(watched);
    return dialog && dialog->isWindow() && dialog->isModal();
}

// A line as quoted in a failure: a runaway line is cut (on a character boundary).
std::string shortened(const std::string& text) {
    constexpr std::size_t kShown = 200;
    if (text.size() <= kShown)
        return text;
    std::size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(text[cut]) & 0xC0) == 0x80)
        --cut;
    return text.substr(0, cut) + "...";
}

void logLine(const std::string& text) {
    cadhost::CommandLineLog::instance().print("\n" + text);
}

} // namespace

// The message-box and file-dialog services while a script runs.
class ScriptRunner::Services : public cadhost::MessageBoxService,
                               public cadhost::FileDialogService {
public:
    explicit Services(ScriptRunner& runner)
        : m_runner(runner), m_previousBoxes(&cadhost::UiServices::messageBoxes()),
          m_previousFiles(&cadhost::UiServices::fileDialogs()) {
        cadhost::UiServices::install(static_cast<cadhost::MessageBoxService*>(this));
        cadhost::UiServices::install(static_cast<cadhost::FileDialogService*>(this));
    }
    ~Services() override {
        cadhost::UiServices::install(m_previousBoxes);
        cadhost::UiServices::install(m_previousFiles);
    }
    int messageBox(const cadhost::MessageBoxRequest& request) override {
        return m_runner.answerMessageBox(request);
    }
    void alert(const std::string& text) override {
        cadhost::MessageBoxRequest request;
        request.text = text;
        request.caption = cadhost::UiServices::kAlertTitle;
        request.type = MB_OK | MB_ICONEXCLAMATION;
        m_runner.answerMessageBox(request);
    }
    std::optional<std::string> chooseFile(const cadhost::FileDialogRequest& request) override {
        return m_runner.answerFileDialog(request);
    }

private:
    ScriptRunner& m_runner;
    cadhost::MessageBoxService* m_previousBoxes;
    cadhost::FileDialogService* m_previousFiles;
};

ScriptRunner::ScriptRunner(hostui::FrameWindow* frame, QObject* parent)
    : QObject(parent), m_frame(frame), m_watchdog(new QTimer(this)) {
    if (const char* env = std::getenv("CADHOST_SCRIPT_STALL_SECONDS")) {
        const int seconds = std::atoi(env);
        if (seconds > 0)
            m_stallTimeoutMs = seconds * 1000;
    }
    m_watchdog->setInterval(250);
    connect(m_watchdog, &QTimer::timeout, this, &ScriptRunner::checkStall);
}

ScriptRunner::~ScriptRunner() {
    setActionHook(nullptr);
    if (qApp)
        qApp->removeEventFilter(this);
}

bool ScriptRunner::runFile(const std::string& path, std::string& error) {
    std::string text;
    if (m_running && m_sources.size() >= kMaxScriptNesting) {
        // A script that runs itself, or two that run each other, would never end.
        error = "scripts run each other more than " + std::to_string(kMaxScriptNesting) +
                " deep; " + path + " is not run";
    } else if (readScriptFile(path, text, error)) {
        runText(text, path);
        return true;
    }
    commandFailed(error); // the running script, if any, cannot go on as written
    return false;
}

void ScriptRunner::runText(const std::string& text, const std::string& name) {
    m_sources.push_back({name, parseScript(text), 0});
    if (!m_running)
        start();
}

void ScriptRunner::start() {
    m_running = true;
    m_failed = false;
    m_failureMessage.clear();
    m_boxAnswers.clear();
    m_fileAnswers.clear();
    m_openedDialogs.clear();
    m_dialog = nullptr;
    // The first @expect looks at everything since start-up (module messages too).
    m_expectMark = 0;
    m_services = std::make_unique<Services>(*this);
    if (m_frame)
        m_frame->inputWaiter()->resume();
    qApp->installEventFilter(this);
    setActionHook([this] { scheduleStep(); });
    // The event loop's own check gets the first chance to end the run cleanly.
    if (!m_hardWatchdog)
        m_hardWatchdog = std::make_unique<StallWatchdog>(
            std::chrono::milliseconds(m_stallTimeoutMs + kHardStallGraceMs));
    progress();
    m_watchdog->start();
    scheduleStep();
}

void ScriptRunner::progress() {
    m_sinceProgress.restart();
    if (m_hardWatchdog)
        m_hardWatchdog->progress(m_current.source + ":" + std::to_string(m_current.number) + ": " +
                                 shortened(m_current.text));
}

void ScriptRunner::scheduleStep(int delayMs) {
    if (m_stepScheduled || !m_running)
        return;
    m_stepScheduled = true;
    auto run = [this] {
        m_stepScheduled = false;
        step();
    };
    if (delayMs <= 0)
        QMetaObject::invokeMethod(this, run, Qt::QueuedConnection);
    else
        QTimer::singleShot(delayMs, this, run);
}

bool ScriptRunner::eventFilter(QObject* watched, QEvent* event) {
    if (m_running && !m_failed && isModalWindowShown(watched, event))
        m_openedDialogs.emplace_back(static_cast<QDialog*>(watched));
    return QObject::eventFilter(watched, event);
}

ScriptRunner::LineRef ScriptRunner::refOf(const Source& source, const ScriptLine& line) const {
    return {source.name, line.number, line.text};
}

bool ScriptRunner::inputPending() const {
    return cadhost::InputBroker::instance().hasItem();
}

QDialog* ScriptRunner::unacknowledgedDialog() const {
    for (const auto& d : m_openedDialogs)
        if (d && d->isVisible())
            return d.data();
    return nullptr;
}

void ScriptRunner::step() {
    if (!m_running || m_failed)
        return;
    // The previous line's input has to be taken first.
    if (inputPending()) {
        scheduleStep(kPollMs);
        return;
    }
    while (!m_sources.empty() && m_sources.back().next >= m_sources.back().lines.size())
        m_sources.pop_back();
    if (m_sources.empty()) {
        finishScript();
        return;
    }
    Source& source = m_sources.back();
    const ScriptLine line = source.lines[source.next++];
    m_current = refOf(source, line);
    if (!m_retrying)
        progress(); // a retried line keeps its start time
    m_retrying = false;

    // A dialog that opened must be taken on by the next directive.
    if (QDialog* dialog = unacknowledgedDialog()) {
        const bool mayWait = line.kind == ScriptLine::Kind::Comment ||
                             (line.kind == ScriptLine::Kind::Directive &&
                              (line.directive == "dialog" || line.directive == "screenshot" ||
                               line.directive == "expect"));
        if (!mayWait) {
            fail(m_current, "the dialog \"" + dialog->windowTitle().toStdString() +
                                "\" opened with no @dialog directive to answer it");
            return;
        }
    }
    if (const std::string problem = scriptLineProblem(line); !problem.empty()) {
        fail(m_current, problem);
        return;
    }
    switch (execute(line)) {
    case Outcome::Next:
        scheduleStep();
        break;
    case Outcome::ActionPosted:
        break; // the action schedules the next step once it has run
    case Outcome::Retry:
        --m_sources.back().next;
        m_retrying = true;
        scheduleStep(kPollMs * 5);
        break;
    }
}

ScriptRunner::Outcome ScriptRunner::execute(const ScriptLine& line) {
    switch (line.kind) {
    case ScriptLine::Kind::Comment:
        return Outcome::Next;
    case ScriptLine::Kind::Directive:
        return directive(line);
    case ScriptLine::Kind::Plain:
        return typeLine(line);
    }
    return Outcome::Next;
}

ScriptRunner::Outcome ScriptRunner::typeLine(const ScriptLine& line) {
    if (QWidget* modal = activeModalWindow()) {
        fail(m_current, "cannot type on the command line while the dialog \"" +
                            modal->windowTitle().toStdString() + "\" is open");
        return Outcome::Next;
    }
    if (openPopup()) {
        fail(m_current, "cannot type on the command line while a popup or menu is open");
        return Outcome::Next;
    }
    cadhost::InputBroker::instance().submitLine(line.text, cadhost::InputSource::Script);
    return Outcome::Next;
}

ScriptRunner::Outcome ScriptRunner::directive(const ScriptLine& line) {
    const std::string& d = line.directive;
    const std::string& arg = line.argument;
    auto failWith = [&](const std::string& reason) {
        fail(m_current, reason);
        return Outcome::Next;
    };
    auto posted = [&](const Problem& problem) {
        if (problem)
            return failWith(*problem);
        return Outcome::ActionPosted;
    };
    // Waits a little for a window to appear, then fails.
    auto retryOr = [&](const std::string& reason) {
        if (m_sinceProgress.elapsed() < std::min(m_stallTimeoutMs, kAppearMs))
            return Outcome::Retry;
        return failWith(reason);
    };
    auto needDialog = [&]() -> QDialog* {
        if (!m_dialog || !m_dialog->isVisible()) {
            failWith("no dialog is open (use @dialog TITLE first)");
            return nullptr;
        }
        return m_dialog.data();
    };

    if (d == "cells") {
        std::string first, second;
        splitFirstWord(arg, first, second);
        const auto p1 = parsePoint(first);
        const auto p2 = second.empty() ? std::optional<AcGePoint3d>() : parsePoint(second);
        if (!p1 || (!second.empty() && !p2))
            return failWith("expected @cells X1,Y1 [X2,Y2]");
        auto& cells = cadhost::CellSelection::instance();
        const auto table = cells.tableAt(*p1);
        if (!table || cells.selectAt(*p1, false) != Acad::eOk)
            return failWith("no table cell lies at " + first);
        if (p2) {
            const auto other = cells.tableAt(*p2);
            if (!other || !(*other == *table))
                return failWith(second + " is not a cell of the same table");
            if (cells.selectAt(*p2, true) != Acad::eOk)
                return failWith("cannot extend the cell selection to " + second);
        }
        if (m_frame)
            m_frame->refreshDrawing();
        return Outcome::Next;
    }
    if (d == "nocells") {
        cadhost::CellSelection::instance().clearCellSelection();
        if (m_frame)
            m_frame->refreshDrawing();
        return Outcome::Next;
    }
    if (d == "cancel") {
        cadhost::InputBroker::instance().submitEscape(cadhost::InputSource::Script);
        return Outcome::Next;
    }
    if (d == "toolbar" || d == "dropdown") {
        const auto id = parseInt(arg);
        if (!id)
            return failWith("expected @" + d + " ID");
        return posted(d == "toolbar" ? clickToolbarButton(*id) : openDropDown(*id));
    }
    if (d == "menu") {
        if (arg.empty())
            return failWith("expected @menu TITLE[>ITEM...]");
        return posted(openMenuPath(arg));
    }
    if (d == "choose") {
        const auto n = parseInt(arg);
        if (!n)
            return failWith("expected @choose N");
        if (!openPopup())
            return retryOr("no popup or menu is open");
        return posted(chooseInPopup(*n));
    }
    if (d == "tearoff") {
        // "@tearoff X,Y": the bar is dragged to that point of the drawing.
        std::optional<QPoint> dropAt;
        if (!arg.empty()) {
            const auto point = parsePoint(arg);
            if (!point)
                return failWith("expected @tearoff [X,Y]");
            hostui::DrawingView* view = m_frame ? m_frame->drawingView() : nullptr;
            if (!view)
                return failWith("no drawing view to drag the tear-off bar to");
            dropAt = view->mapToGlobal(view->pixelOf(*point).toPoint());
        }
        if (!openPopup())
            return retryOr("no popup or menu is open");
        return posted(tearOffPopup(dropAt));
    }
    if (d == "picker") {
        std::string title, idText;
        const auto id = splitLastWord(arg, title, idText) ? parseInt(idText) : std::nullopt;
        if (!id)
            return failWith("expected @picker TITLE ID");
        return posted(clickPickerControl(title, *id));
    }
    if (d == "key") {
        if (arg.empty())
            return failWith("expected @key NAME");
        return posted(pressKey(arg));
    }
    if (d == "dialog") {
        if (arg.empty())
            return failWith("expected @dialog TITLE");
        QDialog* dialog = findModalDialog(arg);
        if (!dialog) {
            QWidget* modal = activeModalWindow();
            return retryOr(
                "no dialog titled \"" + arg + "\" is open" +
                (modal ? " (\"" + modal->windowTitle().toStdString() + "\" is)" : std::string()));
        }
        m_dialog = dialog;
        m_openedDialogs.clear();
        return Outcome::Next;
    }
    if (d == "set" || d == "select" || d == "check") {
        std::string idText, rest;
        splitFirstWord(arg, idText, rest);
        const auto id = parseInt(idText);
        if (!id)
            return failWith("expected @" + d + " ID " + (d == "check" ? "on|off" : "TEXT"));
        QDialog* dialog = needDialog();
        if (!dialog)
            return Outcome::Next;
        Problem problem;
        if (d == "set") {
            problem = setControlText(dialog, *id, rest);
        } else if (d == "select") {
            problem = selectControlItem(dialog, *id, rest);
        } else {
            const std::string state = lower(rest);
            if (state != "on" && state != "off")
                return failWith("expected @check ID on|off");
            problem = setControlCheck(dialog, *id, state == "on");
        }
        if (problem)
            return failWith(*problem);
        return Outcome::Next;
    }
    if (d == "shows") {
        if (arg.empty())
            return failWith("expected @shows TEXT");
        QDialog* dialog = needDialog();
        if (!dialog)
            return Outcome::Next;
        const std::string shown = shownText(dialog);
        if (shown.find(arg) != std::string::npos)
            return Outcome::Next;
        // What the dialog shows may come from the network or a worker: it
        // gets most of a line's time, and fails with its own reason before
        // the stall check would.
        if (m_sinceProgress.elapsed() < m_stallTimeoutMs * 3 / 4)
            return Outcome::Retry;
        std::string tail = shown.size() > 300 ? "..." + shown.substr(shown.size() - 300) : shown;
        std::replace(tail.begin(), tail.end(), '\n', ' ');
        return failWith("the dialog does not show \"" + arg + "\" (it shows: " + tail + ")");
    }
    if (d == "click") {
        const auto id = parseInt(arg);
        if (!id)
            return failWith("expected @click ID");
        QDialog* dialog = needDialog();
        if (!dialog)
            return Outcome::Next;
        return posted(clickControl(dialog, *id));
    }
    if (d == "answer") {
        parseAnswer(line, m_current);
        return Outcome::Next;
    }
    if (d == "file") {
        parseFile(line, m_current);
        return Outcome::Next;
    }
    if (d == "expect") {
        if (arg.empty())
            return failWith("expected @expect TEXT");
        auto& log = cadhost::CommandLineLog::instance();
        const std::string since = log.historySince(m_expectMark);
        if (since.find(arg) == std::string::npos) {
            std::string tail =
                since.size() > 300 ? "..." + since.substr(since.size() - 300) : since;
            std::replace(tail.begin(), tail.end(), '\n', ' ');
            return failWith("the transcript does not contain \"" + arg + "\" (it shows: " + tail +
                            ")");
        }
        m_expectMark = log.historySize();
        return Outcome::Next;
    }
    if (d == "open") {
        if (arg.empty())
            return failWith("expected @open FILE");
        std::string error;
        if (!acDocManager->openDocument(arg.c_str(), &error))
            return failWith(error.empty() ? "cannot open " + arg : error);
        return Outcome::Next;
    }
    if (d == "save") {
        if (arg.empty())
            return failWith("expected @save FILE");
        AcApDocument* doc = acDocManager->activeDocument();
        if (!doc)
            return failWith("no drawing is open to save");
        std::string error;
        if (acDocManager->saveDocumentAs(doc, arg.c_str(), &error) != Acad::eOk)
            return failWith("cannot save " + arg + (error.empty() ? "" : ": " + error));
        return Outcome::Next;
    }
    if (d == "screenshot") {
        if (arg.empty())
            return failWith("expected @screenshot FILE");
        std::string error;
        if (!saveScreenshot(m_frame, arg, error))
            return failWith(error);
        return Outcome::Next;
    }
    return failWith("unknown directive @" + d);
}

const ScriptLine* ScriptRunner::peekNextLine() const {
    if (m_sources.empty())
        return nullptr;
    const Source& s = m_sources.back();
    for (std::size_t i = s.next; i < s.lines.size(); ++i)
        if (s.lines[i].kind != ScriptLine::Kind::Comment)
            return &s.lines[i];
    return nullptr;
}

void ScriptRunner::consumePeekedLine() {
    Source& s = m_sources.back();
    while (s.next < s.lines.size() && s.lines[s.next].kind == ScriptLine::Kind::Comment)
        ++s.next;
    ++s.next;
    progress();
}

bool ScriptRunner::takeAnswerLine(const char* directive) {
    const ScriptLine* next = peekNextLine();
    if (!next || next->kind != ScriptLine::Kind::Directive || next->directive != directive)
        return false;
    const ScriptLine copy = *next;
    const LineRef ref = refOf(m_sources.back(), copy);
    consumePeekedLine();
    return std::string(directive) == "answer" ? parseAnswer(copy, ref) : parseFile(copy, ref);
}

bool ScriptRunner::parseAnswer(const ScriptLine& line, const LineRef& ref) {
    std::string button, text;
    splitFirstWord(line.argument, button, text);
    button = lower(button);
    if (button != "yes" && button != "no" && button != "ok" && button != "cancel") {
        fail(ref, "expected @answer Yes|No|OK|Cancel [TEXT]");
        return false;
    }
    m_boxAnswers.push_back({button, text, ref});
    return true;
}

bool ScriptRunner::parseFile(const ScriptLine& line, const LineRef& ref) {
    m_fileAnswers.push_back({line.argument, ref});
    return true;
}

int ScriptRunner::answerMessageBox(const cadhost::MessageBoxRequest& request) {
    const int cancelled = cadhost::cancelAnswerFor(request.type);
    logLine("[Message box] " + request.caption + ": " + request.text);
    if (!m_running || m_failed)
        return cancelled;
    if (m_boxAnswers.empty() && !takeAnswerLine("answer")) {
        fail(m_current,
             "a message box \"" + request.caption + "\" opened with no @answer: " + request.text);
        return cancelled;
    }
    if (m_boxAnswers.empty())
        return cancelled; // the answer line itself was malformed and failed
    const BoxAnswer answer = m_boxAnswers.front();
    m_boxAnswers.pop_front();
    const int id = answerId(answer.button, request.type);
    if (!id) {
        fail(answer.line, "the message box \"" + request.caption + "\" has no " +
                              buttonName(answer.button) + " button (it has " +
                              boxButtonsText(request.type) + ")");
        return cancelled;
    }
    if (!answer.expectedText.empty() &&
        request.text.find(answer.expectedText) == std::string::npos) {
        fail(answer.line,
             "the message box says \"" + request.text + "\", not \"" + answer.expectedText + "\"");
        return cancelled;
    }
    logLine("[Answered] " + buttonName(answer.button));
    return id;
}

std::optional<std::string>
ScriptRunner::answerFileDialog(const cadhost::FileDialogRequest& request) {
    logLine("[File dialog] " + request.title);
    if (!m_running || m_failed)
        return std::nullopt;
    if (m_fileAnswers.empty() && !takeAnswerLine("file")) {
        fail(m_current,
             "a file dialog \"" + request.title + "\" opened with no @file to answer it");
        return std::nullopt;
    }
    const FileAnswer answer = m_fileAnswers.front();
    m_fileAnswers.pop_front();
    if (answer.path.empty()) {
        logLine("[Answered] cancel");
        return std::nullopt;
    }
    logLine("[Answered] " + answer.path);
    return answer.path;
}

void ScriptRunner::commandFailed(const std::string& message) {
    if (m_running && !m_failed)
        fail(m_current, message);
}

void ScriptRunner::finishScript() {
    const LineRef atEnd{m_current.source, m_current.number, "(end of script)"};
    if (const cadhost::InputRequest* request = cadhost::InputBroker::instance().currentRequest()) {
        std::string prompt = request->prompt;
        prompt.erase(std::remove(prompt.begin(), prompt.end(), '\n'), prompt.end());
        fail(atEnd, "the script ended while a prompt waits for input: \"" + prompt + "\"");
        return;
    }
    if (QWidget* modal = activeModalWindow()) {
        fail(atEnd, "the script ended with the dialog \"" + modal->windowTitle().toStdString() +
                        "\" open");
        return;
    }
    if (openPopup()) {
        fail(atEnd, "the script ended with a popup or menu open");
        return;
    }
    if (!m_boxAnswers.empty()) {
        fail(m_boxAnswers.front().line, "no message box came to take this answer");
        return;
    }
    if (!m_fileAnswers.empty()) {
        fail(m_fileAnswers.front().line, "no file dialog came to take this answer");
        return;
    }
    end(true);
}

void ScriptRunner::fail(const LineRef& line, const std::string& reason) {
    if (m_failed)
        return;
    m_failed = true;
    std::ostringstream message;
    message << line.source << ":" << line.number << ": " << shortened(line.text) << ": " << reason;
    m_failureMessage = message.str();
    logLine("Script failed: " + m_failureMessage);
    std::fprintf(stderr, "cadhost: script failed: %s\n", m_failureMessage.c_str());
    std::fflush(stderr);
    QMetaObject::invokeMethod(
        this, [this] { unwind(0); }, Qt::QueuedConnection);
}

void ScriptRunner::unwind(int attempt) {
    // Prompts answer Esc from now on; dialogs and popups are closed; once
    // nothing is open any more (their loops have returned) the run ends.
    if (m_frame)
        m_frame->inputWaiter()->abandon();
    cadhost::InputBroker::instance().clear();
    bool open = false;
    if (QWidget* popup = QApplication::activePopupWidget()) {
        popup->close();
        open = true;
    }
    if (QWidget* modal = activeModalWindow()) {
        if (auto* dialog = qobject_cast<QDialog*>(modal))
            dialog->reject();
        else
            modal->close();
        open = true;
    }
    if ((open || (m_frame && m_frame->inputWaiter()->depth() > 0)) && attempt < kUnwindAttempts) {
        QTimer::singleShot(kPollMs, this, [this, attempt] { unwind(attempt + 1); });
        return;
    }
    end(false);
}

void ScriptRunner::end(bool ok) {
    if (!m_running)
        return;
    m_running = false;
    m_watchdog->stop();
    m_hardWatchdog.reset();
    setActionHook(nullptr);
    qApp->removeEventFilter(this);
    m_services.reset();
    m_sources.clear();
    m_openedDialogs.clear();
    m_dialog = nullptr;
    m_retrying = false;
    // An interactive host goes on taking input once nothing waits any more.
    if (m_frame && m_frame->inputWaiter()->depth() == 0)
        m_frame->inputWaiter()->resume();
    emit finished(ok);
}

void ScriptRunner::checkStall() {
    if (!m_running || m_failed)
        return;
    if (m_sinceProgress.elapsed() > m_stallTimeoutMs)
        fail(m_current, "no progress for " + std::to_string(m_stallTimeoutMs / 1000) +
                            " s (the line's input was never taken)");
}

} // namespace hostapp
