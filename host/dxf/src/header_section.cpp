// HEADER and CLASSES. The header carries the version, the handle seed and the
// settings other programs look for; CLASSES names the classes beyond the
// built-in entities (tables, table styles, layouts).

#include "dxf_values.h"
#include "sections.h"

namespace acdxf {

namespace {

void variable(DxfWriter& w, const char* name) {
    w.raw(9, name);
}

// How many objects of the database are tables and table styles.
struct ClassCounts {
    std::size_t tables = 0, styles = 0;
};

ClassCounts countClasses(const AcDbDatabase& db) {
    ClassCounts n;
    for (AcDbObjectId id : db.allObjectIds()) {
        AcDbObject* o = id.objectLeftOpen();
        if (AcDbTable::cast(o))
            ++n.tables;
        else if (AcDbTableStyle::cast(o))
            ++n.styles;
    }
    return n;
}

void writeClass(DxfWriter& w, const char* dxfName, const char* cppName, int proxyFlags,
                std::size_t count, bool entity) {
    w.raw(0, "CLASS");
    w.raw(1, dxfName);
    w.raw(2, cppName);
    w.raw(3, "ObjectDBX Classes");
    w.integer(90, proxyFlags);
    w.integer(91, static_cast<long long>(count));
    w.integer(280, 0);
    w.integer(281, entity ? 1 : 0);
}

} // namespace

void writeHeaderSection(DxfWriter& w, SavePlan& plan) {
    const AcDbDatabase& db = plan.db();
    w.raw(0, "SECTION");
    w.raw(2, "HEADER");
    variable(w, "$ACADVER");
    w.raw(1, "AC1018");
    variable(w, "$ACADMAINTVER");
    w.integer(70, 0);
    variable(w, "$DWGCODEPAGE");
    w.raw(3, "ANSI_1252");
    variable(w, "$INSBASE");
    w.point(10, AcGePoint3d::kOrigin);
    AcDbExtents ext = db.modelSpaceExtents();
    variable(w, "$EXTMIN");
    w.point(10, ext.isValid() ? ext.minPoint() : AcGePoint3d(1e20, 1e20, 1e20));
    variable(w, "$EXTMAX");
    w.point(10, ext.isValid() ? ext.maxPoint() : AcGePoint3d(-1e20, -1e20, -1e20));
    variable(w, "$LIMMIN");
    w.point2d(10, 0, 0);
    variable(w, "$LIMMAX");
    w.point2d(10, 12, 9);
    variable(w, "$TEXTSTYLE");
    w.raw(7, "Standard");
    variable(w, "$CLAYER");
    w.text(8, db.clayer());
    variable(w, "$CELTYPE");
    w.raw(6, "ByLayer");
    variable(w, "$CECOLOR");
    w.integer(62, 256);
    variable(w, "$LUNITS");
    w.integer(70, 2);
    variable(w, "$LUPREC");
    w.integer(70, 4);
    // Inches, as the host's default table sizes are.
    variable(w, "$INSUNITS");
    w.integer(70, 1);
    variable(w, "$MEASUREMENT");
    w.integer(70, 0);
    variable(w, "$HANDSEED");
    w.handle(5, plan.handles().seed());
    w.raw(0, "ENDSEC");
}

void writeClassesSection(DxfWriter& w, SavePlan& plan) {
    ClassCounts n = countClasses(plan.db());
    w.raw(0, "SECTION");
    w.raw(2, "CLASSES");
    writeClass(w, "LAYOUT", "AcDbLayout", 0, plan.layouts().size(), false);
    writeClass(w, "TABLESTYLE", "AcDbTableStyle", 4095, n.styles, false);
    writeClass(w, "ACAD_TABLE", "AcDbTable", 1025, n.tables, true);
    w.raw(0, "ENDSEC");
}

void readHeaderSection(const DxfRecord& section, DrawingReadState& state) {
    std::string_view variable;
    for (const DxfToken& t : section.body) {
        if (t.code == 9) {
            variable = t.value;
            continue;
        }
        if (variable == "$ACADVER" && t.code == 1) {
            state.header.version = std::string(t.value);
            // From AutoCAD 2007 on, DXF text is UTF-8.
            state.ctx.setEncoding(state.header.version >= "AC1021" ? DxfTextEncoding::kUtf8
                                                                   : DxfTextEncoding::kCodePage);
        } else if (variable == "$HANDSEED" && t.code == 5) {
            state.header.handseed = toHandle(t);
        } else if (variable == "$CLAYER" && t.code == 8) {
            state.header.currentLayer = state.ctx.text(t.value);
        }
    }
}

} // namespace acdxf
