#include "acdb/database.h"

#include <algorithm>

AcDbDatabase::AcDbDatabase(bool buildDefaultDrawing, bool) {
    if (buildDefaultDrawing)
        buildDefaultContent();
}

AcDbDatabase::~AcDbDatabase() = default;

namespace {
template <class T> AcDbObjectId addRoot(AcDbDatabase& db, T* obj) {
    AcDbObjectId id;
    db.addAcDbObject(id, obj);
    obj->close();
    return id;
}

template <class R> void addRecord(AcDbObjectId tableId, R* record, const char* name) {
    AcDbObjectPointer<AcDbSymbolTable> table(tableId, AcDb::kForWrite);
    record->setName(name);
    table->add(record);
    record->close();
}
} // namespace

void AcDbDatabase::buildDefaultContent() {
    m_blockTable = addRoot(*this, new AcDbBlockTable);
    m_layerTable = addRoot(*this, new AcDbLayerTable);
    m_linetypeTable = addRoot(*this, new AcDbLinetypeTable);
    m_textStyleTable = addRoot(*this, new AcDbTextStyleTable);
    m_namedObjects = addRoot(*this, new AcDbDictionary);

    addRecord(m_blockTable, new AcDbBlockTableRecord, "*Model_Space");
    addRecord(m_blockTable, new AcDbBlockTableRecord, "*Paper_Space");
    addRecord(m_layerTable, new AcDbLayerTableRecord, "0");
    addRecord(m_linetypeTable, new AcDbLinetypeTableRecord, "ByBlock");
    addRecord(m_linetypeTable, new AcDbLinetypeTableRecord, "ByLayer");
    auto* continuous = new AcDbLinetypeTableRecord;
    continuous->setComments("Solid line");
    addRecord(m_linetypeTable, continuous, "Continuous");
    addRecord(m_textStyleTable, new AcDbTextStyleTableRecord, "Standard");

    AcDbObjectPointer<AcDbDictionary> nod(m_namedObjects, AcDb::kForWrite);
    AcDbObjectId groupDict, styleDict, styleId;
    auto* groups = new AcDbDictionary;
    nod->setAt("ACAD_GROUP", groups, groupDict);
    groups->close();
    auto* styles = new AcDbDictionary;
    nod->setAt("ACAD_TABLESTYLE", styles, styleDict);
    auto* standard = new AcDbTableStyle;
    standard->setName("Standard");
    standard->setTextStyle(textstyle(), AcDb::kTitleRow | AcDb::kHeaderRow | AcDb::kDataRow);
    styles->setAt("Standard", standard, styleId);
    standard->close();
    styles->close();
}

void AcDbDatabase::setRoots(AcDbObjectId blockTable, AcDbObjectId layerTable,
                            AcDbObjectId linetypeTable, AcDbObjectId textStyleTable,
                            AcDbObjectId namedObjects) {
    m_blockTable = blockTable;
    m_layerTable = layerTable;
    m_linetypeTable = linetypeTable;
    m_textStyleTable = textStyleTable;
    m_namedObjects = namedObjects;
}

void AcDbDatabase::swapContent(AcDbDatabase& other) {
    std::swap(m_stubs, other.m_stubs);
    std::swap(m_nextHandle, other.m_nextHandle);
    std::swap(m_blockTable, other.m_blockTable);
    std::swap(m_layerTable, other.m_layerTable);
    std::swap(m_linetypeTable, other.m_linetypeTable);
    std::swap(m_textStyleTable, other.m_textStyleTable);
    std::swap(m_namedObjects, other.m_namedObjects);
    std::swap(m_clayer, other.m_clayer);
    // Both now hold other block definitions.
    noteBlockContentChanged();
    other.noteBlockContentChanged();
    for (auto& [h, stub] : m_stubs)
        stub->database = this;
    for (auto& [h, stub] : other.m_stubs)
        stub->database = &other;
    // The recorded steps name objects that just left: a read drawing starts
    // a new history.
    if (m_undoHistory)
        m_undoHistory->clear();
    if (other.m_undoHistory)
        other.m_undoHistory->clear();
}

AcDbObjectId AcDbDatabase::tableStyleDictionaryId() const {
    AcDbObjectPointer<AcDbDictionary> nod(m_namedObjects, AcDb::kForRead);
    AcDbObjectId id;
    if (nod)
        nod->getAt("ACAD_TABLESTYLE", id);
    return id;
}

namespace {
AcDbObjectId recordId(AcDbObjectId tableId, const char* name) {
    AcDbObjectPointer<AcDbSymbolTable> table(tableId, AcDb::kForRead);
    AcDbObjectId id;
    if (table)
        table->getAt(name, id);
    return id;
}

template <class T> Acad::ErrorStatus openAs(AcDbObjectId id, T*& out, AcDb::OpenMode mode) {
    return acdbOpenObject(out, id, mode);
}
} // namespace

AcDbObjectId AcDbDatabase::modelSpaceId() const {
    return recordId(m_blockTable, "*Model_Space");
}
AcDbObjectId AcDbDatabase::paperSpaceId() const {
    return recordId(m_blockTable, "*Paper_Space");
}
AcDbObjectId AcDbDatabase::textstyle() const {
    return recordId(m_textStyleTable, "Standard");
}

AcDbObjectId AcDbDatabase::tablestyle() const {
    AcDbObjectPointer<AcDbDictionary> dict(tableStyleDictionaryId(), AcDb::kForRead);
    AcDbObjectId id;
    if (dict && dict->getAt("Standard", id) != Acad::eOk) {
        auto entries = dict->entries();
        if (!entries.empty())
            id = entries.front().second;
    }
    return id;
}

Acad::ErrorStatus AcDbDatabase::getBlockTable(AcDbBlockTable*& t, AcDb::OpenMode mode) const {
    return openAs(m_blockTable, t, mode);
}
Acad::ErrorStatus AcDbDatabase::getLayerTable(AcDbLayerTable*& t, AcDb::OpenMode mode) const {
    return openAs(m_layerTable, t, mode);
}
Acad::ErrorStatus AcDbDatabase::getLinetypeTable(AcDbLinetypeTable*& t, AcDb::OpenMode mode) const {
    return openAs(m_linetypeTable, t, mode);
}
Acad::ErrorStatus AcDbDatabase::getTextStyleTable(AcDbTextStyleTable*& t,
                                                  AcDb::OpenMode mode) const {
    return openAs(m_textStyleTable, t, mode);
}
Acad::ErrorStatus AcDbDatabase::getNamedObjectsDictionary(AcDbDictionary*& d,
                                                          AcDb::OpenMode mode) const {
    return openAs(m_namedObjects, d, mode);
}
Acad::ErrorStatus AcDbDatabase::getTableStyleDictionary(AcDbDictionary*& d,
                                                        AcDb::OpenMode mode) const {
    d = nullptr;
    AcDbObjectId id = tableStyleDictionaryId();
    return id.isNull() ? Acad::eKeyNotFound : openAs(id, d, mode);
}

Acad::ErrorStatus AcDbDatabase::setClayer(const std::string& layer) {
    AcDbObjectPointer<AcDbLayerTable> table(m_layerTable, AcDb::kForRead);
    if (!table || !table->has(layer))
        return Acad::eKeyNotFound;
    m_clayer = layer;
    return Acad::eOk;
}

AcDbObjectId AcDbDatabase::newStub(AcDbHandle h) {
    auto stub = std::make_unique<AcDbStub>();
    stub->database = this;
    stub->handle = h;
    AcDbStub* raw = stub.get();
    m_stubs.emplace(h.value(), std::move(stub));
    m_nextHandle = std::max(m_nextHandle, h.value() + 1);
    return AcDbObjectId(raw);
}

Acad::ErrorStatus AcDbDatabase::addAcDbObject(AcDbObjectId& id, AcDbObject* obj) {
    while (m_stubs.count(m_nextHandle))
        ++m_nextHandle;
    return addAcDbObjectWithHandle(id, obj, AcDbHandle(m_nextHandle));
}

Acad::ErrorStatus AcDbDatabase::addAcDbObjectWithHandle(AcDbObjectId& id, AcDbObject* obj,
                                                        AcDbHandle h) {
    id = AcDbObjectId();
    if (!obj)
        return Acad::eNullObjectPointer;
    if (obj->isDatabaseResident())
        return Acad::eAlreadyInDb;
    if (h.isNull())
        return Acad::eInvalidInput;
    AcDbObjectId target;
    if (auto it = m_stubs.find(h.value()); it != m_stubs.end()) {
        if (it->second->object)
            return Acad::eDuplicateKey;
        target = AcDbObjectId(it->second.get());
    } else {
        target = newStub(h);
    }
    target.stub()->object.reset(obj);
    obj->m_stub = target.stub();
    obj->m_writer = true; // a newly added object is open for write until closed
    id = target;
    if (m_undoHistory)
        m_undoHistory->noteAppended(target.stub());
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::getAcDbObjectId(AcDbObjectId& id, bool create,
                                                const AcDbHandle& h) {
    id = AcDbObjectId();
    if (h.isNull())
        return Acad::eInvalidInput;
    if (auto it = m_stubs.find(h.value()); it != m_stubs.end()) {
        id = AcDbObjectId(it->second.get());
        return Acad::eOk;
    }
    if (!create)
        return Acad::eKeyNotFound;
    id = newStub(h);
    return Acad::eOk;
}

void AcDbDatabase::setHandseed(AcDbHandle h) {
    m_nextHandle = std::max(m_nextHandle, h.value());
}

AcDbObjectIdArray AcDbDatabase::allObjectIds(bool includeErased) const {
    AcDbObjectIdArray ids;
    ids.reserve(m_stubs.size());
    for (const auto& [h, stub] : m_stubs)
        if (stub->object && (includeErased || !stub->erased))
            ids.push_back(AcDbObjectId(stub.get()));
    std::sort(ids.begin(), ids.end(),
              [](const AcDbObjectId& a, const AcDbObjectId& b) { return a.handle() < b.handle(); });
    return ids;
}

std::size_t AcDbDatabase::objectCount() const {
    std::size_t n = 0;
    for (const auto& [h, stub] : m_stubs)
        if (stub->object && !stub->erased)
            ++n;
    return n;
}

AcDbExtents AcDbDatabase::modelSpaceExtents() const {
    AcDbExtents ext;
    AcDbObjectPointer<AcDbBlockTableRecord> ms(modelSpaceId(), AcDb::kForRead);
    if (!ms)
        return ext;
    for (AcDbObjectId id : ms->entityIds()) {
        AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForRead);
        AcDbExtents e;
        if (ent && ent->getGeomExtents(e) == Acad::eOk)
            ext.addExt(e);
    }
    return ext;
}

Acad::ErrorStatus acdbAppendToBlock(AcDbDatabase* db, const char* blockName, AcDbEntity* entity,
                                    AcDbObjectId& id) {
    id = AcDbObjectId();
    if (!db || !entity)
        return Acad::eNullObjectPointer;
    AcDbBlockTable* table = nullptr;
    if (Acad::ErrorStatus es = db->getBlockTable(table, AcDb::kForRead); es != Acad::eOk)
        return es;
    AcDbBlockTableRecord* record = nullptr;
    Acad::ErrorStatus es = table->getAt(blockName, record, AcDb::kForWrite);
    table->close();
    if (es != Acad::eOk)
        return es;
    es = record->appendAcDbEntity(id, entity);
    record->close();
    return es;
}
