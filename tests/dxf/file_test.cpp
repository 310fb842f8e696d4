// Drawing files on disk: saving atomically, reading, and the deny-write hold
// that keeps other databases and processes from writing a file.

#include "dxf/dxf_test_support.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace dxftest;
namespace fs = std::filesystem;

namespace {

std::unique_ptr<AcDbDatabase> drawingWithLine(double length) {
    auto db = std::make_unique<AcDbDatabase>();
    auto* line = new AcDbLine({0, 0, 0}, {length, 0, 0});
    AcDbObjectId id;
    EXPECT_EQ(acdbAppendToBlock(db.get(), "*Model_Space", line, id), Acad::eOk);
    line->close();
    return db;
}

std::size_t filesIn(const fs::path& dir) {
    std::size_t n = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(dir))
        ++n;
    return n;
}

// A child process that reads path deny-write, says so on a pipe and keeps
// the database until told to go.
class HoldingChild {
public:
    explicit HoldingChild(const std::string& path) {
        int ready[2], go[2];
        EXPECT_EQ(pipe(ready), 0);
        EXPECT_EQ(pipe(go), 0);
        m_pid = fork();
        if (m_pid == 0) {
            close(ready[0]);
            close(go[1]);
            AcDbDatabase db(false, true);
            char status = db.readDwgFile(path, AcDbShare::kDenyWrite) == Acad::eOk ? 'y' : 'n';
            (void)!write(ready[1], &status, 1);
            char c;
            (void)!read(go[0], &c, 1);
            _exit(0);
        }
        close(ready[1]);
        close(go[0]);
        m_go = go[1];
        char status = 0;
        EXPECT_EQ(read(ready[0], &status, 1), 1);
        close(ready[0]);
        m_holding = status == 'y';
    }
    ~HoldingChild() { release(); }
    bool holding() const { return m_holding; }
    void release() {
        if (m_pid <= 0)
            return;
        char c = 'x';
        (void)!write(m_go, &c, 1);
        close(m_go);
        int status = 0;
        waitpid(m_pid, &status, 0);
        m_pid = -1;
    }

private:
    pid_t m_pid = -1;
    int m_go = -1;
    bool m_holding = false;
};

// Runs fn in a child process and returns its exit code.
template <class Fn> int inChild(Fn fn) {
    pid_t pid = fork();
    if (pid == 0)
        _exit(fn());
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

TEST(DxfFiles, SavedDrawingReadsBackTheSame) {
    TempDir dir;
    auto db = makeTableDrawing();
    std::string path = dir.file("tables.dxf");
    ASSERT_EQ(db->saveAs(path), Acad::eOk) << db->lastFileError();
    EXPECT_EQ(db->filename(), path);

    AcDbDatabase back(false, true);
    ASSERT_EQ(back.readDwgFile(path, AcDbShare::kDenyNo), Acad::eOk) << back.lastFileError();
    EXPECT_EQ(dumpDatabase(back), dumpDatabase(*db));
    EXPECT_EQ(back.filename(), path);
    EXPECT_FALSE(back.fileHold());
    EXPECT_EQ(filesIn(dir.path()), 1u) << "no temporary file is left behind";
}

TEST(DxfFiles, ReadFailuresSayWhyAndLeaveTheDatabaseAlone) {
    TempDir dir;
    auto db = makeEntityDrawing();
    std::string before = dumpDatabase(*db);

    EXPECT_EQ(db->readDwgFile(dir.file("missing.dxf")), Acad::eFileNotFound);
    EXPECT_NE(db->lastFileError().find("missing.dxf"), std::string::npos);
    EXPECT_NE(db->lastFileError().find("does not exist"), std::string::npos);

    EXPECT_EQ(db->readDwgFile(dir.path().string()), Acad::eFileAccessErr);
    EXPECT_NE(db->lastFileError().find("folder"), std::string::npos);

    writeFileBytes(dir.file("notes.txt"), "just some notes\n");
    EXPECT_EQ(db->readDwgFile(dir.file("notes.txt")), Acad::eBadDxfFile);
    EXPECT_NE(db->lastFileError().find("not a DXF file"), std::string::npos) << db->lastFileError();
    EXPECT_EQ(dumpDatabase(*db), before);
}

TEST(DxfFiles, SaveReplacesTheFileAndKeepsItsPermissions) {
    TempDir dir;
    std::string path = dir.file("plan.dxf");
    auto first = drawingWithLine(1);
    ASSERT_EQ(first->saveAs(path), Acad::eOk);
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);

    auto second = drawingWithLine(2);
    ASSERT_EQ(second->saveAs(path), Acad::eOk) << second->lastFileError();
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    AcDbDatabase back(false, true);
    ASSERT_EQ(back.readDwgFile(path, AcDbShare::kDenyNo), Acad::eOk);
    EXPECT_EQ(dumpDatabase(back), dumpDatabase(*second));
}

TEST(DxfFiles, SaveThroughALinkReplacesTheFileItNames) {
    TempDir dir;
    std::string real = dir.file("real.dxf"), link = dir.file("link.dxf");
    ASSERT_EQ(drawingWithLine(1)->saveAs(real), Acad::eOk);
    fs::create_symlink(real, link);
    auto db = drawingWithLine(3);
    ASSERT_EQ(db->saveAs(link), Acad::eOk) << db->lastFileError();
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFileBytes(real), readFileBytes(link));
}

TEST(DxfFiles, FailedSaveLeavesThePreviousFileWhole) {
    TempDir dir;
    std::string path = dir.file("plan.dxf");
    ASSERT_EQ(drawingWithLine(1)->saveAs(path), Acad::eOk);
    std::string before = readFileBytes(path);

    // The disk "fills up" in the middle of writing: a file size limit.
    auto big = makeTableDrawing();
    int code = inChild([&] {
        std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {
            4096, 4096
        };
        setrlimit(RLIMIT_FSIZE, &limit);
        Acad::ErrorStatus es = big->saveAs(path);
        return es == Acad::eFileAccessErr ? 0 : 1;
    });
    EXPECT_EQ(code, 0) << "the save must fail with eFileAccessErr";
    EXPECT_EQ(readFileBytes(path), before);
    EXPECT_EQ(filesIn(dir.path()), 1u) << "the temporary file is removed";

    auto db = drawingWithLine(2);
    EXPECT_EQ(db->saveAs(dir.file("no/such/folder/plan.dxf")), Acad::eFileAccessErr);
    EXPECT_NE(db->lastFileError().find("folder"), std::string::npos) << db->lastFileError();
}

TEST(DxfFiles, DenyWriteReadKeepsOtherDatabasesFromWriting) {
    TempDir dir;
    std::string path = dir.file("templates.db");
    ASSERT_EQ(drawingWithLine(1)->saveAs(path), Acad::eOk);

    auto holder = std::make_unique<AcDbDatabase>(false, true);
    ASSERT_EQ(holder->readDwgFile(path, AcDbShare::kDenyWrite), Acad::eOk);
    EXPECT_TRUE(holder->fileHold());
    std::string held = readFileBytes(path);

    auto other = drawingWithLine(5);
    EXPECT_EQ(other->saveAs(path), Acad::eFileLockedByOther);
    EXPECT_NE(other->lastFileError().find("open in another"), std::string::npos)
        << other->lastFileError();
    EXPECT_EQ(readFileBytes(path), held) << "nothing is overwritten";
    EXPECT_EQ(filesIn(dir.path()), 1u);

    // Reading stays possible, with or without a hold of one's own.
    AcDbDatabase reader(false, true);
    EXPECT_EQ(reader.readDwgFile(path, AcDbShare::kDenyNo), Acad::eOk);

    holder.reset(); // the hold ends with the database
    EXPECT_EQ(other->saveAs(path), Acad::eOk) << other->lastFileError();
}

TEST(DxfFiles, HolderSavesBackToItsOwnFileAndKeepsHoldingIt) {
    TempDir dir;
    std::string path = dir.file("templates.db");
    ASSERT_EQ(drawingWithLine(1)->saveAs(path), Acad::eOk);

    AcDbDatabase holder(false, true);
    ASSERT_EQ(holder.readDwgFile(path, AcDbShare::kDenyWrite), Acad::eOk);
    for (double length : {7.0, 8.0}) {
        {
            AcDbObjectPointer<AcDbBlockTableRecord> ms(holder.modelSpaceId(), AcDb::kForWrite);
            auto* line = new AcDbLine({0, 0, 0}, {length, 0, 0});
            ms->appendAcDbEntity(line);
            line->close();
        }
        ASSERT_EQ(holder.saveAs(path), Acad::eOk) << holder.lastFileError();
        AcDbDatabase check(false, true);
        ASSERT_EQ(check.readDwgFile(path, AcDbShare::kDenyNo), Acad::eOk);
        EXPECT_EQ(dumpDatabase(check), dumpDatabase(holder));
        // The hold moved to the new file: others still cannot write it,
        // in this process or another.
        EXPECT_EQ(drawingWithLine(9)->saveAs(path), Acad::eFileLockedByOther);
        int code = inChild(
            [&] { return drawingWithLine(9)->saveAs(path) == Acad::eFileLockedByOther ? 0 : 1; });
        EXPECT_EQ(code, 0);
    }
    EXPECT_EQ(filesIn(dir.path()), 1u);
}

TEST(DxfFiles, TwoHoldersKeepEachOtherFromSaving) {
    TempDir dir;
    std::string path = dir.file("shared.dxf");
    ASSERT_EQ(drawingWithLine(1)->saveAs(path), Acad::eOk);
    AcDbDatabase first(false, true);
    auto second = std::make_unique<AcDbDatabase>(false, true);
    ASSERT_EQ(first.readDwgFile(path, AcDbShare::kDenyWrite), Acad::eOk);
    ASSERT_EQ(second->readDwgFile(path, AcDbShare::kDenyWrite), Acad::eOk);
    EXPECT_EQ(first.saveAs(path), Acad::eFileLockedByOther);
    second.reset();
    EXPECT_EQ(first.saveAs(path), Acad::eOk) << first.lastFileError();
}

TEST(DxfFiles, FailedReadKeepsTheEarlierHold) {
    TempDir dir;
    std::string path = dir.file("held.dxf"), bad = dir.file("bad.dxf");
    ASSERT_EQ(drawingWithLine(1)->saveAs(path), Acad::eOk);
    writeFileBytes(bad, "0\nSECTION\n2\nENTITIES\n");
    AcDbDatabase holder(false, true);
    ASSERT_EQ(holder.readDwgFile(path, AcDbShare::kDenyWrite), Acad::eOk);
    EXPECT_EQ(holder.readDwgFile(bad, AcDbShare::kDenyWrite), Acad::eBadDxfFile);
    EXPECT_EQ(drawingWithLine(2)->saveAs(path), Acad::eFileLockedByOther);
    // Reading another file without a hold lets the first one go.
    ASSERT_EQ(holder.readDwgFile(path, AcDbShare::kDenyNo), Acad::eOk);
    EXPECT_EQ(drawingWithLine(2)->saveAs(path), Acad::eOk);
}

TEST(DxfFiles, HoldOfAnotherProcessKeepsThisOneFromWriting) {
    TempDir dir;
    std::string path = dir.file("templates.db");
    ASSERT_EQ(drawingWithLine(1)->saveAs(path), Acad::eOk);
    std::string before = readFileBytes(path);
    {
        HoldingChild child(path);
        ASSERT_TRUE(child.holding());
        auto db = drawingWithLine(4);
        EXPECT_EQ(db->saveAs(path), Acad::eFileLockedByOther);
        EXPECT_EQ(readFileBytes(path), before);
        EXPECT_EQ(filesIn(dir.path()), 1u);
        // A deny-write read of this process goes along with the other's.
        AcDbDatabase reader(false, true);
        EXPECT_EQ(reader.readDwgFile(path, AcDbShare::kDenyWrite), Acad::eOk);
        child.release();
    }
    EXPECT_EQ(drawingWithLine(4)->saveAs(path), Acad::eOk);
}

TEST(DxfFiles, SavingUnderAnotherNameMovesTheHoldToTheNewFile) {
    TempDir dir;
    std::string original = dir.file("original.dxf"), copy = dir.file("copy.dxf");
    ASSERT_EQ(drawingWithLine(1)->saveAs(original), Acad::eOk);
    AcDbDatabase holder(false, true);
    ASSERT_EQ(holder.readDwgFile(original, AcDbShare::kDenyWrite), Acad::eOk);
    ASSERT_EQ(holder.saveAs(copy), Acad::eOk) << holder.lastFileError();
    EXPECT_EQ(holder.filename(), copy);
    EXPECT_EQ(drawingWithLine(2)->saveAs(copy), Acad::eFileLockedByOther);
    EXPECT_EQ(drawingWithLine(2)->saveAs(original), Acad::eOk);
    ASSERT_EQ(holder.saveAs(copy), Acad::eOk) << "and may save it again";
}
