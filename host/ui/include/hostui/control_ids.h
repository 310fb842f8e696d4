#pragma once
// Integer ids on widgets, as dialog templates and toolbars number their
// controls. Scripts and routing find controls by them:
//   "controlId"  a control of a dialog or floating picker (1 OK, 2 Cancel);
//   "commandId"  a toolbar button, a QAction or a menu item.

#include <QString>

class QWidget;
class QObject;
class QAction;
class QDialog;
class QToolButton;

namespace hostui {

inline constexpr const char* kControlIdProperty = "controlId";
inline constexpr const char* kCommandIdProperty = "commandId";

void setControlId(QWidget* widget, int id);
// The id of a control, or -1.
int controlId(const QWidget* widget);
// The first visible-or-not descendant of root (or root itself) with the id.
QWidget* findControl(QWidget* root, int id);

void setCommandId(QObject* object, int id); // a QAction or a widget
int commandId(const QObject* object);
// The tool button for a command id in any top-level window: a button with
// the id, or one whose default action has it. Visible buttons win.
QToolButton* findCommandButton(int id);
// The action with the command id among a widget's actions (menus, submenus).
QAction* findCommandAction(QWidget* menuOrBar, int id);

} // namespace hostui
