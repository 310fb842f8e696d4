// The add-in's submenu and toolbar in the suite menu group, added through the
// host's automation model: their shape, the duplicate tests, the group
// search, and the messages.
#include "runtime_core/runtime_fixture.h"

#include "app/SuiteMenu.h"
#include "cadhost/menu_groups.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace fs = std::filesystem;
using cadhost::MenuGroups;
using cadhost::menu::MenuItem;

namespace {

std::string suiteMenu(const std::string& group, const std::string& popItems = "",
                      const std::string& toolbars = "") {
    return "***MENUGROUP=" + group + "\r\n***POP1\r\n[Vorel]\r\n" + popItems +
           (toolbars.empty() ? "" : "***TOOLBARS\r\n" + toolbars);
}

class SuiteMenu : public cadhost::test::RuntimeTest {
protected:
    void SetUp() override {
        RuntimeTest::SetUp();
        groups.clear();
        dir = fs::temp_directory_path() / ("suite_menu_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        groups.clear();
        RuntimeTest::TearDown();
        fs::remove_all(dir);
    }
    void load(const std::string& file, const std::string& text) {
        std::ofstream(dir / file, std::ios::binary) << text;
        auto result = groups.load((dir / file).string());
        ASSERT_TRUE(result.ok) << result.message;
    }
    cadhost::menu::MenuGroup reread(const std::string& file) {
        std::ifstream in(dir / file, std::ios::binary);
        std::stringstream text;
        text << in.rdbuf();
        return cadhost::menu::readMns(text.str()).group;
    }
    std::size_t count(const std::string& text) const {
        const std::string all = log();
        std::size_t n = 0;
        for (std::size_t at = all.find(text); at != std::string::npos; at = all.find(text, at + 1))
            ++n;
        return n;
    }

    MenuGroups& groups = MenuGroups::instance();
    fs::path dir;
};

TEST_F(SuiteMenu, TheSubmenuAndToolbarAreAddedOnceAndSaved) {
    load("Vorel2005.mns", suiteMenu("Vorel", "[Other Product]OTHER \r\n"));
    kelvarin::addSuiteMenuAndToolbar();
    EXPECT_EQ(log().find("[Message box]"), std::string::npos) << log();

    for (const cadhost::menu::MenuGroup& g : {*groups.find("Vorel"), reread("Vorel2005.mns")}) {
        const auto& items = g.pops.at(0).items;
        ASSERT_EQ(items.size(), 2u);
        const MenuItem& sub = items[1];
        EXPECT_EQ(sub.label, "Kelvarin");
        ASSERT_EQ(sub.kind, MenuItem::Kind::Submenu);
        std::vector<std::string> labels;
        for (const MenuItem& item : sub.children)
            labels.push_back(item.kind == MenuItem::Kind::Separator ? "-" : item.label);
        EXPECT_EQ(labels, (std::vector<std::string>{
                              "Display Kelvarin", "Table Template Database Setting", "-",
                              "Kelvarin Help", "-", "Demo", "Online Resources", "Support",
                              "Check for Update...", "-", "About...", "-", "Try Vorel Merovin"}));
        EXPECT_EQ(sub.children[0].macro, "\x10\x03\x03_VOREL_KELVARIN_SHOW ");
        const MenuItem& online = sub.children[6];
        ASSERT_EQ(online.kind, MenuItem::Kind::Submenu);
        ASSERT_EQ(online.children.size(), 3u);
        EXPECT_EQ(online.children[1].label, "What's New");
        EXPECT_EQ(online.children[2].macro, "\x10\x03\x03_VOREL_KELVARIN_FAQ ");

        ASSERT_EQ(g.toolbars.size(), 1u);
        const auto& bar = g.toolbars[0];
        EXPECT_EQ(bar.name, "Kelvarin");
        EXPECT_TRUE(bar.visible);
        ASSERT_EQ(bar.buttons.size(), 3u);
        EXPECT_EQ(bar.buttons[0].name, "Display Kelvarin");
        EXPECT_EQ(bar.buttons[0].smallBitmap, "VOREL_KELVARIN_SHOW_SMALL.BMP");
        EXPECT_EQ(bar.buttons[1].name, "Kelvarin Help");
        EXPECT_EQ(bar.buttons[1].largeBitmap, "VOREL_KELVARIN_HELP_BIG.BMP");
        EXPECT_EQ(bar.buttons[1].macro, "\x10\x03\x03_VOREL_KELVARIN_HELP ");
        EXPECT_TRUE(bar.buttons[2].separator);
    }
    // The last entries of their levels carry the mark.
    const auto& sub = groups.find("Vorel")->pops[0].items[1];
    EXPECT_TRUE(sub.children.back().endsLevel);
    EXPECT_TRUE(sub.children[6].children.back().endsLevel);
    EXPECT_FALSE(sub.children[0].endsLevel);

    // A later start of the host reads the saved file: nothing is added twice.
    groups.clear();
    std::ifstream saved(dir / "Vorel2005.mns", std::ios::binary);
    std::stringstream text;
    text << saved.rdbuf();
    load("Vorel2005.mns", text.str());
    kelvarin::addSuiteMenuAndToolbar();
    EXPECT_EQ(groups.find("Vorel")->pops[0].items.size(), 2u);
    EXPECT_EQ(groups.find("Vorel")->toolbars.size(), 1u);
}

TEST_F(SuiteMenu, DuplicateTests) {
    // Any letter case of the label stops the submenu; the toolbar test looks
    // for the name inside toolbar names, letter case counting.
    load("Vorel2005.mns", suiteMenu("Vorel", "[KELVARIN]OLD \r\n",
                                    "**TB_X\r\n[_Toolbar(\"Kelvarin Extra\", _Floating, _Show, "
                                    "200, 200, 1)]\r\n"));
    kelvarin::addSuiteMenuAndToolbar();
    const auto& g = *groups.find("Vorel");
    ASSERT_EQ(g.pops[0].items.size(), 1u);
    EXPECT_EQ(g.pops[0].items[0].label, "KELVARIN");
    ASSERT_EQ(g.toolbars.size(), 1u);
    EXPECT_EQ(g.toolbars[0].name, "Kelvarin Extra");
}

TEST_F(SuiteMenu, TheSuiteGroupIsFoundByNameLetterCaseCounting) {
    load("lower.mns", suiteMenu("vorel"));
    kelvarin::addSuiteMenuAndToolbar();
    // Both steps report it, the toolbar step even after the menu step did.
    EXPECT_EQ(count("[Message box] cadhost: Can't find the menu group."), 2u) << log();
    EXPECT_TRUE(groups.find("vorel")->pops[0].items.empty());
    EXPECT_TRUE(groups.find("vorel")->toolbars.empty());

    take();
    load("mine.mns", suiteMenu("My Vorel Tools"));
    kelvarin::addSuiteMenuAndToolbar();
    EXPECT_EQ(log().find("[Message box]"), std::string::npos) << log();
    EXPECT_EQ(groups.find("My Vorel Tools")->pops[0].items.size(), 1u);
    EXPECT_EQ(groups.find("My Vorel Tools")->toolbars.size(), 1u);
}

TEST_F(SuiteMenu, AGroupWithoutTheSuitePopMenu) {
    load("bare.mns", "***MENUGROUP=Vorel\r\n***POP1\r\n[Tools]\r\n");
    kelvarin::addSuiteMenuAndToolbar();
    EXPECT_EQ(count("Can't find the menu group."), 1u) << log();
    EXPECT_EQ(groups.find("Vorel")->toolbars.size(), 1u); // the toolbar needs the group only
}

TEST_F(SuiteMenu, UnequalListsAreAScriptError) {
    load("Vorel2005.mns", suiteMenu("Vorel"));
    kelvarin::addSuiteMenuItems({"A", "B", "\n"}, {"A ", "\n", "B "});
    kelvarin::addSuiteToolbar({"A", "\n"}, {"A ", "\n"}, {"a.bmp", "\n"}, {"\n"});
    EXPECT_EQ(count("Menu script has an error."), 2u) << log();
    EXPECT_TRUE(groups.find("Vorel")->pops[0].items.empty());
    EXPECT_TRUE(groups.find("Vorel")->toolbars.empty());
}

TEST_F(SuiteMenu, ChildrenAreTheFollowingDeeperEntries) {
    const kelvarin::StringList labels = {"A", "->B", "->->C", "->", "->D", "E", "->F"};
    const kelvarin::StringList macros = {"-", "b", "c", "x", "d", "-", "f"};
    const auto level = kelvarin::collectChildren(labels, macros, 0);
    EXPECT_EQ(level.labels, (kelvarin::StringList{"B", "->C", "D"}));
    EXPECT_EQ(level.macros, (kelvarin::StringList{"b", "c", "d"}));
    EXPECT_TRUE(kelvarin::collectChildren(labels, macros, 6).labels.empty());
    EXPECT_EQ(kelvarin::copyList({"a", "", "b", "\n", "c"}), (kelvarin::StringList{"a", "b"}));
}

} // namespace
