// Reading the template database of 1000 blocks with a 10 x 5 table each: this
// host's reader against ezdxf (Python) loading the same file. Prints our read
// time / ezdxf's (target: at most 1/20 = 0.05).

#include "dxf_bench_drawing.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdlib>
#include <map>
#include <memory>

namespace {

const dxfbench::BenchFile& benchFile() {
    static dxfbench::BenchFile file;
    return file;
}

void BM_HostRead(benchmark::State& state) {
    for (auto _ : state) {
        auto db = std::make_unique<AcDbDatabase>(false, true);
        if (db->readDwgFile(benchFile().path(), AcDbShare::kDenyNo) != Acad::eOk)
            state.SkipWithError(db->lastFileError().c_str());
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_HostRead)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);

class TimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred)
                hostSeconds = run.real_accumulated_time / run.iterations;
        ConsoleReporter::ReportRuns(runs);
    }
    double hostSeconds = 0;
};

// Seconds ezdxf.readfile takes for the file (timed inside Python, so the
// interpreter's start is not counted); the best of `runs`; negative when
// ezdxf cannot be run.
double ezdxfSeconds(const std::string& path, int runs) {
    std::string command =
        "/usr/bin/python3 -c 'import sys, time, ezdxf\n"
        "best = None\n"
        "for _ in range(" +
        std::to_string(runs) +
        "):\n"
        "    t = time.perf_counter(); ezdxf.readfile(sys.argv[1]); t = time.perf_counter() - t\n"
        "    best = t if best is None else min(best, t)\n"
        "print(best)' '" +
        path + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return -1;
    std::array<char, 128> buf{};
    std::string out;
    while (fgets(buf.data(), buf.size(), pipe))
        out += buf.data();
    int status = pclose(pipe);
    if (status != 0 || out.empty())
        return -1;
    return std::strtod(out.c_str(), nullptr);
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    std::printf("drawing: %d blocks with a %d x %d table each, %.1f MB of DXF\n", dxfbench::kBlocks,
                dxfbench::kRows, dxfbench::kCols, benchFile().megabytes());
    TimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    if (reporter.hostSeconds <= 0)
        return 0;

    std::printf("ezdxf.readfile on the same file (best of 2 runs) ...\n");
    std::fflush(stdout);
    double ezdxf = ezdxfSeconds(benchFile().path(), 2);
    if (ezdxf <= 0) {
        std::printf("ezdxf could not be run (is python3-ezdxf installed?)\n");
        return 1;
    }
    std::printf("host read: %.0f ms, ezdxf read: %.0f ms\n", reporter.hostSeconds * 1e3,
                ezdxf * 1e3);
    std::printf("host read / ezdxf read: %.4f = 1/%.0f (target: at most 1/20 = 0.05)\n",
                reporter.hostSeconds / ezdxf, ezdxf / reporter.hostSeconds);
    return 0;
}
