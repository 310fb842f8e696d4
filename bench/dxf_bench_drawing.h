#pragma once
// The drawing both drawing-file benchmarks read: a template database of
// 1000 named blocks, each holding a 10 x 5 table with text in every cell and
// referenced once at the origin of model space, saved to a temporary file.

#include "acdb/acdb.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace dxfbench {

constexpr int kBlocks = 1000;
constexpr int kRows = 10;
constexpr int kCols = 5;

inline void buildTemplateDrawing(AcDbDatabase& db) {
    // Looked up before the block table is open for write.
    AcDbObjectPointer<AcDbBlockTableRecord> ms(db.modelSpaceId(), AcDb::kForWrite);
    AcDbObjectPointer<AcDbBlockTable> blocks(db.blockTableId(), AcDb::kForWrite);
    for (int i = 0; i < kBlocks; ++i) {
        auto* block = new AcDbBlockTableRecord;
        char name[32];
        std::snprintf(name, sizeof name, "Template%04d", i);
        block->setName(name);
        AcDbObjectId blockId;
        blocks->add(blockId, block);
        auto* table = new AcDbTable;
        table->setTableStyle(db.tablestyle());
        table->setSize(kRows, kCols);
        for (int r = 0; r < kRows; ++r)
            for (int c = 0; c < kCols; ++c)
                table->setTextString(r, c, "Cell " + std::to_string(r) + "," + std::to_string(c));
        table->mergeCells(0, 0, 0, kCols - 1);
        block->appendAcDbEntity(table);
        table->close();
        block->close();
        auto* ref = new AcDbBlockReference(AcGePoint3d::kOrigin, blockId);
        ms->appendAcDbEntity(ref);
        ref->close();
    }
}

// Writes the drawing to a file of this process; removed with the object.
class BenchFile {
public:
    BenchFile() {
        m_path = (std::filesystem::temp_directory_path() /
                  ("dxf_bench_" + std::to_string(getpid()) + ".dxf"))
                     .string();
        AcDbDatabase db;
        buildTemplateDrawing(db);
        if (db.saveAs(m_path) != Acad::eOk)
            std::fprintf(stderr, "cannot write %s: %s\n", m_path.c_str(),
                         db.lastFileError().c_str());
        m_size = std::filesystem::file_size(m_path);
    }
    ~BenchFile() { std::filesystem::remove(m_path); }
    const std::string& path() const { return m_path; }
    double megabytes() const { return static_cast<double>(m_size) / 1e6; }

private:
    std::string m_path;
    std::uintmax_t m_size = 0;
};

} // namespace dxfbench
