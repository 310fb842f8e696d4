#pragma once
// Creating a table as the TABLE and -TABLE commands do: the size and cell
// sizes checked first, then a table with every cell an empty text cell and
// every grid line shown, its top-left corner at the insertion point, rows
// running down and columns to the right.

#include "acdb/geometry.h"
#include "acdb/objectid.h"
#include "acdb/status.h"

#include <optional>
#include <string>

class AcDbDatabase;

namespace hostui {

struct TableShape {
    int columns = 5;
    int rows = 4;
    double columnWidth = 2.5;
    double rowHeight = 0.75;
};

inline constexpr int kMaxTableColumns = 1000;
inline constexpr int kMaxTableRows = 10000;

// The most rows a table of this many columns may have (the host's cell limit).
int maxTableRowsFor(int columns);
// The message for a table over the cell limit.
std::string tooManyCellsMessage(int columns);

// Why the shape cannot make a table, for the user; nothing when it can.
std::optional<std::string> validateTableShape(const TableShape& shape);

// Appends the table to the database's model space. eInvalidInput for a shape
// that does not validate; the database is not touched then.
Acad::ErrorStatus createTable(AcDbDatabase* db, const TableShape& shape,
                              const AcGePoint3d& insertionPoint, AcDbObjectId& tableId);

} // namespace hostui
