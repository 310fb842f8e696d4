// Hives that are big in awkward ways: deep keys, many keys, repairs that must read back, and
// messages about bad lines that must stay valid text.

#include "runtime/registry_test_support.h"

#include "hostreg/host_registry.h"
#include "hostreg/reg_text.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/wait.h>
#include <unistd.h>

using namespace regtest;
using hostreg::HiveRoot;

namespace {

// Keys `depth` levels deep with long names, as short-root lines: a few hundred KB of text whose
// parent keys, each written on a line of its own, would come to tens of MB.
std::string deepKeysHive(bool malformed) {
    std::string text = "REGEDIT4\n\n";
    const std::string name(200, 'k');
    for (int leaf = 0; leaf < 5; ++leaf) {
        std::string path = "HKCU";
        for (int level = 0; level < 250; ++level)
            path += "\\" + name + std::to_string(level == 249 ? leaf : 0);
        text += "[" + path + "]\n\"Leaf\"=dword:" + std::to_string(leaf) + "\n\n";
    }
    if (malformed)
        text += "%% a line no reader understands\n";
    return text;
}

std::string deepLeafPath(int leaf) {
    const std::string name(200, 'k');
    std::string path;
    for (int level = 0; level < 250; ++level)
        path += (level ? "\\" : "") + name + std::to_string(level == 249 ? leaf : 0);
    return path;
}

std::string manyKeysHive(int keys) {
    std::string text = "REGEDIT4\n\n";
    for (int i = 0; i < keys; ++i)
        text +=
            "[HKCU\\a\\k" + std::to_string(i) + "]\n\"v\"=dword:" + std::to_string(i % 16) + "\n";
    text += "\"Broken\"=\"no end\n";
    return text;
}

DWORD leafValue(const std::string& path) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return 0xffffffff;
    DWORD value = 0, size = sizeof value;
    const LONG r =
        RegQueryValueEx(key, "Leaf", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return r == ERROR_SUCCESS ? value : 0xffffffff;
}

} // namespace

TEST(RegistryRepair, DeepKeysHiveIsRepairedIntoAHiveTheNextStartReads) {
    TempProfile profile;
    const std::string bad = deepKeysHive(true);
    ASSERT_GT(bad.size(), 250'000u);
    writeFile(profile.file("user.reg"), bad);
    std::vector<std::string> messages;
    EXPECT_FALSE(hostRegistryOpen(profile.dir(), &messages));
    hostRegistryClose();

    const std::string repaired = readFile(profile.file("user.reg"));
    EXPECT_LE(repaired.size(), bad.size() * 11 / 10);
    EXPECT_TRUE(hostreg::readRegText(repaired, HiveRoot::CurrentUser).ok());

    messages.clear();
    ASSERT_TRUE(hostRegistryOpen(profile.dir(), &messages))
        << (messages.empty() ? "" : messages.front());
    for (int leaf = 0; leaf < 5; ++leaf)
        EXPECT_EQ(leafValue(deepLeafPath(leaf)), DWORD(leaf));
    hostRegistryClose();
}

TEST(RegistryRepair, WritesToAValidDeepKeysHiveWork) {
    TempProfile profile;
    writeFile(profile.file("user.reg"), deepKeysHive(false));
    ASSERT_TRUE(hostRegistryOpen(profile.dir(), nullptr));
    EXPECT_EQ(setDword(HKEY_CURRENT_USER, "After", 7), ERROR_SUCCESS);
    hostRegistryClose();

    ASSERT_TRUE(hostRegistryOpen(profile.dir(), nullptr));
    EXPECT_EQ(leafValue(deepLeafPath(3)), 3u);
    EXPECT_EQ(queryBytes(HKEY_CURRENT_USER, "After"), std::string("\x07\0\0\0", 4));
    hostRegistryClose();
}

TEST(RegistryRepair, ManyKeysHiveIsRepairedWithoutGrowingMuch) {
    TempProfile profile;
    const std::string bad = manyKeysHive(20000);
    writeFile(profile.file("user.reg"), bad);
    std::vector<std::string> messages;
    EXPECT_FALSE(hostRegistryOpen(profile.dir(), &messages));
    hostRegistryClose();
    const std::string repaired = readFile(profile.file("user.reg"));
    EXPECT_LE(repaired.size(), bad.size() * 2);
    const hostreg::ReadResult back = hostreg::readRegText(repaired, HiveRoot::CurrentUser);
    EXPECT_TRUE(back.ok());
    const hostreg::RegKey* a = back.root.subKey("a");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->subKeyCount(), 20000u);
}

TEST(RegistryRepair, HiveTooBigForLongRootNamesIsWrittenWithShortOnes) {
    hostreg::RegKey root;
    for (int i = 0; i < 200; ++i)
        root.addSubKey("k" + std::to_string(i));
    const std::string longForm = hostreg::writeRegText(root, HiveRoot::LocalMachine);
    const std::string fitted =
        hostreg::writeRegTextWithin(root, HiveRoot::LocalMachine, longForm.size() - 1);
    ASSERT_FALSE(fitted.empty());
    EXPECT_LT(fitted.size(), longForm.size());
    EXPECT_NE(fitted.find("[HKLM\\k0]"), std::string::npos);
    const hostreg::ReadResult back = hostreg::readRegText(fitted, HiveRoot::LocalMachine);
    EXPECT_TRUE(back.ok());
    EXPECT_TRUE(back.root == root);
    // Too big either way: nothing, rather than a hive that cannot be read back.
    EXPECT_TRUE(hostreg::writeRegTextWithin(root, HiveRoot::LocalMachine, 100).empty());
}

TEST(RegistryRepair, ProblemMessagesEscapeBytesThatAreNotAscii) {
    const hostreg::ReadResult r = hostreg::readRegText(
        "REGEDIT4\n[HKEY_CURRENT_USER]\n\xff\xfe caf\xc3\xa9\x01\n", HiveRoot::CurrentUser);
    ASSERT_EQ(r.problems.size(), 1u);
    const std::string& message = r.problems[0].message;
    for (char c : message)
        EXPECT_TRUE(c >= 0x20 && c < 0x7f) << message;
    EXPECT_NE(message.find("\\xFF\\xFE caf\\xC3\\xA9\\x01"), std::string::npos) << message;
}

TEST(RegistryRepair, TemporaryOfAWriterKilledWhileRunningGoesWithTheNextWrite) {
    TempProfile profile;
    ASSERT_TRUE(hostRegistryOpen(profile.dir(), nullptr));
    writeFile(profile.file("user.reg.tmp-99999-1"), "REGEDIT4\n[HKEY_CURRENT_USER]\n");
    EXPECT_EQ(setDword(HKEY_CURRENT_USER, "V", 1), ERROR_SUCCESS);
    EXPECT_TRUE(profile.filesStartingWith("user.reg.tmp-").empty());
    hostRegistryClose();
}

namespace {

const char* g_stopAt = nullptr;

void stopAtStep(const char* step) {
    if (g_stopAt && std::string_view(step) == g_stopAt)
        raise(SIGSTOP);
}

std::string stringValue(const std::string& hiveText, const char* name) {
    const hostreg::ReadResult r = hostreg::readRegText(hiveText, HiveRoot::CurrentUser);
    if (!r.ok())
        return "unreadable";
    const hostreg::RegValue* v = r.root.value(name);
    return v ? std::string(v->data.begin(), v->data.end() - 1) : "missing";
}

} // namespace

TEST(RegistryRepair, WriteKilledAtEveryStepLeavesOldOrNewHiveAndNoTemporary) {
    TempProfile profile;
    // Enough other values that a write takes a moment.
    ASSERT_TRUE(hostRegistryOpen(profile.dir(), nullptr));
    for (int i = 0; i < 200; ++i)
        ASSERT_EQ(setString(HKEY_CURRENT_USER, ("filler" + std::to_string(i)).c_str(),
                            std::string(100, 'f')),
                  ERROR_SUCCESS);
    hostRegistryClose();
    for (const char* step : {"write", "flush", "rename", "renamed"}) {
        SCOPED_TRACE(step);
        ASSERT_TRUE(hostRegistryOpen(profile.dir(), nullptr));
        ASSERT_EQ(setString(HKEY_CURRENT_USER, "State", "old"), ERROR_SUCCESS);
        hostRegistryClose();
        const pid_t pid = fork();
        if (pid == 0) {
            g_stopAt = step;
            hostreg::setWriteStepHook(stopAtStep);
            hostRegistryOpen(profile.dir(), nullptr);
            setString(HKEY_CURRENT_USER, "State", "new");
            _exit(0);
        }
        int status = 0;
        waitpid(pid, &status, WUNTRACED);
        EXPECT_TRUE(WIFSTOPPED(status));
        kill(pid, SIGKILL);
        waitpid(pid, &status, 0);

        const bool renamed = std::string_view(step) == "renamed";
        EXPECT_EQ(stringValue(readFile(profile.file("user.reg")), "State"),
                  renamed ? "new" : "old");
        std::vector<std::string> messages;
        EXPECT_TRUE(hostRegistryOpen(profile.dir(), &messages)); // the next host starts
        EXPECT_TRUE(profile.filesStartingWith("user.reg.tmp-").empty());
        hostRegistryClose();
    }
}

TEST(RegistryRepair, OversizeHiveIsRefusedWithTheLineWhereTheLimitFalls) {
    hostreg::ReadLimits limits;
    limits.maxInputBytes = 100;
    std::string digits;
    for (int i = 0; i < 100; ++i)
        digits += "12345678\n"; // 9 bytes a line: byte 100 lies on line 12
    const hostreg::ReadResult r = hostreg::readRegText(digits, HiveRoot::CurrentUser, limits);
    ASSERT_EQ(r.problems.size(), 1u);
    EXPECT_EQ(r.problems[0].line, 12u);
    EXPECT_NE(r.problems[0].message.find("larger than"), std::string::npos);
}
