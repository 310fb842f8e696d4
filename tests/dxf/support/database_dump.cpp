// A text dump of everything a database holds, read through the public
// interface only, so that two databases compare line by line.

#include "dxf/dxf_test_support.h"

#include <cstdio>
#include <sstream>

namespace dxftest {

namespace {

template <class T> const T* peekAs(AcDbObjectId id) {
    return T::cast(id.objectLeftOpen());
}

std::string num(double v) {
    char buf[40];
    // Twelve digits: angles pass through degrees in the file.
    std::snprintf(buf, sizeof buf, "%.12g", v == 0 ? 0.0 : v);
    return buf;
}

std::string pt(const AcGePoint3d& p) {
    return num(p.x) + "," + num(p.y) + "," + num(p.z);
}
std::string vec(const AcGeVector3d& v) {
    return num(v.x) + "," + num(v.y) + "," + num(v.z);
}
std::string ref(AcDbObjectId id) {
    return id.isNull() ? "null" : "#" + id.handle().toHex();
}

std::string color(const AcCmColor& c) {
    std::string s = "m" + std::to_string(c.colorMethod()) + "/i" + std::to_string(c.colorIndex());
    if (c.isByColor()) {
        AcCmRgb rgb = c.rgb();
        s += "/rgb" + std::to_string(rgb.red) + "." + std::to_string(rgb.green) + "." +
             std::to_string(rgb.blue);
    }
    return s;
}

class Dumper {
public:
    explicit Dumper(const AcDbDatabase& db) : m_db(db) {}

    std::string run() {
        line("clayer " + m_db.clayer());
        layers();
        linetypes();
        textStyles();
        blocks();
        if (const auto* nod = peekAs<AcDbDictionary>(m_db.namedObjectsDictionaryId()))
            dictionary("NOD", *nod, 0);
        return m_out.str();
    }

private:
    void line(const std::string& s) { m_out << s << '\n'; }

    template <class R> std::vector<const R*> records(AcDbObjectId tableId) {
        std::vector<const R*> out;
        if (const auto* t = peekAs<AcDbSymbolTable>(tableId))
            for (AcDbObjectId id : t->recordIds())
                if (const auto* r = peekAs<R>(id))
                    out.push_back(r);
        return out;
    }

    void layers() {
        for (const auto* r : records<AcDbLayerTableRecord>(m_db.layerTableId()))
            line("layer " + ref(r->objectId()) + " " + r->getName() + " " + color(r->color()) +
                 " lt=" + r->linetype() + " lw=" + std::to_string(r->lineWeight()) +
                 " off=" + std::to_string(r->isOff()) + " frozen=" + std::to_string(r->isFrozen()) +
                 " locked=" + std::to_string(r->isLocked()));
    }

    void linetypes() {
        for (const auto* r : records<AcDbLinetypeTableRecord>(m_db.linetypeTableId())) {
            std::string dashes;
            for (double d : r->dashes())
                dashes += num(d) + " ";
            line("ltype " + ref(r->objectId()) + " " + r->getName() + " '" + r->comments() + "' " +
                 dashes);
        }
    }

    void textStyles() {
        for (const auto* r : records<AcDbTextStyleTableRecord>(m_db.textStyleTableId()))
            line("style " + ref(r->objectId()) + " " + r->getName() +
                 " size=" + num(r->textSize()) + " x=" + num(r->xScale()) +
                 " obl=" + num(r->obliquingAngle()) + " font=" + r->fileName() +
                 " big=" + r->bigFontFileName());
    }

    void blocks() {
        for (const auto* b : records<AcDbBlockTableRecord>(m_db.blockTableId())) {
            line("block " + ref(b->objectId()) + " " + b->getName() + " origin=" + pt(b->origin()) +
                 " comments='" + b->comments() +
                 "' xref=" + std::to_string(b->isFromExternalReference()) +
                 " overlay=" + std::to_string(b->isFromOverlayReference()) +
                 " unloaded=" + std::to_string(b->isUnloaded()) + " path=" + b->pathName());
            for (AcDbObjectId id : b->entityIds())
                if (const auto* e = peekAs<AcDbEntity>(id))
                    entity(*e);
        }
    }

    void entity(const AcDbEntity& e) {
        line("  " + std::string(e.isA()->name()) + " " + ref(e.objectId()) +
             " owner=" + ref(e.ownerId()) + " layer=" + e.layer() + " lt=" + e.linetype() + " " +
             color(e.color()) + " lw=" + std::to_string(e.lineWeight()));
        if (const auto* t = AcDbTable::cast(const_cast<AcDbEntity*>(&e)))
            return table(*t);
        if (const auto* a = AcDbAttributeDefinition::cast(const_cast<AcDbEntity*>(&e))) {
            line("    tag=" + a->tag() + " prompt='" + a->prompt() +
                 "' constant=" + std::to_string(a->isConstant()) +
                 " invisible=" + std::to_string(a->isInvisible()));
        }
        if (const auto* t = AcDbText::cast(const_cast<AcDbEntity*>(&e))) {
            line("    pos=" + pt(t->position()) + " align=" + pt(t->alignmentPoint()) + " '" +
                 t->textString() + "' h=" + num(t->height()) + " rot=" + num(t->rotation()) +
                 " w=" + num(t->widthFactor()) + " style=" + ref(t->textStyle()) + " hm=" +
                 std::to_string(t->horizontalMode()) + " vm=" + std::to_string(t->verticalMode()));
        } else if (const auto* l = AcDbLine::cast(const_cast<AcDbEntity*>(&e))) {
            line("    " + pt(l->startPoint()) + " " + pt(l->endPoint()));
        } else if (const auto* r = AcDbRay::cast(const_cast<AcDbEntity*>(&e))) {
            line("    " + pt(r->basePoint()) + " dir=" + vec(r->unitDir()));
        } else if (const auto* p = AcDbPolyline::cast(const_cast<AcDbEntity*>(&e))) {
            std::string s = "    closed=" + std::to_string(p->isClosed()) +
                            " elev=" + num(p->elevation()) + " width=" + num(p->constantWidth());
            for (const AcGePoint2d& v : p->vertices())
                s += " " + num(v.x) + "," + num(v.y);
            line(s);
        } else if (const auto* m = AcDbMText::cast(const_cast<AcDbEntity*>(&e))) {
            line("    " + pt(m->location()) + " '" + m->contents() + "' h=" + num(m->textHeight()) +
                 " w=" + num(m->width()) + " att=" + std::to_string(m->attachment()) +
                 " dir=" + vec(m->direction()) + " style=" + ref(m->textStyle()));
        } else if (const auto* s = AcDbSolid::cast(const_cast<AcDbEntity*>(&e))) {
            std::string out = "   ";
            for (int i = 0; i < 4; ++i) {
                AcGePoint3d p;
                s->getPointAt(i, p);
                out += " " + pt(p);
            }
            line(out);
        } else if (const auto* b = AcDbBlockReference::cast(const_cast<AcDbEntity*>(&e))) {
            line("    block=" + ref(b->blockTableRecord()) + " pos=" + pt(b->position()) +
                 " scale=" + vec(b->scaleFactors()) + " rot=" + num(b->rotation()) +
                 " normal=" + vec(b->normal()));
        }
    }

    void table(const AcDbTable& t) {
        int rows = t.rowCount(), cols = t.columnCount();
        line("    table pos=" + pt(t.position()) + " dir=" + vec(t.direction()) + " style=" +
             ref(t.tableStyle()) + " size=" + std::to_string(rows) + "x" + std::to_string(cols) +
             " margins=" + num(t.horizontalCellMargin()) + "/" + num(t.verticalCellMargin()) +
             " marginOverride=" + std::to_string(t.isHorizontalMarginOverridden()) +
             std::to_string(t.isVerticalMarginOverridden()) + " normal=" + vec(t.normal()) +
             " scale=" + vec(t.scaleFactors()) + " rot=" + num(t.rotation()));
        std::string hs = "    heights", ws = "    widths";
        for (int r = 0; r < rows; ++r)
            hs += " " + num(t.rowHeight(r)) + "(" + num(t.storedRowHeight(r)) + ")";
        for (int c = 0; c < cols; ++c)
            ws += " " + num(t.columnWidth(c));
        line(hs);
        line(ws);
        for (const AcDbTable::Range& m : t.mergedRanges())
            line("    merged " + std::to_string(m.minRow) + ".." + std::to_string(m.maxRow) + "," +
                 std::to_string(m.minCol) + ".." + std::to_string(m.maxCol));
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < cols; ++c)
                cell(t, r, c);
    }

    void cell(const AcDbTable& t, int r, int c) {
        std::string overrides;
        for (int p = 0; p < AcDbTable::kCellPropertyCount; ++p)
            overrides += t.isCellPropertyOverridden(r, c, static_cast<AcDbTable::CellProperty>(p))
                             ? '1'
                             : '0';
        std::string s = "    cell " + std::to_string(r) + "," + std::to_string(c) +
                        " type=" + std::to_string(t.cellType(r, c)) + " ov=" + overrides +
                        " style=" + ref(t.textStyle(r, c)) + " h=" + num(t.textHeight(r, c)) +
                        " text=" + color(t.textColor(r, c)) +
                        " align=" + std::to_string(t.cellAlignment(r, c)) +
                        " fill=" + color(t.fillColor(r, c)) +
                        " none=" + std::to_string(t.isFillNone(r, c));
        if (t.cellType(r, c) == AcDb::kBlockCell) {
            s += " block=" + ref(t.cellBlock(r, c)) +
                 " fit=" + std::to_string(t.cellBlockAutoFit(r, c)) +
                 " scale=" + num(t.cellBlockScale(r, c)) + " rot=" + num(t.cellBlockRotation(r, c));
            for (const auto& [id, value] : t.cellBlockAttributeValues(r, c))
                s += " att" + ref(id) + "='" + value + "'";
            s += " former '" + t.textString(r, c) + "'";
        } else {
            s += " '" + t.textString(r, c) + "'";
        }
        line(s);
        static const AcDb::CellEdgeMask edges[4] = {AcDb::kTopMask, AcDb::kRightMask,
                                                    AcDb::kBottomMask, AcDb::kLeftMask};
        std::string e = "     ";
        for (AcDb::CellEdgeMask edge : edges) {
            e += " [" + std::to_string(t.edgeVisibility(r, c, edge)) + " " +
                 color(t.edgeColor(r, c, edge)) + " " +
                 std::to_string(t.edgeLineWeight(r, c, edge)) + " ";
            for (auto p :
                 {AcDbTable::kEdgeVisibility, AcDbTable::kEdgeColor, AcDbTable::kEdgeLineWeight})
                e += t.isEdgePropertyOverridden(r, c, edge, p) ? '1' : '0';
            e += "]";
        }
        line(e);
        // The cell's own segments, inner ones of merged regions included.
        std::string g = "      grid";
        for (AcDb::CellEdgeMask edge : edges) {
            AcDbTable::GridEdge seg = t.gridEdge(r, c, edge);
            g += " [" + std::to_string(seg.visibility) + " " + color(seg.color) + " " +
                 std::to_string(seg.lineWeight) + " " + std::to_string(seg.overridden) + "]";
        }
        line(g);
    }

    void dictionary(const std::string& name, const AcDbDictionary& d, int depth) {
        std::string indent(static_cast<std::size_t>(depth) * 2, ' ');
        line(indent + "dict " + name + " " + ref(d.objectId()) + " owner=" + ref(d.ownerId()));
        for (const auto& [entry, id] : d.entries()) {
            AcDbObject* o = id.objectLeftOpen();
            if (const auto* child = AcDbDictionary::cast(o))
                dictionary(entry, *child, depth + 1);
            else if (const auto* style = AcDbTableStyle::cast(o))
                tableStyle(entry, *style, indent + "  ");
            else
                line(indent + "  entry " + entry + " " + ref(id) + " " +
                     (o ? o->isA()->name() : "missing"));
        }
    }

    void tableStyle(const std::string& entry, const AcDbTableStyle& s, const std::string& indent) {
        line(indent + "tablestyle " + entry + " " + ref(s.objectId()) +
             " owner=" + ref(s.ownerId()) + " name=" + s.name() + " desc='" + s.description() +
             "' flow=" + std::to_string(s.flowDirection()) + " margins=" + num(s.horzCellMargin()) +
             "/" + num(s.vertCellMargin()) + " suppress=" + std::to_string(s.isTitleSuppressed()) +
             std::to_string(s.isHeaderSuppressed()));
        for (AcDb::RowType type : {AcDb::kTitleRow, AcDb::kHeaderRow, AcDb::kDataRow}) {
            const AcDbCellFormat& f = s.cellFormat(type);
            std::string out = indent + "  format" + std::to_string(type) +
                              " style=" + ref(f.textStyle) + " h=" + num(f.textHeight) +
                              " align=" + std::to_string(f.alignment) +
                              " text=" + color(f.textColor) + " fill=" + color(f.fillColor) +
                              " none=" + std::to_string(f.fillNone);
            for (const AcDbGridFormat& g : f.grid)
                out += " [" + color(g.color) + " " + std::to_string(g.lineWeight) + " " +
                       std::to_string(g.visibility) + "]";
            line(out);
        }
    }

    const AcDbDatabase& m_db;
    std::ostringstream m_out;
};

} // namespace

std::string dumpDatabase(const AcDbDatabase& db) {
    return Dumper(db).run();
}

} // namespace dxftest
