#pragma once
// The host graphics system: a manager that makes devices and models, a class
// factory that makes views, devices bound to a widget, and views with a camera
// that draw drawing-database objects through the entity renderer. The drawing
// view and the add-ins' preview controls both draw through it.
//
// Painting: while a device has at least one view it owns the painting of its
// widget: each paint event fills the background and draws the views in the
// order they were added; the widget's own paint handler is not called. Without
// views the widget paints as usual. update() and invalidate() ask for a repaint.

#include "acdb/geometry.h"
#include "acdb/objectid.h"
#include "hostui/gs_camera.h"
#include "hostui/render_style.h"

#include <QColor>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <memory>
#include <vector>

class QPainter;
class QWidget;
class AcDbEntity;
class AcGsDevice;
class AcGsView;

// A model is the cache a view draws its objects from. Here objects are read
// from the database at every redraw, so the model only groups what views show
// and lets a change to the drawing reach every view that shows it.
class AcGsModel {
public:
    enum RenderType { kMain = 0 };
    explicit AcGsModel(RenderType type = kMain) : m_type(type) {}
    RenderType renderType() const { return m_type; }
    // Something of the drawing changed: every view showing this model redraws.
    void invalidate();

private:
    friend class AcGsView;
    friend class AcGsManager;
    RenderType m_type;
    std::vector<AcGsView*> m_views;
};

class AcGsView {
public:
    enum Projection { kParallel = 0, kPerspective = 1 };

    AcGsView();
    ~AcGsView();
    AcGsView(const AcGsView&) = delete;
    AcGsView& operator=(const AcGsView&) = delete;

    // ---- camera
    void setView(const AcGePoint3d& position, const AcGePoint3d& target,
                 const AcGeVector3d& upVector, double fieldWidth, double fieldHeight,
                 Projection projection = kParallel);
    AcGePoint3d position() const { return m_camera.position(); }
    AcGePoint3d target() const { return m_camera.target(); }
    AcGeVector3d upVector() const { return m_camera.upVector(); }
    double fieldWidth() const { return m_camera.fieldWidth(); }
    double fieldHeight() const { return m_camera.fieldHeight(); }
    bool isPerspective() const { return m_camera.isPerspective(); }
    // factor > 1 magnifies (the field shrinks by it).
    void zoom(double factor);
    // Moves camera and target together; the vector is in eye coordinates
    // (world units along the screen's right, up and depth axes).
    void dolly(const AcGeVector3d& vector);
    void dolly(double x, double y, double z) { dolly(AcGeVector3d(x, y, z)); }

    // World -> eye, eye -> normalised, normalised -> device, and the product.
    // A device displacement d is an eye displacement
    // viewingMatrix() * worldToDeviceMatrix().inverse() * d.
    AcGeMatrix3d viewingMatrix() const { return m_camera.viewingMatrix(); }
    AcGeMatrix3d projectionMatrix() const { return m_camera.projectionMatrix(); }
    AcGeMatrix3d screenMatrix() const { return m_camera.screenMatrix(); }
    AcGeMatrix3d worldToDeviceMatrix() const { return m_camera.worldToDeviceMatrix(); }
    const hostui::GsCamera& camera() const { return m_camera; }
    hostui::GsCamera& camera() { return m_camera; }

    // ---- contents
    // Adds a database object: an entity, or a block table record whose
    // entities are all drawn (a whole space). It is read at every redraw.
    bool add(AcDbObjectId id, AcGsModel* model);
    // Adds an entity. One in a database is kept by id; one outside a database
    // is drawn from the pointer, which must outlive its place in the view.
    bool add(AcDbEntity* entity, AcGsModel* model);
    bool erase(AcDbObjectId id);
    bool erase(AcDbEntity* entity);
    void eraseAll();
    std::size_t drawableCount() const { return m_items.size(); }
    // Union of the extents of everything shown; invalid when there is nothing.
    AcDbExtents contentExtents() const;

    // ---- redraw
    void invalidate();
    void update();
    AcGsDevice* device() const { return m_device; }

    hostui::RenderStyle& style() { return m_style; }
    const hostui::RenderStyle& style() const { return m_style; }
    // Draws everything into the painter with the current camera.
    void draw(QPainter& painter) const;

private:
    friend class AcGsDevice;
    friend class AcGsModel;
    friend class AcGsManager;
    struct Item {
        AcDbObjectId id;
        AcDbEntity* entity = nullptr; // only for entities outside a database
        AcGsModel* model = nullptr;
    };
    void detachModel(AcGsModel* model);
    void attachModel(AcGsModel* model);

    hostui::GsCamera m_camera;
    hostui::RenderStyle m_style;
    std::vector<Item> m_items;
    AcGsDevice* m_device = nullptr;
};

// A device draws views into one widget.
class AcGsDevice : public QObject {
    Q_OBJECT
public:
    explicit AcGsDevice(QWidget* widget);
    ~AcGsDevice() override;

    QWidget* widget() const { return m_widget; }
    // Client size in pixels; the widget's resize events also set it.
    void onSize(int width, int height);
    int width() const { return m_width; }
    int height() const { return m_height; }

    bool add(AcGsView* view);
    bool erase(AcGsView* view);
    const std::vector<AcGsView*>& views() const { return m_views; }

    void invalidate();
    void update();

    QColor backgroundColor() const { return m_background; }
    void setBackgroundColor(const QColor& c);
    // Fills the background and draws every view.
    void draw(QPainter& painter) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> m_widget;
    std::vector<AcGsView*> m_views;
    int m_width = 1, m_height = 1;
    QColor m_background;
};

class AcGsClassFactory {
public:
    // The arguments exist for callers written for richer graphics systems;
    // they are accepted and ignored.
    AcGsView* createView(const void* clientViewInfo = nullptr,
                         bool enableLayerVisibilityPerView = false);
    void deleteView(AcGsView* view);
};

class AcGsManager {
public:
    AcGsDevice* createAutoCADDevice(QWidget* widget);
    void destroyAutoCADDevice(AcGsDevice* device);
    AcGsModel* createAutoCADModel();
    void destroyAutoCADModel(AcGsModel* model);
    AcGsClassFactory* getGSClassFactory() { return &m_factory; }

private:
    AcGsClassFactory m_factory;
};

// The process-wide graphics manager. The argument (a drawing view) is accepted
// for callers that pass one and ignored.
AcGsManager* acgsGetGsManager(void* view = nullptr);
