// The suite loader's start-up work: the menu files beside the module, the
// menu load, the removal of entries of products taken out of the suite, and
// the product modules the registry lists.
#include "runtime_core/runtime_fixture.h"

#include "SuiteLoader.h"
#include "cadhost/lisp.h"
#include "cadhost/menu_groups.h"
#include "hostreg/registry.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using cadhost::MenuGroups;

namespace {

const std::string kExpectedMenu = "//\r\n"
                                  "//      AutoCAD menu file - //\r\n"
                                  "\r\n"
                                  "***MENUGROUP=Vorel\r\n"
                                  "\r\n"
                                  "***POP1\r\n"
                                  "\t\t\t\t[Vorel]\r\n"
                                  "\r\n"
                                  "\r\n"
                                  "//\r\n"
                                  "//      End of AutoCAD menu file - //\r\n"
                                  "\r\n";

const std::string kExpectedLisp = "(defun init-placemenu (/ CNT)\r\n"
                                  "(setq CNT 1)\r\n"
                                  "(while (< CNT 24)\r\n"
                                  "(if (menucmd (strcat \"P\" (itoa CNT) \".1=?\"))\r\n"
                                  "(setq CNT (1+ CNT))\r\n"
                                  "(progn\r\n"
                                  "(if (> CNT 2)\r\n"
                                  "(setq CNT (- CNT 2))\r\n"
                                  "(setq CNT 2)\r\n"
                                  ")\r\n"
                                  "(menucmd (strcat \"p\" (itoa CNT) \"=+Vorel.pop1\"))\r\n"
                                  "(setq CNT 25)\r\n"
                                  ")\r\n)\r\n)\r\n)\r\n"
                                  "\r\n\r\n\r\n"
                                  "(init-placemenu)\r\n"
                                  "\r\n";

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void setString(HKEY key, const char* name, const std::string& value) {
    RegSetValueEx(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                  DWORD(value.size() + 1));
}

HKEY createKey(const char* path) {
    HKEY key = nullptr;
    RegCreateKeyEx(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    return key;
}

// MENULOAD as the host's frame registers it: the file name from the input.
void menuLoadCommand() {
    char name[1024] = {};
    if (acedGetString(1, "\nMenu file: ", name) != RTNORM)
        return;
    auto result = MenuGroups::instance().load(name);
    if (!result.message.empty())
        acutPrintf("\n%s", result.message.c_str());
}

class SuiteLoader : public cadhost::test::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        hostRegistryOpenInMemory();
        groups.clear();
        groups.setHostMenus({"File", "Edit", "View", "Draw", "Tools", "Help"});
        cadhost::CommandProcessor::instance().setLispEvaluator(
            &cadhost::lisp::Interpreter::instance());
        acedRegCmds->addCommand("TEST", "_MENULOAD", "MENULOAD", 0, menuLoadCommand);
        dir = fs::temp_directory_path() / ("suite_loader_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        module = (dir / "Vorel2005.arx").string();
        newDrawing();
    }
    void TearDown() override {
        groups.clear();
        cadhost::CommandProcessor::instance().setLispEvaluator(nullptr);
        RuntimeTest::TearDown();
        hostRegistryClose();
        fs::remove_all(dir);
    }
    int cmdecho() {
        resbuf rb{};
        acedGetVar("CMDECHO", &rb);
        return rb.resval.rint;
    }

    MenuGroups& groups = MenuGroups::instance();
    fs::path dir;
    std::string module;
};

TEST_F(SuiteLoader, AFreshFolderGetsBothFilesByteForByte) {
    for (const char* stale : {"Vorel2005.mnr", "Vorel2005.mnc", "Vorel2005.mnl"})
        std::ofstream(dir / stale) << "stale";
    const vorel::SuiteFiles files = vorel::suiteFiles(module);
    EXPECT_TRUE(vorel::ensureSuiteMenuFiles(files));
    EXPECT_EQ(readFile(dir / "Vorel2005.mns"), kExpectedMenu);
    EXPECT_EQ(readFile(dir / "Vorel2005.mnl"), kExpectedLisp);
    EXPECT_FALSE(fs::exists(dir / "Vorel2005.mnr"));
    EXPECT_FALSE(fs::exists(dir / "Vorel2005.mnc"));

    // An existing menu file is left alone, and so is everything beside it.
    std::ofstream(dir / "Vorel2005.mns", std::ios::trunc) << "***MENUGROUP=Vorel\r\n// mine\r\n";
    std::ofstream(dir / "Vorel2005.mnc") << "compiled";
    EXPECT_FALSE(vorel::ensureSuiteMenuFiles(files));
    EXPECT_EQ(readFile(dir / "Vorel2005.mns"), "***MENUGROUP=Vorel\r\n// mine\r\n");
    EXPECT_TRUE(fs::exists(dir / "Vorel2005.mnc"));
}

TEST_F(SuiteLoader, TheModuleDirectoryIsTheFolderOfTheModuleWhateverItsName) {
    EXPECT_EQ(vorel::moduleDirectory("/opt/Suite/Vorel2005.arx"), "/opt/Suite/");
    // Cutting a fixed 13 characters would give "/opt/Suite/Vor" here.
    EXPECT_EQ(vorel::moduleDirectory("/opt/Suite/VorelLoader2005.arx"), "/opt/Suite/");
    EXPECT_EQ(vorel::moduleDirectory("/opt/Suite/V.arx"), "/opt/Suite/");
    EXPECT_EQ(vorel::suiteFiles("/s/loader.arx").menuFile, "/s/Vorel2005.mns");
    EXPECT_EQ(vorel::menuLoadCommand("C:\\Suite\\Vorel2005.mns"),
              "(command \"_.menuload\" \"C:/Suite/Vorel2005.mns\")(princ)\n");
}

TEST_F(SuiteLoader, ThePlacedMenuGoesTwoBeforeTheFirstFreePosition) {
    groups.setHostMenus({"1", "2", "3", "4", "5", "6", "7", "8"});
    ASSERT_TRUE(vorel::ensureSuiteMenuFiles(vorel::suiteFiles(module)));
    ASSERT_TRUE(groups.load((dir / "Vorel2005.mns").string()).ok);
    ASSERT_EQ(groups.bar().size(), 9u);
    EXPECT_EQ(groups.bar()[6].group, "Vorel");
}

TEST_F(SuiteLoader, StartUpLoadsTheGroupAndTheListedProducts) {
    HKEY links = createKey(vorel::kProductLinkKey);
    // Values that are not strings are skipped, even bytes that read as a path.
    const DWORD number = 42;
    RegSetValueEx(links, "Number", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                  sizeof number);
    const char bytes[] = "/nowhere/binary.arx";
    RegSetValueEx(links, "Bytes", 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes),
                  sizeof bytes);
    setString(links, "", "/nowhere/default.arx"); // the default value is never used
    setString(links, "TestProduct", cadhost::test::modulePath("testmod.arx"));
    RegCloseKey(links);
    RegCloseKey(createKey(vorel::kMenuToDelKey));
    resbuf on{};
    on.restype = RTSHORT;
    on.resval.rint = 1;
    acedSetVar("CMDECHO", &on);

    vorel::loadSuite(module);
    EXPECT_TRUE(acedIsMenuGroupLoaded("Vorel")) << log();
    EXPECT_EQ(groups.bar()[4].group, "Vorel"); // two before the first free position
    // Only the string-valued product was tried: a failed load would say "Cannot load".
    EXPECT_EQ(cadhost::ModuleLoader::instance().loadedModules(),
              std::vector<std::string>{"testmod.arx"})
        << log();
    EXPECT_EQ(log().find("Cannot load"), std::string::npos) << log();
    EXPECT_EQ(cmdecho(), 1);
    EXPECT_EQ(log().find("[Message box]"), std::string::npos) << log();
    EXPECT_EQ(log().find("menuload"), std::string::npos) << log(); // not echoed

    // A second start keeps the loaded group and sends no menu load.
    take();
    vorel::loadSuite(module);
    EXPECT_EQ(log().find("Menu group \"Vorel\" is already loaded"), std::string::npos) << log();
    EXPECT_EQ(log().find("menuload"), std::string::npos) << log();
}

TEST_F(SuiteLoader, WithoutProductsTheSuiteGroupIsUnloaded) {
    RegCloseKey(createKey(vorel::kProductLinkKey));
    RegCloseKey(createKey(vorel::kMenuToDelKey));
    vorel::loadSuite(module);
    EXPECT_FALSE(acedIsMenuGroupLoaded("Vorel")) << log();
    EXPECT_EQ(log().find("[Message box]"), std::string::npos) << log();
}

TEST_F(SuiteLoader, MissingKeysAreReportedAndCmdEchoIsRestored) {
    resbuf on{};
    on.restype = RTSHORT;
    on.resval.rint = 1;
    acedSetVar("CMDECHO", &on);
    vorel::loadSuite(module);
    EXPECT_NE(log().find("Can't read the menu information!"), std::string::npos) << log();
    EXPECT_NE(log().find("Can't read the system information, and can't load Vorel!"),
              std::string::npos)
        << log();
    EXPECT_EQ(cmdecho(), 1);
    EXPECT_TRUE(acedIsMenuGroupLoaded("Vorel")); // the menu is loaded all the same
}

TEST_F(SuiteLoader, ALoaderPathTooLongForItsBufferIsReportedAndNothingLoads) {
    HKEY links = createKey(vorel::kProductLinkKey);
    setString(links, "TestProduct", cadhost::test::modulePath("testmod.arx"));
    RegCloseKey(links);
    RegCloseKey(createKey(vorel::kMenuToDelKey));
    // 300 characters and more: the system's answer would be cut to 259.
    fs::path deep = dir;
    while (deep.string().size() < 300)
        deep /= std::string(60, 'd');
    fs::create_directories(deep);
    fs::copy_file(cadhost::test::modulePath("Vorel2005.arx"), deep / "Vorel2005.arx");

    ASSERT_EQ(acedArxLoad((deep / "Vorel2005.arx").string().c_str()), RTNORM) << log();
    EXPECT_NE(log().find(std::string("[Alert] ") + vorel::kPathTooLongMessage), std::string::npos)
        << log();
    EXPECT_EQ(cadhost::ModuleLoader::instance().find("testmod.arx"), nullptr) << log();
    EXPECT_FALSE(acedIsMenuGroupLoaded("Vorel"));
    for (const auto& entry : fs::recursive_directory_iterator(dir))
        EXPECT_EQ(entry.path().extension(), entry.is_directory() ? "" : ".arx") << entry.path();
}

TEST_F(SuiteLoader, MenuToDelEntriesAreConsumedAndTheirItemsAndToolbarsGone) {
    const std::string menu = "***MENUGROUP=Vorel\r\n"
                             "***POP1\r\n"
                             "[Vorel]\r\n"
                             "[->Kelvarin]\r\n"
                             "[<-Display Kelvarin]^P^C^C_VOREL_KELVARIN_SHOW \r\n"
                             "[Merovin]MEROVIN \r\n"
                             "[Other]OTHER \r\n"
                             "***TOOLBARS\r\n"
                             "**TB_KELVARIN\r\n"
                             "[_Toolbar(\"Kelvarin\", _Floating, _Show, 200, 200, 1)]\r\n"
                             "[_Button(\"Show\", \"S.BMP\", \"L.BMP\")]SHOW \r\n"
                             "**TB_OTHER\r\n"
                             "[_Toolbar(\"Other\", _Floating, _Show, 200, 200, 1)]\r\n";
    std::ofstream(dir / "Vorel2005.mns", std::ios::binary) << menu;
    ASSERT_TRUE(groups.load((dir / "Vorel2005.mns").string()).ok);
    HKEY del = createKey(vorel::kMenuToDelKey);
    setString(del, "", "kept");
    setString(del, "Kelvarin", "");
    setString(del, "Merovin", "");
    RegCloseKey(del);

    vorel::removeMenuEntries();
    // Only the default value stays.
    del = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_LOCAL_MACHINE, vorel::kMenuToDelKey, 0, KEY_READ, &del),
              ERROR_SUCCESS);
    DWORD values = 0;
    RegQueryInfoKey(del, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &values, nullptr,
                    nullptr, nullptr, nullptr);
    EXPECT_EQ(values, 1u);
    RegCloseKey(del);

    auto saved = cadhost::menu::readMns(readFile(dir / "Vorel2005.mns"));
    ASSERT_TRUE(saved.ok());
    ASSERT_EQ(saved.group.pops[0].items.size(), 1u);
    EXPECT_EQ(saved.group.pops[0].items[0].label, "Other");
    ASSERT_EQ(saved.group.toolbars.size(), 1u);
    EXPECT_EQ(saved.group.toolbars[0].name, "Other");

    // Consumed: a second run finds nothing to do and touches no file.
    fs::remove(dir / "Vorel2005.mns");
    vorel::removeMenuEntries();
    EXPECT_FALSE(fs::exists(dir / "Vorel2005.mns"));
}

} // namespace
