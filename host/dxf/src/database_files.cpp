// The database's file operations, defined here so that the database itself
// knows nothing of files.

#include "acdb/database.h"
#include "acdxf/dxf.h"
#include "drawing_file.h"

#include <new>

namespace {

bool holdsAgainstWriters(int shareMode) {
    return shareMode == AcDbShare::kDenyWrite || shareMode == AcDbShare::kDenyRead ||
           shareMode == AcDbShare::kDenyAll;
}

} // namespace

Acad::ErrorStatus AcDbDatabase::readDwgFile(const std::string& fileName, int shareMode, bool,
                                            const char*) {
    bool hold = holdsAgainstWriters(shareMode);
    std::string bytes;
    std::shared_ptr<acdxf::FileHold> fileHold;
    acdxf::FileResult r;
    try {
        r = acdxf::readDrawingFile(fileName, hold, bytes, fileHold);
    } catch (const std::bad_alloc&) {
        r = {Acad::eFileAccessErr, "there is not enough memory to read the file"};
    }
    if (!r.ok()) {
        setLastFileError(fileName + ": " + r.message);
        return r.status;
    }
    if (Acad::ErrorStatus es = acdxf::readDxf(*this, bytes); es != Acad::eOk) {
        setLastFileError(fileName + ": " + lastFileError());
        return es;
    }
    setFilename(fileName);
    // The content now comes from this file: any earlier hold goes.
    setFileHold(std::move(fileHold));
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::saveAs(const std::string& fileName) {
    acdxf::FileHold* own = acdxf::FileHold::fromDatabaseHold(fileHold());
    acdxf::FileResult r;
    try {
        // Written as it goes: a big drawing is never held whole in memory.
        r = acdxf::replaceFileAtomically(
            fileName,
            [this](int fd, const std::string& folder) {
                return acdxf::writeDxfToFile(*this, fd, folder);
            },
            own);
    } catch (const std::bad_alloc&) {
        // The previous file is still whole: the temporary goes with the unwinding.
        r = {Acad::eFileAccessErr, "there is not enough memory to save the drawing"};
    }
    if (!r.ok()) {
        setLastFileError(fileName + ": " + r.message);
        return r.status;
    }
    setFilename(fileName);
    setLastFileError(std::string());
    return Acad::eOk;
}
