// OBJECTS: the named object dictionary and every dictionary and table style
// below it, plus the layouts a drawing file needs (ACAD_LAYOUT), which the
// database does not keep: they are made on writing and left out on reading.

#include "dxf_error.h"
#include "dxf_names.h"
#include "dxf_values.h"
#include "sections.h"
#include "tablestyle_codec.h"

#include <unordered_set>

namespace acdxf {

namespace {

constexpr std::string_view kLayoutDictionary = "ACAD_LAYOUT";
constexpr int kMaxDictionaryDepth = 64;

// ---------------------------------------------------------------- writing

bool isWritableObject(const AcDbObject* o) {
    return o && !o->isErased() &&
           (AcDbDictionary::cast(const_cast<AcDbObject*>(o)) ||
            AcDbTableStyle::cast(const_cast<AcDbObject*>(o)));
}

class ObjectsWriter {
public:
    ObjectsWriter(DxfWriter& w, SavePlan& plan) : m_w(w), m_plan(plan) {}

    void write() {
        const auto* nod = peek<AcDbDictionary>(m_plan.db().namedObjectsDictionaryId());
        AcDbHandle root = nod ? nod->handle() : m_plan.handles().take();
        writeDictionary(nod, root, AcDbHandle(), true, 0);
        writeLayouts(root);
        writeStylesOnlyTablesKnow();
    }

private:
    void writeDictionary(const AcDbDictionary* dict, AcDbHandle handle, AcDbHandle owner, bool root,
                         int depth) {
        std::vector<std::pair<std::string, AcDbObjectId>> entries;
        if (dict)
            for (auto& [name, id] : dict->entries())
                if (isWritableObject(id.objectLeftOpen()) && !m_written.count(id) &&
                    !(root && sameName(name, kLayoutDictionary)))
                    entries.emplace_back(name, id);
        m_w.raw(0, "DICTIONARY");
        m_w.handle(5, handle);
        if (!root) {
            m_w.raw(102, "{ACAD_REACTORS");
            m_w.handle(330, owner);
            m_w.raw(102, "}");
        }
        m_w.handle(330, owner);
        m_w.raw(100, "AcDbDictionary");
        if (root)
            m_w.integer(280, 0);
        m_w.integer(281, 1);
        if (root) {
            m_w.raw(3, kLayoutDictionary);
            m_w.handle(350, m_plan.layoutDictionary());
        }
        for (const auto& [name, id] : entries) {
            m_w.text(3, name);
            m_w.handle(350, id.handle());
        }
        for (const auto& [name, id] : entries)
            m_written.insert(id);
        if (depth >= kMaxDictionaryDepth)
            return;
        for (const auto& [name, id] : entries) {
            AcDbObject* o = id.objectLeftOpen();
            if (auto* child = AcDbDictionary::cast(o))
                writeDictionary(child, id.handle(), handle, false, depth + 1);
            else if (auto* style = AcDbTableStyle::cast(o))
                writeTableStyle(m_w, *style, id.handle(), handle);
        }
    }

    void writeLayouts(AcDbHandle root) {
        AcDbHandle dict = m_plan.layoutDictionary();
        writeOwnedObjectStart(m_w, "DICTIONARY", dict, root, "AcDbDictionary");
        m_w.integer(281, 1);
        for (const LayoutPlan& l : m_plan.layouts()) {
            m_w.raw(3, l.name);
            m_w.handle(350, l.handle);
        }
        for (const LayoutPlan& l : m_plan.layouts())
            writeLayout(l, dict);
    }

    void writeLayout(const LayoutPlan& l, AcDbHandle dict) {
        DxfWriter& w = m_w;
        bool model = l.tabOrder == 0;
        writeOwnedObjectStart(w, "LAYOUT", l.handle, dict, "AcDbPlotSettings");
        w.raw(1, "");
        w.raw(2, "none_device");
        w.raw(4, "");
        w.raw(6, "");
        for (int code = 40; code <= 49; ++code)
            w.real(code, 0);
        w.real(140, 0);
        w.real(141, 0);
        w.real(142, 1);
        w.real(143, 1);
        w.integer(70, model ? 1712 : 688);
        w.integer(72, 0);
        w.integer(73, 0);
        w.integer(74, 5);
        w.raw(7, "");
        w.integer(75, 16);
        w.integer(76, 0);
        w.integer(77, 2);
        w.integer(78, 300);
        w.real(147, 1);
        w.real(148, 0);
        w.real(149, 0);
        w.raw(100, "AcDbLayout");
        w.text(1, l.name);
        w.integer(70, 1);
        w.integer(71, l.tabOrder);
        w.point2d(10, 0, 0);
        w.point2d(11, 12, 9);
        w.point(12, AcGePoint3d::kOrigin);
        w.point(14, AcGePoint3d(1e20, 1e20, 1e20));
        w.point(15, AcGePoint3d(-1e20, -1e20, -1e20));
        w.real(146, 0);
        w.point(13, AcGePoint3d::kOrigin);
        w.vector(16, AcGeVector3d(1, 0, 0));
        w.vector(17, AcGeVector3d(0, 1, 0));
        w.integer(76, 0);
        w.handle(330, peek<AcDbBlockTableRecord>(l.block)->handle());
    }

    // Styles that tables use but no dictionary holds any more.
    void writeStylesOnlyTablesKnow() {
        AcDbHandle owner = m_plan.db().tableStyleDictionaryId().handle();
        for (const TableBlockPlan& t : m_plan.tableBlocks()) {
            const auto* table = peek<AcDbTable>(t.table);
            AcDbObjectId styleId = table ? table->tableStyle() : AcDbObjectId();
            const auto* style = peek<AcDbTableStyle>(styleId);
            if (style && m_written.insert(styleId).second)
                writeTableStyle(m_w, *style, styleId.handle(), owner);
        }
    }

    DxfWriter& m_w;
    SavePlan& m_plan;
    std::unordered_set<AcDbObjectId> m_written;
};

} // namespace

void writeObjectsSection(DxfWriter& w, SavePlan& plan) {
    w.raw(0, "SECTION");
    w.raw(2, "OBJECTS");
    ObjectsWriter(w, plan).write();
    w.raw(0, "ENDSEC");
}

// ---------------------------------------------------------------- reading

namespace {

bool isDictionaryType(std::string_view type) {
    return type == "DICTIONARY" || type == "ACDBDICTIONARYWDFLT";
}

void readDictionaryEntries(const DxfRecord& r, PendingObject& p, ReadContext& ctx) {
    std::string name;
    bool haveName = false;
    for (const DxfToken& t : r.body) {
        if (t.code == 3) {
            name = ctx.text(t.value);
            haveName = true;
        } else if ((t.code == 350 || t.code == 360) && haveName) {
            p.entries.emplace_back(std::move(name), toHandle(t));
            haveName = false;
        }
    }
}

} // namespace

void readObjectsSection(DxfRecordReader& in, DrawingReadState& state) {
    ReadContext& ctx = state.ctx;
    DxfRecord r;
    while (in.next(r)) {
        state.lastLine = r.line;
        if (r.type == "ENDSEC")
            return;
        AcDbHandle handle = r.handleAt(5);
        ctx.noteHandle(handle, r.type, r.line);
        if (handle.isNull())
            continue; // nothing can refer to it
        PendingObject p;
        p.type = r.type;
        p.line = r.line;
        p.owner = r.handleAt(330);
        if (isDictionaryType(r.type)) {
            readDictionaryEntries(r, p, ctx);
            if (state.rootDictionary.isNull())
                state.rootDictionary = handle; // the first object is the root
        } else if (r.type == "TABLESTYLE") {
            p.object = readTableStyle(r, ctx);
        } else {
            continue;
        }
        state.objects.emplace(handle.value(), std::move(p));
    }
    throw DxfError(state.lastLine, "the file ends inside the OBJECTS section (is it cut short?)");
}

namespace {

// Places the dictionaries and styles reachable from the root, in the order
// their dictionaries list them.
class ObjectTreeBuilder {
public:
    explicit ObjectTreeBuilder(DrawingReadState& state) : m_state(state), m_ctx(state.ctx) {}

    AcDbObjectId buildRoot() {
        auto it = m_state.objects.find(m_state.rootDictionary.value());
        if (m_state.rootDictionary.isNull() || it == m_state.objects.end() ||
            !isDictionaryType(it->second.type)) {
            auto* nod = new AcDbDictionary;
            AcDbObjectId id = m_ctx.addObject(nod, AcDbHandle(), 0);
            nod->close();
            return id;
        }
        AcDbObject* nod = place(m_state.rootDictionary, it->second, "", 0, true);
        AcDbObjectId id = nod->objectId();
        nod->close();
        return id;
    }

    // Styles no dictionary holds, which tables may still use.
    void placeLooseStyles() {
        for (auto& [handle, p] : m_state.objects)
            if (!p.placed && p.object && AcDbTableStyle::cast(p.object.get())) {
                p.placed = true;
                AcDbObject* obj = p.object.release();
                m_ctx.addObject(obj, AcDbHandle(handle), p.line);
                obj->close();
            }
    }

private:
    // Adds the pending object to the database and, for a dictionary,
    // everything below it. The object is left open for write.
    AcDbObject* place(AcDbHandle handle, PendingObject& p, const std::string& name, int depth,
                      bool root) {
        if (depth > kMaxDictionaryDepth)
            throw DxfError(p.line, "dictionaries are nested too deeply");
        p.placed = true;
        AcDbObject* obj = p.object ? p.object.release() : new AcDbDictionary;
        if (auto* style = AcDbTableStyle::cast(obj); style && !name.empty())
            style->setName(name);
        m_ctx.addObject(obj, handle, p.line);
        if (auto* dict = AcDbDictionary::cast(obj))
            fill(*dict, p, depth, root);
        return obj;
    }

    void fill(AcDbDictionary& dict, PendingObject& p, int depth, bool root) {
        for (auto& [name, child] : p.entries) {
            if (root && sameName(name, kLayoutDictionary))
                continue; // layouts are made again on saving
            auto it = m_state.objects.find(child.value());
            if (it == m_state.objects.end()) {
                if (!child.isNull() && !m_ctx.fileHasHandle(child))
                    throw DxfError(p.line, "dictionary entry \"" + name + "\" refers to handle " +
                                               child.toHex() + ", which no object in the file has");
                continue; // an object this host does not keep
            }
            if (it->second.placed || dict.has(name))
                continue; // listed twice: the first listing owns it
            if (holdsOnlyObjectsNotKept(it->second))
                continue; // written empty, it would promise entries it lacks
            AcDbObject* childObj = place(child, it->second, name, depth + 1, false);
            AcDbObjectId ignored;
            dict.setAt(name, childObj, ignored);
            childObj->close();
        }
    }

    // A dictionary whose entries all name objects this host does not keep
    // (plot style names, materials, ...): other readers expect those entries
    // when the dictionary is there, so it is left out as a whole.
    bool holdsOnlyObjectsNotKept(const PendingObject& p) const {
        if (!isDictionaryType(p.type) || p.entries.empty())
            return false;
        for (const auto& entry : p.entries)
            if (m_state.objects.count(entry.second.value()))
                return false;
        return true;
    }

    DrawingReadState& m_state;
    ReadContext& m_ctx;
};

// The dictionaries and the style every drawing has.
void ensureStandardObjects(ReadContext& ctx, AcDbObjectId rootId) {
    AcDbObjectPointer<AcDbDictionary> root(rootId, AcDb::kForWrite);
    if (!root)
        return;
    AcDbObjectId id;
    if (!root->has("ACAD_GROUP")) {
        auto* groups = new AcDbDictionary;
        root->setAt("ACAD_GROUP", groups, id);
        groups->close();
    }
    AcDbObjectId stylesId;
    if (root->getAt("ACAD_TABLESTYLE", stylesId) != Acad::eOk) {
        auto* styles = new AcDbDictionary;
        root->setAt("ACAD_TABLESTYLE", styles, stylesId);
        styles->close();
    }
    AcDbObjectPointer<AcDbDictionary> styles(stylesId, AcDb::kForWrite);
    if (styles && styles->numEntries() == 0) {
        auto* standard = new AcDbTableStyle;
        standard->setName("Standard");
        AcDbObjectId textStyle;
        if (const auto* table =
                AcDbTextStyleTable::cast(ctx.roots().textStyleTable.objectLeftOpen()))
            table->getAt("Standard", textStyle);
        standard->setTextStyle(textStyle, AcDb::kTitleRow | AcDb::kHeaderRow | AcDb::kDataRow);
        styles->setAt("Standard", standard, id);
        standard->close();
    }
}

} // namespace

void completeObjects(DrawingReadState& state) {
    ObjectTreeBuilder builder(state);
    AcDbObjectId root = builder.buildRoot();
    builder.placeLooseStyles();
    state.ctx.roots().namedObjects = root;
    ensureStandardObjects(state.ctx, root);
}

} // namespace acdxf
