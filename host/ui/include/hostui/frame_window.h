#pragma once
#include <vector>
// The host's main frame: menu bar, dock areas on all four sides (toolbars and
// control bars dock there or float), the drawing view of the active drawing in
// the middle, the command line docked at the bottom and the properties
// palette on the right. One per process.

#include "acdocman.h"
#include "cadhost/input_broker.h"

#include <QMainWindow>
#include <memory>

class QAction;
class QDockWidget;
class QLabel;
class QToolBar;
class QMenu;

namespace hostui {

class CommandLineWidget;
class CommandPump;
class ControlBar;
class ActionNamer;
class DrawingView;
class EventLoopInputWaiter;
class FrameService;
class QtColorDialogs;
class PropertiesPalette;

class FrameWindow : public QMainWindow, public AcApDocManagerReactor {
    Q_OBJECT
public:
    // Standard toolbar command ids.
    enum CommandId {
        kIdNew = 57600,
        kIdOpen = 57601,
        kIdSave = 57603,
        kIdZoom = 59000,
        kIdZoomExtents = 59001,
        kIdZoomIn = 59002,
        kIdZoomOut = 59003,
        kIdTable = 59010,
        kIdProperties = 59011,
    };

    // The frame's size when it opens; a headless host's screen has this size.
    static constexpr int kOpenWidth = 1280;
    static constexpr int kOpenHeight = 800;

    explicit FrameWindow(QWidget* parent = nullptr);
    ~FrameWindow() override;

    // The frame of this process, or null before it exists or after it went.
    static FrameWindow* instance();

    DrawingView* drawingView() const { return m_view; }
    CommandLineWidget* commandLine() const { return m_commandLine; }
    PropertiesPalette* propertiesPalette() const { return m_properties; }
    QDockWidget* propertiesDock() const { return m_propertiesDock; }
    QToolBar* standardToolBar() const { return m_standardBar; }
    EventLoopInputWaiter* inputWaiter() const { return m_waiter; }
    CommandPump* commandPump() const { return m_pump; }

    // Adds a control bar docked on a side (or floating when area is none).
    void addControlBar(ControlBar* bar, Qt::DockWidgetArea area);
    // Hides every control bar, then destroys them (the frame does so as it
    // goes, before the modules are unloaded): a bar still shown reports
    // itself hidden just before it is destroyed.
    void destroyControlBars();

    // Runs a command as a menu item does: a command in progress is cancelled
    // first, then the name is queued (with its terminating blank).
    void queueCommand(const QString& commandName);
    void showProperties();
    // Redraws the drawing and refreshes what shows the drawing's state.
    void refreshDrawing();
    // Edit menu: Undo and Redo name the step they would take (Ctrl+Z, Ctrl+Y).
    QAction* undoAction() const { return m_undoAction; }
    QAction* redoAction() const { return m_redoAction; }
    void updateUndoActions();

    // ---- AcApDocManagerReactor
    void documentActivated(AcApDocument* doc) override;
    void documentBecameCurrent(AcApDocument* doc) override;
    void documentToBeDestroyed(AcApDocument* doc) override;
    // An action outside any command (a toolbar button, a picker) ends by
    // releasing the document lock: its edits are redrawn right away.
    void documentLockModeChanged(AcApDocument* doc, AcAp::DocLockMode myPreviousMode,
                                 AcAp::DocLockMode myCurrentMode, AcAp::DocLockMode currentMode,
                                 const char* globalCommandName) override;

signals:
    // The drawing view and what shows the drawing's state were refreshed.
    void drawingRefreshed();

protected:
    void closeEvent(QCloseEvent* event) override;

    // Menu bar and toolbars of the loaded menu groups, rebuilt after they change.
    void rebuildGroupMenus();

private:
    void buildMenus();
    void scheduleGroupRebuild();
    void buildStandardToolBar();
    void showDocument(AcApDocument* doc);
    void updateTitle();
    void onPrompt(const cadhost::InputRequest* request);
    void afterCommands();

    DrawingView* m_view;
    CommandLineWidget* m_commandLine;
    PropertiesPalette* m_properties;
    QDockWidget* m_commandDock;
    QDockWidget* m_propertiesDock;
    QToolBar* m_standardBar = nullptr;
    std::vector<QMenu*> m_ownMenus;       // File, Edit, View, Draw, Tools, Help
    std::vector<QWidget*> m_groupWidgets; // menus and toolbars made from menu groups
    bool m_groupRebuildQueued = false;
    QLabel* m_coordinates;
    EventLoopInputWaiter* m_waiter;
    CommandPump* m_pump;
    std::unique_ptr<FrameService> m_frameService;
    // The colour dialog is the frame's as long as there is one, headless too.
    std::unique_ptr<QtColorDialogs> m_colorDialogs;
    AcApDocument* m_shown = nullptr;
    bool m_autoFit = true;
    bool m_refreshQueued = false;
    QAction* m_undoAction = nullptr;
    QAction* m_redoAction = nullptr;
    ActionNamer* m_actionNamer;
};

} // namespace hostui
