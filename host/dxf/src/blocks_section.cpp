// BLOCKS and ENTITIES: block definitions with their entities, the entities
// of model and paper space, and the *T block that shows each table.

#include "dxf_error.h"
#include "dxf_names.h"
#include "dxf_values.h"
#include "entity_codecs.h"
#include "host_xdata.h"
#include "sections.h"

namespace acdxf {

namespace {

constexpr std::string_view kUnloadedMarker = "UNLOADED";

// BLOCK flags.
constexpr int kBlockAnonymous = 1;
constexpr int kBlockHasAttributes = 2;
constexpr int kBlockXref = 4;
constexpr int kBlockOverlay = 8;
constexpr int kBlockResolved = 32;

// ---------------------------------------------------------------- writing

void writeEntity(DxfWriter& w, SavePlan& plan, const AcDbEntity& e, AcDbHandle handle,
                 AcDbHandle owner, bool paperSpace) {
    const EntityCodec* codec = codecForClass(e.isA());
    if (!codec)
        return; // a class no file format here knows; the drawing keeps it
    if (e.isA() == AcDbBlockReference::desc() &&
        !peek<AcDbBlockTableRecord>(static_cast<const AcDbBlockReference&>(e).blockTableRecord()))
        return; // a reference to no block cannot be read back by anyone
    EntityWriteContext ctx{w, plan, handle, owner, paperSpace};
    codec->write(e, ctx);
}

void writeEntitiesOf(DxfWriter& w, SavePlan& plan, AcDbObjectId blockId, bool paperSpace) {
    const auto* block = peek<AcDbBlockTableRecord>(blockId);
    if (!block)
        return;
    for (AcDbObjectId id : block->entityIds())
        if (const auto* e = peek<AcDbEntity>(id))
            writeEntity(w, plan, *e, id.handle(), block->handle(), paperSpace);
}

struct BlockHeader {
    std::string name;
    AcDbHandle record;
    AcGePoint3d origin;
    int flags = 0;
    std::string path, comments;
    bool unloadedMarker = false;
    bool paperSpace = false;
};

// BLOCK and ENDBLK open alike: a fresh handle, the block record as owner, layer 0.
void writeBlockMarkerStart(DxfWriter& w, SavePlan& plan, const BlockHeader& b, const char* type,
                           const char* subclass) {
    w.raw(0, type);
    w.handle(5, plan.handles().take());
    w.handle(330, b.record);
    w.raw(100, "AcDbEntity");
    if (b.paperSpace)
        w.integer(67, 1);
    w.raw(8, "0");
    w.raw(100, subclass);
}

void beginBlock(DxfWriter& w, SavePlan& plan, const BlockHeader& b) {
    writeBlockMarkerStart(w, plan, b, "BLOCK", "AcDbBlockBegin");
    w.text(2, b.name);
    w.integer(70, b.flags);
    w.point(10, b.origin);
    w.text(3, b.name);
    w.text(1, b.path);
    if (!b.comments.empty())
        w.text(4, b.comments);
    if (b.unloadedMarker)
        writeMarkerXdata(w, kUnloadedMarker);
}

void endBlock(DxfWriter& w, SavePlan& plan, const BlockHeader& b) {
    writeBlockMarkerStart(w, plan, b, "ENDBLK", "AcDbBlockEnd");
}

BlockHeader headerOf(const AcDbBlockTableRecord& block, SavePlan& plan) {
    BlockHeader b;
    b.name = block.getName();
    b.record = block.handle();
    b.origin = block.origin();
    b.path = block.pathName();
    b.comments = block.comments();
    b.paperSpace = block.objectId() == plan.paperSpace();
    if (block.isAnonymous())
        b.flags |= kBlockAnonymous;
    if (block.hasAttributeDefinitions())
        b.flags |= kBlockHasAttributes;
    if (block.isFromExternalReference()) {
        b.flags |= kBlockXref;
        // An external reference that is not unloaded is resolved.
        if (!block.isUnloaded())
            b.flags |= kBlockResolved;
    } else if (block.isUnloaded()) {
        b.unloadedMarker = true;
    }
    if (block.isFromOverlayReference())
        b.flags |= kBlockOverlay;
    return b;
}

// A table's graphics in the coordinates of its *T block: world coordinates
// moved so that the table's insertion point is the block's origin.
void writeTableBlock(DxfWriter& w, SavePlan& plan, const TableBlockPlan& t) {
    const auto* table = peek<AcDbTable>(t.table);
    BlockHeader b;
    b.name = t.name;
    b.record = t.record;
    b.flags = kBlockAnonymous;
    beginBlock(w, plan, b);
    if (table) {
        AcGeMatrix3d toBlock = AcGeMatrix3d::translation(-table->position().asVector());
        // One entity at a time: a huge table's graphics never sit in memory whole.
        table->forEachGraphic([&](const AcDbEntity& g) {
            std::unique_ptr<AcDbObject> copy(g.cloneObject());
            auto* e = AcDbEntity::cast(copy.get());
            if (e && e->transformBy(toBlock) == Acad::eOk)
                writeEntity(w, plan, *e, plan.handles().take(), t.record, false);
        });
    }
    endBlock(w, plan, b);
}

} // namespace

void writeBlocksSection(DxfWriter& w, SavePlan& plan) {
    w.raw(0, "SECTION");
    w.raw(2, "BLOCKS");
    for (AcDbObjectId id : plan.blocks()) {
        const auto* block = peek<AcDbBlockTableRecord>(id);
        BlockHeader b = headerOf(*block, plan);
        beginBlock(w, plan, b);
        // Model and paper space entities go to the ENTITIES section.
        if (!(id == plan.modelSpace()) && !(id == plan.paperSpace()))
            writeEntitiesOf(w, plan, id, false);
        endBlock(w, plan, b);
    }
    for (const TableBlockPlan& t : plan.tableBlocks())
        writeTableBlock(w, plan, t);
    w.raw(0, "ENDSEC");
}

void writeEntitiesSection(DxfWriter& w, SavePlan& plan) {
    w.raw(0, "SECTION");
    w.raw(2, "ENTITIES");
    writeEntitiesOf(w, plan, plan.modelSpace(), false);
    writeEntitiesOf(w, plan, plan.paperSpace(), true);
    w.raw(0, "ENDSEC");
}

// ---------------------------------------------------------------- reading

namespace {

// Block names of R12 files for the two spaces.
std::string modernName(std::string name) {
    if (sameName(name, "$MODEL_SPACE"))
        return "*Model_Space";
    if (sameName(name, "$PAPER_SPACE"))
        return "*Paper_Space";
    return name;
}

AcDbObjectId ensureBlockTable(DrawingReadState& state) {
    AcDbObjectId& table = state.ctx.roots().blockTable;
    if (table.isNull()) {
        auto* t = new AcDbBlockTable;
        table = state.ctx.addObject(t, AcDbHandle(), 0);
        t->close();
    }
    return table;
}

// The block of that name, made when the file has not defined it.
AcDbObjectId ensureBlock(DrawingReadState& state, const std::string& name, std::uint32_t line) {
    AcDbObjectPointer<AcDbBlockTable> table(ensureBlockTable(state), AcDb::kForWrite);
    AcDbObjectId id;
    if (table->getAt(name, id) == Acad::eOk)
        return id;
    auto* block = new AcDbBlockTableRecord;
    if (block->setName(name) != Acad::eOk) {
        delete block;
        throw DxfError(line, "block name \"" + name + "\" is not valid");
    }
    id = state.ctx.addRecord(table.object(), block, AcDbHandle(), line);
    block->close();
    return id;
}

HeldBlock* findHeld(DrawingReadState& state, AcDbHandle record, const std::string& name) {
    for (HeldBlock& h : state.heldBlocks)
        if ((!record.isNull() && h.record == record) || sameName(h.name, name))
            return &h;
    return nullptr;
}

void applyBlockRecord(AcDbBlockTableRecord& block, const DxfRecord& r, ReadContext& ctx) {
    AcGePoint3d origin;
    int flags = 0;
    for (const DxfToken& t : r.body) {
        switch (t.code) {
        case 10:
            origin.x = toReal(t);
            break;
        case 20:
            origin.y = toReal(t);
            break;
        case 30:
            origin.z = toReal(t);
            break;
        case 70:
            flags = toInt(t);
            break;
        case 1:
            block.setPathName(ctx.text(t.value));
            break;
        case 4:
            block.setComments(ctx.text(t.value));
            break;
        default:
            break;
        }
    }
    block.setOrigin(origin);
    bool xref = (flags & kBlockXref) != 0;
    block.setIsFromExternalReference(xref);
    block.setIsFromOverlayReference((flags & kBlockOverlay) != 0);
    block.setIsUnloaded((xref && !(flags & kBlockResolved)) || hasMarkerXdata(r, kUnloadedMarker));
}

// Keeps one block open for write while consecutive entities go to it.
class OpenBlock {
public:
    OpenBlock() = default;
    OpenBlock(const OpenBlock&) = delete;
    OpenBlock& operator=(const OpenBlock&) = delete;
    ~OpenBlock() { close(); }

    AcDbBlockTableRecord* get(AcDbObjectId id, std::uint32_t line) {
        if (m_block && id == m_id)
            return m_block;
        close();
        if (acdbOpenObject(m_block, id, AcDb::kForWrite) != Acad::eOk)
            throw DxfError(line, "cannot open the block that owns this entity");
        m_id = id;
        return m_block;
    }
    void close() {
        if (m_block)
            m_block->close();
        m_block = nullptr;
        m_id = AcDbObjectId();
    }

private:
    AcDbBlockTableRecord* m_block = nullptr;
    AcDbObjectId m_id;
};

// Reads entity records into block up to ENDBLK (which it consumes).
void readBlockContent(DxfRecordReader& in, DrawingReadState& state, AcDbObjectId blockId) {
    AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForWrite);
    if (!block)
        throw DxfError(state.lastLine, "cannot open a block to fill it");
    DxfRecord r;
    while (in.next(r)) {
        state.lastLine = r.line;
        if (r.type == "ENDBLK") {
            state.ctx.noteHandle(r.handleAt(5), "ENDBLK", r.line);
            return;
        }
        if (r.type == "ENDSEC" || r.type == "BLOCK" || r.type == "EOF")
            throw DxfError(r.line, "block \"" + block->getName() + "\" has no ENDBLK");
        readEntityInto(r, block.object(), state);
    }
    throw DxfError(state.lastLine,
                   "the file ends inside block \"" + block->getName() + "\" (is it cut short?)");
}

// Passes over the entities of a held block up to its ENDBLK.
void skipBlockContent(DxfRecordReader& in, DrawingReadState& state, const std::string& name) {
    DxfRecord r;
    while (in.next(r)) {
        state.lastLine = r.line;
        if (r.type == "ENDBLK")
            return;
        if (r.type == "ENDSEC" || r.type == "BLOCK" || r.type == "EOF")
            throw DxfError(r.line, "block \"" + name + "\" has no ENDBLK");
    }
    throw DxfError(state.lastLine,
                   "the file ends inside block \"" + name + "\" (is it cut short?)");
}

void readBlock(DxfRecordReader& in, DrawingReadState& state, const DxfRecord& r) {
    ReadContext& ctx = state.ctx;
    ctx.noteHandle(r.handleAt(5), "BLOCK", r.line);
    std::string name = modernName(ctx.text(r.first(2)));
    if (name.empty())
        throw DxfError(r.line, "BLOCK without a name");
    AcDbHandle owner = r.handleAt(330);

    HeldBlock* held = findHeld(state, owner, name);
    if (!held && isTableBlockName(name) &&
        !AcDbBlockTableRecord::cast(ctx.idOf(owner).objectLeftOpen())) {
        state.heldBlocks.push_back({name, AcDbHandle(), r.line, false, {}, {}});
        held = &state.heldBlocks.back();
    }
    if (held) {
        held->hasContent = true;
        held->content = in.position();
        held->blockRecord = r;
        skipBlockContent(in, state, name);
        return;
    }

    AcDbObjectId blockId = ctx.idOf(owner);
    if (!AcDbBlockTableRecord::cast(blockId.objectLeftOpen()))
        blockId = ensureBlock(state, name, r.line);
    {
        AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForWrite);
        if (block)
            applyBlockRecord(*block.object(), r, ctx);
    }
    readBlockContent(in, state, blockId);
}

} // namespace

bool readEntityInto(const DxfRecord& r, AcDbBlockTableRecord* block, DrawingReadState& state) {
    ReadContext& ctx = state.ctx;
    const EntityCodec* codec = codecForDxfName(r.type);
    if (!codec) {
        // An entity this host does not keep; its handle still counts.
        ctx.noteHandle(r.handleAt(5), r.type, r.line);
        return false;
    }
    std::unique_ptr<AcDbEntity> entity(codec->read(r, ctx));
    EntityPlacement at = readEntityCommon(r, *entity, ctx);
    ctx.noteHandle(at.handle, r.type, r.line);
    AcDbEntity* raw = entity.release();
    ctx.appendEntity(block, raw, at.handle, r.line);
    raw->close();
    return true;
}

void readBlocksSection(DxfRecordReader& in, DrawingReadState& state) {
    DxfRecord r;
    while (in.next(r)) {
        state.lastLine = r.line;
        if (r.type == "ENDSEC")
            return;
        if (r.type == "BLOCK")
            readBlock(in, state, r);
        else
            throw DxfError(r.line,
                           "expected BLOCK in the BLOCKS section, found " + std::string(r.type));
    }
    throw DxfError(state.lastLine, "the file ends inside the BLOCKS section (is it cut short?)");
}

void readEntitiesSection(DxfRecordReader& in, DrawingReadState& state) {
    ReadContext& ctx = state.ctx;
    AcDbObjectId modelSpace, paperSpace;
    OpenBlock open;
    DxfRecord r;
    while (in.next(r)) {
        state.lastLine = r.line;
        if (r.type == "ENDSEC")
            return;
        AcDbObjectId target = ctx.idOf(r.handleAt(330));
        if (!AcDbBlockTableRecord::cast(target.objectLeftOpen())) {
            const DxfToken* space = r.find(67);
            bool paper = space && toInt(*space) == 1;
            AcDbObjectId& cached = paper ? paperSpace : modelSpace;
            if (cached.isNull()) {
                open.close(); // making a block writes to the block table
                cached = ensureBlock(state, paper ? "*Paper_Space" : "*Model_Space", r.line);
            }
            target = cached;
        }
        readEntityInto(r, open.get(target, r.line), state);
    }
    throw DxfError(state.lastLine, "the file ends inside the ENTITIES section (is it cut short?)");
}

void completeBlocks(DxfRecordReader& in, DrawingReadState& state) {
    ReadContext& ctx = state.ctx;
    for (std::size_t i = 0; i < state.heldBlocks.size(); ++i) {
        HeldBlock& held = state.heldBlocks[i];
        if (ctx.isClaimedTableBlock(held.record, held.name))
            continue; // a table's graphics: the table draws them again
        AcDbObjectId blockId;
        {
            AcDbObjectPointer<AcDbBlockTable> table(ensureBlockTable(state), AcDb::kForWrite);
            AcDbObjectId existing;
            if (table->getAt(held.name, existing) == Acad::eOk) {
                ctx.alias(held.record, existing);
                continue;
            }
            auto* block = new AcDbBlockTableRecord;
            if (block->setName(held.name) != Acad::eOk) {
                delete block;
                throw DxfError(held.line, "block name \"" + held.name + "\" is not valid");
            }
            blockId = ctx.addRecord(table.object(), block, held.record, held.line);
            if (held.hasContent)
                applyBlockRecord(*block, held.blockRecord, ctx);
            block->close();
        }
        if (held.hasContent) {
            in.seek(held.content);
            readBlockContent(in, state, blockId);
        }
    }
}

} // namespace acdxf
