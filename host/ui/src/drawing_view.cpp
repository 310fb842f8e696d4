#include "hostui/drawing_view.h"

#include "acdb/database.h"
#include "acdb/entity.h"
#include "acdb/symboltables.h"
#include "cadhost/cell_selection.h"
#include "cadhost/input_broker.h"
#include "cadhost/selection.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

namespace hostui {

namespace {

constexpr double kWheelStep = 1.25;    // magnification per wheel notch
constexpr double kPickAperture = 5.0;  // pixels
constexpr double kDragThreshold = 4.0; // pixels before a press becomes a drag

bool isPickRequest(const cadhost::InputRequest* r) {
    using K = cadhost::InputRequest::Kind;
    return r && (r->kind == K::Point || r->kind == K::Corner || r->kind == K::Entity ||
                 r->kind == K::Selection);
}

} // namespace

DrawingView::DrawingView(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("drawingView"));
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    AcGsManager* manager = acgsGetGsManager();
    m_device = manager->createAutoCADDevice(this);
    m_view = manager->getGSClassFactory()->createView();
    m_model = manager->createAutoCADModel();
    m_device->add(m_view);
    setCursor(Qt::CrossCursor);
}

DrawingView::~DrawingView() {
    AcGsManager* manager = acgsGetGsManager();
    m_device->erase(m_view);
    manager->getGSClassFactory()->deleteView(m_view);
    manager->destroyAutoCADModel(m_model);
    manager->destroyAutoCADDevice(m_device);
}

void DrawingView::setDatabase(AcDbDatabase* db) {
    if (db == m_db)
        return;
    m_view->eraseAll();
    m_db = db;
    if (db)
        m_view->add(db->modelSpaceId(), m_model);
    zoomExtents();
}

void DrawingView::refresh() {
    m_view->invalidate();
}

void DrawingView::zoomExtents() {
    AcDbExtents ext = m_db ? m_view->contentExtents() : AcDbExtents();
    if (!ext.isValid())
        ext = AcDbExtents(AcGePoint3d(0, 0, 0), AcGePoint3d(12, 9, 0)); // an empty sheet
    hostui::GsCamera& cam = m_view->camera();
    cam.fitPlan(ext.minPoint(), ext.maxPoint(), 0.05);
    // A single point or a line along an axis has no area: keep a visible field.
    if (!(cam.fieldWidth() > 1e-9) && !(cam.fieldHeight() > 1e-9))
        cam.setView(cam.position(), cam.target(), cam.upVector(), 10, 10);
    m_view->invalidate();
    m_autoFit = true;
}

void DrawingView::zoomBy(double factor) {
    m_view->zoom(factor);
    m_autoFit = false;
}

bool DrawingView::zoomWindow(const AcGePoint3d& a, const AcGePoint3d& b) {
    AcDbExtents ext(a, a);
    ext.addPoint(b);
    const AcGePoint3d lo = ext.minPoint(), hi = ext.maxPoint();
    if (!(hi.x - lo.x > 1e-9) || !(hi.y - lo.y > 1e-9))
        return false;
    m_view->camera().fitPlan(lo, hi, 0.0);
    m_view->invalidate();
    m_autoFit = false;
    return true;
}

AcGePoint3d DrawingView::worldAt(const QPointF& pixel) const {
    AcGePoint3d p = m_view->camera().deviceToWorld(pixel.x(), pixel.y());
    p.z = 0; // picks land on the XY plane of plan views
    return p;
}

QPointF DrawingView::pixelOf(const AcGePoint3d& world) const {
    const AcGePoint3d d = m_view->camera().worldToDevice(world);
    return {d.x, d.y};
}

AcDbObjectId DrawingView::entityAt(const QPointF& pixel) const {
    if (!m_db)
        return {};
    const double tolerance = kPickAperture / m_view->camera().pixelsPerUnit();
    cadhost::ExtentsEntityPicker picker(tolerance);
    return picker.entityAt(worldAt(pixel)).value_or(AcDbObjectId());
}

bool DrawingView::commandWantsPick() const {
    return isPickRequest(cadhost::InputBroker::instance().currentRequest());
}

void DrawingView::mousePressEvent(QMouseEvent* event) {
    setFocus(Qt::MouseFocusReason);
    const QPointF pos = event->position();
    if (event->button() == Qt::MiddleButton) {
        m_panning = true;
        m_lastPan = pos;
        setCursor(Qt::ClosedHandCursor);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const AcGePoint3d world = worldAt(pos);
    auto& broker = cadhost::InputBroker::instance();
    const cadhost::InputRequest* request = broker.currentRequest();
    if (isPickRequest(request)) {
        using K = cadhost::InputRequest::Kind;
        if (request->kind == K::Entity || request->kind == K::Selection) {
            const AcDbObjectId id = entityAt(pos);
            if (!id.isNull()) {
                broker.submitEntity(id, world);
                return;
            }
        }
        broker.submitPoint(world);
        return;
    }
    auto& cells = cadhost::CellSelection::instance();
    const bool extend = event->modifiers() & Qt::ShiftModifier;
    if (cells.selectAt(world, extend) == Acad::eOk) {
        m_left = LeftAction::CellSelect;
        m_pressPixel = pos;
    } else if (!extend) {
        cells.clearCellSelection();
    }
    refresh();
}

void DrawingView::mouseMoveEvent(QMouseEvent* event) {
    const QPointF pos = event->position();
    emit cursorMoved(worldAt(pos));
    if (m_panning) {
        const QPointF delta = pos - m_lastPan;
        m_lastPan = pos;
        m_view->camera().panByDevice(delta.x(), delta.y());
        m_view->invalidate();
        m_autoFit = false;
        return;
    }
    if (m_left == LeftAction::CellSelect && (event->buttons() & Qt::LeftButton)) {
        const QPointF moved = pos - m_pressPixel;
        if (std::hypot(moved.x(), moved.y()) < kDragThreshold)
            return;
        auto& cells = cadhost::CellSelection::instance();
        const auto state = cells.current();
        // A drag extends from the anchor cell: the press selected it.
        if (state && cells.selectAt(worldAt(pos), true) == Acad::eOk)
            refresh();
    }
}

void DrawingView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton && m_panning) {
        m_panning = false;
        setCursor(Qt::CrossCursor);
    }
    if (event->button() == Qt::LeftButton)
        m_left = LeftAction::None;
}

void DrawingView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The press before it already picked or selected; a second pick would
    // answer the next prompt too.
    if (event->button() == Qt::MiddleButton)
        zoomExtents();
}

void DrawingView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0)
        return;
    const QPointF pos = event->position();
    m_view->camera().zoomAt(pos.x(), pos.y(), std::pow(kWheelStep, notches));
    m_view->invalidate();
    m_autoFit = false;
}

void DrawingView::keyPressEvent(QKeyEvent* event) {
    auto& broker = cadhost::InputBroker::instance();
    if (event->key() == Qt::Key_Escape) {
        if (broker.requestDepth() > 0)
            broker.submitEscape();
        else {
            cadhost::CellSelection::instance().clearCellSelection();
            refresh();
        }
        return;
    }
    if (!event->text().isEmpty() && event->text().at(0).isPrint()) {
        emit textTyped(event->text());
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        broker.submitEnter();
        return;
    }
    QWidget::keyPressEvent(event);
}

void DrawingView::resizeEvent(QResizeEvent* event) {
    // The camera keeps its field: the picture stays fitted as the view resizes.
    QWidget::resizeEvent(event);
}

} // namespace hostui
