#pragma once
// Draws drawing-database entities with QPainter through a world -> device
// matrix: lines and polylines with colour and line weight, solids, texts and
// multi-line texts with their alignment, block references (recursively, with
// ByBlock colours and layer 0 inherited from the reference), and tables through
// their graphics with the in-place cell selection highlighted on top.
//
// Views are plan views: the z of device coordinates is ignored.

#include "acdb/color.h"
#include "acdb/geometry.h"
#include "acdb/objectid.h"
#include "acdb/status.h"
#include "hostui/render_style.h"

#include <QColor>
#include <QPainterPath>
#include <QPolygonF>
#include <QTransform>
#include <map>
#include <set>
#include <string>

class QPainter;
class AcDbDatabase;
class AcDbEntity;
class AcDbBlockTableRecord;
class AcDbBlockReference;
class AcDbTable;
class AcDbText;
class AcDbMText;

namespace hostui {

// The plan part of a world -> device matrix as a QTransform.
QTransform planTransform(const AcGeMatrix3d& worldToDevice);

// Screen width in pixels of a line weight (hundredths of a millimetre at 96
// dots per inch), never below one pixel. Negative (ByLayer etc.) values must be
// resolved before; they give one pixel.
double lineWeightPixels(int lineWeight);

// The colour an entity is drawn with. byLayer and byBlock are the already
// resolved colours of the entity's layer and of the enclosing reference.
QColor resolveColor(const AcCmColor& color, const QColor& byLayer, const QColor& byBlock,
                    const QColor& foreground);

// Strips the formatting codes of multi-line text and returns its lines.
std::vector<std::string> mtextLines(const std::string& contents);

// Tells the user, once in a while, that a table could not be drawn for want
// of memory.
void reportOutOfMemoryWhileDrawing();

class EntityRenderer {
public:
    EntityRenderer(QPainter& painter, const AcGeMatrix3d& worldToDevice, const RenderStyle& style);

    // Draws an entity, or every entity of a block table record.
    void drawObject(AcDbObjectId id);
    void drawEntity(const AcDbEntity& entity);

private:
    struct Context {
        AcGeMatrix3d blockToWorld;  // identity at top level
        QColor byBlockColor;        // resolved colour of the enclosing reference
        int byBlockLineWeight = 25; // resolved line weight of the enclosing reference
        std::string layerForZero;   // entities on layer "0" in a block take this layer
        int depth = 0;
    };
    struct LayerLook {
        QColor color;
        int lineWeight = 25;
        bool hidden = false;
    };

    void drawEntity(const AcDbEntity& e, const Context& ctx);
    void drawBlockRecord(const AcDbBlockTableRecord& block, const Context& ctx);
    void drawReference(const AcDbBlockReference& ref, const Context& ctx);
    void drawTable(const AcDbTable& table, const Context& ctx);
    // The selected range as one area to tint and the outline round it; false
    // when the table has no usable selection.
    bool selectionShape(const AcDbTable& table, const Context& ctx, QPainterPath& area,
                        QPolygonF& outline) const;
    void drawOutline(const AcDbTable& table, const Context& ctx);
    void drawText(const AcDbText& text, const QColor& color, const Context& ctx);
    void drawMText(const AcDbMText& text, const QColor& color, const Context& ctx);

    const LayerLook& layerLook(AcDbDatabase* db, const std::string& name);
    std::string effectiveLayer(const AcDbEntity& e, const Context& ctx) const;
    QColor colorOf(const AcDbEntity& e, const Context& ctx);
    int lineWeightOf(const AcDbEntity& e, const Context& ctx);
    QPointF toDevice(const AcGePoint3d& p, const Context& ctx) const;
    QTransform deviceTransform(const Context& ctx) const;
    // Scale of world lengths on screen (pixels per unit).
    double pixelScale(const Context& ctx) const;

    QPainter& m_painter;
    AcGeMatrix3d m_worldToDevice;
    const RenderStyle& m_style;
    std::map<std::pair<AcDbDatabase*, std::string>, LayerLook> m_layers;
    std::set<AcDbObjectId> m_blockPath; // block records being drawn, against cycles
};

} // namespace hostui
