// TABLES: the symbol tables the database keeps (LTYPE, LAYER, STYLE,
// BLOCK_RECORD) and the ones other readers expect (VPORT, VIEW, UCS, APPID,
// DIMSTYLE), which are written with defaults and skipped when read.

#include "dxf_color.h"
#include "dxf_error.h"
#include "dxf_names.h"
#include "dxf_values.h"
#include "host_xdata.h"
#include "sections.h"

#include <numbers>

namespace acdxf {

namespace {

// ---------------------------------------------------------------- writing

void beginTable(DxfWriter& w, const char* name, AcDbHandle handle, std::size_t count) {
    w.raw(0, "TABLE");
    w.raw(2, name);
    w.handle(5, handle);
    w.handle(330, AcDbHandle());
    w.raw(100, "AcDbSymbolTable");
    w.integer(70, static_cast<long long>(count));
}

void beginRecord(DxfWriter& w, const char* type, const char* subclass, AcDbHandle handle,
                 AcDbHandle table, int handleCode = 5) {
    w.raw(0, type);
    w.handle(handleCode, handle);
    w.handle(330, table);
    w.raw(100, "AcDbSymbolTableRecord");
    w.raw(100, subclass);
}

template <class Record> std::vector<const Record*> liveRecords(AcDbObjectId tableId) {
    std::vector<const Record*> out;
    if (const auto* table = peek<AcDbSymbolTable>(tableId))
        for (AcDbObjectId id : table->recordIds())
            if (const auto* r = peek<Record>(id))
                out.push_back(r);
    return out;
}

void writeViewports(DxfWriter& w, SavePlan& plan) {
    AcDbHandle table = plan.handles().take();
    beginTable(w, "VPORT", table, 1);
    beginRecord(w, "VPORT", "AcDbViewportTableRecord", plan.handles().take(), table);
    w.raw(2, "*Active");
    w.integer(70, 0);
    w.point2d(10, 0, 0);
    w.point2d(11, 1, 1);
    AcDbExtents ext = plan.db().modelSpaceExtents();
    AcGePoint3d center(0, 0, 0);
    double height = 10;
    if (ext.isValid()) {
        center = AcGePoint3d((ext.minPoint().x + ext.maxPoint().x) / 2,
                             (ext.minPoint().y + ext.maxPoint().y) / 2, 0);
        height = std::max(ext.maxPoint().y - ext.minPoint().y, 1e-6) * 1.1;
    }
    w.point2d(12, center.x, center.y);
    w.point2d(13, 0, 0);
    w.point2d(14, 0.5, 0.5);
    w.point2d(15, 0.5, 0.5);
    w.vector(16, AcGeVector3d(0, 0, 1));
    w.point(17, AcGePoint3d::kOrigin);
    w.real(40, height);
    w.real(41, 1.5);
    w.real(42, 50);
    w.real(43, 0);
    w.real(44, 0);
    w.real(50, 0);
    w.real(51, 0);
    w.integer(71, 0);
    w.integer(72, 1000);
    w.integer(73, 1);
    w.integer(74, 3);
    w.integer(75, 0);
    w.integer(76, 0);
    w.integer(77, 0);
    w.integer(78, 0);
    w.integer(281, 0);
    w.integer(65, 1);
    w.real(146, 0);
    w.raw(0, "ENDTAB");
}

void writeLinetypes(DxfWriter& w, SavePlan& plan) {
    AcDbObjectId tableId = plan.db().linetypeTableId();
    auto records = liveRecords<AcDbLinetypeTableRecord>(tableId);
    AcDbHandle table = tableId.handle();
    beginTable(w, "LTYPE", table, records.size());
    for (const auto* r : records) {
        beginRecord(w, "LTYPE", "AcDbLinetypeTableRecord", r->handle(), table);
        w.text(2, r->getName());
        w.integer(70, 0);
        w.text(3, r->comments());
        w.integer(72, 65);
        w.integer(73, static_cast<long long>(r->dashes().size()));
        w.real(40, r->patternLength());
        for (double d : r->dashes()) {
            w.real(49, d);
            w.integer(74, 0);
        }
    }
    w.raw(0, "ENDTAB");
}

void writeLayers(DxfWriter& w, SavePlan& plan) {
    AcDbObjectId tableId = plan.db().layerTableId();
    auto records = liveRecords<AcDbLayerTableRecord>(tableId);
    AcDbHandle table = tableId.handle();
    beginTable(w, "LAYER", table, records.size());
    for (const auto* r : records) {
        beginRecord(w, "LAYER", "AcDbLayerTableRecord", r->handle(), table);
        w.text(2, r->getName());
        w.integer(70, (r->isFrozen() ? 1 : 0) | (r->isLocked() ? 4 : 0));
        int color = colorNumber(r->color());
        // A layer that is off has a negative colour; 0 cannot be negative.
        w.integer(62, r->isOff() ? -(color ? color : 7) : color);
        if (std::int32_t rgb = trueColorValue(r->color()); rgb >= 0)
            w.integer(420, rgb);
        w.text(6, r->linetype());
        w.integer(370, r->lineWeight());
    }
    w.raw(0, "ENDTAB");
}

void writeTextStyles(DxfWriter& w, SavePlan& plan) {
    AcDbObjectId tableId = plan.db().textStyleTableId();
    auto records = liveRecords<AcDbTextStyleTableRecord>(tableId);
    AcDbHandle table = tableId.handle();
    beginTable(w, "STYLE", table, records.size());
    for (const auto* r : records) {
        beginRecord(w, "STYLE", "AcDbTextStyleTableRecord", r->handle(), table);
        w.text(2, r->getName());
        w.integer(70, 0);
        w.real(40, r->textSize());
        w.real(41, r->xScale());
        w.angle(50, r->obliquingAngle());
        w.integer(71, 0);
        w.real(42, r->textSize() > 0 ? r->textSize() : 0.2);
        w.text(3, r->fileName());
        w.text(4, r->bigFontFileName());
    }
    w.raw(0, "ENDTAB");
}

void writeEmptyTable(DxfWriter& w, SavePlan& plan, const char* name) {
    beginTable(w, name, plan.handles().take(), 0);
    w.raw(0, "ENDTAB");
}

void writeAppIds(DxfWriter& w, SavePlan& plan) {
    AcDbHandle table = plan.handles().take();
    beginTable(w, "APPID", table, 2);
    for (std::string_view name : {std::string_view("ACAD"), kHostAppName}) {
        beginRecord(w, "APPID", "AcDbRegAppTableRecord", plan.handles().take(), table);
        w.raw(2, name);
        w.integer(70, 0);
    }
    w.raw(0, "ENDTAB");
}

void writeDimStyles(DxfWriter& w, SavePlan& plan) {
    AcDbHandle table = plan.handles().take();
    beginTable(w, "DIMSTYLE", table, 1);
    w.raw(100, "AcDbDimStyleTable");
    w.integer(71, 0);
    beginRecord(w, "DIMSTYLE", "AcDbDimStyleTableRecord", plan.handles().take(), table, 105);
    w.raw(2, "Standard");
    w.integer(70, 0);
    w.real(40, 1);
    w.real(41, 0.18);
    w.real(42, 0.0625);
    w.real(43, 0.38);
    w.real(44, 0.18);
    w.real(140, 0.18);
    w.real(141, 0.09);
    w.real(147, 0.09);
    w.integer(77, 0);
    w.integer(271, 4);
    w.integer(272, 4);
    w.raw(0, "ENDTAB");
}

void writeBlockRecords(DxfWriter& w, SavePlan& plan) {
    AcDbHandle table = plan.db().blockTableId().handle();
    beginTable(w, "BLOCK_RECORD", table, plan.blocks().size() + plan.tableBlocks().size());
    auto record = [&](AcDbHandle handle, const std::string& name, AcDbHandle layout) {
        beginRecord(w, "BLOCK_RECORD", "AcDbBlockTableRecord", handle, table);
        w.text(2, name);
        w.handle(340, layout);
        w.integer(70, 0);
        w.integer(280, 1);
        w.integer(281, 0);
    };
    for (AcDbObjectId id : plan.blocks()) {
        const auto* block = peek<AcDbBlockTableRecord>(id);
        const LayoutPlan* layout = plan.layoutOf(id);
        record(block->handle(), block->getName(), layout ? layout->handle : AcDbHandle());
    }
    for (const TableBlockPlan& t : plan.tableBlocks())
        record(t.record, t.name, AcDbHandle());
    w.raw(0, "ENDTAB");
}

} // namespace

void writeTablesSection(DxfWriter& w, SavePlan& plan) {
    w.raw(0, "SECTION");
    w.raw(2, "TABLES");
    writeViewports(w, plan);
    writeLinetypes(w, plan);
    writeLayers(w, plan);
    writeTextStyles(w, plan);
    writeEmptyTable(w, plan, "VIEW");
    writeEmptyTable(w, plan, "UCS");
    writeAppIds(w, plan);
    writeDimStyles(w, plan);
    writeBlockRecords(w, plan);
    w.raw(0, "ENDSEC");
}

// ---------------------------------------------------------------- reading

namespace {

double degreesToRadians(double d) {
    return static_cast<double>(static_cast<long double>(d) * std::numbers::pi_v<long double> /
                               180.0L);
}

AcDbLayerTableRecord* readLayer(const DxfRecord& r, ReadContext& ctx) {
    auto* layer = new AcDbLayerTableRecord;
    try {
        bool trueColor = false;
        for (const DxfToken& t : r.body) {
            switch (t.code) {
            case 70: {
                int flags = toInt(t);
                layer->setIsFrozen((flags & 1) != 0);
                layer->setIsLocked((flags & 4) != 0);
                break;
            }
            case 62: {
                int color = toInt(t);
                layer->setIsOff(color < 0);
                if (!trueColor)
                    layer->setColor(colorFromNumber(color));
                break;
            }
            case 420:
                layer->setColor(colorFromTrueColor(toInt64(t)));
                trueColor = true;
                break;
            case 6:
                if (!t.value.empty())
                    layer->setLinetype(ctx.text(t.value));
                break;
            case 370: {
                int lw = toInt(t);
                if (AcDb::isValidLineWeight(lw))
                    layer->setLineWeight(static_cast<AcDb::LineWeight>(lw));
                break;
            }
            default:
                break;
            }
        }
    } catch (...) {
        delete layer;
        throw;
    }
    return layer;
}

AcDbLinetypeTableRecord* readLinetype(const DxfRecord& r, ReadContext& ctx) {
    auto* lt = new AcDbLinetypeTableRecord;
    try {
        std::vector<double> dashes;
        for (const DxfToken& t : r.body) {
            if (t.code == 3)
                lt->setComments(ctx.text(t.value));
            else if (t.code == 49)
                dashes.push_back(toReal(t));
        }
        lt->setDashes(dashes);
    } catch (...) {
        delete lt;
        throw;
    }
    return lt;
}

AcDbTextStyleTableRecord* readTextStyle(const DxfRecord& r, ReadContext& ctx) {
    auto* style = new AcDbTextStyleTableRecord;
    try {
        for (const DxfToken& t : r.body) {
            switch (t.code) {
            case 40:
                style->setTextSize(toReal(t));
                break;
            case 41:
                style->setXScale(toReal(t));
                break;
            case 50:
                style->setObliquingAngle(degreesToRadians(toReal(t)));
                break;
            case 3:
                style->setFileName(ctx.text(t.value));
                break;
            case 4:
                style->setBigFontFileName(ctx.text(t.value));
                break;
            default:
                break;
            }
        }
    } catch (...) {
        delete style;
        throw;
    }
    return style;
}

// Where the database's table of that name is kept; null for the tables
// the database does not keep.
AcDbObjectId* rootFor(std::string_view name, ReadContext::Roots& roots) {
    if (name == "LAYER")
        return &roots.layerTable;
    if (name == "LTYPE")
        return &roots.linetypeTable;
    if (name == "STYLE")
        return &roots.textStyleTable;
    if (name == "BLOCK_RECORD")
        return &roots.blockTable;
    return nullptr;
}

AcDbSymbolTable* newTable(std::string_view name) {
    if (name == "LAYER")
        return new AcDbLayerTable;
    if (name == "LTYPE")
        return new AcDbLinetypeTable;
    if (name == "STYLE")
        return new AcDbTextStyleTable;
    return new AcDbBlockTable;
}

class SymbolTableReader {
public:
    SymbolTableReader(DrawingReadState& state, const DxfRecord& tableRecord)
        : m_state(state), m_ctx(state.ctx), m_name(tableRecord.first(2)) {
        AcDbHandle handle = tableRecord.handleAt(5);
        m_ctx.noteHandle(handle, "TABLE", tableRecord.line);
        if (AcDbObjectId* root = rootFor(m_name, m_ctx.roots())) {
            if (root->isNull()) {
                AcDbObject* table = newTable(m_name);
                *root = m_ctx.addObject(table, handle, tableRecord.line);
                table->close();
            } else {
                m_ctx.alias(handle, *root); // a second table of the same kind
            }
            m_tableId = *root;
        }
    }

    void record(const DxfRecord& r) {
        AcDbHandle handle = r.handleAt(r.type == "DIMSTYLE" && r.find(105) ? 105 : 5);
        m_ctx.noteHandle(handle, r.type, r.line);
        // Records of the tables the database keeps, each in its own table.
        if (m_tableId.isNull() || r.type != m_name)
            return;
        std::string name = m_ctx.text(r.first(2));
        if (name.empty())
            return; // shape files among the text styles have no name
        if (r.type == "STYLE" && r.find(70) && (toInt(*r.find(70)) & 1))
            return; // a shape file, not a text style
        if (r.type == "BLOCK_RECORD" && isTableBlockName(name)) {
            HeldBlock held;
            held.name = name;
            held.record = handle;
            held.line = r.line;
            m_state.heldBlocks.push_back(std::move(held));
            return;
        }
        AcDbSymbolTableRecord* record = newRecord(r);
        AcDbObjectPointer<AcDbSymbolTable> table(m_tableId, AcDb::kForWrite);
        AcDbObjectId existing;
        if (table->getAt(name, existing) == Acad::eOk) {
            // Names that differ only in letter case are one record here.
            m_ctx.alias(handle, existing);
            delete record;
            return;
        }
        if (record->setName(name) != Acad::eOk) {
            delete record;
            throw DxfError(r.line, std::string(r.type) + " name \"" + name + "\" is not valid");
        }
        m_ctx.addRecord(table.object(), record, handle, r.line);
        record->close();
    }

private:
    AcDbSymbolTableRecord* newRecord(const DxfRecord& r) {
        if (r.type == "LAYER")
            return readLayer(r, m_ctx);
        if (r.type == "LTYPE")
            return readLinetype(r, m_ctx);
        if (r.type == "STYLE")
            return readTextStyle(r, m_ctx);
        return new AcDbBlockTableRecord; // details come with its BLOCK
    }

    DrawingReadState& m_state;
    ReadContext& m_ctx;
    std::string_view m_name;
    AcDbObjectId m_tableId;
};

} // namespace

void readTablesSection(DxfRecordReader& in, DrawingReadState& state) {
    DxfRecord r;
    std::unique_ptr<SymbolTableReader> table;
    while (in.next(r)) {
        state.lastLine = r.line;
        if (r.type == "ENDSEC")
            return;
        if (r.type == "TABLE") {
            table = std::make_unique<SymbolTableReader>(state, r);
        } else if (r.type == "ENDTAB") {
            table.reset();
        } else if (table) {
            table->record(r);
        } else {
            throw DxfError(r.line,
                           "expected TABLE in the TABLES section, found " + std::string(r.type));
        }
    }
    throw DxfError(state.lastLine, "the file ends inside the TABLES section (is it cut short?)");
}

namespace {

// Adds a record of that name when the table lacks it.
template <class Record>
void ensureRecord(
    ReadContext& ctx, AcDbObjectId tableId, const char* name,
    Record* (*make)() = [] { return new Record; }) {
    AcDbObjectPointer<AcDbSymbolTable> table(tableId, AcDb::kForWrite);
    if (!table || table->has(name))
        return;
    Record* record = make();
    record->setName(name);
    ctx.addRecord(table.object(), record, AcDbHandle(), 0);
    record->close();
}

template <class Table> void ensureTable(ReadContext& ctx, AcDbObjectId& id) {
    if (!id.isNull())
        return;
    auto* table = new Table;
    id = ctx.addObject(table, AcDbHandle(), 0);
    table->close();
}

} // namespace

void completeSymbolTables(DrawingReadState& state) {
    ReadContext& ctx = state.ctx;
    ReadContext::Roots& roots = ctx.roots();
    ensureTable<AcDbBlockTable>(ctx, roots.blockTable);
    ensureTable<AcDbLayerTable>(ctx, roots.layerTable);
    ensureTable<AcDbLinetypeTable>(ctx, roots.linetypeTable);
    ensureTable<AcDbTextStyleTable>(ctx, roots.textStyleTable);
    ensureRecord<AcDbBlockTableRecord>(ctx, roots.blockTable, "*Model_Space");
    ensureRecord<AcDbBlockTableRecord>(ctx, roots.blockTable, "*Paper_Space");
    ensureRecord<AcDbLayerTableRecord>(ctx, roots.layerTable, "0");
    ensureRecord<AcDbLinetypeTableRecord>(ctx, roots.linetypeTable, "ByBlock");
    ensureRecord<AcDbLinetypeTableRecord>(ctx, roots.linetypeTable, "ByLayer");
    ensureRecord<AcDbLinetypeTableRecord>(ctx, roots.linetypeTable, "Continuous", [] {
        auto* continuous = new AcDbLinetypeTableRecord;
        continuous->setComments("Solid line");
        return continuous;
    });
    ensureRecord<AcDbTextStyleTableRecord>(ctx, roots.textStyleTable, "Standard");
}

} // namespace acdxf
