#include "hostapp/ui_automation.h"

#include "hostui/action_names.h"
#include "hostui/control_ids.h"

#include <QAbstractButton>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCursor>
#include <QDialog>
#include <QDoubleSpinBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QRegularExpression>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOptionToolButton>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <functional>
#include <map>

namespace hostapp {

namespace {

std::string idText(int id) {
    return std::to_string(id);
}

std::function<void()> g_actionHook;

// Runs f later in the event loop, unless the widget went away meanwhile. The
// action hook runs first, inside the same dispatch, so whatever it posts comes
// after the action's own effects (a loop the action ends has returned by then;
// a loop it starts is running).
template <class F> void post(QWidget* target, F f) {
    QPointer<QWidget> guard(target);
    QMetaObject::invokeMethod(
        qApp,
        [guard, f] {
            if (g_actionHook)
                g_actionHook();
            if (guard)
                f(guard.data());
        },
        Qt::QueuedConnection);
}

bool hasInvokable(QObject* o, const char* signature) {
    return o && o->metaObject()->indexOfMethod(QMetaObject::normalizedSignature(signature)) >= 0;
}

QAction* findToolbarAction(int id) {
    for (QWidget* top : QApplication::topLevelWidgets())
        for (QToolBar* bar : top->findChildren<QToolBar*>())
            if (QAction* a = hostui::findCommandAction(bar, id))
                return a;
    return nullptr;
}

QAction* menuActionFor(QMenu* menu, int entry) {
    if (QAction* a = hostui::findCommandAction(menu, entry))
        return a;
    for (QAction* a : menu->actions()) {
        bool ok = false;
        if (a->data().toInt(&ok) == entry && ok)
            return a;
    }
    return nullptr;
}

void sendMouse(QWidget* w, QEvent::Type type, const QPoint& pos, Qt::MouseButtons buttons,
               Qt::KeyboardModifiers mods = Qt::NoModifier) {
    const QPointF local(pos);
    const QPointF global(w->mapToGlobal(pos));
    QMouseEvent event(type, local, global, Qt::LeftButton, buttons, mods);
    QApplication::sendEvent(w, &event);
}

void sendKey(QWidget* w, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(w, &release);
}

QString keyText(int key) {
    switch (key) {
    case Qt::Key_Return:
        return QStringLiteral("\r");
    case Qt::Key_Escape:
        return QString(QChar(27));
    case Qt::Key_Space:
        return QStringLiteral(" ");
    case Qt::Key_Tab:
        return QStringLiteral("\t");
    default:
        if (key >= Qt::Key_A && key <= Qt::Key_Z)
            return QString(QChar(key));
        if (key >= Qt::Key_0 && key <= Qt::Key_9)
            return QString(QChar(key));
        return {};
    }
}

} // namespace

void setActionHook(std::function<void()> hook) {
    g_actionHook = std::move(hook);
}

void sendClick(QWidget* widget, const QPoint& pos) {
    QPointer<QWidget> guard(widget);
    sendMouse(widget, QEvent::MouseButtonPress, pos, Qt::LeftButton);
    if (guard)
        sendMouse(guard, QEvent::MouseButtonRelease, pos, Qt::NoButton);
}

int keyCodeOf(const std::string& name) {
    static const std::map<std::string, int> keys = {
        {"down", Qt::Key_Down},     {"up", Qt::Key_Up},
        {"left", Qt::Key_Left},     {"right", Qt::Key_Right},
        {"enter", Qt::Key_Return},  {"return", Qt::Key_Return},
        {"escape", Qt::Key_Escape}, {"esc", Qt::Key_Escape},
        {"space", Qt::Key_Space},   {"tab", Qt::Key_Tab},
        {"pageup", Qt::Key_PageUp}, {"pagedown", Qt::Key_PageDown},
        {"home", Qt::Key_Home},     {"end", Qt::Key_End},
        {"delete", Qt::Key_Delete}, {"backspace", Qt::Key_Backspace},
        {"insert", Qt::Key_Insert},
    };
    std::string lower;
    for (char c : name)
        lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    if (auto it = keys.find(lower); it != keys.end())
        return it->second;
    if (lower.size() >= 2 && lower[0] == 'f') {
        const int n = std::atoi(lower.c_str() + 1);
        if (n >= 1 && n <= 24 && lower.find_first_not_of("0123456789", 1) == std::string::npos)
            return Qt::Key_F1 + n - 1;
    }
    if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        return std::toupper(static_cast<unsigned char>(name[0]));
    return 0;
}

Problem clickToolbarButton(int id) {
    if (QToolButton* button = hostui::findCommandButton(id)) {
        if (!button->isEnabled())
            return "toolbar button " + idText(id) + " is disabled";
        post(button, [](QWidget* w) {
            hostui::nameActionFrom(w); // as a real press would
            static_cast<QToolButton*>(w)->click();
        });
        return std::nullopt;
    }
    if (QAction* action = findToolbarAction(id)) {
        if (!action->isEnabled())
            return "toolbar button " + idText(id) + " is disabled";
        QPointer<QAction> guard(action);
        QMetaObject::invokeMethod(
            qApp,
            [guard] {
                if (g_actionHook)
                    g_actionHook();
                if (guard) {
                    hostui::nameActionFrom(guard.data());
                    guard->trigger();
                }
            },
            Qt::QueuedConnection);
        return std::nullopt;
    }
    return "no toolbar button has command id " + idText(id);
}

namespace {

QString withoutMnemonics(QString text) {
    return text.remove(QLatin1Char('&'));
}

QAction* actionLabelled(const QList<QAction*>& actions, const QString& label) {
    for (QAction* a : actions)
        if (!a->isSeparator() && withoutMnemonics(a->text()) == label)
            return a;
    return nullptr;
}

} // namespace

Problem openMenuPath(const std::string& path) {
    QStringList parts = QString::fromStdString(path).split(QLatin1Char('>'));
    for (QString& part : parts)
        part = part.trimmed();
    if (parts.isEmpty() || parts.front().isEmpty())
        return "expected @menu TITLE[>ITEM...]";
    QMainWindow* frame = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (auto* w = qobject_cast<QMainWindow*>(top); w && w->isVisible() && w->menuBar())
            frame = w;
    if (!frame)
        return "no frame window with a menu bar is shown";
    QMenuBar* bar = frame->menuBar();
    QAction* top = actionLabelled(bar->actions(), parts.front());
    if (!top || !top->menu())
        return "the menu bar has no menu \"" + parts.front().toStdString() + "\"";
    // Check the whole path now; open or choose later, in the event loop.
    std::vector<QMenu*> menus{top->menu()};
    QAction* leaf = nullptr;
    for (qsizetype i = 1; i < parts.size(); ++i) {
        QAction* a = actionLabelled(menus.back()->actions(), parts[i]);
        if (!a)
            return "menu \"" + withoutMnemonics(menus.back()->title()).toStdString() +
                   "\" has no item \"" + parts[i].toStdString() + "\"";
        if (a->menu()) {
            menus.push_back(a->menu());
        } else if (i + 1 == parts.size()) {
            leaf = a;
        } else {
            return "\"" + parts[i].toStdString() + "\" is no submenu";
        }
    }
    if (leaf && !leaf->isEnabled())
        return "menu item \"" + parts.back().toStdString() + "\" is disabled";
    QPointer<QAction> topAction(top);
    QPointer<QAction> leafAction(leaf);
    post(bar, [topAction, leafAction, menus](QWidget* w) {
        if (leafAction) {
            leafAction->trigger();
            return;
        }
        auto* menuBar = static_cast<QMenuBar*>(w);
        if (!topAction)
            return;
        QMenu* menu = menus.front();
        menu->popup(menuBar->mapToGlobal(menuBar->actionGeometry(topAction).bottomLeft()));
        for (std::size_t i = 1; i < menus.size(); ++i) {
            QAction* opener = menus[i]->menuAction();
            const QRect r = menus[i - 1]->actionGeometry(opener);
            menus[i - 1]->setActiveAction(opener);
            menus[i]->popup(menus[i - 1]->mapToGlobal(r.topRight()));
        }
    });
    return std::nullopt;
}

Problem openDropDown(int id) {
    QToolButton* button = hostui::findCommandButton(id);
    if (!button)
        return "no toolbar button has command id " + idText(id);
    if (!button->isVisible())
        return "toolbar button " + idText(id) + " is not shown";
    if (!button->isEnabled())
        return "toolbar button " + idText(id) + " is disabled";
    if (button->menu()) {
        post(button, [](QWidget* w) {
            hostui::nameActionFrom(w);
            static_cast<QToolButton*>(w)->showMenu();
        });
        return std::nullopt;
    }
    QStyleOptionToolButton option;
    option.initFrom(button);
    option.features |= QStyleOptionToolButton::MenuButtonPopup;
    option.subControls = QStyle::SC_ToolButton | QStyle::SC_ToolButtonMenu;
    QRect arrow = button->style()->subControlRect(QStyle::CC_ToolButton, &option,
                                                  QStyle::SC_ToolButtonMenu, button);
    if (!arrow.isValid() || !button->rect().contains(arrow.center()))
        arrow = QRect(button->width() - 6, 0, 6, button->height());
    const QPoint at = arrow.center();
    post(button, [at](QWidget* w) { sendClick(w, at); });
    return std::nullopt;
}

QWidget* activeModalWindow() {
    QWidget* modal = QApplication::activeModalWidget();
    return modal && modal->isVisible() ? modal : nullptr;
}

QWidget* openPopup() {
    if (QWidget* popup = QApplication::activePopupWidget())
        return popup;
    QWidget* modal = activeModalWindow();
    if (modal && (hasInvokable(modal, "chooseEntry(int)") || hasInvokable(modal, "tearOff()")))
        return modal;
    return nullptr;
}

Problem chooseInPopup(int entry) {
    QWidget* popup = openPopup();
    if (!popup)
        return std::string("no popup or menu is open");
    if (auto* menu = qobject_cast<QMenu*>(popup)) {
        QAction* action = menuActionFor(menu, entry);
        if (!action)
            return "the open menu has no item " + idText(entry);
        if (!action->isEnabled())
            return "menu item " + idText(entry) + " is disabled";
        // Through the keyboard, so the menu closes and reports the choice.
        QPointer<QAction> guard(action);
        post(menu, [guard](QWidget* w) {
            if (!guard)
                return;
            auto* m = static_cast<QMenu*>(w);
            m->setActiveAction(guard);
            sendKey(m, Qt::Key_Return, QStringLiteral("\r"));
        });
        return std::nullopt;
    }
    if (hasInvokable(popup, "chooseEntry(int)")) {
        post(popup, [entry](QWidget* w) {
            QMetaObject::invokeMethod(w, "chooseEntry", Q_ARG(int, entry));
        });
        return std::nullopt;
    }
    if (QWidget* control = hostui::findControl(popup, entry)) {
        const QPoint at = control->rect().center();
        post(control, [at](QWidget* w) { sendClick(w, at); });
        return std::nullopt;
    }
    return "the open popup has no entry " + idText(entry);
}

Problem tearOffPopup(std::optional<QPoint> dropAt) {
    QWidget* popup = openPopup();
    if (!popup)
        return std::string("no popup or menu is open");
    // The hand is where the drag ends before the popup learns of the tear-off.
    auto moveCursor = [dropAt] {
        if (dropAt)
            QCursor::setPos(*dropAt);
    };
    if (auto* menu = qobject_cast<QMenu*>(popup)) {
        if (!menu->isTearOffEnabled())
            return std::string("the open menu cannot be torn off");
        post(menu, [moveCursor, dropAt](QWidget* w) {
            moveCursor();
            auto* m = static_cast<QMenu*>(w);
            m->showTearOffMenu(dropAt ? *dropAt : m->pos() + QPoint(40, 40));
            m->close();
        });
        return std::nullopt;
    }
    if (hasInvokable(popup, "tearOff()")) {
        post(popup, [moveCursor](QWidget* w) {
            moveCursor();
            QMetaObject::invokeMethod(w, "tearOff");
        });
        return std::nullopt;
    }
    auto* bar = popup->findChild<QWidget*>(QStringLiteral("tearOffBar"));
    if (!bar)
        return std::string("the open popup has no tear-off bar");
    post(bar, [moveCursor](QWidget* w) {
        // Press on the bar, drag it well away, release.
        moveCursor();
        QPointer<QWidget> guard(w);
        const QPoint start = w->rect().center();
        sendMouse(w, QEvent::MouseButtonPress, start, Qt::LeftButton);
        for (int step = 1; step <= 4 && guard; ++step)
            sendMouse(w, QEvent::MouseMove, start + QPoint(0, 20 * step), Qt::LeftButton);
        if (guard)
            sendMouse(w, QEvent::MouseButtonRelease, start + QPoint(0, 80), Qt::NoButton);
    });
    return std::nullopt;
}

Problem clickPickerControl(const std::string& title, int id) {
    const QString wanted = QString::fromStdString(title);
    QWidget* picker = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->windowTitle() == wanted) {
            picker = top;
            break;
        }
    if (!picker)
        return "no floating picker titled \"" + title + "\" is shown";
    // Checked here too for pickers that click for themselves: they pass over
    // an id they do not have, and the script would go on as if it had clicked.
    QWidget* control = hostui::findControl(picker, id);
    if (!control)
        return "the picker \"" + title + "\" has no control " + idText(id);
    if (hasInvokable(picker, "clickControl(int)")) {
        post(picker, [id](QWidget* w) {
            hostui::nameActionFrom(w);
            QMetaObject::invokeMethod(w, "clickControl", Q_ARG(int, id));
        });
        return std::nullopt;
    }
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        post(button, [](QWidget* w) {
            hostui::nameActionFrom(w);
            static_cast<QAbstractButton*>(w)->click();
        });
        return std::nullopt;
    }
    const QPoint at = control->rect().center();
    post(control, [at](QWidget* w) { sendClick(w, at); });
    return std::nullopt;
}

Problem pressKey(const std::string& keyName) {
    const int key = keyCodeOf(keyName);
    if (!key)
        return "unknown key \"" + keyName + "\"";
    QWidget* target = QApplication::activePopupWidget();
    // Inside a popup, its focused control (the list of a combo box's drop-down).
    if (target && target->focusWidget())
        target = target->focusWidget();
    if (!target) {
        if (QWidget* modal = activeModalWindow())
            target = modal->focusWidget() ? modal->focusWidget() : modal;
    }
    if (!target)
        target = QApplication::focusWidget();
    if (!target)
        target = QApplication::activeWindow();
    if (!target)
        return std::string("no window has the keyboard focus");
    const QString text = keyText(key);
    post(target, [key, text](QWidget* w) { sendKey(w, key, text); });
    return std::nullopt;
}

std::string shownText(QWidget* window) {
    static const QRegularExpression mnemonic("&(.)"); // "&&" is a shown '&'
    QStringList parts;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        if (!w->isVisible())
            continue;
        if (auto* label = qobject_cast<QLabel*>(w))
            parts << QString(label->text()).replace(mnemonic, "\\1");
        else if (auto* text = qobject_cast<QTextEdit*>(w))
            parts << text->toPlainText();
        else if (auto* plain = qobject_cast<QPlainTextEdit*>(w))
            parts << plain->toPlainText();
        else if (auto* edit = qobject_cast<QLineEdit*>(w))
            parts << edit->text();
    }
    return parts.join('\n').toStdString();
}

QDialog* findModalDialog(const std::string& title) {
    const QString wanted = QString::fromStdString(title);
    // The active modal window first: nested dialogs answer innermost first.
    if (auto* active = qobject_cast<QDialog*>(activeModalWindow()))
        if (active->windowTitle() == wanted)
            return active;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* dialog = qobject_cast<QDialog*>(top);
        if (dialog && dialog->isVisible() && dialog->isModal() && dialog->windowTitle() == wanted)
            return dialog;
    }
    return nullptr;
}

Problem setControlText(QDialog* dialog, int id, const std::string& text) {
    QWidget* control = hostui::findControl(dialog, id);
    if (!control)
        return "the dialog has no control " + idText(id);
    if (!control->isEnabled())
        return "control " + idText(id) + " is disabled";
    const QString value = QString::fromStdString(text);
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        if (edit->isReadOnly())
            return "control " + idText(id) + " is read-only";
        edit->setFocus();
        edit->selectAll();
        edit->insert(value); // as typed: textEdited fires
        if (edit->text() != value)
            edit->setText(value); // a validator refused the typing

    } else if (auto* plain = qobject_cast<QPlainTextEdit*>(control)) {
        plain->setPlainText(value);
    } else if (auto* rich = qobject_cast<QTextEdit*>(control)) {
        rich->setPlainText(value);
    } else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->isEditable()) {
        combo->setEditText(value);
    } else if (auto* spin = qobject_cast<QAbstractSpinBox*>(control)) {
        if (auto* line = spin->findChild<QLineEdit*>())
            line->setText(value);
        spin->interpretText();
    } else {
        return "control " + idText(id) + " is not an edit control";
    }
    return std::nullopt;
}

Problem setControlCheck(QDialog* dialog, int id, bool on) {
    auto* button = qobject_cast<QAbstractButton*>(hostui::findControl(dialog, id));
    if (!button || !button->isCheckable())
        return "the dialog has no check box " + idText(id);
    if (!button->isEnabled())
        return "check box " + idText(id) + " is disabled";
    if (button->isChecked() != on)
        button->click(); // as a user would: toggled and clicked are emitted
    return std::nullopt;
}

Problem selectControlItem(QDialog* dialog, int id, const std::string& text) {
    QWidget* control = hostui::findControl(dialog, id);
    if (!control)
        return "the dialog has no control " + idText(id);
    const QString value = QString::fromStdString(text);
    if (auto* combo = qobject_cast<QComboBox*>(control)) {
        const int index = combo->findText(value);
        if (index < 0)
            return "list " + idText(id) + " has no item \"" + text + "\"";
        combo->setCurrentIndex(index);
        emit combo->activated(index);
        return std::nullopt;
    }
    if (auto* list = qobject_cast<QListWidget*>(control)) {
        const auto items = list->findItems(value, Qt::MatchExactly);
        if (items.isEmpty())
            return "list " + idText(id) + " has no item \"" + text + "\"";
        list->setCurrentItem(items.first());
        emit list->itemClicked(items.first());
        return std::nullopt;
    }
    return "control " + idText(id) + " is not a list";
}

Problem clickControl(QDialog* dialog, int id) {
    QWidget* control = hostui::findControl(dialog, id);
    if (!control) {
        // OK and Cancel are always there, as on the platform's dialogs.
        if (id == 1) {
            post(dialog, [](QWidget* w) { static_cast<QDialog*>(w)->accept(); });
            return std::nullopt;
        }
        if (id == 2) {
            post(dialog, [](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
            return std::nullopt;
        }
        return "the dialog has no control " + idText(id);
    }
    if (!control->isEnabled())
        return "control " + idText(id) + " is disabled";
    if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        post(button, [](QWidget* w) { static_cast<QAbstractButton*>(w)->click(); });
        return std::nullopt;
    }
    const QPoint at = control->rect().center();
    post(control, [at](QWidget* w) { sendClick(w, at); });
    return std::nullopt;
}

} // namespace hostapp
