// Message boxes, alerts, file dialogs, shell opens, the frame and copy-data
// input, with the headless defaults and installed services.
#include "runtime_fixture.h"

#include "cadhost/ui_services.h"

namespace cadhost::test {
namespace {

class UiServicesTest : public RuntimeTest {};

TEST_F(UiServicesTest, HeadlessDefaultsRecordAndCancel) {
    EXPECT_EQ(AfxMessageBox("Replace it?", MB_OKCANCEL | MB_ICONQUESTION), IDCANCEL);
    EXPECT_EQ(AfxMessageBox("Sure?", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox("Done."), IDOK);
    EXPECT_EQ(acedAlert("Toolbar failed"), RTNORM);
    EXPECT_GT(
        ShellExecuteA(nullptr, "open", "http://example.com/", nullptr, nullptr, SW_SHOWNORMAL), 32);
    resbuf rb{};
    EXPECT_EQ(acedGetFileD("Template database", "", "db", 0, &rb), RTCAN);
    std::string text = log();
    EXPECT_NE(text.find("[Message box] cadhost: Replace it?"), std::string::npos);
    EXPECT_NE(text.find("[Alert] Toolbar failed"), std::string::npos);
    EXPECT_NE(text.find("[Shell open] http://example.com/"), std::string::npos);
    EXPECT_NE(text.find("[File dialog] Template database"), std::string::npos);
}

struct ScriptedBoxes : MessageBoxService {
    std::vector<MessageBoxRequest> seen;
    int answer = IDYES;
    int messageBox(const MessageBoxRequest& r) override {
        seen.push_back(r);
        return answer;
    }
    void alert(const std::string& text) override { seen.push_back({text, "alert", MB_OK}); }
};

struct ChosenFile : FileDialogService {
    FileDialogRequest seen;
    std::optional<std::string> chooseFile(const FileDialogRequest& r) override {
        seen = r;
        return std::string("/tmp/templates.db");
    }
};

TEST_F(UiServicesTest, InstalledServicesAnswer) {
    ScriptedBoxes boxes;
    ChosenFile files;
    UiServices::install(&boxes);
    UiServices::install(&files);
    EXPECT_EQ(MessageBoxA(nullptr, "Overwrite?", "Kelvarin", MB_YESNO | MB_ICONWARNING), IDYES);
    ASSERT_EQ(boxes.seen.size(), 1u);
    EXPECT_EQ(boxes.seen[0].caption, "Kelvarin");
    EXPECT_EQ(boxes.seen[0].type & MB_ICONMASK, MB_ICONWARNING);
    resbuf rb{};
    ASSERT_EQ(acedGetFileD("Pick", "/tmp", "db;.dxf", 1, &rb), RTNORM);
    EXPECT_EQ(rb.restype, RTSTR);
    EXPECT_STREQ(rb.resval.rstring, "/tmp/templates.db");
    acutDelString(rb.resval.rstring);
    EXPECT_TRUE(files.seen.save);
    EXPECT_EQ(files.seen.extensions, (std::vector<std::string>{"db", "dxf"}));
    UiServices::resetToDefaults();
    EXPECT_EQ(AfxMessageBox("x", MB_YESNO), IDNO);
}

TEST_F(UiServicesTest, FileDialogFiltersFlagsAndDefaultExtension) {
    const auto filters =
        parseFileFilter("Template Database Files(*.db)|*.db|All Files(*.*)|*.*;*.bak||ignored|x");
    ASSERT_EQ(filters.size(), 2u);
    EXPECT_EQ(filters[0].label, "Template Database Files(*.db)");
    EXPECT_EQ(filters[0].patterns, (std::vector<std::string>{"*.db"}));
    EXPECT_EQ(filters[1].patterns, (std::vector<std::string>{"*.*", "*.bak"}));
    EXPECT_TRUE(parseFileFilter("").empty());
    EXPECT_TRUE(parseFileFilter("Label only|").empty());

    struct Answer : FileDialogService {
        FileDialogRequest seen;
        std::optional<std::string> answer;
        std::optional<std::string> chooseFile(const FileDialogRequest& r) override {
            seen = r;
            return answer;
        }
    } files;
    UiServices::install(&files);
    // An open dialog takes a new name and never asks to replace, whatever the flags.
    files.answer = "/tmp/new/TemplateDb";
    CFileDialog open(true, "db", "TemplateDb", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "Template Database Files(*.db)|*.db|All Files(*.*)|*.*||");
    open.m_ofn.lpstrTitle = "Create/Open Table Template Database";
    ASSERT_EQ(open.DoModal(), IDOK);
    EXPECT_EQ(open.GetPathName(), "/tmp/new/TemplateDb.db");
    EXPECT_EQ(open.GetFileName(), "TemplateDb.db");
    EXPECT_EQ(files.seen.title, "Create/Open Table Template Database");
    EXPECT_EQ(files.seen.defaultName, "TemplateDb");
    EXPECT_TRUE(files.seen.acceptNewFile);
    EXPECT_FALSE(files.seen.save);
    ASSERT_EQ(files.seen.filters.size(), 2u);
    // A name with its own extension keeps it; a file that must exist is asked for.
    files.answer = "/tmp/lib.dwt";
    CFileDialog mustExist(true, "db", nullptr, OFN_FILEMUSTEXIST, nullptr);
    ASSERT_EQ(mustExist.DoModal(), IDOK);
    EXPECT_EQ(mustExist.GetPathName(), "/tmp/lib.dwt");
    EXPECT_EQ(mustExist.GetFileExt(), "dwt");
    EXPECT_FALSE(files.seen.acceptNewFile);
    CFileDialog save(false, "db", nullptr, OFN_OVERWRITEPROMPT, nullptr);
    save.DoModal();
    EXPECT_TRUE(files.seen.save);
    // Cancel and an empty answer both cancel.
    files.answer = std::nullopt;
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    EXPECT_TRUE(open.GetPathName().empty());
    files.answer = "";
    EXPECT_EQ(open.DoModal(), IDCANCEL);
    UiServices::resetToDefaults();
}

TEST_F(UiServicesTest, CopyDataTextIsTakenAsTyped) {
    static int ran = 0;
    struct Local {
        static void cmd() { ++ran; }
    };
    acedRegCmds->addCommand("TEST", "_MENULOADTEST", "MENULOADTEST", 0, Local::cmd);
    std::string text = "_MENULOADTEST\n";
    COPYDATASTRUCT cds;
    cds.dwData = 1;
    cds.cbData = static_cast<DWORD>(text.size() + 1);
    cds.lpData = text.data();
    EXPECT_TRUE(acedGetAcadFrame()->SendCopyData(cds));
    cds.dwData = 2;
    EXPECT_FALSE(acedGetAcadFrame()->SendCopyData(cds));
    CommandProcessor::instance().processPending();
    EXPECT_EQ(ran, 1);
    // A size shorter than the text stops at the size; no zero is needed.
    cds.dwData = 1;
    cds.cbData = 4;
    EXPECT_TRUE(acedGetAcadFrame()->SendCopyData(cds));
    EXPECT_EQ(InputBroker::instance().pendingText(), "_MEN");
}

TEST_F(UiServicesTest, FrameCallsReachTheInstalledFrame) {
    struct Frame : MainFrameService {
        int focus_ = 0, activate_ = 0, update_ = 0;
        void focus() override { ++focus_; }
        void activate() override { ++activate_; }
        void updateDisplay() override { ++update_; }
        void* nativeWindow() const override { return const_cast<Frame*>(this); }
    } frame;
    acedGetAcadFrame()->SetFocus(); // nothing installed: nothing happens
    UiServices::install(&frame);
    acedGetAcadFrame()->SetFocus();
    acedGetAcadFrame()->SetActiveWindow();
    acedUpdateDisplay();
    EXPECT_EQ(acedGetAcadFrame()->nativeWindow(), &frame);
    UiServices::install(static_cast<MainFrameService*>(nullptr));
    EXPECT_EQ(frame.focus_, 1);
    EXPECT_EQ(frame.activate_, 1);
    EXPECT_EQ(frame.update_, 1);
    EXPECT_EQ(acedGetAcadFrame()->nativeWindow(), nullptr);
}

} // namespace
} // namespace cadhost::test
