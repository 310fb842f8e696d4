// Start-up of the host: `cadhost --headless` with one module loaded, from
// launch to its first script line processed, against a bare Qt application
// (QApplication and a shown main window) launched the same way in the same run.
// Prints the ratio; the target is at most 3.
//
// Both are separate processes: the clock runs from the spawn until the process
// writes its marker line on standard output.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr const char* kBareFlag = "--bare-qt-app";
constexpr const char* kBareMarker = "bare-qt-ready";
constexpr const char* kHostMarker = "TESTMOD_ECHO ran.";

fs::path binDir() { return fs::read_symlink("/proc/self/exe").parent_path(); }

// The child of the baseline: what every Qt widget application does at start-up.
int runBareQtApp(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QMainWindow window;
    window.setCentralWidget(new QLabel(QStringLiteral("bare")));
    window.resize(1280, 800);
    window.show();
    QTimer::singleShot(0, &app, [] {
        std::printf("%s\n", kBareMarker);
        std::fflush(stdout);
        QApplication::quit();
    });
    return app.exec();
}

// Seconds from spawning argv until the child prints marker; -1 on failure.
double timeToMarker(const std::vector<std::string>& args, const std::string& marker) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", 0x1 /*O_WRONLY*/, 0);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);

    const auto start = Clock::now();
    pid_t pid = 0;
    const int rc = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
        close(pipeFds[0]);
        return -1;
    }
    std::string seen;
    double elapsed = -1;
    char buffer[4096];
    for (;;) {
        const ssize_t n = read(pipeFds[0], buffer, sizeof buffer);
        if (n <= 0)
            break;
        seen.append(buffer, static_cast<std::size_t>(n));
        if (elapsed < 0 && seen.find(marker) != std::string::npos)
            elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return elapsed;
}

struct Setup {
    fs::path work;
    std::string cadhost, testmod, script, self;
    bool ok = false;
    Setup() {
        const fs::path bin = binDir();
        self = (bin / "startup_bench").string();
        cadhost = (bin / "cadhost").string();
        testmod = (bin / "testmod.arx").string();
        work = fs::temp_directory_path() / ("cadhost_startup_bench_" + std::to_string(getpid()));
        fs::create_directories(work);
        script = (work / "first_line.scr").string();
        std::ofstream(script) << "TESTMOD_ECHO\n";
        ok = fs::exists(cadhost) && fs::exists(testmod);
        if (!ok)
            std::fprintf(stderr, "startup_bench: needs %s and %s (build cadhost and the tests)\n",
                         cadhost.c_str(), testmod.c_str());
    }
    ~Setup() {
        std::error_code ec;
        fs::remove_all(work, ec);
    }
};

Setup& setup() {
    static Setup s;
    return s;
}

std::vector<double> g_bare, g_host;

void recordRun(benchmark::State& state, const std::vector<std::string>& args,
               const std::string& marker, std::vector<double>& samples) {
    for (auto _ : state) {
        const double seconds = timeToMarker(args, marker);
        if (seconds < 0) {
            state.SkipWithError("the process did not reach its marker");
            return;
        }
        samples.push_back(seconds);
        state.SetIterationTime(seconds);
    }
}

void BM_BareQtApplicationStart(benchmark::State& state) {
    recordRun(state, {setup().self, kBareFlag}, kBareMarker, g_bare);
}

void BM_CadhostHeadlessStartup(benchmark::State& state) {
    if (!setup().ok) {
        state.SkipWithError("cadhost or testmod.arx missing");
        return;
    }
    const Setup& s = setup();
    recordRun(state,
              {s.cadhost, "--headless", "--profile", (s.work / "profile").string(), "--load",
               s.testmod, "--script", s.script},
              kHostMarker, g_host);
}

BENCHMARK(BM_BareQtApplicationStart)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);
BENCHMARK(BM_CadhostHeadlessStartup)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(10);

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == kBareFlag)
        return runBareQtApp(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (!g_bare.empty() && !g_host.empty()) {
        const double bare = median(g_bare), host = median(g_host);
        std::printf("startup: cadhost %.1f ms, bare Qt application %.1f ms (medians); "
                    "ratio %.2f (target at most 3)\n",
                    host * 1000, bare * 1000, host / bare);
    }
    return 0;
}
