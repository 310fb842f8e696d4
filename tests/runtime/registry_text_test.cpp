// Reading and writing hive files (REGEDIT4 text).

#include "hostreg/reg_text.h"

#include <gtest/gtest.h>

#include <random>

using namespace hostreg;

namespace {

std::vector<std::uint8_t> bytes(std::string_view s) {
    return {s.begin(), s.end()};
}

// A string as the modules write it: its bytes and one terminating zero.
std::vector<std::uint8_t> sz(std::string_view s) {
    std::vector<std::uint8_t> data = bytes(s);
    data.push_back(0);
    return data;
}

RegKey sampleHive() {
    RegKey root;
    RegKey& k = root.addSubKey("software").addSubKey("Vorel").addSubKey("Kelvarin");
    k.setValue("DBLocation", 1, sz("C:\\tables \"new\".db"));
    k.setValue("", 1, sz("default"));
    k.setValue("NoZero", 1, bytes("abc"));
    k.setValue("TwoLines", 1, bytes(std::string_view("a\nb\0", 4)));
    k.setValue("Empty", 1, {});
    k.setValue("PosX", 4, {0x64, 0, 0, 0});
    k.setValue("Short", 4, {1, 2});
    k.setValue("List", 7, bytes(std::string_view("a\0bc\0\0", 6)));
    k.setValue("Path", 2, sz("%HOME%"));
    k.setValue("Q\"uote\\d", 11, {1, 2, 3, 4, 5, 6, 7, 8});
    k.setValue("Big", 3, std::vector<std::uint8_t>(300, 0xab));
    k.setValue("Nothing", 3, {});
    k.setValue("\xc3\xa9t\xc3\xa9", 1, sz("\xe2\x82\xac"));
    root.addSubKey("odd]name [x]").setValue("v", 0, {});
    RegKey* deep = &root.addSubKey("deep");
    for (int i = 0; i < 40; ++i)
        deep = &deep->addSubKey("level" + std::to_string(i));
    root.setValue("AtRoot", 4, {1, 0, 0, 0});
    return root;
}

TEST(RegText, WrittenHiveReadsBackIdenticallyByteForByte) {
    const RegKey hive = sampleHive();
    const std::string text = writeRegText(hive, HiveRoot::CurrentUser);
    const ReadResult back = readRegText(text, HiveRoot::CurrentUser);
    EXPECT_TRUE(back.ok()) << (back.problems.empty() ? "" : back.problems[0].message);
    EXPECT_TRUE(back.root == hive) << text;
    EXPECT_EQ(writeRegText(back.root, HiveRoot::CurrentUser), text);
}

TEST(RegText, WritesTheUsualRegedit4Forms) {
    const std::string text = writeRegText(sampleHive(), HiveRoot::CurrentUser);
    EXPECT_EQ(text.rfind("REGEDIT4\n\n[HKEY_CURRENT_USER]\n\"AtRoot\"=dword:00000001\n", 0), 0u);
    for (const char* line : {
             "[HKEY_CURRENT_USER\\software\\Vorel\\Kelvarin]\n",
             "\"DBLocation\"=\"C:\\\\tables \\\"new\\\".db\"\n",
             "@=\"default\"\n",
             "\"NoZero\"=hex(1):61,62,63\n",
             "\"TwoLines\"=hex(1):61,0a,62,00\n",
             "\"Empty\"=hex(1):\n",
             "\"PosX\"=dword:00000064\n",
             "\"Short\"=hex(4):01,02\n",
             "\"List\"=hex(7):61,00,62,63,00,00\n",
             "\"Q\\\"uote\\\\d\"=hex(b):01,02,03,04,05,06,07,08\n",
             "[HKEY_CURRENT_USER\\odd]name [x]]\n",
         })
        EXPECT_NE(text.find(line), std::string::npos) << line;
    // Long data continues on indented lines after a trailing backslash, within 80 columns.
    const std::size_t big = text.find("\"Big\"=hex:ab,");
    ASSERT_NE(big, std::string::npos);
    EXPECT_EQ(text.substr(text.find('\n', big) - 1, 4), "\\\n  ");
    for (std::size_t start = big;;) {
        const std::size_t end = text.find('\n', start);
        EXPECT_LE(end - start, 80u);
        if (text[end - 1] != '\\')
            break;
        start = end + 1;
    }
}

TEST(RegText, ReadsHandWrittenFilesTolerantly) {
    const std::string text = "\xEF\xBB\xBFREGEDIT4\r\n"
                             "; settings\r\n"
                             "\r\n"
                             "[HKCU\\Software\\Vorel]\r\n"
                             "\"A\" = \"one\"\r\n"
                             "\"N\"=DWORD:A\r\n"
                             "\"H\"=hex:01,\\\r\n"
                             "    02 , 03,\r\n"
                             "  [HKEY_CURRENT_USER\\SOFTWARE\\vorel]\r\n"
                             "\"a\"=\"two\"\r\n"
                             "\"Gone\"=\"x\"\r\n"
                             "\"Gone\"=-\r\n"
                             "[HKEY_CURRENT_USER\\Software\\Old]\r\n"
                             "[-HKEY_CURRENT_USER\\Software\\Old]\r\n";
    const ReadResult r = readRegText(text, HiveRoot::CurrentUser);
    EXPECT_TRUE(r.ok()) << (r.problems.empty() ? "" : r.problems[0].message);
    const RegKey* vorel = findKey(r.root, {"software", "VOREL"});
    ASSERT_NE(vorel, nullptr);
    EXPECT_EQ(vorel->name(), "Vorel");
    ASSERT_EQ(vorel->valueCount(), 3u);
    EXPECT_EQ(vorel->valueAt(0), (RegValue{"A", 1, sz("two")}));
    EXPECT_EQ(vorel->valueAt(1), (RegValue{"N", 4, {10, 0, 0, 0}}));
    EXPECT_EQ(vorel->valueAt(2), (RegValue{"H", 3, {1, 2, 3}}));
    EXPECT_EQ(findKey(r.root, {"Software", "Old"}), nullptr);
}

TEST(RegText, BadLinesAreReportedWithTheirNumbersAndTheRestIsKept) {
    const std::string text = "REGEDIT4\n"
                             "\"early\"=\"no key yet\"\n"             // 2
                             "[HKEY_CURRENT_USER\\k]\n"               // 3
                             "\"ok1\"=\"fine\"\n"                     // 4
                             "\"open\"=\"never closed\n"              // 5
                             "\"esc\"=\"C:\\Suite\"\n"                // 6
                             "\"num\"=dword:123456789\n"              // 7
                             "\"hex\"=hex:01,zz\n"                    // 8
                             "garbage here\n"                         // 9
                             "\"what\"=float:1.5\n"                   // 10
                             "\"ctl\x01\"=\"x\"\n"                    // 11
                             "[HKEY_CURRENT_USER\\k\n"                // 12
                             "[HKEY_LOCAL_MACHINE\\Elsewhere]\n"      // 13
                             "\"skipped\"=\"belongs to a bad key\"\n" // 14
                             "[HKEY_CURRENT_USER\\k\\\\x]\n"          // 15
                             "[HKEY_CURRENT_USER\\k]\n"               // 16
                             "\"ok2\"=\"fine\" trailing\n"            // 17
                             "\"ok3\"=hex:01,\\\n";                   // 18, ends inside a value
    const ReadResult r = readRegText(text, HiveRoot::CurrentUser);
    std::vector<std::size_t> lines;
    for (const TextProblem& p : r.problems)
        lines.push_back(p.line);
    EXPECT_EQ(lines, (std::vector<std::size_t>{2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 15, 17, 18}));
    EXPECT_EQ(r.problemCount, lines.size());
    EXPECT_NE(r.problems[2].message.find("escape"), std::string::npos);
    EXPECT_NE(r.problems[9].message.find("HKEY_CURRENT_USER"), std::string::npos);
    const RegKey* k = findKey(r.root, {"k"});
    ASSERT_NE(k, nullptr);
    ASSERT_EQ(k->valueCount(), 1u);
    EXPECT_EQ(k->valueAt(0).name, "ok1");
}

TEST(RegText, MissingHeaderOversizeInputAndManyProblemsAreBounded) {
    ReadResult r = readRegText("", HiveRoot::CurrentUser);
    EXPECT_FALSE(r.ok());
    r = readRegText("[HKEY_CURRENT_USER\\a]\n\"v\"=\"x\"\n", HiveRoot::CurrentUser);
    EXPECT_EQ(r.problemCount, 1u); // the header, but the content is still read
    EXPECT_NE(findKey(r.root, {"a"}), nullptr);

    ReadLimits limits;
    limits.maxInputBytes = 16;
    r = readRegText("REGEDIT4\n[HKEY_CURRENT_USER\\a]\n", HiveRoot::CurrentUser, limits);
    EXPECT_EQ(r.problemCount, 1u);
    EXPECT_EQ(r.root.subKeyCount(), 0u);

    std::string many = "REGEDIT4\n";
    for (int i = 0; i < 500; ++i)
        many += "junk\n";
    r = readRegText(many, HiveRoot::CurrentUser);
    EXPECT_EQ(r.problemCount, 500u);
    EXPECT_EQ(r.problems.size(), ReadLimits{}.maxReportedProblems);

    std::string deep = "REGEDIT4\n[HKEY_CURRENT_USER";
    for (int i = 0; i < 600; ++i)
        deep += "\\k";
    r = readRegText(deep + "]\n", HiveRoot::CurrentUser);
    EXPECT_EQ(r.problemCount, 1u);
    EXPECT_EQ(r.root.subKeyCount(), 0u);
}

TEST(RegText, MangledFilesNeverBreakTheReaderAndWhatItReadsWritesBack) {
    const std::string seed = writeRegText(sampleHive(), HiveRoot::CurrentUser);
    std::mt19937 rng(20050401);
    for (int round = 0; round < 500; ++round) {
        std::string text = seed;
        const int edits = 1 + static_cast<int>(rng() % 8);
        for (int e = 0; e < edits; ++e) {
            const std::size_t at = rng() % text.size();
            switch (rng() % 3) {
            case 0:
                text[at] = static_cast<char>(rng());
                break;
            case 1:
                text.erase(at, rng() % 20);
                break;
            default:
                text.insert(at, 1, "\\\"[]=@\n,:"[rng() % 9]);
            }
        }
        const ReadResult r = readRegText(text, HiveRoot::CurrentUser);
        const std::string rewritten = writeRegText(r.root, HiveRoot::CurrentUser);
        const ReadResult again = readRegText(rewritten, HiveRoot::CurrentUser);
        ASSERT_TRUE(again.ok()) << text;
        ASSERT_TRUE(again.root == r.root) << text;
    }
}

} // namespace
