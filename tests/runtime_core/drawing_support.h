#pragma once
// Building small drawings for the runtime tests.

#include "acdb/acdb.h"

#include <gtest/gtest.h>

namespace cadhost::test {

inline AcDbObjectId appendToModelSpace(AcDbDatabase* db, AcDbEntity* entity) {
    AcDbObjectId id;
    EXPECT_EQ(acdbAppendToBlock(db, "*Model_Space", entity, id), Acad::eOk);
    entity->close();
    return id;
}

inline AcDbObjectId addLine(AcDbDatabase* db, AcGePoint3d a, AcGePoint3d b,
                            const char* layer = "0") {
    auto* line = new AcDbLine(a, b);
    line->setLayer(layer);
    return appendToModelSpace(db, line);
}

// A table with its top-left corner at topLeft, cells 2.5 wide and 1 high.
inline AcDbObjectId addTable(AcDbDatabase* db, AcGePoint3d topLeft, int rows = 3, int cols = 4) {
    auto* table = new AcDbTable();
    table->setSize(rows, cols);
    table->setColumnWidth(2.5);
    table->setRowHeight(1.0);
    table->setPosition(topLeft);
    return appendToModelSpace(db, table);
}

inline bool tableRange(AcDbObjectId id, int& r0, int& r1, int& c0, int& c1) {
    AcDbObjectPointer<AcDbTable> table(id, AcDb::kForRead);
    return table && table->selectedCellRange(r0, r1, c0, c1) == Acad::eOk;
}

} // namespace cadhost::test
