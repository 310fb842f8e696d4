#include "UtiCommonFunc.h"

#include <cmath>
#include <numbers>

namespace {

constexpr REGSAM kKeyAccess = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

HKEY createOrOpen(HKEY parent, const std::string& name) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyEx(parent, name.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, kKeyAccess,
                       nullptr, &key, &disposition) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// Closes a registry key on every exit.
class KeyCloser {
public:
    explicit KeyCloser(HKEY key) : m_key(key) {}
    ~KeyCloser() {
        if (m_key)
            RegCloseKey(m_key);
    }
    KeyCloser(const KeyCloser&) = delete;
    KeyCloser& operator=(const KeyCloser&) = delete;
    HKEY get() const { return m_key; }

private:
    HKEY m_key;
};

AcDbDatabase* orWorking(AcDbDatabase* db) {
    return db ? db : acdbHostApplicationServices()->workingDatabase();
}

} // namespace

void CUtiCommonFunc::sendCommandQuietly(const std::string& text) const {
    resbuf kept{};
    const bool haveKept = acedGetVar("CMDECHO", &kept) == RTNORM;
    resbuf off{};
    off.restype = RTSHORT;
    off.resval.rint = 0;
    acedSetVar("CMDECHO", &off);
    acDocManagerPtr()->queueCommandString(acDocManagerPtr()->activeDocument(), text.c_str(), false,
                                          true, true);
    if (haveKept)
        acedSetVar("CMDECHO", &kept);
}

HKEY CUtiCommonFunc::openRegistryKey(const std::string& subKey) const {
    if (m_registryRoot.empty())
        return nullptr;
    HKEY software = createOrOpen(HKEY_CURRENT_USER, "software");
    if (!software)
        return nullptr;
    HKEY root = createOrOpen(software, m_registryRoot);
    RegCloseKey(software);
    if (!root || subKey.empty())
        return root;
    HKEY key = createOrOpen(root, subKey);
    RegCloseKey(root);
    return key;
}

DWORD CUtiCommonFunc::readRegistryDword(const std::string& subKey, const std::string& name,
                                        DWORD defaultValue) const {
    KeyCloser key(openRegistryKey(subKey));
    if (!key.get())
        return defaultValue;
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    if (RegQueryValueEx(key.get(), name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&value),
                        &size) != ERROR_SUCCESS)
        return defaultValue;
    return value;
}

std::string CUtiCommonFunc::readRegistryString(const std::string& subKey, const std::string& name,
                                               const std::string& defaultValue) const {
    KeyCloser key(openRegistryKey(subKey));
    if (!key.get())
        return defaultValue;
    DWORD size = 0;
    DWORD type = 0;
    if (RegQueryValueEx(key.get(), name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return defaultValue;
    std::string buffer(size, '\0');
    if (size > 0 && RegQueryValueEx(key.get(), name.c_str(), nullptr, &type,
                                    reinterpret_cast<BYTE*>(buffer.data()), &size) != ERROR_SUCCESS)
        return defaultValue;
    // A stored string need not end in a zero byte: stop at the first zero or
    // at the end of what was read, never beyond it.
    buffer.resize(std::min<std::size_t>(size, buffer.size()));
    const auto zero = buffer.find('\0');
    if (zero != std::string::npos)
        buffer.resize(zero);
    return buffer;
}

bool CUtiCommonFunc::writeRegistryDword(const std::string& subKey, const std::string& name,
                                        DWORD value) const {
    KeyCloser key(openRegistryKey(subKey));
    if (!key.get())
        return false;
    return RegSetValueEx(key.get(), name.c_str(), 0, REG_DWORD,
                         reinterpret_cast<const BYTE*>(&value), sizeof(value)) == ERROR_SUCCESS;
}

bool CUtiCommonFunc::writeRegistryString(const std::string& subKey, const char* name,
                                         const char* text) const {
    if (!name) {
        if (m_registryRoot.empty())
            return false;
        // Removing a key needs delete rights that the value calls do not ask for.
        HKEY opened = nullptr;
        if (RegOpenKeyEx(HKEY_CURRENT_USER, ("software\\" + m_registryRoot).c_str(), 0,
                         DELETE | KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | KEY_SET_VALUE,
                         &opened) != ERROR_SUCCESS)
            return false;
        KeyCloser root(opened);
        return RegDeleteTree(root.get(), subKey.c_str()) == ERROR_SUCCESS;
    }
    KeyCloser key(openRegistryKey(subKey));
    if (!key.get())
        return false;
    if (!text)
        return RegDeleteValue(key.get(), name) == ERROR_SUCCESS;
    const std::string value(text);
    return RegSetValueEx(key.get(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                         static_cast<DWORD>(value.size() + 1)) == ERROR_SUCCESS;
}

bool CUtiCommonFunc::gatherBlockNames(std::vector<std::string>& names, AcDbDatabase* db) const {
    db = orWorking(db);
    if (!db)
        return false;
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
        return false;
    for (auto it = table->newIterator(); !it.done(); it.step()) {
        AcDbBlockTableRecord* record = nullptr;
        if (it.getRecord(record, AcDb::kForRead) != Acad::eOk)
            continue;
        if (!record->isAnonymous() && !record->isFromExternalReference() &&
            !record->isFromOverlayReference() && !record->isLayout() && !record->isUnloaded())
            names.push_back(record->getName());
        record->close();
    }
    table->close();
    return true;
}

AcDbObjectId CUtiCommonFunc::blockIdByName(const std::string& name, AcDbDatabase* db) const {
    AcDbBlockTableRecord* record = openBlockByName(name, AcDb::kForRead, db);
    if (!record)
        return AcDbObjectId::kNull;
    const AcDbObjectId id = record->objectId();
    record->close();
    return id;
}

AcDbBlockTableRecord* CUtiCommonFunc::openBlockByName(const std::string& name, AcDb::OpenMode mode,
                                                      AcDbDatabase* db) const {
    db = orWorking(db);
    if (!db || name.empty())
        return nullptr;
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
        return nullptr;
    AcDbBlockTableRecord* record = nullptr;
    const Acad::ErrorStatus es = table->getAt(name, record, mode);
    table->close();
    return es == Acad::eOk ? record : nullptr;
}

bool CUtiCommonFunc::deleteBlockWithReferences(const std::string& name, AcDbDatabase* db) const {
    AcDbBlockTableRecord* record = openBlockByName(name, AcDb::kForWrite, db);
    if (!record)
        return false;
    AcDbObjectIdArray refs;
    record->getBlockReferenceIds(refs);
    for (const AcDbObjectId& id : refs)
        eraseObject(id);
    record->erase();
    record->close();
    return true;
}

bool CUtiCommonFunc::eraseObject(AcDbObjectId id) const {
    AcDbObject* object = nullptr;
    if (acdbOpenAcDbObject(object, id, AcDb::kForWrite) != Acad::eOk)
        return false;
    object->erase();
    object->close();
    return true;
}

AcDbObjectId CUtiCommonFunc::appendToCurrentSpace(AcDbEntity* entity,
                                                  AcDbBlockTableRecord* block) const {
    AcDbObjectId id;
    if (block) {
        if (block->appendAcDbEntity(id, entity) != Acad::eOk) {
            block->close();
            return AcDbObjectId::kNull;
        }
        return id;
    }
    AcDbDatabase* db = orWorking(nullptr);
    if (!db)
        return AcDbObjectId::kNull;
    std::string space = "*Paper_Space";
    resbuf ctab{};
    if (acedGetVar("CTAB", &ctab) == RTNORM && ctab.restype == RTSTR && ctab.resval.rstring) {
        std::string name = ctab.resval.rstring;
        acutDelString(ctab.resval.rstring);
        for (char& c : name)
            c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
        if (name == "MODEL")
            space = "*Model_Space";
    }
    AcDbBlockTable* table = nullptr;
    if (db->getBlockTable(table, AcDb::kForRead) != Acad::eOk)
        return AcDbObjectId::kNull;
    AcDbBlockTableRecord* target = nullptr;
    const Acad::ErrorStatus es = table->getAt(space, target, AcDb::kForWrite);
    table->close();
    if (es != Acad::eOk)
        return AcDbObjectId::kNull;
    if (target->appendAcDbEntity(id, entity) != Acad::eOk)
        id = AcDbObjectId::kNull;
    else
        entity->close();
    target->close();
    return id;
}

bool CUtiCommonFunc::attributeDefinitions(const std::string& blockName, AcDbObjectIdArray& ids,
                                          std::vector<std::string>& tags,
                                          std::vector<std::string>& prompts,
                                          std::vector<std::string>& defaults) const {
    AcDbBlockTableRecord* record = openBlockByName(blockName, AcDb::kForRead);
    if (!record)
        return false;
    for (auto it = record->newIterator(); !it.done(); it.step()) {
        AcDbAttributeDefinition* def = nullptr;
        AcDbEntity* entity = nullptr;
        if (it.getEntity(entity, AcDb::kForRead) != Acad::eOk)
            continue;
        def = AcDbAttributeDefinition::cast(entity);
        if (def && !def->isConstant()) {
            ids.push_back(def->objectId());
            tags.push_back(def->tag());
            prompts.push_back(def->prompt());
            defaults.push_back(def->textString());
        }
        entity->close();
    }
    record->close();
    return true;
}

int CUtiCommonFunc::splitText(const std::string& text, const std::string& separator,
                              std::vector<std::string>& pieces) {
    pieces.clear();
    if (separator.empty() || text.find(separator) == std::string::npos) {
        pieces.push_back(text);
        return 0;
    }
    std::string rest = text;
    std::size_t at;
    while ((at = rest.find(separator)) != std::string::npos) {
        pieces.push_back(rest.substr(0, at));
        rest.erase(0, at + separator.size());
    }
    if (!rest.empty())
        pieces.push_back(rest);
    return 1;
}

int CUtiCommonFunc::classifyPointInPolygon(const AcGePoint3d& point,
                                           const AcGePoint3dArray& outline) {
    AcDbPolyline ring;
    unsigned index = 0;
    for (const AcGePoint3d& p : outline)
        ring.addVertexAt(index++, AcGePoint2d(p.x, p.y));
    ring.setClosed(true);
    ring.setElevation(0);

    const AcGePoint3d flat(point.x, point.y, 0);
    AcGePoint3d closest;
    if (ring.getClosestPointTo(flat, closest) == Acad::eOk && flat.distanceTo(closest) <= 0.01)
        return 0;

    constexpr double kPi = std::numbers::pi;
    const double angles[3] = {kPi / 6, 5 * kPi / 6, 3 * kPi / 2};
    int inside = 0;
    int outside = 0;
    for (double angle : angles) {
        AcDbRay ray;
        ray.setBasePoint(flat);
        ray.setUnitDir(AcGeVector3d(std::cos(angle), std::sin(angle), 0));
        AcGePoint3dArray hits;
        if (ring.intersectWith(ray, hits) != Acad::eOk) {
            ++outside;
            continue;
        }
        for (const AcGePoint3d& hit : hits)
            if (hit.isEqualTo(flat))
                return 0;
        (hits.size() % 2 == 1 ? inside : outside)++;
    }
    return inside > outside ? -1 : 1;
}
