#include "templates/TemplateSave.h"

#include "templates/TemplateDatabase.h"

#include <cstdio>
#include <memory>

namespace kelvarin::templates {

std::string invalidCharactersMessage() {
    return "Invalid characters in group name.\nThe following characters are not valid in "
           "group names:<>/\\:?*|,=;.'\"";
}

bool acceptTemplateSave(const std::string& name, bool tablePicked,
                        const std::vector<std::string>& existingNames) {
    if (name.empty()) {
        AfxMessageBox(kEmptyNameMessage, MB_OK);
        return false;
    }
    if (containsInvalidNameCharacter(name)) {
        AfxMessageBox(invalidCharactersMessage(), MB_OK);
        return false;
    }
    if (!tablePicked) {
        AfxMessageBox(kNoTableMessage, MB_OK);
        return false;
    }
    for (const std::string& existing : existingNames) {
        if (!sameTemplateName(existing, name))
            continue;
        const std::string question = name + " already exists.Do you want to replace it?";
        if (AfxMessageBox(question, MB_OKCANCEL) != IDOK)
            return false;
    }
    return true;
}

bool setSingleModelSpaceReference(AcDbDatabase& db, AcDbObjectId blockId) {
    const AcDbObjectId modelSpace = db.modelSpaceId();
    {
        AcDbBlockTableRecord* block = nullptr;
        if (acdbOpenObject(block, blockId, AcDb::kForRead) != Acad::eOk)
            return false;
        AcDbObjectIdArray refs;
        block->getBlockReferenceIds(refs);
        block->close();
        for (AcDbObjectId refId : refs) {
            AcDbEntity* ref = nullptr;
            if (acdbOpenObject(ref, refId, AcDb::kForWrite) != Acad::eOk)
                continue;
            if (ref->ownerId() == modelSpace && AcDbBlockReference::cast(ref))
                ref->erase();
            ref->close();
        }
    }
    AcDbBlockTableRecord* space = nullptr;
    if (acdbOpenObject(space, modelSpace, AcDb::kForWrite) != Acad::eOk)
        return false;
    auto* reference = new AcDbBlockReference(AcGePoint3d(0, 0, 0), blockId);
    const bool added = space->appendAcDbEntity(reference) == Acad::eOk;
    if (added)
        reference->close();
    else
        delete reference;
    space->close();
    return added;
}

TemplateSaveResult addTemplate(const std::string& path, const std::string& name,
                               AcDbObjectId tableId, const AcGePoint3d& tablePosition) {
    AcDbDatabase* source = tableId.database();
    if (!source)
        return TemplateSaveResult::CopyFailed;
    AcDbObjectIdArray ids;
    ids.push_back(tableId);
    AcDbDatabase* copied = nullptr;
    if (source->wblock(copied, ids, tablePosition) != Acad::eOk || !copied)
        return TemplateSaveResult::CopyFailed;
    std::unique_ptr<AcDbDatabase> copy(copied);

    std::unique_ptr<AcDbDatabase> db = readTemplateDatabase(path);
    if (!db) {
        AfxMessageBox(kUnreadableForSave, MB_OK);
        return TemplateSaveResult::Unreadable;
    }
    AcDbObjectId blockId;
    db->insert(blockId, name, copy.get(), true);
    copy.reset();
    if (blockId.isNull()) {
        // Saving now would report success for a template that is not there.
        AfxMessageBox(kNotAddedMessage, MB_OK | MB_ICONEXCLAMATION);
        return TemplateSaveResult::NotAdded;
    }
    setSingleModelSpaceReference(*db, blockId);
    // The database holds the file: its own save replaces it atomically.
    return saveTemplateDatabase(*db, path) ? TemplateSaveResult::Saved
                                           : TemplateSaveResult::SaveFailed;
}

} // namespace kelvarin::templates
