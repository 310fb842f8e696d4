// The help and web commands of Kelvarin.arx as the host runs them: each one
// hands the shell the right address, mail or file (a recording shell
// service stands in for the desktop).
#include "runtime_core/runtime_fixture.h"

#include "app/WebAddresses.h"
#include "cadhost/ui_services.h"
#include "hostreg/registry.h"

#include <gtest/gtest.h>

namespace {

struct RecordingShell : cadhost::ShellService {
    std::vector<std::pair<std::string, std::string>> opened; // operation, target
    bool open(const std::string& target, const std::string& operation) override {
        opened.emplace_back(operation, target);
        return false; // nothing is reported either way
    }
};

class WebCommands : public cadhost::test::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        hostRegistryOpenInMemory();
        HKEY key = nullptr;
        RegCreateKeyEx(HKEY_LOCAL_MACHINE, kelvarin::kMachineKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                       nullptr, &key, nullptr);
        const std::string site = "http://maker.test:8080";
        const std::string mail = "help@maker.test";
        RegSetValueEx(key, kelvarin::kWebSiteValue, 0, REG_SZ,
                      reinterpret_cast<const BYTE*>(site.c_str()), site.size() + 1);
        RegSetValueEx(key, kelvarin::kSupportMailValue, 0, REG_SZ,
                      reinterpret_cast<const BYTE*>(mail.c_str()), mail.size() + 1);
        RegCloseKey(key);
        cadhost::UiServices::install(&shell);
        newDrawing();
        ASSERT_EQ(acedArxLoad(path.c_str()), RTNORM) << log();
    }
    void TearDown() override {
        cadhost::UiServices::install(static_cast<cadhost::ShellService*>(nullptr));
        RuntimeTest::TearDown();
        hostRegistryClose();
    }
    std::string runAndTakeTarget(const std::string& command) {
        shell.opened.clear();
        type(command);
        EXPECT_EQ(shell.opened.size(), 1u) << command << "\n" << log();
        if (shell.opened.empty())
            return {};
        EXPECT_EQ(shell.opened[0].first, "open");
        return shell.opened[0].second;
    }

    RecordingShell shell;
    const std::string path = cadhost::test::modulePath("Kelvarin.arx");
};

TEST_F(WebCommands, PagesOfTheMakersSite) {
    EXPECT_EQ(runAndTakeTarget("VOREL_KELVARIN_WEBSITE"), "http://maker.test:8080/");
    EXPECT_EQ(runAndTakeTarget("_VOREL_KELVARIN_TRYMEROVIN"), "http://maker.test:8080/");
    EXPECT_EQ(runAndTakeTarget("VOREL_KELVARIN_NEW"),
              "http://maker.test:8080/redirect.php?page=whatsnew&product=kv");
    EXPECT_EQ(runAndTakeTarget("VOREL_KELVARIN_FAQ"),
              "http://maker.test:8080/redirect.php?page=faq&product=kv");
    EXPECT_EQ(runAndTakeTarget("VOREL_KELVARIN_SUPPORT"), kelvarin::supportMail("help@maker.test"));
    // A shell that fails is not reported.
    EXPECT_EQ(log().find("rror"), std::string::npos) << log();
}

TEST_F(WebCommands, HelpOpensTheManualBesideTheModule) {
    const std::string manual = runAndTakeTarget("VOREL_KELVARIN_HELP");
    EXPECT_EQ(manual, (cadhost::test::binaryDir() / "Kelvarin Manual.htm").string());
    // The build puts the manual there, as the installation does.
    EXPECT_TRUE(std::filesystem::exists(manual)) << manual;
}

} // namespace
