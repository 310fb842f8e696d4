#include "hostui/qt_ui_services.h"

#include "hostui/drawing_view.h"
#include "hostui/frame_window.h"

#include <QApplication>
#include <QDesktopServices>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

namespace hostui {

namespace {

QMessageBox::Icon iconOf(UINT type) {
    switch (type & MB_ICONMASK) {
    case MB_ICONHAND:
        return QMessageBox::Critical;
    case MB_ICONQUESTION:
        return QMessageBox::Question;
    case MB_ICONEXCLAMATION:
        return QMessageBox::Warning;
    case MB_ICONASTERISK:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

} // namespace

QWidget* dialogParent() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return FrameWindow::instance();
}

QString nameFilters(const std::vector<std::string>& extensions) {
    if (extensions.empty())
        return QObject::tr("All files (*)");
    QStringList patterns;
    for (const std::string& e : extensions)
        patterns << QStringLiteral("*.") + QString::fromStdString(e);
    return QObject::tr("Files (%1);;All files (*)").arg(patterns.join(QLatin1Char(' ')));
}

int QtMessageBoxes::messageBox(const cadhost::MessageBoxRequest& request) {
    QMessageBox box(iconOf(request.type), QString::fromStdString(request.caption),
                    QString::fromStdString(request.text), QMessageBox::NoButton, dialogParent());
    struct Choice {
        QMessageBox::StandardButton button;
        int answer;
    };
    std::vector<Choice> choices;
    switch (request.type & MB_TYPEMASK) {
    case MB_OKCANCEL:
        choices = {{QMessageBox::Ok, IDOK}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_YESNO:
        choices = {{QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}};
        break;
    case MB_YESNOCANCEL:
        choices = {
            {QMessageBox::Yes, IDYES}, {QMessageBox::No, IDNO}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_RETRYCANCEL:
        choices = {{QMessageBox::Retry, IDRETRY}, {QMessageBox::Cancel, IDCANCEL}};
        break;
    case MB_ABORTRETRYIGNORE:
        choices = {{QMessageBox::Abort, IDABORT},
                   {QMessageBox::Retry, IDRETRY},
                   {QMessageBox::Ignore, IDIGNORE}};
        break;
    default:
        choices = {{QMessageBox::Ok, IDOK}};
        break;
    }
    for (const Choice& c : choices)
        box.addButton(c.button);
    const auto clicked = static_cast<QMessageBox::StandardButton>(box.exec());
    for (const Choice& c : choices)
        if (c.button == clicked)
            return c.answer;
    return cadhost::cancelAnswerFor(request.type);
}

void QtMessageBoxes::alert(const std::string& text) {
    cadhost::MessageBoxRequest request;
    request.text = text;
    request.caption = cadhost::UiServices::kAlertTitle;
    request.type = MB_OK | MB_ICONEXCLAMATION;
    messageBox(request);
}

// A labelled type list as Qt shows it: the label, and the patterns in
// brackets unless the label shows them already. "*.*" means every file.
QString labelledFilters(const std::vector<cadhost::FileFilter>& filters) {
    QStringList entries;
    for (const cadhost::FileFilter& f : filters) {
        QStringList patterns;
        for (const std::string& p : f.patterns)
            patterns << (p == "*.*" ? QStringLiteral("*") : QString::fromStdString(p));
        QString label = QString::fromStdString(f.label);
        const int bracket = label.indexOf(QLatin1Char('('));
        if (bracket >= 0)
            label = label.left(bracket).trimmed();
        entries << label + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                       QLatin1Char(')');
    }
    return entries.join(QStringLiteral(";;"));
}

std::optional<std::string> QtFileDialogs::chooseFile(const cadhost::FileDialogRequest& request) {
    const QString title = QString::fromStdString(request.title);
    const QString start = QString::fromStdString(request.defaultName);
    const QString filters = request.filters.empty() ? nameFilters(request.extensions)
                                                    : labelledFilters(request.filters);
    if (request.acceptNewFile) {
        // An open dialog that takes a name not yet on disk, without asking to replace.
        QFileDialog dialog(dialogParent(), title, start, filters);
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
            return std::nullopt;
        return dialog.selectedFiles().front().toStdString();
    }
    const QString path = request.save
                             ? QFileDialog::getSaveFileName(dialogParent(), title, start, filters)
                             : QFileDialog::getOpenFileName(dialogParent(), title, start, filters);
    if (path.isEmpty())
        return std::nullopt;
    return path.toStdString();
}

bool QtShell::open(const std::string& target, const std::string&) {
    const QString text = QString::fromStdString(target);
    QUrl url = QUrl::fromUserInput(text, QString(), QUrl::AssumeLocalFile);
    if (QFileInfo::exists(text))
        url = QUrl::fromLocalFile(QFileInfo(text).absoluteFilePath());
    return url.isValid() && QDesktopServices::openUrl(url);
}

FrameService::FrameService(FrameWindow* frame) : m_frame(frame) {}

void FrameService::focus() {
    if (m_frame)
        m_frame->drawingView()->setFocus(Qt::OtherFocusReason);
}

void FrameService::activate() {
    if (m_frame) {
        m_frame->raise();
        m_frame->activateWindow();
    }
}

void FrameService::updateDisplay() {
    if (m_frame)
        m_frame->refreshDrawing();
}

void* FrameService::nativeWindow() const {
    return static_cast<QMainWindow*>(m_frame.data());
}

} // namespace hostui
