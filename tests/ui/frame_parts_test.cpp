// Control bars dock on every side and float where they are told; screenshots
// composite every visible top-level window at its screen position.
#include "hostapp/screenshot.h"
#include "hostui/control_bar.h"

#include <QLabel>
#include <QMainWindow>
#include <QToolBar>
#include <gtest/gtest.h>

TEST(ControlBar, DocksOnEverySideAndFloatsAtAPoint) {
    QMainWindow frame;
    frame.setCentralWidget(new QLabel(QStringLiteral("drawing")));
    frame.resize(800, 600);
    auto* bar = new hostui::ControlBar(QStringLiteral("Vorel Kelvarin"), &frame);
    auto* tools = new QToolBar;
    tools->addAction(QStringLiteral("A"));
    tools->addAction(QStringLiteral("B"));
    bar->setContents(tools);
    frame.show();

    for (Qt::DockWidgetArea area : {Qt::LeftDockWidgetArea, Qt::TopDockWidgetArea,
                                    Qt::RightDockWidgetArea, Qt::BottomDockWidgetArea}) {
        ASSERT_TRUE(bar->dockAt(area));
        EXPECT_EQ(bar->dockedArea(), area);
        const bool side = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
        EXPECT_EQ(tools->orientation(), side ? Qt::Vertical : Qt::Horizontal);
    }
    bar->floatAt(QPoint(120, 130));
    EXPECT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->dockedArea(), Qt::NoDockWidgetArea);
    EXPECT_EQ(bar->pos(), QPoint(120, 130));
    EXPECT_EQ(tools->orientation(), Qt::Horizontal);
    EXPECT_EQ(bar->windowTitle(), QStringLiteral("Vorel Kelvarin"));

    hostui::ControlBar orphan(QStringLiteral("No frame"));
    EXPECT_FALSE(orphan.dockAt(Qt::TopDockWidgetArea));
}

TEST(Screenshot, FloatingWindowsAppearAtTheirScreenPositions) {
    QWidget frame;
    frame.setAutoFillBackground(true);
    frame.setPalette(QPalette(Qt::white));
    frame.setGeometry(0, 0, 400, 300);
    frame.show();
    QWidget picker(nullptr, Qt::Tool);
    picker.setWindowTitle(QStringLiteral("Font Color"));
    picker.setAutoFillBackground(true);
    picker.setPalette(QPalette(QColor(200, 0, 0)));
    picker.setGeometry(500, 100, 60, 40); // outside the frame: the canvas grows
    picker.show();

    const QImage shot = hostapp::compositeScreenshot(&frame);
    ASSERT_FALSE(shot.isNull());
    // The canvas covers both windows and the picker's title strip.
    const QRect f = frame.geometry(), p = picker.geometry();
    const QPoint origin(std::min(f.left(), p.left()), std::min(f.top(), p.top() - 22));
    EXPECT_EQ(shot.width(), std::max(f.right(), p.right()) - origin.x() + 1);
    EXPECT_EQ(shot.pixelColor(f.topLeft() + QPoint(10, 10) - origin), QColor(Qt::white));
    EXPECT_EQ(shot.pixelColor(p.center() - origin), QColor(200, 0, 0));
    // The picker gets a title strip above it, as a window manager would draw.
    EXPECT_NE(shot.pixelColor(p.topLeft() + QPoint(20, -10) - origin), QColor(64, 70, 78));

    picker.hide();
    const QImage alone = hostapp::compositeScreenshot(&frame);
    EXPECT_EQ(alone.size(), frame.geometry().size());

    std::string error;
    EXPECT_FALSE(hostapp::saveScreenshot(&frame, "/proc/no/such/dir/shot.png", error));
    EXPECT_FALSE(error.empty());
}
