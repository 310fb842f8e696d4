// Undo of a border style applied to 100 x 100 cells, against applying it:
// both with the drawing's undo history recording, as in the host, where a
// toolbar action runs as one undo group under the document lock. Also the
// memory one such step holds, per changed cell. Prints undo / apply; the
// target is at most 1.5.

#include "acdb/acdb.h"
#include "acdb/undo.h"
#include "tableops/CellFormatting.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>

namespace {

constexpr int kSide = 100;

struct Drawing {
    std::unique_ptr<AcDbDatabase> db = std::make_unique<AcDbDatabase>();
    AcDbUndoHistory history{db.get()};
    AcDbObjectId table;
    Drawing() {
        auto* t = new AcDbTable();
        t->setSize(kSide, kSide);
        t->setColumnWidth(1.0);
        t->setRowHeight(0.5);
        acdbAppendToBlock(db.get(), "*Model_Space", t, table);
        t->close();
        db->setUndoHistory(&history);
    }
    ~Drawing() { db->setUndoHistory(nullptr); }

    // One toolbar click: the group, the table opened for write, the style on
    // every cell. Styles alternate so that every pass changes every cell.
    bool apply(int pass) {
        history.beginGroup("Cells Border");
        AcDbTable* t = nullptr;
        bool ok = acdbOpenObject(t, table, AcDb::kForWrite) == Acad::eOk;
        if (ok) {
            AcCmColor color;
            color.setColorIndex(static_cast<std::uint16_t>(1 + pass % 2));
            ok = applyBorderStyle(t, 0, kSide - 1, 0, kSide - 1, pass % 2 ? 1 : 2, color,
                                  pass % 2 ? 25 : 50);
            t->close();
        }
        history.endGroup();
        return ok;
    }
};

void BM_ApplyBorderStyle(benchmark::State& state) {
    Drawing d;
    int pass = 0;
    for (auto _ : state) {
        if (!d.apply(pass++)) {
            state.SkipWithError("the border style was not applied");
            return;
        }
        state.PauseTiming();
        d.history.clear(); // steps do not pile up between passes
        state.ResumeTiming();
    }
}

void BM_UndoBorderStyle(benchmark::State& state) {
    Drawing d;
    int pass = 0;
    for (auto _ : state) {
        state.PauseTiming();
        d.history.clear();
        const bool applied = d.apply(pass++);
        state.ResumeTiming();
        if (!applied || d.history.undo() != Acad::eOk) {
            state.SkipWithError("the step could not be undone");
            return;
        }
    }
}

// Fixed passes: the untimed part of each pass (the other half) would make
// an automatic iteration count run for ever.
BENCHMARK(BM_ApplyBorderStyle)->Unit(benchmark::kMillisecond)->Iterations(30);
BENCHMARK(BM_UndoBorderStyle)->Unit(benchmark::kMillisecond)->Iterations(30);

// Bytes one step holds: what the heap gives back when the history forgets it.
double stepBytesPerCell() {
    Drawing d;
    d.apply(0); // the table's own storage grows to its full size first
    d.history.clear();
    malloc_trim(0);
    d.apply(1);
    const std::size_t held = mallinfo2().uordblks;
    d.history.clear();
    const std::size_t freed = held - mallinfo2().uordblks;
    return static_cast<double>(freed) / (kSide * kSide);
}

class Reporter : public benchmark::ConsoleReporter {
public:
    double cpuOf(const std::string& name) const {
        for (const auto& [key, cpu] : m_cpu)
            if (key.rfind(name, 0) == 0) // "BM_X/iterations:30"
                return cpu;
        return 0;
    }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                m_cpu[run.benchmark_name()] = run.cpu_accumulated_time / run.iterations;
        ConsoleReporter::ReportRuns(runs);
    }

private:
    std::map<std::string, double> m_cpu;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    Reporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    const double apply = reporter.cpuOf("BM_ApplyBorderStyle");
    const double undo = reporter.cpuOf("BM_UndoBorderStyle");
    if (apply > 0 && undo > 0)
        std::printf("Undo of a border style on 100 x 100 cells (%.3f ms) / applying it (%.3f ms): "
                    "%.4f (target: at most 1.5)\n",
                    undo * 1e3, apply * 1e3, undo / apply);
    std::printf("One such undo step holds %.0f bytes per changed cell\n", stepBytesPerCell());
    std::fflush(stdout);
    return 0;
}
