#include "cadhost/menu_group.h"

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

using namespace cadhost::menu;

namespace {

// The suite's menu source as the loader writes it.
const char* kSuiteMenu = "//\r\n//      AutoCAD menu file - //\r\n\r\n***MENUGROUP=Vorel\r\n\r\n"
                         "***POP1\r\n\t\t\t\t[Vorel]\r\n\r\n\r\n//\r\n"
                         "//      End of AutoCAD menu file - //\r\n\r\n";

const char* kFullMenu = "***MENUGROUP=Tools\n"
                        "***POP3\n"
                        "**TOOLS\n"
                        "ID_Tools [&Tools]\n"
                        "ID_Open  [Open...]^C^C_OPEN \n"
                        "         [->More]\n"
                        "         [Line]^P^C^C_LINE \n"
                        "         [->Deeper]\n"
                        "         [<-<-Last]_QUIT\n"
                        "         [--]\n"
                        "         [Tail]\n"
                        "***TOOLBARS\n"
                        "**TB_DRAW\n"
                        "ID_TbDraw [_Toolbar(\"Draw, quick\", _Floating, _Hide, 10, 20, 1)]\n"
                        "ID_Line   [_Button(\"Line\", \"LINE_S.BMP\", \"LINE_L.BMP\")]^C^C_LINE \n"
                        "          [--]\n"
                        "ID_Fly    [_Flyout(\"More\", \"M_S.BMP\", \"M_L.BMP\")]\n"
                        "***HELPSTRINGS\n"
                        "ID_Line [Draws a line]\n"
                        "ID_Line [Second text is ignored]\n"
                        "***ACCELERATORS\n"
                        "[CONTROL+\"L\"]^C^C_LINE\n"
                        "// kept as it was\n";

TEST(MenuSource, ReadsTheSuiteMenuTheLoaderWrites) {
    MnsReadResult r = readMns(kSuiteMenu);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.problems.empty());
    EXPECT_EQ(r.group.name, "Vorel");
    ASSERT_EQ(r.group.pops.size(), 1u);
    EXPECT_EQ(r.group.pops[0].section, "POP1");
    EXPECT_EQ(r.group.pops[0].name, "Vorel");
    EXPECT_TRUE(r.group.pops[0].items.empty());
    EXPECT_TRUE(r.group.toolbars.empty());
}

TEST(MenuSource, ReadsSubmenusSeparatorsToolbarsAndHelp) {
    MnsReadResult r = readMns(kFullMenu);
    ASSERT_TRUE(r.ok());
    EXPECT_TRUE(r.problems.empty()) << r.problems.front();
    const PopMenu& pop = r.group.pops.at(0);
    EXPECT_EQ(pop.name, "&Tools");
    EXPECT_EQ(pop.aliases, std::vector<std::string>{"TOOLS"});
    ASSERT_EQ(pop.items.size(), 4u);
    EXPECT_EQ(pop.items[0].macro, "\x03\x03_OPEN ");
    EXPECT_EQ(pop.items[0].tag, "ID_Open");
    const MenuItem& more = pop.items[1];
    EXPECT_EQ(more.kind, MenuItem::Kind::Submenu);
    ASSERT_EQ(more.children.size(), 2u);
    EXPECT_EQ(more.children[0].macro, "\x10\x03\x03_LINE ");
    const MenuItem& deeper = more.children[1];
    ASSERT_EQ(deeper.children.size(), 1u);
    EXPECT_EQ(deeper.children[0].label, "Last");
    EXPECT_TRUE(deeper.children[0].endsLevel);
    // "<-<-" closed both levels: the separator and "Tail" are top-level again.
    EXPECT_EQ(pop.items[2].kind, MenuItem::Kind::Separator);
    EXPECT_EQ(pop.items[3].label, "Tail");

    const Toolbar& tb = r.group.toolbars.at(0);
    EXPECT_EQ(tb.name, "Draw, quick");
    EXPECT_FALSE(tb.visible);
    ASSERT_EQ(tb.buttons.size(), 3u);
    EXPECT_EQ(tb.buttons[0].smallBitmap, "LINE_S.BMP");
    EXPECT_EQ(tb.buttons[0].largeBitmap, "LINE_L.BMP");
    EXPECT_EQ(tb.buttons[0].help, "Draws a line");
    EXPECT_TRUE(tb.buttons[1].separator);
    EXPECT_TRUE(tb.buttons[2].flyout);
    ASSERT_EQ(r.group.others.size(), 1u);
    EXPECT_EQ(r.group.others[0].lines, std::vector<std::string>{"[CONTROL+\"L\"]^C^C_LINE"});
}

TEST(MenuSource, WritingAndReadingAgainKeepsTheGroup) {
    MnsReadResult first = readMns(kFullMenu);
    const std::string written = writeMns(first.group);
    EXPECT_NE(written.find("\r\n"), std::string::npos);
    MnsReadResult second = readMns(written);
    EXPECT_TRUE(second.problems.empty());
    EXPECT_EQ(second.group, first.group);
    EXPECT_EQ(writeMns(second.group), written);
}

// A subsection name that is stars behind control characters must not come
// back as a section header once the control characters are written as blanks.
TEST(MenuSource, SubsectionNamesNeverBecomeSectionHeaders) {
    const MnsReadResult first =
        readMns("***MENUGROUP=G\n***POP1\n**\x0f*TOOLBARS\n[File]\n***TOOLBARS\n**\x0f\n"
                "[_Toolbar(\"T\", _Floating, _Show, 0, 0, 1)]\n");
    ASSERT_EQ(first.group.pops.size(), 1u);
    EXPECT_EQ(first.group.pops[0].aliases, std::vector<std::string>{"TOOLBARS"});
    const MnsReadResult second = readMns(writeMns(first.group));
    EXPECT_EQ(second.group.pops, first.group.pops);
    ASSERT_EQ(second.group.toolbars.size(), 1u);
    EXPECT_EQ(readMns(writeMns(second.group)).group, second.group);
}

TEST(MenuSource, ItemsAddedInMemoryAreWrittenSoTheyReadBack) {
    MenuGroup group = readMns(kSuiteMenu).group;
    MenuItem sub;
    sub.kind = MenuItem::Kind::Submenu;
    sub.label = "Kelvarin";
    MenuItem show;
    show.label = "Display ]Kelvarin"; // a bracket cannot be stored in a label
    show.macro = "\x10\x03\x03_VOREL_KELVARIN_SHOW ";
    MenuItem online;
    online.kind = MenuItem::Kind::Submenu;
    online.label = "Online Resources";
    MenuItem faq;
    faq.label = "FAQ";
    online.children.push_back(faq);
    sub.children = {show, online}; // the submenu ends with a submenu: both levels close at FAQ
    MenuItem empty;
    empty.kind = MenuItem::Kind::Submenu;
    empty.label = "Empty";
    group.pops[0].items = {sub, empty};
    Toolbar tb;
    tb.name = "Kelvarin";
    ToolbarButton button;
    button.name = "Kelvarin Help";
    button.help = "Opens the manual";
    button.macro = "\x10\x03\x03_VOREL_KELVARIN_HELP ";
    button.smallBitmap = "VOREL_KELVARIN_HELP_SMALL.BMP";
    tb.buttons = {button};
    group.toolbars.push_back(tb);

    MnsReadResult back = readMns(writeMns(group));
    ASSERT_TRUE(back.ok());
    const auto& items = back.group.pops[0].items;
    ASSERT_EQ(items.size(), 2u);
    ASSERT_EQ(items[0].children.size(), 2u);
    EXPECT_EQ(items[0].children[0].label, "Display )Kelvarin");
    EXPECT_EQ(items[0].children[0].macro, show.macro);
    EXPECT_EQ(items[0].children[1].children.at(0).label, "FAQ");
    // An empty submenu cannot be written as one and comes back as a plain entry.
    EXPECT_EQ(items[1].kind, MenuItem::Kind::Command);
    EXPECT_EQ(items[1].label, "Empty");
    const Toolbar& t = back.group.toolbars.at(0);
    EXPECT_EQ(t.buttons.at(0).help, "Opens the manual");
    EXPECT_EQ(t.buttons.at(0).macro, button.macro);
    EXPECT_EQ(t.buttons.at(0).smallBitmap, button.smallBitmap);
}

TEST(MenuSource, BadLinesAreProblemsNotFailures) {
    MnsReadResult none = readMns("***POP1\n[x]\n");
    EXPECT_FALSE(none.ok());
    MnsReadResult r = readMns("***MENUGROUP=G\n[orphan]\n***POP1\n[T]\nno bracket\n[unclosed\n"
                              "***TOOLBARS\n[_Button(\"a\",\"b\",\"c\")]\n**TB\n[_Unknown()]\n");
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(r.problems.size(), 5u);
    EXPECT_TRUE(r.group.pops.at(0).items.empty());
    // A thousand nested submenus do not make the writer recurse a thousand deep.
    std::string deep = "***MENUGROUP=D\n***POP1\n[T]\n";
    for (int i = 0; i < 1000; ++i)
        deep += "[->x]\n";
    deep += "[y]\n";
    const MenuGroup once = readMns(writeMns(readMns(deep).group)).group;
    EXPECT_EQ(readMns(writeMns(once)).group, once);
    std::size_t depth = 0;
    for (const auto* items = &once.pops.at(0).items;
         !items->empty() && !items->front().children.empty(); items = &items->front().children)
        ++depth;
    EXPECT_EQ(depth, 31u);
}

} // namespace

#include "aced.h"
#include "cadhost/lisp.h"
#include "cadhost/menu_groups.h"

#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

const char* kPlaceMenuLisp =
    "(defun init-placemenu (/ CNT)\n(setq CNT 1)\n(while (< CNT 24)\n"
    "(if (menucmd (strcat \"P\" (itoa CNT) \".1=?\"))\n"
    "(setq CNT (1+ CNT))\n(progn\n(if (> CNT 2)\n(setq CNT (- CNT 2))\n"
    "(setq CNT 2)\n)\n(menucmd (strcat \"p\" (itoa CNT) \"=+Vorel.pop1\"))\n"
    "(setq CNT 25)\n)\n)\n)\n)\n\n\n\n(init-placemenu)\n\n";

class MenuGroupsTest : public ::testing::Test {
protected:
    void SetUp() override {
        groups.clear();
        dir = fs::temp_directory_path() / ("menugroups_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override {
        groups.clear();
        fs::remove_all(dir);
    }
    std::string write(const std::string& name, const std::string& text) {
        std::ofstream(dir / name, std::ios::binary) << text;
        return (dir / name).string();
    }
    cadhost::MenuGroups& groups = cadhost::MenuGroups::instance();
    fs::path dir;
};

TEST_F(MenuGroupsTest, LoadingRunsTheMenuLispThatPlacesThePopMenu) {
    // A bar with pull-downs at positions 1 to 8: the suite menu goes to 7.
    groups.setHostMenus({"1", "2", "3", "4", "5", "6", "7", "8"});
    write("Vorel2005.mnl", kPlaceMenuLisp);
    const std::string mns = write("Vorel2005.mns", kSuiteMenu);
    EXPECT_FALSE(acedIsMenuGroupLoaded("vorel"));
    auto result = groups.load(mns);
    EXPECT_TRUE(result.ok) << result.message;
    EXPECT_TRUE(result.message.empty()) << result.message;
    EXPECT_TRUE(acedIsMenuGroupLoaded("vorel"));
    ASSERT_EQ(groups.bar().size(), 9u);
    EXPECT_EQ(groups.bar()[6].group, "Vorel");
    EXPECT_EQ(groups.bar()[6].title, "Vorel");
    EXPECT_EQ(groups.bar()[7].title, "7");

    // Loading the same group again is refused; unloading takes it off the bar.
    EXPECT_FALSE(groups.load(mns).ok);
    EXPECT_TRUE(groups.unload("VOREL"));
    EXPECT_FALSE(acedIsMenuGroupLoaded("Vorel"));
    EXPECT_EQ(groups.bar().size(), 8u);
}

TEST_F(MenuGroupsTest, SavingWritesTheGroupBackToItsFile) {
    const std::string mns = write("Vorel2005.mns", kSuiteMenu);
    ASSERT_TRUE(groups.load(mns).ok);
    cadhost::menu::MenuGroup* group = groups.find("Vorel");
    ASSERT_NE(group, nullptr);
    MenuItem item;
    item.label = "Kelvarin";
    item.macro = "\x10\x03\x03_VOREL_KELVARIN_SHOW ";
    group->pops[0].items.push_back(item);
    ASSERT_TRUE(groups.save(*group));
    groups.unload("Vorel");
    ASSERT_TRUE(groups.load(mns).ok);
    EXPECT_EQ(groups.find("Vorel")->pops[0].items.at(0).macro, item.macro);
    EXPECT_FALSE(fs::exists(mns + ".saving"));
}

TEST_F(MenuGroupsTest, BadFilesAndBadMenuLispGetOneLine) {
    EXPECT_FALSE(groups.load((dir / "missing.mns").string()).ok);
    EXPECT_FALSE(groups.load(write("junk.mns", "not a menu\n")).ok);
    write("Loop.mnl", "(while T (setq x 1))");
    auto r = groups.load(write("Loop.mns", "***MENUGROUP=Loop\n***POP1\n[Loop]\n"));
    EXPECT_TRUE(r.ok);
    EXPECT_NE(r.message.find("; error: "), std::string::npos);
    EXPECT_EQ(r.message.find('\n'), std::string::npos);
    EXPECT_TRUE(acedIsMenuGroupLoaded("Loop"));
}

TEST_F(MenuGroupsTest, MenucmdQueriesAndPlacesPopMenus) {
    groups.setHostMenus({"File", "Help"});
    ASSERT_TRUE(
        groups.load(write("G.mns", "***MENUGROUP=G\n***POP1\n**ALIAS\n[Menu]\n[Item]\n")).ok);
    EXPECT_EQ(groups.menucmd("P1.1=?"), std::optional<std::string>(""));
    EXPECT_EQ(groups.menucmd("P3.1=?"), std::nullopt);
    EXPECT_EQ(groups.menucmd("P9=+Nope.pop1"), std::nullopt);
    EXPECT_EQ(groups.menucmd("P9=+g.alias"), std::optional<std::string>(""));
    ASSERT_EQ(groups.bar().size(), 3u); // past the end: appended
    EXPECT_EQ(groups.menucmd("P3.1=?"), std::optional<std::string>(""));
    EXPECT_EQ(groups.menucmd("P3.2=?"), std::nullopt);
    EXPECT_EQ(groups.menucmd("p1=+G.POP1"), std::optional<std::string>("")); // moved, not doubled
    ASSERT_EQ(groups.bar().size(), 3u);
    EXPECT_EQ(groups.bar()[0].group, "G");
    EXPECT_EQ(groups.menucmd("P1=-"), std::optional<std::string>(""));
    EXPECT_EQ(groups.bar().size(), 2u);
    EXPECT_EQ(groups.menucmd("P-1=-"), std::nullopt);
    EXPECT_EQ(groups.menucmd("junk"), std::nullopt);
}

} // namespace
