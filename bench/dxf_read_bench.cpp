// Writing then reading a template database of 1000 blocks with a 10 x 5 table
// each, against reading the same file's bytes into memory. Prints the read
// speed in MB/s (target: at least 50) and read time / byte-copy time.

#include "acdxf/dxf.h"
#include "dxf_bench_drawing.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <map>
#include <memory>

namespace {

const dxfbench::BenchFile& benchFile() {
    static dxfbench::BenchFile file;
    return file;
}

void BM_SaveDrawing(benchmark::State& state) {
    AcDbDatabase db;
    dxfbench::buildTemplateDrawing(db);
    std::string path = benchFile().path() + ".save";
    for (auto _ : state)
        if (db.saveAs(path) != Acad::eOk)
            state.SkipWithError(db.lastFileError().c_str());
    std::filesystem::remove(path);
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * benchFile().megabytes() * 1e6));
}

void BM_ReadDrawing(benchmark::State& state) {
    for (auto _ : state) {
        auto db = std::make_unique<AcDbDatabase>(false, true);
        if (db->readDwgFile(benchFile().path(), AcDbShare::kDenyNo) != Acad::eOk)
            state.SkipWithError(db->lastFileError().c_str());
        state.PauseTiming();
        db.reset();
        state.ResumeTiming();
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * benchFile().megabytes() * 1e6));
}

// The baseline: the file's bytes into memory and nothing more.
void BM_ReadBytes(benchmark::State& state) {
    for (auto _ : state) {
        std::string bytes(static_cast<std::size_t>(benchFile().megabytes() * 1e6), '\0');
        int fd = open(benchFile().path().c_str(), O_RDONLY);
        std::size_t done = 0;
        while (done < bytes.size()) {
            ssize_t n = read(fd, bytes.data() + done, bytes.size() - done);
            if (n <= 0)
                break;
            done += static_cast<std::size_t>(n);
        }
        close(fd);
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(
        static_cast<std::int64_t>(state.iterations() * benchFile().megabytes() * 1e6));
}

BENCHMARK(BM_SaveDrawing)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_ReadDrawing)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_ReadBytes)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);

class TimeReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs)
            if (run.run_type == Run::RT_Iteration && run.iterations > 0 && !run.error_occurred)
                seconds[run.benchmark_name()] = run.real_accumulated_time / run.iterations;
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

double secondsOf(const TimeReporter& r, const std::string& prefix) {
    for (const auto& [name, s] : r.seconds)
        if (name.rfind(prefix, 0) == 0)
            return s;
    return 0;
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

    double mb = benchFile().megabytes();
    double save = secondsOf(reporter, "BM_SaveDrawing");
    double read = secondsOf(reporter, "BM_ReadDrawing");
    double bytes = secondsOf(reporter, "BM_ReadBytes");
    if (save > 0)
        std::printf("save: %.1f MB/s (%.0f ms)\n", mb / save, save * 1e3);
    if (read > 0)
        std::printf("read: %.1f MB/s (%.0f ms; target: at least 50 MB/s)\n", mb / read, read * 1e3);
    if (read > 0 && bytes > 0)
        std::printf("read / reading the bytes into memory: %.1f (bytes alone: %.0f MB/s)\n",
                    read / bytes, mb / bytes);
    return 0;
}
