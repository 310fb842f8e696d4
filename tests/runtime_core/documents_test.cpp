// Documents: creation, opening, saving, closing, activation, locks, reactors
// and the command queue.
#include "drawing_support.h"
#include "runtime_fixture.h"

#include <cstdio>
#include <fstream>

namespace cadhost::test {
namespace {

struct RecordingReactor : AcApDocManagerReactor {
    std::vector<std::string> events;
    void documentCreated(AcApDocument* d) override { events.push_back("created " + title(d)); }
    void documentToBeDestroyed(AcApDocument* d) override {
        events.push_back("toBeDestroyed " + title(d));
    }
    void documentDestroyed(const char*) override { events.push_back("destroyed"); }
    void documentActivated(AcApDocument* d) override { events.push_back("activated " + title(d)); }
    void documentLockModeChanged(AcApDocument*, AcAp::DocLockMode, AcAp::DocLockMode now,
                                 AcAp::DocLockMode, const char*) override {
        events.push_back("lock " + std::to_string(now));
    }
    static std::string title(AcApDocument* d) { return d->docTitle(); }
};

class DocumentsTest : public RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        dir = std::filesystem::temp_directory_path() /
              ("cadhost_docs_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
    }
    void TearDown() override {
        RuntimeTest::TearDown();
        std::filesystem::remove_all(dir);
    }
    AcApDocManager* docs = acDocManagerPtr();
    std::filesystem::path dir;
};

TEST_F(DocumentsTest, NewDocumentsAreActiveAndCounted) {
    EXPECT_EQ(docs->activeDocument(), nullptr);
    AcApDocument* a = docs->newDocument();
    AcApDocument* b = docs->newDocument();
    EXPECT_EQ(docs->documentCount(), 2);
    EXPECT_EQ(docs->activeDocument(), b);
    EXPECT_EQ(docs->curDocument(), b);
    EXPECT_STRNE(a->docTitle(), b->docTitle());
    EXPECT_STREQ(a->fileName(), "");
    EXPECT_EQ(acdbHostApplicationServices()->workingDatabase(), b->database());
    ASSERT_EQ(docs->setActiveDocument(a), Acad::eOk);
    EXPECT_EQ(acdbCurDwg(), a->database());
    // A new drawing has the default content.
    EXPECT_FALSE(a->database()->modelSpaceId().isNull());
}

TEST_F(DocumentsTest, ClosingTellsReactorsAndActivatesAnother) {
    RecordingReactor reactor;
    docs->addReactor(&reactor);
    AcApDocument* a = docs->newDocument();
    AcApDocument* b = docs->newDocument();
    std::string titleB = b->docTitle();
    reactor.events.clear();
    ASSERT_EQ(docs->closeDocument(b), Acad::eOk);
    EXPECT_EQ(docs->documentCount(), 1);
    EXPECT_EQ(docs->activeDocument(), a);
    ASSERT_GE(reactor.events.size(), 3u);
    EXPECT_EQ(reactor.events.front(), "toBeDestroyed " + titleB);
    EXPECT_NE(std::find(reactor.events.begin(), reactor.events.end(), "destroyed"),
              reactor.events.end());
    EXPECT_EQ(docs->closeDocument(b), Acad::eInvalidInput) << "already gone";
    docs->removeReactor(&reactor);
    docs->closeDocument(a);
    EXPECT_EQ(docs->activeDocument(), nullptr);
    EXPECT_EQ(acdbCurDwg(), nullptr);
}

TEST_F(DocumentsTest, ClosingAnInactiveDocumentKeepsTheActiveOne) {
    AcApDocument* a = docs->newDocument();
    AcApDocument* b = docs->newDocument();
    docs->newDocument();
    docs->setActiveDocument(b);
    ASSERT_EQ(docs->closeDocument(a), Acad::eOk);
    EXPECT_EQ(docs->activeDocument(), b);
}

TEST_F(DocumentsTest, WriteLocksNestButExcludeReadersAndExclusiveWriters) {
    AcApDocument* d = docs->newDocument();
    EXPECT_EQ(d->lockMode(), AcAp::kNotLocked);
    ASSERT_EQ(docs->lockDocument(d, 4), Acad::eOk); // the add-in passes 4
    EXPECT_EQ(d->lockMode(), AcAp::kWrite);
    EXPECT_EQ(docs->lockDocument(d, AcAp::kWrite), Acad::eOk) << "write locks nest";
    EXPECT_EQ(docs->lockDocument(d, AcAp::kRead), Acad::eOk) << "the writer may read";
    EXPECT_EQ(docs->lockDocument(d, AcAp::kXWrite), Acad::eLockViolation);
    EXPECT_EQ(docs->unlockDocument(d), Acad::eOk);
    EXPECT_EQ(docs->unlockDocument(d), Acad::eOk);
    EXPECT_EQ(docs->unlockDocument(d), Acad::eOk);
    EXPECT_EQ(docs->unlockDocument(d), Acad::eNotApplicable);

    ASSERT_EQ(docs->lockDocument(d, AcAp::kRead), Acad::eOk);
    EXPECT_EQ(docs->lockDocument(d, AcAp::kWrite), Acad::eLockViolation);
    EXPECT_EQ(docs->lockDocument(d, AcAp::kRead), Acad::eOk);
    docs->unlockDocument(d);
    docs->unlockDocument(d);

    ASSERT_EQ(docs->lockDocument(d, AcAp::kXWrite), Acad::eOk);
    EXPECT_EQ(docs->lockDocument(d, AcAp::kRead), Acad::eLockViolation);
    EXPECT_EQ(d->lockMode(), AcAp::kXWrite);
    docs->unlockDocument(d);
    EXPECT_EQ(d->lockMode(), AcAp::kNotLocked);
}

TEST_F(DocumentsTest, WriteLocksBoundNamedUndoStepsAndNewDrawingsStartEmpty) {
    DocumentManager& manager = DocumentManager::instance();
    AcApDocument* d = docs->newDocument();
    AcDbUndoHistory* history = manager.undoHistory(d);
    ASSERT_NE(history, nullptr);
    manager.setActionName("Merge Cells");
    ASSERT_EQ(docs->lockDocument(d, 4), Acad::eOk);
    AcDbObjectId table = addTable(d->database(), AcGePoint3d(0, 0, 0), 2, 2);
    ASSERT_EQ(docs->lockDocument(d, AcAp::kWrite), Acad::eOk); // nested: the same step
    {
        AcDbObjectPointer<AcDbTable> t(table, AcDb::kForWrite);
        t->setTextString(0, 0, "x");
    }
    docs->unlockDocument(d);
    EXPECT_FALSE(history->canUndo()) << "the outer lock still holds the step open";
    docs->unlockDocument(d);
    ASSERT_EQ(history->undoCount(), 1u);
    EXPECT_EQ(history->undoName(), "Merge Cells");
    manager.setActionName("");

    // A read lock records nothing.
    ASSERT_EQ(docs->lockDocument(d, AcAp::kRead), Acad::eOk);
    docs->unlockDocument(d);
    EXPECT_EQ(history->undoCount(), 1u);

    ASSERT_EQ(history->undo(), Acad::eOk);
    AcDbObjectPointer<AcDbTable> gone(table, AcDb::kForRead);
    EXPECT_FALSE(gone) << "the appended table went with the step";
    EXPECT_FALSE(manager.undoHistory(docs->newDocument())->canRedo());
}

TEST_F(DocumentsTest, UndoLimitVariableBoundsTheHistory) {
    resbuf two{};
    two.restype = RTSHORT;
    two.resval.rint = 2;
    ASSERT_EQ(acedSetVar("UNDOLIMIT", &two), RTNORM);
    AcApDocument* d = docs->newDocument();
    AcDbUndoHistory* history = DocumentManager::instance().undoHistory(d);
    ASSERT_NE(history, nullptr);
    std::vector<AcDbObjectId> added;
    for (int i = 0; i < 4; ++i) {
        ASSERT_EQ(docs->lockDocument(d, AcAp::kWrite), Acad::eOk);
        added.push_back(addTable(d->database(), AcGePoint3d(0, -10.0 * i, 0), 2, 2));
        docs->unlockDocument(d);
    }
    EXPECT_EQ(history->undoCount(), 2u);
    ASSERT_EQ(history->undo(), Acad::eOk);
    ASSERT_EQ(history->undo(), Acad::eOk);
    EXPECT_EQ(history->undo(), Acad::eNotApplicable);
    // The two oldest tables stay: their steps were dropped.
    for (int i = 0; i < 4; ++i) {
        AcDbObjectPointer<AcDbTable> t(added[static_cast<std::size_t>(i)], AcDb::kForRead);
        EXPECT_EQ(bool(t), i < 2) << "table " << i;
    }
}

TEST_F(DocumentsTest, BadLockRequestsAreRefused) {
    AcApDocument* d = docs->newDocument();
    EXPECT_EQ(docs->lockDocument(nullptr, AcAp::kWrite), Acad::eInvalidInput);
    EXPECT_EQ(docs->lockDocument(d, 3), Acad::eInvalidInput);
    EXPECT_EQ(docs->lockDocument(d, AcAp::kNone), Acad::eInvalidInput);
    EXPECT_EQ(d->lockMode(), AcAp::kNotLocked);
}

TEST_F(DocumentsTest, LockedDocumentIsNotClosedUnderItsCommand) {
    AcApDocument* d = docs->newDocument();
    docs->lockDocument(d, AcAp::kWrite);
    EXPECT_EQ(docs->closeDocument(d), Acad::eLockViolation);
    EXPECT_EQ(docs->documentCount(), 1);
    docs->unlockDocument(d);
    EXPECT_EQ(docs->closeDocument(d), Acad::eOk);
}

TEST_F(DocumentsTest, LockChangesReachReactors) {
    RecordingReactor reactor;
    AcApDocument* d = docs->newDocument();
    docs->addReactor(&reactor);
    docs->lockDocument(d, AcAp::kWrite);
    docs->unlockDocument(d);
    docs->removeReactor(&reactor);
    EXPECT_EQ(reactor.events, (std::vector<std::string>{"lock 4", "lock 2"}));
}

TEST_F(DocumentsTest, QueueActivatesTheDocumentWhenAsked) {
    AcApDocument* a = docs->newDocument();
    AcApDocument* b = docs->newDocument();
    EXPECT_EQ(docs->queueCommandString(a, "X ", false, true, true), Acad::eOk);
    EXPECT_EQ(docs->activeDocument(), b);
    EXPECT_EQ(docs->sendStringToExecute(a, "Y ", true, false, true), Acad::eOk);
    EXPECT_EQ(docs->activeDocument(), a);
    EXPECT_EQ(InputBroker::instance().pendingText(), "X Y ");
    EXPECT_EQ(docs->queueCommandString(a, nullptr), Acad::eInvalidInput);
}

TEST_F(DocumentsTest, OpeningAMissingOrGarbageFileFailsWithAMessage) {
    std::string error;
    EXPECT_EQ(docs->openDocument((dir / "missing.dxf").c_str(), &error), nullptr);
    EXPECT_NE(error.find("does not exist"), std::string::npos);
    std::string garbage = (dir / "garbage.dxf").string();
    std::ofstream(garbage) << "this is not a drawing\n\x01\x02\x03";
    EXPECT_EQ(docs->openDocument(garbage.c_str(), &error), nullptr);
    EXPECT_NE(error.find("Cannot open"), std::string::npos);
    EXPECT_NE(log().find("Cannot open \"" + garbage + "\""), std::string::npos);
    EXPECT_EQ(docs->documentCount(), 0);
}

TEST_F(DocumentsTest, SaveAsThenOpenGivesTheDrawingBack) {
    AcApDocument* d = docs->newDocument();
    addTable(d->database(), AcGePoint3d(1, 2, 0));
    std::string error;
    EXPECT_EQ(docs->saveDocument(d, &error), Acad::eInvalidInput) << "untitled";
    std::string path = (dir / "table.dxf").string();
    ASSERT_EQ(docs->saveDocumentAs(d, path.c_str(), &error), Acad::eOk) << error;
    EXPECT_EQ(std::string(d->fileName()), path);
    EXPECT_STREQ(d->docTitle(), "table.dxf");
    ASSERT_EQ(docs->saveDocument(d, &error), Acad::eOk) << error;
    ASSERT_EQ(docs->closeDocument(d), Acad::eOk);

    AcApDocument* back = docs->openDocument(path.c_str(), &error);
    ASSERT_NE(back, nullptr) << error;
    resbuf* filter = acutBuildList(RTDXF0, "ACAD_TABLE", 0);
    ads_name ss;
    EXPECT_EQ(acedSSGet("X", nullptr, nullptr, filter, ss), RTNORM);
    acutRelRb(filter);
    acedSSFree(ss);
    // Opening the same file again activates the open document.
    docs->newDocument();
    EXPECT_EQ(docs->openDocument(path.c_str()), back);
    EXPECT_EQ(docs->activeDocument(), back);
}

TEST_F(DocumentsTest, ResourceStackPushesAndPopsThroughTheManager) {
    struct Provider : ResourceProvider {
        std::string tag;
        explicit Provider(std::string t) : tag(std::move(t)) {}
        std::optional<std::string> locate(const std::string& kind, unsigned id) const override {
            if (kind == "BITMAP" && id == 7)
                return tag + ":7";
            return std::nullopt;
        }
        std::optional<std::string> locate(const std::string&,
                                          const std::string& name) const override {
            return name == "only-host" && tag == "host" ? std::optional(tag) : std::nullopt;
        }
        std::optional<std::string> string(unsigned id) const override {
            return id == 1 ? std::optional(tag + " string") : std::nullopt;
        }
    };
    auto* module = reinterpret_cast<HINSTANCE>(0x1000);
    cadhostRegisterResources(nullptr, std::make_shared<Provider>("host"));
    cadhostRegisterResources(module, std::make_shared<Provider>("module"));
    ResourceModules& res = ResourceModules::instance();
    EXPECT_EQ(res.string(1), "host string");
    docs->pushResourceHandle(module);
    EXPECT_EQ(docs->currentResourceHandle(), module);
    EXPECT_EQ(res.string(1), "module string");
    EXPECT_EQ(res.locate("BITMAP", 7), "module:7");
    EXPECT_EQ(res.locate("BITMAP", "only-host"), "host") << "the host's own resources back it up";
    EXPECT_EQ(res.locate("BITMAP", 8), std::nullopt);
    docs->popResourceHandle();
    docs->popResourceHandle(); // an unpaired pop is ignored
    EXPECT_EQ(docs->currentResourceHandle(), nullptr);
    EXPECT_EQ(res.string(1), "host string");
}

} // namespace
} // namespace cadhost::test
