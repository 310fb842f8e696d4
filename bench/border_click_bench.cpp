// A border style applied to a 100 x 100 cell selection end to end: the
// "Cells Border" button (command 52768) clicked on the table add-in's
// toolbar in an offscreen frame, until the table is closed and the drawing
// view has repainted; against the table's setters alone for the same edges
// (applyBorderStyle on the table held open). Prints click / setters; the
// target is at most 2.

#include "frame_bench_support.h"

#include "arxHeaders.h"
#include "cadhost/cell_selection.h"
#include "hostui/control_ids.h"
#include "hostui/table_creation.h"
#include "tableops/CellFormatting.h"

#include <QToolButton>

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace {

constexpr int kSide = 100;
constexpr int kCellsBorder = 52768;

std::string kelvarinPath() {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    buf[n > 0 ? n : 0] = '\0';
    return (std::filesystem::path(buf).parent_path() / "Kelvarin.arx").string();
}

struct BorderHost : framebench::HostFrame {
    AcDbObjectId table;
    bool loaded = false;
    BorderHost() {
        hostui::TableShape shape{kSide, kSide, 1.0, 0.5};
        AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
        if (hostui::createTable(db, shape, AcGePoint3d(0, 0, 0), table) != Acad::eOk)
            return;
        loaded = acedArxLoad(kelvarinPath().c_str()) == RTNORM;
    }
    ~BorderHost() { acedArxUnload("Kelvarin.arx"); }
};

std::unique_ptr<BorderHost> g_host;

BorderHost& host() {
    if (!g_host)
        g_host = std::make_unique<BorderHost>();
    return *g_host;
}

void BM_CellsBorderClick(benchmark::State& state) {
    BorderHost& h = host();
    QToolButton* button = hostui::findCommandButton(kCellsBorder);
    if (!h.loaded || !button) {
        state.SkipWithError("the add-in's toolbar is not there");
        return;
    }
    for (auto _ : state) {
        // The toolbar's work ends with the selection redrawn; each click starts
        // from the same 100 x 100 selection as a user's would.
        state.PauseTiming();
        cadhost::CellSelection::instance().setCellSelection(h.table, {0, kSide - 1, 0, kSide - 1});
        QCoreApplication::processEvents();
        const int before = h.counter.paints;
        state.ResumeTiming();
        button->click();
        if (!h.waitForPaint(before)) {
            state.SkipWithError("the drawing view was not repainted");
            return;
        }
    }
}

void BM_BorderSetters(benchmark::State& state) {
    BorderHost& h = host();
    AcDbTable* table = nullptr;
    if (acdbOpenObject(table, h.table, AcDb::kForWrite) != Acad::eOk) {
        state.SkipWithError("cannot open the table");
        return;
    }
    AcCmColor color;
    color.setColorIndex(65535);
    for (auto _ : state) {
        applyBorderStyle(table, 0, kSide - 1, 0, kSide - 1, 0, color, 25);
        benchmark::ClobberMemory();
    }
    table->close();
}

BENCHMARK(BM_CellsBorderClick)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BorderSetters)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    std::unique_ptr<QApplication> app = framebench::makeApplication();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    framebench::TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    g_host.reset(); // the frame goes before the application
    const auto click = reporter.of("BM_CellsBorderClick");
    const auto setters = reporter.of("BM_BorderSetters");
    if (click.cpu > 0 && setters.cpu > 0)
        std::printf("Cells Border click on 100 x 100 cells, to redrawn (%.2f ms, wall %.2f ms) / "
                    "the table's setters alone (%.2f ms, wall %.2f ms): %.2f (target: at most "
                    "2)\n",
                    click.cpu * 1e3, click.wall * 1e3, setters.cpu * 1e3, setters.wall * 1e3,
                    click.cpu / setters.cpu);
    std::fflush(stdout);
    return 0;
}
