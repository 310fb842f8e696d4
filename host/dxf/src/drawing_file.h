#pragma once
// Drawing files on disk: reading them whole, holding them against other
// writers, and replacing them atomically.
//
// Holding uses open-file-description locks on the drawing itself: a
// deny-write read keeps the file open with a shared lock; a writer needs an
// exclusive lock on the file it replaces, so it fails while anyone else holds
// the file. A save writes a temporary file in the same folder, locks it
// exclusively, flushes it to disk and renames it over the target; the lock
// moves with that new file, so a database that saves over the file it holds
// keeps holding it (its lock is downgraded to shared on the new file). Locks
// belong to open file descriptions, so two databases of one process exclude
// each other just as two processes do.

#include "acdb/status.h"

class AcDbDatabase;

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace acdxf {

class FileHold {
public:
    FileHold(int fd, dev_t dev, ino_t ino, bool writable);
    ~FileHold();
    FileHold(const FileHold&) = delete;
    FileHold& operator=(const FileHold&) = delete;

    // The hold a database keeps, or null when the pointer is not one of ours.
    static FileHold* fromDatabaseHold(const std::shared_ptr<void>& hold);

    bool holds(dev_t dev, ino_t ino) const { return m_dev == dev && m_ino == ino; }
    int fd() const { return m_fd; }
    bool writable() const { return m_writable; }
    // Moves the hold to another open file (the one a save renamed over the
    // held file); the old descriptor and its lock are released.
    void moveTo(int fd, dev_t dev, ino_t ino);

private:
    int m_fd;
    dev_t m_dev;
    ino_t m_ino;
    bool m_writable;
};

struct FileResult {
    Acad::ErrorStatus status = Acad::eOk;
    std::string message; // for users; empty on success
    bool ok() const { return status == Acad::eOk; }
};

// Reads the whole file. With hold, the file is kept open with a shared lock
// for as long as the returned hold lives.
FileResult readDrawingFile(const std::string& path, bool hold, std::string& bytes,
                           std::shared_ptr<FileHold>& holdOut);

// Replaces (or creates) the file at path with bytes: a temporary file in the
// same folder, flushed and renamed over the target, so that a failure at any
// point leaves the previous file whole. ownHold is the hold of the database
// that saves (may be null); a hold of anyone else on the target makes the
// save fail with eFileLockedByOther and write nothing. After a successful
// save, ownHold holds the saved file (and lets go of the one it held).
FileResult replaceFileAtomically(const std::string& path, std::string_view bytes,
                                 FileHold* ownHold);

// The same with the content written by `write` into the open temporary file
// (as it goes, not built in memory first). scratchFolder is the target's
// folder, for any scratch file the writer needs on the same file system.
using ContentWriter = std::function<FileResult(int fd, const std::string& scratchFolder)>;
FileResult replaceFileAtomically(const std::string& path, const ContentWriter& write,
                                 FileHold* ownHold);

// Writes all of bytes to fd; false with errno set when it cannot.
bool writeAllTo(int fd, std::string_view bytes);

// Writes the DXF text of db to fd as it goes, with a scratch file in
// scratchFolder for the part written before the header.
FileResult writeDxfToFile(const AcDbDatabase& db, int fd, const std::string& scratchFolder);

// Marks a step of a save for the crash tests' hook.
void saveStep(const char* step);

// Removes the temporaries that killed saves of this drawing left beside it
// (".NAME.XXXXXX"); a temporary that a live save is still writing is locked
// and stays.
void sweepStaleTemporaries(const std::string& drawingPath);

} // namespace acdxf
