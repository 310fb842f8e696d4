#pragma once
// The drawing database: owns every object, hands out ids and handles, keeps
// the symbol tables and the named object dictionary, and copies objects
// between databases (wblock, insert).

#include "acdb/dictionary.h"
#include "acdb/symboltables.h"
#include "acdb/table.h"
#include "acdb/tablestyle.h"
#include "acdb/undo.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

struct AcDbStub {
    AcDbDatabase* database = nullptr;
    AcDbHandle handle;
    std::unique_ptr<AcDbObject> object;
    bool erased = false;
};

// Sharing modes of readDwgFile.
namespace AcDbShare {
enum Mode : int { kDenyNo = 64, kDenyWrite = 32, kDenyRead = 48, kDenyAll = 16 };
}

class AcDbDatabase {
public:
    // With buildDefaultDrawing the database holds what a new drawing holds:
    // model and paper space, layer "0", line types ByBlock, ByLayer and
    // Continuous, text style "Standard", the named object dictionary with
    // "ACAD_GROUP" and "ACAD_TABLESTYLE" holding "Standard".
    explicit AcDbDatabase(bool buildDefaultDrawing = true, bool noDocument = false);
    ~AcDbDatabase();
    AcDbDatabase(const AcDbDatabase&) = delete;
    AcDbDatabase& operator=(const AcDbDatabase&) = delete;

    AcDbObjectId blockTableId() const { return m_blockTable; }
    AcDbObjectId layerTableId() const { return m_layerTable; }
    AcDbObjectId linetypeTableId() const { return m_linetypeTable; }
    AcDbObjectId textStyleTableId() const { return m_textStyleTable; }
    AcDbObjectId namedObjectsDictionaryId() const { return m_namedObjects; }
    AcDbObjectId tableStyleDictionaryId() const;
    AcDbObjectId modelSpaceId() const;
    AcDbObjectId paperSpaceId() const;

    Acad::ErrorStatus getBlockTable(AcDbBlockTable*& t, AcDb::OpenMode mode) const;
    Acad::ErrorStatus getLayerTable(AcDbLayerTable*& t, AcDb::OpenMode mode) const;
    Acad::ErrorStatus getLinetypeTable(AcDbLinetypeTable*& t, AcDb::OpenMode mode) const;
    Acad::ErrorStatus getTextStyleTable(AcDbTextStyleTable*& t, AcDb::OpenMode mode) const;
    Acad::ErrorStatus getNamedObjectsDictionary(AcDbDictionary*& d, AcDb::OpenMode mode) const;
    Acad::ErrorStatus getTableStyleDictionary(AcDbDictionary*& d, AcDb::OpenMode mode) const;

    // Current settings.
    AcDbObjectId textstyle() const;  // "Standard"
    AcDbObjectId tablestyle() const; // "Standard" in ACAD_TABLESTYLE
    const std::string& clayer() const { return m_clayer; }
    Acad::ErrorStatus setClayer(const std::string& layer);

    // ---- objects and ids
    // Takes ownership of obj, gives it a new handle and leaves it open for write.
    Acad::ErrorStatus addAcDbObject(AcDbObjectId& id, AcDbObject* obj);
    // Same with a given handle (reading files); eDuplicateKey when it is taken.
    Acad::ErrorStatus addAcDbObjectWithHandle(AcDbObjectId& id, AcDbObject* obj, AcDbHandle h);
    // The id of a handle; with create, an id not yet holding an object is made
    // (files refer to objects before they are read).
    Acad::ErrorStatus getAcDbObjectId(AcDbObjectId& id, bool create, const AcDbHandle& h);
    AcDbHandle handseed() const { return AcDbHandle(m_nextHandle); }
    void setHandseed(AcDbHandle h);
    // Every id that holds an object, in handle order.
    AcDbObjectIdArray allObjectIds(bool includeErased = false) const;
    std::size_t objectCount() const;

    // ---- copying
    // Copies the objects (entities of one space) into a new database with
    // default content, with everything they refer to; the copies are moved so
    // that basePoint lands on the origin. out is null on failure.
    Acad::ErrorStatus wblock(AcDbDatabase*& out, const AcDbObjectIdArray& ids,
                             const AcGePoint3d& basePoint);
    // Copies one block definition's entities into the model space of a new
    // database (the block's origin stays the origin).
    Acad::ErrorStatus wblock(AcDbDatabase*& out, AcDbObjectId blockId);
    // Makes a block named blockName holding the model space of source. A block
    // of that name already here is redefined in place: its entities are
    // replaced, its id and references stay. Named blocks of source that this
    // database already has keep this database's definition. Table styles and
    // text styles are matched by name the same way.
    Acad::ErrorStatus insert(AcDbObjectId& blockId, const std::string& blockName,
                             AcDbDatabase* source, bool preserveSourceDatabase = true);

    // Counts changes to block definitions other than layouts (their
    // entities or the records themselves, written and closed): what a table
    // showing blocks compares to know its picture is out of date.
    std::uint64_t blockContentRevision() const { return m_blockContentRevision; }
    void noteBlockContentChanged() { ++m_blockContentRevision; }

    // Union of the geometric extents of model space; invalid when empty.
    AcDbExtents modelSpaceExtents() const;

    // ---- files (implemented by the drawing-file layer)
    Acad::ErrorStatus readDwgFile(const std::string& fileName,
                                  int shareMode = AcDbShare::kDenyWrite,
                                  bool allowCPConversion = false, const char* password = nullptr);
    Acad::ErrorStatus saveAs(const std::string& fileName);
    // Why the last readDwgFile or saveAs failed, for users.
    const std::string& lastFileError() const { return m_lastFileError; }
    void setLastFileError(std::string text) { m_lastFileError = std::move(text); }
    const std::string& filename() const { return m_filename; }
    void setFilename(std::string f) { m_filename = std::move(f); }
    // The file held open by a deny-write read, released with the database.
    void setFileHold(std::shared_ptr<void> hold) { m_fileHold = std::move(hold); }
    const std::shared_ptr<void>& fileHold() const { return m_fileHold; }

    // Exchanges every object, handle and setting with other (ids move along):
    // a reader fills a fresh database and swaps it in only when all went well.
    void swapContent(AcDbDatabase& other);

    // For file readers that build a database from nothing: the root objects.
    void setRoots(AcDbObjectId blockTable, AcDbObjectId layerTable, AcDbObjectId linetypeTable,
                  AcDbObjectId textStyleTable, AcDbObjectId namedObjects);
    // For file readers: the handle the next added object gets when it is free,
    // so that records and entities keep the handles they had in the file
    // (the reader sets the handle seed again when it is done).
    void setNextHandle(AcDbHandle h) { m_nextHandle = h.value(); }

    // ---- undo
    // The history that records changes to this database (owned by its
    // document); null records nothing.
    void setUndoHistory(AcDbUndoHistory* history) { m_undoHistory = history; }
    AcDbUndoHistory* undoHistory() const { return m_undoHistory; }

private:
    friend class AcDbDeepCloner;
    friend class AcDbUndoStep;
    AcDbObjectId newStub(AcDbHandle h);
    void buildDefaultContent();

    std::unordered_map<std::uint64_t, std::unique_ptr<AcDbStub>> m_stubs;
    std::uint64_t m_nextHandle = 1;
    AcDbObjectId m_blockTable, m_layerTable, m_linetypeTable, m_textStyleTable, m_namedObjects;
    std::string m_clayer = "0";
    std::string m_filename;
    std::string m_lastFileError;
    std::shared_ptr<void> m_fileHold;
    std::uint64_t m_blockContentRevision = 0;
    AcDbUndoHistory* m_undoHistory = nullptr;
};

// Where new entities of a database go when no block is named.
Acad::ErrorStatus acdbAppendToBlock(AcDbDatabase* db, const char* blockName, AcDbEntity* entity,
                                    AcDbObjectId& id);
