#pragma once
// Status codes, open modes and enumerations shared by the drawing database and
// the modules. Values that modules depend on (eOk, eInvalidInput, the cell
// enumerations) are fixed; the rest are this host's own.

#include <cstdint>

namespace Acad {
enum ErrorStatus : int {
    eOk = 0,
    eNotImplementedYet = 1,
    eNotApplicable = 2,
    eInvalidInput = 3,
    eOutOfRange = 4,
    eNullObjectId = 5,
    eNullObjectPointer = 6,
    eNotThatKindOfClass = 7,
    eKeyNotFound = 8,
    eDuplicateKey = 9,
    eWasErased = 10,
    eWasOpenedForRead = 11,
    eWasOpenedForWrite = 12,
    eWasOpenedForNotify = 13,
    eAtMaxReaders = 14,
    eNotOpenForWrite = 15,
    eNotOpenForRead = 16,
    eAlreadyInDb = 17,
    eNotInDatabase = 18,
    eWrongDatabase = 19,
    eFileAccessErr = 20,
    eFileNotFound = 21,
    eFileLockedByOther = 22,
    eBadDxfFile = 23,
    eInvalidDwgVersion = 24,
    eSelfReference = 25,
    eIllegalReplacement = 26,
    eInvalidOwnerObject = 27,
    eNotInGroup = 28,
    eCannotExplodeEntity = 29,
    eDegenerateGeometry = 30,
    eInvalidExtents = 31,
    eNoIntersection = 32,
    eLockViolation = 33,
    eNotCurrentDatabase = 34,
};
} // namespace Acad

// A readable name for a status ("eWasOpenedForWrite"), for messages.
const char* acadErrorStatusText(Acad::ErrorStatus es);

namespace AcDb {
enum OpenMode : int { kForRead = 0, kForWrite = 1, kForNotify = 2 };

// Line weights in hundredths of a millimetre, as in drawing files.
enum LineWeight : int {
    kLnWt000 = 0,
    kLnWt005 = 5,
    kLnWt009 = 9,
    kLnWt013 = 13,
    kLnWt015 = 15,
    kLnWt018 = 18,
    kLnWt020 = 20,
    kLnWt025 = 25,
    kLnWt030 = 30,
    kLnWt035 = 35,
    kLnWt040 = 40,
    kLnWt050 = 50,
    kLnWt053 = 53,
    kLnWt060 = 60,
    kLnWt070 = 70,
    kLnWt080 = 80,
    kLnWt090 = 90,
    kLnWt100 = 100,
    kLnWt106 = 106,
    kLnWt120 = 120,
    kLnWt140 = 140,
    kLnWt158 = 158,
    kLnWt200 = 200,
    kLnWt211 = 211,
    kLnWtByLayer = -1,
    kLnWtByBlock = -2,
    kLnWtByLwDefault = -3,
};
bool isValidLineWeight(int value);

enum CellType : int { kUnknownCell = 0, kTextCell = 1, kBlockCell = 2 };

// Top left = 1 ... bottom right = 9, row by row.
enum CellAlignment : int {
    kTopLeft = 1,
    kTopCenter = 2,
    kTopRight = 3,
    kMiddleLeft = 4,
    kMiddleCenter = 5,
    kMiddleRight = 6,
    kBottomLeft = 7,
    kBottomCenter = 8,
    kBottomRight = 9,
};

enum CellEdgeMask : int { kTopMask = 1, kRightMask = 2, kBottomMask = 4, kLeftMask = 8 };
enum Visibility : int { kVisible = 0, kInvisible = 1 };

// Row types of a table and its style; the style keeps one cell format per type.
enum RowType : int { kUnknownRow = 0, kDataRow = 1, kTitleRow = 2, kHeaderRow = 4 };
enum FlowDirection : int { kTtoB = 0, kBtoT = 1 };
} // namespace AcDb

namespace AcDb {
// Grid line kinds of a table style's cell format.
enum GridLineType : int {
    kInvalidGridLine = 0,
    kHorzTop = 1,
    kHorzInside = 2,
    kHorzBottom = 4,
    kVertLeft = 8,
    kVertInside = 0x10,
    kVertRight = 0x20,
};
} // namespace AcDb
