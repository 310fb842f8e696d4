#pragma once
// Applying a table style: the drawing's style names and the assignment of a
// style, found by name, to a table.

#include "arxHeaders.h"

#include <optional>
#include <string>
#include <vector>

namespace kelvarin::templates {

inline constexpr const char* kStylePickPrompt = "\nPlease select a table to apply the style.";
inline constexpr const char* kNoStyleDictionary = "unable to get Table Style Dictionary";

// The names of the database's table styles in the dictionary's order;
// nothing when the dictionary cannot be had.
std::optional<std::vector<std::string>> tableStyleNames(AcDbDatabase* db);

// Gives the table (open for write) the style of that name from the working
// drawing's dictionary; false, the table unchanged, when there is none.
bool applyTableStyleByName(AcDbTable& table, const std::string& name);

} // namespace kelvarin::templates
