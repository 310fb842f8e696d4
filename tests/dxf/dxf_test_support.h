#pragma once
// Helpers of the drawing-file tests: a complete text dump of a database (to
// compare a drawing before and after a save and a read), sample drawings that
// hold every entity and table feature, and temporary folders.

#include "acdb/acdb.h"

#include <filesystem>
#include <memory>
#include <string>

namespace dxftest {

// Everything the database holds, one fact a line, with objects named by
// their handles: equal dumps mean equal drawings.
std::string dumpDatabase(const AcDbDatabase& db);

// Writes db as DXF and reads it into a new database; fails the test on error.
std::unique_ptr<AcDbDatabase> roundTrip(const AcDbDatabase& db, std::string* text = nullptr);

// A drawing with every kind of entity, symbol table record and block flag.
std::unique_ptr<AcDbDatabase> makeEntityDrawing();

// A drawing with tables: merged cells, fills, borders, block cells with
// attribute values, overrides of every kind, a second table style, a table
// inside a named block and one in paper space.
std::unique_ptr<AcDbDatabase> makeTableDrawing();

// Adds a table to model space (rows x cols, texts "r,c") and returns its id.
AcDbObjectId addTable(AcDbDatabase& db, const AcGePoint3d& at, int rows, int cols);

// The DXF text of db.
std::string dxfText(const AcDbDatabase& db);

// A folder of its own for one test, removed with the object.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::filesystem::path path() const { return m_path; }
    std::string file(const std::string& name) const { return (m_path / name).string(); }

private:
    std::filesystem::path m_path;
};

std::string readFileBytes(const std::string& path);
void writeFileBytes(const std::string& path, const std::string& bytes);

} // namespace dxftest
