#include "hostui/control_ids.h"

#include <QAction>
#include <QApplication>
#include <QMenu>
#include <QToolButton>
#include <QVariant>
#include <QWidget>

namespace hostui {

namespace {

int intProperty(const QObject* object, const char* name) {
    if (!object)
        return -1;
    bool ok = false;
    const int v = object->property(name).toInt(&ok);
    return ok ? v : -1;
}

} // namespace

void setControlId(QWidget* widget, int id) {
    if (widget)
        widget->setProperty(kControlIdProperty, id);
}

int controlId(const QWidget* widget) {
    return intProperty(widget, kControlIdProperty);
}

QWidget* findControl(QWidget* root, int id) {
    if (!root)
        return nullptr;
    if (controlId(root) == id)
        return root;
    const auto children = root->findChildren<QWidget*>();
    QWidget* hidden = nullptr;
    for (QWidget* w : children) {
        if (controlId(w) != id)
            continue;
        if (w->isVisibleTo(root))
            return w;
        if (!hidden)
            hidden = w;
    }
    return hidden;
}

void setCommandId(QObject* object, int id) {
    if (object)
        object->setProperty(kCommandIdProperty, id);
}

int commandId(const QObject* object) {
    return intProperty(object, kCommandIdProperty);
}

QToolButton* findCommandButton(int id) {
    QToolButton* hidden = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets()) {
        for (QToolButton* button : top->findChildren<QToolButton*>()) {
            const bool match =
                commandId(button) == id ||
                (button->defaultAction() && commandId(button->defaultAction()) == id);
            if (!match)
                continue;
            if (button->isVisible())
                return button;
            if (!hidden)
                hidden = button;
        }
    }
    return hidden;
}

QAction* findCommandAction(QWidget* menuOrBar, int id) {
    if (!menuOrBar)
        return nullptr;
    for (QAction* action : menuOrBar->actions()) {
        if (commandId(action) == id)
            return action;
        if (QMenu* sub = action->menu())
            if (QAction* found = findCommandAction(sub, id))
                return found;
    }
    return nullptr;
}

} // namespace hostui
