#include "TablePick.h"

#include "util/UtiCommonFunc.h"

AcDbTable* pickSelectedTable() {
    resbuf* filter = acutBuildList(RTDXF0, "ACAD_TABLE", 0);
    ads_name selection;
    const int rc = acedSSGet("X", nullptr, nullptr, filter, selection);
    acutRelRb(filter);
    if (rc != RTNORM)
        return nullptr;
    std::int32_t length = 0;
    acedSSLength(selection, &length);
    AcDbTable* found = nullptr;
    for (std::int32_t i = 0; i < length && !found; ++i) {
        ads_name entity;
        AcDbObjectId id;
        if (acedSSName(selection, i, entity) != RTNORM || acdbGetObjectId(id, entity) != Acad::eOk)
            continue;
        AcDbTable* table = nullptr;
        if (acdbOpenObject(table, id, AcDb::kForWrite) != Acad::eOk)
            continue;
        int r0, r1, c0, c1;
        if (table->selectedCellRange(r0, r1, c0, c1) == Acad::eOk)
            found = table;
        else
            table->close();
    }
    acedSSFree(selection);
    return found;
}

void printPromptMessage(const std::string& text) {
    if (!text.empty())
        acutPrintf("%s", text.c_str());
    CUtiCommonFunc().sendCommandQuietly("\x1b");
}

AcDbTable* lockAndPickSelectedTable() {
    AcApDocManager* docs = acDocManagerPtr();
    docs->acquireDocumentLock(docs->activeDocument(), AcAp::kWrite, nullptr, nullptr, false);
    AcDbTable* table = pickSelectedTable();
    if (!table) {
        printPromptMessage("\nThe selection isn't a table.");
        docs->releaseDocumentLock(docs->activeDocument());
    }
    return table;
}

bool TableOperationFrame::run(const Work& work) {
    AcApDocManager* docs = acDocManagerPtr();
    AcDbTable* table = lockAndPickSelectedTable();
    if (!table)
        return false;
    tagAcadTableRange range;
    table->selectedCellRange(range.rowMin, range.rowMax, range.colMin, range.colMax);
    try {
        work(*table, range);
    } catch (...) {
        table->close();
        docs->releaseDocumentLock(docs->activeDocument());
        throw;
    }
    table->close();
    docs->releaseDocumentLock(docs->activeDocument());
    acedGetAcadFrame()->SetFocus();
    acedGetAcadFrame()->UpdateDisplay();
    return true;
}
