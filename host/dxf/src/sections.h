#pragma once
// The sections of a drawing file, each written and read by its own functions.
// Writing goes HEADER (last, once every handle is given), CLASSES, TABLES,
// BLOCKS, ENTITIES, OBJECTS; reading accepts the sections in any order and
// leaves out the ones it does not know.

#include "dxf_records.h"
#include "dxf_writer.h"
#include "read_context.h"
#include "save_plan.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace acdxf {

// ---------------------------------------------------------------- writing

void writeHeaderSection(DxfWriter& w, SavePlan& plan);
void writeClassesSection(DxfWriter& w, SavePlan& plan);
void writeTablesSection(DxfWriter& w, SavePlan& plan);
void writeBlocksSection(DxfWriter& w, SavePlan& plan);
void writeEntitiesSection(DxfWriter& w, SavePlan& plan);
void writeObjectsSection(DxfWriter& w, SavePlan& plan);

// ---------------------------------------------------------------- reading

// What the HEADER section tells the reader.
struct HeaderValues {
    std::string version; // $ACADVER
    AcDbHandle handseed;
    std::string currentLayer;
};

// Anonymous "*T" blocks of the file, held back until the tables have said
// which of them are theirs: the others are read at the end like any block.
struct HeldBlock {
    std::string name;
    AcDbHandle record;      // BLOCK_RECORD handle
    std::uint32_t line = 0; // of the record that named it
    bool hasContent = false;
    DxfTokenizer::Position content; // first entity after its BLOCK record
    DxfRecord blockRecord;          // the BLOCK record (base point, flags)
};

// A non-graphical object of the OBJECTS section, kept until the dictionaries
// are walked from the root.
struct PendingObject {
    std::string_view type;
    std::uint32_t line = 0;
    AcDbHandle owner;
    std::vector<std::pair<std::string, AcDbHandle>> entries; // dictionaries
    std::unique_ptr<AcDbObject> object;                      // what it becomes, null when skipped
    bool placed = false;
};

struct DrawingReadState {
    explicit DrawingReadState(AcDbDatabase& fresh) : ctx(fresh) {}
    ReadContext ctx;
    HeaderValues header;
    std::vector<HeldBlock> heldBlocks;
    std::unordered_map<std::uint64_t, PendingObject> objects;
    AcDbHandle rootDictionary;
    std::uint32_t lastLine = 0;
};

// Each reads its section up to and including ENDSEC.
void readHeaderSection(const DxfRecord& section, DrawingReadState& state);
void readTablesSection(DxfRecordReader& in, DrawingReadState& state);
void readBlocksSection(DxfRecordReader& in, DrawingReadState& state);
void readEntitiesSection(DxfRecordReader& in, DrawingReadState& state);
void readObjectsSection(DxfRecordReader& in, DrawingReadState& state);

// Once every section is read: blocks held back, missing tables and default
// records, dictionaries and table styles, then references.
void completeBlocks(DxfRecordReader& in, DrawingReadState& state);
void completeSymbolTables(DrawingReadState& state);
void completeObjects(DrawingReadState& state);

// Shared by the block and entity readers: one entity record into a block.
// Returns false for entity types this host does not keep.
bool readEntityInto(const DxfRecord& r, AcDbBlockTableRecord* block, DrawingReadState& state);

} // namespace acdxf
