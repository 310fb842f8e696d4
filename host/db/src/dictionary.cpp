#include "acdb/dictionary.h"
#include "acdb/database.h"
#include "names.h"

ACDB_DEFINE_MEMBERS(AcDbDictionary, AcDbObject, "DICTIONARY")

Acad::ErrorStatus AcDbDictionary::getAt(const std::string& name, AcDbObjectId& id) const {
    id = AcDbObjectId();
    std::string key = names::fold(name);
    for (const auto& [n, eid] : m_entries)
        if (!eid.isErased() && names::fold(n) == key) {
            id = eid;
            return Acad::eOk;
        }
    return Acad::eKeyNotFound;
}

bool AcDbDictionary::has(const std::string& name) const {
    AcDbObjectId id;
    return getAt(name, id) == Acad::eOk;
}

bool AcDbDictionary::has(AcDbObjectId id) const {
    for (const auto& e : m_entries)
        if (e.second == id && !id.isErased())
            return true;
    return false;
}

Acad::ErrorStatus AcDbDictionary::nameAt(AcDbObjectId id, std::string& name) const {
    for (const auto& e : m_entries)
        if (e.second == id) {
            name = e.first;
            return Acad::eOk;
        }
    return Acad::eKeyNotFound;
}

Acad::ErrorStatus AcDbDictionary::setAt(const std::string& name, AcDbObject* obj,
                                        AcDbObjectId& id) {
    id = AcDbObjectId();
    if (!obj)
        return Acad::eNullObjectPointer;
    if (name.empty() || name.find_first_of("\r\n") != std::string::npos)
        return Acad::eInvalidInput;
    if (!isDatabaseResident())
        return Acad::eNotInDatabase;
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (has(name))
        return Acad::eDuplicateKey;
    if (obj->isDatabaseResident()) {
        if (obj->database() != database())
            return Acad::eWrongDatabase;
        id = obj->objectId();
    } else if (Acad::ErrorStatus es = database()->addAcDbObject(id, obj); es != Acad::eOk) {
        return es;
    }
    obj->setOwnerId(objectId());
    m_entries.emplace_back(name, id);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDictionary::remove(const std::string& name) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    std::string key = names::fold(name);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        if (names::fold(it->first) == key) {
            m_entries.erase(it);
            return Acad::eOk;
        }
    return Acad::eKeyNotFound;
}

std::size_t AcDbDictionary::numEntries() const {
    return entries().size();
}

std::vector<std::pair<std::string, AcDbObjectId>> AcDbDictionary::entries() const {
    std::vector<std::pair<std::string, AcDbObjectId>> out;
    for (const auto& e : m_entries)
        if (!e.second.isErased())
            out.push_back(e);
    return out;
}

AcDbDictionary::Iterator::Iterator(const AcDbDictionary* d) : m_entries(d->entries()) {}
