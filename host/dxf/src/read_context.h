#pragma once
// State of one read: the fresh database being filled, the handles the file
// uses, where each object went, and the work that has to wait until every
// object is in place (references by handle or by name).

#include "acdb/database.h"
#include "dxf_records.h"
#include "dxf_text.h"

#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace acdxf {

class ReadContext {
public:
    explicit ReadContext(AcDbDatabase& fresh) : m_db(fresh) {}
    ReadContext(const ReadContext&) = delete;
    ReadContext& operator=(const ReadContext&) = delete;

    AcDbDatabase& db() { return m_db; }

    // The root objects as far as they are read (null until then).
    struct Roots {
        AcDbObjectId blockTable, layerTable, linetypeTable, textStyleTable, namedObjects;
    };
    Roots& roots() { return m_roots; }

    // ---- anonymous blocks that hold a table's graphics ("*T..."): the tables
    // name them; the reader drops them (graphics come from the cell data).
    void claimTableBlock(AcDbHandle record, const std::string& name);
    bool isClaimedTableBlock(AcDbHandle record, const std::string& name) const;

    // ---- strings
    void setEncoding(DxfTextEncoding e) { m_encoding = e; }
    std::string text(std::string_view value) const { return decodeDxfText(value, m_encoding); }

    // ---- handles of the file
    // Records every handle the file gives an object, whether or not the object
    // is kept; a handle given twice is damage.
    void noteHandle(AcDbHandle h, std::string_view type, std::uint32_t line);
    bool fileHasHandle(AcDbHandle h) const { return m_fileHandles.count(h.value()) != 0; }
    // The record type that carried the handle ("LAYOUT" ...), empty when none.
    std::string_view fileTypeOf(AcDbHandle h) const;
    std::uint64_t largestFileHandle() const { return m_largestHandle; }
    std::uint64_t largestPlacedHandle() const { return m_largestPlaced; }

    // ---- objects placed in the database, keeping the file's handle when free.
    // Each is left open for write; the caller closes it. On failure they
    // delete the object and throw DxfError.
    // A root object (table, dictionary, style) not yet owned by anything.
    AcDbObjectId addObject(AcDbObject* obj, AcDbHandle fileHandle, std::uint32_t line);
    AcDbObjectId addRecord(AcDbSymbolTable* table, AcDbSymbolTableRecord* record,
                           AcDbHandle fileHandle, std::uint32_t line);
    AcDbObjectId appendEntity(AcDbBlockTableRecord* block, AcDbEntity* entity,
                              AcDbHandle fileHandle, std::uint32_t line);
    // Maps another file handle onto an object already placed (a duplicate
    // record that was merged into the first).
    void alias(AcDbHandle fileHandle, AcDbObjectId id);
    // The object that the file's handle became; null when it was not kept.
    AcDbObjectId idOf(AcDbHandle fileHandle) const;

    // Resolves a reference of the file to an object of class cls, or throws
    // DxfError naming what is wrong (no such handle, wrong kind of object).
    // Null handles give the null id.
    AcDbObjectId resolve(AcDbHandle h, const AcRxClass* cls, const char* what,
                         std::uint32_t line) const;

    // ---- deferred work, run in order once every object is in place
    void later(std::function<void()> fn) { m_later.push_back(std::move(fn)); }
    void runLater();

private:
    void preferHandle(AcDbHandle fileHandle);
    AcDbObjectId placed(const AcDbObject* obj, AcDbHandle fileHandle);
    // placed() after a successful add; otherwise deletes `obj` and throws "cannot add <what>".
    AcDbObjectId placedOrThrow(Acad::ErrorStatus es, AcDbObject* obj, AcDbHandle fileHandle,
                               std::uint32_t line, const std::string& what);

    AcDbDatabase& m_db;
    Roots m_roots;
    std::unordered_set<std::uint64_t> m_claimedHandles;
    std::unordered_set<std::string> m_claimedNames; // upper case
    DxfTextEncoding m_encoding = DxfTextEncoding::kCodePage;
    std::unordered_map<std::uint64_t, std::string_view> m_fileHandles; // handle -> record type
    std::unordered_map<std::uint64_t, AcDbObjectId> m_placed;          // file handle -> object
    std::uint64_t m_largestHandle = 0;
    std::uint64_t m_largestPlaced = 0;
    std::vector<std::function<void()>> m_later;
};

} // namespace acdxf
