// Entity names, selection sets, entity picking and the acedSS* functions.
#include "cadhost/selection.h"

#include "acdocman.h"
#include "acedads.h"
#include "acutads.h"

#include "acdb/database.h"
#include "acdb/entity.h"
#include "acdb/symboltables.h"

#include "cadhost/runtime.h"
#include "prompt_engine.h"
#include "resbuf_util.h"

#include <algorithm>
#include <cstring>

namespace cadhost {

// ---------------------------------------------------------------- names

std::int64_t EntityNames::nameOf(AcDbObjectId id) {
    if (id.isNull())
        return 0;
    auto it = m_names.find(id);
    if (it != m_names.end())
        return it->second;
    std::int64_t name = m_next++;
    m_names[id] = name;
    m_ids[name] = id;
    return name;
}

std::optional<AcDbObjectId> EntityNames::idOf(std::int64_t name) const {
    auto it = m_ids.find(name);
    if (it == m_ids.end())
        return std::nullopt;
    return it->second;
}

void EntityNames::forgetDatabase(const AcDbDatabase* db) {
    for (auto it = m_ids.begin(); it != m_ids.end();) {
        if (it->second.database() == db) {
            m_names.erase(it->second);
            it = m_ids.erase(it);
        } else {
            ++it;
        }
    }
}

void EntityNames::clear() {
    m_ids.clear();
    m_names.clear();
}

EntityNames& EntityNames::instance() {
    static EntityNames names;
    return names;
}

// ---------------------------------------------------------------- sets

SelectionSets& SelectionSets::instance() {
    static SelectionSets sets;
    return sets;
}

std::int64_t SelectionSets::create(std::vector<AcDbObjectId> ids) {
    std::int64_t name = m_next++;
    m_sets[name] = std::move(ids);
    return name;
}

std::vector<AcDbObjectId>* SelectionSets::find(std::int64_t name) {
    auto it = m_sets.find(name);
    return it == m_sets.end() ? nullptr : &it->second;
}

bool SelectionSets::release(std::int64_t name) {
    return m_sets.erase(name) != 0;
}

void SelectionSets::forgetDatabase(const AcDbDatabase* db) {
    for (auto& [name, ids] : m_sets)
        std::erase_if(ids, [db](const AcDbObjectId& id) { return id.database() == db; });
}

void SelectionSets::clear() {
    m_sets.clear();
}

// ---------------------------------------------------------------- picking

namespace {
ExtentsEntityPicker g_defaultPicker;
EntityPicker* g_picker = nullptr;

// Read access without an open: the host looks, it does not change anything,
// and a command may hold the object open for write meanwhile.
template <class T> const T* peek(AcDbObjectId id) {
    if (id.isNull() || id.isErased())
        return nullptr;
    return T::cast(id.objectLeftOpen());
}
} // namespace

EntityPicker& EntityPicker::current() {
    return g_picker ? *g_picker : g_defaultPicker;
}

void EntityPicker::install(EntityPicker* picker) {
    g_picker = picker;
}

std::vector<AcDbObjectId> modelSpaceEntities(AcDbDatabase* db) {
    if (!db)
        return {};
    auto* space = peek<AcDbBlockTableRecord>(db->modelSpaceId());
    return space ? space->entityIds(false) : std::vector<AcDbObjectId>{};
}

std::vector<AcDbObjectId> allLayoutEntities(AcDbDatabase* db) {
    std::vector<AcDbObjectId> ids = modelSpaceEntities(db);
    const auto* blocks = db ? peek<AcDbBlockTable>(db->blockTableId()) : nullptr;
    if (!blocks)
        return ids;
    for (AcDbObjectId recordId : blocks->recordIds()) {
        const auto* record = peek<AcDbBlockTableRecord>(recordId);
        if (!record || !record->isLayout() || recordId == db->modelSpaceId())
            continue;
        AcDbObjectIdArray more = record->entityIds(false);
        ids.insert(ids.end(), more.begin(), more.end());
    }
    return ids;
}

std::optional<AcDbObjectId> ExtentsEntityPicker::entityAt(const AcGePoint3d& p) {
    AcApDocument* doc = acDocManagerPtr()->activeDocument();
    if (!doc)
        return std::nullopt;
    std::vector<AcDbObjectId> ids = modelSpaceEntities(doc->database());
    for (auto it = ids.rbegin(); it != ids.rend(); ++it) {
        const auto* e = peek<AcDbEntity>(*it);
        AcDbExtents ext;
        if (!e || e->getGeomExtents(ext) != Acad::eOk || !ext.isValid())
            continue;
        const AcGePoint3d& lo = ext.minPoint();
        const AcGePoint3d& hi = ext.maxPoint();
        if (p.x >= lo.x - m_tolerance && p.x <= hi.x + m_tolerance && p.y >= lo.y - m_tolerance &&
            p.y <= hi.y + m_tolerance)
            return *it;
    }
    return std::nullopt;
}

// ---------------------------------------------------------------- filters

namespace {

bool wildcard(const std::string& text, const char* pattern) {
    return pattern && acutWcMatch(text.c_str(), pattern) == RTNORM;
}

// Whether an entity passes every condition of the filter list. Groups this
// host cannot evaluate keep the entity out rather than let everything pass.
bool passes(const AcDbEntity& e, const resbuf* filter) {
    for (const resbuf* rb = filter; rb; rb = rb->rbnext) {
        switch (rb->restype) {
        case RTDXF0:
        case 0:
            if (!wildcard(e.isA()->dxfName(), rb->resval.rstring))
                return false;
            break;
        case 8:
            if (!wildcard(e.layer(), rb->resval.rstring))
                return false;
            break;
        case 6:
            if (!wildcard(e.linetype(), rb->resval.rstring))
                return false;
            break;
        case 62:
            if (e.colorIndex() != rb->resval.rint)
                return false;
            break;
        case 370:
            if (static_cast<int>(e.lineWeight()) != rb->resval.rint)
                return false;
            break;
        default:
            return false;
        }
    }
    return true;
}

bool filterSupported(const resbuf* filter) {
    for (const resbuf* rb = filter; rb; rb = rb->rbnext) {
        switch (rb->restype) {
        case RTDXF0:
        case 0:
        case 8:
        case 6:
            if (!rb->resval.rstring)
                return false;
            break;
        case 62:
        case 370:
            break;
        default:
            return false;
        }
    }
    return true;
}

AcDbDatabase* activeDatabase() {
    AcApDocument* doc = acDocManagerPtr()->activeDocument();
    return doc ? doc->database() : nullptr;
}

std::vector<AcDbObjectId>* setOf(const ads_name ss) {
    if (!ss || ss[1] != SelectionSets::kTag)
        return nullptr;
    return SelectionSets::instance().find(ss[0]);
}

std::optional<AcDbObjectId> idOfName(const ads_name ent) {
    if (!ent || ent[1] != 0)
        return std::nullopt;
    return EntityNames::instance().idOf(ent[0]);
}

void nameSet(std::int64_t set, ads_name out) {
    out[0] = set;
    out[1] = SelectionSets::kTag;
}

// Interactive selection: picks until Enter.
int selectInteractively(const resbuf* filter, std::vector<AcDbObjectId>& ids) {
    InitGet init = takeInitGet();
    PromptSetup setup;
    setup.request.kind = InputRequest::Kind::Selection;
    setup.request.prompt = "\nSelect objects: ";
    setup.initFlags = init.flags;
    setup.rejectMessage = "\n*Invalid selection*";
    for (;;) {
        AcDbObjectId picked;
        int rc = runPrompt(setup, [&](const InputItem& item) {
            std::optional<AcGePoint3d> point;
            if (item.kind == InputItem::Kind::Entity && item.entity.isValid()) {
                picked = item.entity;
            } else {
                point = item.kind == InputItem::Kind::Text ? parsePoint(item.text, std::nullopt)
                                                           : std::optional(item.point);
                if (!point)
                    return PromptVerdict::reject({});
                if (auto id = EntityPicker::current().entityAt(*point))
                    picked = *id;
                else
                    return PromptVerdict::reject("\n0 found");
            }
            return PromptVerdict::accept();
        });
        if (rc == RTCAN)
            return RTCAN;
        if (rc != RTNORM)
            break;
        const auto* e = peek<AcDbEntity>(picked);
        if (!e || !passes(*e, filter)) {
            acutPrintf("\n0 found");
            continue;
        }
        if (std::find(ids.begin(), ids.end(), picked) != ids.end()) {
            acutPrintf("\n1 found (1 duplicate), %zu total", ids.size());
            continue;
        }
        ids.push_back(picked);
        acutPrintf("\n1 found, %zu total", ids.size());
    }
    return ids.empty() ? RTERROR : RTNORM;
}

} // namespace
} // namespace cadhost

using namespace cadhost;

int acedSSGet(const char* mode, const void* point1, const void* point2, const resbuf* filter,
              ads_name selectionSet) {
    initializeRuntime();
    (void)point1;
    (void)point2;
    if (!selectionSet)
        return RTERROR;
    ads_name_clear(selectionSet);
    if (!filterSupported(filter))
        return RTERROR;
    AcDbDatabase* db = activeDatabase();
    if (!db)
        return RTERROR;
    std::vector<AcDbObjectId> ids;
    std::string m = mode ? mode : "";
    if (!m.empty() && m.front() == '_')
        m.erase(0, 1);
    if (m == "X" || m == "x") {
        // The whole drawing: model space and every paper-space layout.
        for (AcDbObjectId id : allLayoutEntities(db))
            if (const auto* e = peek<AcDbEntity>(id); e && passes(*e, filter))
                ids.push_back(id);
    } else if (m == "L" || m == "l") {
        std::vector<AcDbObjectId> all = modelSpaceEntities(db);
        for (auto it = all.rbegin(); it != all.rend(); ++it)
            if (const auto* e = peek<AcDbEntity>(*it); e && passes(*e, filter)) {
                ids.push_back(*it);
                break;
            }
    } else if (!mode) {
        int rc = selectInteractively(filter, ids);
        if (rc != RTNORM)
            return rc;
    } else {
        return RTERROR; // a selection mode this host does not offer
    }
    if (ids.empty())
        return RTERROR;
    nameSet(SelectionSets::instance().create(std::move(ids)), selectionSet);
    return RTNORM;
}

int acedSSFree(const ads_name selectionSet) {
    if (!selectionSet || selectionSet[1] != SelectionSets::kTag)
        return RTERROR;
    return SelectionSets::instance().release(selectionSet[0]) ? RTNORM : RTERROR;
}

int acedSSLength(const ads_name selectionSet, std::int32_t* length) {
    std::vector<AcDbObjectId>* ids = setOf(selectionSet);
    if (!ids || !length)
        return RTERROR;
    *length = static_cast<std::int32_t>(ids->size());
    return RTNORM;
}

int acedSSName(const ads_name selectionSet, std::int32_t index, ads_name entity) {
    std::vector<AcDbObjectId>* ids = setOf(selectionSet);
    if (!ids || !entity || index < 0 || static_cast<std::size_t>(index) >= ids->size())
        return RTERROR;
    entity[0] = EntityNames::instance().nameOf((*ids)[static_cast<std::size_t>(index)]);
    entity[1] = 0;
    return RTNORM;
}

int acedSSAdd(const ads_name entity, const ads_name selectionSet, ads_name result) {
    if (!result)
        return RTERROR;
    std::optional<AcDbObjectId> id;
    if (entity) {
        id = idOfName(entity);
        if (!id)
            return RTERROR;
    }
    if (!selectionSet || ads_name_nil(selectionSet)) {
        std::vector<AcDbObjectId> ids;
        if (id)
            ids.push_back(*id);
        nameSet(SelectionSets::instance().create(std::move(ids)), result);
        return RTNORM;
    }
    std::vector<AcDbObjectId>* ids = setOf(selectionSet);
    if (!ids)
        return RTERROR;
    if (id && std::find(ids->begin(), ids->end(), *id) == ids->end())
        ids->push_back(*id);
    ads_name_set(selectionSet, result);
    return RTNORM;
}

int acedSSDel(const ads_name entity, const ads_name selectionSet) {
    std::vector<AcDbObjectId>* ids = setOf(selectionSet);
    std::optional<AcDbObjectId> id = idOfName(entity);
    if (!ids || !id)
        return RTERROR;
    auto it = std::find(ids->begin(), ids->end(), *id);
    if (it == ids->end())
        return RTERROR;
    ids->erase(it);
    return RTNORM;
}

int acedSSMemb(const ads_name entity, const ads_name selectionSet) {
    std::vector<AcDbObjectId>* ids = setOf(selectionSet);
    std::optional<AcDbObjectId> id = idOfName(entity);
    if (!ids || !id)
        return RTERROR;
    return std::find(ids->begin(), ids->end(), *id) != ids->end() ? RTNORM : RTERROR;
}

Acad::ErrorStatus acdbGetObjectId(AcDbObjectId& id, const ads_name entity) {
    id = AcDbObjectId::kNull;
    std::optional<AcDbObjectId> found = idOfName(entity);
    if (!found)
        return Acad::eInvalidInput;
    id = *found;
    return Acad::eOk;
}

Acad::ErrorStatus acdbGetAdsName(ads_name entity, AcDbObjectId id) {
    if (!entity)
        return Acad::eInvalidInput;
    ads_name_clear(entity);
    if (id.isNull())
        return Acad::eNullObjectId;
    entity[0] = EntityNames::instance().nameOf(id);
    return Acad::eOk;
}
