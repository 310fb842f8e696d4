#pragma once
// The drawing view: model space of one drawing, drawn through the graphics
// system. The middle button drags the picture, the wheel zooms about the
// cursor, a middle double-click zooms to the extents. The left button picks a
// point or an entity when a command asks for one (the pick goes to the input
// broker) and otherwise selects table cells in place: click, Shift+click and
// drag go through the runtime's cell selection. Esc cancels the pending prompt,
// or clears the cell selection at the command prompt. Other typed keys go to
// the command line.

#include "acdb/geometry.h"
#include "acdb/objectid.h"
#include "hostui/gs.h"

#include <QPoint>
#include <QWidget>
#include <memory>

class AcDbDatabase;

namespace hostui {

class DrawingView : public QWidget {
    Q_OBJECT
public:
    explicit DrawingView(QWidget* parent = nullptr);
    ~DrawingView() override;

    // The drawing shown (null: none). Zooms to its extents.
    void setDatabase(AcDbDatabase* db);
    AcDbDatabase* database() const { return m_db; }

    AcGsView* gsView() const { return m_view; }
    AcGsDevice* gsDevice() const { return m_device; }

    // Fits the drawing's extents. The view then keeps fitting them after
    // each change until the user pans or zooms.
    void zoomExtents();
    void zoomBy(double factor); // about the centre
    // Fits the rectangle of two corners (plan view); false when it has no area.
    bool zoomWindow(const AcGePoint3d& a, const AcGePoint3d& b);
    bool isAutoFit() const { return m_autoFit; }
    // World point under a widget pixel, and back.
    AcGePoint3d worldAt(const QPointF& pixel) const;
    QPointF pixelOf(const AcGePoint3d& world) const;
    // The entity drawn under a widget pixel (within the pick aperture).
    AcDbObjectId entityAt(const QPointF& pixel) const;

    QSize sizeHint() const override { return {800, 500}; }

signals:
    void cursorMoved(const AcGePoint3d& world);
    // A key with text the view does not handle; the frame sends it to the command line.
    void textTyped(const QString& text);

public slots:
    void refresh();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    enum class LeftAction { None, CellSelect };
    bool commandWantsPick() const;

    AcGsDevice* m_device = nullptr;
    AcGsView* m_view = nullptr;
    AcGsModel* m_model = nullptr;
    AcDbDatabase* m_db = nullptr;
    bool m_panning = false;
    QPointF m_lastPan;
    LeftAction m_left = LeftAction::None;
    QPointF m_pressPixel;
    bool m_autoFit = true;
};

} // namespace hostui
