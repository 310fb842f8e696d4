#include "hostui/entity_renderer.h"

#include "acdb/database.h"
#include "acdb/entity.h"
#include "acdb/symboltables.h"
#include "acdb/table.h"
#include "cadhost/command_log.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <new>

namespace hostui {

namespace {

constexpr int kMaxBlockDepth = 32;
constexpr int kDefaultLineWeight = 25; // what "default" means on screen
constexpr double kReferenceFontPixels = 100.0;

// Reads an object for drawing: opened for read when possible; an object that a
// command holds open for write is read in place, since drawing only reads.
class DrawAccess {
public:
    explicit DrawAccess(AcDbObjectId id) {
        if (id.isNull() || id.isErased())
            return;
        AcDbObject* obj = nullptr;
        if (acdbOpenAcDbObject(obj, id, AcDb::kForRead) == Acad::eOk) {
            m_obj = obj;
            m_opened = true;
        } else {
            m_obj = id.objectLeftOpen();
        }
    }
    ~DrawAccess() {
        if (m_opened)
            m_obj->close();
    }
    DrawAccess(const DrawAccess&) = delete;
    DrawAccess& operator=(const DrawAccess&) = delete;
    AcDbObject* object() const { return m_obj; }

private:
    AcDbObject* m_obj = nullptr;
    bool m_opened = false;
};

const QFont& textFont() {
    static const QFont font = [] {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setStyleHint(QFont::SansSerif);
        f.setPixelSize(static_cast<int>(kReferenceFontPixels));
        return f;
    }();
    return font;
}

const QFontMetricsF& textMetrics() {
    static const QFontMetricsF fm(textFont());
    return fm;
}

// World units per font pixel for a text of the given (cap) height.
double fontScale(double height) {
    double cap = textMetrics().capHeight();
    if (!(cap > 0))
        cap = kReferenceFontPixels * 0.7;
    return height / cap;
}

QPolygonF polygon(std::initializer_list<QPointF> pts) {
    return QPolygonF(QList<QPointF>(pts));
}

} // namespace

QTransform planTransform(const AcGeMatrix3d& m) {
    return QTransform(m.entry[0][0], m.entry[1][0], m.entry[0][1], m.entry[1][1], m.entry[0][3],
                      m.entry[1][3]);
}

double lineWeightPixels(int lineWeight) {
    if (lineWeight <= 0)
        return 1.0;
    return std::max(1.0, lineWeight / 100.0 * 96.0 / 25.4);
}

QColor resolveColor(const AcCmColor& color, const QColor& byLayer, const QColor& byBlock,
                    const QColor& foreground) {
    if (color.isByLayer())
        return byLayer;
    if (color.isByBlock())
        return byBlock;
    if (color.isByColor()) {
        const AcCmRgb rgb = color.rgb();
        return QColor(rgb.red, rgb.green, rgb.blue);
    }
    if (color.isByACI()) {
        const int index = color.colorIndex();
        if (index == 0)
            return byBlock;
        if (index == 256)
            return byLayer;
        if (index == 7 || index < 1 || index > 255)
            return foreground;
        const AcCmRgb rgb = acdbColorIndexRgb(index);
        return QColor(rgb.red, rgb.green, rgb.blue);
    }
    return foreground;
}

std::vector<std::string> mtextLines(const std::string& s) {
    std::vector<std::string> lines(1);
    // Codes followed by an argument that ends with ';'.
    static const std::string withArgument = "ACcFfHQTWpS";
    for (std::size_t i = 0; i < s.size(); ++i) {
        const char c = s[i];
        if (c == '\n') {
            lines.emplace_back();
        } else if (c == '{' || c == '}') {
            continue;
        } else if (c == '\\' && i + 1 < s.size()) {
            const char code = s[++i];
            if (code == 'P' || code == 'n') {
                lines.emplace_back();
            } else if (code == '~') {
                lines.back() += ' ';
            } else if (code == '\\' || code == '{' || code == '}') {
                lines.back() += code;
            } else if (withArgument.find(code) != std::string::npos) {
                const std::size_t end = s.find(';', i + 1);
                i = end == std::string::npos ? s.size() : end;
            }
            // Other codes (L, l, O, o, K, k ...) only switch styles: dropped.
        } else {
            lines.back() += c;
        }
    }
    return lines;
}

void reportOutOfMemoryWhileDrawing() {
    // Once per episode of failures, not on every repaint.
    using Clock = std::chrono::steady_clock;
    static Clock::time_point last;
    static bool reported = false;
    const Clock::time_point now = Clock::now();
    if (reported && now - last < std::chrono::seconds(10))
        return;
    reported = true;
    last = now;
    cadhost::CommandLineLog::instance().print(
        "\nThere is not enough memory to draw a table; it is shown as its outline only.");
}

EntityRenderer::EntityRenderer(QPainter& painter, const AcGeMatrix3d& worldToDevice,
                               const RenderStyle& style)
    : m_painter(painter), m_worldToDevice(worldToDevice), m_style(style) {}

void EntityRenderer::drawObject(AcDbObjectId id) {
    DrawAccess access(id);
    AcDbObject* obj = access.object();
    if (!obj)
        return;
    Context ctx;
    ctx.byBlockColor = m_style.foreground;
    if (auto* block = AcDbBlockTableRecord::cast(obj))
        drawBlockRecord(*block, ctx);
    else if (auto* entity = AcDbEntity::cast(obj))
        drawEntity(*entity, ctx);
}

void EntityRenderer::drawEntity(const AcDbEntity& entity) {
    Context ctx;
    ctx.byBlockColor = m_style.foreground;
    drawEntity(entity, ctx);
}

void EntityRenderer::drawBlockRecord(const AcDbBlockTableRecord& block, const Context& ctx) {
    const AcDbObjectId blockId = block.objectId();
    if (!blockId.isNull() && !m_blockPath.insert(blockId).second)
        return; // a block that contains itself: draw it once
    for (AcDbObjectId id : block.entityIds()) {
        DrawAccess access(id);
        if (auto* e = AcDbEntity::cast(access.object()))
            drawEntity(*e, ctx);
    }
    if (!blockId.isNull())
        m_blockPath.erase(blockId);
}

const EntityRenderer::LayerLook& EntityRenderer::layerLook(AcDbDatabase* db,
                                                           const std::string& name) {
    auto key = std::make_pair(db, name);
    auto it = m_layers.find(key);
    if (it != m_layers.end())
        return it->second;
    LayerLook look;
    look.color = m_style.foreground;
    look.lineWeight = kDefaultLineWeight;
    if (db) {
        DrawAccess tableAccess(db->layerTableId());
        if (auto* table = AcDbLayerTable::cast(tableAccess.object())) {
            AcDbObjectId recordId;
            if (table->getAt(name, recordId) == Acad::eOk) {
                DrawAccess recordAccess(recordId);
                if (auto* layer = AcDbLayerTableRecord::cast(recordAccess.object())) {
                    look.color = resolveColor(layer->color(), m_style.foreground,
                                              m_style.foreground, m_style.foreground);
                    if (layer->lineWeight() >= 0)
                        look.lineWeight = layer->lineWeight();
                    look.hidden = layer->isOff() || layer->isFrozen();
                }
            }
        }
    }
    return m_layers.emplace(key, look).first->second;
}

std::string EntityRenderer::effectiveLayer(const AcDbEntity& e, const Context& ctx) const {
    if (!ctx.layerForZero.empty() && e.layer() == "0")
        return ctx.layerForZero;
    return e.layer();
}

QColor EntityRenderer::colorOf(const AcDbEntity& e, const Context& ctx) {
    const LayerLook& layer = layerLook(e.database(), effectiveLayer(e, ctx));
    return resolveColor(e.color(), layer.color, ctx.byBlockColor, m_style.foreground);
}

int EntityRenderer::lineWeightOf(const AcDbEntity& e, const Context& ctx) {
    const int lw = e.lineWeight();
    if (lw == AcDb::kLnWtByLayer)
        return layerLook(e.database(), effectiveLayer(e, ctx)).lineWeight;
    if (lw == AcDb::kLnWtByBlock)
        return ctx.byBlockLineWeight;
    if (lw < 0)
        return kDefaultLineWeight;
    return lw;
}

QPointF EntityRenderer::toDevice(const AcGePoint3d& p, const Context& ctx) const {
    const AcGePoint3d d = m_worldToDevice * (ctx.blockToWorld * p);
    return {d.x, d.y};
}

QTransform EntityRenderer::deviceTransform(const Context& ctx) const {
    return planTransform(m_worldToDevice * ctx.blockToWorld);
}

double EntityRenderer::pixelScale(const Context& ctx) const {
    const AcGeMatrix3d m = m_worldToDevice * ctx.blockToWorld;
    return std::sqrt(std::fabs(m.entry[0][0] * m.entry[1][1] - m.entry[0][1] * m.entry[1][0]));
}

void EntityRenderer::drawEntity(const AcDbEntity& e, const Context& ctx) {
    if (ctx.depth > kMaxBlockDepth)
        return;
    if (layerLook(e.database(), effectiveLayer(e, ctx)).hidden)
        return;
    // Attribute definitions show their tag only where the block is defined,
    // not through references.
    if (AcDbAttributeDefinition::cast(const_cast<AcDbEntity*>(&e))) {
        if (ctx.depth > 0)
            return;
    }
    auto* any = const_cast<AcDbEntity*>(&e);
    const QColor color = colorOf(e, ctx);
    QPen pen(color);
    pen.setCosmetic(true);
    pen.setWidthF(m_style.showLineWeights ? lineWeightPixels(lineWeightOf(e, ctx)) : 1.0);
    pen.setCapStyle(Qt::FlatCap);

    if (auto* table = AcDbTable::cast(any)) {
        drawTable(*table, ctx);
    } else if (auto* ref = AcDbBlockReference::cast(any)) {
        drawReference(*ref, ctx);
    } else if (auto* line = AcDbLine::cast(any)) {
        m_painter.setPen(pen);
        m_painter.drawLine(toDevice(line->startPoint(), ctx), toDevice(line->endPoint(), ctx));
    } else if (auto* pl = AcDbPolyline::cast(any)) {
        QPolygonF poly;
        for (const AcGePoint2d& v : pl->vertices())
            poly << toDevice(AcGePoint3d(v.x, v.y, pl->elevation()), ctx);
        if (pl->constantWidth() > 0) {
            pen.setCosmetic(false);
            pen.setWidthF(std::max(1.0, pl->constantWidth() * pixelScale(ctx)));
        }
        m_painter.setPen(pen);
        m_painter.setBrush(Qt::NoBrush);
        if (pl->isClosed())
            m_painter.drawPolygon(poly);
        else
            m_painter.drawPolyline(poly);
    } else if (auto* solid = AcDbSolid::cast(any)) {
        AcGePoint3d p[4];
        for (int i = 0; i < 4; ++i)
            solid->getPointAt(i, p[i]);
        // Corners 3 and 4 are stored crosswise.
        QPolygonF poly = polygon(
            {toDevice(p[0], ctx), toDevice(p[1], ctx), toDevice(p[3], ctx), toDevice(p[2], ctx)});
        QPen edge(color);
        edge.setCosmetic(true);
        m_painter.setPen(edge);
        m_painter.setBrush(color);
        m_painter.drawPolygon(poly);
        m_painter.setBrush(Qt::NoBrush);
    } else if (auto* mtext = AcDbMText::cast(any)) {
        drawMText(*mtext, color, ctx);
    } else if (auto* text = AcDbText::cast(any)) {
        drawText(*text, color, ctx);
    }
}

void EntityRenderer::drawReference(const AcDbBlockReference& ref, const Context& ctx) {
    DrawAccess access(ref.blockTableRecord());
    auto* block = AcDbBlockTableRecord::cast(access.object());
    if (!block)
        return;
    Context inner;
    inner.blockToWorld = ctx.blockToWorld * ref.blockTransform();
    inner.byBlockColor = colorOf(ref, ctx);
    inner.byBlockLineWeight = lineWeightOf(ref, ctx);
    inner.layerForZero = effectiveLayer(ref, ctx);
    inner.depth = ctx.depth + 1;
    drawBlockRecord(*block, inner);
}

void EntityRenderer::drawTable(const AcDbTable& table, const Context& ctx) {
    // The graphics are in the table's own world coordinates; ByBlock parts take
    // the table's colour and line weight.
    Context inner = ctx;
    inner.byBlockColor = colorOf(table, ctx);
    inner.byBlockLineWeight = lineWeightOf(table, ctx);
    inner.layerForZero = effectiveLayer(table, ctx);
    inner.depth = ctx.depth + 1;
    // The selection tints the cells' backgrounds, under the grid and the text,
    // so that text of any colour stays as legible as elsewhere; its border
    // goes on top.
    QPainterPath selectedArea;
    QPolygonF selectedOutline;
    const bool selected =
        table.hasSubSelection() && selectionShape(table, ctx, selectedArea, selectedOutline);
    try {
        const AcDbTableDrawing& picture = table.drawing();
        for (const auto& part : picture.fills)
            drawEntity(*part, inner);
        if (selected) {
            m_painter.save();
            m_painter.setPen(Qt::NoPen);
            m_painter.setBrush(m_style.selectionFill);
            m_painter.drawPath(selectedArea);
            m_painter.restore();
        }
        // Grid lines go through the same path as line entities, one reused
        // line standing in for each run.
        AcDbLine line;
        for (const AcDbTableDrawing::GridLine& run : picture.gridLines) {
            line.setStartPoint(run.start);
            line.setEndPoint(run.end);
            line.setColor(run.color);
            line.setLineWeight(run.lineWeight);
            drawEntity(line, inner);
        }
        for (const auto& part : picture.contents)
            drawEntity(*part, inner);
    } catch (const std::bad_alloc&) {
        // A table too big for the memory left: its outline stands in for it,
        // and the host goes on (an exception must not leave a paint event).
        drawOutline(table, ctx);
        reportOutOfMemoryWhileDrawing();
        return;
    }
    if (selected) {
        // One border round the whole range.
        m_painter.save();
        QPen edge(m_style.selectionEdge);
        edge.setCosmetic(true);
        edge.setWidthF(3);
        edge.setJoinStyle(Qt::MiterJoin);
        m_painter.setPen(edge);
        m_painter.setBrush(Qt::NoBrush);
        m_painter.drawPolygon(selectedOutline);
        m_painter.restore();
    }
}

void EntityRenderer::drawOutline(const AcDbTable& table, const Context& ctx) {
    AcDbExtents ext;
    if (table.getGeomExtents(ext) != Acad::eOk)
        return;
    const AcGePoint3d lo = ext.minPoint(), hi = ext.maxPoint();
    const QPointF corners[] = {toDevice(lo, ctx), toDevice({hi.x, lo.y, lo.z}, ctx),
                               toDevice(hi, ctx), toDevice({lo.x, hi.y, lo.z}, ctx)};
    QPen pen(colorOf(table, ctx));
    pen.setCosmetic(true);
    pen.setStyle(Qt::DashLine);
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
    m_painter.drawPolygon(corners, 4);
}

bool EntityRenderer::selectionShape(const AcDbTable& table, const Context& ctx, QPainterPath& area,
                                    QPolygonF& outline) const {
    int rowMin = 0, rowMax = 0, colMin = 0, colMax = 0;
    if (table.selectedCellRange(rowMin, rowMax, colMin, colMax) != Acad::eOk)
        return false;
    rowMin = std::max(rowMin, 0);
    colMin = std::max(colMin, 0);
    rowMax = std::min(rowMax, table.rowCount() - 1);
    colMax = std::min(colMax, table.columnCount() - 1);
    if (rowMin > rowMax || colMin > colMax)
        return false;

    // The range is one area: its corner cells span it, and only merged cells
    // on its rim can reach beyond. One path filled once (winding rule) keeps a
    // translucent fill even where merged outlines overlap, and a big range
    // costs its perimeter, not its area.
    area.setFillRule(Qt::WindingFill);
    AcGePoint3dArray pts;
    auto addCell = [&](int row, int col) {
        if (table.cellOutline(row, col, true, pts) == Acad::eOk && pts.size() >= 4)
            area.addPolygon(polygon({toDevice(pts[0], ctx), toDevice(pts[1], ctx),
                                     toDevice(pts[3], ctx), toDevice(pts[2], ctx)}));
    };
    auto addIfMerged = [&](int row, int col) {
        if (table.isMergedCell(row, col))
            addCell(row, col);
    };
    for (int col = colMin; col <= colMax; ++col) {
        addIfMerged(rowMin, col);
        if (rowMax != rowMin)
            addIfMerged(rowMax, col);
    }
    for (int row = rowMin + 1; row < rowMax; ++row) {
        addIfMerged(row, colMin);
        if (colMax != colMin)
            addIfMerged(row, colMax);
    }
    AcGePoint3dArray tl, tr, bl, br;
    if (table.cellOutline(rowMin, colMin, true, tl) != Acad::eOk ||
        table.cellOutline(rowMin, colMax, true, tr) != Acad::eOk ||
        table.cellOutline(rowMax, colMin, true, bl) != Acad::eOk ||
        table.cellOutline(rowMax, colMax, true, br) != Acad::eOk || tl.size() < 4 ||
        tr.size() < 4 || bl.size() < 4 || br.size() < 4)
        return false;
    outline = polygon(
        {toDevice(tl[0], ctx), toDevice(tr[1], ctx), toDevice(br[3], ctx), toDevice(bl[2], ctx)});
    area.addPolygon(outline);
    return true;
}

void EntityRenderer::drawText(const AcDbText& text, const QColor& color, const Context& ctx) {
    const std::string& s = text.textString();
    if (s.empty() || !(text.height() > 0))
        return;
    const QString str = QString::fromStdString(s);
    const QFontMetricsF& fm = textMetrics();
    double k = fontScale(text.height());
    double widthFactor = text.widthFactor() > 0 ? text.widthFactor() : 1.0;
    double rotation = text.rotation();
    const double advance = fm.horizontalAdvance(str);

    AcGePoint3d anchor = text.anchorPoint();
    double x0 = 0; // in font pixels, from the anchor
    const auto horz = text.horizontalMode();
    if (horz == AcDbText::kAligned || horz == AcDbText::kFit) {
        // Between position and alignment point: stretch (and for aligned
        // text scale the height) to fit.
        anchor = text.position();
        const AcGeVector3d span = text.alignmentPoint() - text.position();
        const double length = std::hypot(span.x, span.y);
        if (length > 0 && advance > 0) {
            rotation = std::atan2(span.y, span.x);
            const double natural = advance * k;
            if (horz == AcDbText::kAligned)
                k *= length / natural;
            else
                widthFactor = length / natural;
        }
    } else if (horz == AcDbText::kCenter || horz == AcDbText::kMid) {
        x0 = -advance / 2;
    } else if (horz == AcDbText::kRight) {
        x0 = -advance;
    }
    double baseline = 0; // font pixels below the anchor, y down
    const double capPx = text.height() / k;
    if (horz == AcDbText::kMid) {
        baseline = capPx / 2;
    } else {
        switch (text.verticalMode()) {
        case AcDbText::kBottom:
            baseline = -fm.descent();
            break;
        case AcDbText::kMiddle:
            baseline = capPx / 2;
            break;
        case AcDbText::kTop:
            baseline = capPx;
            break;
        default:
            break;
        }
    }

    const double screenHeight = text.height() * pixelScale(ctx);
    QTransform local;
    local.translate(anchor.x, anchor.y);
    local.rotateRadians(rotation);
    local.scale(k * widthFactor, -k);
    const QTransform toScreen = local * deviceTransform(ctx);

    m_painter.save();
    if (screenHeight < m_style.minTextPixels) {
        // Too small to read: a bar where the text is.
        QPen pen(color);
        pen.setCosmetic(true);
        m_painter.setPen(pen);
        m_painter.drawLine(toScreen.map(QPointF(x0, baseline - capPx / 2)),
                           toScreen.map(QPointF(x0 + advance, baseline - capPx / 2)));
    } else {
        m_painter.setTransform(toScreen, true);
        m_painter.setFont(textFont());
        m_painter.setPen(color);
        m_painter.drawText(QPointF(x0, baseline), str);
    }
    m_painter.restore();
}

void EntityRenderer::drawMText(const AcDbMText& text, const QColor& color, const Context& ctx) {
    if (!(text.textHeight() > 0))
        return;
    const QFontMetricsF& fm = textMetrics();
    const double k = fontScale(text.textHeight());
    const double capPx = text.textHeight() / k;
    const double lineStep = capPx * 5.0 / 3.0;
    const double wrapPx = text.width() > 0 ? text.width() / k : 0;

    // Lines after breaking at paragraph codes and wrapping at the width.
    std::vector<QString> lines;
    for (const std::string& raw : mtextLines(text.contents())) {
        const QString para = QString::fromStdString(raw);
        if (wrapPx <= 0 || fm.horizontalAdvance(para) <= wrapPx) {
            lines.push_back(para);
            continue;
        }
        QString current;
        for (const QString& word : para.split(QLatin1Char(' '))) {
            const QString candidate = current.isEmpty() ? word : current + QLatin1Char(' ') + word;
            if (!current.isEmpty() && fm.horizontalAdvance(candidate) > wrapPx) {
                lines.push_back(current);
                current = word;
            } else {
                current = candidate;
            }
        }
        lines.push_back(current);
    }
    while (!lines.empty() && lines.back().isEmpty())
        lines.pop_back();
    if (lines.empty())
        return;

    const int attachment = std::clamp(text.attachment(), 1, 9);
    const int column = (attachment - 1) % 3; // left, centre, right
    const int row = (attachment - 1) / 3;    // top, middle, bottom
    const double blockPx = capPx + lineStep * (static_cast<double>(lines.size()) - 1);
    double firstBaseline = capPx; // top attachment: cap of the first line at the location
    if (row == 1)
        firstBaseline = capPx - blockPx / 2;
    else if (row == 2)
        firstBaseline = capPx - blockPx;

    const AcGeVector3d dir = text.direction();
    const double rotation = std::atan2(dir.y, dir.x);
    QTransform local;
    local.translate(text.location().x, text.location().y);
    local.rotateRadians(rotation);
    local.scale(k, -k);
    const QTransform toScreen = local * deviceTransform(ctx);
    const bool tiny = text.textHeight() * pixelScale(ctx) < m_style.minTextPixels;

    m_painter.save();
    if (tiny) {
        QPen pen(color);
        pen.setCosmetic(true);
        m_painter.setPen(pen);
    } else {
        m_painter.setTransform(toScreen, true);
        m_painter.setFont(textFont());
        m_painter.setPen(color);
    }
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double advance = fm.horizontalAdvance(lines[i]);
        const double x = column == 0 ? 0 : column == 1 ? -advance / 2 : -advance;
        const double y = firstBaseline + lineStep * static_cast<double>(i);
        if (tiny)
            m_painter.drawLine(toScreen.map(QPointF(x, y - capPx / 2)),
                               toScreen.map(QPointF(x + advance, y - capPx / 2)));
        else
            m_painter.drawText(QPointF(x, y), lines[i]);
    }
    m_painter.restore();
}

} // namespace hostui
