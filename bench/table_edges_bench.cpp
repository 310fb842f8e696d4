// Cost of the table's edge setters: every edge of every cell of a 200 x 50
// range written through setEdgeVisibility, setEdgeColor and
// setEdgeLineWeight, against the same number of edge records written into a
// flat array. Prints table time / flat time; the target is at most 5.

#include "acdb/table.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 200;
constexpr int kCols = 50;
constexpr int kEdges[] = {AcDb::kTopMask, AcDb::kRightMask, AcDb::kBottomMask, AcDb::kLeftMask};

struct EdgeRecord {
    AcDb::Visibility visibility;
    AcCmColor color;
    AcDb::LineWeight lineWeight;
};

// Values change from one pass to the next so that no pass repeats the last.
AcCmColor colorOfPass(int pass) {
    return AcCmColor::fromIndex(static_cast<std::uint16_t>(1 + pass % 200));
}
AcDb::Visibility visibilityOfPass(int pass) {
    return pass % 2 ? AcDb::kInvisible : AcDb::kVisible;
}
AcDb::LineWeight lineWeightOfPass(int pass) {
    return pass % 2 ? AcDb::kLnWt050 : AcDb::kLnWt025;
}

void BM_TableEdgeSetters(benchmark::State& state) {
    AcDbTable table;
    table.setSize(kRows, kCols);
    int pass = 0;
    for (auto _ : state) {
        const AcCmColor color = colorOfPass(pass);
        const AcDb::Visibility visibility = visibilityOfPass(pass);
        const AcDb::LineWeight lineWeight = lineWeightOfPass(pass);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kCols; ++c) {
                for (int edge : kEdges) {
                    table.setEdgeVisibility(r, c, edge, visibility);
                    table.setEdgeColor(r, c, edge, color);
                    table.setEdgeLineWeight(r, c, edge, lineWeight);
                }
            }
        }
        ++pass;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols * 4);
}

// The same edges written the way a border style writes a whole cell: one call
// per property with the mask of all four edges.
void BM_TableEdgeSettersMasked(benchmark::State& state) {
    AcDbTable table;
    table.setSize(kRows, kCols);
    constexpr int kAllEdges =
        AcDb::kTopMask | AcDb::kRightMask | AcDb::kBottomMask | AcDb::kLeftMask;
    int pass = 0;
    for (auto _ : state) {
        const AcCmColor color = colorOfPass(pass);
        const AcDb::Visibility visibility = visibilityOfPass(pass);
        const AcDb::LineWeight lineWeight = lineWeightOfPass(pass);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kCols; ++c) {
                table.setEdgeVisibility(r, c, kAllEdges, visibility);
                table.setEdgeColor(r, c, kAllEdges, color);
                table.setEdgeLineWeight(r, c, kAllEdges, lineWeight);
            }
        }
        ++pass;
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols * 4);
}

void BM_FlatEdgeRecords(benchmark::State& state) {
    std::vector<EdgeRecord> records(static_cast<std::size_t>(kRows) * kCols * 4);
    int pass = 0;
    for (auto _ : state) {
        const AcCmColor color = colorOfPass(pass);
        const AcDb::Visibility visibility = visibilityOfPass(pass);
        const AcDb::LineWeight lineWeight = lineWeightOfPass(pass);
        for (int r = 0; r < kRows; ++r) {
            for (int c = 0; c < kCols; ++c) {
                for (int e = 0; e < 4; ++e) {
                    EdgeRecord& rec = records[(static_cast<std::size_t>(r) * kCols + c) * 4 + e];
                    rec.visibility = visibility;
                    rec.color = color;
                    rec.lineWeight = lineWeight;
                }
            }
        }
        ++pass;
        benchmark::DoNotOptimize(records.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kRows * kCols * 4);
}

BENCHMARK(BM_TableEdgeSetters)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_TableEdgeSettersMasked)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_FlatEdgeRecords)->Unit(benchmark::kMicrosecond);

// Console output as usual, keeping each benchmark's CPU time per iteration
// (steadier than wall time on a shared machine; both loops are single-threaded).
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                seconds[run.benchmark_name()] = run.cpu_accumulated_time / run.iterations;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    auto flat = reporter.seconds.find("BM_FlatEdgeRecords");
    if (flat == reporter.seconds.end() || flat->second <= 0)
        return 0; // filtered out: nothing to compare
    const std::pair<const char*, const char*> rows[] = {
        {"BM_TableEdgeSetters", "one setter call per edge and property"},
        {"BM_TableEdgeSettersMasked", "one setter call per cell and property, all-edges mask"}};
    for (const auto& [name, label] : rows)
        if (auto it = reporter.seconds.find(name); it != reporter.seconds.end())
            std::printf("table edge setters (%s) / flat edge records: %.2f (target: at most 5)\n",
                        label, it->second / flat->second);
    return 0;
}
