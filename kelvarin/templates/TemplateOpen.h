#pragma once
// Creating a table from a template: the template's picture, deleting a
// template, and placing a copy of the template's entities in the drawing.

#include "arxHeaders.h"

#include <string>

namespace kelvarin::templates {

inline constexpr const char* kNoDatabaseMessage = "\nCan't find the Database of the templates.";
inline constexpr const char* kUnreadableForOpen = "Can't read the template database.";
inline constexpr const char* kDeleteQuestion = "Are you sure you want to delete this template?";
inline constexpr const char* kInsertionPrompt = "\nSpecify insertion point:";

// The template's single block reference, which its preview shows; null when
// the template is missing or has no reference or more than one.
AcDbObjectId previewReference(AcDbDatabase& templateDb, const std::string& name);

// A block name the drawing does not use yet: name itself when free.
std::string unusedBlockName(AcDbDatabase& drawing, const std::string& name);

// Copies the template's entities into the current space of the working
// drawing, placed relative to point, as independent entities: no block
// definition or reference of the template stays behind, and a block of the
// drawing that happens to share the template's name is left alone. False
// (nothing placed) when the template cannot be copied.
bool placeTemplate(AcDbDatabase& templateDb, const std::string& name, const AcGePoint3d& point);

// Erases the template (block and references) and saves the file at once. A
// failed save is reported in a message box, the file stays as it was and
// the answer is false.
bool deleteTemplate(const std::string& name, AcDbDatabase& templateDb, const std::string& path);

} // namespace kelvarin::templates
