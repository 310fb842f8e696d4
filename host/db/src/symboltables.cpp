#include "acdb/symboltables.h"
#include "acdb/database.h"
#include "names.h"
#include "write_access.h"

#include <numeric>

ACDB_DEFINE_MEMBERS(AcDbSymbolTableRecord, AcDbObject, "")
ACDB_DEFINE_MEMBERS(AcDbSymbolTable, AcDbObject, "TABLE")
ACDB_DEFINE_MEMBERS(AcDbBlockTableRecord, AcDbSymbolTableRecord, "BLOCK_RECORD")
ACDB_DEFINE_MEMBERS(AcDbBlockTable, AcDbSymbolTable, "BLOCK_RECORD")
ACDB_DEFINE_MEMBERS(AcDbLayerTableRecord, AcDbSymbolTableRecord, "LAYER")
ACDB_DEFINE_MEMBERS(AcDbLayerTable, AcDbSymbolTable, "LAYER")
ACDB_DEFINE_MEMBERS(AcDbLinetypeTableRecord, AcDbSymbolTableRecord, "LTYPE")
ACDB_DEFINE_MEMBERS(AcDbLinetypeTable, AcDbSymbolTable, "LTYPE")
ACDB_DEFINE_MEMBERS(AcDbTextStyleTableRecord, AcDbSymbolTableRecord, "STYLE")
ACDB_DEFINE_MEMBERS(AcDbTextStyleTable, AcDbSymbolTable, "STYLE")

namespace {
// Symbol names may not hold characters that break files or look-ups.
bool isValidSymbolName(const std::string& name) {
    if (name.empty() || name.size() > 255)
        return false;
    for (char c : name)
        if (c == '\n' || c == '\r' || c == '\0')
            return false;
    return true;
}

const AcDbSymbolTableRecord* recordOf(AcDbObjectId id) {
    return AcDbSymbolTableRecord::cast(id.objectLeftOpen());
}
} // namespace

// ---- records

Acad::ErrorStatus AcDbSymbolTableRecord::setName(const std::string& name) {
    if (!isValidSymbolName(name))
        return Acad::eInvalidInput;
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (auto* table = AcDbSymbolTable::cast(ownerId().objectLeftOpen())) {
        AcDbObjectId other;
        if (table->getAt(name, other) == Acad::eOk && !(other == objectId()))
            return Acad::eDuplicateKey;
    }
    if (auto* table = AcDbSymbolTable::cast(ownerId().objectLeftOpen()))
        table->reindex(m_name, name, objectId());
    m_name = name;
    return Acad::eOk;
}

// ---- tables

bool AcDbSymbolTable::acceptsRecord(const AcDbSymbolTableRecord*) const {
    return true;
}
bool AcDbBlockTable::acceptsRecord(const AcDbSymbolTableRecord* r) const {
    return r->isKindOf(AcDbBlockTableRecord::desc());
}
bool AcDbLayerTable::acceptsRecord(const AcDbSymbolTableRecord* r) const {
    return r->isKindOf(AcDbLayerTableRecord::desc());
}
bool AcDbLinetypeTable::acceptsRecord(const AcDbSymbolTableRecord* r) const {
    return r->isKindOf(AcDbLinetypeTableRecord::desc());
}
bool AcDbTextStyleTable::acceptsRecord(const AcDbSymbolTableRecord* r) const {
    return r->isKindOf(AcDbTextStyleTableRecord::desc());
}

Acad::ErrorStatus AcDbSymbolTable::getAt(const std::string& name, AcDbObjectId& id,
                                         bool getErased) const {
    id = AcDbObjectId();
    std::string key = names::fold(name);
    if (auto it = m_index.find(key); it != m_index.end() && !it->second.isErased()) {
        id = it->second;
        return Acad::eOk;
    }
    if (!getErased)
        return Acad::eKeyNotFound;
    for (AcDbObjectId rid : m_records) {
        const AcDbSymbolTableRecord* r = recordOf(rid);
        if (!r || (rid.isErased() && !getErased))
            continue;
        if (names::fold(r->getName()) == key) {
            id = rid;
            return Acad::eOk;
        }
    }
    return Acad::eKeyNotFound;
}

bool AcDbSymbolTable::has(const std::string& name) const {
    AcDbObjectId id;
    return getAt(name, id) == Acad::eOk;
}

bool AcDbSymbolTable::has(AcDbObjectId id) const {
    for (AcDbObjectId rid : m_records)
        if (rid == id && !rid.isErased())
            return true;
    return false;
}

Acad::ErrorStatus AcDbSymbolTable::add(AcDbObjectId& id, AcDbSymbolTableRecord* record) {
    id = AcDbObjectId();
    if (!record)
        return Acad::eNullObjectPointer;
    if (!acceptsRecord(record))
        return Acad::eNotThatKindOfClass;
    if (record->isDatabaseResident())
        return Acad::eAlreadyInDb;
    if (!isDatabaseResident())
        return Acad::eNotInDatabase;
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!isValidSymbolName(record->getName()))
        return Acad::eInvalidInput;
    if (has(record->getName()))
        return Acad::eDuplicateKey;
    if (Acad::ErrorStatus es = database()->addAcDbObject(id, record); es != Acad::eOk)
        return es;
    record->setOwnerId(objectId());
    m_records.push_back(id);
    m_index[names::fold(record->getName())] = id;
    return Acad::eOk;
}

void AcDbSymbolTable::reindex(const std::string& oldName, const std::string& newName,
                              AcDbObjectId id) {
    if (auto it = m_index.find(names::fold(oldName)); it != m_index.end() && it->second == id)
        m_index.erase(it);
    m_index[names::fold(newName)] = id;
}

AcDbObjectIdArray AcDbSymbolTable::recordIds(bool includeErased) const {
    AcDbObjectIdArray out;
    for (AcDbObjectId id : m_records)
        if (includeErased || !id.isErased())
            out.push_back(id);
    return out;
}

std::size_t AcDbSymbolTable::count() const {
    return recordIds().size();
}

// ---- block table records

Acad::ErrorStatus AcDbBlockTableRecord::appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity) {
    id = AcDbObjectId();
    if (!entity)
        return Acad::eNullObjectPointer;
    if (entity->isDatabaseResident())
        return Acad::eAlreadyInDb;
    if (!isDatabaseResident())
        return Acad::eNotInDatabase;
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (Acad::ErrorStatus es = database()->addAcDbObject(id, entity); es != Acad::eOk)
        return es;
    entity->setOwnerId(objectId());
    m_entities.push_back(id);
    return Acad::eOk;
}

AcDbObjectIdArray AcDbBlockTableRecord::entityIds(bool includeErased) const {
    AcDbObjectIdArray out;
    out.reserve(m_entities.size());
    for (AcDbObjectId id : m_entities)
        if (includeErased || !id.isErased())
            out.push_back(id);
    return out;
}

Acad::ErrorStatus AcDbBlockTableRecord::getBlockReferenceIds(AcDbObjectIdArray& ids, bool,
                                                             bool) const {
    ids.clear();
    AcDbDatabase* db = database();
    if (!db)
        return Acad::eNotInDatabase;
    AcDbObjectId self = objectId();
    for (AcDbObjectId id : db->allObjectIds()) {
        AcDbObject* o = id.objectLeftOpen();
        // Tables show their own graphics, not a block the user defined.
        if (o && o->isA() == AcDbBlockReference::desc() &&
            static_cast<AcDbBlockReference*>(o)->blockTableRecord() == self &&
            !o->ownerId().isNull() && !o->ownerId().isErased())
            ids.push_back(id);
    }
    return Acad::eOk;
}

Acad::ErrorStatus AcDbBlockTableRecord::setOrigin(const AcGePoint3d& p) {
    ACDB_WRITE(m_origin = p);
}
Acad::ErrorStatus AcDbBlockTableRecord::setComments(const std::string& c) {
    ACDB_WRITE(m_comments = c);
}
Acad::ErrorStatus AcDbBlockTableRecord::setIsFromExternalReference(bool b) {
    ACDB_WRITE(m_xref = b);
}
Acad::ErrorStatus AcDbBlockTableRecord::setIsFromOverlayReference(bool b) {
    ACDB_WRITE(m_overlay = b);
}
Acad::ErrorStatus AcDbBlockTableRecord::setIsUnloaded(bool b) {
    ACDB_WRITE(m_unloaded = b);
}
Acad::ErrorStatus AcDbBlockTableRecord::setPathName(const std::string& p) {
    ACDB_WRITE(m_xrefPath = p);
}

bool AcDbBlockTableRecord::isLayout() const {
    std::string n = names::fold(getName());
    return n == "*MODEL_SPACE" || n.rfind("*PAPER_SPACE", 0) == 0;
}

bool AcDbBlockTableRecord::isAnonymous() const {
    return !getName().empty() && getName()[0] == '*' && !isLayout();
}

bool AcDbBlockTableRecord::hasAttributeDefinitions() const {
    for (AcDbObjectId id : entityIds()) {
        AcDbObject* o = id.objectLeftOpen();
        if (o && o->isKindOf(AcDbAttributeDefinition::desc()))
            return true;
    }
    return false;
}

// ---- other records

Acad::ErrorStatus AcDbLayerTableRecord::setColor(const AcCmColor& c) {
    ACDB_WRITE(m_color = c);
}
Acad::ErrorStatus AcDbLayerTableRecord::setLinetype(const std::string& n) {
    ACDB_WRITE(m_linetype = n);
}
Acad::ErrorStatus AcDbLayerTableRecord::setLineWeight(AcDb::LineWeight lw) {
    if (!AcDb::isValidLineWeight(lw))
        return Acad::eInvalidInput;
    ACDB_WRITE(m_lineWeight = lw);
}
Acad::ErrorStatus AcDbLayerTableRecord::setIsOff(bool v) {
    ACDB_WRITE(m_off = v);
}
Acad::ErrorStatus AcDbLayerTableRecord::setIsFrozen(bool v) {
    ACDB_WRITE(m_frozen = v);
}
Acad::ErrorStatus AcDbLayerTableRecord::setIsLocked(bool v) {
    ACDB_WRITE(m_locked = v);
}

Acad::ErrorStatus AcDbLinetypeTableRecord::setComments(const std::string& c) {
    ACDB_WRITE(m_comments = c);
}
Acad::ErrorStatus AcDbLinetypeTableRecord::setDashes(const std::vector<double>& d) {
    ACDB_WRITE(m_dashes = d);
}
double AcDbLinetypeTableRecord::patternLength() const {
    double sum = 0;
    for (double d : m_dashes)
        sum += std::abs(d);
    return sum;
}

Acad::ErrorStatus AcDbTextStyleTableRecord::setTextSize(double s) {
    if (!(s >= 0))
        return Acad::eInvalidInput;
    ACDB_WRITE(m_size = s);
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setXScale(double s) {
    if (!(s > 0))
        return Acad::eInvalidInput;
    ACDB_WRITE(m_xScale = s);
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setObliquingAngle(double a) {
    ACDB_WRITE(m_oblique = a);
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setFileName(const std::string& f) {
    ACDB_WRITE(m_font = f);
}
Acad::ErrorStatus AcDbTextStyleTableRecord::setBigFontFileName(const std::string& f) {
    ACDB_WRITE(m_bigFont = f);
}
