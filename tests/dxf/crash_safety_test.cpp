// Saves killed at every step: the drawing on disk is always the whole old or
// the whole new one, and nothing a dead save left stays beside it once the
// drawing is read or saved again.

#include "dxf/dxf_test_support.h"

#include "acdxf/dxf.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <random>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dxftest;
namespace fs = std::filesystem;

namespace {

// A drawing whose every line has the given length, big enough that a save
// takes a moment.
std::unique_ptr<AcDbDatabase> drawingOfLength(double length, int lines = 2000) {
    auto db = std::make_unique<AcDbDatabase>();
    for (int i = 0; i < lines; ++i) {
        auto* line = new AcDbLine({0, double(i), 0}, {length, double(i), 0});
        AcDbObjectId id;
        EXPECT_EQ(acdbAppendToBlock(db.get(), "*Model_Space", line, id), Acad::eOk);
        line->close();
    }
    return db;
}

// The length of the lines of the drawing at path (every line has the same),
// or -1 when it cannot be read or its lines disagree.
double lengthOf(const std::string& path, int lines = 2000) {
    AcDbDatabase db(false, true);
    if (db.readDwgFile(path, AcDbShare::kDenyNo) != Acad::eOk)
        return -1;
    AcDbBlockTableRecord* space = nullptr;
    AcDbObjectId spaceId = db.modelSpaceId();
    if (acdbOpenObject(space, spaceId, AcDb::kForRead) != Acad::eOk)
        return -1;
    double length = -1;
    int count = 0;
    for (AcDbObjectId id : space->entityIds()) {
        AcDbLine* line = nullptr;
        if (acdbOpenObject(line, id, AcDb::kForRead) != Acad::eOk)
            continue;
        double l = line->endPoint().x;
        line->close();
        if (count++ == 0)
            length = l;
        else if (l != length)
            length = -2;
    }
    space->close();
    return count == lines ? length : -1;
}

std::vector<std::string> namesIn(const fs::path& dir) {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

const char* g_stopAt = nullptr;

void stopAtStep(const char* step) {
    if (g_stopAt && std::string_view(step) == g_stopAt)
        raise(SIGSTOP);
}

// Forks a process that saves db over path and stops itself at `step`; kills it
// there. False when the child never reached the step.
bool killSaveAt(const AcDbDatabase& db, const std::string& path, const char* step) {
    pid_t pid = fork();
    if (pid == 0) {
        g_stopAt = step;
        acdxf::setSaveStepHook(stopAtStep);
        const_cast<AcDbDatabase&>(db).saveAs(path);
        _exit(0);
    }
    int status = 0;
    waitpid(pid, &status, WUNTRACED);
    bool stopped = WIFSTOPPED(status);
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return stopped;
}

// A file opened and write-locked as a live save keeps its temporary.
int lockLikeALiveSave(const std::string& path) {
    int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    struct flock fl {};
    fl.l_type = F_WRLCK;
    fl.l_whence = SEEK_SET;
    EXPECT_EQ(fcntl(fd, F_OFD_SETLK, &fl), 0);
    return fd;
}

} // namespace

TEST(DxfCrashSafety, SaveKilledAtEveryStepLeavesOldOrNewAndNoTemporary) {
    TempDir dir;
    const std::string path = dir.file("plan.dxf");
    auto oldDrawing = drawingOfLength(1);
    auto newDrawing = drawingOfLength(2);
    ASSERT_EQ(oldDrawing->saveAs(path), Acad::eOk);
    for (const char* step : {"write", "flush", "rename", "renamed"}) {
        SCOPED_TRACE(step);
        ASSERT_EQ(oldDrawing->saveAs(path), Acad::eOk);
        ASSERT_TRUE(killSaveAt(*newDrawing, path, step));
        double length = lengthOf(path); // the next host reads the drawing
        bool renamed = std::string_view(step) == "renamed";
        EXPECT_EQ(length, renamed ? 2 : 1);
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"plan.dxf"});
    }
    // Killed just before the rename, then saved again (not read) by the next host.
    ASSERT_TRUE(killSaveAt(*newDrawing, path, "rename"));
    ASSERT_EQ(oldDrawing->saveAs(path), Acad::eOk);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"plan.dxf"});
}

TEST(DxfCrashSafety, SavesKilledAtRandomMomentsNeverLeaveAHalfFile) {
    TempDir dir;
    const std::string path = dir.file("plan.dxf");
    auto oldDrawing = drawingOfLength(1);
    auto newDrawing = drawingOfLength(2);
    ASSERT_EQ(oldDrawing->saveAs(path), Acad::eOk);
    auto start = std::chrono::steady_clock::now();
    ASSERT_EQ(newDrawing->saveAs(dir.file("probe.dxf")), Acad::eOk);
    auto saveTime = std::chrono::steady_clock::now() - start;
    fs::remove(dir.file("probe.dxf"));
    auto spread = std::chrono::duration_cast<std::chrono::microseconds>(saveTime).count() * 2 + 1;

    std::mt19937 rng(11);
    for (int round = 0; round < 12; ++round) {
        pid_t pid = fork();
        if (pid == 0) {
            for (;;)
                newDrawing->saveAs(path);
        }
        usleep(static_cast<useconds_t>(rng() % spread));
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        double length = lengthOf(path);
        EXPECT_TRUE(length == 1 || length == 2) << "round " << round << ": " << length;
        EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"plan.dxf"});
    }
}

TEST(DxfCrashSafety, SweepRemovesOnlyTemporariesOfDeadSavesOfThatDrawing) {
    TempDir dir;
    const std::string path = dir.file("plan.dxf");
    auto db = drawingOfLength(1, 1);
    ASSERT_EQ(db->saveAs(path), Acad::eOk);
    writeFileBytes(dir.file(".plan.dxf.dead01"), "half a drawing");
    writeFileBytes(dir.file(".plan.dxf.dead02"), "");
    int live = lockLikeALiveSave(dir.file(".plan.dxf.live01"));
    writeFileBytes(dir.file(".other.dxf.dead03"), "another drawing's");
    writeFileBytes(dir.file(".plan.dxf.notours"), "longer suffix");

    ASSERT_EQ(db->saveAs(path), Acad::eOk);
    EXPECT_EQ(namesIn(dir.path()),
              (std::vector<std::string>{".other.dxf.dead03", ".plan.dxf.live01",
                                        ".plan.dxf.notours", "plan.dxf"}));

    // A read sweeps too, and the live writer's file is still left alone.
    writeFileBytes(dir.file(".plan.dxf.dead04"), "x");
    AcDbDatabase reader(false, true);
    ASSERT_EQ(reader.readDwgFile(path, AcDbShare::kDenyNo), Acad::eOk);
    EXPECT_FALSE(fs::exists(dir.file(".plan.dxf.dead04")));
    EXPECT_TRUE(fs::exists(dir.file(".plan.dxf.live01")));

    // Once its writer is gone, it goes too.
    close(live);
    ASSERT_EQ(db->saveAs(path), Acad::eOk);
    EXPECT_FALSE(fs::exists(dir.file(".plan.dxf.live01")));
}

TEST(DxfCrashSafety, SaveThatCannotWriteEverythingFailsAndKeepsTheOldFile) {
    TempDir dir;
    const std::string path = dir.file("plan.dxf");
    ASSERT_EQ(drawingOfLength(1)->saveAs(path), Acad::eOk);
    const std::string before = readFileBytes(path);
    // A child whose files may not grow past 64 KB: the new drawing does not fit.
    pid_t pid = fork();
    if (pid == 0) {
        signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {
            65536, 65536
        };
        setrlimit(RLIMIT_FSIZE, &limit);
        auto big = drawingOfLength(2, 5000);
        Acad::ErrorStatus es = big->saveAs(path);
        bool says = big->lastFileError().find("cannot be written") != std::string::npos;
        _exit(es == Acad::eFileAccessErr && says ? 0 : 1);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(readFileBytes(path), before);
    EXPECT_EQ(namesIn(dir.path()), std::vector<std::string>{"plan.dxf"});
}
