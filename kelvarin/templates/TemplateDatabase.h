#pragma once
// The template database: one drawing file per user (extension ".db") whose
// named blocks are the saved tables. Its path lives in the registry value
// "DBLocation" below HKEY_CURRENT_USER\software\Vorel\Vorel2005\Kelvarin.

#include "arxHeaders.h"
#include "util/UtiCommonFunc.h"

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace kelvarin::templates {

inline constexpr const char* kRegistryRoot = "Vorel\\Vorel2005";
inline constexpr const char* kRegistryKey = "Kelvarin";
inline constexpr const char* kLocationValue = "DBLocation";

// Characters a new template name may not contain.
inline constexpr std::array<const char*, 14> invalidNameCharacters = {
    "<", ">", "/", "\\", ":", "?", "*", "|", ",", "=", ";", "'", ".", "\""};

bool containsInvalidNameCharacter(const std::string& name);
// Template names compare without letter case (ASCII letters; other letters
// compare as written).
bool sameTemplateName(const std::string& a, const std::string& b);

struct TemplateDatabaseLocation {
    std::string path;
    bool usable = false; // set, and the file opens for reading
};

// The stored path; sets the utility object's registry root.
TemplateDatabaseLocation templateDatabasePath(CUtiCommonFunc& util);
bool storeTemplateDatabasePath(CUtiCommonFunc& util, const std::string& path);

// The host's "open" file dialog that also takes a new file name; the chosen
// path, or nothing when cancelled.
std::optional<std::string> browseTemplateDatabase();

// Makes an empty drawing at path unless a readable file is there already.
// False when a new file was needed and could not be written.
bool createTemplateDatabase(const std::string& path);

// Start of the save command: the usable path, or nothing when the user
// declined to create or choose one (ESC is then queued to end the command).
std::optional<std::string> ensureTemplateDatabase(CUtiCommonFunc& util);

// Reads the file holding it against writers from other processes for the
// database's lifetime. Null on failure (the reason in error).
std::unique_ptr<AcDbDatabase> readTemplateDatabase(const std::string& path,
                                                   std::string* error = nullptr);

// Saves db over path atomically. A failure is reported in a message box
// (the file stays as it was) and answers false.
bool saveTemplateDatabase(AcDbDatabase& db, const std::string& path);

// Template names of a database, in block table order.
std::vector<std::string> templateNames(AcDbDatabase* db);

} // namespace kelvarin::templates
