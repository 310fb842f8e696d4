// wblock and insert: copies carry what they refer to and land where asked.
#include "acdb/acdb.h"

#include <gtest/gtest.h>

namespace {

AcDbObjectId makeBlockWithAttribute(AcDbDatabase& db, const std::string& name) {
    AcDbObjectPointer<AcDbBlockTable> table(db.blockTableId(), AcDb::kForWrite);
    auto* rec = new AcDbBlockTableRecord;
    rec->setName(name);
    AcDbObjectId id;
    table->add(id, rec);
    auto* line = new AcDbLine({0, 0, 0}, {1, 1, 0});
    rec->appendAcDbEntity(line);
    line->close();
    auto* att = new AcDbAttributeDefinition({0, 0, 0}, "default", "TAG1", "Enter value");
    rec->appendAcDbEntity(att);
    att->close();
    rec->close();
    return id;
}

AcDbObjectId firstEntity(AcDbObjectId blockId) {
    AcDbObjectPointer<AcDbBlockTableRecord> rec(blockId, AcDb::kForRead);
    return rec->entityIds().at(0);
}

TEST(Wblock, CopiesAreMovedSoTheBasePointIsTheOrigin) {
    AcDbDatabase db;
    AcDbObjectId block = makeBlockWithAttribute(db, "Bolt");
    AcDbObjectId refId;
    auto* ref = new AcDbBlockReference({10, 20, 0}, block);
    acdbAppendToBlock(&db, "*Model_Space", ref, refId);
    ref->close();

    AcDbDatabase* out = nullptr;
    ASSERT_EQ(db.wblock(out, {refId}, AcGePoint3d(10, 20, 0)), Acad::eOk);
    std::unique_ptr<AcDbDatabase> owned(out);
    AcDbObjectId copyId = firstEntity(out->modelSpaceId());
    AcDbObjectPointer<AcDbBlockReference> copy(copyId, AcDb::kForRead);
    ASSERT_TRUE(copy);
    EXPECT_TRUE(copy->position().isEqualTo(AcGePoint3d::kOrigin));
    // The referenced block came along, with its own entities.
    AcDbObjectPointer<AcDbBlockTableRecord> bolt(copy->blockTableRecord(), AcDb::kForRead);
    ASSERT_TRUE(bolt);
    EXPECT_EQ(bolt->getName(), "Bolt");
    EXPECT_EQ(bolt->database(), out);
    EXPECT_EQ(bolt->entityIds().size(), 2u);
    EXPECT_TRUE(bolt->hasAttributeDefinitions());
}

TEST(Wblock, RejectsIdsOfAnotherDatabase) {
    AcDbDatabase a, b;
    AcDbObjectId line;
    auto* l = new AcDbLine({0, 0, 0}, {1, 0, 0});
    acdbAppendToBlock(&b, "*Model_Space", l, line);
    l->close();
    AcDbDatabase* out = nullptr;
    EXPECT_EQ(a.wblock(out, {line}, AcGePoint3d::kOrigin), Acad::eInvalidInput);
    EXPECT_EQ(out, nullptr);
}

TEST(Insert, MakesANamedBlockAndRedefinesAnExistingOne) {
    AcDbDatabase source;
    AcDbObjectId l1;
    auto* line = new AcDbLine({0, 0, 0}, {5, 0, 0});
    acdbAppendToBlock(&source, "*Model_Space", line, l1);
    line->close();

    AcDbDatabase target;
    AcDbObjectId blockId;
    ASSERT_EQ(target.insert(blockId, "Template1", &source), Acad::eOk);
    AcDbObjectId refId;
    auto* ref = new AcDbBlockReference({0, 0, 0}, blockId);
    acdbAppendToBlock(&target, "*Model_Space", ref, refId);
    ref->close();

    // A second insert under the same name (any letter case) redefines in place.
    AcDbObjectId l2;
    auto* longer = new AcDbLine({0, 0, 0}, {9, 0, 0});
    acdbAppendToBlock(&source, "*Model_Space", longer, l2);
    longer->close();
    AcDbObjectId again;
    ASSERT_EQ(target.insert(again, "TEMPLATE1", &source), Acad::eOk);
    EXPECT_EQ(again, blockId);
    AcDbObjectPointer<AcDbBlockTableRecord> rec(blockId, AcDb::kForRead);
    EXPECT_EQ(rec->entityIds().size(), 2u);
    AcDbObjectIdArray refs;
    rec->getBlockReferenceIds(refs);
    EXPECT_EQ(refs, AcDbObjectIdArray{refId});
    rec.close();

    AcDbObjectId bad;
    EXPECT_EQ(target.insert(bad, "*Model_Space", &source), Acad::eInvalidInput);
    EXPECT_EQ(target.insert(bad, "X", &target), Acad::eInvalidInput);
}

TEST(Insert, KeepsTheTargetsDefinitionOfNestedNamedBlocks) {
    AcDbDatabase source, target;
    AcDbObjectId srcBolt = makeBlockWithAttribute(source, "Bolt");
    AcDbObjectId tgtBolt = makeBlockWithAttribute(target, "Bolt");
    AcDbObjectId refId;
    auto* ref = new AcDbBlockReference({0, 0, 0}, srcBolt);
    acdbAppendToBlock(&source, "*Model_Space", ref, refId);
    ref->close();
    AcDbObjectId tpl;
    ASSERT_EQ(target.insert(tpl, "Assembly", &source), Acad::eOk);
    AcDbObjectPointer<AcDbBlockReference> copy(firstEntity(tpl), AcDb::kForRead);
    EXPECT_EQ(copy->blockTableRecord(), tgtBolt);
}

TEST(Explode, BlockReferenceGivesTransformedCopiesWithoutAttributeDefinitions) {
    AcDbDatabase db;
    AcDbObjectId block = makeBlockWithAttribute(db, "Bolt");
    AcDbBlockReference ref({10, 0, 0}, block);
    ref.setScaleFactors({2, 2, 2});
    // Not in the database: explode still reads the block through its id.
    AcDbEntityList parts;
    ASSERT_EQ(ref.explode(parts), Acad::eOk);
    ASSERT_EQ(parts.size(), 1u);
    auto* line = AcDbLine::cast(parts[0].get());
    ASSERT_NE(line, nullptr);
    EXPECT_TRUE(line->endPoint().isEqualTo({12, 2, 0}));
    AcDbExtents ext;
    ASSERT_EQ(ref.getGeomExtents(ext), Acad::eOk);
    EXPECT_TRUE(ext.maxPoint().isEqualTo({12, 2, 0}));
}

} // namespace
