#include "table_graphics.h"

#include "acdb/database.h"
#include "acdb/symboltables.h"
#include "acdb/table.h"

#include <algorithm>
#include <cmath>

namespace acdbtable {

namespace {

// Column (0 left, 1 centre, 2 right) and line (0 top, 1 middle, 2 bottom) of
// an alignment 1..9.
int alignColumn(int alignment) {
    return (std::clamp(alignment, 1, 9) - 1) % 3;
}
int alignLine(int alignment) {
    return (std::clamp(alignment, 1, 9) - 1) / 3;
}

} // namespace

BlockContentBox blockContentBox(AcDbObjectId blockId) {
    BlockContentBox out;
    AcDbObjectPointer<AcDbBlockTableRecord> rec(blockId, AcDb::kForRead);
    if (!rec) {
        // An id of something that is no block never draws; anything else
        // (open elsewhere, erased) may draw later.
        out.retryLater = rec.openStatus() != Acad::eNotThatKindOfClass;
        return out;
    }
    for (AcDbObjectId id : rec->entityIds()) {
        AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
        AcDbExtents e;
        if (ent && ent->getGeomExtents(e) == Acad::eOk)
            out.extents.addExt(e);
    }
    if (!out.extents.isValid())
        out.extents = AcDbExtents(rec->origin(), rec->origin());
    out.readable = true;
    return out;
}

TableGraphicsBuilder::TableGraphicsBuilder(const AcDbTable& table, const TableFrame& frame,
                                           const TableLayout& layout)
    : m_table(table), m_frame(frame), m_layout(layout), m_rows(table.rowCount()),
      m_cols(table.columnCount()) {
    m_regionOfCell.assign(static_cast<std::size_t>(m_rows) * m_cols, -1);
    for (const AcDbTable::Range& r : table.mergedRanges()) {
        m_regions.push_back({r.minRow, r.maxRow, r.minCol, r.maxCol});
        for (int row = r.minRow; row <= r.maxRow; ++row)
            for (int col = r.minCol; col <= r.maxCol; ++col)
                m_regionOfCell[static_cast<std::size_t>(row) * m_cols + col] =
                    static_cast<int>(m_regions.size() - 1);
    }
}

TableGraphics TableGraphicsBuilder::build() {
    TableGraphics out;
    out.complete =
        build([&out](std::unique_ptr<AcDbEntity> e) { out.entities.push_back(std::move(e)); });
    return out;
}

bool TableGraphicsBuilder::build(const std::function<void(std::unique_ptr<AcDbEntity>)>& sink) {
    m_sink = sink;
    m_drawing = nullptr;
    m_complete = true;
    // Fills first so that lines and contents are drawn over them.
    addFills();
    addGridLines();
    addContents();
    m_sink = nullptr;
    return m_complete;
}

AcDbTableDrawing TableGraphicsBuilder::buildDrawing(bool& complete) {
    AcDbTableDrawing out;
    m_drawing = &out;
    m_complete = true;
    m_inFills = true;
    addFills();
    m_inFills = false;
    addGridLines();
    addContents();
    m_drawing = nullptr;
    complete = m_complete;
    return out;
}

std::vector<AcDbTableDrawing::GridLine> TableGraphicsBuilder::buildGridLines() {
    AcDbTableDrawing out;
    m_drawing = &out;
    addGridLines();
    m_drawing = nullptr;
    return std::move(out.gridLines);
}

void TableGraphicsBuilder::emit(std::unique_ptr<AcDbEntity> e) {
    if (!m_drawing)
        m_sink(std::move(e));
    else if (m_inFills)
        m_drawing->fills.push_back(std::move(e));
    else
        m_drawing->contents.push_back(std::move(e));
}

TableGraphicsBuilder::Rect TableGraphicsBuilder::cellRect(int minRow, int maxRow, int minCol,
                                                          int maxCol) const {
    return {m_layout.colX[minCol], m_layout.colX[maxCol + 1], -m_layout.rowY[minRow],
            -m_layout.rowY[maxRow + 1]};
}

template <class Fn> void TableGraphicsBuilder::forEachShownCell(Fn fn) const {
    for (int row = 0; row < m_rows; ++row) {
        for (int col = 0; col < m_cols; ++col) {
            int region = m_regionOfCell[static_cast<std::size_t>(row) * m_cols + col];
            Rect r = cellRect(row, row, col, col);
            if (region >= 0) {
                const CellRange& g = m_regions[region];
                if (g.minRow != row || g.minCol != col)
                    continue; // a merged cell shows its top-left cell's fill and content
                r = cellRect(g.minRow, g.maxRow, g.minCol, g.maxCol);
            }
            fn(row, col, r);
        }
    }
}

void TableGraphicsBuilder::addFills() {
    forEachShownCell([this](int row, int col, const Rect& r) {
        if (m_table.isFillNone(row, col))
            return;
        auto solid = std::make_unique<AcDbSolid>(
            m_frame.at(r.left, r.top), m_frame.at(r.right, r.top), m_frame.at(r.left, r.bottom),
            m_frame.at(r.right, r.bottom));
        solid->setColor(m_table.fillColor(row, col));
        emit(std::move(solid));
    });
}

void TableGraphicsBuilder::addLine(double u0, double v0, double u1, double v1, int row, int col,
                                   int edge) {
    // The segment itself: a cell's edges in a merged region name the region's outline.
    const AcDbTable::GridEdge seg =
        m_table.gridEdge(row, col, static_cast<AcDb::CellEdgeMask>(edge));
    if (seg.visibility != AcDb::kVisible)
        return;
    auto line = std::make_unique<AcDbLine>(m_frame.at(u0, v0), m_frame.at(u1, v1));
    line->setColor(seg.color);
    line->setLineWeight(seg.lineWeight);
    emit(std::move(line));
}

void TableGraphicsBuilder::addGridLines() {
    auto regionOf = [&](int row, int col) {
        return m_regionOfCell[static_cast<std::size_t>(row) * m_cols + col];
    };
    if (m_drawing) {
        addHorizontalRuns();
        addVerticalRuns();
        return;
    }
    // Horizontal segments, line by line; segments inside a merged cell are not drawn.
    for (int line = 0; line <= m_rows; ++line) {
        double v = -m_layout.rowY[line];
        for (int col = 0; col < m_cols; ++col) {
            if (line > 0 && line < m_rows && regionOf(line - 1, col) >= 0 &&
                regionOf(line - 1, col) == regionOf(line, col))
                continue;
            if (line < m_rows)
                addLine(m_layout.colX[col], v, m_layout.colX[col + 1], v, line, col,
                        AcDb::kTopMask);
            else
                addLine(m_layout.colX[col], v, m_layout.colX[col + 1], v, m_rows - 1, col,
                        AcDb::kBottomMask);
        }
    }
    auto vertical = [&](int row, int line) {
        if (line > 0 && line < m_cols && regionOf(row, line - 1) >= 0 &&
            regionOf(row, line - 1) == regionOf(row, line))
            return;
        double top = -m_layout.rowY[row], bottom = -m_layout.rowY[row + 1];
        double u = m_layout.colX[line];
        if (line < m_cols)
            addLine(u, top, u, bottom, row, line, AcDb::kLeftMask);
        else
            addLine(u, top, u, bottom, row, m_cols - 1, AcDb::kRightMask);
    };
    for (int row = 0; row < m_rows; ++row)
        for (int line = 0; line <= m_cols; ++line)
            vertical(row, line);
}

void TableGraphicsBuilder::addHorizontalRuns() {
    // Line by line with one open run: neighbouring segments of the same look
    // along a grid line become one run.
    std::vector<AcDbTableDrawing::GridLine>& runs = m_drawing->gridLines;
    std::vector<AcDbTable::GridEdge> edges;
    for (int line = 0; line <= m_rows; ++line) {
        const double v = -m_layout.rowY[line];
        m_table.horizontalGridLine(line, edges);
        const int* above =
            line > 0 ? &m_regionOfCell[static_cast<std::size_t>(line - 1) * m_cols] : nullptr;
        const int* below =
            line < m_rows ? &m_regionOfCell[static_cast<std::size_t>(line) * m_cols] : nullptr;
        bool open = false;
        double u0 = 0, u1 = 0;
        AcCmColor color;
        AcDb::LineWeight lineWeight = AcDb::kLnWtByBlock;
        auto close = [&] {
            if (open)
                runs.push_back({m_frame.at(u0, v), m_frame.at(u1, v), color, lineWeight});
            open = false;
        };
        for (int col = 0; col < m_cols; ++col) {
            if (above && below && above[col] >= 0 && above[col] == below[col]) {
                close(); // inside a merged cell
                continue;
            }
            const AcDbTable::GridEdge& seg = edges[static_cast<std::size_t>(col)];
            if (seg.visibility != AcDb::kVisible) {
                close();
                continue;
            }
            const double left = m_layout.colX[col], right = m_layout.colX[col + 1];
            if (open && u1 == left && color == seg.color && lineWeight == seg.lineWeight) {
                u1 = right;
                continue;
            }
            close();
            open = true;
            u0 = left;
            u1 = right;
            color = seg.color;
            lineWeight = seg.lineWeight;
        }
        close();
    }
}

void TableGraphicsBuilder::addVerticalRuns() {
    // Row by row, the order the segments are stored in, with one open run per
    // vertical line: a big table's picture is built from memory read in order.
    struct OpenRun {
        bool open = false;
        double u = 0, top = 0, bottom = 0;
        AcCmColor color;
        AcDb::LineWeight lineWeight = AcDb::kLnWtByBlock;
    };
    std::vector<OpenRun> open(static_cast<std::size_t>(m_cols) + 1);
    std::vector<AcDbTableDrawing::GridLine>& runs = m_drawing->gridLines;
    auto close = [&](OpenRun& r) {
        if (r.open)
            runs.push_back(
                {m_frame.at(r.u, r.top), m_frame.at(r.u, r.bottom), r.color, r.lineWeight});
        r.open = false;
    };
    std::vector<AcDbTable::GridEdge> edges;
    for (int row = 0; row < m_rows; ++row) {
        const double top = -m_layout.rowY[row], bottom = -m_layout.rowY[row + 1];
        const int* regions = &m_regionOfCell[static_cast<std::size_t>(row) * m_cols];
        m_table.verticalGridSegments(row, edges);
        for (int line = 0; line <= m_cols; ++line) {
            OpenRun& r = open[static_cast<std::size_t>(line)];
            if (line > 0 && line < m_cols && regions[line - 1] >= 0 &&
                regions[line - 1] == regions[line]) {
                close(r); // inside a merged cell
                continue;
            }
            const AcDbTable::GridEdge& seg = edges[static_cast<std::size_t>(line)];
            if (seg.visibility != AcDb::kVisible) {
                close(r);
                continue;
            }
            if (r.open && r.bottom == top && r.color == seg.color &&
                r.lineWeight == seg.lineWeight) {
                r.bottom = bottom;
                continue;
            }
            close(r);
            r = {true, m_layout.colX[line], top, bottom, seg.color, seg.lineWeight};
        }
    }
    for (OpenRun& r : open)
        close(r);
}

void TableGraphicsBuilder::addContents() {
    forEachShownCell([this](int row, int col, const Rect& r) {
        if (m_table.cellType(row, col) == AcDb::kBlockCell)
            addBlock(row, col, r);
        else
            addText(row, col, r);
    });
}

AcDbObjectId TableGraphicsBuilder::resolvedTextStyle(AcDbObjectId id) const {
    if (id.isNull() && m_table.database())
        return m_table.database()->textstyle();
    return id;
}

void TableGraphicsBuilder::addText(int row, int col, const Rect& r) {
    std::string text = m_table.textString(row, col);
    if (text.empty())
        return;
    const double hm = m_table.horizontalCellMargin();
    const double vm = m_table.verticalCellMargin();
    const int alignment = m_table.cellAlignment(row, col);
    const double u[] = {r.left + hm, (r.left + r.right) / 2, r.right - hm};
    const double v[] = {r.top - vm, (r.top + r.bottom) / 2, r.bottom + vm};

    auto mtext = std::make_unique<AcDbMText>();
    mtext->setContents(text);
    mtext->setTextHeight(m_table.textHeight(row, col));
    mtext->setAttachment(alignment);
    mtext->setDirection(m_frame.xAxis);
    mtext->setWidth(std::max(0.0, r.right - r.left - 2 * hm));
    mtext->setTextStyle(resolvedTextStyle(m_table.textStyle(row, col)));
    mtext->setColor(m_table.textColor(row, col));
    mtext->setLocation(m_frame.at(u[alignColumn(alignment)], v[alignLine(alignment)]));
    emit(std::move(mtext));
}

void TableGraphicsBuilder::addBlock(int row, int col, const Rect& r) {
    const AcDbObjectId blockId = m_table.cellBlock(row, col);
    if (blockId.isNull())
        return;

    // What a reference to the block shows, in block coordinates: its entities
    // and, as texts, the attributes of its visible definitions (editable ones
    // with the cell's value, constant ones with their fixed text).
    const BlockContentBox box = blockContentBox(blockId);
    if (!box.readable) {
        if (box.retryLater)
            m_complete = false;
        return;
    }
    const AcDbExtents& blockExt = box.extents;
    std::vector<std::unique_ptr<AcDbText>> attributeTexts;
    {
        AcDbObjectPointer<AcDbBlockTableRecord> rec(blockId, AcDb::kForRead);
        if (!rec) {
            m_complete = false;
            return;
        }
        for (AcDbObjectId id : rec->entityIds()) {
            AcDbObjectPointer<AcDbAttributeDefinition> def(id, AcDb::kForRead);
            if (!def || def->isInvisible())
                continue;
            std::string value = def->textString();
            if (!def->isConstant()) {
                if (std::string cellValue;
                    m_table.cellBlockAttributeValue(row, col, id, cellValue) == Acad::eOk)
                    value = cellValue;
            }
            auto text = std::make_unique<AcDbText>();
            text->copyEntityProperties(*def.object());
            text->setPosition(def->position());
            text->setAlignmentPoint(def->alignmentPoint());
            text->setHeight(def->height());
            text->setRotation(def->rotation());
            text->setWidthFactor(def->widthFactor());
            text->setTextStyle(resolvedTextStyle(def->textStyle()));
            text->setHorizontalMode(def->horizontalMode());
            text->setVerticalMode(def->verticalMode());
            text->setTextString(value);
            attributeTexts.push_back(std::move(text));
        }
    }

    auto ref = std::make_unique<AcDbBlockReference>(m_frame.origin, blockId);
    ref->setNormal(m_frame.zAxis);
    ref->setRotation(std::atan2(m_frame.xAxis.y, m_frame.xAxis.x) +
                     m_table.cellBlockRotation(row, col));

    // The block's box at unit scale with the reference at the frame's origin,
    // in plane coordinates; scaling the reference scales the box about the origin.
    const AcGeMatrix3d unit = ref->blockTransform();
    double uMin = HUGE_VAL, uMax = -HUGE_VAL, vMin = HUGE_VAL, vMax = -HUGE_VAL;
    const AcGePoint3d& lo = blockExt.minPoint();
    const AcGePoint3d& hi = blockExt.maxPoint();
    for (int corner = 0; corner < 8; ++corner) {
        AcGePoint3d p(corner & 1 ? hi.x : lo.x, corner & 2 ? hi.y : lo.y, corner & 4 ? hi.z : lo.z);
        AcGePoint3d w = unit * p;
        uMin = std::min(uMin, m_frame.uOf(w));
        uMax = std::max(uMax, m_frame.uOf(w));
        vMin = std::min(vMin, m_frame.vOf(w));
        vMax = std::max(vMax, m_frame.vOf(w));
    }

    const double hm = m_table.horizontalCellMargin();
    const double vm = m_table.verticalCellMargin();
    double scale = m_table.cellBlockScale(row, col);
    if (m_table.cellBlockAutoFit(row, col)) {
        const double availW = r.right - r.left - 2 * hm;
        const double availH = r.top - r.bottom - 2 * vm;
        const double eps = 1e-12;
        scale = HUGE_VAL;
        if (uMax - uMin > eps)
            scale = std::min(scale, availW / (uMax - uMin));
        if (vMax - vMin > eps)
            scale = std::min(scale, availH / (vMax - vMin));
        if (scale == HUGE_VAL)
            scale = 1.0; // a point-sized block: nothing to fit
    }
    if (!(scale > 0) || !std::isfinite(scale))
        return; // no room inside the margins

    const int alignment = m_table.cellAlignment(row, col);
    const double du[] = {r.left + hm - scale * uMin, (r.left + r.right - scale * (uMin + uMax)) / 2,
                         r.right - hm - scale * uMax};
    const double dv[] = {r.top - vm - scale * vMax, (r.top + r.bottom - scale * (vMin + vMax)) / 2,
                         r.bottom + vm - scale * vMin};
    ref->setScaleFactors(AcGeVector3d(scale, scale, scale));
    ref->setPosition(m_frame.at(du[alignColumn(alignment)], dv[alignLine(alignment)]));

    const AcGeMatrix3d placed = ref->blockTransform();
    emit(std::move(ref));
    for (auto& text : attributeTexts) {
        text->transformBy(placed);
        emit(std::move(text));
    }
}

} // namespace acdbtable
