#include "hostui/frame_window.h"

#include "acdb/undo.h"
#include "cadhost/command_processor.h"
#include "cadhost/documents.h"
#include "cadhost/input_broker.h"
#include "cadhost/menu_groups.h"
#include "hostui/action_names.h"
#include "hostui/color_dialog.h"
#include "hostui/command_line_widget.h"
#include "hostui/control_bar.h"
#include "hostui/control_ids.h"
#include "hostui/drawing_view.h"
#include "hostui/input_pump.h"
#include "hostui/properties_palette.h"
#include "hostui/qt_ui_services.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

namespace hostui {

namespace {

FrameWindow* g_frame = nullptr;

} // namespace

FrameWindow* FrameWindow::instance() {
    return g_frame;
}

FrameWindow::FrameWindow(QWidget* parent)
    : QMainWindow(parent), m_view(new DrawingView(this)),
      m_commandLine(new CommandLineWidget(this)), m_properties(new PropertiesPalette(this)),
      m_commandDock(new QDockWidget(tr("Command Line"), this)),
      m_propertiesDock(new QDockWidget(tr("Properties"), this)), m_coordinates(new QLabel(this)),
      m_waiter(new EventLoopInputWaiter(this)), m_pump(new CommandPump(this)),
      m_frameService(std::make_unique<FrameService>(this)),
      m_colorDialogs(std::make_unique<QtColorDialogs>()), m_actionNamer(new ActionNamer(this)) {
    g_frame = this;
    setObjectName(QStringLiteral("cadhostFrame"));
    setWindowTitle(QStringLiteral("cadhost"));
    setDockOptions(QMainWindow::AllowNestedDocks | QMainWindow::AllowTabbedDocks);
    // Side docks take the corners so that top and bottom bars span between them.
    setCorner(Qt::TopLeftCorner, Qt::LeftDockWidgetArea);
    setCorner(Qt::BottomLeftCorner, Qt::LeftDockWidgetArea);
    setCorner(Qt::TopRightCorner, Qt::RightDockWidgetArea);
    setCorner(Qt::BottomRightCorner, Qt::RightDockWidgetArea);
    setCentralWidget(m_view);

    m_commandDock->setObjectName(QStringLiteral("commandLineDock"));
    m_commandDock->setWidget(m_commandLine);
    m_commandDock->setAllowedAreas(Qt::TopDockWidgetArea | Qt::BottomDockWidgetArea);
    m_commandDock->setFeatures(QDockWidget::DockWidgetMovable | QDockWidget::DockWidgetFloatable);
    addDockWidget(Qt::BottomDockWidgetArea, m_commandDock);
    m_commandLine->setMinimumHeight(90);

    m_propertiesDock->setObjectName(QStringLiteral("propertiesDock"));
    m_propertiesDock->setWidget(m_properties);
    addDockWidget(Qt::RightDockWidgetArea, m_propertiesDock);
    m_propertiesDock->hide();

    statusBar()->addPermanentWidget(m_coordinates);
    buildMenus();
    buildStandardToolBar();

    connect(m_view, &DrawingView::cursorMoved, this, [this](const AcGePoint3d& p) {
        m_coordinates->setText(QStringLiteral("%1, %2").arg(p.x, 0, 'f', 4).arg(p.y, 0, 'f', 4));
    });
    connect(m_view, &DrawingView::textTyped, m_commandLine, &CommandLineWidget::typeText);
    connect(m_pump, &CommandPump::commandsProcessed, this, &FrameWindow::afterCommands);
    connect(m_pump, &CommandPump::promptChanged, this, &FrameWindow::onPrompt);

    cadhost::UiServices::install(m_frameService.get());
    cadhost::UiServices::install(m_colorDialogs.get());
    auto& documents = cadhost::DocumentManager::instance();
    documents.addReactor(this);
    showDocument(documents.activeDocument());
    resize(kOpenWidth, kOpenHeight);
    // About six lines of history; the drawing gets the rest.
    resizeDocks({m_commandDock}, {150}, Qt::Vertical);
}

FrameWindow::~FrameWindow() {
    cadhost::MenuGroups::instance().setChangedListener(nullptr);
    destroyControlBars();
    cadhost::DocumentManager::instance().removeReactor(this);
    cadhost::UiServices::install(static_cast<cadhost::MainFrameService*>(nullptr));
    if (&cadhost::UiServices::colorDialogs() == m_colorDialogs.get())
        cadhost::UiServices::install(static_cast<cadhost::ColorDialogService*>(nullptr));
    m_waiter->abandon();
    if (g_frame == this)
        g_frame = nullptr;
}

void FrameWindow::buildMenus() {
    auto commandAction = [this](QMenu* menu, const QString& text, const QString& command,
                                const QKeySequence& shortcut = {}) {
        QAction* action = menu->addAction(text, this, [this, command] { queueCommand(command); });
        if (!shortcut.isEmpty())
            action->setShortcut(shortcut);
        return action;
    };
    QMenu* file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("fileMenu"));
    commandAction(file, tr("&New"), QStringLiteral("_NEW"), QKeySequence::New);
    commandAction(file, tr("&Open..."), QStringLiteral("_OPEN"), QKeySequence::Open);
    commandAction(file, tr("&Save"), QStringLiteral("_SAVE"), QKeySequence::Save);
    commandAction(file, tr("Save &As..."), QStringLiteral("_SAVEAS"));
    commandAction(file, tr("&Close"), QStringLiteral("_CLOSE"));
    file->addSeparator();
    file->addAction(tr("E&xit"), this, &QWidget::close);

    // Undo and Redo run as commands, so a step taken from the menu is the
    // same as one typed; their texts name the step (see updateUndoActions).
    QMenu* edit = menuBar()->addMenu(tr("&Edit"));
    edit->setObjectName(QStringLiteral("editMenu"));
    m_undoAction = commandAction(edit, tr("&Undo"), QStringLiteral("_U"), QKeySequence::Undo);
    m_undoAction->setObjectName(QStringLiteral("editUndo"));
    m_redoAction = commandAction(edit, tr("&Redo"), QStringLiteral("_REDO"));
    m_redoAction->setObjectName(QStringLiteral("editRedo"));
    m_redoAction->setShortcuts(
        {QKeySequence(Qt::CTRL | Qt::Key_Y), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)});
    connect(edit, &QMenu::aboutToShow, this, &FrameWindow::updateUndoActions);

    QMenu* view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("viewMenu"));
    view->addAction(tr("Zoom &Extents"), m_view, &DrawingView::zoomExtents);
    view->addAction(tr("Zoom &In"), this, [this] { m_view->zoomBy(2.0); });
    view->addAction(tr("Zoom &Out"), this, [this] { m_view->zoomBy(0.5); });
    view->addSeparator();
    QMenu* bars = view->addMenu(tr("&Toolbars"));
    connect(bars, &QMenu::aboutToShow, this, [this, bars] {
        bars->clear();
        if (QMenu* all = createPopupMenu()) {
            for (QAction* a : all->actions())
                bars->addAction(a);
            all->setParent(bars);
        }
    });
    commandAction(view, tr("&Properties"), QStringLiteral("_PROPERTIES"));

    QMenu* draw = menuBar()->addMenu(tr("&Draw"));
    draw->setObjectName(QStringLiteral("drawMenu"));
    commandAction(draw, tr("&Table..."), QStringLiteral("_TABLE"));

    QMenu* tools = menuBar()->addMenu(tr("&Tools"));
    tools->setObjectName(QStringLiteral("toolsMenu"));
    commandAction(tools, tr("&Load Application..."), QStringLiteral("_APPLOAD"));
    commandAction(tools, tr("&Run Script..."), QStringLiteral("_SCRIPT"));

    QMenu* help = menuBar()->addMenu(tr("&Help"));
    help->setObjectName(QStringLiteral("helpMenu"));
    help->addAction(tr("&About cadhost"), this, [this] {
        QMessageBox::about(this, tr("About cadhost"),
                           tr("cadhost: a CAD host for the Vorel suite's add-in modules."));
    });
    m_ownMenus = {file, edit, view, draw, tools, help};

    // The host's own menus hold the first bar positions; menu groups place theirs among them.
    auto& groups = cadhost::MenuGroups::instance();
    groups.setHostMenus({"File", "Edit", "View", "Draw", "Tools", "Help"});
    groups.setChangedListener([this] { scheduleGroupRebuild(); });
    if (groups.count() > 0)
        scheduleGroupRebuild();
}

void FrameWindow::scheduleGroupRebuild() {
    // Later, not now: the change may come from a menu item of a menu about to be replaced.
    if (m_groupRebuildQueued)
        return;
    m_groupRebuildQueued = true;
    QMetaObject::invokeMethod(
        this, [this] { rebuildGroupMenus(); }, Qt::QueuedConnection);
}

namespace {

// A menu macro goes to the command line as typed: ^C cancels, ^P is ignored.
void runMacro(const std::string& macro) {
    cadhost::InputBroker::instance().submitText(macro, cadhost::InputSource::Queued);
}

void fillMenu(QMenu* menu, const std::vector<cadhost::menu::MenuItem>& items) {
    using Kind = cadhost::menu::MenuItem::Kind;
    for (const auto& item : items) {
        const QString label = QString::fromStdString(item.label);
        if (item.kind == Kind::Separator) {
            menu->addSeparator();
        } else if (item.kind == Kind::Submenu && !item.children.empty()) {
            fillMenu(menu->addMenu(label), item.children);
        } else {
            const std::string macro = item.macro;
            menu->addAction(label, menu, [macro] { runMacro(macro); });
        }
    }
}

QIcon groupBitmap(const std::string& groupFile, const std::string& name) {
    // Bitmaps are looked up beside the group's menu file, in any letter case.
    const QDir dir = QFileInfo(QString::fromStdString(groupFile)).absoluteDir();
    for (const QString& entry : dir.entryList(QDir::Files))
        if (entry.compare(QString::fromStdString(name), Qt::CaseInsensitive) == 0)
            return QIcon(dir.filePath(entry));
    return {};
}

} // namespace

void FrameWindow::rebuildGroupMenus() {
    m_groupRebuildQueued = false;
    for (QWidget* w : m_groupWidgets) {
        if (auto* bar = qobject_cast<QToolBar*>(w))
            removeToolBar(bar);
        w->deleteLater();
    }
    m_groupWidgets.clear();
    menuBar()->clear();

    auto& groups = cadhost::MenuGroups::instance();
    static const char* const kOwn[] = {"File", "Edit", "View", "Draw", "Tools", "Help"};
    for (const auto& entry : groups.bar()) {
        if (entry.group.empty()) {
            for (std::size_t i = 0; i < m_ownMenus.size(); ++i)
                if (entry.title == kOwn[i])
                    menuBar()->addMenu(m_ownMenus[i]);
            continue;
        }
        const cadhost::menu::PopMenu* pop = groups.popOf(entry);
        if (!pop)
            continue;
        auto* menu = new QMenu(QString::fromStdString(pop->name), this);
        menu->setObjectName(
            QString::fromStdString("groupMenu_" + entry.group + "_" + pop->section));
        fillMenu(menu, pop->items);
        menuBar()->addMenu(menu);
        m_groupWidgets.push_back(menu);
    }
    for (std::size_t g = 0; g < groups.count(); ++g) {
        const cadhost::menu::MenuGroup* group = groups.at(g);
        for (const auto& toolbar : group->toolbars) {
            if (!toolbar.visible)
                continue;
            auto* bar = new QToolBar(QString::fromStdString(toolbar.name), this);
            bar->setObjectName(
                QString::fromStdString("groupToolBar_" + group->name + "_" + toolbar.name));
            for (const auto& button : toolbar.buttons) {
                if (button.separator) {
                    bar->addSeparator();
                    continue;
                }
                const std::string macro = button.macro;
                QAction* action = bar->addAction(groupBitmap(group->file, button.smallBitmap),
                                                 QString::fromStdString(button.name), bar,
                                                 [macro] { runMacro(macro); });
                action->setToolTip(QString::fromStdString(button.name));
                action->setStatusTip(QString::fromStdString(button.help));
            }
            addToolBar(bar);
            m_groupWidgets.push_back(bar);
        }
    }
}

void FrameWindow::buildStandardToolBar() {
    m_standardBar = addToolBar(tr("Standard"));
    m_standardBar->setObjectName(QStringLiteral("standardToolBar"));
    m_standardBar->setAllowedAreas(Qt::AllToolBarAreas);
    QStyle* st = style();
    auto add = [this](const QIcon& icon, const QString& text, int id, const QString& command) {
        QAction* a =
            m_standardBar->addAction(icon, text, this, [this, command] { queueCommand(command); });
        setCommandId(a, id);
        return a;
    };
    add(st->standardIcon(QStyle::SP_FileIcon), tr("New"), kIdNew, QStringLiteral("_NEW"));
    add(st->standardIcon(QStyle::SP_DialogOpenButton), tr("Open"), kIdOpen,
        QStringLiteral("_OPEN"));
    add(st->standardIcon(QStyle::SP_DialogSaveButton), tr("Save"), kIdSave,
        QStringLiteral("_SAVE"));
    m_standardBar->addSeparator();

    // Zoom: the button zooms to the extents, its arrow offers the other zooms.
    auto* zoomMenu = new QMenu(this);
    setCommandId(zoomMenu->addAction(tr("Zoom Extents"), m_view, &DrawingView::zoomExtents),
                 kIdZoomExtents);
    setCommandId(zoomMenu->addAction(tr("Zoom In"), this, [this] { m_view->zoomBy(2.0); }),
                 kIdZoomIn);
    setCommandId(zoomMenu->addAction(tr("Zoom Out"), this, [this] { m_view->zoomBy(0.5); }),
                 kIdZoomOut);
    auto* zoom = new QToolButton(m_standardBar);
    zoom->setText(tr("Zoom"));
    zoom->setToolTip(tr("Zoom Extents"));
    zoom->setIcon(st->standardIcon(QStyle::SP_FileDialogContentsView));
    zoom->setMenu(zoomMenu);
    zoom->setPopupMode(QToolButton::MenuButtonPopup);
    setCommandId(zoom, kIdZoom);
    connect(zoom, &QToolButton::clicked, m_view, &DrawingView::zoomExtents);
    m_standardBar->addWidget(zoom);
    m_standardBar->addSeparator();
    add(st->standardIcon(QStyle::SP_FileDialogDetailedView), tr("Table"), kIdTable,
        QStringLiteral("_TABLE"));
    add(st->standardIcon(QStyle::SP_FileDialogInfoView), tr("Properties"), kIdProperties,
        QStringLiteral("_PROPERTIES"));
}

void FrameWindow::addControlBar(ControlBar* bar, Qt::DockWidgetArea area) {
    bar->setParent(this);
    if (area == Qt::NoDockWidgetArea) {
        addDockWidget(Qt::TopDockWidgetArea, bar);
        bar->setFloating(true);
    } else {
        addDockWidget(area, bar);
    }
}

void FrameWindow::destroyControlBars() {
    const QList<ControlBar*> bars = findChildren<ControlBar*>(Qt::FindDirectChildrenOnly);
    for (ControlBar* bar : bars)
        bar->hide();
    for (ControlBar* bar : bars)
        delete bar;
}

void FrameWindow::queueCommand(const QString& commandName) {
    auto& broker = cadhost::InputBroker::instance();
    // Like a menu macro's ^C^C: end whatever waits for input first.
    for (std::size_t i = broker.requestDepth(); i > 0; --i)
        broker.submitEscape(cadhost::InputSource::Queued);
    broker.submitText((commandName + QLatin1Char(' ')).toStdString(), cadhost::InputSource::Queued);
}

void FrameWindow::showProperties() {
    m_properties->refresh();
    m_propertiesDock->show();
    m_propertiesDock->raise();
}

void FrameWindow::updateUndoActions() {
    AcDbUndoHistory* history =
        m_shown ? cadhost::DocumentManager::instance().undoHistory(m_shown) : nullptr;
    auto label = [](const QString& verb, const std::string& name) {
        QString step = QString::fromStdString(name.empty() ? std::string("Edit") : name);
        step.replace(QLatin1Char('&'), QStringLiteral("&&"));
        return verb + QLatin1Char(' ') + step;
    };
    const bool canUndo = history && history->canUndo();
    const bool canRedo = history && history->canRedo();
    m_undoAction->setText(canUndo ? label(tr("&Undo"), history->undoName()) : tr("&Undo"));
    m_redoAction->setText(canRedo ? label(tr("&Redo"), history->redoName()) : tr("&Redo"));
    m_undoAction->setEnabled(canUndo);
    m_redoAction->setEnabled(canRedo);
}

void FrameWindow::refreshDrawing() {
    updateUndoActions();
    m_view->refresh();
    if (m_propertiesDock->isVisible())
        m_properties->refresh();
    emit drawingRefreshed();
}

void FrameWindow::documentLockModeChanged(AcApDocument* doc, AcAp::DocLockMode,
                                          AcAp::DocLockMode myCurrentMode, AcAp::DocLockMode,
                                          const char*) {
    // Inside a command the command's end (or its next prompt) redraws.
    if (doc != m_shown || myCurrentMode != AcAp::kNotLocked ||
        !cadhost::CommandProcessor::instance().isIdle() || m_refreshQueued)
        return;
    // From the event loop, once the action has returned: objects it opened
    // are closed by then.
    m_refreshQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_refreshQueued = false;
        refreshDrawing();
    });
}

void FrameWindow::afterCommands() {
    auto* active = cadhost::DocumentManager::instance().activeDocument();
    if (active != m_shown)
        showDocument(active);
    else if (m_view->isAutoFit())
        m_view->zoomExtents();
    refreshDrawing();
    updateTitle();
}

void FrameWindow::onPrompt(const cadhost::InputRequest* request) {
    m_commandLine->showPrompt(request);
    // A prompt shows what the command did so far (a table placed, cells changed).
    afterCommands();
}

void FrameWindow::showDocument(AcApDocument* doc) {
    m_shown = doc;
    m_view->setDatabase(doc ? doc->database() : nullptr);
    updateTitle();
    updateUndoActions();
}

void FrameWindow::updateTitle() {
    QString title = QStringLiteral("cadhost");
    if (m_shown)
        title += QStringLiteral(" - [%1]").arg(QString::fromUtf8(m_shown->docTitle()));
    setWindowTitle(title);
}

void FrameWindow::documentActivated(AcApDocument* doc) {
    showDocument(doc);
}

void FrameWindow::documentBecameCurrent(AcApDocument* doc) {
    showDocument(doc);
}

void FrameWindow::documentToBeDestroyed(AcApDocument* doc) {
    if (doc == m_shown)
        showDocument(nullptr);
}

void FrameWindow::closeEvent(QCloseEvent* event) {
    // Prompts still waiting are answered with Esc so their commands unwind.
    m_waiter->abandon();
    QMainWindow::closeEvent(event);
}

} // namespace hostui
