// Sample drawings of the drawing-file tests and small file helpers.

#include "acdxf/dxf.h"
#include "dxf/dxf_test_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <random>
#include <sstream>
#include <unistd.h>

namespace dxftest {

namespace {

template <class T> T* add(AcDbDatabase&, AcDbObjectId blockId, T* entity) {
    AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForWrite);
    EXPECT_TRUE(block) << "block not open";
    EXPECT_EQ(block->appendAcDbEntity(entity), Acad::eOk);
    entity->close();
    return entity;
}

template <class R, class T> AcDbObjectId addRecord(AcDbObjectId tableId, R* record) {
    AcDbObjectPointer<T> table(tableId, AcDb::kForWrite);
    AcDbObjectId id;
    EXPECT_EQ(table->add(id, record), Acad::eOk);
    record->close();
    return id;
}

AcDbObjectId addBlock(AcDbDatabase& db, const std::string& name) {
    auto* block = new AcDbBlockTableRecord;
    block->setName(name);
    return addRecord<AcDbBlockTableRecord, AcDbBlockTable>(db.blockTableId(), block);
}

} // namespace

std::string dxfText(const AcDbDatabase& db) {
    std::string out, error;
    EXPECT_EQ(acdxf::writeDxf(db, out, &error), Acad::eOk) << error;
    return out;
}

std::unique_ptr<AcDbDatabase> roundTrip(const AcDbDatabase& db, std::string* text) {
    std::string bytes = dxfText(db);
    auto back = std::make_unique<AcDbDatabase>(false, true);
    EXPECT_EQ(acdxf::readDxf(*back, bytes), Acad::eOk) << back->lastFileError();
    if (text)
        *text = std::move(bytes);
    return back;
}

AcDbObjectId addTable(AcDbDatabase& db, const AcGePoint3d& at, int rows, int cols) {
    auto* table = new AcDbTable;
    table->setTableStyle(db.tablestyle());
    table->setSize(rows, cols);
    table->setPosition(at);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            table->setTextString(r, c, std::to_string(r) + "," + std::to_string(c));
    add(db, db.modelSpaceId(), table);
    return table->objectId();
}

std::unique_ptr<AcDbDatabase> makeEntityDrawing() {
    auto db = std::make_unique<AcDbDatabase>();

    auto* red = new AcDbLayerTableRecord;
    red->setName("Walls");
    red->setColor(AcCmColor::fromIndex(1));
    red->setLineWeight(AcDb::kLnWt050);
    red->setLinetype("Dashed");
    addRecord<AcDbLayerTableRecord, AcDbLayerTable>(db->layerTableId(), red);
    auto* hidden = new AcDbLayerTableRecord;
    hidden->setName("Hidden äöü");
    hidden->setColor(AcCmColor::fromRgb(12, 34, 56));
    hidden->setIsOff(true);
    hidden->setIsFrozen(true);
    hidden->setIsLocked(true);
    addRecord<AcDbLayerTableRecord, AcDbLayerTable>(db->layerTableId(), hidden);

    auto* dashed = new AcDbLinetypeTableRecord;
    dashed->setName("Dashed");
    dashed->setComments("__ __ __");
    dashed->setDashes({0.5, -0.25, 0, -0.25});
    addRecord<AcDbLinetypeTableRecord, AcDbLinetypeTable>(db->linetypeTableId(), dashed);

    auto* romans = new AcDbTextStyleTableRecord;
    romans->setName("Romans");
    romans->setFileName("romans.shx");
    romans->setBigFontFileName("bigfont.shx");
    romans->setTextSize(0.25);
    romans->setXScale(0.8);
    romans->setObliquingAngle(0.2);
    AcDbObjectId romansId =
        addRecord<AcDbTextStyleTableRecord, AcDbTextStyleTable>(db->textStyleTableId(), romans);

    AcDbObjectId ms = db->modelSpaceId();
    auto* line = add(*db, ms, new AcDbLine({1, 2, 0}, {3.5, -4.25, 1}));
    (void)line;
    {
        auto* l = new AcDbLine({0, 0, 0}, {1, 1, 0});
        l->setLayer("Walls");
        l->setColor(AcCmColor::byBlock());
        l->setLinetype("Dashed");
        l->setLineWeight(AcDb::kLnWt035);
        add(*db, ms, l);
        auto* t = new AcDbLine({0, 1, 0}, {1, 0, 0});
        t->setColor(AcCmColor::fromRgb(200, 100, 50));
        add(*db, ms, t);
    }
    {
        auto* ray = new AcDbRay;
        ray->setBasePoint({5, 5, 0});
        ray->setUnitDir(AcGeVector3d(1, 1, 0).normal());
        add(*db, ms, ray);
    }
    {
        auto* pl = new AcDbPolyline;
        pl->addVertexAt(0, {0, 0});
        pl->addVertexAt(1, {2, 0});
        pl->addVertexAt(2, {2, 1.5});
        pl->setClosed(true);
        pl->setElevation(0.5);
        pl->setConstantWidth(0.05);
        add(*db, ms, pl);
        auto* open = new AcDbPolyline;
        open->addVertexAt(0, {-1, -1});
        open->addVertexAt(1, {-2, -3});
        add(*db, ms, open);
    }
    {
        auto* text = new AcDbText;
        text->setPosition({1, 1, 0});
        text->setTextString("Plain text");
        add(*db, ms, text);
        auto* fancy = new AcDbText;
        fancy->setPosition({2, 2, 0});
        fancy->setAlignmentPoint({4, 2, 0});
        fancy->setTextString("Ünïcode € ^caret\\back\ttab ✓");
        fancy->setHeight(0.35);
        fancy->setRotation(0.7853981633974483);
        fancy->setWidthFactor(0.75);
        fancy->setTextStyle(romansId);
        fancy->setHorizontalMode(AcDbText::kCenter);
        fancy->setVerticalMode(AcDbText::kMiddle);
        add(*db, ms, fancy);
    }
    {
        auto* m = new AcDbMText;
        m->setLocation({10, 10, 0});
        std::string longText;
        for (int i = 0; i < 40; ++i)
            longText += "Line " + std::to_string(i) + " mit Umlauten äöü\\P";
        m->setContents(longText);
        m->setTextHeight(0.3);
        m->setWidth(12);
        m->setAttachment(5);
        m->setDirection({0, 1, 0});
        m->setTextStyle(romansId);
        add(*db, ms, m);
    }
    add(*db, ms, new AcDbSolid({0, 0, 0}, {1, 0, 0}, {0, 1, 0}, {1, 1, 0}));

    // A named block with attribute definitions, referenced twice.
    AcDbObjectId door = addBlock(*db, "Door");
    {
        AcDbObjectPointer<AcDbBlockTableRecord> b(door, AcDb::kForWrite);
        b->setOrigin({0.5, 0.25, 0});
        b->setComments("A door");
    }
    add(*db, door, new AcDbLine({0, 0, 0}, {1, 0, 0}));
    {
        auto* tag = new AcDbAttributeDefinition({0, 0.5, 0}, "D-01", "NUMBER", "Door number?");
        tag->setHeight(0.1);
        add(*db, door, tag);
        auto* fixed = new AcDbAttributeDefinition({0, 1, 0}, "Oak", "MATERIAL", "Material");
        fixed->setConstant(true);
        fixed->setInvisible(true);
        fixed->setVerticalMode(AcDbText::kTop);
        add(*db, door, fixed);
    }
    {
        auto* ref = new AcDbBlockReference({20, 0, 0}, door);
        add(*db, ms, ref);
        auto* turned = new AcDbBlockReference({25, 0, 0}, door);
        turned->setScaleFactors({2, 3, 1});
        turned->setRotation(1.25);
        add(*db, ms, turned);
    }

    // Flags of blocks that are not plain definitions.
    AcDbObjectId xref = addBlock(*db, "SitePlan");
    {
        AcDbObjectPointer<AcDbBlockTableRecord> b(xref, AcDb::kForWrite);
        b->setIsFromExternalReference(true);
        b->setPathName("/plans/site.dxf");
    }
    AcDbObjectId overlay = addBlock(*db, "Survey");
    {
        AcDbObjectPointer<AcDbBlockTableRecord> b(overlay, AcDb::kForWrite);
        b->setIsFromExternalReference(true);
        b->setIsFromOverlayReference(true);
        b->setIsUnloaded(true);
        b->setPathName("survey.dxf");
    }
    AcDbObjectId unloaded = addBlock(*db, "Shelved");
    {
        AcDbObjectPointer<AcDbBlockTableRecord> b(unloaded, AcDb::kForWrite);
        b->setIsUnloaded(true);
    }
    AcDbObjectId anonymous = addBlock(*db, "*U7");
    add(*db, anonymous, new AcDbLine({0, 0, 0}, {0, 1, 0}));

    // Paper space.
    add(*db, db->paperSpaceId(), new AcDbLine({0, 0, 0}, {8.5, 11, 0}));
    {
        auto* t = new AcDbText;
        t->setPosition({1, 10, 0});
        t->setTextString("Title block");
        add(*db, db->paperSpaceId(), t);
    }
    // An own dictionary below the root.
    {
        AcDbObjectPointer<AcDbDictionary> nod(db->namedObjectsDictionaryId(), AcDb::kForWrite);
        auto* mine = new AcDbDictionary;
        AcDbObjectId mineId;
        nod->setAt("VOREL_SETTINGS", mine, mineId);
        auto* inner = new AcDbDictionary;
        AcDbObjectId innerId;
        mine->setAt("Inner", inner, innerId);
        inner->close();
        mine->close();
    }
    db->setClayer("Walls");
    return db;
}

std::unique_ptr<AcDbDatabase> makeTableDrawing() {
    auto db = std::make_unique<AcDbDatabase>();
    AcDbObjectId ms = db->modelSpaceId();

    auto* romans = new AcDbTextStyleTableRecord;
    romans->setName("Romans");
    romans->setFileName("romans.shx");
    AcDbObjectId romansId =
        addRecord<AcDbTextStyleTableRecord, AcDbTextStyleTable>(db->textStyleTableId(), romans);

    // A second table style with a format of its own for every row type.
    AcDbObjectId fancyStyle;
    {
        AcDbObjectPointer<AcDbDictionary> styles(db->tableStyleDictionaryId(), AcDb::kForWrite);
        auto* style = new AcDbTableStyle;
        style->setName("Fancy");
        style->setDescription("Bold header, grey data");
        style->setHorzCellMargin(0.1);
        style->setVertCellMargin(0.05);
        style->setFlowDirection(AcDb::kBtoT);
        style->suppressHeaderRow(true);
        style->setTextStyle(romansId, AcDb::kDataRow);
        style->setTextHeight(0.3, AcDb::kTitleRow);
        style->setAlignment(AcDb::kMiddleLeft, AcDb::kDataRow);
        style->setColor(AcCmColor::fromIndex(3), AcDb::kTitleRow);
        style->setBackgroundColor(AcCmColor::fromIndex(8), AcDb::kDataRow);
        style->setBackgroundColorNone(false, AcDb::kDataRow);
        style->setGridColor(AcCmColor::fromRgb(10, 20, 30), AcDb::kHorzTop | AcDb::kVertLeft,
                            AcDb::kTitleRow);
        style->setGridLineWeight(AcDb::kLnWt030, AcDb::kHorzBottom, AcDb::kDataRow);
        style->setGridVisibility(AcDb::kInvisible, AcDb::kVertInside, AcDb::kHeaderRow);
        styles->setAt("Fancy", style, fancyStyle);
        style->close();
    }

    // A block with attributes for block cells.
    AcDbObjectId mark = addBlock(*db, "Mark");
    AcDbObjectId numberDef, noteDef;
    add(*db, mark, new AcDbLine({-0.1, 0, 0}, {0.1, 0, 0}));
    {
        auto* number = new AcDbAttributeDefinition({0, 0.1, 0}, "?", "NUM", "Number");
        add(*db, mark, number);
        numberDef = number->objectId();
        auto* note = new AcDbAttributeDefinition({0, -0.1, 0}, "", "NOTE", "Note");
        add(*db, mark, note);
        noteDef = note->objectId();
    }

    // The main table: standard style, every kind of cell override.
    {
        auto* t = new AcDbTable;
        t->setTableStyle(db->tablestyle());
        t->setSize(5, 4);
        t->setPosition({10, 20, 0});
        t->setColumnWidth(0, 3.0);
        t->setColumnWidth(3, 1.25);
        t->setRowHeight(2, 1.5);
        for (int r = 0; r < 5; ++r)
            for (int c = 0; c < 4; ++c)
                t->setTextString(r, c, "R" + std::to_string(r) + "C" + std::to_string(c));
        t->setTextString(0, 0, "Title with € and a long tail " + std::string(300, 'x'));
        // Segments inside a region keep their own look for an unmerge.
        t->setEdgeColor(2, 1, AcDb::kRightMask | AcDb::kBottomMask, AcCmColor::fromIndex(3));
        t->mergeCells(0, 0, 0, 3);
        t->mergeCells(2, 3, 1, 2);
        // Set below what its 0.4 text needs: drawn higher, kept as set.
        t->setRowHeight(1, 0.1);
        t->setTextStyle(1, 0, romansId);
        t->setTextHeight(1, 1, 0.4);
        t->setCellAlignment(1, 2, AcDb::kBottomRight);
        t->setTextColor(1, 3, AcCmColor::fromIndex(1));
        t->setTextColor(4, 3, AcCmColor::fromRgb(1, 2, 3));
        t->setFillNone(2, 0, false);
        t->setFillColor(2, 0, AcCmColor::fromIndex(5));
        t->setFillColor(4, 0, AcCmColor::fromRgb(250, 240, 230));
        t->setFillNone(4, 0, false);
        t->setEdgeColor(1, 1, AcDb::kTopMask | AcDb::kLeftMask, AcCmColor::fromIndex(2));
        t->setEdgeColor(4, 2, AcDb::kBottomMask, AcCmColor::fromRgb(9, 8, 7));
        t->setEdgeLineWeight(1, 1, AcDb::kRightMask, AcDb::kLnWt070);
        t->setEdgeVisibility(4, 1, AcDb::kBottomMask | AcDb::kRightMask, AcDb::kInvisible);
        t->setEdgeVisibility(3, 3, AcDb::kRightMask, AcDb::kVisible);
        t->setCellBlock(4, 1, mark, false);
        t->setCellBlockScale(4, 1, 1.5);
        t->setCellBlockRotation(4, 1, 0.5);
        t->setCellBlockAttributeValue(4, 1, numberDef, "42");
        t->setCellBlockAttributeValue(4, 1, noteDef, "Ünïcode note");
        t->setCellBlock(4, 2, mark, true);
        t->setHorizontalCellMargin(0.08);
        t->setVerticalCellMargin(0.07);
        t->setLayer("0");
        add(*db, ms, t);
    }
    // A table of the second style, turned.
    {
        auto* t = new AcDbTable;
        t->setTableStyle(fancyStyle);
        t->setSize(3, 2);
        t->setPosition({-5, 5, 0});
        t->setDirection({0, 1, 0});
        t->setTextString(0, 0, "Fancy");
        t->setTextString(2, 1, "data");
        t->setColor(AcCmColor::fromIndex(4));
        // One margin of its own; the other keeps following the style.
        t->setVerticalCellMargin(0.2);
        add(*db, ms, t);
    }
    // A table inside a named block (a template) and one in paper space.
    AcDbObjectId templ = addBlock(*db, "Template1");
    {
        auto* t = new AcDbTable;
        t->setTableStyle(db->tablestyle());
        t->setSize(2, 2);
        t->setTextString(1, 1, "in a block");
        add(*db, templ, t);
        add(*db, ms, new AcDbBlockReference({0, 0, 0}, templ));
    }
    {
        auto* t = new AcDbTable;
        t->setTableStyle(db->tablestyle());
        t->setSize(1, 1);
        t->setPosition({1, 8, 0});
        t->setNormal({0, 0, -1});
        t->setTextString(0, 0, "paper");
        add(*db, db->paperSpaceId(), t);
    }
    return db;
}

TempDir::TempDir() {
    static std::mt19937_64 rng{std::random_device{}()};
    m_path = std::filesystem::temp_directory_path() /
             ("dxf_test_" + std::to_string(getpid()) + "_" + std::to_string(rng()));
    std::filesystem::create_directories(m_path);
}

TempDir::~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

std::string readFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
}

} // namespace dxftest
