// Reading and writing whole drawings in memory: the order of the sections and
// what happens once all of them are read.

#include "acdxf/dxf.h"

#include "dxf_error.h"
#include "sections.h"

#include <algorithm>
#include <new>

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

Acad::ErrorStatus writeDxf(const AcDbDatabase& db, std::string& out, std::string* error) {
    try {
        SavePlan plan(db);
        std::string body;
        DxfWriter w(body);
        writeClassesSection(w, plan);
        writeTablesSection(w, plan);
        writeBlocksSection(w, plan);
        writeEntitiesSection(w, plan);
        writeObjectsSection(w, plan);
        w.raw(0, "EOF");
        // The header goes first but carries the handle seed, known only now.
        std::string header;
        DxfWriter hw(header);
        writeHeaderSection(hw, plan);
        out.reserve(out.size() + header.size() + body.size());
        out += header;
        out += body;
        return Acad::eOk;
    } catch (const std::bad_alloc&) {
        if (error)
            *error = "there is not enough memory to write the drawing";
    } catch (const std::exception& e) {
        if (error)
            *error = std::string("the drawing cannot be written: ") + e.what();
    }
    return Acad::eInvalidInput;
}

} // namespace acdxf
