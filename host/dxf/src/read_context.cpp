#include "read_context.h"

#include "dxf_error.h"
#include "dxf_names.h"

#include <algorithm>

namespace acdxf {

void ReadContext::claimTableBlock(AcDbHandle record, const std::string& name) {
    if (!record.isNull())
        m_claimedHandles.insert(record.value());
    if (!name.empty())
        m_claimedNames.insert(upperCase(name));
}

bool ReadContext::isClaimedTableBlock(AcDbHandle record, const std::string& name) const {
    return (!record.isNull() && m_claimedHandles.count(record.value())) ||
           (!name.empty() && m_claimedNames.count(upperCase(name)));
}

void ReadContext::noteHandle(AcDbHandle h, std::string_view type, std::uint32_t line) {
    if (h.isNull())
        return;
    auto [it, inserted] = m_fileHandles.emplace(h.value(), type);
    if (!inserted)
        throw DxfError(line, "handle " + h.toHex() + " is given to two objects (" +
                                 std::string(it->second) + " and " + std::string(type) + ")");
    if (h.value() > m_largestHandle)
        m_largestHandle = h.value();
}

std::string_view ReadContext::fileTypeOf(AcDbHandle h) const {
    auto it = m_fileHandles.find(h.value());
    return it == m_fileHandles.end() ? std::string_view() : it->second;
}

void ReadContext::preferHandle(AcDbHandle fileHandle) {
    AcDbObjectId existing;
    if (!fileHandle.isNull() &&
        m_db.getAcDbObjectId(existing, false, fileHandle) == Acad::eKeyNotFound) {
        m_db.setNextHandle(fileHandle);
        return;
    }
    // Objects the file gives no handle (or a taken one) go above every
    // handle seen so far, out of the way of the file's own.
    m_db.setNextHandle(AcDbHandle(std::max(m_largestHandle, m_largestPlaced) + 1));
}

AcDbObjectId ReadContext::placed(const AcDbObject* obj, AcDbHandle fileHandle) {
    AcDbObjectId id = obj->objectId();
    m_largestPlaced = std::max(m_largestPlaced, id.handle().value());
    if (!fileHandle.isNull())
        m_placed[fileHandle.value()] = id;
    return id;
}

AcDbObjectId ReadContext::placedOrThrow(Acad::ErrorStatus es, AcDbObject* obj,
                                        AcDbHandle fileHandle, std::uint32_t line,
                                        const std::string& what) {
    if (es != Acad::eOk) {
        delete obj;
        throw DxfError(line, "cannot add " + what + ": " + acadErrorStatusText(es));
    }
    return placed(obj, fileHandle);
}

AcDbObjectId ReadContext::addObject(AcDbObject* obj, AcDbHandle fileHandle, std::uint32_t line) {
    AcDbObjectId id;
    preferHandle(fileHandle);
    const Acad::ErrorStatus es = m_db.addAcDbObject(id, obj);
    return placedOrThrow(es, obj, fileHandle, line, "the object");
}

AcDbObjectId ReadContext::addRecord(AcDbSymbolTable* table, AcDbSymbolTableRecord* record,
                                    AcDbHandle fileHandle, std::uint32_t line) {
    preferHandle(fileHandle);
    AcDbObjectId id;
    const Acad::ErrorStatus es = table->add(id, record);
    return placedOrThrow(es, record, fileHandle, line, "\"" + record->getName() + "\"");
}

AcDbObjectId ReadContext::appendEntity(AcDbBlockTableRecord* block, AcDbEntity* entity,
                                       AcDbHandle fileHandle, std::uint32_t line) {
    preferHandle(fileHandle);
    AcDbObjectId id;
    const Acad::ErrorStatus es = block->appendAcDbEntity(id, entity);
    return placedOrThrow(es, entity, fileHandle, line, "the entity");
}

void ReadContext::alias(AcDbHandle fileHandle, AcDbObjectId id) {
    if (!fileHandle.isNull())
        m_placed[fileHandle.value()] = id;
}

AcDbObjectId ReadContext::idOf(AcDbHandle fileHandle) const {
    auto it = m_placed.find(fileHandle.value());
    return it == m_placed.end() ? AcDbObjectId() : it->second;
}

AcDbObjectId ReadContext::resolve(AcDbHandle h, const AcRxClass* cls, const char* what,
                                  std::uint32_t line) const {
    if (h.isNull())
        return {};
    AcDbObjectId id = idOf(h);
    if (id.isNull()) {
        if (!fileHasHandle(h))
            throw DxfError(line, std::string(what) + " refers to handle " + h.toHex() +
                                     ", which no object in the file has");
        throw DxfError(line, std::string(what) + " refers to handle " + h.toHex() + ", a " +
                                 std::string(fileTypeOf(h)) +
                                 " object, which cannot be used "
                                 "there");
    }
    AcDbObject* obj = id.objectLeftOpen();
    if (!obj || !obj->isKindOf(cls))
        throw DxfError(line, std::string(what) + " refers to handle " + h.toHex() +
                                 ", which is not a " + cls->dxfName() + " object");
    return id;
}

void ReadContext::runLater() {
    // Work may queue further work; run until none is left.
    for (std::size_t i = 0; i < m_later.size(); ++i) {
        auto fn = std::move(m_later[i]);
        fn();
    }
    m_later.clear();
}

} // namespace acdxf
