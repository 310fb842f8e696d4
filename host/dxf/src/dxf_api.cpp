// Reading and writing whole drawings in memory: the order of the sections and
// what happens once all of them are read.

#include "acdxf/dxf.h"

#include "drawing_file.h"
#include "dxf_error.h"
#include "dxf_writer.h"
#include "sections.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <unistd.h>

namespace acdxf {

namespace {

void skipSection(DxfRecordReader& in, DrawingReadState& state) {
    DxfRecord r;
    while (in.next(r)) {
        state.lastLine = r.line;
        if (r.type == "ENDSEC")
            return;
    }
    throw DxfError(state.lastLine, "the file ends inside a section (is it cut short?)");
}

void expectEndOfHeader(DxfRecordReader& in, DrawingReadState& state) {
    DxfRecord r;
    if (!in.next(r))
        throw DxfError(state.lastLine, "the file ends inside the HEADER section");
    state.lastLine = r.line;
    if (r.type != "ENDSEC")
        throw DxfError(r.line,
                       "expected ENDSEC after the header variables, found " + std::string(r.type));
}

void readSections(std::string_view text, DrawingReadState& state) {
    DxfRecordReader in(text);
    DxfRecord r;
    bool first = true;
    bool sawEof = false;
    try {
        while (in.next(r)) {
            first = false;
            state.lastLine = r.line;
            if (r.type == "EOF") {
                sawEof = true;
                break;
            }
            if (r.type != "SECTION")
                throw DxfError(r.line, "expected SECTION or EOF, found " +
                                           quoteForMessage(r.type.data(), r.type.size()));
            std::string_view name = r.first(2);
            if (name == "HEADER") {
                readHeaderSection(r, state);
                expectEndOfHeader(in, state);
            } else if (name == "TABLES") {
                readTablesSection(in, state);
            } else if (name == "BLOCKS") {
                readBlocksSection(in, state);
            } else if (name == "ENTITIES") {
                readEntitiesSection(in, state);
            } else if (name == "OBJECTS") {
                readObjectsSection(in, state);
            } else {
                skipSection(in, state); // CLASSES, THUMBNAILIMAGE, ACDSDATA ...
            }
        }
    } catch (const DxfError& e) {
        if (first)
            throw DxfError(0, std::string("this is not a DXF file (") + e.what() + ")");
        throw;
    } catch (const std::bad_alloc&) {
        // Say where: a huge record is the usual cause, and the line finds it.
        throw DxfError(std::max(state.lastLine, in.position().line),
                       "there is not enough memory to read the drawing");
    }
    if (first)
        throw DxfError(0, "this is not a DXF file (it holds no group codes)");
    if (!sawEof)
        throw DxfError(state.lastLine, "the file ends without EOF (is it cut short?)");

    completeBlocks(in, state);
    completeSymbolTables(state);
    completeObjects(state);
}

void finish(AcDbDatabase& fresh, DrawingReadState& state) {
    ReadContext::Roots& roots = state.ctx.roots();
    fresh.setRoots(roots.blockTable, roots.layerTable, roots.linetypeTable, roots.textStyleTable,
                   roots.namedObjects);
    state.ctx.runLater();
    if (!state.header.currentLayer.empty())
        fresh.setClayer(state.header.currentLayer);
    // New objects get handles above everything the file or the reader used
    // (the reader moved the next handle around to keep the file's handles).
    std::uint64_t used = 0;
    AcDbObjectIdArray all = fresh.allObjectIds(true);
    if (!all.empty())
        used = all.back().handle().value();
    std::uint64_t seed =
        std::max({state.header.handseed.value(), state.ctx.largestFileHandle() + 1, used + 1});
    fresh.setNextHandle(AcDbHandle(seed));
}

} // namespace

Acad::ErrorStatus readDxf(AcDbDatabase& db, std::string_view bytes) {
    try {
        AcDbDatabase fresh(false, true);
        {
            DrawingReadState state(fresh);
            readSections(checkDxfText(bytes), state);
            finish(fresh, state);
        }
        db.swapContent(fresh);
        db.setLastFileError(std::string());
        return Acad::eOk;
    } catch (const DxfError& e) {
        db.setLastFileError(e.what());
    } catch (const std::bad_alloc&) {
        db.setLastFileError("there is not enough memory to read the drawing");
    } catch (const std::exception& e) {
        db.setLastFileError(std::string("the drawing cannot be read: ") + e.what());
    }
    return Acad::eBadDxfFile;
}

namespace {

// A scratch or target file could not take the text.
struct SpillFailed {
    int error;
};

// The body (every section after the header, and EOF) goes through bodyWriter;
// the header, which carries the handle seed known only at the end, comes back
// in header.
Acad::ErrorStatus writeDxfParts(const AcDbDatabase& db, std::string& header, std::string& body,
                                const DxfWriter::Spill& spill, std::string* error) {
    try {
        SavePlan plan(db);
        DxfWriter w(body, spill);
        writeClassesSection(w, plan);
        writeTablesSection(w, plan);
        writeBlocksSection(w, plan);
        writeEntitiesSection(w, plan);
        writeObjectsSection(w, plan);
        w.raw(0, "EOF");
        w.flush();
        DxfWriter hw(header);
        writeHeaderSection(hw, plan);
        return Acad::eOk;
    } catch (const SpillFailed& e) {
        if (error)
            *error = std::string("the drawing cannot be written: ") + std::strerror(e.error);
        return Acad::eFileAccessErr;
    } catch (const std::bad_alloc&) {
        if (error)
            *error = "there is not enough memory to write the drawing";
    } catch (const std::exception& e) {
        if (error)
            *error = std::string("the drawing cannot be written: ") + e.what();
    }
    return Acad::eInvalidInput;
}

// Copies the whole of `from` (from its start) to the end of `to`.
bool copyFile(int from, int to) {
    if (lseek(from, 0, SEEK_SET) != 0)
        return false;
    for (;;) {
        ssize_t n = copy_file_range(from, nullptr, to, nullptr, std::size_t(1) << 30, 0);
        if (n == 0)
            return true;
        if (n > 0)
            continue;
        if (errno == EINTR)
            continue;
        if (errno != EXDEV && errno != ENOSYS && errno != EINVAL && errno != EOPNOTSUPP)
            return false;
        break; // no kernel copy between these files: through a buffer
    }
    std::string buffer(std::size_t(1) << 20, '\0');
    for (;;) {
        ssize_t n = read(from, buffer.data(), buffer.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        if (!writeAllTo(to, std::string_view(buffer.data(), static_cast<std::size_t>(n))))
            return false;
    }
}

} // namespace

Acad::ErrorStatus writeDxf(const AcDbDatabase& db, std::string& out, std::string* error) {
    std::string header, body;
    Acad::ErrorStatus es = writeDxfParts(db, header, body, {}, error);
    if (es != Acad::eOk)
        return es;
    out.reserve(out.size() + header.size() + body.size());
    out += header;
    out += body;
    return Acad::eOk;
}

FileResult writeDxfToFile(const AcDbDatabase& db, int fd, const std::string& scratchFolder) {
    // The body goes to an unnamed scratch file beside the target (nothing to
    // leave behind if the save dies) while it is written, then after the header.
    struct Scratch {
        int fd;
        ~Scratch() {
            if (fd >= 0)
                close(fd);
        }
    } scratch{open(scratchFolder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600)};
    std::string header, body, error;
    DxfWriter::Spill spill;
    if (scratch.fd >= 0)
        spill = [&scratch](std::string& written) {
            if (!writeAllTo(scratch.fd, written))
                throw SpillFailed{errno};
        };
    // Without unnamed files here, the body is built in memory.
    Acad::ErrorStatus es = writeDxfParts(db, header, body, spill, &error);
    if (es != Acad::eOk)
        return {es, error};
    auto failed = [] {
        return FileResult{Acad::eFileAccessErr,
                          std::string("the drawing cannot be written: ") + std::strerror(errno)};
    };
    if (!writeAllTo(fd, header))
        return failed();
    saveStep("write");
    if (!(scratch.fd >= 0 ? copyFile(scratch.fd, fd) : writeAllTo(fd, body)))
        return failed();
    return {};
}

} // namespace acdxf
