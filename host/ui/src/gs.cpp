#include "hostui/gs.h"

#include "acdb/database.h"
#include "acdb/entity.h"
#include "acdb/symboltables.h"
#include "hostui/entity_renderer.h"

#include <QEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QWidget>
#include <algorithm>
#include <new>

// ---- AcGsModel

void AcGsModel::invalidate() {
    for (AcGsView* view : m_views)
        view->invalidate();
}

// ---- AcGsView

AcGsView::AcGsView() {
    m_camera.setView(AcGePoint3d(0, 0, 1), AcGePoint3d::kOrigin, AcGeVector3d::kYAxis, 1, 1);
}

AcGsView::~AcGsView() {
    eraseAll();
    if (m_device)
        m_device->erase(this);
}

void AcGsView::setView(const AcGePoint3d& position, const AcGePoint3d& target,
                       const AcGeVector3d& upVector, double fieldWidth, double fieldHeight,
                       Projection projection) {
    m_camera.setView(position, target, upVector, fieldWidth, fieldHeight,
                     projection == kPerspective ? hostui::GsCamera::Projection::kPerspective
                                                : hostui::GsCamera::Projection::kParallel);
    invalidate();
}

void AcGsView::zoom(double factor) {
    m_camera.zoom(factor);
    invalidate();
}

void AcGsView::dolly(const AcGeVector3d& vector) {
    m_camera.dolly(vector);
    invalidate();
}

void AcGsView::attachModel(AcGsModel* model) {
    if (model &&
        std::find(model->m_views.begin(), model->m_views.end(), this) == model->m_views.end())
        model->m_views.push_back(this);
}

void AcGsView::detachModel(AcGsModel* model) {
    if (!model)
        return;
    const bool stillUsed = std::any_of(m_items.begin(), m_items.end(),
                                       [&](const Item& i) { return i.model == model; });
    if (!stillUsed)
        std::erase(model->m_views, this);
}

bool AcGsView::add(AcDbObjectId id, AcGsModel* model) {
    if (id.isNull())
        return false;
    m_items.push_back({id, nullptr, model});
    attachModel(model);
    invalidate();
    return true;
}

bool AcGsView::add(AcDbEntity* entity, AcGsModel* model) {
    if (!entity)
        return false;
    if (entity->isDatabaseResident())
        return add(entity->objectId(), model);
    m_items.push_back({AcDbObjectId(), entity, model});
    attachModel(model);
    invalidate();
    return true;
}

bool AcGsView::erase(AcDbObjectId id) {
    auto it = std::find_if(m_items.begin(), m_items.end(),
                           [&](const Item& i) { return !id.isNull() && i.id == id; });
    if (it == m_items.end())
        return false;
    AcGsModel* model = it->model;
    m_items.erase(it);
    detachModel(model);
    invalidate();
    return true;
}

bool AcGsView::erase(AcDbEntity* entity) {
    if (!entity)
        return false;
    if (entity->isDatabaseResident())
        return erase(entity->objectId());
    auto it = std::find_if(m_items.begin(), m_items.end(),
                           [&](const Item& i) { return i.entity == entity; });
    if (it == m_items.end())
        return false;
    AcGsModel* model = it->model;
    m_items.erase(it);
    detachModel(model);
    invalidate();
    return true;
}

void AcGsView::eraseAll() {
    std::vector<Item> items;
    items.swap(m_items);
    for (const Item& i : items)
        detachModel(i.model);
    invalidate();
}

AcDbExtents AcGsView::contentExtents() const {
    AcDbExtents all;
    auto addEntity = [&](const AcDbEntity& e) {
        AcDbExtents ext;
        if (e.getGeomExtents(ext) == Acad::eOk && ext.isValid())
            all.addExt(ext);
    };
    for (const Item& item : m_items) {
        if (item.entity) {
            addEntity(*item.entity);
            continue;
        }
        AcDbObject* obj = nullptr;
        if (acdbOpenAcDbObject(obj, item.id, AcDb::kForRead) != Acad::eOk)
            continue;
        if (auto* block = AcDbBlockTableRecord::cast(obj)) {
            for (AcDbObjectId id : block->entityIds()) {
                AcDbObjectPointer<AcDbEntity> e(id, AcDb::kForRead);
                if (e)
                    addEntity(*e.object());
            }
        } else if (auto* e = AcDbEntity::cast(obj)) {
            addEntity(*e);
        }
        obj->close();
    }
    return all;
}

void AcGsView::invalidate() {
    if (m_device)
        m_device->update();
}

void AcGsView::update() {
    if (m_device)
        m_device->update();
}

void AcGsView::draw(QPainter& painter) const {
    hostui::EntityRenderer renderer(painter, m_camera.worldToDeviceMatrix(), m_style);
    for (const Item& item : m_items) {
        if (item.entity)
            renderer.drawEntity(*item.entity);
        else
            renderer.drawObject(item.id);
    }
}

// ---- AcGsDevice

AcGsDevice::AcGsDevice(QWidget* widget) : m_widget(widget), m_background(33, 40, 48) {
    if (widget) {
        m_width = std::max(1, widget->width());
        m_height = std::max(1, widget->height());
        widget->installEventFilter(this);
    }
}

AcGsDevice::~AcGsDevice() {
    for (AcGsView* view : m_views)
        view->m_device = nullptr;
    if (m_widget) {
        m_widget->removeEventFilter(this);
        m_widget->update();
    }
}

void AcGsDevice::onSize(int width, int height) {
    m_width = std::max(1, width);
    m_height = std::max(1, height);
    for (AcGsView* view : m_views)
        view->m_camera.setDeviceSize(m_width, m_height);
    update();
}

bool AcGsDevice::add(AcGsView* view) {
    if (!view || view->m_device == this)
        return false;
    if (view->m_device)
        view->m_device->erase(view);
    view->m_device = this;
    view->m_camera.setDeviceSize(m_width, m_height);
    m_views.push_back(view);
    update();
    return true;
}

bool AcGsDevice::erase(AcGsView* view) {
    auto it = std::find(m_views.begin(), m_views.end(), view);
    if (it == m_views.end())
        return false;
    m_views.erase(it);
    view->m_device = nullptr;
    update();
    return true;
}

void AcGsDevice::invalidate() {
    update();
}

void AcGsDevice::update() {
    if (m_widget)
        m_widget->update();
}

void AcGsDevice::setBackgroundColor(const QColor& c) {
    m_background = c;
    update();
}

void AcGsDevice::draw(QPainter& painter) const {
    painter.fillRect(QRect(0, 0, m_width, m_height), m_background);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    for (AcGsView* view : m_views) {
        painter.save();
        view->draw(painter);
        painter.restore();
    }
}

bool AcGsDevice::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_widget) {
        if (event->type() == QEvent::Resize) {
            auto* resize = static_cast<QResizeEvent*>(event);
            onSize(resize->size().width(), resize->size().height());
        } else if (event->type() == QEvent::Paint && !m_views.empty()) {
            QPainter painter(m_widget);
            try {
                draw(painter);
            } catch (const std::bad_alloc&) {
                // Never out of a paint event: the rest is left undrawn.
                hostui::reportOutOfMemoryWhileDrawing();
            }
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

// ---- factory and manager

AcGsView* AcGsClassFactory::createView(const void*, bool) {
    return new AcGsView;
}

void AcGsClassFactory::deleteView(AcGsView* view) {
    delete view;
}

AcGsDevice* AcGsManager::createAutoCADDevice(QWidget* widget) {
    return widget ? new AcGsDevice(widget) : nullptr;
}

void AcGsManager::destroyAutoCADDevice(AcGsDevice* device) {
    delete device;
}

AcGsModel* AcGsManager::createAutoCADModel() {
    return new AcGsModel;
}

void AcGsManager::destroyAutoCADModel(AcGsModel* model) {
    if (!model)
        return;
    // Views keep drawing their objects; they only forget the model.
    for (AcGsView* view : std::vector<AcGsView*>(model->m_views))
        for (auto& item : view->m_items)
            if (item.model == model)
                item.model = nullptr;
    delete model;
}

AcGsManager* acgsGetGsManager(void*) {
    static AcGsManager manager;
    return &manager;
}
