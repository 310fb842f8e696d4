#pragma once
// What a save adds to the database's own objects: handles for the objects a
// DXF file needs but the database does not keep (layouts, the *T block of
// each table, BLOCK/ENDBLK markers, the other symbol tables), taken above the
// database's handle seed so they never meet a handle of the database.

#include "acdb/database.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace acdxf {

class HandleSource {
public:
    explicit HandleSource(std::uint64_t first) : m_next(first ? first : 1) {}
    AcDbHandle take() { return AcDbHandle(m_next++); }
    AcDbHandle seed() const { return AcDbHandle(m_next); }

private:
    std::uint64_t m_next;
};

// The anonymous block that carries one table's graphics.
struct TableBlockPlan {
    AcDbObjectId table;
    std::string name; // "*T1" ...
    AcDbHandle record;
};

// One layout (LAYOUT object) per layout block: model space and each paper space.
struct LayoutPlan {
    AcDbObjectId block;
    std::string name; // "Model", "Layout1" ...
    AcDbHandle handle;
    int tabOrder = 0;
};

class SavePlan {
public:
    // Throws std::runtime_error when the database has no block table.
    explicit SavePlan(const AcDbDatabase& db);

    const AcDbDatabase& db() const { return m_db; }
    HandleSource& handles() { return m_handles; }

    AcDbObjectId modelSpace() const { return m_modelSpace; }
    AcDbObjectId paperSpace() const { return m_paperSpace; }
    // Block records to write, in the block table's order (erased ones left out).
    const std::vector<AcDbObjectId>& blocks() const { return m_blocks; }
    const std::vector<TableBlockPlan>& tableBlocks() const { return m_tableBlocks; }
    const TableBlockPlan* tableBlock(AcDbObjectId table) const;
    const std::vector<LayoutPlan>& layouts() const { return m_layouts; }
    const LayoutPlan* layoutOf(AcDbObjectId block) const;
    AcDbHandle layoutDictionary() const { return m_layoutDictionary; }

private:
    const AcDbDatabase& m_db;
    HandleSource m_handles;
    AcDbObjectId m_modelSpace, m_paperSpace;
    std::vector<AcDbObjectId> m_blocks;
    std::vector<TableBlockPlan> m_tableBlocks;
    std::unordered_map<AcDbObjectId, std::size_t> m_tableIndex;
    std::vector<LayoutPlan> m_layouts;
    AcDbHandle m_layoutDictionary;
};

// The live objects of a database are read through these, without opening
// them: a save must not fail because the caller holds something open.
template <class T> const T* peek(AcDbObjectId id) {
    AcDbObject* o = id.objectLeftOpen();
    return o && !o->isErased() ? T::cast(o) : nullptr;
}

} // namespace acdxf
