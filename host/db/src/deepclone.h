#pragma once
// Copies objects from one database into another with everything they refer
// to. Named blocks, layers, line types, text styles and table styles that the
// target already has (same name) are used instead of copied.

#include "acdb/database.h"

class AcDbDeepCloner {
public:
    AcDbDeepCloner(AcDbDatabase& source, AcDbDatabase& target) : m_src(source), m_dst(target) {}

    // Copies the entity into the target record (open for write or not), after
    // mapping all it refers to. Returns the new id, null on failure.
    AcDbObjectId cloneEntity(AcDbObjectId sourceEntity, AcDbBlockTableRecord* targetRecord);
    // Rewrites the references of every copy made so far; call once at the end.
    void finish();

private:
    AcDbObjectId mapReference(AcDbObjectId id);
    AcDbObjectId mapBlock(AcDbBlockTableRecord* source);
    AcDbObjectId mapSymbol(AcDbSymbolTableRecord* source, AcDbObjectId targetTable);
    AcDbObjectId mapTableStyle(AcDbTableStyle* source);
    void ensureLayer(const std::string& name);
    void ensureLinetype(const std::string& name);
    void mapAttributeDefinitionsByTag(AcDbObjectId sourceBlock, AcDbObjectId targetBlock);

    AcDbDatabase& m_src;
    AcDbDatabase& m_dst;
    AcDbIdMapping m_map;
    std::vector<std::pair<AcDbObject*, AcDbObject*>> m_copies; // source, copy
    int m_anonymousCounter = 0;
};
