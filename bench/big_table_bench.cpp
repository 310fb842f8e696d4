// One table of 100,000 x 10 cells (a 6.9 MB DXF file as another program
// writes it): memory to open and draw it, per cell above an empty drawing
// (target: at most 150 bytes); peak memory of saving it above the open
// drawing (target: at most 64 MB); read and save time per cell against the
// 1000-table benchmark drawing measured in the same run (target: ratio at
// most 1). Each measurement runs in a child process of its own, so peaks do
// not mix.

#include "acdxf/dxf.h"
#include "dxf_bench_drawing.h"

#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int kRows = 100000;
constexpr int kCols = 10;

// What a child reports: memory in KB, times in seconds.
struct Figures {
    long rssOpenKb = 0;  // after opening and drawing
    long peakOpenKb = 0; // highest while opening and drawing
    long peakSaveKb = 0; // highest while saving (0 when not saved)
    double readSeconds = 0;
    double drawSeconds = 0;
    double saveSeconds = 0;
    long long cells = 0;
    bool ok = false;
};

long statusKb(const char* key) {
    std::ifstream f("/proc/self/status");
    std::string line;
    while (std::getline(f, line))
        if (line.rfind(key, 0) == 0)
            return std::atol(line.c_str() + std::strlen(key));
    return 0;
}

// Starts a new peak from the current use.
void resetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double since(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string tempPath(const char* name) {
    return (std::filesystem::temp_directory_path() /
            (std::string("big_table_bench_") + std::to_string(getpid()) + "_" + name))
        .string();
}

void writeBigTableFile(const std::string& path) {
    std::string text = "0\nSECTION\n2\nENTITIES\n0\nACAD_TABLE\n5\n100\n100\nAcDbEntity\n8\n0\n"
                       "100\nAcDbBlockReference\n10\n0\n20\n0\n30\n0\n100\nAcDbTable\n91\n" +
                       std::to_string(kRows) + "\n92\n" + std::to_string(kCols) + "\n";
    for (int r = 0; r < kRows; ++r)
        text += "141\n0.75\n";
    for (int c = 0; c < kCols; ++c)
        text += "142\n2.5\n";
    for (long long i = 0; i < static_cast<long long>(kRows) * kCols; ++i)
        text += "171\n1\n";
    text += "0\nENDSEC\n0\nEOF\n";
    std::ofstream(path, std::ios::binary) << text;
}

void writeEmptyFile(const std::string& path) {
    std::ofstream(path, std::ios::binary) << "0\nSECTION\n2\nENTITIES\n0\nENDSEC\n0\nEOF\n";
}

// Opens path, draws every table (builds what the screen shows), saves when asked.
Figures openDrawSave(const std::string& path, bool save) {
    Figures f;
    auto start = std::chrono::steady_clock::now();
    AcDbDatabase db(false, true);
    if (db.readDwgFile(path, AcDbShare::kDenyNo) != Acad::eOk) {
        std::fprintf(stderr, "cannot read %s: %s\n", path.c_str(), db.lastFileError().c_str());
        return f;
    }
    f.readSeconds = since(start);
    start = std::chrono::steady_clock::now();
    // Every table of every block (the template drawing keeps its tables in blocks).
    std::vector<AcDbObjectId> ids;
    {
        AcDbObjectPointer<AcDbBlockTable> blocks(db.blockTableId(), AcDb::kForRead);
        for (AcDbObjectId blockId : blocks->recordIds()) {
            AcDbObjectPointer<AcDbBlockTableRecord> block(blockId, AcDb::kForRead);
            for (AcDbObjectId id : block->entityIds())
                ids.push_back(id);
        }
    }
    for (AcDbObjectId id : ids) {
        AcDbObjectPointer<AcDbTable> table(id, AcDb::kForRead);
        if (table.openStatus() == Acad::eOk) {
            f.cells += static_cast<long long>(table->rowCount()) * table->columnCount();
            // What the screen draws.
            const AcDbTableDrawing& picture = table->drawing();
            if (picture.gridLines.empty() && picture.fills.empty() && picture.contents.empty())
                return f;
        }
    }
    f.drawSeconds = since(start);
    f.rssOpenKb = statusKb("VmRSS:");
    f.peakOpenKb = statusKb("VmHWM:");
    if (save) {
        resetPeak();
        const std::string out = path + ".saved";
        start = std::chrono::steady_clock::now();
        if (db.saveAs(out) != Acad::eOk) {
            std::fprintf(stderr, "cannot save %s: %s\n", out.c_str(), db.lastFileError().c_str());
            return f;
        }
        f.saveSeconds = since(start);
        f.peakSaveKb = statusKb("VmHWM:");
        std::filesystem::remove(out);
    }
    f.ok = true;
    return f;
}

// The figures of openDrawSave run in a child process.
Figures inChild(const std::string& path, bool save) {
    int fds[2];
    if (pipe(fds) != 0)
        return {};
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        Figures f = openDrawSave(path, save);
        (void)!write(fds[1], &f, sizeof f);
        _exit(0);
    }
    close(fds[1]);
    Figures f;
    if (read(fds[0], &f, sizeof f) != sizeof f)
        f.ok = false;
    close(fds[0]);
    waitpid(pid, nullptr, 0);
    return f;
}

} // namespace

int main() {
    const std::string big = tempPath("big.dxf");
    const std::string empty = tempPath("empty.dxf");
    writeBigTableFile(big);
    writeEmptyFile(empty);
    std::printf("drawing: one %d x %d table, %.1f MB of DXF\n", kRows, kCols,
                static_cast<double>(std::filesystem::file_size(big)) / 1e6);

    const Figures none = inChild(empty, false);
    const Figures table = inChild(big, true);
    // The baseline: the 1000-table benchmark drawing, in the same run.
    dxfbench::BenchFile templates;
    const Figures base = inChild(templates.path(), true);
    std::filesystem::remove(big);
    std::filesystem::remove(empty);
    if (!none.ok || !table.ok || !base.ok) {
        std::fprintf(stderr, "a measurement failed\n");
        return 1;
    }
    const double cells = static_cast<double>(table.cells);
    const double perCell = (table.peakOpenKb - none.peakOpenKb) * 1024.0 / cells;
    std::printf("open and draw: %.0f MB peak, %.0f bytes per cell above an empty drawing "
                "(target: at most 150)\n",
                table.peakOpenKb / 1024.0, perCell);
    std::printf("save: peak %.0f MB, %+.0f MB against the open drawing's %.0f MB (target: at "
                "most +64 MB)\n",
                table.peakSaveKb / 1024.0, (table.peakSaveKb - table.rssOpenKb) / 1024.0,
                table.rssOpenKb / 1024.0);
    const double baseCells = static_cast<double>(base.cells);
    const double readRatio = (table.readSeconds / cells) / (base.readSeconds / baseCells);
    const double saveRatio = (table.saveSeconds / cells) / (base.saveSeconds / baseCells);
    std::printf("read: %.2f s (%.2f us per cell), the 1000-table drawing %.2f us per cell: ratio "
                "%.2f (target: at most 1)\n",
                table.readSeconds, table.readSeconds / cells * 1e6,
                base.readSeconds / baseCells * 1e6, readRatio);
    std::printf("draw: %.2f s (%.2f us per cell)\n", table.drawSeconds,
                table.drawSeconds / cells * 1e6);
    std::printf("save: %.2f s (%.2f us per cell), the 1000-table drawing %.2f us per cell: ratio "
                "%.2f (target: at most 1)\n",
                table.saveSeconds, table.saveSeconds / cells * 1e6,
                base.saveSeconds / baseCells * 1e6, saveRatio);
    return 0;
}
