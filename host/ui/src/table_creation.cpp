#include "hostui/table_creation.h"

#include "acdb/database.h"
#include "acdb/symboltables.h"
#include "acdb/table.h"
#include "acdb/table_limits.h"

#include <algorithm>
#include <cmath>

namespace hostui {

int maxTableRowsFor(int columns) {
    if (columns < 1)
        return kMaxTableRows;
    return static_cast<int>(std::min<long long>(kMaxTableRows, acdb::kTableMaxCells / columns));
}

std::string tooManyCellsMessage(int columns) {
    return "A table holds at most " + std::to_string(acdb::kTableMaxCells) + " cells: with " +
           std::to_string(columns) + " columns, at most " +
           std::to_string(maxTableRowsFor(columns)) + " rows.";
}

std::optional<std::string> validateTableShape(const TableShape& shape) {
    if (shape.columns < 1 || shape.columns > kMaxTableColumns)
        return "Number of columns must be from 1 to " + std::to_string(kMaxTableColumns) + ".";
    if (shape.rows < 1 || shape.rows > kMaxTableRows)
        return "Number of rows must be from 1 to " + std::to_string(kMaxTableRows) + ".";
    if (static_cast<long long>(shape.rows) * shape.columns > acdb::kTableMaxCells)
        return tooManyCellsMessage(shape.columns);
    if (!std::isfinite(shape.columnWidth) || shape.columnWidth <= 0)
        return std::string("Column width must be positive and nonzero.");
    if (!std::isfinite(shape.rowHeight) || shape.rowHeight <= 0)
        return std::string("Row height must be positive and nonzero.");
    return std::nullopt;
}

Acad::ErrorStatus createTable(AcDbDatabase* db, const TableShape& shape,
                              const AcGePoint3d& insertionPoint, AcDbObjectId& tableId) {
    tableId = AcDbObjectId();
    if (!db || validateTableShape(shape))
        return Acad::eInvalidInput;

    auto* table = new AcDbTable;
    table->setLayer(db->clayer());
    Acad::ErrorStatus es = table->setTableStyle(db->tablestyle());
    if (es == Acad::eOk)
        es = table->setSize(shape.rows, shape.columns);
    if (es == Acad::eOk)
        es = table->setColumnWidth(shape.columnWidth);
    if (es == Acad::eOk)
        es = table->setRowHeight(shape.rowHeight);
    if (es == Acad::eOk)
        es = table->setPosition(insertionPoint);
    if (es != Acad::eOk) {
        delete table;
        return es;
    }
    // The style decides the grid; a style that hides lines is overridden so
    // that a new table shows every one.
    const int edges[] = {AcDb::kTopMask, AcDb::kRightMask, AcDb::kBottomMask, AcDb::kLeftMask};
    for (int row = 0; row < shape.rows; ++row)
        for (int col = 0; col < shape.columns; ++col)
            for (int edge : edges)
                if (table->edgeVisibility(row, col, static_cast<AcDb::CellEdgeMask>(edge)) !=
                    AcDb::kVisible)
                    table->setEdgeVisibility(row, col, edge, AcDb::kVisible);

    AcDbBlockTableRecord* space = nullptr;
    es = acdbOpenObject(space, db->modelSpaceId(), AcDb::kForWrite);
    if (es != Acad::eOk) {
        delete table;
        return es;
    }
    es = space->appendAcDbEntity(tableId, table);
    space->close();
    if (es != Acad::eOk) {
        delete table;
        return es;
    }
    table->close();
    return Acad::eOk;
}

} // namespace hostui
