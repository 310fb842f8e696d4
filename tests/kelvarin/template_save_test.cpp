// Saving a table as a template: the dialog's checks in their order, the copy
// placed at the block origin, one reference per template (also after a
// replace), and reported failures that leave the file as it was.
#include "templates/TemplateDatabase.h"
#include "templates/TemplateSave.h"

#include "runtime_core/drawing_support.h"
#include "runtime_core/runtime_fixture.h"

#include "cadhost/ui_services.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace kelvarin::templates;

struct Boxes : cadhost::MessageBoxService {
    std::vector<std::pair<std::string, UINT>> seen;
    std::deque<int> answers;
    int messageBox(const cadhost::MessageBoxRequest& r) override {
        seen.emplace_back(r.text, r.type);
        if (answers.empty())
            return IDOK;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    void alert(const std::string& text) override { seen.emplace_back(text, MB_OK); }
};

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class TemplateSaveTest : public cadhost::test::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        cadhost::UiServices::install(&boxes);
        dir = fs::temp_directory_path() /
              ("kv_tplsave_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "Templates.db").string();
        ASSERT_TRUE(createTemplateDatabase(path));
        drawing = newDrawing()->database();
        table = cadhost::test::addTable(drawing, {100, 50, 0}, 3, 2);
    }
    void TearDown() override {
        cadhost::UiServices::resetToDefaults();
        fs::remove_all(dir);
        RuntimeTest::TearDown();
    }
    // Model-space references to each template block of the saved file.
    std::map<std::string, int> references() {
        auto db = readTemplateDatabase(path);
        std::map<std::string, int> count;
        if (!db)
            return count;
        AcDbBlockTableRecord* ms = nullptr;
        acdbOpenObject(ms, db->modelSpaceId(), AcDb::kForRead);
        for (AcDbObjectId id : ms->entityIds()) {
            AcDbObjectPointer<AcDbBlockReference> ref(id, AcDb::kForRead);
            if (!ref)
                continue;
            EXPECT_EQ(ref->position(), AcGePoint3d(0, 0, 0));
            AcDbBlockTableRecord* block = nullptr;
            acdbOpenObject(block, ref->blockTableRecord(), AcDb::kForRead);
            ++count[block->getName()];
            block->close();
        }
        ms->close();
        return count;
    }
    Boxes boxes;
    fs::path dir;
    std::string path;
    AcDbDatabase* drawing = nullptr;
    AcDbObjectId table;
};

TEST_F(TemplateSaveTest, ChecksComeInTheirOrderWithTheirMessages) {
    const std::vector<std::string> existing{"Doors", "Windows"};
    EXPECT_FALSE(acceptTemplateSave("", false, existing));
    EXPECT_FALSE(acceptTemplateSave("a.b", false, existing));
    EXPECT_FALSE(acceptTemplateSave("Revisions", false, existing));
    for (const char* c : invalidNameCharacters)
        EXPECT_FALSE(acceptTemplateSave(std::string("x") + c, true, existing)) << c;
    ASSERT_EQ(boxes.seen.size(), 3u + invalidNameCharacters.size());
    EXPECT_EQ(boxes.seen[0].first, "The template name can't be empty.");
    EXPECT_EQ(boxes.seen[1].first,
              "Invalid characters in group name.\nThe following characters are not valid in "
              "group names:<>/\\:?*|,=;.'\"");
    EXPECT_EQ(boxes.seen[2].first, "Please select a table.");
    boxes.seen.clear();
    EXPECT_TRUE(acceptTemplateSave("Door schedule Ü", true, existing)); // blanks and non-ASCII
    EXPECT_TRUE(boxes.seen.empty());
    // The same name in other letter case asks; Cancel keeps the dialog open.
    boxes.answers = {IDCANCEL};
    EXPECT_FALSE(acceptTemplateSave("DOORS", true, existing));
    boxes.answers = {IDOK};
    EXPECT_TRUE(acceptTemplateSave("doors", true, existing));
    ASSERT_EQ(boxes.seen.size(), 2u);
    EXPECT_EQ(boxes.seen[0].first, "DOORS already exists.Do you want to replace it?");
    EXPECT_EQ(boxes.seen[0].second & MB_TYPEMASK, MB_OKCANCEL);
}

TEST_F(TemplateSaveTest, TheTableIsStoredAtTheBlockOriginWithOneReference) {
    ASSERT_EQ(addTemplate(path, "Door schedule Ü", table, {100, 50, 0}), TemplateSaveResult::Saved);
    auto db = readTemplateDatabase(path);
    ASSERT_TRUE(db);
    EXPECT_EQ(templateNames(db.get()), (std::vector<std::string>{"Door schedule Ü"}));
    AcDbBlockTableRecord* block = nullptr;
    AcDbBlockTable* bt = nullptr;
    db->getBlockTable(bt, AcDb::kForRead);
    ASSERT_EQ(bt->getAt("Door schedule Ü", block, AcDb::kForRead), Acad::eOk);
    bt->close();
    const AcDbObjectIdArray inside = block->entityIds();
    block->close();
    ASSERT_EQ(inside.size(), 1u);
    {
        // Closed before its database goes.
        AcDbObjectPointer<AcDbTable> copy(inside[0], AcDb::kForRead);
        ASSERT_TRUE(copy);
        EXPECT_EQ(copy->position(), AcGePoint3d(0, 0, 0));
        EXPECT_EQ(copy->numRows(), 3);
    }
    db.reset();
    EXPECT_EQ(references(), (std::map<std::string, int>{{"Door schedule Ü", 1}}));
}

TEST_F(TemplateSaveTest, ReplacingInOtherLetterCaseKeepsOneReference) {
    ASSERT_EQ(addTemplate(path, "Doors", table, {100, 50, 0}), TemplateSaveResult::Saved);
    ASSERT_EQ(addTemplate(path, "Windows", table, {100, 50, 0}), TemplateSaveResult::Saved);
    const AcDbObjectId bigger = cadhost::test::addTable(drawing, {0, 0, 0}, 5, 5);
    ASSERT_EQ(addTemplate(path, "DOORS", bigger, {0, 0, 0}), TemplateSaveResult::Saved);
    const auto refs = references();
    EXPECT_EQ(refs.size(), 2u);
    for (const auto& [name, count] : refs)
        EXPECT_EQ(count, 1) << name;
    auto db = readTemplateDatabase(path);
    EXPECT_EQ(templateNames(db.get()).size(), 2u);
}

TEST_F(TemplateSaveTest, UnreadableAndHeldDatabasesAreReportedAndKept) {
    std::ofstream(path, std::ios::trunc) << "garbage";
    EXPECT_EQ(addTemplate(path, "Doors", table, {100, 50, 0}), TemplateSaveResult::Unreadable);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].first, "Can't read the template database!");
    EXPECT_EQ(contents(path), "garbage");

    fs::remove(path);
    ASSERT_TRUE(createTemplateDatabase(path));
    const std::string before = contents(path);
    auto other = readTemplateDatabase(path); // another dialog holds the file
    ASSERT_TRUE(other);
    boxes.seen.clear();
    EXPECT_NE(addTemplate(path, "Doors", table, {100, 50, 0}), TemplateSaveResult::Saved);
    ASSERT_FALSE(boxes.seen.empty());
    EXPECT_EQ(contents(path), before);
    // A name the database refuses (over 255 bytes) is reported, not saved.
    other.reset();
    boxes.seen.clear();
    EXPECT_EQ(addTemplate(path, std::string(300, 'x'), table, {100, 50, 0}),
              TemplateSaveResult::NotAdded);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].first, kNotAddedMessage);
    EXPECT_EQ(contents(path), before);
    // A table of nothing copies nothing and writes nothing.
    boxes.seen.clear();
    EXPECT_EQ(addTemplate(path, "Doors", AcDbObjectId::kNull, {0, 0, 0}),
              TemplateSaveResult::CopyFailed);
    EXPECT_TRUE(boxes.seen.empty());
}

} // namespace
