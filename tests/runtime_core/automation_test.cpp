// The host's automation model over the loaded menu groups: what modules see
// through acedGetAcadWinApp, and what their calls leave in the group, on the
// menu bar and in the saved menu file.
#include "aced.h"
#include "afxdisp.h"

#include "cadhost/command_log.h"
#include "cadhost/menu_groups.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <unistd.h>

namespace fs = std::filesystem;
using cadhost::MenuGroups;
using cadhost::menu::MenuItem;

namespace {

constexpr const char* kMenu = "***MENUGROUP=Tools2\r\n"
                              "***POP1\r\n"
                              "[Tools2]\r\n"
                              "[First]^C^CFIRST \r\n"
                              "[->Sub]\r\n"
                              "[<-Inner]INNER \r\n"
                              "***TOOLBARS\r\n"
                              "**TB_ONE\r\n"
                              "[_Toolbar(\"One\", _Floating, _Show, 200, 200, 1)]\r\n"
                              "[_Button(\"Go\", \"GO.BMP\", \"GO.BMP\")]GO \r\n";

class Automation : public ::testing::Test {
protected:
    void SetUp() override {
        groups.clear();
        groups.setChangedListener([this] { ++changes; });
        dir = fs::temp_directory_path() / ("automation_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "tools2.mns", std::ios::binary) << kMenu;
        ASSERT_TRUE(groups.load((dir / "tools2.mns").string()).ok);
        changes = 0;
    }
    void TearDown() override {
        groups.clear();
        fs::remove_all(dir);
    }
    COleDispatchDriver item(const COleDispatchDriver& collection, long index) {
        return COleDispatchDriver(collection.InvokeMethod(0, {COleVariant(index)}).pdispVal);
    }
    COleDispatchDriver group() {
        COleDispatchDriver app(acedGetAcadWinApp()->GetIDispatch(true));
        COleDispatchDriver all(app.GetObject(28));
        EXPECT_EQ(all.GetLong(0x60020002), 1);
        return item(all, 0);
    }
    SCODE errorOf(const std::function<void()>& call) {
        try {
            call();
        } catch (const COleDispatchException& e) {
            EXPECT_FALSE(e.m_strDescription.empty());
            return e.m_scError;
        }
        return 0;
    }

    MenuGroups& groups = MenuGroups::instance();
    fs::path dir;
    int changes = 0;
};

TEST_F(Automation, PopMenusGrowAndTheSavedFileKeepsTheAdditions) {
    COleDispatchDriver g = group();
    EXPECT_EQ(g.GetString(0x60020002), "Tools2");
    COleDispatchDriver pops(g.GetObject(0x60020005));
    ASSERT_EQ(pops.GetLong(0x60020002), 1);
    COleDispatchDriver pop = item(pops, 0);
    EXPECT_EQ(pop.GetString(0x60020005), "Tools2");
    EXPECT_EQ(pop.GetLong(0x60020002), 2);
    EXPECT_EQ(item(pop, 1).GetString(0x60020002), "Sub");

    // An index past the end appends; a submenu is a pop menu of its own.
    COleDispatchDriver sub(
        pop.InvokeMethod(0x6002000b, {COleVariant(99L), COleVariant("Added")}).pdispVal);
    EXPECT_EQ(sub.GetString(0x60020005), "Added");
    sub.InvokeMethod(0x6002000a, {COleVariant(0L), COleVariant("One"), COleVariant("\x03ONE ")});
    sub.InvokeMethod(0x6002000c, {COleVariant(1L)});
    COleDispatchDriver last(
        sub.InvokeMethod(0x6002000a, {COleVariant(2L), COleVariant("Two"), COleVariant("TWO ")})
            .pdispVal);
    last.SetProperty(0x60020013, COleVariant(1L));
    pop.InvokeMethod(0x6002000a, {COleVariant(0L), COleVariant("Front"), COleVariant("F ")});
    EXPECT_GT(changes, 0); // the frame rebuilds its menus from the groups

    const auto& items = groups.find("tools2")->pops[0].items;
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].label, "Front");
    ASSERT_EQ(items[3].kind, MenuItem::Kind::Submenu);
    ASSERT_EQ(items[3].children.size(), 3u);
    EXPECT_EQ(items[3].children[1].kind, MenuItem::Kind::Separator);
    EXPECT_TRUE(items[3].children[2].endsLevel);

    g.InvokeMethod(0x60020008, {COleVariant(1L)});
    std::ifstream in(dir / "tools2.mns", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    auto reread = cadhost::menu::readMns(text.str());
    ASSERT_TRUE(reread.ok());
    ASSERT_EQ(reread.group.pops[0].items.size(), 4u);
    EXPECT_EQ(reread.group.pops[0].items[3].children[0].macro, "\x03ONE ");
    EXPECT_EQ(reread.group.pops[0].items[3].children[2].label, "Two");

    // Deleting an item by its object.
    item(pop, 0).InvokeMethod(0x60020012);
    EXPECT_EQ(pop.GetLong(0x60020002), 3);
}

TEST_F(Automation, ToolbarsAndButtons) {
    COleDispatchDriver g = group();
    COleDispatchDriver toolbars(g.GetObject(0x60020006));
    ASSERT_EQ(toolbars.GetLong(0x60020002), 1);
    EXPECT_EQ(item(toolbars, 0).GetString(0x60020005), "One");
    COleDispatchDriver bar(toolbars.InvokeMethod(0x60020007, {COleVariant("New Bar")}).pdispVal);
    EXPECT_EQ(bar.GetString(0x60020005), "New Bar");
    COleDispatchDriver button(
        bar.InvokeMethod(0x60020015, {COleVariant(0, VT_INT), COleVariant("Show"), COleVariant(""),
                                      COleVariant("SHOW "), COleVariant(false)})
            .pdispVal);
    button.InvokeMethod(0x6002000e, {COleVariant("S.BMP"), COleVariant("L.BMP")});
    bar.InvokeMethod(0x60020016, {COleVariant(5, VT_INT)});
    bar.SetProperty(0x60020007, COleVariant(false));
    const auto& made = groups.find("Tools2")->toolbars.at(1);
    ASSERT_EQ(made.buttons.size(), 2u);
    EXPECT_EQ(made.buttons[0].smallBitmap, "S.BMP");
    EXPECT_EQ(made.buttons[0].largeBitmap, "L.BMP");
    EXPECT_TRUE(made.buttons[1].separator);
    EXPECT_TRUE(made.visible);

    item(toolbars, 0).InvokeMethod(0x60020019);
    ASSERT_EQ(toolbars.GetLong(0x60020002), 1);
    EXPECT_EQ(item(toolbars, 0).GetString(0x60020005), "New Bar");

    g.InvokeMethod(0x60020007); // unload
    EXPECT_FALSE(acedIsMenuGroupLoaded("Tools2"));
}

TEST_F(Automation, FailuresAreAutomationErrorsWithAReport) {
    COleDispatchDriver g = group();
    COleDispatchDriver pops(g.GetObject(0x60020005));
    EXPECT_EQ(errorOf([&] { g.GetProperty(0x600200ff); }), DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(errorOf([&] { item(pops, 1); }), DISP_E_BADINDEX);
    EXPECT_EQ(errorOf([&] { item(pops, -1); }), DISP_E_BADINDEX);
    EXPECT_EQ(errorOf([&] { pops.InvokeMethod(0, {COleVariant("x")}); }), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(errorOf([&] { pops.InvokeMethod(0); }), DISP_E_BADPARAMCOUNT);

    // An object whose group went away fails instead of touching another.
    COleDispatchDriver pop = item(pops, 0);
    groups.unload("Tools2");
    EXPECT_EQ(errorOf([&] { pop.GetLong(0x60020002); }), E_FAIL);
    EXPECT_EQ(errorOf([&] { g.InvokeMethod(0x60020008, {COleVariant(1L)}); }), E_FAIL);

    // The standard report is the framework's message box with the description.
    const std::size_t mark = cadhost::CommandLineLog::instance().historySize();
    try {
        g.GetProperty(0x60020002);
        FAIL() << "no error";
    } catch (const COleDispatchException& e) {
        e.ReportError();
    }
    EXPECT_NE(cadhost::CommandLineLog::instance().historySince(mark).find(
                  "[Message box] cadhost: The menu group \"Tools2\" is not loaded."),
              std::string::npos)
        << cadhost::CommandLineLog::instance().historySince(mark);
}

} // namespace
