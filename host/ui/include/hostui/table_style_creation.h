#pragma once
// Creating a named table style as the -TABLESTYLE command does: the data
// cells' text height, text colour, fill and alignment over the defaults of a
// new style, added to the drawing's table style dictionary.

#include "acdb/objectid.h"
#include "acdb/status.h"
#include "acdb/table.h"

#include <optional>
#include <string>

class AcDbDatabase;

namespace hostui {

struct TableStyleRequest {
    std::string name;
    double textHeight = 0.18;
    int textColorIndex = 0;            // 0 ByBlock .. 256 ByLayer
    std::optional<int> fillColorIndex; // 1..255; none: no fill
    AcDb::CellAlignment alignment = AcDb::kTopCenter;
};

// The data cell alignments by keyword, in the host's order (value 1..9).
inline constexpr const char* kAlignmentKeywords[] = {"TL", "TC", "TR", "ML", "MC",
                                                     "MR", "BL", "BC", "BR"};
// The alignment of a keyword (letter case ignored); nothing for another word.
std::optional<AcDb::CellAlignment> alignmentFromKeyword(const std::string& word);

// Why the request cannot make a style, for the user; nothing when it can.
std::optional<std::string> validateTableStyle(const TableStyleRequest& request);

// Adds the style to the database's table style dictionary. eInvalidInput for
// a request that does not validate, eDuplicateKey when a style of that name
// (letter case ignored) exists; the database is not touched then.
Acad::ErrorStatus createTableStyle(AcDbDatabase* db, const TableStyleRequest& request,
                                   AcDbObjectId& styleId);

} // namespace hostui
