#include "hostui/action_names.h"

#include "cadhost/documents.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDockWidget>
#include <QEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QPointer>
#include <QToolBar>

namespace hostui {

namespace {

bool belongsToOpener(const QWidget* window) {
    // A popup, a menu or a modal dialog works for whoever opened it.
    return window->windowType() == Qt::Popup || window->isModal() ||
           window == QApplication::activeModalWidget();
}

QString labelOf(const QWidget* control) {
    QString label = control->toolTip();
    if (label.isEmpty())
        if (auto* button = qobject_cast<const QAbstractButton*>(control))
            label = button->text();
    if (label.isEmpty())
        label = control->accessibleName();
    return cleanActionLabel(label);
}

} // namespace

QString cleanActionLabel(const QString& label) {
    QString text = label.section(QLatin1Char('\n'), 0, 0);
    // "&&" is a literal ampersand; a single one marks the mnemonic.
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(QLatin1Char('&'));
    text.replace(QStringLiteral("\x01"), QStringLiteral("&"));
    text = text.trimmed();
    while (text.endsWith(QLatin1Char('.')) || text.endsWith(QChar(0x2026)))
        text.chop(1);
    return text.trimmed();
}

QString actionNameFor(const QWidget* w) {
    if (!w)
        return {};
    const QWidget* window = w->window();
    if (belongsToOpener(window))
        return {};
    // A button or box of a toolbar, docked or floating.
    const QWidget* control = nullptr;
    for (const QWidget* p = w; p; p = p->parentWidget()) {
        if (!control &&
            (qobject_cast<const QAbstractButton*>(p) || qobject_cast<const QComboBox*>(p)))
            control = p;
        if (qobject_cast<const QToolBar*>(p))
            return control ? labelOf(control) : QString();
        if (p->isWindow())
            break;
    }
    // A floating picker or another modeless window of its own: its title.
    if (qobject_cast<const QMainWindow*>(window) || qobject_cast<const QDockWidget*>(window) ||
        window->windowTitle().isEmpty())
        return {}; // the frame, a floating bar's own title strip
    if (window->parentWidget() == nullptr && !qobject_cast<const QDialog*>(window) &&
        !(window->windowFlags() & Qt::Tool))
        return {}; // a top-level of its own (a test's window), not a picker
    return cleanActionLabel(window->windowTitle());
}

QString actionNameFor(const QAction* action) {
    if (!action)
        return {};
    QString label = action->toolTip();
    if (label.isEmpty())
        label = action->text();
    return cleanActionLabel(label);
}

namespace {

// What named the action last: asked again when the action locks the
// drawing, since a button may relabel itself first (the border style
// button shows the style just chosen).
QPointer<QWidget> g_sourceWidget;
QPointer<QAction> g_sourceAction;

bool setName(const QString& name) {
    if (name.isEmpty())
        return false;
    cadhost::DocumentManager::instance().setActionName(name.toStdString());
    return true;
}

std::string currentName() {
    QString name;
    if (g_sourceWidget)
        name = actionNameFor(g_sourceWidget.data());
    else if (g_sourceAction)
        name = actionNameFor(g_sourceAction.data());
    return name.toStdString();
}

} // namespace

void nameActionFrom(const QWidget* w) {
    if (setName(actionNameFor(w))) {
        g_sourceWidget = const_cast<QWidget*>(w);
        g_sourceAction = nullptr;
    }
}

void nameActionFrom(const QAction* action) {
    if (setName(actionNameFor(action))) {
        g_sourceAction = const_cast<QAction*>(action);
        g_sourceWidget = nullptr;
    }
}

ActionNamer::ActionNamer(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
    cadhost::DocumentManager::instance().setActionNameSource(currentName);
}

ActionNamer::~ActionNamer() {
    cadhost::DocumentManager::instance().setActionNameSource(nullptr);
    g_sourceWidget = nullptr;
    g_sourceAction = nullptr;
    if (qApp)
        qApp->removeEventFilter(this);
}

bool ActionNamer::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::KeyPress)
        return false;
    if (!watched->isWidgetType())
        return false;
    if (type == QEvent::KeyPress) {
        // Only keys that press a focused button start an action.
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key != Qt::Key_Space && key != Qt::Key_Return && key != Qt::Key_Enter)
            return false;
    }
    nameActionFrom(static_cast<QWidget*>(watched));
    return false;
}

} // namespace hostui
