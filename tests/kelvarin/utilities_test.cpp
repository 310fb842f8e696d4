// The add-in's shared utilities: registry values, text splitting and the
// point-in-outline test.
#include "util/UtiCommonFunc.h"

#include "hostreg/registry.h"

#include <gtest/gtest.h>

namespace {

class RegistryUtilities : public ::testing::Test {
protected:
    void SetUp() override {
        hostRegistryOpenInMemory();
        util.setRegistryRoot("Vorel\\Vorel2005");
    }
    void TearDown() override { hostRegistryClose(); }

    void writeRaw(const char* name, DWORD type, const void* data, DWORD size) {
        HKEY key = util.openRegistryKey("Kelvarin");
        ASSERT_NE(key, nullptr);
        ASSERT_EQ(RegSetValueEx(key, name, 0, type, static_cast<const BYTE*>(data), size),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }
    CUtiCommonFunc util;
};

TEST_F(RegistryUtilities, DwordsReadAsStoredOrTheDefault) {
    EXPECT_EQ(util.readRegistryDword("Kelvarin", "Missing", 7u), 7u);
    ASSERT_TRUE(util.writeRegistryDword("Kelvarin", "PosX", 321));
    EXPECT_EQ(util.readRegistryDword("Kelvarin", "PosX", 0), 321u);
    // Four bytes are taken whatever their type; a longer value does not fit.
    const char four[4] = {1, 0, 0, 0};
    writeRaw("Binary", REG_BINARY, four, 4);
    EXPECT_EQ(util.readRegistryDword("Kelvarin", "Binary", 9), 1u);
    const char eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    writeRaw("Long", REG_BINARY, eight, 8);
    EXPECT_EQ(util.readRegistryDword("Kelvarin", "Long", 9), 9u);
    // No root: nothing is read or written.
    CUtiCommonFunc rootless;
    EXPECT_FALSE(rootless.writeRegistryDword("Kelvarin", "PosX", 1));
    EXPECT_EQ(rootless.readRegistryDword("Kelvarin", "PosX", 5), 5u);
}

TEST_F(RegistryUtilities, StringsStopAtTheirEndEvenWithoutATerminatingZero) {
    ASSERT_TRUE(util.writeRegistryString("Kelvarin", "DBLocation", "/data/tables.db"));
    EXPECT_EQ(util.readRegistryString("Kelvarin", "DBLocation", "x"), "/data/tables.db");
    writeRaw("Bare", REG_SZ, "abc", 3); // no zero byte stored
    EXPECT_EQ(util.readRegistryString("Kelvarin", "Bare", "x"), "abc");
    writeRaw("Early", REG_SZ, "ab\0cd", 5);
    EXPECT_EQ(util.readRegistryString("Kelvarin", "Early", "x"), "ab");
    EXPECT_EQ(util.readRegistryString("Kelvarin", "Missing", "fallback"), "fallback");
}

TEST_F(RegistryUtilities, WritingNoValueOrNoNameDeletes) {
    util.writeRegistryDword("Kelvarin\\ToolBar", "Visible", 1);
    util.writeRegistryString("Kelvarin", "DBLocation", "a.db");
    ASSERT_TRUE(util.writeRegistryString("Kelvarin", "DBLocation", nullptr));
    EXPECT_EQ(util.readRegistryString("Kelvarin", "DBLocation", "gone"), "gone");
    ASSERT_TRUE(util.writeRegistryString("Kelvarin", nullptr, nullptr));
    HKEY root = util.openRegistryKey("");
    HKEY probe = nullptr;
    EXPECT_NE(RegOpenKeyEx(root, "Kelvarin", 0, KEY_READ, &probe), ERROR_SUCCESS);
    RegCloseKey(root);
}

TEST(SplitText, PiecesAtEverySeparator) {
    std::vector<std::string> pieces;
    EXPECT_EQ(CUtiCommonFunc::splitText("2.1.0.0", ".", pieces), 1);
    EXPECT_EQ(pieces, (std::vector<std::string>{"2", "1", "0", "0"}));
    EXPECT_EQ(CUtiCommonFunc::splitText("a.", ".", pieces), 1);
    EXPECT_EQ(pieces, (std::vector<std::string>{"a"}));
    EXPECT_EQ(CUtiCommonFunc::splitText("..b", ".", pieces), 1);
    EXPECT_EQ(pieces, (std::vector<std::string>{"", "", "b"}));
    EXPECT_EQ(CUtiCommonFunc::splitText("plain", ".", pieces), 0);
    EXPECT_EQ(pieces, (std::vector<std::string>{"plain"}));
}

TEST(ClassifyPoint, InsideOnAndOutsideASquare) {
    const AcGePoint3dArray square = {{0, 0, 5}, {10, 0, 5}, {10, 10, 5}, {0, 10, 5}};
    EXPECT_EQ(CUtiCommonFunc::classifyPointInPolygon({5, 5, 0}, square), -1);
    EXPECT_EQ(CUtiCommonFunc::classifyPointInPolygon({0, 5, 0}, square), 0);
    EXPECT_EQ(CUtiCommonFunc::classifyPointInPolygon({10, 10, 0}, square), 0);
    EXPECT_EQ(CUtiCommonFunc::classifyPointInPolygon({0.005, 5, 0}, square), 0);
    EXPECT_EQ(CUtiCommonFunc::classifyPointInPolygon({-0.005, 5, 0}, square), 0);
    EXPECT_EQ(CUtiCommonFunc::classifyPointInPolygon({0.02, 5, 0}, square), -1);
    EXPECT_EQ(CUtiCommonFunc::classifyPointInPolygon({-0.02, 5, 0}, square), 1);
    EXPECT_EQ(CUtiCommonFunc::classifyPointInPolygon({20, 20, 3}, square), 1);
}

} // namespace
