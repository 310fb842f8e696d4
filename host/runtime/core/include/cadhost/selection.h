#pragma once
// Entity names and selection sets as the ads_name functions hand them out,
// and the entity picking behind acedEntSel and interactive acedSSGet.

#include "acdb/geometry.h"
#include "acdb/objectid.h"

#include <cstdint>
#include <map>
#include <optional>
#include <vector>

class AcDbDatabase;

namespace cadhost {

// Maps entity names (ads_name) to ids and back. A name is a number the host
// issued; names of a drawing die with it, so a stale name is refused instead
// of pointing at freed memory.
class EntityNames {
public:
    static EntityNames& instance();
    std::int64_t nameOf(AcDbObjectId id);
    std::optional<AcDbObjectId> idOf(std::int64_t name) const;
    void forgetDatabase(const AcDbDatabase* db);
    void clear();

private:
    EntityNames() = default;
    std::int64_t m_next = 1;
    std::map<std::int64_t, AcDbObjectId> m_ids;
    std::map<AcDbObjectId, std::int64_t> m_names;
};

class SelectionSets {
public:
    static SelectionSets& instance();
    // A new set; its name (the first half of an ads_name) is never reused.
    std::int64_t create(std::vector<AcDbObjectId> ids);
    std::vector<AcDbObjectId>* find(std::int64_t name);
    bool release(std::int64_t name);
    std::size_t count() const { return m_sets.size(); }
    void forgetDatabase(const AcDbDatabase* db);
    void clear();

    // The second half of every selection-set name, telling it from an entity name.
    static constexpr std::int64_t kTag = 0x5353; // "SS"

private:
    SelectionSets() = default;
    std::int64_t m_next = 1;
    std::map<std::int64_t, std::vector<AcDbObjectId>> m_sets;
};

// Finds the entity under a point of the active drawing's model space.
// The drawing view may install one that uses its pick aperture.
class EntityPicker {
public:
    virtual ~EntityPicker() = default;
    virtual std::optional<AcDbObjectId> entityAt(const AcGePoint3d& point) = 0;

    // The one in use (never null: an extents-based default).
    static EntityPicker& current();
    // Not owned; null restores the default.
    static void install(EntityPicker* picker);
};

// The default: the last entity in database order whose extents, widened by
// tolerance, contain the point (the topmost one drawn).
class ExtentsEntityPicker : public EntityPicker {
public:
    explicit ExtentsEntityPicker(double tolerance = 1e-6) : m_tolerance(tolerance) {}
    std::optional<AcDbObjectId> entityAt(const AcGePoint3d& point) override;

private:
    double m_tolerance;
};

// Model-space entities of db in database order.
std::vector<AcDbObjectId> modelSpaceEntities(AcDbDatabase* db);
// Model space first, then every paper-space layout in block table order.
std::vector<AcDbObjectId> allLayoutEntities(AcDbDatabase* db);

} // namespace cadhost
