// The Edit menu names the step Undo and Redo would take, after the command
// or the toolbar button (or picker) that made it; Ctrl+Z and Ctrl+Y take
// steps back and forth from the drawing and from the command line.
#include "arxHeaders.h"

#include "acdb/undo.h"
#include "cadhost/cell_selection.h"
#include "cadhost/command_processor.h"
#include "cadhost/documents.h"
#include "cadhost/runtime.h"
#include "hostui/action_names.h"
#include "hostui/command_line_widget.h"
#include "hostui/control_bar.h"
#include "hostui/frame_window.h"
#include "hostui/host_commands.h"
#include "hostui/input_pump.h"
#include "runtime_core/drawing_support.h"

#include <QAction>
#include <QDockWidget>
#include <QLineEdit>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <memory>

namespace {

AcDbObjectId appendLine(AcDbDatabase* db) {
    AcDbObjectId id;
    auto* line = new AcDbLine(AcGePoint3d(0, 0, 0), AcGePoint3d(10, 5, 0));
    EXPECT_EQ(acdbAppendToBlock(db, "*Model_Space", line, id), Acad::eOk);
    line->close();
    return id;
}

class UndoMenu : public ::testing::Test {
protected:
    void SetUp() override {
        cadhost::resetRuntimeState();
        cadhost::initializeRuntime();
        hostui::registerHostCommands();
        frame = std::make_unique<hostui::FrameWindow>();
        frame->show();
        doc = acDocManagerPtr()->newDocument();
        cadhost::DocumentManager::instance().setActionName("");
    }
    void TearDown() override {
        frame.reset();
        hostui::unregisterHostCommands();
        cadhost::resetRuntimeState();
    }
    AcDbUndoHistory* history() const {
        return cadhost::DocumentManager::instance().undoHistory(doc);
    }
    // A toolbar in a docked control bar whose button edits under the lock,
    // as the add-in's buttons do, without a word about undo.
    QToolButton* addEditButton(const QString& tip) {
        auto* bar = new hostui::ControlBar(QStringLiteral("Tables"), frame.get());
        auto* tools = new QToolBar;
        auto* button = new QToolButton;
        button->setToolTip(tip);
        button->setText(QStringLiteral("B"));
        tools->addWidget(button);
        bar->setContents(tools);
        frame->addControlBar(bar, Qt::TopDockWidgetArea);
        QObject::connect(button, &QToolButton::clicked, [this] {
            acDocManagerPtr()->lockDocument(doc, AcAp::kWrite);
            appendLine(doc->database());
            acDocManagerPtr()->unlockDocument(doc);
        });
        return button;
    }
    // One step made under the lock, as a command or button makes it.
    template <typename Edit> void step(const char* name, Edit edit) {
        cadhost::DocumentManager::instance().setActionName(name);
        acDocManagerPtr()->lockDocument(doc, AcAp::kWrite);
        edit();
        acDocManagerPtr()->unlockDocument(doc);
        cadhost::DocumentManager::instance().setActionName("");
    }
    void undo() {
        frame->undoAction()->trigger();
        settle();
    }
    void redo() {
        frame->redoAction()->trigger();
        settle();
    }
    void settle() {
        frame->commandPump()->runPending();
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
    }

    std::unique_ptr<hostui::FrameWindow> frame;
    AcApDocument* doc = nullptr;
};

TEST_F(UndoMenu, ItemsNameTheButtonsStepAndFollowTheHistory) {
    QAction* undo = frame->undoAction();
    QAction* redo = frame->redoAction();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    EXPECT_EQ(undo->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Z));
    EXPECT_TRUE(redo->shortcuts().contains(QKeySequence(Qt::CTRL | Qt::Key_Y)));

    QToolButton* merge = addEditButton(QStringLiteral("Merge Cells"));
    QTest::mouseClick(merge, Qt::LeftButton);
    settle();
    ASSERT_EQ(history()->undoCount(), 1u);
    EXPECT_EQ(history()->undoName(), "Merge Cells");
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo Merge Cells"));
    EXPECT_FALSE(redo->isEnabled());

    undo->trigger();
    settle();
    EXPECT_EQ(history()->undoCount(), 0u);
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo"));
    EXPECT_TRUE(redo->isEnabled());
    EXPECT_EQ(redo->text(), QStringLiteral("&Redo Merge Cells"));

    redo->trigger();
    settle();
    EXPECT_EQ(history()->undoCount(), 1u);
    EXPECT_FALSE(redo->isEnabled());

    // A command names its own step, whatever button was pressed before.
    frame->queueCommand(QStringLiteral("_-TABLE"));
    cadhost::InputBroker::instance().submitText("2\n2\n1\n1\n0,0\n", cadhost::InputSource::Typed);
    settle();
    EXPECT_EQ(undo->text(), QStringLiteral("&Undo -TABLE"));

    // Opening another drawing shows its own, empty, history.
    doc = acDocManagerPtr()->newDocument();
    settle();
    EXPECT_FALSE(undo->isEnabled());
}

TEST_F(UndoMenu, AButtonThatRelabelsItselfNamesTheStepAsItReadsWhenTheDrawingIsLocked) {
    // As the border style button does: the chosen style becomes its tooltip,
    // then the style is applied.
    QToolButton* style = addEditButton(QStringLiteral("All Borders"));
    QObject::disconnect(style, &QToolButton::clicked, nullptr, nullptr);
    QObject::connect(style, &QToolButton::clicked, [this, style] {
        style->setToolTip(QStringLiteral("Outside Border"));
        acDocManagerPtr()->lockDocument(doc, AcAp::kWrite);
        appendLine(doc->database());
        acDocManagerPtr()->unlockDocument(doc);
    });
    QTest::mouseClick(style, Qt::LeftButton);
    settle();
    EXPECT_EQ(history()->undoName(), "Outside Border");
    EXPECT_EQ(frame->undoAction()->text(), QStringLiteral("&Undo Outside Border"));
}

TEST_F(UndoMenu, CtrlZAndCtrlYWorkFromTheCommandLineToo) {
    QToolButton* button = addEditButton(QStringLiteral("Font Color"));
    QTest::mouseClick(button, Qt::LeftButton);
    settle();
    ASSERT_EQ(history()->undoCount(), 1u);
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
    auto* input = frame->commandLine()->findChild<QLineEdit*>();
    ASSERT_NE(input, nullptr);
    input->setFocus();
    input->setText(QStringLiteral("ZOO"));
    QTest::keyClick(input, Qt::Key_Z, Qt::ControlModifier);
    settle();
    EXPECT_EQ(history()->undoCount(), 0u) << "Ctrl+Z in the command line undid the typing only";
    EXPECT_EQ(history()->redoCount(), 1u);
    QTest::keyClick(input, Qt::Key_Y, Qt::ControlModifier);
    settle();
    EXPECT_EQ(history()->undoCount(), 1u);
}

// What the view shows: the selection service's range and the table's own.
testing::AssertionResult selected(AcDbObjectId table, cadhost::CellRange range) {
    const auto& state = cadhost::CellSelection::instance().current();
    if (!state || state->table != table || !(state->range == range))
        return testing::AssertionFailure() << "the selection service lost the range";
    int r0 = -1, r1 = -1, c0 = -1, c1 = -1;
    if (!cadhost::test::tableRange(table, r0, r1, c0, c1) ||
        !(cadhost::CellRange{r0, r1, c0, c1} == range))
        return testing::AssertionFailure()
               << "the table shows " << r0 << "-" << r1 << ", " << c0 << "-" << c1;
    return testing::AssertionSuccess();
}

bool noTableShowsASelection(AcDbObjectId table) {
    AcDbObjectPointer<AcDbTable> t(table, AcDb::kForRead);
    return !cadhost::CellSelection::instance().current() && (!t || !t->hasSubSelection());
}

TEST_F(UndoMenu, TheCellSelectionOutlivesOtherStepsAndGoesWithItsCells) {
    using cadhost::test::addTable;
    auto& selection = cadhost::CellSelection::instance();
    AcDbObjectId first, second;
    step("Insert Table", [&] { first = addTable(doc->database(), AcGePoint3d(0, 0, 0), 3, 3); });
    step("Insert Table", [&] { second = addTable(doc->database(), AcGePoint3d(0, -20, 0), 2, 2); });
    const cadhost::CellRange block{0, 1, 0, 1};
    ASSERT_EQ(selection.setCellSelection(first, block), Acad::eOk);

    // An edit elsewhere, undone and redone: the selection stays.
    step("Font Color", [&] {
        AcDbObjectPointer<AcDbTable> t(second, AcDb::kForWrite);
        t->setTextString(0, 0, "other");
    });
    undo();
    EXPECT_TRUE(selected(first, block));
    redo();
    EXPECT_TRUE(selected(first, block));

    // A row inserted under the selection, selected, then undone: its cells
    // are gone, so is the selection; the redone row comes back unselected.
    step("Insert Rows Below", [&] {
        AcDbObjectPointer<AcDbTable> t(first, AcDb::kForWrite);
        t->insertRows(3, 1.0);
    });
    ASSERT_EQ(selection.setCellSelection(first, {3, 3, 0, 2}), Acad::eOk);
    undo();
    EXPECT_TRUE(noTableShowsASelection(first));
    redo();
    EXPECT_TRUE(noTableShowsASelection(first)) << "the redone table kept an old selection";

    // The selected table's own insertion undone.
    ASSERT_EQ(selection.setCellSelection(second, {1, 1, 1, 1}), Acad::eOk);
    undo(); // the row
    undo(); // the text
    EXPECT_TRUE(selected(second, {1, 1, 1, 1}));
    undo(); // the second table
    EXPECT_EQ(history()->undoCount(), 1u);
    EXPECT_TRUE(noTableShowsASelection(second));
    EXPECT_TRUE(noTableShowsASelection(first));
    redo();
    EXPECT_TRUE(noTableShowsASelection(second));
}

TEST(ActionNames, ToolbarsAndPickersNameActionsPopupsAndDialogsDoNot) {
    EXPECT_EQ(hostui::cleanActionLabel(QStringLiteral("Insert &block...")),
              QStringLiteral("Insert block"));
    EXPECT_EQ(hostui::cleanActionLabel(QStringLiteral("Cut && Paste\nsecond line")),
              QStringLiteral("Cut & Paste"));

    QWidget owner;
    owner.show();
    QToolBar bar(&owner);
    auto* tip = new QToolButton;
    tip->setToolTip(QStringLiteral("Size Rows Equally"));
    bar.addWidget(tip);
    auto* text = new QToolButton;
    text->setText(QStringLiteral("&Apply Style"));
    bar.addWidget(text);
    EXPECT_EQ(hostui::actionNameFor(tip), QStringLiteral("Size Rows Equally"));
    EXPECT_EQ(hostui::actionNameFor(text), QStringLiteral("Apply Style"));

    QWidget picker(&owner, Qt::Tool | Qt::FramelessWindowHint);
    picker.setWindowTitle(QStringLiteral("Border Style"));
    auto* swatch = new QToolButton(&picker);
    swatch->setToolTip(QStringLiteral("Outside borders"));
    EXPECT_EQ(hostui::actionNameFor(swatch), QStringLiteral("Border Style"));

    QWidget popup(&owner, Qt::Popup);
    popup.setWindowTitle(QStringLiteral("Colors"));
    auto* entry = new QToolButton(&popup);
    EXPECT_TRUE(hostui::actionNameFor(entry).isEmpty());

    QDockWidget floating(QStringLiteral("Vorel Kelvarin"), &owner);
    floating.setFloating(true);
    EXPECT_TRUE(hostui::actionNameFor(&floating).isEmpty()) << "dragging a bar is no edit";

    // A press that names nothing keeps the name of the action under way.
    auto& documents = cadhost::DocumentManager::instance();
    documents.setActionName("Font Color");
    hostui::nameActionFrom(entry);
    EXPECT_EQ(documents.actionName(), "Font Color");
    hostui::nameActionFrom(tip);
    EXPECT_EQ(documents.actionName(), "Size Rows Equally");
    documents.setActionName("");
}

} // namespace
