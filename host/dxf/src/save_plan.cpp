#include "save_plan.h"

#include "dxf_names.h"

#include <stdexcept>

namespace acdxf {

SavePlan::SavePlan(const AcDbDatabase& db) : m_db(db), m_handles(db.handseed().value()) {
    const auto* blockTable = peek<AcDbBlockTable>(db.blockTableId());
    if (!blockTable)
        throw std::runtime_error("the drawing has no block table");

    int paperLayouts = 0;
    for (AcDbObjectId id : blockTable->recordIds()) {
        const auto* block = peek<AcDbBlockTableRecord>(id);
        if (!block)
            continue;
        m_blocks.push_back(id);
        if (block->isLayout()) {
            bool model = sameName(block->getName(), "*Model_Space");
            if (model && m_modelSpace.isNull())
                m_modelSpace = id;
            else if (!model && m_paperSpace.isNull() && sameName(block->getName(), "*Paper_Space"))
                m_paperSpace = id;
        }
    }

    // Layouts: model first, then the paper spaces in block table order.
    if (!m_modelSpace.isNull())
        m_layouts.push_back({m_modelSpace, "Model", m_handles.take(), 0});
    if (!m_paperSpace.isNull())
        m_layouts.push_back({m_paperSpace, "Layout1", m_handles.take(), ++paperLayouts});
    for (AcDbObjectId id : m_blocks) {
        const auto* block = peek<AcDbBlockTableRecord>(id);
        if (block->isLayout() && !(id == m_modelSpace) && !(id == m_paperSpace)) {
            ++paperLayouts;
            m_layouts.push_back(
                {id, "Layout" + std::to_string(paperLayouts), m_handles.take(), paperLayouts});
        }
    }
    m_layoutDictionary = m_handles.take();

    // Every table gets an anonymous block of its own, named so that no
    // block of the drawing is hidden.
    int serial = 0;
    for (AcDbObjectId blockId : m_blocks) {
        const auto* block = peek<AcDbBlockTableRecord>(blockId);
        for (AcDbObjectId id : block->entityIds()) {
            if (!peek<AcDbTable>(id))
                continue;
            std::string name;
            do
                name = "*T" + std::to_string(++serial);
            while (blockTable->has(name));
            m_tableIndex.emplace(id, m_tableBlocks.size());
            m_tableBlocks.push_back({id, name, m_handles.take()});
        }
    }
}

const TableBlockPlan* SavePlan::tableBlock(AcDbObjectId table) const {
    auto it = m_tableIndex.find(table);
    return it == m_tableIndex.end() ? nullptr : &m_tableBlocks[it->second];
}

const LayoutPlan* SavePlan::layoutOf(AcDbObjectId block) const {
    for (const LayoutPlan& l : m_layouts)
        if (l.block == block)
            return &l;
    return nullptr;
}

} // namespace acdxf
