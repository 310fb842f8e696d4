// Writes the drawings that check_dxf_with_ezdxf.py hands to ezdxf, and what
// the host knows about each table (grid, graphics) as expectations.json.
//
//   dxf_interop_drawings OUTDIR

#include "acdb/acdb.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------- building

template <class T> T* append(AcDbObjectId blockId, T* entity) {
    AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForWrite);
    block->appendAcDbEntity(entity);
    entity->close();
    return entity;
}

AcDbObjectId addBlock(AcDbDatabase& db, const std::string& name) {
    AcDbObjectPointer<AcDbBlockTable> blocks(db.blockTableId(), AcDb::kForWrite);
    auto* block = new AcDbBlockTableRecord;
    block->setName(name);
    AcDbObjectId id;
    blocks->add(id, block);
    block->close();
    return id;
}

// A small green square: two of them tell where the drawing lands in a picture.
void addMarker(AcDbDatabase& db, double x, double y) {
    auto* s = new AcDbSolid({x - 0.5, y - 0.5, 0}, {x + 0.5, y - 0.5, 0}, {x - 0.5, y + 0.5, 0},
                            {x + 0.5, y + 0.5, 0});
    s->setColorIndex(3);
    append(db.modelSpaceId(), s);
}

AcDbTable* newTable(AcDbObjectId style, int rows, int cols, const AcGePoint3d& at) {
    auto* t = new AcDbTable;
    t->setTableStyle(style);
    t->setSize(rows, cols);
    t->setPosition(at);
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            t->setTextString(r, c, std::string(1, static_cast<char>('A' + c)) + std::to_string(r));
    return t;
}

// Every grid line of the table red, so a picture shows where they are.
void paintGridRed(AcDbTable* t) {
    for (int r = 0; r < t->rowCount(); ++r)
        for (int c = 0; c < t->columnCount(); ++c)
            t->setEdgeColor(r, c, 15, AcCmColor::fromIndex(1));
}

AcDbObjectId markBlock(AcDbDatabase& db, AcDbObjectId& numberDef, AcDbObjectId& noteDef) {
    AcDbObjectId mark = addBlock(db, "Mark");
    append(mark, new AcDbLine({-0.2, -0.2, 0}, {0.2, 0.2, 0}));
    append(mark, new AcDbLine({-0.2, 0.2, 0}, {0.2, -0.2, 0}));
    auto* number = new AcDbAttributeDefinition({0.25, 0, 0}, "?", "NUM", "Number");
    number->setHeight(0.12);
    append(mark, number);
    numberDef = number->objectId();
    auto* note = new AcDbAttributeDefinition({0.25, -0.15, 0}, "", "NOTE", "Note");
    note->setHeight(0.08);
    append(mark, note);
    noteDef = note->objectId();
    return mark;
}

AcDbObjectId fancyStyle(AcDbDatabase& db) {
    AcDbObjectPointer<AcDbDictionary> styles(db.tableStyleDictionaryId(), AcDb::kForWrite);
    auto* style = new AcDbTableStyle;
    style->setName("Fancy");
    style->setDescription("Second style");
    style->setHorzCellMargin(0.1);
    style->setVertCellMargin(0.1);
    style->setTextHeight(0.3, AcDb::kTitleRow);
    style->setTextHeight(0.2, AcDb::kHeaderRow | AcDb::kDataRow);
    style->setColor(AcCmColor::fromIndex(2), AcDb::kHeaderRow);
    style->setBackgroundColorNone(false, AcDb::kTitleRow);
    style->setBackgroundColor(AcCmColor::fromIndex(8), AcDb::kTitleRow);
    style->setGridColor(AcCmColor::fromIndex(4), 0x3F, AcDb::kDataRow);
    style->setGridLineWeight(AcDb::kLnWt050, AcDb::kHorzTop | AcDb::kHorzBottom, AcDb::kTitleRow);
    AcDbObjectId id;
    styles->setAt("Fancy", style, id);
    style->close();
    return id;
}

// The drawing with everything: merges, fills, borders, block cells with
// attribute values, named blocks and a second table style.
std::unique_ptr<AcDbDatabase> everythingDrawing() {
    auto db = std::make_unique<AcDbDatabase>();
    AcDbObjectId numberDef, noteDef;
    AcDbObjectId mark = markBlock(*db, numberDef, noteDef);
    AcDbObjectId logo = addBlock(*db, "Logo");
    {
        auto* pl = new AcDbPolyline;
        pl->addVertexAt(0, {0, 0});
        pl->addVertexAt(1, {1, 0});
        pl->addVertexAt(2, {0.5, 0.8});
        pl->setClosed(true);
        append(logo, pl);
    }
    AcDbObjectId ms = db->modelSpaceId();
    append(ms, new AcDbBlockReference({-3, 0, 0}, logo));

    AcDbTable* a = newTable(db->tablestyle(), 6, 4, {0, 40, 0});
    a->setColumnWidth(0, 3.5);
    a->setRowHeight(3, 1.2);
    a->setTextString(0, 0, "Doors and windows");
    a->mergeCells(0, 0, 0, 3);
    a->mergeCells(2, 3, 1, 2);
    a->setFillNone(2, 0, false);
    a->setFillColor(2, 0, AcCmColor::fromIndex(5));
    a->setFillNone(4, 3, false);
    a->setFillColor(4, 3, AcCmColor::fromRgb(255, 220, 180));
    a->setEdgeColor(1, 0, 15, AcCmColor::fromIndex(1));
    a->setEdgeLineWeight(1, 0, 15, AcDb::kLnWt050);
    a->setEdgeVisibility(5, 3, AcDb::kBottomMask | AcDb::kRightMask, AcDb::kInvisible);
    a->setTextColor(1, 1, AcCmColor::fromIndex(6));
    a->setCellAlignment(1, 2, AcDb::kMiddleRight);
    a->setCellBlock(4, 1, mark, false);
    a->setCellBlockScale(4, 1, 1.5);
    a->setCellBlockAttributeValue(4, 1, numberDef, "D-07");
    a->setCellBlockAttributeValue(4, 1, noteDef, "fire door");
    a->setCellBlock(5, 1, mark, true);
    a->setCellBlockAttributeValue(5, 1, numberDef, "W-12");
    append(ms, a);

    AcDbTable* b = newTable(fancyStyle(*db), 4, 3, {20, 40, 0});
    b->setTextString(0, 0, "Fancy style");
    b->mergeCells(0, 0, 0, 2);
    b->setColumnWidth(2, 4);
    append(ms, b);

    auto* note = new AcDbText;
    note->setPosition({0, 30, 0});
    note->setTextString("Tables drawn by the host");
    append(ms, note);
    return db;
}

// Block cells of every kind: a block with a constant attribute at a fixed
// scale that makes its row grow, fitted into a merged region, a cell that
// showed text before, a row set below its text; edge overrides of every
// edge (their bits pass 16), a border colour of "nothing chosen", rows and
// columns inserted and deleted; and a table on a paper-space layout.
std::unique_ptr<AcDbDatabase> blockCellsDrawing() {
    auto db = std::make_unique<AcDbDatabase>();
    AcDbObjectId stamp = addBlock(*db, "Stamp");
    append(stamp, new AcDbLine({0, 0, 0}, {2, 0, 0}));
    append(stamp, new AcDbLine({2, 0, 0}, {2, 1, 0}));
    append(stamp, new AcDbLine({2, 1, 0}, {0, 1, 0}));
    append(stamp, new AcDbLine({0, 1, 0}, {0, 0, 0}));
    auto* fixed = new AcDbAttributeDefinition({0.1, 0.6, 0}, "APPROVED", "STATUS", "");
    fixed->setConstant(true);
    fixed->setHeight(0.25);
    append(stamp, fixed);
    auto* by = new AcDbAttributeDefinition({0.1, 0.2, 0}, "nobody", "BY", "Checked by");
    by->setHeight(0.2);
    append(stamp, by);
    const AcDbObjectId byDef = by->objectId();

    AcDbTable* t = newTable(db->tablestyle(), 5, 4, {0, 0, 0});
    // Long (chunked) text with a character outside ASCII.
    t->setTextString(0, 0, "Stamps \u20ac " + std::string(300, 'x'));
    t->mergeCells(0, 0, 0, 3);
    t->setCellBlock(2, 0, stamp, false);
    t->setCellBlockScale(2, 0, 2.0);
    t->setCellBlockAttributeValue(2, 0, byDef, "J. Doe");
    t->mergeCells(3, 4, 1, 2);
    t->setCellBlock(3, 1, stamp, true);
    t->setCellBlock(1, 3, stamp, true); // its text "D1" is kept, not shown
    t->setRowHeight(4, 0.05);
    AcCmColor unchosen;
    unchosen.setColorIndex(static_cast<std::uint16_t>(-1));
    for (int r = 0; r < 5; ++r)
        for (int c = 0; c < 4; ++c)
            t->setEdgeColor(r, c, 15, unchosen);
    t->setEdgeVisibility(1, 0, AcDb::kLeftMask, AcDb::kInvisible);
    t->setEdgeLineWeight(1, 1, 15, AcDb::kLnWt035);
    t->setEdgeColor(3, 2, AcDb::kRightMask, AcCmColor::fromIndex(3));
    // Rows and columns in and out again: the joined edges and moved rows
    // must still be what both readers see.
    t->insertRows(1, 0.8, 1);
    t->insertColumns(0, 1.5, 1);
    t->deleteRows(1, 1);
    t->deleteColumns(0, 1);
    append(db->modelSpaceId(), t);

    AcDbTable* onPaper = newTable(db->tablestyle(), 3, 2, {1, 10, 0});
    onPaper->setCellBlock(2, 1, stamp, true);
    AcDbObjectId id;
    acdbAppendToBlock(db.get(), "*Paper_Space", onPaper, id);
    onPaper->close();
    return db;
}

// A template database: named blocks, each holding one table at its origin,
// each referenced once at the origin of model space.
std::unique_ptr<AcDbDatabase> templateDrawing() {
    auto db = std::make_unique<AcDbDatabase>();
    for (int i = 1; i <= 3; ++i) {
        AcDbObjectId block = addBlock(*db, "Template" + std::to_string(i));
        AcDbTable* t = newTable(db->tablestyle(), 2 + i, 2, {0, 0, 0});
        t->mergeCells(0, 0, 0, 1);
        t->setTextString(0, 0, "Template " + std::to_string(i));
        append(block, t);
        append(db->modelSpaceId(), new AcDbBlockReference({0, 0, 0}, block));
    }
    return db;
}

// One table with red grid lines between two markers, for the picture check.
std::unique_ptr<AcDbDatabase> renderDrawing(int variant) {
    auto db = std::make_unique<AcDbDatabase>();
    addMarker(*db, 0, 0);
    addMarker(*db, 30, 24);
    AcDbTable* t;
    if (variant == 1) {
        t = newTable(db->tablestyle(), 5, 3, {6, 20, 0});
        t->setColumnWidth(0, 4);
        t->setColumnWidth(1, 6);
        t->setColumnWidth(2, 3);
        t->setRowHeight(1.5);
        t->mergeCells(2, 3, 0, 1);
        t->setFillNone(4, 2, false);
        t->setFillColor(4, 2, AcCmColor::fromIndex(5));
        paintGridRed(t);
        t->setEdgeVisibility(1, 2, AcDb::kBottomMask, AcDb::kInvisible);
    } else {
        AcDbObjectId numberDef, noteDef;
        AcDbObjectId mark = markBlock(*db, numberDef, noteDef);
        t = newTable(fancyStyle(*db), 4, 4, {3, 18, 0});
        t->setColumnWidth(5);
        t->setRowHeight(2.5);
        t->mergeCells(0, 0, 0, 3);
        t->mergeCells(1, 3, 3, 3);
        t->setFillNone(2, 1, false);
        t->setFillColor(2, 1, AcCmColor::fromIndex(5));
        t->setCellBlock(3, 0, mark, true);
        t->setCellBlockAttributeValue(3, 0, numberDef, "12");
        paintGridRed(t);
    }
    append(db->modelSpaceId(), t);
    return db;
}

// ---------------------------------------------------------------- expectations

class Json {
public:
    Json& raw(const std::string& s) {
        m_out << s;
        return *this;
    }
    Json& num(double v) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.12g", v);
        m_out << buf;
        return *this;
    }
    Json& str(const std::string& s) {
        m_out << '"';
        for (char c : s)
            m_out << (c == '"' || c == '\\' ? "\\" : "") << c;
        m_out << '"';
        return *this;
    }
    Json& numbers(const std::vector<double>& v) {
        m_out << '[';
        for (std::size_t i = 0; i < v.size(); ++i) {
            if (i)
                m_out << ',';
            num(v[i]);
        }
        m_out << ']';
        return *this;
    }
    std::string text() const { return m_out.str(); }

private:
    std::ostringstream m_out;
};

// Grid segments of merged regions' interiors and hidden edges: where the
// host draws nothing, so the picture must show nothing either.
std::vector<std::vector<double>> absentSegments(const AcDbTable& t) {
    std::vector<std::vector<double>> out;
    AcGePoint3d p = t.position();
    std::vector<double> xs{p.x}, ys{p.y};
    for (int c = 0; c < t.columnCount(); ++c)
        xs.push_back(xs.back() + t.columnWidth(c));
    for (int r = 0; r < t.rowCount(); ++r)
        ys.push_back(ys.back() - t.rowHeight(r));
    for (const AcDbTable::Range& m : t.mergedRanges()) {
        for (int c = m.minCol + 1; c <= m.maxCol; ++c)
            out.push_back({xs[c], ys[m.minRow], xs[c], ys[m.maxRow + 1]});
        for (int r = m.minRow + 1; r <= m.maxRow; ++r)
            out.push_back({xs[m.minCol], ys[r], xs[m.maxCol + 1], ys[r]});
    }
    for (int r = 0; r < t.rowCount(); ++r)
        for (int c = 0; c < t.columnCount(); ++c)
            if (t.gridEdge(r, c, AcDb::kBottomMask).visibility == AcDb::kInvisible &&
                r + 1 < t.rowCount())
                out.push_back({xs[c], ys[r + 1], xs[c + 1], ys[r + 1]});
    return out;
}

void tableExpectation(Json& j, const AcDbTable& t) {
    j.raw("{\"handle\":").str(t.handle().toHex());
    j.raw(",\"rows\":").num(t.rowCount()).raw(",\"cols\":").num(t.columnCount());
    std::vector<double> heights, widths;
    for (int r = 0; r < t.rowCount(); ++r)
        heights.push_back(t.rowHeight(r));
    for (int c = 0; c < t.columnCount(); ++c)
        widths.push_back(t.columnWidth(c));
    j.raw(",\"heights\":").numbers(heights).raw(",\"widths\":").numbers(widths);
    j.raw(",\"position\":").numbers({t.position().x, t.position().y});
    // Red grid lines and fills as the host draws them (world coordinates).
    j.raw(",\"red_segments\":[");
    bool first = true;
    for (const auto& g : t.graphics()) {
        auto* line = AcDbLine::cast(g.get());
        if (!line || line->color().colorIndex() != 1)
            continue;
        j.raw(first ? "" : ",")
            .numbers({line->startPoint().x, line->startPoint().y, line->endPoint().x,
                      line->endPoint().y});
        first = false;
    }
    j.raw("],\"blue_fills\":[");
    first = true;
    for (const auto& g : t.graphics()) {
        auto* solid = AcDbSolid::cast(g.get());
        if (!solid || solid->color().colorIndex() != 5)
            continue;
        AcDbExtents e;
        solid->getGeomExtents(e);
        j.raw(first ? "" : ",")
            .numbers({e.minPoint().x, e.minPoint().y, e.maxPoint().x, e.maxPoint().y});
        first = false;
    }
    // Every text the host draws (cell texts and attributes, constant ones too).
    j.raw("],\"texts\":[");
    first = true;
    for (const auto& g : t.graphics()) {
        std::string text;
        if (auto* m = AcDbMText::cast(g.get()))
            text = m->contents();
        else if (auto* tx = AcDbText::cast(g.get()))
            text = tx->textString();
        else
            continue;
        j.raw(first ? "" : ",").str(text);
        first = false;
    }
    j.raw("],\"absent_segments\":[");
    first = true;
    for (const auto& s : absentSegments(t)) {
        j.raw(first ? "" : ",").numbers(s);
        first = false;
    }
    j.raw("]}");
}

void drawingExpectation(Json& j, const std::string& file, const AcDbDatabase& db, bool render) {
    j.raw("{\"file\":").str(file).raw(",\"render\":").raw(render ? "true" : "false");
    j.raw(",\"markers\":[[0,0],[30,24]],\"tables\":[");
    bool first = true;
    AcDbObjectPointer<AcDbBlockTable> blocks(db.blockTableId(), AcDb::kForRead);
    for (AcDbObjectId blockId : blocks->recordIds()) {
        AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForRead);
        for (AcDbObjectId id : block->entityIds()) {
            AcDbObjectPointer<AcDbTable> t(id, AcDb::kForRead);
            if (!t)
                continue;
            j.raw(first ? "" : ",");
            tableExpectation(j, *t.object());
            first = false;
        }
    }
    j.raw("]}");
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: dxf_interop_drawings OUTDIR\n";
        return 2;
    }
    std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    struct Drawing {
        std::string file;
        std::unique_ptr<AcDbDatabase> db;
        bool render;
    };
    std::vector<Drawing> drawings;
    drawings.push_back({"everything.dxf", everythingDrawing(), false});
    drawings.push_back({"templates.db", templateDrawing(), false});
    drawings.push_back({"blockcells.dxf", blockCellsDrawing(), false});
    drawings.push_back({"render1.dxf", renderDrawing(1), true});
    drawings.push_back({"render2.dxf", renderDrawing(2), true});

    Json j;
    j.raw("[");
    for (std::size_t i = 0; i < drawings.size(); ++i) {
        Drawing& d = drawings[i];
        std::string path = (out / d.file).string();
        if (d.db->saveAs(path) != Acad::eOk) {
            std::cerr << d.db->lastFileError() << "\n";
            return 1;
        }
        j.raw(i ? "," : "");
        drawingExpectation(j, d.file, *d.db, d.render);
    }
    j.raw("]\n");
    std::ofstream((out / "expectations.json").string()) << j.text();
    return 0;
}
