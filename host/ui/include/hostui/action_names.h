#pragma once
// Names the undo step of an action outside any command (a toolbar button, a
// drop-down, a floating picker) after what the user pressed, so that the Edit
// menu can say "Undo Merge Cells" while modules never mention undo: the
// document manager names the next lock-bounded group with it.

#include <QObject>
#include <QString>

class QAction;
class QWidget;

namespace hostui {

// The name a press on w gives the action it starts: the tooltip (or text) of
// the toolbar button or box under it, the title of a floating picker or
// modeless window. Empty where the press names nothing: popups, menus and
// modal dialogs belong to the action that opened them, and the frame's own
// parts (drawing, command line) start commands, which name themselves.
QString actionNameFor(const QWidget* w);
QString actionNameFor(const QAction* action);
// A label as a step's name: mnemonics and a trailing "..." dropped, first line.
QString cleanActionLabel(const QString& label);

// Hands the name of a press on w (or a trigger of action) to the document
// manager; a press that names nothing leaves the current name alone.
void nameActionFrom(const QWidget* w);
void nameActionFrom(const QAction* action);

// Watches every mouse press and key press of the application and names the
// action it starts. The frame installs one.
class ActionNamer : public QObject {
public:
    explicit ActionNamer(QObject* parent = nullptr);
    ~ActionNamer() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace hostui
