// The executable's options, the start-up list and the script parser.
#include "hostapp/options.h"
#include "hostapp/script.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace hostapp;

TEST(Options, EveryOptionAndTheDrawing) {
    const auto p = parseOptions(
        {"--headless", "--profile", "prof", "--load", "a.arx", "--load=b.arx", "--script", "s.scr",
         "--save=out.dxf", "--screenshot", "shot.png", "--transcript", "log.txt", "drawing.dxf"});
    ASSERT_TRUE(p.options) << p.error;
    const Options& o = *p.options;
    EXPECT_TRUE(o.headless);
    EXPECT_EQ(o.profileDir, "prof");
    EXPECT_EQ(o.loads, (std::vector<std::string>{"a.arx", "b.arx"}));
    EXPECT_EQ(o.script, "s.scr");
    EXPECT_EQ(o.save, "out.dxf");
    EXPECT_EQ(o.screenshot, "shot.png");
    EXPECT_EQ(o.transcript, "log.txt");
    EXPECT_EQ(o.drawing, "drawing.dxf");
}

TEST(Options, BadUsageIsExplained) {
    struct Case {
        std::vector<std::string> args;
        const char* fragment;
    } cases[] = {
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"--script"}, "--script needs a value"},
        {{"--script="}, "--script needs a value"},
        {{"--save", "a", "--save", "b"}, "--save is given twice"},
        {{"a.dxf", "b.dxf"}, "only one drawing"},
        {{"--headless=yes"}, "--headless takes no value"},
        {{"--load"}, "--load needs a module path"},
    };
    for (const Case& c : cases) {
        const auto p = parseOptions(c.args);
        EXPECT_FALSE(p.options) << c.fragment;
        EXPECT_NE(p.error.find(c.fragment), std::string::npos) << p.error;
    }
    EXPECT_NE(usageText().find("--screenshot FILE"), std::string::npos);
}

TEST(Options, StartupListSkipsCommentsAndResolvesRelativePaths) {
    const auto dir = std::filesystem::temp_directory_path() / "cadhost_startup_list_test";
    std::filesystem::create_directories(dir);
    {
        std::ofstream out(dir / "startup.lst");
        out << "; comment\r\n# another\n\n  mods/one.arx  \n/abs/two.arx\n";
    }
    EXPECT_EQ(readStartupList(dir.string()),
              (std::vector<std::string>{(dir / "mods/one.arx").string(), "/abs/two.arx"}));
    std::filesystem::remove_all(dir);
    EXPECT_TRUE(readStartupList(dir.string()).empty()); // no list: nothing to load
}

TEST(Script, LinesCommentsAndDirectives) {
    const auto lines =
        parseScript("-TABLE\r\n  ; note\n\n@Cells 1,2  3,4 \n@dialog Insert Table\n");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].kind, ScriptLine::Kind::Plain);
    EXPECT_EQ(lines[0].text, "-TABLE");
    EXPECT_EQ(lines[1].kind, ScriptLine::Kind::Comment);
    EXPECT_EQ(lines[2].kind, ScriptLine::Kind::Plain); // an empty line is Enter
    EXPECT_EQ(lines[2].text, "");
    EXPECT_EQ(lines[3].kind, ScriptLine::Kind::Directive);
    EXPECT_EQ(lines[3].directive, "cells");
    EXPECT_EQ(lines[3].argument, "1,2  3,4");
    EXPECT_EQ(lines[3].number, 4);
    EXPECT_EQ(lines[4].argument, "Insert Table");
    EXPECT_TRUE(parseScript("").empty());
    EXPECT_EQ(parseScript("a").size(), 1u);
    EXPECT_EQ(parseScript("a\n\n").size(), 2u);
}

TEST(Script, PointsIdsAndWords) {
    EXPECT_EQ(parsePoint("10,20"), AcGePoint3d(10, 20, 0));
    EXPECT_EQ(parsePoint(" -1.5 , 2e1 ,3"), AcGePoint3d(-1.5, 20, 3));
    EXPECT_FALSE(parsePoint("10"));
    EXPECT_FALSE(parsePoint("10,"));
    EXPECT_FALSE(parsePoint("1,2,3,4"));
    EXPECT_FALSE(parsePoint("a,b"));
    EXPECT_FALSE(parsePoint("1e999,0"));
    EXPECT_EQ(parseInt(" -3 "), -3);
    EXPECT_FALSE(parseInt("3x"));
    EXPECT_FALSE(parseInt("99999999999"));
    std::string head, last;
    EXPECT_TRUE(splitLastWord("Font Color 12", head, last));
    EXPECT_EQ(head, "Font Color");
    EXPECT_EQ(last, "12");
    EXPECT_FALSE(splitLastWord("12", head, last));
    std::string first, rest;
    EXPECT_TRUE(splitFirstWord(" 1001  some text ", first, rest));
    EXPECT_EQ(first, "1001");
    EXPECT_EQ(rest, "some text");
    EXPECT_TRUE(isKnownDirective("tearoff"));
    EXPECT_FALSE(isKnownDirective("frobnicate"));
}
