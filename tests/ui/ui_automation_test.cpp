// Script directives reach toolbar buttons, drop-down arrows, menus, popups,
// floating pickers and dialog controls through the conventions of
// ui_automation.h, and say clearly when a target is missing.
#include "fake_popups.h"
#include "hostapp/ui_automation.h"
#include "hostui/control_ids.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace hostapp;

namespace {

// Lets posted actions run.
void settle() {
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

struct Toolbar {
    QMainWindow window;
    QToolBar* bar = window.addToolBar(QStringLiteral("Test"));
    QAction* plain = bar->addAction(QStringLiteral("Plain"));
    QToolButton* arrow = new QToolButton(bar);
    QMenu* menu = new QMenu(&window);
    QAction* first = menu->addAction(QStringLiteral("First"));
    QAction* second = menu->addAction(QStringLiteral("Second"));
    int plainClicks = 0, arrowPresses = 0;

    Toolbar() {
        hostui::setCommandId(plain, 52774);
        hostui::setCommandId(second, 52771);
        arrow->setPopupMode(QToolButton::MenuButtonPopup);
        arrow->setText(QStringLiteral("Arrow"));
        hostui::setCommandId(arrow, 52772);
        bar->addWidget(arrow);
        QObject::connect(plain, &QAction::triggered, [this] { ++plainClicks; });
        window.show();
    }
};

} // namespace

TEST(UiAutomation, ToolbarButtonsAreFoundByCommandId) {
    Toolbar t;
    EXPECT_FALSE(clickToolbarButton(52774));
    settle();
    EXPECT_EQ(t.plainClicks, 1);
    auto problem = clickToolbarButton(1);
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("no toolbar button has command id 1"), std::string::npos);
    t.plain->setEnabled(false);
    problem = clickToolbarButton(52774);
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("disabled"), std::string::npos);
}

TEST(UiAutomation, DropDownMenuChoiceByCommandIdThroughTheKeyboard) {
    Toolbar t;
    t.arrow->setMenu(t.menu);
    int chosen = 0;
    QObject::connect(t.second, &QAction::triggered, [&] { ++chosen; });
    // The menu runs its own loop: choose from inside it, as a script does.
    QTimer::singleShot(50, [&] {
        ASSERT_EQ(openPopup(), t.menu);
        auto missing = chooseInPopup(999);
        EXPECT_TRUE(missing);
        EXPECT_FALSE(chooseInPopup(52771));
    });
    QTimer::singleShot(3000, [&] { t.menu->close(); }); // never hang the test
    EXPECT_FALSE(openDropDown(52772));
    settle();
    EXPECT_EQ(chosen, 1);
    EXPECT_FALSE(t.menu->isVisible());
}

TEST(UiAutomation, DropDownWithoutAMenuClicksTheArrow) {
    Toolbar t;
    ArrowWatcher watcher(t.arrow);
    EXPECT_FALSE(openDropDown(52772));
    settle();
    EXPECT_EQ(watcher.pressesOnArrow, 1);
    EXPECT_EQ(watcher.pressesOnBody, 0);
}

TEST(UiAutomation, PopupEntriesTearOffAndPickers) {
    FakePopup popup;
    popup.show();
    ASSERT_EQ(openPopup(), &popup);
    EXPECT_FALSE(chooseInPopup(-3));
    settle();
    EXPECT_EQ(popup.chosen, -3);
    EXPECT_FALSE(tearOffPopup());
    settle();
    EXPECT_TRUE(popup.tornOff);
    // A drop point: the cursor is there when the popup learns of the tear-off.
    popup.tornOff = false;
    EXPECT_FALSE(tearOffPopup(QPoint(300, 200)));
    settle();
    EXPECT_TRUE(popup.tornOff);
    EXPECT_EQ(popup.cursorAtTearOff, QPoint(300, 200));
    popup.close();
    settle();
    EXPECT_EQ(openPopup(), nullptr);
    EXPECT_TRUE(chooseInPopup(1));

    FakePicker picker(QStringLiteral("Font Color"));
    picker.show();
    EXPECT_FALSE(clickPickerControl("Font Color", 7));
    settle();
    EXPECT_EQ(picker.clicked, 7);
    auto problem = clickPickerControl("Shade Color", 7);
    ASSERT_TRUE(problem);
    EXPECT_NE(problem->find("\"Shade Color\""), std::string::npos);
    EXPECT_TRUE(clickPickerControl("Font Color", 99)); // no such control
}

TEST(UiAutomation, DialogControlsByIdAndTheKeyboard) {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Settings"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* edit = new QLineEdit(&dialog);
    auto* check = new QCheckBox(QStringLiteral("Flag"), &dialog);
    auto* combo = new QComboBox(&dialog);
    combo->addItems({QStringLiteral("Standard"), QStringLiteral("Fancy")});
    auto* ok = new QPushButton(QStringLiteral("OK"), &dialog);
    for (QWidget* w : {static_cast<QWidget*>(edit), static_cast<QWidget*>(check),
                       static_cast<QWidget*>(combo), static_cast<QWidget*>(ok)})
        layout->addWidget(w);
    hostui::setControlId(edit, 1001);
    hostui::setControlId(check, 1002);
    hostui::setControlId(combo, 1003);
    hostui::setControlId(ok, 1);
    QObject::connect(ok, &QPushButton::clicked, &dialog, &QDialog::accept);

    EXPECT_FALSE(setControlText(&dialog, 1001, "12.5"));
    EXPECT_EQ(edit->text(), QStringLiteral("12.5"));
    EXPECT_FALSE(setControlCheck(&dialog, 1002, true));
    EXPECT_TRUE(check->isChecked());
    EXPECT_FALSE(setControlCheck(&dialog, 1002, true)); // already on: stays on
    EXPECT_TRUE(check->isChecked());
    EXPECT_FALSE(selectControlItem(&dialog, 1003, "Fancy"));
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_TRUE(selectControlItem(&dialog, 1003, "Missing"));
    EXPECT_TRUE(setControlText(&dialog, 1002, "x")); // a check box takes no text
    EXPECT_TRUE(setControlCheck(&dialog, 1001, true));
    EXPECT_TRUE(clickControl(&dialog, 4242));

    int result = -1;
    QTimer::singleShot(50, [&] {
        EXPECT_EQ(findModalDialog("Settings"), &dialog);
        EXPECT_EQ(findModalDialog("Other"), nullptr);
        EXPECT_FALSE(pressKey("Tab"));
        EXPECT_TRUE(pressKey("NoSuchKey"));
        EXPECT_FALSE(clickControl(&dialog, 1));
    });
    QTimer::singleShot(3000, &dialog, &QDialog::reject);
    result = dialog.exec();
    EXPECT_EQ(result, QDialog::Accepted);
}

TEST(UiAutomation, CancelIsThereEvenWithoutAButton) {
    QDialog dialog;
    dialog.setWindowTitle(QStringLiteral("Bare"));
    QTimer::singleShot(50, [&] { EXPECT_FALSE(clickControl(&dialog, 2)); });
    QTimer::singleShot(3000, &dialog, &QDialog::accept);
    EXPECT_EQ(dialog.exec(), QDialog::Rejected);
}

TEST(UiAutomation, KeyNames) {
    EXPECT_EQ(keyCodeOf("Down"), Qt::Key_Down);
    EXPECT_EQ(keyCodeOf("pageup"), Qt::Key_PageUp);
    EXPECT_EQ(keyCodeOf("Enter"), Qt::Key_Return);
    EXPECT_EQ(keyCodeOf("F12"), Qt::Key_F12);
    EXPECT_EQ(keyCodeOf("F0"), 0);
    EXPECT_EQ(keyCodeOf("a"), Qt::Key_A);
    EXPECT_EQ(keyCodeOf("Fx"), 0);
}
