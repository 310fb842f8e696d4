// Opening a template as a table: the preview's reference, the placement as
// independent entities (the user's own blocks untouched), and deletions
// written at once or reported with the file kept.
#include "templates/TemplateDatabase.h"
#include "templates/TemplateOpen.h"
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
    std::vector<std::string> seen;
    int messageBox(const cadhost::MessageBoxRequest& r) override {
        seen.push_back(r.text);
        return IDOK;
    }
    void alert(const std::string& text) override { seen.push_back(text); }
};

std::string contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

class TemplateOpenTest : public cadhost::test::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        cadhost::UiServices::install(&boxes);
        dir = fs::temp_directory_path() /
              ("kv_tplopen_" + std::to_string(::getpid()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
        path = (dir / "Templates.db").string();
        ASSERT_TRUE(createTemplateDatabase(path));
        AcDbDatabase* source = newDrawing()->database();
        const AcDbObjectId table = cadhost::test::addTable(source, {100, 50, 0}, 3, 2);
        ASSERT_EQ(addTemplate(path, "Doors", table, {100, 50, 0}), TemplateSaveResult::Saved);
        ASSERT_EQ(addTemplate(path, "Windows", table, {100, 50, 0}), TemplateSaveResult::Saved);
        drawing = newDrawing()->database();
        ASSERT_EQ(acdbHostApplicationServices()->workingDatabase(), drawing);
    }
    void TearDown() override {
        cadhost::UiServices::resetToDefaults();
        fs::remove_all(dir);
        RuntimeTest::TearDown();
    }
    std::vector<AcDbObjectId> modelSpace() {
        AcDbObjectPointer<AcDbBlockTableRecord> ms(drawing->modelSpaceId(), AcDb::kForRead);
        return ms->entityIds();
    }
    Boxes boxes;
    fs::path dir;
    std::string path;
    AcDbDatabase* drawing = nullptr;
};

TEST_F(TemplateOpenTest, PreviewShowsOnlyATemplateWithOneReference) {
    auto db = readTemplateDatabase(path);
    ASSERT_TRUE(db);
    const AcDbObjectId single = previewReference(*db, "doors"); // names ignore letter case
    ASSERT_FALSE(single.isNull());
    EXPECT_TRUE(AcDbObjectPointer<AcDbBlockReference>(single, AcDb::kForRead));
    EXPECT_TRUE(previewReference(*db, "Nothing").isNull());
    // A second reference (an old double save) leaves the picture as it was.
    AcDbObjectId block = CUtiCommonFunc().blockIdByName("Windows", db.get());
    cadhost::test::appendToModelSpace(db.get(), new AcDbBlockReference({5, 5, 0}, block));
    EXPECT_TRUE(previewReference(*db, "Windows").isNull());
}

TEST_F(TemplateOpenTest, PlacingLeavesTheTableAtThePointAndNoBlockOrReference) {
    // The user's own block that happens to share the template's name.
    auto* own = new AcDbBlockTableRecord;
    own->setName("Doors");
    AcDbObjectId ownId;
    {
        AcDbObjectPointer<AcDbBlockTable> bt(drawing->blockTableId(), AcDb::kForWrite);
        ASSERT_EQ(bt->add(ownId, own), Acad::eOk);
    }
    AcDbObjectId lineId;
    auto* line = new AcDbLine({0, 0, 0}, {1, 1, 0});
    ASSERT_EQ(own->appendAcDbEntity(lineId, line), Acad::eOk);
    line->close();
    own->close();
    const AcDbObjectId ownRef =
        cadhost::test::appendToModelSpace(drawing, new AcDbBlockReference({-5, 0, 0}, ownId));
    const std::vector<std::string> blocksBefore = templateNames(drawing);

    auto db = readTemplateDatabase(path);
    ASSERT_TRUE(placeTemplate(*db, "Doors", {10, 20, 0}));
    const std::vector<AcDbObjectId> ids = modelSpace();
    ASSERT_EQ(ids.size(), 2u);
    EXPECT_EQ(ids[0], ownRef);
    AcDbObjectPointer<AcDbTable> table(ids[1], AcDb::kForRead);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->position(), AcGePoint3d(10, 20, 0));
    EXPECT_EQ(table->numRows(), 3);
    EXPECT_EQ(templateNames(drawing), blocksBefore); // no template block left behind
    AcDbObjectPointer<AcDbBlockTableRecord> kept(ownId, AcDb::kForRead);
    ASSERT_TRUE(kept);
    ASSERT_EQ(kept->entityIds().size(), 1u);
    EXPECT_TRUE(AcDbObjectPointer<AcDbLine>(kept->entityIds()[0], AcDb::kForRead));

    EXPECT_FALSE(placeTemplate(*db, "Nothing", {0, 0, 0}));
    EXPECT_EQ(modelSpace().size(), 2u);
}

TEST_F(TemplateOpenTest, DeletingWritesAtOnceOrReportsAndKeepsTheFile) {
    auto db = readTemplateDatabase(path);
    ASSERT_TRUE(deleteTemplate("Doors", *db, path));
    EXPECT_EQ(templateNames(db.get()), (std::vector<std::string>{"Windows"}));
    db.reset();
    auto again = readTemplateDatabase(path);
    ASSERT_TRUE(again);
    EXPECT_EQ(templateNames(again.get()), (std::vector<std::string>{"Windows"}));
    EXPECT_TRUE(previewReference(*again, "Windows").isNull() == false);

    // Another dialog (or host) holds the file too: the save fails, is
    // reported, and the file keeps the template.
    auto other = readTemplateDatabase(path);
    ASSERT_TRUE(other);
    const std::string before = contents(path);
    EXPECT_FALSE(deleteTemplate("Windows", *again, path));
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].rfind("Can't save the template database!", 0), 0u);
    EXPECT_EQ(contents(path), before);
}

} // namespace
