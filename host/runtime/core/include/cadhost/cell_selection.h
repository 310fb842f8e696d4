#pragma once
// The in-place cell selection: at most one table of the active drawing shows
// a selected range of cells. Clicks, Shift+clicks and drags in the drawing
// view and the script's @cells directive all go through this service.

#include "acdb/geometry.h"
#include "acdb/objectid.h"
#include "acdb/status.h"

#include <optional>
#include <vector>

namespace cadhost {

struct CellRange {
    int rowMin = 0, rowMax = 0, colMin = 0, colMax = 0;
    bool operator==(const CellRange&) const = default;
};

struct CellSelectionState {
    AcDbObjectId table;
    CellRange range;
    int anchorRow = 0, anchorCol = 0; // the cell a Shift+click extends from
};

class CellSelectionListener {
public:
    virtual ~CellSelectionListener() = default;
    virtual void cellSelectionChanged(const std::optional<CellSelectionState>& state) = 0;
};

class CellSelection {
public:
    static CellSelection& instance();

    // Selects range in the table (bounds in any order, clamped to nothing:
    // out-of-range cells give eInvalidInput) and clears every other table's
    // selection. The range grows to cover merged cells it cuts.
    Acad::ErrorStatus setCellSelection(AcDbObjectId table, const CellRange& range);
    // Clears the selection of every table of the active drawing.
    void clearCellSelection();

    // A click at a world point: selects the cell under it (extend false), or
    // extends the current selection from its anchor to that cell when it is in
    // the same table (extend true; another table starts a new selection).
    // eInvalidInput when no table cell lies under the point.
    Acad::ErrorStatus selectAt(const AcGePoint3d& point, bool extend);
    // A drag from one point to another (one table, the first point's).
    Acad::ErrorStatus selectBetween(const AcGePoint3d& from, const AcGePoint3d& to);

    const std::optional<CellSelectionState>& current() const { return m_state; }
    // The topmost table of the active drawing with a cell under point.
    std::optional<AcDbObjectId> tableAt(const AcGePoint3d& point, int* row = nullptr,
                                        int* col = nullptr) const;

    void addListener(CellSelectionListener* listener);
    void removeListener(CellSelectionListener* listener);
    // Shows the selection again after the drawing's objects were replaced
    // (undo, redo); cleared when its cells no longer exist.
    void revalidate();
    // Forgets the state without touching tables (their drawing closed).
    void forget();

private:
    CellSelection() = default;
    Acad::ErrorStatus apply(AcDbObjectId table, CellRange range, int anchorRow, int anchorCol);
    void notify();
    std::optional<CellSelectionState> m_state;
    std::vector<CellSelectionListener*> m_listeners;
};

} // namespace cadhost
