#pragma once
// One codec per entity class: how it is written and read. The block and
// entity sections go through this table and know no entity by itself.

#include "acdb/database.h"
#include "dxf_records.h"
#include "dxf_writer.h"
#include "read_context.h"
#include "save_plan.h"

#include <optional>
#include <string>
#include <string_view>

namespace acdxf {

struct EntityWriteContext {
    DxfWriter& w;
    SavePlan& plan;
    AcDbHandle handle; // the entity's handle in the file
    AcDbHandle owner;  // its block record
    bool paperSpace = false;
};

// Common properties of an entity as the file gives them.
struct EntityPlacement {
    AcDbHandle handle;
    AcDbHandle owner;
    bool paperSpace = false;
};

struct EntityCodec {
    const char* dxfName;
    const AcRxClass* (*cls)();
    void (*write)(const AcDbEntity& e, EntityWriteContext& ctx);
    // A new entity holding what the record says; references to other objects
    // are resolved through ctx.later once every object is in place.
    AcDbEntity* (*read)(const DxfRecord& r, ReadContext& ctx);
};

// The codec for an entity class (or its nearest base that has one); null for
// classes no codec writes.
const EntityCodec* codecForClass(const AcRxClass* cls);
// The codec for a record type ("LINE"); null for entities this host skips.
const EntityCodec* codecForDxfName(std::string_view name);

// "0 NAME", handle, owner and the AcDbEntity subclass of every entity.
void writeEntityStart(const char* dxfName, const AcDbEntity& e, EntityWriteContext& ctx);
// Layer, line type, colour and line weight; handle, owner and space.
EntityPlacement readEntityCommon(const DxfRecord& r, AcDbEntity& e, ReadContext& ctx);

// A string in pieces of at most 250 characters: chunkCode for all but the
// last piece, lastCode for the last (MTEXT 3/1, table cells 2/1).
void writeLongText(DxfWriter& w, int chunkCode, int lastCode, std::string_view utf8);

// Name of a text style record for code 7; empty for the null id.
std::string textStyleName(AcDbObjectId id);
// Resolves a text style name once the styles are read; unknown names leave
// the style null (the drawing's standard style).
AcDbObjectId findTextStyle(ReadContext& ctx, const std::string& name);

// The AcDbBlockReference part that INSERT and ACAD_TABLE share: block name, position, scale,
// rotation and normal; scale, rotation and normal only where they differ from the defaults.
void writeBlockReferencePart(DxfWriter& w, const AcDbBlockReference& ref,
                             const std::string& blockName);

// The same part as it is read, set on the reference once the record is through.
struct BlockReferencePart {
    std::string blockName;
    AcGePoint3d position;
    AcGeVector3d scale{1, 1, 1};
    AcGeVector3d normal{0, 0, 1};
    std::optional<double> rotation;

    // Takes one code of the part; false for codes that belong elsewhere.
    bool take(const DxfToken& t, ReadContext& ctx);
    void applyTo(AcDbBlockReference& ref) const;
};

// The ACAD_TABLE codec (table_codec.cpp).
extern const EntityCodec kTableCodec;

} // namespace acdxf
