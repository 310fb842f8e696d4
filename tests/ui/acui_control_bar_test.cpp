// Module control bars in the frame: docking by style, floating, showing,
// and what the frame tells a bar as it closes.
#include "acuibar.h"

#include "cadhost/runtime.h"
#include "hostui/control_bar.h"
#include "hostui/frame_window.h"

#include <QToolBar>
#include <gtest/gtest.h>

#include <memory>

namespace {

QToolBar* makeTools() {
    auto* tools = new QToolBar;
    tools->addAction(QStringLiteral("Merge"));
    tools->addAction(QStringLiteral("Unmerge"));
    return tools;
}

TEST(AcUiControlBarTest, NoFrameOrNoContentsGivesNoBar) {
    ASSERT_EQ(hostui::FrameWindow::instance(), nullptr);
    std::unique_ptr<QToolBar> tools(makeTools());
    EXPECT_EQ(AcUiControlBar::create("Vorel Kelvarin", tools.get(), 59392), nullptr);
}

TEST(AcUiControlBarTest, DocksByStyleFloatsAndReportsItsPlace) {
    cadhost::initializeRuntime();
    auto frame = std::make_unique<hostui::FrameWindow>();
    frame->show();
    EXPECT_EQ(AcUiControlBar::create("Vorel Kelvarin", nullptr, 59392), nullptr);
    AcUiControlBar* bar = AcUiControlBar::create("Vorel Kelvarin", makeTools(), 59392);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->id(), 59392u);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_EQ(bar->controlBar()->windowTitle(), QStringLiteral("Vorel Kelvarin"));
    EXPECT_TRUE(qobject_cast<QToolBar*>(bar->widget()));

    for (unsigned style : {0x1000u, 0x2000u, 0x4000u, 0x8000u}) {
        bar->dock(style);
        EXPECT_FALSE(bar->isFloating()) << style;
        EXPECT_EQ(bar->dockStyle(), style);
    }
    // Not one side: the bar stays where it is.
    bar->dock(0x3000);
    EXPECT_EQ(bar->dockStyle(), 0x8000u);
    bar->dock(0);
    EXPECT_EQ(bar->dockStyle(), 0x8000u);
    bar->dock(0x2000 | 0x0800); // other style bits beside the side are ignored
    EXPECT_EQ(bar->dockStyle(), 0x2000u);

    bar->floatAt(300, 240);
    EXPECT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->dockStyle(), 0u);
    EXPECT_EQ(bar->frameRect().topLeft(), QPoint(300, 240));
    EXPECT_FALSE(bar->frameRect().isEmpty());

    int hidden = 0;
    bar->setOnHidden([&] { ++hidden; });
    bar->show(false);
    EXPECT_FALSE(bar->isVisible()) << "hidden at once, no delayed layout";
    EXPECT_EQ(hidden, 1);
    bar->show(true);
    EXPECT_TRUE(bar->isVisible());
    EXPECT_TRUE(bar->isFloating()) << "showing keeps the place";
    frame->hide();
    EXPECT_EQ(hidden, 1) << "the frame hiding is not the bar hiding";
    frame->show();

    // The frame closing: hidden first, then destroyed while it can still be asked.
    std::vector<std::string> events;
    bool visibleAtDestroy = true, floatingAtDestroy = false;
    QPoint placeAtDestroy;
    bar->setOnHidden([&] { events.push_back("hidden"); });
    bar->setOnDestroy([&] {
        events.push_back("destroyed");
        visibleAtDestroy = bar->isVisible();
        floatingAtDestroy = bar->isFloating();
        placeAtDestroy = bar->frameRect().topLeft();
    });
    frame.reset();
    EXPECT_EQ(events, (std::vector<std::string>{"hidden", "destroyed"}));
    EXPECT_FALSE(visibleAtDestroy);
    EXPECT_TRUE(floatingAtDestroy);
    EXPECT_EQ(placeAtDestroy, QPoint(300, 240));

    // The module's pointer stays usable and answers "gone".
    EXPECT_FALSE(bar->exists());
    EXPECT_FALSE(bar->isVisible());
    EXPECT_EQ(bar->widget(), nullptr);
    EXPECT_TRUE(bar->frameRect().isNull());
    bar->show(true);
    bar->dock(0x2000);
    bar->destroy();
    EXPECT_EQ(events.size(), 2u);
}

TEST(AcUiControlBarTest, ModuleDestroyCallsBackOnce) {
    cadhost::initializeRuntime();
    auto frame = std::make_unique<hostui::FrameWindow>();
    frame->show();
    AcUiControlBar* bar = AcUiControlBar::create("Second", makeTools(), 7);
    ASSERT_NE(bar, nullptr);
    int destroyed = 0, hidden = 0;
    bar->setOnDestroy([&] { ++destroyed; });
    bar->setOnHidden([&] { ++hidden; });
    bar->destroy();
    EXPECT_EQ(destroyed, 1);
    EXPECT_FALSE(bar->exists());
    frame.reset();
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(hidden, 0) << "a bar destroyed shown was not hidden by anyone";
}

} // namespace
