// Codecs of the plain entities: LINE, RAY, LWPOLYLINE, TEXT, ATTDEF, MTEXT,
// SOLID and INSERT, plus what every entity shares.

#include "entity_codecs.h"

#include "dxf_color.h"
#include "dxf_error.h"
#include "dxf_text.h"
#include "dxf_values.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace acdxf {

namespace {

double radians(const DxfToken& t) {
    return static_cast<double>(static_cast<long double>(toReal(t)) *
                               std::numbers::pi_v<long double> / 180.0L);
}

// Collects the x, y, z codes of one point (base code 10, 11 ...).
bool takePoint(const DxfToken& t, int base, AcGePoint3d& p) {
    if (t.code == base)
        p.x = toReal(t);
    else if (t.code == base + 10)
        p.y = toReal(t);
    else if (t.code == base + 20)
        p.z = toReal(t);
    else
        return false;
    return true;
}

bool takeVector(const DxfToken& t, int base, AcGeVector3d& v) {
    AcGePoint3d p(v.x, v.y, v.z);
    if (!takePoint(t, base, p))
        return false;
    v = p.asVector();
    return true;
}

// Index of the first token after the AcDbEntity part (0 without markers).
std::size_t bodyStart(const DxfRecord& r) {
    for (std::size_t i = 0; i < r.body.size(); ++i)
        if (r.body[i].code == 100 && r.body[i].value != "AcDbEntity")
            return i;
    return 0;
}

// Splits an encoded value into pieces of at most 250 characters without
// cutting an escape ("\U+XXXX", "^J") or a UTF-8 sequence in two.
std::vector<std::string_view> chunks(std::string_view s) {
    std::vector<std::string_view> out;
    constexpr std::size_t kChunk = 250;
    while (s.size() > kChunk) {
        std::size_t cut = kChunk;
        for (std::size_t back = 1; back <= 6 && back <= cut; ++back) {
            std::size_t at = cut - back;
            if (s[at] == '\\' && at + 2 < s.size() && (s[at + 1] == 'U' || s[at + 1] == 'u') &&
                s[at + 2] == '+' && at + 7 > cut) {
                cut = at;
                break;
            }
        }
        if (cut > 0 && s[cut - 1] == '^')
            --cut;
        while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80)
            --cut;
        if (cut == 0)
            cut = kChunk;
        out.push_back(s.substr(0, cut));
        s.remove_prefix(cut);
    }
    out.push_back(s);
    return out;
}

} // namespace

void writeLongText(DxfWriter& w, int chunkCode, int lastCode, std::string_view utf8) {
    std::string encoded;
    encodeDxfText(utf8, encoded);
    auto parts = chunks(encoded);
    for (std::size_t i = 0; i + 1 < parts.size(); ++i)
        w.raw(chunkCode, parts[i]);
    w.raw(lastCode, parts.back());
}

// ---------------------------------------------------------------- common

std::string textStyleName(AcDbObjectId id) {
    const auto* style = peek<AcDbTextStyleTableRecord>(id);
    return style ? style->getName() : std::string();
}

AcDbObjectId findTextStyle(ReadContext& ctx, const std::string& name) {
    AcDbObjectId id;
    if (const auto* table = AcDbTextStyleTable::cast(ctx.roots().textStyleTable.objectLeftOpen()))
        table->getAt(name, id);
    return id;
}

void writeEntityStart(const char* dxfName, const AcDbEntity& e, EntityWriteContext& ctx) {
    DxfWriter& w = ctx.w;
    w.raw(0, dxfName);
    w.handle(5, ctx.handle);
    w.handle(330, ctx.owner);
    w.raw(100, "AcDbEntity");
    if (ctx.paperSpace)
        w.integer(67, 1);
    w.text(8, e.layer());
    if (e.linetype() != "ByLayer")
        w.text(6, e.linetype());
    const AcCmColor& color = e.color();
    if (!color.isByLayer())
        w.integer(62, colorNumber(color));
    if (std::int32_t rgb = trueColorValue(color); rgb >= 0)
        w.integer(420, rgb);
    if (e.lineWeight() != AcDb::kLnWtByLayer)
        w.integer(370, e.lineWeight());
}

EntityPlacement readEntityCommon(const DxfRecord& r, AcDbEntity& e, ReadContext& ctx) {
    EntityPlacement at;
    std::size_t end = bodyStart(r);
    if (end == 0)
        end = r.body.size();
    bool haveOwner = false;
    AcCmColor color;
    bool haveTrueColor = false;
    for (std::size_t i = 0; i < end; ++i) {
        const DxfToken& t = r.body[i];
        switch (t.code) {
        case 5:
            at.handle = toHandle(t);
            break;
        case 330:
            if (!haveOwner)
                at.owner = toHandle(t);
            haveOwner = true;
            break;
        case 67:
            at.paperSpace = toInt(t) == 1;
            break;
        case 8:
            if (!t.value.empty())
                e.setLayer(ctx.text(t.value));
            break;
        case 6:
            if (!t.value.empty())
                e.setLinetype(ctx.text(t.value));
            break;
        case 62:
            if (!haveTrueColor)
                color = colorFromNumber(toInt(t));
            break;
        case 420:
            color = colorFromTrueColor(toInt64(t));
            haveTrueColor = true;
            break;
        case 370: {
            int lw = toInt(t);
            if (AcDb::isValidLineWeight(lw))
                e.setLineWeight(static_cast<AcDb::LineWeight>(lw));
            break;
        }
        default:
            break;
        }
    }
    e.setColor(color);
    return at;
}

void writeBlockReferencePart(DxfWriter& w, const AcDbBlockReference& ref,
                             const std::string& blockName) {
    w.raw(100, "AcDbBlockReference");
    w.text(2, blockName);
    w.point(10, ref.position());
    const AcGeVector3d& s = ref.scaleFactors();
    if (s.x != 1 || s.y != 1 || s.z != 1) {
        w.real(41, s.x);
        w.real(42, s.y);
        w.real(43, s.z);
    }
    if (ref.rotation() != 0)
        w.angle(50, ref.rotation());
    if (ref.normal().x != 0 || ref.normal().y != 0 || ref.normal().z != 1)
        w.vector(210, ref.normal());
}

bool BlockReferencePart::take(const DxfToken& t, ReadContext& ctx) {
    if (takePoint(t, 10, position) || takeVector(t, 210, normal))
        return true;
    switch (t.code) {
    case 2:
        blockName = ctx.text(t.value);
        return true;
    case 41:
        scale.x = toReal(t);
        return true;
    case 42:
        scale.y = toReal(t);
        return true;
    case 43:
        scale.z = toReal(t);
        return true;
    case 50:
        rotation = radians(t);
        return true;
    default:
        return false;
    }
}

void BlockReferencePart::applyTo(AcDbBlockReference& ref) const {
    if (rotation)
        ref.setRotation(*rotation);
    ref.setPosition(position);
    ref.setScaleFactors(scale);
    if (!normal.isZeroLength())
        ref.setNormal(normal);
}

// ---------------------------------------------------------------- LINE

namespace {

// Sets the style now when the styles are read, else once they are.
template <class E> void setTextStyleByName(ReadContext& ctx, E& entity, const std::string& name) {
    if (name.empty())
        return;
    if (!ctx.roots().textStyleTable.isNull()) {
        entity.setTextStyle(findTextStyle(ctx, name));
        return;
    }
    ctx.later([&ctx, &entity, name] {
        AcDbObjectPointer<E> open(entity.objectId(), AcDb::kForWrite);
        if (open)
            open->setTextStyle(findTextStyle(ctx, name));
    });
}

void writeLine(const AcDbEntity& e, EntityWriteContext& ctx) {
    const auto& line = static_cast<const AcDbLine&>(e);
    writeEntityStart("LINE", e, ctx);
    ctx.w.raw(100, "AcDbLine");
    ctx.w.point(10, line.startPoint());
    ctx.w.point(11, line.endPoint());
}

AcDbEntity* readLine(const DxfRecord& r, ReadContext&) {
    AcGePoint3d a, b;
    for (std::size_t i = bodyStart(r); i < r.body.size(); ++i)
        takePoint(r.body[i], 10, a) || takePoint(r.body[i], 11, b);
    return new AcDbLine(a, b);
}

// ---------------------------------------------------------------- RAY

void writeRay(const AcDbEntity& e, EntityWriteContext& ctx) {
    const auto& ray = static_cast<const AcDbRay&>(e);
    writeEntityStart("RAY", e, ctx);
    ctx.w.raw(100, "AcDbRay");
    ctx.w.point(10, ray.basePoint());
    ctx.w.vector(11, ray.unitDir());
}

AcDbEntity* readRay(const DxfRecord& r, ReadContext&) {
    AcGePoint3d base;
    AcGeVector3d dir(1, 0, 0);
    for (std::size_t i = bodyStart(r); i < r.body.size(); ++i)
        takePoint(r.body[i], 10, base) || takeVector(r.body[i], 11, dir);
    auto* ray = new AcDbRay;
    ray->setBasePoint(base);
    if (!dir.isZeroLength())
        ray->setUnitDir(dir.normal());
    return ray;
}

// ---------------------------------------------------------------- LWPOLYLINE

void writePolyline(const AcDbEntity& e, EntityWriteContext& ctx) {
    const auto& pl = static_cast<const AcDbPolyline&>(e);
    DxfWriter& w = ctx.w;
    writeEntityStart("LWPOLYLINE", e, ctx);
    w.raw(100, "AcDbPolyline");
    w.integer(90, pl.numVerts());
    w.integer(70, pl.isClosed() ? 1 : 0);
    w.real(43, pl.constantWidth());
    if (pl.elevation() != 0)
        w.real(38, pl.elevation());
    for (const AcGePoint2d& p : pl.vertices())
        w.point2d(10, p.x, p.y);
}

AcDbEntity* readPolyline(const DxfRecord& r, ReadContext&) {
    auto* pl = new AcDbPolyline;
    unsigned n = 0;
    AcGePoint2d pending;
    bool havePending = false;
    auto flush = [&] {
        if (havePending)
            pl->addVertexAt(n++, pending);
        havePending = false;
    };
    try {
        for (std::size_t i = bodyStart(r); i < r.body.size(); ++i) {
            const DxfToken& t = r.body[i];
            switch (t.code) {
            case 10:
                flush();
                pending = AcGePoint2d(toReal(t), 0);
                havePending = true;
                break;
            case 20:
                pending.y = toReal(t);
                break;
            case 70:
                pl->setClosed((toInt(t) & 1) != 0);
                break;
            case 43:
                if (double w = toReal(t); w >= 0)
                    pl->setConstantWidth(w);
                break;
            case 38:
                pl->setElevation(toReal(t));
                break;
            default:
                break;
            }
        }
        flush();
    } catch (...) {
        delete pl;
        throw;
    }
    return pl;
}

// ---------------------------------------------------------------- TEXT, ATTDEF

void writeTextBody(const AcDbText& t, DxfWriter& w, std::string_view value) {
    w.raw(100, "AcDbText");
    w.point(10, t.position());
    w.real(40, t.height());
    w.text(1, value);
    if (t.rotation() != 0)
        w.angle(50, t.rotation());
    if (t.widthFactor() != 1)
        w.real(41, t.widthFactor());
    if (std::string style = textStyleName(t.textStyle()); !style.empty())
        w.text(7, style);
    if (t.horizontalMode() != AcDbText::kLeft)
        w.integer(72, t.horizontalMode());
    w.point(11, t.alignmentPoint());
}

void writeText(const AcDbEntity& e, EntityWriteContext& ctx) {
    const auto& t = static_cast<const AcDbText&>(e);
    writeEntityStart("TEXT", e, ctx);
    writeTextBody(t, ctx.w, t.textString());
    ctx.w.raw(100, "AcDbText");
    if (t.verticalMode() != AcDbText::kBase)
        ctx.w.integer(73, t.verticalMode());
}

void writeAttdef(const AcDbEntity& e, EntityWriteContext& ctx) {
    const auto& a = static_cast<const AcDbAttributeDefinition&>(e);
    DxfWriter& w = ctx.w;
    writeEntityStart("ATTDEF", e, ctx);
    writeTextBody(a, w, a.textString());
    w.raw(100, "AcDbAttributeDefinition");
    w.integer(280, 0);
    w.text(3, a.prompt());
    w.text(2, a.tag());
    w.integer(70, (a.isInvisible() ? 1 : 0) | (a.isConstant() ? 2 : 0));
    w.integer(73, 0);
    if (a.verticalMode() != AcDbText::kBase)
        w.integer(74, a.verticalMode());
}

// Reads the text codes shared by TEXT and ATTDEF; vertCode is 73 for TEXT,
// 74 for ATTDEF.
void readTextBody(const DxfRecord& r, AcDbText& t, ReadContext& ctx, int vertCode) {
    AcGePoint3d pos, align;
    bool haveAlign = false;
    std::string style;
    for (std::size_t i = bodyStart(r); i < r.body.size(); ++i) {
        const DxfToken& tk = r.body[i];
        if (takePoint(tk, 10, pos))
            continue;
        if (takePoint(tk, 11, align)) {
            haveAlign = true;
            continue;
        }
        switch (tk.code) {
        case 40:
            t.setHeight(toReal(tk));
            break;
        case 1:
            t.setTextString(ctx.text(tk.value));
            break;
        case 50:
            t.setRotation(radians(tk));
            break;
        case 41:
            t.setWidthFactor(toReal(tk));
            break;
        case 7:
            style = ctx.text(tk.value);
            break;
        case 72: {
            int h = toInt(tk);
            if (h >= AcDbText::kLeft && h <= AcDbText::kFit)
                t.setHorizontalMode(static_cast<AcDbText::HorzMode>(h));
            break;
        }
        default:
            if (tk.code == vertCode) {
                int v = toInt(tk);
                if (v >= AcDbText::kBase && v <= AcDbText::kTop)
                    t.setVerticalMode(static_cast<AcDbText::VertMode>(v));
            }
            break;
        }
    }
    t.setPosition(pos);
    t.setAlignmentPoint(haveAlign ? align : pos);
    setTextStyleByName(ctx, t, style);
}

AcDbEntity* readText(const DxfRecord& r, ReadContext& ctx) {
    auto* t = new AcDbText;
    try {
        readTextBody(r, *t, ctx, 73);
    } catch (...) {
        delete t;
        throw;
    }
    return t;
}

AcDbEntity* readAttdef(const DxfRecord& r, ReadContext& ctx) {
    auto* a = new AcDbAttributeDefinition;
    try {
        readTextBody(r, *a, ctx, 74);
        for (const DxfToken& t : r.body) {
            if (t.code == 2 && !t.value.empty())
                a->setTag(ctx.text(t.value));
            else if (t.code == 3)
                a->setPrompt(ctx.text(t.value));
            else if (t.code == 70) {
                int flags = toInt(t);
                a->setInvisible((flags & 1) != 0);
                a->setConstant((flags & 2) != 0);
            }
        }
    } catch (...) {
        delete a;
        throw;
    }
    return a;
}

// ---------------------------------------------------------------- MTEXT

void writeMText(const AcDbEntity& e, EntityWriteContext& ctx) {
    const auto& m = static_cast<const AcDbMText&>(e);
    DxfWriter& w = ctx.w;
    writeEntityStart("MTEXT", e, ctx);
    w.raw(100, "AcDbMText");
    w.point(10, m.location());
    w.real(40, m.textHeight());
    w.real(41, m.width());
    w.integer(71, m.attachment());
    w.integer(72, 1);
    writeLongText(w, 3, 1, m.contents());
    if (std::string style = textStyleName(m.textStyle()); !style.empty())
        w.text(7, style);
    w.vector(11, m.direction());
}

AcDbEntity* readMText(const DxfRecord& r, ReadContext& ctx) {
    auto* m = new AcDbMText;
    try {
        AcGePoint3d loc;
        AcGeVector3d dir(1, 0, 0);
        std::string raw, style;
        bool haveDir = false;
        double rotation = 0;
        for (std::size_t i = bodyStart(r); i < r.body.size(); ++i) {
            const DxfToken& t = r.body[i];
            if (takePoint(t, 10, loc))
                continue;
            if (takeVector(t, 11, dir)) {
                haveDir = true;
                continue;
            }
            switch (t.code) {
            case 40:
                m->setTextHeight(toReal(t));
                break;
            case 41:
                m->setWidth(toReal(t));
                break;
            case 71:
                m->setAttachment(toInt(t));
                break;
            case 3:
            case 1:
                raw.append(t.value); // chunks join before decoding
                break;
            case 7:
                style = ctx.text(t.value);
                break;
            case 50:
                rotation = toReal(t); // radians, unlike TEXT
                break;
            default:
                break;
            }
        }
        m->setLocation(loc);
        m->setContents(ctx.text(raw));
        if (!haveDir && rotation != 0)
            dir = AcGeVector3d(std::cos(rotation), std::sin(rotation), 0);
        m->setDirection(dir);
        setTextStyleByName(ctx, *m, style);
    } catch (...) {
        delete m;
        throw;
    }
    return m;
}

// ---------------------------------------------------------------- SOLID

void writeSolid(const AcDbEntity& e, EntityWriteContext& ctx) {
    const auto& s = static_cast<const AcDbSolid&>(e);
    writeEntityStart("SOLID", e, ctx);
    ctx.w.raw(100, "AcDbTrace");
    for (int i = 0; i < 4; ++i) {
        AcGePoint3d p;
        s.getPointAt(i, p);
        ctx.w.point(10 + i, p);
    }
}

AcDbEntity* readSolid(const DxfRecord& r, ReadContext&) {
    AcGePoint3d p[4];
    bool have4 = false;
    for (std::size_t i = bodyStart(r); i < r.body.size(); ++i) {
        const DxfToken& t = r.body[i];
        for (int k = 0; k < 4; ++k)
            if (takePoint(t, 10 + k, p[k])) {
                have4 = have4 || k == 3;
                break;
            }
    }
    if (!have4)
        p[3] = p[2]; // a triangle
    return new AcDbSolid(p[0], p[1], p[2], p[3]);
}

// ---------------------------------------------------------------- INSERT

void writeInsert(const AcDbEntity& e, EntityWriteContext& ctx) {
    const auto& ref = static_cast<const AcDbBlockReference&>(e);
    const auto* block = peek<AcDbBlockTableRecord>(ref.blockTableRecord());
    DxfWriter& w = ctx.w;
    writeEntityStart("INSERT", e, ctx);
    writeBlockReferencePart(w, ref, block ? block->getName() : std::string());
}

AcDbEntity* readInsert(const DxfRecord& r, ReadContext& ctx) {
    auto* ref = new AcDbBlockReference;
    try {
        BlockReferencePart part;
        for (std::size_t i = bodyStart(r); i < r.body.size(); ++i)
            part.take(r.body[i], ctx);
        part.applyTo(*ref);
        const std::string name = part.blockName;
        std::uint32_t line = r.line;
        ctx.later([&ctx, ref, name, line] {
            AcDbObjectId block;
            if (const auto* table = AcDbBlockTable::cast(ctx.roots().blockTable.objectLeftOpen()))
                table->getAt(name, block);
            if (block.isNull())
                throw DxfError(line, "INSERT refers to block \"" + name +
                                         "\", which the file does not define");
            AcDbObjectPointer<AcDbBlockReference> open(ref->objectId(), AcDb::kForWrite);
            if (open)
                open->setBlockTableRecord(block);
        });
    } catch (...) {
        delete ref;
        throw;
    }
    return ref;
}

const EntityCodec kCodecs[] = {
    {"LINE", &AcDbLine::desc, writeLine, readLine},
    {"RAY", &AcDbRay::desc, writeRay, readRay},
    {"LWPOLYLINE", &AcDbPolyline::desc, writePolyline, readPolyline},
    {"TEXT", &AcDbText::desc, writeText, readText},
    {"ATTDEF", &AcDbAttributeDefinition::desc, writeAttdef, readAttdef},
    {"MTEXT", &AcDbMText::desc, writeMText, readMText},
    {"SOLID", &AcDbSolid::desc, writeSolid, readSolid},
    {"INSERT", &AcDbBlockReference::desc, writeInsert, readInsert},
};

} // namespace

const EntityCodec* codecForClass(const AcRxClass* cls) {
    for (const AcRxClass* c = cls; c; c = c->myParent()) {
        if (c == AcDbTable::desc())
            return &kTableCodec;
        for (const EntityCodec& codec : kCodecs)
            if (codec.cls() == c)
                return &codec;
    }
    return nullptr;
}

const EntityCodec* codecForDxfName(std::string_view name) {
    if (name == kTableCodec.dxfName)
        return &kTableCodec;
    for (const EntityCodec& codec : kCodecs)
        if (name == codec.dxfName)
            return &codec;
    return nullptr;
}

} // namespace acdxf
