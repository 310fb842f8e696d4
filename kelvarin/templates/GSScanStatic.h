#pragma once
// A template preview: takes the place of a static control of a dialog and
// shows one drawing entity through the host graphics system, fitted with a
// margin, with zoom (wheel, left-button drag, Page Up/Down), panning (arrows,
// Home/End) and fit again (Enter, middle double-click).

#include "arxHeaders.h"

#include "acgs.h"

#include <QWidget>

class CAcUiDialog;

class CGSScanStatic : public QWidget {
    Q_OBJECT
public:
    explicit CGSScanStatic(QWidget* parent = nullptr);
    ~CGSScanStatic() override;

    // Stands in for the dialog's control id: same parent, place and id; the
    // static control itself is hidden.
    bool subclassDlgItem(int id, CAcUiDialog* dialog);

    bool attachGraphics();
    void releaseGraphics();
    // The entity's extents become the fit; false (nothing shown) when it
    // cannot be opened or has no extents.
    bool showEntity(AcDbObjectId id);
    bool fitViewToExtents();

    AcGsView* view() const { return m_view; }
    const AcDbExtents& extents() const { return m_extents; }

    double zoomInFactor = 0.9;
    double zoomOutFactor = 1.1;

protected:
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void zoomBy(double factor);
    // Moves camera and target by a displacement in device pixels.
    void dollyDevice(double dx, double dy, double dz);
    void redraw();

    int m_zooming = 0;
    int m_lastX = 0, m_lastY = 0;
    AcGsManager* m_manager = nullptr;
    AcGsClassFactory* m_factory = nullptr;
    AcGsDevice* m_device = nullptr;
    AcGsView* m_view = nullptr;
    AcGsModel* m_model = nullptr;
    AcDbExtents m_extents;
};
