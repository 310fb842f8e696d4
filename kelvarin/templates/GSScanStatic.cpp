#include "templates/GSScanStatic.h"

#include "acui.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>

CGSScanStatic::CGSScanStatic(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

CGSScanStatic::~CGSScanStatic() {
    releaseGraphics();
}

bool CGSScanStatic::subclassDlgItem(int id, CAcUiDialog* dialog) {
    QWidget* original = dialog ? dialog->GetDlgItem(id) : nullptr;
    if (!original)
        return false;
    setParent(original->parentWidget());
    setGeometry(original->geometry());
    setProperty("controlId", id);
    original->setProperty("controlId", QVariant());
    original->hide();
    stackUnder(original);
    show();
    return true;
}

bool CGSScanStatic::attachGraphics() {
    m_manager = acgsGetGsManager();
    if (!m_manager)
        return false;
    m_factory = m_manager->getGSClassFactory();
    if (!m_factory)
        return false;
    m_device = m_manager->createAutoCADDevice(this);
    if (!m_device)
        return false;
    m_device->onSize(width(), height());
    m_view = m_factory->createView(nullptr, false);
    m_model = m_manager->createAutoCADModel();
    if (!m_model)
        return false;
    m_device->add(m_view);
    m_view->setView(AcGePoint3d(0, 0, 1), AcGePoint3d(0, 0, 0), AcGeVector3d(0, 1, 0), 1.0, 1.0,
                    AcGsView::kParallel);
    return true;
}

void CGSScanStatic::releaseGraphics() {
    if (m_view) {
        m_view->eraseAll();
        if (m_device && !m_device->erase(m_view))
            return;
        if (m_factory)
            m_factory->deleteView(m_view);
        m_view = nullptr;
    }
    if (m_manager) {
        if (m_device)
            m_manager->destroyAutoCADDevice(m_device);
        if (m_model)
            m_manager->destroyAutoCADModel(m_model);
    }
    m_device = nullptr;
    m_model = nullptr;
    m_factory = nullptr;
    m_manager = nullptr;
    update();
}

bool CGSScanStatic::showEntity(AcDbObjectId id) {
    AcDbEntity* entity = nullptr;
    if (acdbOpenObject(entity, id, AcDb::kForRead) != Acad::eOk || !entity)
        return false;
    AcDbExtents extents;
    const Acad::ErrorStatus es = entity->getGeomExtents(extents);
    entity->close();
    if (es != Acad::eOk)
        return false;
    m_extents = extents;
    if (!m_view)
        return false;
    m_view->add(id, m_model);
    return fitViewToExtents();
}

bool CGSScanStatic::fitViewToExtents() {
    if (!m_view)
        return false;
    const AcGePoint3d lo = m_extents.minPoint(), hi = m_extents.maxPoint();
    const double dx = hi.x - lo.x, dy = hi.y - lo.y;
    const double cx = (lo.x + hi.x) / 2, cy = (lo.y + hi.y) / 2;
    m_view->setView(AcGePoint3d(cx, cy, 1), AcGePoint3d(cx, cy, 0), AcGeVector3d(0, 1, 0),
                    std::fabs(dx) * 1.1, std::fabs(dy) * 1.1, AcGsView::kParallel);
    redraw();
    return true;
}

void CGSScanStatic::redraw() {
    if (m_view)
        m_view->invalidate();
    update();
}

void CGSScanStatic::zoomBy(double factor) {
    if (!m_view)
        return;
    m_view->zoom(factor);
    redraw();
}

void CGSScanStatic::dollyDevice(double dx, double dy, double dz) {
    if (!m_view)
        return;
    const AcGeVector3d device(dx, dy, dz);
    const AcGeVector3d eye =
        m_view->viewingMatrix() * m_view->worldToDeviceMatrix().inverse() * device;
    m_view->dolly(eye);
    redraw();
}

bool CGSScanStatic::event(QEvent* event) {
    // Enter and Esc reach the preview, not the dialog's default and cancel
    // buttons, while it has the focus; so do the keys that move the picture.
    if (event->type() == QEvent::ShortcutOverride) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Home:
        case Qt::Key_End:
        case Qt::Key_Left:
        case Qt::Key_Up:
        case Qt::Key_Right:
        case Qt::Key_Down:
            event->accept();
            return true;
        default:
            break;
        }
    }
    return QWidget::event(event);
}

void CGSScanStatic::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        setFocus(Qt::MouseFocusReason);
        m_zooming = 1;
        m_lastX = event->position().toPoint().x();
        m_lastY = event->position().toPoint().y();
        return;
    }
    QWidget::mousePressEvent(event);
}

void CGSScanStatic::mouseMoveEvent(QMouseEvent* event) {
    if (!m_zooming)
        return;
    const QPoint p = event->position().toPoint();
    zoomBy(p.y() < m_lastY ? zoomOutFactor : zoomInFactor);
    m_lastX = p.x();
    m_lastY = p.y();
}

void CGSScanStatic::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_zooming = 0;
    QWidget::mouseReleaseEvent(event);
}

void CGSScanStatic::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::MiddleButton) {
        fitViewToExtents();
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void CGSScanStatic::wheelEvent(QWheelEvent* event) {
    if (!m_view) {
        QWidget::wheelEvent(event);
        return;
    }
    zoomBy(event->angleDelta().y() < 0 ? zoomInFactor : zoomOutFactor);
    event->accept();
}

void CGSScanStatic::keyPressEvent(QKeyEvent* event) {
    const double w = width(), h = height();
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        fitViewToExtents();
        break;
    case Qt::Key_PageUp:
        zoomBy(zoomOutFactor);
        break;
    case Qt::Key_PageDown:
        zoomBy(zoomInFactor);
        break;
    case Qt::Key_Left:
        dollyDevice(0.1 * w, 0, 0);
        break;
    case Qt::Key_Right:
        dollyDevice(-0.1 * w, 0, 0);
        break;
    case Qt::Key_Up:
        dollyDevice(0, -0.1 * h, 0);
        break;
    case Qt::Key_Down:
        dollyDevice(0, 0.1 * h, 0);
        break;
    case Qt::Key_Home:
        dollyDevice(0, 0, w);
        break;
    case Qt::Key_End:
        dollyDevice(0, 0, -w);
        break;
    default:
        redraw();
        break;
    }
    event->accept(); // Enter and Esc never reach the dialog's buttons
}
