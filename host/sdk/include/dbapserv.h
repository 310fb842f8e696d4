#pragma once
// Host application services of the drawing database: the working database.

#include "acdb/database.h"

class AcDbHostApplicationServices {
public:
    // The database that calls without an explicit one work on: the one set
    // with setWorkingDatabase, else the active document's drawing; null when
    // no document is open.
    AcDbDatabase* workingDatabase() const;
    // Overrides the working database until reset with null or until that
    // database's document closes.
    void setWorkingDatabase(AcDbDatabase* db);
};

AcDbHostApplicationServices* acdbHostApplicationServices();

// The working database.
inline AcDbDatabase* acdbCurDwg() {
    return acdbHostApplicationServices()->workingDatabase();
}
