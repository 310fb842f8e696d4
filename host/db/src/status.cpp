#include "acdb/status.h"

const char* acadErrorStatusText(Acad::ErrorStatus es) {
    switch (es) {
#define CASE(x)                                                                                    \
    case Acad::x:                                                                                  \
        return #x;
        CASE(eOk)
        CASE(eNotImplementedYet) CASE(eNotApplicable) CASE(eInvalidInput) CASE(eOutOfRange)
            CASE(eNullObjectId) CASE(eNullObjectPointer) CASE(eNotThatKindOfClass)
                CASE(eKeyNotFound) CASE(eDuplicateKey) CASE(eWasErased) CASE(eWasOpenedForRead)
                    CASE(eWasOpenedForWrite) CASE(eWasOpenedForNotify) CASE(eAtMaxReaders)
                        CASE(eNotOpenForWrite) CASE(eNotOpenForRead) CASE(eAlreadyInDb)
                            CASE(eNotInDatabase) CASE(eWrongDatabase) CASE(eFileAccessErr)
                                CASE(eFileNotFound) CASE(eFileLockedByOther) CASE(eBadDxfFile)
                                    CASE(eInvalidDwgVersion) CASE(eSelfReference)
                                        CASE(eIllegalReplacement) CASE(eInvalidOwnerObject)
                                            CASE(eNotInGroup) CASE(eCannotExplodeEntity)
                                                CASE(eDegenerateGeometry) CASE(eInvalidExtents)
                                                    CASE(eNoIntersection) CASE(eLockViolation)
                                                        CASE(eNotCurrentDatabase)
#undef CASE
    }
    return "eUnknownStatus";
}

bool AcDb::isValidLineWeight(int value) {
    static const int valid[] = {0,  5,  9,  13,  15,  18,  20,  25,  30,  35,  40, 50, 53, 60,
                                70, 80, 90, 100, 106, 120, 140, 158, 200, 211, -1, -2, -3};
    for (int v : valid)
        if (v == value)
            return true;
    return false;
}
