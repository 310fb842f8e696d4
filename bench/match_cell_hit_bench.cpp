// Match Cell's pick: the destination among every cell of every table, found
// through the hit index against the plain scan over all outlines, in one run.
// 100 tables of 1000 cells each (50 rows, 20 columns). Prints the time per
// pick of both and their ratio; the target is at least 50.
#include "tableops/MatchCell.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <random>

namespace {

std::vector<tagAcadDbCell> g_cells;
std::vector<AcGePoint3d> g_points;
double g_scanSeconds = 0, g_indexSeconds = 0;

void buildDrawing() {
    if (!g_cells.empty())
        return;
    for (int t = 0; t < 100; ++t) {
        AcDbTable table;
        table.setSize(50, 20);
        table.setColumnWidth(2.5);
        table.setRowHeight(0.75);
        table.setPosition(AcGePoint3d((t % 10) * 60.0, (t / 10) * 45.0, 0));
        for (int r = 0; r < 50; ++r)
            for (int c = 0; c < 20; ++c) {
                tagAcadDbCell cell;
                cell.row = r;
                cell.column = c;
                table.cellOutline(r, c, true, cell.outline);
                g_cells.push_back(std::move(cell));
            }
    }
    std::mt19937 random(7);
    std::uniform_real_distribution<double> x(-5, 600), y(-45, 420);
    for (int i = 0; i < 256; ++i)
        g_points.emplace_back(x(random), y(random), 0);
}

void BM_PlainScan(benchmark::State& state) {
    buildDrawing();
    std::size_t i = 0;
    const auto start = std::chrono::steady_clock::now();
    std::int64_t picks = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(findDestinationByScan(g_cells, g_points[i++ % g_points.size()]));
        ++picks;
    }
    g_scanSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / picks;
}

void BM_HitIndex(benchmark::State& state) {
    buildDrawing();
    const CellHitIndex index(g_cells);
    std::size_t i = 0;
    const auto start = std::chrono::steady_clock::now();
    std::int64_t picks = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(index.find(g_points[i++ % g_points.size()]));
        ++picks;
    }
    g_indexSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / picks;
}

BENCHMARK(BM_PlainScan)->Unit(benchmark::kMillisecond)->Iterations(40);
BENCHMARK(BM_HitIndex)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (g_scanSeconds > 0 && g_indexSeconds > 0)
        std::printf("match cell pick over 100 000 cells: scan %.3f ms, index %.2f us; "
                    "ratio %.0f (target at least 50)\n",
                    g_scanSeconds * 1e3, g_indexSeconds * 1e6, g_scanSeconds / g_indexSeconds);
    return 0;
}
