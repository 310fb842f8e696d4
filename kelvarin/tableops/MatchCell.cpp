#include "MatchCell.h"

#include "TableEdits.h"
#include "util/UtiCommonFunc.h"

#include <algorithm>
#include <cmath>

tagAcadDbCell captureCellFormat(const AcDbTable& table, int row, int col) {
    tagAcadDbCell cell;
    cell.cellType = table.cellType(row, col);
    cell.alignment = table.cellAlignment(row, col);
    cell.fillColor = table.fillColor(row, col);
    cell.horizontalMargin = table.horizontalCellMargin();
    cell.tableId = table.objectId();
    table.cellOutline(row, col, true, cell.outline);
    cell.verticalMargin = table.verticalCellMargin();
    cell.fillNone = table.isFillNone(row, col);
    auto edge = [&](AcDb::CellEdgeMask mask, int& visibility, AcCmColor& color, int& weight) {
        visibility = table.edgeVisibility(row, col, mask);
        color = table.edgeColor(row, col, mask);
        weight = table.edgeLineWeight(row, col, mask);
    };
    edge(AcDb::kTopMask, cell.topVisibility, cell.topColor, cell.topLineWeight);
    edge(AcDb::kLeftMask, cell.leftVisibility, cell.leftColor, cell.leftLineWeight);
    edge(AcDb::kBottomMask, cell.bottomVisibility, cell.bottomColor, cell.bottomLineWeight);
    edge(AcDb::kRightMask, cell.rightVisibility, cell.rightColor, cell.rightLineWeight);
    if (cell.cellType == AcDb::kTextCell) {
        cell.textColor = table.textColor(row, col);
        cell.textStyleId = table.textStyle(row, col);
    } else if (cell.cellType == AcDb::kBlockCell) {
        cell.cellBlockRotation = table.cellBlockRotation(row, col);
        cell.cellBlockScale = table.cellBlockScale(row, col);
    }
    cell.row = row;
    cell.column = col;
    return cell;
}

bool applyCellFormat(AcDbTable& table, int row, int col, const tagAcadDbCell& source) {
    table.setCellAlignment(row, col, static_cast<AcDb::CellAlignment>(source.alignment));
    table.setFillNone(row, col, source.fillNone);
    if (!source.fillNone)
        table.setFillColor(row, col, source.fillColor);
    table.setHorizontalCellMargin(source.horizontalMargin);
    table.setVerticalCellMargin(source.verticalMargin);
    setCellEdge(&table, row, col, AcDb::kLeftMask, source.leftVisibility, source.leftColor,
                source.leftLineWeight);
    setCellEdge(&table, row, col, AcDb::kBottomMask, source.bottomVisibility, source.bottomColor,
                source.bottomLineWeight);
    setCellEdge(&table, row, col, AcDb::kRightMask, source.rightVisibility, source.rightColor,
                source.rightLineWeight);
    setCellEdge(&table, row, col, AcDb::kTopMask, source.topVisibility, source.topColor,
                source.topLineWeight);
    if (table.cellType(row, col) == source.cellType) {
        if (source.cellType == AcDb::kTextCell) {
            table.setTextColor(row, col, source.textColor);
            table.setTextStyle(row, col, source.textStyleId);
        } else if (source.cellType == AcDb::kBlockCell) {
            table.setCellBlockScale(row, col, source.cellBlockScale);
            table.setCellBlockRotation(row, col, source.cellBlockRotation);
        }
    }
    return true;
}

bool collectTableCells(std::vector<tagAcadDbCell>& cells) {
    resbuf* filter = acutBuildList(RTDXF0, "ACAD_TABLE", 0);
    ads_name selection;
    const int rc = acedSSGet("X", nullptr, nullptr, filter, selection);
    acutRelRb(filter);
    if (rc != RTNORM)
        return false;
    std::int32_t length = 0;
    acedSSLength(selection, &length);
    for (std::int32_t i = 0; i < length; ++i) {
        ads_name entity;
        AcDbObjectId id;
        if (acedSSName(selection, i, entity) != RTNORM || acdbGetObjectId(id, entity) != Acad::eOk)
            continue;
        AcDbTable* table = nullptr;
        if (acdbOpenObject(table, id, AcDb::kForWrite) != Acad::eOk)
            continue;
        for (int row = 0; row < table->rowCount(); ++row)
            for (int col = 0; col < table->columnCount(); ++col) {
                tagAcadDbCell cell;
                cell.tableId = id;
                cell.row = row;
                cell.column = col;
                table->cellOutline(row, col, true, cell.outline);
                cells.push_back(std::move(cell));
            }
        table->close();
    }
    acedSSFree(selection);
    return true;
}

namespace {

// The outline lists its corners side by side; 0, 1, 3, 2 walks around it.
AcGePoint3dArray ringOf(const AcGePoint3dArray& outline) {
    if (outline.size() != 4)
        return outline;
    return {outline[0], outline[1], outline[3], outline[2]};
}

} // namespace

int findDestinationByScan(const std::vector<tagAcadDbCell>& cells, const AcGePoint3d& point) {
    for (std::size_t i = 0; i < cells.size(); ++i)
        if (CUtiCommonFunc::classifyPointInPolygon(point, ringOf(cells[i].outline)) == -1)
            return static_cast<int>(i);
    return -1;
}

CellHitIndex::CellHitIndex(const std::vector<tagAcadDbCell>& cells) : m_cells(cells) {
    if (cells.empty())
        return;
    m_boxes.reserve(cells.size());
    double minX = INFINITY, minY = INFINITY, maxX = -INFINITY, maxY = -INFINITY;
    double sumW = 0, sumH = 0;
    for (const tagAcadDbCell& cell : cells) {
        Box box{INFINITY, INFINITY, -INFINITY, -INFINITY};
        for (const AcGePoint3d& p : cell.outline) {
            box.minX = std::min(box.minX, p.x);
            box.minY = std::min(box.minY, p.y);
            box.maxX = std::max(box.maxX, p.x);
            box.maxY = std::max(box.maxY, p.y);
        }
        if (cell.outline.empty())
            box = {0, 0, -1, -1}; // holds no point
        else {
            minX = std::min(minX, box.minX);
            minY = std::min(minY, box.minY);
            maxX = std::max(maxX, box.maxX);
            maxY = std::max(maxY, box.maxY);
            sumW += box.maxX - box.minX;
            sumH += box.maxY - box.minY;
        }
        m_boxes.push_back(box);
    }
    if (!(minX <= maxX) || !std::isfinite(maxX - minX) || !std::isfinite(maxY - minY))
        return;
    // About one average cell per bucket, within a bound on the bucket count.
    const double n = static_cast<double>(cells.size());
    const double spanX = std::max(maxX - minX, 1e-9);
    const double spanY = std::max(maxY - minY, 1e-9);
    const double avgW = std::max(sumW / n, spanX / 4096);
    const double avgH = std::max(sumH / n, spanY / 4096);
    m_cols = static_cast<int>(std::clamp(std::ceil(spanX / avgW), 1.0, 4096.0));
    m_rows = static_cast<int>(std::clamp(std::ceil(spanY / avgH), 1.0, 4096.0));
    while (static_cast<double>(m_cols) * m_rows > 4.0 * n + 1024) {
        m_cols = std::max(1, m_cols / 2);
        m_rows = std::max(1, m_rows / 2);
    }
    m_minX = minX;
    m_minY = minY;
    m_cellW = spanX / m_cols;
    m_cellH = spanY / m_rows;
    m_buckets.assign(static_cast<std::size_t>(m_cols) * m_rows, {});
    for (std::size_t i = 0; i < m_boxes.size(); ++i) {
        const Box& box = m_boxes[i];
        if (box.minX > box.maxX)
            continue;
        int x0, y0, x1, y1;
        bucketOf(box.minX, box.minY, x0, y0);
        bucketOf(box.maxX, box.maxY, x1, y1);
        for (int by = y0; by <= y1; ++by)
            for (int bx = x0; bx <= x1; ++bx)
                m_buckets[static_cast<std::size_t>(by) * m_cols + bx].push_back(
                    static_cast<int>(i));
    }
}

bool CellHitIndex::bucketOf(double x, double y, int& bx, int& by) const {
    const double fx = (x - m_minX) / m_cellW;
    const double fy = (y - m_minY) / m_cellH;
    const bool inside = fx >= 0 && fy >= 0 && fx <= m_cols && fy <= m_rows;
    bx = static_cast<int>(std::clamp(std::floor(fx), 0.0, static_cast<double>(m_cols - 1)));
    by = static_cast<int>(std::clamp(std::floor(fy), 0.0, static_cast<double>(m_rows - 1)));
    return inside;
}

int CellHitIndex::find(const AcGePoint3d& point) const {
    if (m_buckets.empty())
        return m_cells.empty() ? -1 : findDestinationByScan(m_cells, point);
    int bx, by;
    if (!bucketOf(point.x, point.y, bx, by))
        return -1; // outside every box: strictly inside no outline
    for (int i : m_buckets[static_cast<std::size_t>(by) * m_cols + bx]) {
        const Box& box = m_boxes[static_cast<std::size_t>(i)];
        if (point.x < box.minX || point.x > box.maxX || point.y < box.minY || point.y > box.maxY)
            continue;
        if (CUtiCommonFunc::classifyPointInPolygon(point, ringOf(m_cells[i].outline)) == -1)
            return i;
    }
    return -1;
}

bool matchCell() {
    AcApDocManager* docs = acDocManagerPtr();
    AcDbTable* table = lockAndPickSelectedTable();
    if (!table)
        return true;
    tagAcadTableRange range;
    table->selectedCellRange(range.rowMin, range.rowMax, range.colMin, range.colMax);

    resbuf osmode{};
    const bool haveOsmode = acedGetVar("OSMODE", &osmode) == RTNORM;
    resbuf off{};
    off.restype = RTSHORT;
    off.resval.rint = 0;
    acedSetVar("OSMODE", &off);

    const tagAcadDbCell source = captureCellFormat(*table, range.rowMin, range.colMin);
    table->close();

    std::vector<tagAcadDbCell> targets;
    collectTableCells(targets);
    const CellHitIndex index(targets);

    ads_point picked;
    while (acedGetPoint(nullptr, "\nSelect destination cell:", picked) == RTNORM) {
        const int hit = index.find(AcGePoint3d(picked[0], picked[1], picked[2]));
        if (hit < 0)
            continue;
        const tagAcadDbCell& target = targets[static_cast<std::size_t>(hit)];
        AcDbTable* destination = nullptr;
        if (acdbOpenObject(destination, target.tableId, AcDb::kForWrite) != Acad::eOk)
            continue;
        applyCellFormat(*destination, target.row, target.column, source);
        destination->close();
        acedGetAcadFrame()->UpdateDisplay();
    }

    if (haveOsmode)
        acedSetVar("OSMODE", &osmode);
    docs->releaseDocumentLock(docs->activeDocument());
    acedGetAcadFrame()->SetFocus();
    return true;
}
