#include "templates/TemplateOpen.h"

#include "templates/TemplateDatabase.h"
#include "util/UtiCommonFunc.h"

#include <memory>

namespace kelvarin::templates {

AcDbObjectId previewReference(AcDbDatabase& templateDb, const std::string& name) {
    AcDbBlockTableRecord* block =
        CUtiCommonFunc().openBlockByName(name, AcDb::kForRead, &templateDb);
    if (!block)
        return AcDbObjectId::kNull;
    AcDbObjectIdArray refs;
    block->getBlockReferenceIds(refs, true, false);
    block->close();
    return refs.size() == 1 ? refs[0] : AcDbObjectId::kNull;
}

std::string unusedBlockName(AcDbDatabase& drawing, const std::string& name) {
    const CUtiCommonFunc util;
    if (util.blockIdByName(name, &drawing).isNull())
        return name;
    for (int n = 1;; ++n) {
        const std::string candidate = name + "$" + std::to_string(n);
        if (util.blockIdByName(candidate, &drawing).isNull())
            return candidate;
    }
}

bool placeTemplate(AcDbDatabase& templateDb, const std::string& name, const AcGePoint3d& point) {
    AcDbDatabase* drawing = acdbHostApplicationServices()->workingDatabase();
    const CUtiCommonFunc util;
    const AcDbObjectId templateBlock = util.blockIdByName(name, &templateDb);
    if (!drawing || templateBlock.isNull())
        return false;
    AcDbDatabase* copied = nullptr;
    if (templateDb.wblock(copied, templateBlock) != Acad::eOk || !copied)
        return false;
    std::unique_ptr<AcDbDatabase> copy(copied);

    // The block only carries the copy for the explode and is erased after it:
    // a name the drawing already uses would redefine the user's own block.
    AcDbObjectId blockId;
    drawing->insert(blockId, unusedBlockName(*drawing, name), copy.get(), true);
    copy.reset();
    if (blockId.isNull())
        return false;

    auto* reference = new AcDbBlockReference(point, blockId);
    const AcDbObjectId referenceId = util.appendToCurrentSpace(reference);
    if (referenceId.isNull()) {
        delete reference;
        util.eraseObject(blockId);
        return false;
    }
    AcDbEntityList parts;
    {
        AcDbObjectPointer<AcDbBlockReference> placed(referenceId, AcDb::kForWrite);
        if (placed) {
            placed->explode(parts);
            placed->erase();
        }
    }
    util.eraseObject(blockId);
    for (std::unique_ptr<AcDbEntity>& part : parts) {
        AcDbEntity* entity = part.release();
        if (util.appendToCurrentSpace(entity).isNull())
            delete entity; // not owned by the drawing
    }
    return true;
}

bool deleteTemplate(const std::string& name, AcDbDatabase& templateDb, const std::string& path) {
    CUtiCommonFunc().deleteBlockWithReferences(name, &templateDb);
    return saveTemplateDatabase(templateDb, path);
}

} // namespace kelvarin::templates
