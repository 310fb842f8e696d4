// Objects, ids, open modes, symbol tables and dictionaries of the drawing database.
#include "acdb/acdb.h"

#include <gtest/gtest.h>

namespace {

AcDbObjectId appendLine(AcDbDatabase& db, AcGePoint3d a, AcGePoint3d b,
                        const char* block = "*Model_Space") {
    AcDbObjectId id;
    auto* line = new AcDbLine(a, b);
    EXPECT_EQ(acdbAppendToBlock(&db, block, line, id), Acad::eOk);
    line->close();
    return id;
}

AcDbObjectId addBlock(AcDbDatabase& db, const std::string& name) {
    AcDbObjectPointer<AcDbBlockTable> table(db.blockTableId(), AcDb::kForWrite);
    auto* rec = new AcDbBlockTableRecord;
    rec->setName(name);
    AcDbObjectId id;
    EXPECT_EQ(table->add(id, rec), Acad::eOk);
    rec->close();
    return id;
}

TEST(DatabaseDefaults, NewDrawingHoldsWhatDrawingsNeed) {
    AcDbDatabase db;
    EXPECT_FALSE(db.modelSpaceId().isNull());
    EXPECT_FALSE(db.paperSpaceId().isNull());
    EXPECT_FALSE(db.textstyle().isNull());
    AcDbObjectPointer<AcDbLayerTable> layers(db.layerTableId(), AcDb::kForRead);
    EXPECT_TRUE(layers->has("0"));
    AcDbObjectPointer<AcDbLinetypeTable> ltypes(db.linetypeTableId(), AcDb::kForRead);
    EXPECT_TRUE(ltypes->has("continuous"));
    AcDbObjectPointer<AcDbDictionary> styles(db.tableStyleDictionaryId(), AcDb::kForRead);
    ASSERT_TRUE(styles);
    EXPECT_TRUE(styles->has("Standard"));
    EXPECT_EQ(db.tablestyle(), styles->entries().front().second);

    AcDbDatabase empty(false);
    EXPECT_TRUE(empty.blockTableId().isNull());
    EXPECT_EQ(empty.objectCount(), 0u);
}

TEST(OpenClose, ConflictStatusesFollowThePlatform) {
    AcDbDatabase db;
    AcDbObjectId id = appendLine(db, {0, 0, 0}, {1, 0, 0});
    AcDbLine* r1 = nullptr;
    AcDbLine* r2 = nullptr;
    AcDbLine* w = nullptr;
    ASSERT_EQ(acdbOpenObject(r1, id, AcDb::kForRead), Acad::eOk);
    ASSERT_EQ(acdbOpenObject(r2, id, AcDb::kForRead), Acad::eOk);
    EXPECT_EQ(acdbOpenObject(w, id, AcDb::kForWrite), Acad::eWasOpenedForRead);
    EXPECT_EQ(w, nullptr);
    EXPECT_EQ(r1->setStartPoint({5, 5, 0}), Acad::eNotOpenForWrite);
    r1->close();
    r2->close();
    ASSERT_EQ(acdbOpenObject(w, id, AcDb::kForWrite), Acad::eOk);
    EXPECT_EQ(acdbOpenObject(r1, id, AcDb::kForRead), Acad::eWasOpenedForWrite);
    EXPECT_EQ(acdbOpenObject(r2, id, AcDb::kForWrite), Acad::eWasOpenedForWrite);
    EXPECT_EQ(w->setStartPoint({5, 5, 0}), Acad::eOk);
    w->close();

    AcDbTable* table = nullptr;
    EXPECT_EQ(acdbOpenObject(table, id, AcDb::kForRead), Acad::eNotThatKindOfClass);
    EXPECT_EQ(acdbOpenObject(table, AcDbObjectId(), AcDb::kForRead), Acad::eNullObjectId);
}

TEST(OpenClose, UpgradeOnlyForTheSoleReader) {
    AcDbDatabase db;
    AcDbObjectId id = appendLine(db, {0, 0, 0}, {1, 0, 0});
    AcDbObject *a = nullptr, *b = nullptr;
    acdbOpenAcDbObject(a, id, AcDb::kForRead);
    acdbOpenAcDbObject(b, id, AcDb::kForRead);
    EXPECT_EQ(a->upgradeOpen(), Acad::eWasOpenedForRead);
    b->close();
    EXPECT_EQ(a->upgradeOpen(), Acad::eOk);
    EXPECT_TRUE(a->isWriteEnabled());
    a->close();
    EXPECT_FALSE(a->isReadEnabled());
}

TEST(Erase, ErasedObjectsOpenOnlyWhenAskedAndDropOutOfIterations) {
    AcDbDatabase db;
    AcDbObjectId keep = appendLine(db, {0, 0, 0}, {1, 0, 0});
    AcDbObjectId gone = appendLine(db, {0, 0, 0}, {2, 0, 0});
    {
        AcDbObjectPointer<AcDbLine> line(gone, AcDb::kForWrite);
        ASSERT_EQ(line->erase(), Acad::eOk);
        EXPECT_EQ(line->erase(), Acad::eWasErased);
    }
    AcDbLine* line = nullptr;
    EXPECT_EQ(acdbOpenObject(line, gone, AcDb::kForRead), Acad::eWasErased);
    ASSERT_EQ(acdbOpenObject(line, gone, AcDb::kForWrite, true), Acad::eOk);
    EXPECT_TRUE(line->isErased());
    line->close();

    AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForRead);
    EXPECT_EQ(ms->entityIds(), AcDbObjectIdArray{keep});
    EXPECT_EQ(ms->entityIds(true).size(), 2u);

    std::vector<AcDbObjectId> walked, walkedAll;
    for (auto it = ms->newIterator(); !it.done(); it.step())
        walked.push_back(it.getEntityId());
    for (auto it = ms->newIterator(false); !it.done(); it.step())
        walkedAll.push_back(it.getEntityId());
    EXPECT_EQ(walked, AcDbObjectIdArray{keep});
    EXPECT_EQ(walkedAll, (AcDbObjectIdArray{keep, gone}));
    ms.close();

    ASSERT_EQ(acdbOpenObject(line, gone, AcDb::kForWrite, true), Acad::eOk);
    EXPECT_EQ(line->erase(false), Acad::eOk); // unerase
    line->close();
    EXPECT_EQ(acdbOpenObject(line, gone, AcDb::kForRead), Acad::eOk);
    line->close();
}

TEST(Handles, ForwardReferencesResolveWhenTheObjectArrives) {
    AcDbDatabase db(false);
    AcDbObjectId forward;
    ASSERT_EQ(db.getAcDbObjectId(forward, true, AcDbHandle(0x2A)), Acad::eOk);
    AcDbObject* obj = nullptr;
    EXPECT_EQ(acdbOpenAcDbObject(obj, forward, AcDb::kForRead), Acad::eKeyNotFound);
    AcDbObjectId placed;
    auto* dict = new AcDbDictionary;
    ASSERT_EQ(db.addAcDbObjectWithHandle(placed, dict, AcDbHandle(0x2A)), Acad::eOk);
    dict->close();
    EXPECT_EQ(placed, forward);
    EXPECT_EQ(placed.handle().toHex(), "2A");
    auto* other = new AcDbDictionary;
    EXPECT_EQ(db.addAcDbObjectWithHandle(placed, other, AcDbHandle(0x2A)), Acad::eDuplicateKey);
    delete other;
    EXPECT_GT(db.handseed().value(), 0x2Au);
    EXPECT_EQ(AcDbHandle::fromHex("zz").value(), 0u);
    EXPECT_EQ(AcDbHandle::fromHex("1f").value(), 0x1Fu);
}

TEST(SymbolTables, NamesIgnoreCaseAndRefuseDuplicates) {
    AcDbDatabase db;
    AcDbObjectId id = addBlock(db, "Door");
    AcDbObjectPointer<AcDbBlockTable> table(db.blockTableId(), AcDb::kForWrite);
    AcDbObjectId found;
    EXPECT_EQ(table->getAt("DOOR", found), Acad::eOk);
    EXPECT_EQ(found, id);
    auto* dup = new AcDbBlockTableRecord;
    dup->setName("door");
    EXPECT_EQ(table->add(dup), Acad::eDuplicateKey);
    delete dup;
    auto* layer = new AcDbLayerTableRecord;
    layer->setName("Walls");
    EXPECT_EQ(table->add(layer), Acad::eNotThatKindOfClass);
    delete layer;
    table.close();

    // Renaming keeps look-ups right.
    {
        AcDbObjectPointer<AcDbBlockTableRecord> rec(id, AcDb::kForWrite);
        EXPECT_EQ(rec->setName("Window"), Acad::eOk);
        EXPECT_EQ(rec->setName("*Model_Space"), Acad::eDuplicateKey);
    }
    AcDbObjectPointer<AcDbBlockTable> t2(db.blockTableId(), AcDb::kForRead);
    EXPECT_FALSE(t2->has("Door"));
    EXPECT_TRUE(t2->has("window"));
}

TEST(SymbolTables, BlockKindsAndReferences) {
    AcDbDatabase db;
    AcDbObjectId named = addBlock(db, "Chair");
    AcDbObjectId anon = addBlock(db, "*U1");
    AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForRead);
    EXPECT_TRUE(ms->isLayout());
    EXPECT_FALSE(ms->isAnonymous());
    ms.close();
    AcDbObjectPointer<AcDbBlockTableRecord> a(anon, AcDb::kForRead);
    EXPECT_TRUE(a->isAnonymous());
    a.close();

    for (int i = 0; i < 2; ++i) {
        AcDbObjectId refId;
        auto* ref = new AcDbBlockReference({double(i), 0, 0}, named);
        acdbAppendToBlock(&db, "*Model_Space", ref, refId);
        ref->close();
    }
    AcDbObjectPointer<AcDbBlockTableRecord> chair(named, AcDb::kForRead);
    AcDbObjectIdArray refs;
    chair->getBlockReferenceIds(refs);
    EXPECT_EQ(refs.size(), 2u);
}

TEST(Dictionaries, KeepInsertionOrderAndSkipErased) {
    AcDbDatabase db;
    AcDbObjectPointer<AcDbDictionary> nod(db.namedObjectsDictionaryId(), AcDb::kForWrite);
    AcDbObjectId zId, aId;
    auto* z = new AcDbDictionary;
    ASSERT_EQ(nod->setAt("Z_LAST_NAME", z, zId), Acad::eOk);
    z->close();
    auto* a = new AcDbDictionary;
    ASSERT_EQ(nod->setAt("A_FIRST_NAME", a, aId), Acad::eOk);
    a->close();
    auto* dup = new AcDbDictionary;
    AcDbObjectId dupId;
    EXPECT_EQ(nod->setAt("z_last_name", dup, dupId), Acad::eDuplicateKey);
    delete dup;
    std::vector<std::string> names;
    for (auto it = nod->newIterator(); !it.done(); it.next())
        names.push_back(it.name());
    EXPECT_EQ(names, (std::vector<std::string>{"ACAD_GROUP", "ACAD_TABLESTYLE", "Z_LAST_NAME",
                                               "A_FIRST_NAME"}));
    nod.close();
    {
        AcDbObjectPointer<AcDbDictionary> zd(zId, AcDb::kForWrite);
        zd->erase();
    }
    AcDbObjectPointer<AcDbDictionary> again(db.namedObjectsDictionaryId(), AcDb::kForRead);
    EXPECT_FALSE(again->has("Z_LAST_NAME"));
    EXPECT_EQ(again->numEntries(), 3u);
}

TEST(SwapContent, IdsFollowTheirObjects) {
    AcDbDatabase a, b(false);
    AcDbObjectId line = appendLine(a, {0, 0, 0}, {3, 4, 0});
    a.swapContent(b);
    EXPECT_EQ(line.database(), &b);
    EXPECT_TRUE(a.blockTableId().isNull());
    AcDbObjectPointer<AcDbLine> l(line, AcDb::kForRead);
    ASSERT_TRUE(l);
    EXPECT_DOUBLE_EQ(l->endPoint().distanceTo(l->startPoint()), 5.0);
}

} // namespace
