#pragma once
// Saving a table of the drawing as a template: the name checks of the save
// dialog and the copy into the template database.

#include "arxHeaders.h"

#include <string>
#include <vector>

namespace kelvarin::templates {

inline constexpr const char* kEmptyNameMessage = "The template name can't be empty.";
inline constexpr const char* kNoTableMessage = "Please select a table.";
inline constexpr const char* kUnreadableForSave = "Can't read the template database!";
std::string invalidCharactersMessage();

// The OK checks in their order, each refusal a message box; the replace
// question once for every existing name equal to name without letter case.
// True when the dialog may close.
bool acceptTemplateSave(const std::string& name, bool tablePicked,
                        const std::vector<std::string>& existingNames);

inline constexpr const char* kNotAddedMessage =
    "The table could not be stored as a template under this name; the template database "
    "was not changed.";

enum class TemplateSaveResult { Saved, CopyFailed, Unreadable, NotAdded, SaveFailed };

// Copies the table (its insertion point becomes the block's origin) into the
// template database at path as block name, with exactly one reference to it
// at the origin of model space (a replaced template keeps its preview), and
// saves the file. Unreadable files, a name the database refuses (the file is
// then left alone) and failed saves are reported in message boxes.
TemplateSaveResult addTemplate(const std::string& path, const std::string& name,
                               AcDbObjectId tableId, const AcGePoint3d& tablePosition);

// Erases every model-space reference to the block and adds one at the origin.
bool setSingleModelSpaceReference(AcDbDatabase& db, AcDbObjectId blockId);

} // namespace kelvarin::templates
