#pragma once
// A dockable bar of the frame: docks on any of the four sides or floats as a
// small window of its own, and can be floated or docked from code (a toolbar
// restoring its saved place). Its content is any widget; a QToolBar content
// is laid out horizontally on the top and bottom and when floating, and
// vertically on the left and right.

#include <QDockWidget>
#include <QPoint>

class QToolBar;

namespace hostui {

class ControlBar : public QDockWidget {
    Q_OBJECT
public:
    explicit ControlBar(const QString& title, QWidget* parent = nullptr);
    ~ControlBar() override;

    void setContents(QWidget* contents);
    QWidget* contents() const { return widget(); }

    // Floats the bar with its top-left corner at a screen point.
    void floatAt(const QPoint& screenPos);
    // Docks the bar into a side of the frame it belongs to (a QMainWindow parent).
    bool dockAt(Qt::DockWidgetArea area);
    // The side it is docked on, or Qt::NoDockWidgetArea while floating or hidden.
    Qt::DockWidgetArea dockedArea() const;

signals:
    // The bar itself was hidden (not merely its frame or a minimised window).
    void barHidden();
    // Emitted first thing while the bar is destroyed: it can still be asked
    // where it is, whether it floats and whether it is shown.
    void aboutToBeDestroyed();

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void applyOrientation();
};

} // namespace hostui
