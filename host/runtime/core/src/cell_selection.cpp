// The in-place cell selection service.
#include "cadhost/cell_selection.h"

#include "acdocman.h"

#include "acdb/database.h"
#include "acdb/table.h"

#include "cadhost/selection.h"

#include <algorithm>

namespace cadhost {

namespace {

AcDbDatabase* activeDatabase() {
    AcApDocument* doc = acDocManagerPtr()->activeDocument();
    return doc ? doc->database() : nullptr;
}

// The range grown until no merged region sticks out of it.
CellRange coverMergedCells(const AcDbTable& table, CellRange r) {
    for (bool grown = true; grown;) {
        grown = false;
        for (int row = r.rowMin; row <= r.rowMax; ++row)
            for (int col = r.colMin; col <= r.colMax; ++col) {
                int r0, r1, c0, c1;
                if (!table.isMergedCell(row, col, &r0, &r1, &c0, &c1))
                    continue;
                CellRange g{std::min(r.rowMin, r0), std::max(r.rowMax, r1), std::min(r.colMin, c0),
                            std::max(r.colMax, c1)};
                if (!(g == r)) {
                    r = g;
                    grown = true;
                }
            }
    }
    return r;
}

} // namespace

CellSelection& CellSelection::instance() {
    static CellSelection selection;
    return selection;
}

Acad::ErrorStatus CellSelection::setCellSelection(AcDbObjectId table, const CellRange& range) {
    return apply(table, range, std::min(range.rowMin, range.rowMax),
                 std::min(range.colMin, range.colMax));
}

Acad::ErrorStatus CellSelection::apply(AcDbObjectId tableId, CellRange range, int anchorRow,
                                       int anchorCol) {
    AcDbDatabase* db = activeDatabase();
    if (!db || tableId.isNull() || tableId.database() != db)
        return Acad::eInvalidInput;
    CellRange r{std::min(range.rowMin, range.rowMax), std::max(range.rowMin, range.rowMax),
                std::min(range.colMin, range.colMax), std::max(range.colMin, range.colMax)};
    {
        AcDbObjectPointer<AcDbTable> table(tableId, AcDb::kForWrite);
        if (!table)
            return table.openStatus();
        if (r.rowMin < 0 || r.colMin < 0 || r.rowMax >= table->rowCount() ||
            r.colMax >= table->columnCount())
            return Acad::eInvalidInput;
        r = coverMergedCells(*table.object(), r);
        if (Acad::ErrorStatus es = table->setSubSelection(r.rowMin, r.rowMax, r.colMin, r.colMax);
            es != Acad::eOk)
            return es;
    }
    // One table at a time in the whole drawing: "select all" finds tables of
    // every layout, so none may keep an older selection.
    for (AcDbObjectId id : allLayoutEntities(db)) {
        if (id == tableId)
            continue;
        AcDbObjectPointer<AcDbTable> other(id, AcDb::kForWrite);
        if (other && other->hasSubSelection())
            other->clearSubSelection();
    }
    m_state = CellSelectionState{tableId, r, anchorRow, anchorCol};
    notify();
    return Acad::eOk;
}

void CellSelection::revalidate() {
    if (m_state) {
        const CellSelectionState s = *m_state;
        if (apply(s.table, s.range, s.anchorRow, s.anchorCol) == Acad::eOk)
            return;
    }
    // Restored tables may carry a selection older than the current one.
    clearCellSelection();
}

void CellSelection::clearCellSelection() {
    if (AcDbDatabase* db = activeDatabase())
        for (AcDbObjectId id : allLayoutEntities(db)) {
            AcDbObjectPointer<AcDbTable> table(id, AcDb::kForWrite);
            if (table && table->hasSubSelection())
                table->clearSubSelection();
        }
    bool had = m_state.has_value();
    m_state.reset();
    if (had)
        notify();
}

std::optional<AcDbObjectId> CellSelection::tableAt(const AcGePoint3d& point, int* row,
                                                   int* col) const {
    AcDbDatabase* db = activeDatabase();
    if (!db)
        return std::nullopt;
    std::vector<AcDbObjectId> ids = modelSpaceEntities(db);
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        if (it->isErased())
            continue;
        const AcDbTable* table = AcDbTable::cast(it->objectLeftOpen());
        int r = 0, c = 0;
        if (table && table->hitTestCell(point, r, c)) {
            if (row)
                *row = r;
            if (col)
                *col = c;
            return *it;
        }
    }
    return std::nullopt;
}

Acad::ErrorStatus CellSelection::selectAt(const AcGePoint3d& point, bool extend) {
    int row = 0, col = 0;
    std::optional<AcDbObjectId> table = tableAt(point, &row, &col);
    if (!table)
        return Acad::eInvalidInput;
    if (extend && m_state && m_state->table == *table) {
        int ar = m_state->anchorRow, ac = m_state->anchorCol;
        return apply(*table, CellRange{ar, row, ac, col}, ar, ac);
    }
    return apply(*table, CellRange{row, row, col, col}, row, col);
}

Acad::ErrorStatus CellSelection::selectBetween(const AcGePoint3d& from, const AcGePoint3d& to) {
    int r0 = 0, c0 = 0, r1 = 0, c1 = 0;
    std::optional<AcDbObjectId> table = tableAt(from, &r0, &c0);
    if (!table)
        return Acad::eInvalidInput;
    std::optional<AcDbObjectId> end = tableAt(to, &r1, &c1);
    if (!end || !(*end == *table)) {
        r1 = r0;
        c1 = c0;
    }
    return apply(*table, CellRange{r0, r1, c0, c1}, r0, c0);
}

void CellSelection::addListener(CellSelectionListener* listener) {
    if (listener &&
        std::find(m_listeners.begin(), m_listeners.end(), listener) == m_listeners.end())
        m_listeners.push_back(listener);
}

void CellSelection::removeListener(CellSelectionListener* listener) {
    std::erase(m_listeners, listener);
}

void CellSelection::forget() {
    m_state.reset();
    notify();
}

void CellSelection::notify() {
    std::vector<CellSelectionListener*> listeners = m_listeners;
    for (CellSelectionListener* l : listeners)
        if (std::find(m_listeners.begin(), m_listeners.end(), l) != m_listeners.end())
            l->cellSelectionChanged(m_state);
}

} // namespace cadhost
