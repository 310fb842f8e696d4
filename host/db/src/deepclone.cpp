#include "deepclone.h"
#include "names.h"

namespace {
struct CollectingSink : AcDbReferenceSink {
    std::vector<AcDbObjectId> ids;
    void hardReference(AcDbObjectId id) override {
        if (!id.isNull())
            ids.push_back(id);
    }
};
} // namespace

AcDbObjectId AcDbDeepCloner::cloneEntity(AcDbObjectId sourceEntity,
                                         AcDbBlockTableRecord* targetRecord) {
    AcDbObject* src = sourceEntity.objectLeftOpen();
    auto* entity = AcDbEntity::cast(src);
    if (!entity || sourceEntity.isErased() || !targetRecord)
        return {};
    CollectingSink sink;
    entity->collectReferences(sink);
    for (AcDbObjectId ref : sink.ids)
        mapReference(ref);
    ensureLayer(entity->layer());
    ensureLinetype(entity->linetype());

    auto* copy = static_cast<AcDbEntity*>(entity->cloneObject());
    // Appending goes around the open state: the cloner owns the operation.
    AcDbObjectId newId;
    if (m_dst.addAcDbObject(newId, copy) != Acad::eOk) {
        delete copy;
        return {};
    }
    copy->setOwnerId(targetRecord->objectId());
    targetRecord->m_entities.push_back(newId);
    copy->close();
    m_map.assign(sourceEntity, newId);
    m_copies.emplace_back(entity, copy);
    return newId;
}

void AcDbDeepCloner::finish() {
    for (auto& [src, copy] : m_copies) {
        copy->remapReferences(m_map);
        copy->subCloned();
    }
    m_copies.clear();
}

AcDbObjectId AcDbDeepCloner::mapReference(AcDbObjectId id) {
    if (id.isNull() || id.database() == &m_dst)
        return id;
    if (m_map.contains(id))
        return m_map.translate(id);
    AcDbObject* obj = id.objectLeftOpen();
    AcDbObjectId result;
    if (!obj || id.database() != &m_src) {
        result = {};
    } else if (auto* block = AcDbBlockTableRecord::cast(obj)) {
        return mapBlock(block);
    } else if (auto* style = AcDbTextStyleTableRecord::cast(obj)) {
        result = mapSymbol(style, m_dst.textStyleTableId());
    } else if (auto* layer = AcDbLayerTableRecord::cast(obj)) {
        result = mapSymbol(layer, m_dst.layerTableId());
    } else if (auto* ltype = AcDbLinetypeTableRecord::cast(obj)) {
        result = mapSymbol(ltype, m_dst.linetypeTableId());
    } else if (auto* tstyle = AcDbTableStyle::cast(obj)) {
        result = mapTableStyle(tstyle);
    } else if (AcDbEntity::cast(obj)) {
        // An entity inside a block (an attribute definition a table cell
        // names): copying its block maps it.
        AcDbObject* owner = obj->ownerId().objectLeftOpen();
        if (auto* ownerBlock = AcDbBlockTableRecord::cast(owner);
            ownerBlock && !ownerBlock->isLayout()) {
            mapBlock(ownerBlock);
            if (m_map.contains(id))
                return m_map.translate(id);
        }
        result = {};
    }
    m_map.assign(id, result);
    return result;
}

AcDbObjectId AcDbDeepCloner::mapBlock(AcDbBlockTableRecord* source) {
    AcDbObjectId srcId = source->objectId();
    if (m_map.contains(srcId))
        return m_map.translate(srcId);
    AcDbObjectPointer<AcDbBlockTable> table(m_dst.blockTableId(), AcDb::kForWrite);
    if (!table) {
        m_map.assign(srcId, {});
        return {};
    }
    AcDbObjectId existing;
    if (source->isLayout() ||
        (!source->isAnonymous() && table->getAt(source->getName(), existing) == Acad::eOk)) {
        if (source->isLayout())
            table->getAt(source->getName(), existing);
        m_map.assign(srcId, existing);
        mapAttributeDefinitionsByTag(srcId, existing);
        return existing;
    }
    auto* record = static_cast<AcDbBlockTableRecord*>(source->cloneObject());
    record->m_entities.clear();
    if (source->isAnonymous()) {
        // Anonymous names are per drawing: pick one the target does not use.
        std::string name = source->getName();
        while (table->has(name))
            name = "*U" + std::to_string(++m_anonymousCounter);
        record->setName(name);
    }
    AcDbObjectId newId;
    if (table->add(newId, record) != Acad::eOk) {
        delete record;
        m_map.assign(srcId, {});
        return {};
    }
    m_map.assign(srcId, newId);
    table.close();
    // The record stays open for write while its entities are copied in.
    for (AcDbObjectId e : source->entityIds())
        cloneEntity(e, record);
    record->close();
    return newId;
}

void AcDbDeepCloner::mapAttributeDefinitionsByTag(AcDbObjectId sourceBlock,
                                                  AcDbObjectId targetBlock) {
    auto* src = AcDbBlockTableRecord::cast(sourceBlock.objectLeftOpen());
    auto* dst = AcDbBlockTableRecord::cast(targetBlock.objectLeftOpen());
    if (!src || !dst || src->isLayout())
        return;
    for (AcDbObjectId sid : src->entityIds()) {
        auto* sdef = AcDbAttributeDefinition::cast(sid.objectLeftOpen());
        if (!sdef)
            continue;
        AcDbObjectId match;
        for (AcDbObjectId did : dst->entityIds()) {
            auto* ddef = AcDbAttributeDefinition::cast(did.objectLeftOpen());
            if (ddef && names::equal(ddef->tag(), sdef->tag())) {
                match = did;
                break;
            }
        }
        m_map.assign(sid, match);
    }
}

AcDbObjectId AcDbDeepCloner::mapSymbol(AcDbSymbolTableRecord* source, AcDbObjectId targetTable) {
    AcDbObjectPointer<AcDbSymbolTable> table(targetTable, AcDb::kForWrite);
    if (!table)
        return {};
    AcDbObjectId existing;
    if (table->getAt(source->getName(), existing) == Acad::eOk)
        return existing;
    auto* copy = static_cast<AcDbSymbolTableRecord*>(source->cloneObject());
    AcDbObjectId newId;
    if (table->add(newId, copy) != Acad::eOk) {
        delete copy;
        return {};
    }
    copy->close();
    return newId;
}

AcDbObjectId AcDbDeepCloner::mapTableStyle(AcDbTableStyle* source) {
    AcDbObjectPointer<AcDbDictionary> dict(m_dst.tableStyleDictionaryId(), AcDb::kForWrite);
    if (!dict)
        return {};
    std::string name = source->name();
    if (AcDbDictionary* srcDict = AcDbDictionary::cast(source->ownerId().objectLeftOpen()))
        srcDict->nameAt(source->objectId(), name);
    AcDbObjectId existing;
    if (dict->getAt(name, existing) == Acad::eOk)
        return existing;
    CollectingSink sink;
    source->collectReferences(sink);
    auto* copy = static_cast<AcDbTableStyle*>(source->cloneObject());
    AcDbObjectId newId;
    if (dict->setAt(name, copy, newId) != Acad::eOk) {
        delete copy;
        return {};
    }
    copy->close();
    m_copies.emplace_back(source, copy);
    m_map.assign(source->objectId(), newId);
    for (AcDbObjectId ref : sink.ids)
        mapReference(ref);
    return newId;
}

void AcDbDeepCloner::ensureLayer(const std::string& name) {
    AcDbObjectPointer<AcDbSymbolTable> srcTable(m_src.layerTableId(), AcDb::kForRead);
    AcDbObjectId srcId;
    if (srcTable && srcTable->getAt(name, srcId) == Acad::eOk) {
        srcTable.close();
        mapReference(srcId);
        return;
    }
    srcTable.close();
    AcDbObjectPointer<AcDbSymbolTable> dst(m_dst.layerTableId(), AcDb::kForWrite);
    if (dst && !dst->has(name)) {
        auto* layer = new AcDbLayerTableRecord;
        if (layer->setName(name) != Acad::eOk || dst->add(layer) != Acad::eOk) {
            delete layer;
            return;
        }
        layer->close();
    }
}

void AcDbDeepCloner::ensureLinetype(const std::string& name) {
    AcDbObjectPointer<AcDbSymbolTable> srcTable(m_src.linetypeTableId(), AcDb::kForRead);
    AcDbObjectId srcId;
    if (srcTable && srcTable->getAt(name, srcId) == Acad::eOk) {
        srcTable.close();
        mapReference(srcId);
    }
}

// ---- AcDbDatabase copying operations

Acad::ErrorStatus AcDbDatabase::wblock(AcDbDatabase*& out, const AcDbObjectIdArray& ids,
                                       const AcGePoint3d& basePoint) {
    out = nullptr;
    for (AcDbObjectId id : ids)
        if (id.isNull() || id.database() != this || !AcDbEntity::cast(id.objectLeftOpen()))
            return Acad::eInvalidInput;
    auto target = std::make_unique<AcDbDatabase>(true);
    AcDbObjectPointer<AcDbBlockTableRecord> ms(target->modelSpaceId(), AcDb::kForWrite);
    if (!ms)
        return Acad::eNotApplicable;
    AcDbDeepCloner cloner(*this, *target);
    AcDbObjectIdArray copies;
    for (AcDbObjectId id : ids) {
        AcDbObjectId copy = cloner.cloneEntity(id, ms.object());
        if (copy.isNull())
            return Acad::eInvalidInput;
        copies.push_back(copy);
    }
    ms.close();
    cloner.finish();
    AcGeMatrix3d move = AcGeMatrix3d::translation(-basePoint.asVector());
    for (AcDbObjectId id : copies)
        if (AcDbObjectPointer<AcDbEntity> ent(id, AcDb::kForWrite); ent)
            ent->transformBy(move);
    out = target.release();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbDatabase::wblock(AcDbDatabase*& out, AcDbObjectId blockId) {
    out = nullptr;
    AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForRead);
    if (!block)
        return block.openStatus() == Acad::eNotThatKindOfClass ? Acad::eInvalidInput
                                                               : block.openStatus();
    if (blockId.database() != this)
        return Acad::eWrongDatabase;
    AcDbObjectIdArray ids = block->entityIds();
    AcGePoint3d origin = block->origin();
    block.close();
    return wblock(out, ids, origin);
}

Acad::ErrorStatus AcDbDatabase::insert(AcDbObjectId& blockId, const std::string& blockName,
                                       AcDbDatabase* source, bool) {
    blockId = AcDbObjectId();
    if (!source || source == this)
        return Acad::eInvalidInput;
    if (blockName.empty() || blockName[0] == '*')
        return Acad::eInvalidInput;
    AcDbObjectPointer<AcDbBlockTable> table(m_blockTable, AcDb::kForWrite);
    if (!table)
        return table.openStatus();
    AcDbObjectId existing;
    AcDbBlockTableRecord* record = nullptr;
    if (table->getAt(blockName, existing) == Acad::eOk) {
        Acad::ErrorStatus es = acdbOpenObject(record, existing, AcDb::kForWrite);
        if (es != Acad::eOk)
            return es;
        if (record->isLayout() || record->isFromExternalReference()) {
            record->close();
            return Acad::eIllegalReplacement;
        }
        // Redefinition: the old content goes, the record and its references stay.
        for (AcDbObjectId e : record->entityIds())
            if (AcDbObjectPointer<AcDbEntity> ent(e, AcDb::kForWrite); ent)
                ent->erase();
        record->m_entities.clear();
    } else {
        record = new AcDbBlockTableRecord;
        if (Acad::ErrorStatus es = record->setName(blockName); es != Acad::eOk) {
            delete record;
            return es;
        }
        if (Acad::ErrorStatus es = table->add(existing, record); es != Acad::eOk) {
            delete record;
            return es;
        }
    }
    table.close();
    AcDbObjectId sourceSpace = source->modelSpaceId();
    AcDbObjectIdArray sourceIds;
    if (AcDbObjectPointer<AcDbBlockTableRecord> ms(sourceSpace, AcDb::kForRead); ms)
        sourceIds = ms->entityIds();
    AcDbDeepCloner cloner(*source, *this);
    for (AcDbObjectId id : sourceIds)
        cloner.cloneEntity(id, record);
    record->close();
    cloner.finish();
    blockId = existing;
    return Acad::eOk;
}
