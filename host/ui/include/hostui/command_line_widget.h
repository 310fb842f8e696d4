#pragma once
// The command line: the history of everything printed (acutPrintf, prompts,
// echoed input) above an input line that shows the current prompt. What the
// user types goes to the input broker: Enter ends a line, a blank ends a token
// (it is Enter at an empty line) except at a prompt that takes blanks, Esc
// cancels, Up and Down recall earlier input.

#include "cadhost/command_log.h"
#include "cadhost/input_broker.h"

#include <QString>
#include <QStringList>
#include <QWidget>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace hostui {

class CommandLineWidget : public QWidget, public cadhost::LogListener {
    Q_OBJECT
public:
    explicit CommandLineWidget(QWidget* parent = nullptr);
    ~CommandLineWidget() override;

    // Puts text into the input line as if typed (keys pressed in the drawing view).
    void typeText(const QString& text);
    void focusInput();

    QString historyText() const;
    QString promptText() const;
    QString inputText() const;
    const QStringList& recalledInputs() const { return m_inputs; }

    void logText(std::string_view text, cadhost::LogKind kind) override;

public slots:
    void showPrompt(const cadhost::InputRequest* request);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void submitLine();
    void submitToken();
    void cancel();
    void recall(int step);
    bool blanksEndTokens() const;
    // What of a chunk of the log is shown: each line cut at a readable length.
    QString shownPart(const QString& chunk);

    QPlainTextEdit* m_history;
    QLabel* m_prompt;
    QLineEdit* m_input;
    QStringList m_inputs;
    int m_recallIndex = -1;
    qsizetype m_shownLineLength = 0; // characters of the history's last line shown so far
    bool m_lineCut = false;          // the last line was cut
};

} // namespace hostui
