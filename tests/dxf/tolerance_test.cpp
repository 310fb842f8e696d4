// DXF written by other programs: missing sections and codes get defaults,
// things this host does not keep are passed over, old conventions are read.

#include "acdxf/dxf.h"
#include "dxf/dxf_test_support.h"

#include <gtest/gtest.h>

using namespace dxftest;

namespace {

std::unique_ptr<AcDbDatabase> read(const std::string& text) {
    auto db = std::make_unique<AcDbDatabase>(false, true);
    EXPECT_EQ(acdxf::readDxf(*db, text), Acad::eOk) << db->lastFileError();
    return db;
}

std::string fixture(const char* name) {
    return readFileBytes((std::filesystem::path(CADHOST_TEST_DATA_DIR) / name).string());
}

template <class T> std::vector<T*> entitiesOf(AcDbObjectId blockId) {
    std::vector<T*> out;
    if (auto* block = AcDbBlockTableRecord::cast(blockId.objectLeftOpen()))
        for (AcDbObjectId id : block->entityIds())
            if (T* e = T::cast(id.objectLeftOpen()))
                out.push_back(e);
    return out;
}

AcDbObjectId block(const AcDbDatabase& db, const std::string& name) {
    AcDbObjectId id;
    if (auto* t = AcDbBlockTable::cast(db.blockTableId().objectLeftOpen()))
        t->getAt(name, id);
    return id;
}

// The objects every drawing has, whatever the file left out.
void expectDefaultContent(const AcDbDatabase& db) {
    EXPECT_FALSE(db.modelSpaceId().isNull());
    EXPECT_FALSE(db.paperSpaceId().isNull());
    EXPECT_FALSE(db.textstyle().isNull());
    EXPECT_FALSE(db.tablestyle().isNull());
    auto* layers = AcDbLayerTable::cast(db.layerTableId().objectLeftOpen());
    ASSERT_TRUE(layers);
    EXPECT_TRUE(layers->has("0"));
    auto* linetypes = AcDbLinetypeTable::cast(db.linetypeTableId().objectLeftOpen());
    ASSERT_TRUE(linetypes);
    EXPECT_TRUE(linetypes->has("Continuous"));
    auto* nod = AcDbDictionary::cast(db.namedObjectsDictionaryId().objectLeftOpen());
    ASSERT_TRUE(nod);
    EXPECT_TRUE(nod->has("ACAD_GROUP"));
}

} // namespace

TEST(DxfTolerance, TheSmallestFilesGiveAWholeDrawing) {
    auto empty = read("  0\nEOF\n");
    expectDefaultContent(*empty);

    auto lines =
        read("0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nLINE\r\n8\r\nA\r\n10\r\n1\r\n20\r\n2\r\n"
             "11\r\n3.5\r\n21\r\n4\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n\r\n");
    expectDefaultContent(*lines);
    auto found = entitiesOf<AcDbLine>(lines->modelSpaceId());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0]->layer(), "A");
    EXPECT_EQ(found[0]->endPoint(), AcGePoint3d(3.5, 4, 0));
    EXPECT_FALSE(found[0]->handle().isNull()) << "objects without handles get one";

    // Defaults made up by the reader are saved and read again like the rest.
    for (const AcDbDatabase* db : {empty.get(), lines.get()}) {
        auto again = roundTrip(*db);
        EXPECT_TRUE(dumpDatabase(*again) == dumpDatabase(*db));
    }

    // Byte-order mark, padded codes, comments, sections nobody knows.
    auto padded =
        read("\xEF\xBB\xBF"
             "999\ncomment\n   0  \nSECTION\n  2\nTHUMBNAILIMAGE\n 90\n0\n"
             "  0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nPOINT\n10\n0\n0\nENDSEC\n0\nEOF\n");
    expectDefaultContent(*padded);
}

TEST(DxfTolerance, OldFilesWithoutHandlesOrSubclassesAreRead) {
    auto db =
        read("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1009\n9\n$CLAYER\n8\nWALLS\n0\nENDSEC\n"
             "0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n70\n1\n0\nLAYER\n2\nWALLS\n70\n0\n"
             "62\n-3\n6\nCONTINUOUS\n0\nENDTAB\n0\nENDSEC\n"
             "0\nSECTION\n2\nBLOCKS\n0\nBLOCK\n8\n0\n2\n$MODEL_SPACE\n70\n0\n10\n0\n20\n0\n"
             "0\nENDBLK\n8\n0\n0\nBLOCK\n8\n0\n2\nDOT\n70\n2\n10\n1\n20\n1\n0\nCIRCLE\n8\n0\n"
             "10\n0\n20\n0\n40\n1\n0\nATTDEF\n8\n0\n10\n0\n20\n0\n40\n0.2\n1\nX\n3\nWhat?\n"
             "2\nLABEL\n70\n0\n74\n2\n0\nENDBLK\n8\n0\n0\nENDSEC\n"
             "0\nSECTION\n2\nENTITIES\n0\nINSERT\n8\nWALLS\n2\nDOT\n10\n5\n20\n6\n50\n90\n"
             "0\nTEXT\n8\n0\n10\n1\n20\n1\n40\n0.5\n1\nHello\n72\n1\n11\n2\n21\n1\n73\n3\n"
             "0\nENDSEC\n0\nEOF\n");
    expectDefaultContent(*db);
    EXPECT_EQ(db->clayer(), "WALLS");
    auto* layers = AcDbLayerTable::cast(db->layerTableId().objectLeftOpen());
    AcDbLayerTableRecord* walls = nullptr;
    ASSERT_EQ(layers->getAt("walls", walls, AcDb::kForRead), Acad::eOk);
    EXPECT_TRUE(walls->isOff());
    EXPECT_EQ(walls->color().colorIndex(), 3);
    walls->close();

    AcDbObjectId dot = block(*db, "DOT");
    ASSERT_FALSE(dot.isNull());
    auto defs = entitiesOf<AcDbAttributeDefinition>(dot);
    ASSERT_EQ(defs.size(), 1u);
    EXPECT_EQ(defs[0]->tag(), "LABEL");
    EXPECT_EQ(defs[0]->prompt(), "What?");
    EXPECT_EQ(defs[0]->verticalMode(), AcDbText::kMiddle);

    auto inserts = entitiesOf<AcDbBlockReference>(db->modelSpaceId());
    ASSERT_EQ(inserts.size(), 1u);
    EXPECT_EQ(inserts[0]->blockTableRecord(), dot);
    EXPECT_NEAR(inserts[0]->rotation(), 1.5707963267948966, 1e-12);
    auto texts = entitiesOf<AcDbText>(db->modelSpaceId());
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0]->horizontalMode(), AcDbText::kCenter);
    EXPECT_EQ(texts[0]->verticalMode(), AcDbText::kTop);
    EXPECT_EQ(texts[0]->alignmentPoint(), AcGePoint3d(2, 1, 0));
}

TEST(DxfTolerance, DrawingsOfAnotherProgramAreRead) {
    for (const char* name : {"ezdxf_r2004.dxf", "ezdxf_r2018.dxf"}) {
        SCOPED_TRACE(name);
        auto db = read(fixture(name));
        expectDefaultContent(*db);
        auto lines = entitiesOf<AcDbLine>(db->modelSpaceId());
        ASSERT_EQ(lines.size(), 1u);
        EXPECT_EQ(lines[0]->layer(), "Pipes");
        auto texts = entitiesOf<AcDbText>(db->modelSpaceId());
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0]->textString(), "Grüße €");
        EXPECT_EQ(entitiesOf<AcDbMText>(db->modelSpaceId()).at(0)->contents(), "first\\Psecond");
        EXPECT_TRUE(entitiesOf<AcDbPolyline>(db->modelSpaceId()).at(0)->isClosed());
        auto inserts = entitiesOf<AcDbBlockReference>(db->modelSpaceId());
        ASSERT_EQ(inserts.size(), 1u);
        EXPECT_EQ(inserts[0]->blockTableRecord(), block(*db, "Valve"));
        EXPECT_EQ(inserts[0]->scaleFactors().x, 2);
        EXPECT_EQ(entitiesOf<AcDbEntity>(db->paperSpaceId()).size(), 1u);
        // The circle is none of this host's entities and is passed over.
        EXPECT_EQ(entitiesOf<AcDbEntity>(db->modelSpaceId()).size(), 6u);
        // What was read is written and read again unchanged.
        auto again = roundTrip(*db);
        EXPECT_TRUE(dumpDatabase(*again) == dumpDatabase(*db));
        // The plot style names are placeholders this host does not keep: their
        // dictionary goes too, as an empty one breaks readers that look
        // "Normal" up in it.
        AcDbObjectPointer<AcDbDictionary> nod(db->namedObjectsDictionaryId(), AcDb::kForRead);
        ASSERT_TRUE(nod);
        EXPECT_FALSE(nod->has("ACAD_PLOTSTYLENAME"));
        EXPECT_TRUE(nod->has("ACAD_TABLESTYLE"));
    }
}

TEST(DxfTolerance, TextOfTheCodePageAndEscapesIsDecoded) {
    auto text = [](const std::string& version, const std::string& value) {
        auto db = read("0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\n" + version +
                       "\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n0\nTEXT\n1\n" + value +
                       "\n0\nENDSEC\n0\nEOF\n");
        auto found = entitiesOf<AcDbText>(db->modelSpaceId());
        return found.empty() ? std::string("<none>") : found[0]->textString();
    };
    EXPECT_EQ(text("AC1018", "Gr\xFC\xDF"
                             "e \x80"),
              "Grüße €");
    EXPECT_EQ(text("AC1018", "Grüße"), "Grüße") << "UTF-8 stays";
    EXPECT_EQ(text("AC1018", "\\U+00DF and \\U+2713 ^J^I^ "), "ß and ✓ \n\t^");
    EXPECT_EQ(text("AC1032", "Grüße \\U+20AC"), "Grüße €");
}

TEST(DxfTolerance, TheFileFormOfTextIsAsciiWithEscapes) {
    auto db = makeEntityDrawing();
    std::string text = dxfText(*db);
    for (unsigned char c : text)
        ASSERT_LT(c, 0x80) << "AC1018 text is written as ASCII";
    EXPECT_NE(text.find("\\U+00DCn\\U+00EFcode \\U+20AC ^ caret\\back^Itab \\U+2713"),
              std::string::npos);
}

TEST(DxfTolerance, TablesWithoutOverrideFlagsOrGraphicsBlocksAreRead) {
    // A table as a minimal writer might put it: no 177 flags, no *T block.
    auto db = read("0\nSECTION\n2\nENTITIES\n0\nACAD_TABLE\n5\n50\n100\nAcDbEntity\n8\n0\n"
                   "100\nAcDbBlockReference\n10\n1\n20\n2\n30\n0\n100\nAcDbTable\n91\n2\n92\n1\n"
                   "141\n0.5\n141\n0.9\n142\n4\n"
                   "171\n1\n1\nTop\n64\n1\n170\n5\n"
                   "171\n1\n2\nlong \n1\ntext\n289\n0\n63\n3\n283\n1\n"
                   "0\nENDSEC\n0\nEOF\n");
    auto tables = entitiesOf<AcDbTable>(db->modelSpaceId());
    ASSERT_EQ(tables.size(), 1u);
    const AcDbTable* t = tables[0];
    EXPECT_EQ(t->handle().toHex(), "50");
    EXPECT_EQ(t->position(), AcGePoint3d(1, 2, 0));
    ASSERT_EQ(t->rowCount(), 2);
    ASSERT_EQ(t->columnCount(), 1);
    EXPECT_DOUBLE_EQ(t->rowHeight(1), 0.9);
    EXPECT_DOUBLE_EQ(t->columnWidth(0), 4);
    EXPECT_EQ(t->textString(0, 0), "Top");
    EXPECT_EQ(t->textColor(0, 0), AcCmColor::fromIndex(1));
    EXPECT_EQ(t->cellAlignment(0, 0), AcDb::kMiddleCenter);
    EXPECT_TRUE(t->isCellPropertyOverridden(0, 0, AcDbTable::kCellTextColor));
    EXPECT_EQ(t->textString(1, 0), "long text");
    EXPECT_EQ(t->edgeVisibility(1, 0, AcDb::kTopMask), AcDb::kInvisible);
    EXPECT_FALSE(t->isFillNone(1, 0));
    EXPECT_EQ(t->fillColor(1, 0), AcCmColor::fromIndex(3));
    EXPECT_FALSE(t->isCellPropertyOverridden(1, 0, AcDbTable::kCellTextHeight));
}

TEST(DxfTolerance, EachCellKeepsItsOwnTextAmongCellsWithAndWithoutText) {
    // Texts in pieces, cells without text between, properties before and after.
    auto db = read("0\nSECTION\n2\nENTITIES\n0\nACAD_TABLE\n5\n50\n100\nAcDbEntity\n8\n0\n"
                   "100\nAcDbBlockReference\n10\n0\n20\n0\n30\n0\n100\nAcDbTable\n91\n5\n92\n1\n"
                   "141\n1\n141\n1\n141\n1\n141\n1\n141\n1\n142\n4\n"
                   "171\n1\n3\nfirst \n1\npart\n64\n2\n"
                   "171\n1\n"
                   "171\n1\n64\n3\n1\nthird\n"
                   "171\n1\n1\n\n"
                   "171\n1\n2\nla\n1\nst\n"
                   "0\nENDSEC\n0\nEOF\n");
    auto tables = entitiesOf<AcDbTable>(db->modelSpaceId());
    ASSERT_EQ(tables.size(), 1u);
    const AcDbTable* t = tables[0];
    ASSERT_EQ(t->rowCount(), 5);
    EXPECT_EQ(t->textString(0, 0), "first part");
    EXPECT_EQ(t->textColor(0, 0), AcCmColor::fromIndex(2));
    EXPECT_EQ(t->textString(1, 0), "");
    EXPECT_FALSE(t->isCellPropertyOverridden(1, 0, AcDbTable::kCellTextColor));
    EXPECT_EQ(t->textString(2, 0), "third");
    EXPECT_EQ(t->textColor(2, 0), AcCmColor::fromIndex(3));
    EXPECT_EQ(t->textString(3, 0), "");
    EXPECT_EQ(t->textString(4, 0), "last");
}

TEST(DxfTolerance, TableGraphicsBlocksAreLeftOutAndOtherAnonymousBlocksKept) {
    auto db = makeTableDrawing();
    std::string text = dxfText(*db);
    EXPECT_NE(text.find("\n*T1\n"), std::string::npos);
    auto back = read(text);
    auto* blocks = AcDbBlockTable::cast(back->blockTableId().objectLeftOpen());
    for (AcDbObjectId id : blocks->recordIds())
        EXPECT_NE(AcDbBlockTableRecord::cast(id.objectLeftOpen())->getName().rfind("*T", 0), 0u);

    // A *T block no table claims is an ordinary anonymous block.
    auto plain = std::make_unique<AcDbDatabase>();
    {
        AcDbObjectPointer<AcDbBlockTable> table(plain->blockTableId(), AcDb::kForWrite);
        auto* record = new AcDbBlockTableRecord;
        record->setName("*T5");
        table->add(record);
        auto* line = new AcDbLine({0, 0, 0}, {1, 0, 0});
        record->appendAcDbEntity(line);
        line->close();
        record->close();
    }
    auto again = roundTrip(*plain);
    EXPECT_EQ(entitiesOf<AcDbLine>(block(*again, "*T5")).size(), 1u);
    EXPECT_TRUE(dumpDatabase(*again) == dumpDatabase(*plain));
}

TEST(DxfTolerance, RecordsDifferingOnlyInCaseAreOne) {
    auto db = read("0\nSECTION\n2\nTABLES\n0\nTABLE\n2\nLAYER\n5\n2\n0\nLAYER\n5\n10\n2\nWalls\n"
                   "62\n1\n0\nLAYER\n5\n11\n2\nWALLS\n62\n2\n0\nENDTAB\n0\nENDSEC\n0\nEOF\n");
    auto* layers = AcDbLayerTable::cast(db->layerTableId().objectLeftOpen());
    AcDbObjectId walls;
    ASSERT_EQ(layers->getAt("WALLS", walls), Acad::eOk);
    EXPECT_EQ(walls.handle().toHex(), "10");
    EXPECT_EQ(layers->count(), 2u) << "Walls and the default layer 0";
}

TEST(DxfTolerance, NewObjectsGetHandlesAboveEveryHandleOfTheFile) {
    // The header's seed is too low; objects without handles must still not
    // take a handle the file uses.
    auto db = read("0\nSECTION\n2\nHEADER\n9\n$HANDSEED\n5\n3\n0\nENDSEC\n0\nSECTION\n2\nENTITIES\n"
                   "0\nLINE\n10\n0\n0\nLINE\n5\n7F\n10\n1\n0\nENDSEC\n0\nEOF\n");
    auto lines = entitiesOf<AcDbLine>(db->modelSpaceId());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1]->handle().toHex(), "7F");
    EXPECT_NE(lines[0]->handle(), lines[1]->handle());
    EXPECT_GT(db->handseed().value(), 0x7Fu);
    auto* line = new AcDbLine;
    AcDbObjectId id;
    ASSERT_EQ(acdbAppendToBlock(db.get(), "*Model_Space", line, id), Acad::eOk);
    line->close();
    EXPECT_GT(id.handle().value(), 0x7Fu);
}

TEST(DxfTolerance, HandlesOfTheDrawingAreKept) {
    auto db = makeTableDrawing();
    auto back = roundTrip(*db);
    EXPECT_EQ(back->modelSpaceId().handle(), db->modelSpaceId().handle());
    EXPECT_EQ(back->tablestyle().handle(), db->tablestyle().handle());
    EXPECT_GE(back->handseed().value(), db->handseed().value());
}
