#pragma once
// Acting on the user interface as a user would, for the script directives.
// Each call checks synchronously that its target exists and returns the
// reason when it does not; the click or key itself is posted to the event
// loop, because it may open a menu, popup or dialog that runs its own loop.
//
// Conventions the toolbar, popups and pickers follow so that scripts reach them:
//   - a toolbar button carries its command id in the "commandId" property (on
//     the QToolButton or its default QAction);
//   - the drop-down arrow is clicked at the button's menu sub-control (the
//     right end of the button); a QToolButton with a QMenu shows the menu;
//   - the open popup is QApplication::activePopupWidget(), or the active modal
//     window; "@choose N" triggers the menu action with command id N (or data
//     N), else calls the popup's invokable chooseEntry(int), else clicks its
//     control with controlId N; "@tearoff" calls the popup's invokable
//     tearOff(), else drags its child named "tearOffBar" away (a tear-off QMenu
//     is torn off); given a drop point, the cursor is first moved there, as
//     the hand of a user who drags the bar to it, so that a picker opened
//     under the cursor opens there;
//   - a floating picker is a visible top-level window with that title and a
//     control with that id; "@picker" calls its invokable clickControl(int),
//     else clicks that control;
//   - dialog controls carry "controlId"; 1 is OK and 2 is Cancel.

#include <functional>
#include <optional>
#include <string>

#include <QPoint>

class QDialog;
class QWidget;

namespace hostapp {

using Problem = std::optional<std::string>;

Problem clickToolbarButton(int commandId);
Problem openDropDown(int commandId);
Problem chooseInPopup(int entry);
Problem tearOffPopup(std::optional<QPoint> dropAt = std::nullopt);
Problem clickPickerControl(const std::string& title, int controlId);
Problem pressKey(const std::string& keyName);
// "@menu Title>Sub>Item": the frame's menu-bar menu with that title, then its
// submenus by label ('&' marks ignored, letter case counting); a path that
// ends at a menu leaves it open (cascading from the bar), one that ends at an
// item chooses it as a click would.
Problem openMenuPath(const std::string& path);

// The open popup (menu or popup window), null when none.
QWidget* openPopup();
// The visible modal dialog with exactly this title, null when none.
QDialog* findModalDialog(const std::string& title);
// The topmost visible modal window (dialog or message box), null when none.
QWidget* activeModalWindow();
// What a window shows in its visible labels, text views and boxes, one per line.
std::string shownText(QWidget* window);

Problem setControlText(QDialog* dialog, int controlId, const std::string& text);
Problem setControlCheck(QDialog* dialog, int controlId, bool on);
Problem selectControlItem(QDialog* dialog, int controlId, const std::string& text);
Problem clickControl(QDialog* dialog, int controlId);

// Called at the start of every posted action (the script runner schedules
// its next line from there).
void setActionHook(std::function<void()> hook);

// A synthesised left click at a widget point (press and release), sent now.
void sendClick(QWidget* widget, const QPoint& pos);
// Key code of a name ("Down", "Enter", "F1", "A"), 0 when unknown.
int keyCodeOf(const std::string& keyName);

} // namespace hostapp
