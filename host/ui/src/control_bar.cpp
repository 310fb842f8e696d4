#include "hostui/control_bar.h"

#include <QMainWindow>
#include <QToolBar>

namespace hostui {

ControlBar::ControlBar(const QString& title, QWidget* parent) : QDockWidget(title, parent) {
    setObjectName(title);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable |
                QDockWidget::DockWidgetFloatable);
    setAllowedAreas(Qt::AllDockWidgetAreas);
    connect(this, &QDockWidget::topLevelChanged, this, [this] { applyOrientation(); });
    connect(this, &QDockWidget::dockLocationChanged, this, [this] { applyOrientation(); });
}

ControlBar::~ControlBar() {
    emit aboutToBeDestroyed();
}

void ControlBar::hideEvent(QHideEvent* event) {
    QDockWidget::hideEvent(event);
    if (isHidden())
        emit barHidden();
}

void ControlBar::setContents(QWidget* contents) {
    setWidget(contents);
    applyOrientation();
}

void ControlBar::floatAt(const QPoint& screenPos) {
    setFloating(true);
    adjustSize();
    move(screenPos);
    applyOrientation();
}

bool ControlBar::dockAt(Qt::DockWidgetArea area) {
    auto* frame = qobject_cast<QMainWindow*>(parentWidget());
    if (!frame || !(allowedAreas() & area))
        return false;
    setFloating(false);
    frame->addDockWidget(area, this);
    applyOrientation();
    return true;
}

Qt::DockWidgetArea ControlBar::dockedArea() const {
    auto* frame = qobject_cast<QMainWindow*>(parentWidget());
    if (!frame || isFloating())
        return Qt::NoDockWidgetArea;
    return frame->dockWidgetArea(const_cast<ControlBar*>(this));
}

void ControlBar::applyOrientation() {
    auto* bar = qobject_cast<QToolBar*>(widget());
    if (!bar)
        return;
    const Qt::DockWidgetArea area = dockedArea();
    const bool vertical = area == Qt::LeftDockWidgetArea || area == Qt::RightDockWidgetArea;
    bar->setOrientation(vertical ? Qt::Vertical : Qt::Horizontal);
    // Docked along the top or bottom the title runs up the left end like a
    // gripper; floating or docked at a side it is a caption on top.
    const bool sideways = !isFloating() && !vertical && area != Qt::NoDockWidgetArea;
    setFeatures(sideways ? features() | QDockWidget::DockWidgetVerticalTitleBar
                         : features() & ~QDockWidget::DockWidgetVerticalTitleBar);
    if (isFloating())
        adjustSize();
}

} // namespace hostui
