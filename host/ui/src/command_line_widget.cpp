#include "hostui/command_line_widget.h"

#include <QFontDatabase>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextCursor>
#include <QVBoxLayout>
#include <algorithm>

namespace hostui {

namespace {

constexpr int kMaxRecalled = 200;
constexpr int kHistoryBlocks = 5000;
constexpr qsizetype kMaxShownLineLength = 2000;

QString promptLabel(const cadhost::InputRequest* request) {
    QString text = request ? QString::fromStdString(request->prompt) : QStringLiteral("Command:");
    // Only the last line of a prompt belongs in front of the input.
    const int nl = text.lastIndexOf(QLatin1Char('\n'));
    if (nl >= 0)
        text = text.mid(nl + 1);
    text = text.trimmed();
    return text.isEmpty() ? QStringLiteral("Command:") : text;
}

} // namespace

CommandLineWidget::CommandLineWidget(QWidget* parent)
    : QWidget(parent), m_history(new QPlainTextEdit(this)), m_prompt(new QLabel(this)),
      m_input(new QLineEdit(this)) {
    setObjectName(QStringLiteral("commandLine"));
    const QFont mono = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    m_history->setReadOnly(true);
    m_history->setFont(mono);
    m_history->setMaximumBlockCount(kHistoryBlocks);
    m_history->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_history->setFocusPolicy(Qt::NoFocus);
    m_history->setObjectName(QStringLiteral("commandHistory"));
    m_prompt->setFont(mono);
    m_input->setFont(mono);
    m_input->setObjectName(QStringLiteral("commandInput"));
    m_input->setFrame(false);
    m_input->installEventFilter(this);

    auto* inputRow = new QHBoxLayout;
    inputRow->setContentsMargins(4, 0, 4, 2);
    inputRow->addWidget(m_prompt);
    inputRow->addWidget(m_input, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_history, 1);
    layout->addLayout(inputRow);
    setFocusProxy(m_input);

    showPrompt(cadhost::InputBroker::instance().currentRequest());
    // Show what was printed before the widget existed (start-up messages).
    const std::string& earlier = cadhost::CommandLineLog::instance().history();
    if (!earlier.empty())
        logText(earlier, cadhost::LogKind::Output);
    cadhost::CommandLineLog::instance().addListener(this);
}

CommandLineWidget::~CommandLineWidget() {
    cadhost::CommandLineLog::instance().removeListener(this);
}

void CommandLineWidget::logText(std::string_view text, cadhost::LogKind) {
    if (text.empty())
        return;
    QTextCursor cursor(m_history->document());
    cursor.movePosition(QTextCursor::End);
    QString chunk = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    chunk.remove(QLatin1Char('\r'));
    // A leading newline on an empty history would leave a blank first line.
    if (m_history->document()->isEmpty() && chunk.startsWith(QLatin1Char('\n')))
        chunk.remove(0, 1);
    cursor.insertText(shownPart(chunk));
    m_history->verticalScrollBar()->setValue(m_history->verticalScrollBar()->maximum());
}

QString CommandLineWidget::shownPart(const QString& chunk) {
    // Laying out a line costs time that grows faster than its length: a
    // runaway line is cut to what a user can read.
    QString out;
    qsizetype start = 0;
    while (start <= chunk.size()) {
        qsizetype nl = chunk.indexOf(QLatin1Char('\n'), start);
        const qsizetype end = nl < 0 ? chunk.size() : nl;
        const qsizetype room = std::max<qsizetype>(0, kMaxShownLineLength - m_shownLineLength);
        const qsizetype take = std::min(end - start, room);
        out += QStringView(chunk).mid(start, take);
        m_shownLineLength += take;
        if (take < end - start && !m_lineCut) {
            out += QStringLiteral(" [...]");
            m_lineCut = true;
        }
        if (nl < 0)
            break;
        out += QLatin1Char('\n');
        m_shownLineLength = 0;
        m_lineCut = false;
        start = nl + 1;
    }
    return out;
}

void CommandLineWidget::showPrompt(const cadhost::InputRequest* request) {
    m_prompt->setText(promptLabel(request));
}

void CommandLineWidget::typeText(const QString& text) {
    for (const QChar c : text) {
        if (c == QLatin1Char(' ') && blanksEndTokens())
            submitToken();
        else
            m_input->insert(QString(c));
    }
    focusInput();
}

void CommandLineWidget::focusInput() {
    m_input->setFocus(Qt::OtherFocusReason);
}

QString CommandLineWidget::historyText() const {
    return m_history->toPlainText();
}
QString CommandLineWidget::promptText() const {
    return m_prompt->text();
}
QString CommandLineWidget::inputText() const {
    return m_input->text();
}

bool CommandLineWidget::blanksEndTokens() const {
    const cadhost::InputRequest* r = cadhost::InputBroker::instance().currentRequest();
    return !(r && r->blanksAllowed);
}

bool CommandLineWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_input && event->type() == QEvent::ShortcutOverride) {
        // Ctrl+Z and Ctrl+Y take back drawing edits, not typing: leave them
        // to the frame's Undo and Redo.
        auto* key = static_cast<QKeyEvent*>(event);
        const bool ctrlY = key->key() == Qt::Key_Y && key->modifiers() == Qt::ControlModifier;
        if (key->matches(QKeySequence::Undo) || key->matches(QKeySequence::Redo) || ctrlY) {
            event->ignore();
            return true;
        }
    }
    if (watched == m_input && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            submitLine();
            return true;
        case Qt::Key_Escape:
            cancel();
            return true;
        case Qt::Key_Up:
            recall(-1);
            return true;
        case Qt::Key_Down:
            recall(+1);
            return true;
        case Qt::Key_Space:
            if (blanksEndTokens()) {
                submitToken();
                return true;
            }
            break;
        default:
            if (key->matches(QKeySequence::Copy) && !m_input->hasSelectedText()) {
                cancel(); // Ctrl+C without a selection cancels, as on the host's command line
                return true;
            }
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CommandLineWidget::submitLine() {
    const QString text = m_input->text();
    m_input->clear();
    if (!text.isEmpty()) {
        m_inputs.append(text);
        while (m_inputs.size() > kMaxRecalled)
            m_inputs.removeFirst();
    }
    m_recallIndex = -1;
    cadhost::InputBroker::instance().submitLine(text.toStdString(), cadhost::InputSource::Typed);
}

void CommandLineWidget::submitToken() {
    const QString text = m_input->text();
    if (text.isEmpty()) {
        m_recallIndex = -1;
        cadhost::InputBroker::instance().submitEnter(cadhost::InputSource::Typed);
        return;
    }
    m_input->clear();
    m_inputs.append(text);
    m_recallIndex = -1;
    cadhost::InputBroker::instance().submitText((text + QLatin1Char(' ')).toStdString(),
                                                cadhost::InputSource::Typed);
}

void CommandLineWidget::cancel() {
    m_input->clear();
    m_recallIndex = -1;
    cadhost::InputBroker::instance().submitEscape(cadhost::InputSource::Typed);
}

void CommandLineWidget::recall(int step) {
    if (m_inputs.isEmpty())
        return;
    if (m_recallIndex < 0)
        m_recallIndex = step < 0 ? static_cast<int>(m_inputs.size()) - 1 : -1;
    else
        m_recallIndex += step;
    if (m_recallIndex < 0 || m_recallIndex >= m_inputs.size()) {
        m_recallIndex = -1;
        m_input->clear();
        return;
    }
    m_input->setText(m_inputs.at(m_recallIndex));
}

} // namespace hostui
