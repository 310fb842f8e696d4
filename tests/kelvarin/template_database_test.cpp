// The template database: where its path is kept, how it is found or made,
// which blocks are templates, and that saving it never loses the file.
#include "templates/TemplateDatabase.h"

#include "runtime_core/drawing_support.h"
#include "runtime_core/runtime_fixture.h"

#include "cadhost/ui_services.h"
#include "hostreg/registry.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;
using namespace kelvarin::templates;

struct ScriptedUi : cadhost::MessageBoxService, cadhost::FileDialogService {
    std::vector<std::string> boxes;
    std::deque<int> answers;
    std::vector<cadhost::FileDialogRequest> dialogs;
    std::optional<std::string> file;
    int messageBox(const cadhost::MessageBoxRequest& r) override {
        boxes.push_back(r.text);
        if (answers.empty())
            return IDCANCEL;
        const int a = answers.front();
        answers.pop_front();
        return a;
    }
    void alert(const std::string& text) override { boxes.push_back(text); }
    std::optional<std::string> chooseFile(const cadhost::FileDialogRequest& r) override {
        dialogs.push_back(r);
        return file;
    }
};

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class TemplateDatabaseTest : public cadhost::test::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        hostRegistryOpenInMemory();
        cadhost::UiServices::install(static_cast<cadhost::MessageBoxService*>(&ui));
        cadhost::UiServices::install(static_cast<cadhost::FileDialogService*>(&ui));
        dir = fs::temp_directory_path() /
              ("kv_tpldb_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        cadhost::UiServices::resetToDefaults();
        hostRegistryClose();
        fs::remove_all(dir);
        RuntimeTest::TearDown();
    }
    std::string stored() {
        CUtiCommonFunc u;
        u.setRegistryRoot("Vorel\\Vorel2005");
        return u.readRegistryString("Kelvarin", "DBLocation", "<none>");
    }
    ScriptedUi ui;
    CUtiCommonFunc util;
    fs::path dir;
};

TEST_F(TemplateDatabaseTest, NamesRefuseTheListedCharactersAndCompareWithoutCase) {
    for (const char* c : {"<", ">", "/", "\\", ":", "?", "*", "|", ",", "=", ";", "'", ".", "\""})
        EXPECT_TRUE(containsInvalidNameCharacter(std::string("Door") + c + "List")) << c;
    EXPECT_FALSE(containsInvalidNameCharacter("Door schedule"));
    EXPECT_FALSE(containsInvalidNameCharacter("Türliste Ø-Maße"));
    EXPECT_FALSE(containsInvalidNameCharacter(""));
    EXPECT_TRUE(sameTemplateName("Door Schedule", "DOOR schedule"));
    EXPECT_FALSE(sameTemplateName("Door", "Doors"));
    EXPECT_TRUE(sameTemplateName("Türliste", "TüRLISTE"));
}

TEST_F(TemplateDatabaseTest, PathIsUsableOnlyWhenTheFileOpens) {
    EXPECT_FALSE(templateDatabasePath(util).usable);
    EXPECT_EQ(templateDatabasePath(util).path, "");
    const fs::path file = dir / "Templates.db";
    ASSERT_TRUE(storeTemplateDatabasePath(util, file.string()));
    EXPECT_EQ(templateDatabasePath(util).path, file.string());
    EXPECT_FALSE(templateDatabasePath(util).usable); // not there yet
    std::ofstream(file) << "x";
    EXPECT_TRUE(templateDatabasePath(util).usable);
    storeTemplateDatabasePath(util, dir.string()); // a folder is no file
    EXPECT_FALSE(templateDatabasePath(util).usable);
}

TEST_F(TemplateDatabaseTest, CreatingMakesAnEmptyDrawingAndLeavesAnExistingFileAlone) {
    const fs::path fresh = dir / "Fresh.db";
    ASSERT_TRUE(createTemplateDatabase(fresh.string()));
    std::string error;
    auto db = readTemplateDatabase(fresh.string(), &error);
    ASSERT_TRUE(db) << error;
    EXPECT_TRUE(templateNames(db.get()).empty());
    db.reset();

    const fs::path other = dir / "Other.db";
    std::ofstream(other) << "not a drawing";
    EXPECT_TRUE(createTemplateDatabase(other.string()));
    EXPECT_EQ(contents(other), "not a drawing");
    EXPECT_FALSE(readTemplateDatabase(other.string(), &error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(createTemplateDatabase((dir / "missing" / "x.db").string()));
}

TEST_F(TemplateDatabaseTest, EnsureOffersToCreateAndStoresTheChosenPath) {
    const fs::path chosen = dir / "New Templates";
    ui.answers = {IDYES};
    ui.file = chosen.string();
    const auto path = ensureTemplateDatabase(util);
    ASSERT_TRUE(path);
    EXPECT_EQ(*path, chosen.string() + ".db"); // the default extension
    EXPECT_TRUE(fs::exists(*path));
    EXPECT_EQ(stored(), *path);
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0], "\nCan't find the Database of the templates. Do you want to create "
                           "or select a template database.");
    ASSERT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(ui.dialogs[0].title, "Create/Open Table Template Database");
    EXPECT_TRUE(ui.dialogs[0].acceptNewFile);
    ASSERT_EQ(ui.dialogs[0].filters.size(), 2u);
    EXPECT_EQ(ui.dialogs[0].filters[1].label, "All Files(*.*)");

    // Usable now: no question the second time.
    EXPECT_EQ(ensureTemplateDatabase(util), path);
    EXPECT_EQ(ui.boxes.size(), 1u);
}

TEST_F(TemplateDatabaseTest, EnsureEndsWhenDeclinedOrCancelled) {
    newDrawing();
    ui.answers = {IDNO};
    EXPECT_FALSE(ensureTemplateDatabase(util));
    EXPECT_TRUE(ui.dialogs.empty());
    ui.answers = {IDYES};
    ui.file = std::nullopt;
    EXPECT_FALSE(ensureTemplateDatabase(util));
    EXPECT_EQ(ui.dialogs.size(), 1u);
    EXPECT_EQ(stored(), "<none>"); // nothing stored
}

TEST_F(TemplateDatabaseTest, TemplateNamesSkipLayoutsAnonymousAndExternalBlocks) {
    AcDbDatabase db(true, false);
    AcDbBlockTable* table = nullptr;
    ASSERT_EQ(db.getBlockTable(table, AcDb::kForWrite), Acad::eOk);
    for (const char* name : {"Door schedule", "*U5", "Window"}) {
        auto* record = new AcDbBlockTableRecord;
        record->setName(name);
        AcDbObjectId id;
        ASSERT_EQ(table->add(id, record), Acad::eOk);
        record->close();
    }
    table->close();
    EXPECT_EQ(templateNames(&db), (std::vector<std::string>{"Door schedule", "Window"}));
    EXPECT_TRUE(templateNames(nullptr).empty());
}

TEST_F(TemplateDatabaseTest, AFailedSaveIsReportedAndTheFileStaysWhole) {
    const fs::path file = dir / "Held.db";
    ASSERT_TRUE(createTemplateDatabase(file.string()));
    const std::string before = contents(file);
    // Another holder (a second host has it open in a dialog).
    auto holder = readTemplateDatabase(file.string());
    ASSERT_TRUE(holder);
    AcDbDatabase changed(true, false);
    EXPECT_FALSE(saveTemplateDatabase(changed, file.string()));
    ASSERT_EQ(ui.boxes.size(), 1u);
    EXPECT_EQ(ui.boxes[0].rfind("Can't save the template database!", 0), 0u);
    EXPECT_EQ(contents(file), before);
    holder.reset();
    EXPECT_TRUE(saveTemplateDatabase(changed, file.string()));
    EXPECT_EQ(ui.boxes.size(), 1u);
}

} // namespace
