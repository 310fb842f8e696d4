#pragma once
// What the frame benchmarks share: an offscreen host frame with a drawing,
// a counter of the drawing view's paints, and a reporter that keeps each
// benchmark's CPU and wall time per iteration. The figures are CPU time: the
// whole frame (event loop, table work, painting) runs on this one thread, and
// on a machine shared with other builds the wall time mostly measures them.

#include "acdocman.h"
#include "cadhost/runtime.h"
#include "hostreg/registry.h"
#include "hostui/drawing_view.h"
#include "hostui/frame_window.h"

#include <QApplication>
#include <QEvent>
#include <benchmark/benchmark.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace framebench {

// Counts the paint events the drawing view receives.
class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

struct HostFrame {
    std::unique_ptr<hostui::FrameWindow> frame;
    PaintCounter counter;

    HostFrame() {
        hostRegistryOpenInMemory();
        cadhost::resetRuntimeState();
        frame = std::make_unique<hostui::FrameWindow>();
        frame->show();
        acDocManagerPtr()->newDocument();
        view()->installEventFilter(&counter);
        QCoreApplication::processEvents();
    }
    ~HostFrame() {
        frame.reset();
        hostRegistryClose();
    }
    hostui::DrawingView* view() const { return frame->drawingView(); }
    // Turns the event loop until the drawing view has painted again (false
    // when it did not within a generous number of turns).
    bool waitForPaint(int paintsBefore) {
        for (int turn = 0; turn < 100000 && counter.paints == paintsBefore; ++turn)
            QCoreApplication::processEvents(QEventLoop::AllEvents);
        return counter.paints != paintsBefore;
    }
};

class TimeReporter : public benchmark::ConsoleReporter {
public:
    struct Times {
        double cpu = 0, wall = 0; // seconds per iteration
    };
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0)
                times[run.benchmark_name()] = {run.cpu_accumulated_time / run.iterations,
                                               run.real_accumulated_time / run.iterations};
        ConsoleReporter::ReportRuns(runs);
    }
    // Times per iteration, zero when the benchmark did not run.
    Times of(const std::string& name) const {
        for (const auto& [key, value] : times)
            if (key.rfind(name, 0) == 0)
                return value;
        return {};
    }
    std::map<std::string, Times> times;
};

// The Qt application every frame benchmark runs in, on the offscreen
// platform; main holds it and lets it go before the program's exit (a static
// one would outlive Qt's own statics).
inline std::unique_ptr<QApplication> makeApplication() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "frame_bench";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QApplication>(argc, argv);
}

} // namespace framebench
