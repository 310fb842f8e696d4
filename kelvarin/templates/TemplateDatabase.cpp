#include "templates/TemplateDatabase.h"

#include <cstdio>

namespace kelvarin::templates {

namespace {
char asciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool fileOpensForReading(const std::string& path) {
    if (path.empty())
        return false;
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return false;
    // A folder opens on some systems; a read tells it apart.
    char probe;
    const bool readable = std::fread(&probe, 1, 1, f) == 1 || std::feof(f);
    std::fclose(f);
    return readable;
}
} // namespace

bool containsInvalidNameCharacter(const std::string& name) {
    for (const char* c : invalidNameCharacters)
        if (name.find(c) != std::string::npos)
            return true;
    return false;
}

bool sameTemplateName(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    return true;
}

TemplateDatabaseLocation templateDatabasePath(CUtiCommonFunc& util) {
    util.setRegistryRoot(kRegistryRoot);
    TemplateDatabaseLocation location;
    location.path = util.readRegistryString(kRegistryKey, kLocationValue, "");
    location.usable = fileOpensForReading(location.path);
    return location;
}

bool storeTemplateDatabasePath(CUtiCommonFunc& util, const std::string& path) {
    util.setRegistryRoot(kRegistryRoot);
    return util.writeRegistryString(kRegistryKey, kLocationValue, path.c_str());
}

std::optional<std::string> browseTemplateDatabase() {
    CFileDialog dialog(true, "db", "TemplateDb", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "Template Database Files(*.db)|*.db|All Files(*.*)|*.*||");
    dialog.m_ofn.lpstrTitle = "Create/Open Table Template Database";
    if (dialog.DoModal() != IDOK)
        return std::nullopt;
    return dialog.GetPathName();
}

bool createTemplateDatabase(const std::string& path) {
    if (fileOpensForReading(path))
        return true; // an existing file is never touched
    AcDbDatabase db(true, false);
    return db.saveAs(path) == Acad::eOk;
}

std::optional<std::string> ensureTemplateDatabase(CUtiCommonFunc& util) {
    const TemplateDatabaseLocation location = templateDatabasePath(util);
    if (location.usable)
        return location.path;
    const char* kEscape = "\x1b";
    if (AfxMessageBox("\nCan't find the Database of the templates. Do you want to create or "
                      "select a template database.",
                      MB_YESNO) != IDYES) {
        util.sendCommandQuietly(kEscape);
        return std::nullopt;
    }
    const std::optional<std::string> chosen = browseTemplateDatabase();
    if (!chosen || chosen->empty()) {
        util.sendCommandQuietly(kEscape);
        return std::nullopt;
    }
    // A file that could not be made is reported when it is read.
    createTemplateDatabase(*chosen);
    storeTemplateDatabasePath(util, *chosen);
    return chosen;
}

std::unique_ptr<AcDbDatabase> readTemplateDatabase(const std::string& path, std::string* error) {
    auto db = std::make_unique<AcDbDatabase>(false, true);
    if (db->readDwgFile(path, AcDbShare::kDenyWrite, false, nullptr) != Acad::eOk) {
        if (error)
            *error = db->lastFileError();
        return nullptr;
    }
    return db;
}

bool saveTemplateDatabase(AcDbDatabase& db, const std::string& path) {
    if (db.saveAs(path) == Acad::eOk)
        return true;
    std::string text = "Can't save the template database!";
    if (!db.lastFileError().empty())
        text += "\n" + db.lastFileError();
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    return false;
}

std::vector<std::string> templateNames(AcDbDatabase* db) {
    std::vector<std::string> names;
    if (db)
        CUtiCommonFunc().gatherBlockNames(names, db);
    return names;
}

} // namespace kelvarin::templates
