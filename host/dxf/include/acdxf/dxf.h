#pragma once
// Drawing files: the database as ASCII DXF, AutoCAD 2004 format ("AC1018").
//
// AcDbDatabase::readDwgFile and AcDbDatabase::saveAs (declared with the
// database) are defined by this library on top of these two functions, which
// work on memory: readDxf for bytes that did not come from a file (tests, the
// fuzzer), writeDxf to produce the text of a drawing.

#include "acdb/database.h"

#include <string>
#include <string_view>

namespace acdxf {

// Replaces the content of db with the drawing in bytes. On failure db is left
// exactly as it was, the status is Acad::eBadDxfFile (or another failure) and
// db.lastFileError() says why, with the line where reading stopped.
Acad::ErrorStatus readDxf(AcDbDatabase& db, std::string_view bytes);

// Appends the DXF text of db to out. Fails only when the database cannot be
// written (no block table, ...); error (when given) then says why.
Acad::ErrorStatus writeDxf(const AcDbDatabase& db, std::string& out, std::string* error = nullptr);

// Crash tests stop a saving process at each step of a save: "write" (half of
// the data written), "flush" (all written, not yet on disk), "rename" (on
// disk under its temporary name) and "renamed". Null (the default) for none.
using SaveStepHook = void (*)(const char* step);
void setSaveStepHook(SaveStepHook hook);

} // namespace acdxf
