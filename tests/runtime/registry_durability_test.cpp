// Hive files under crashes and concurrent host processes: writers killed at random moments,
// two processes writing at once, malformed files found at start-up or later.

#include "runtime/registry_test_support.h"

#include "hostreg/host_registry.h"
#include "hostreg/reg_text.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <poll.h>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

using namespace regtest;
using hostreg::HiveRoot;
using hostreg::HostRegistry;

namespace {

constexpr int kValues = 6;
const char* const kKey = "software\\Durability";

std::string valueName(int i) {
    return "v" + std::to_string(i);
}

struct Ack {
    int value;
    long long counter;
};

// Child: writes "new-<counter>" into every value in turn, forever, telling the parent through
// `ackFd` when it has started and about each write the registry reported done.
[[noreturn]] void writeForever(const std::string& dir, int ackFd, long long counter) {
    std::vector<std::string> messages;
    auto registry = HostRegistry::openProfile(dir, messages);
    HKEY key = nullptr;
    if (registry->createKey(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key, nullptr) !=
        ERROR_SUCCESS)
        _exit(2);
    const Ack ready{-1, 0};
    if (::write(ackFd, &ready, sizeof ready) != sizeof ready)
        _exit(4);
    const auto stop = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::chrono::steady_clock::now() < stop) {
        ++counter;
        for (int i = 0; i < kValues; ++i) {
            const std::string text = "new-" + std::to_string(counter);
            if (registry->setValue(key, valueName(i).c_str(), REG_SZ,
                                   reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>(text.size() + 1)) != ERROR_SUCCESS)
                _exit(3);
            const Ack ack{i, counter};
            if (::write(ackFd, &ack, sizeof ack) != sizeof ack)
                _exit(4);
        }
    }
    _exit(0);
}

// The counter a stored value carries: 0 for "old", -1 for anything that is neither old nor new.
long long counterOf(const hostreg::RegValue* v) {
    if (!v || v->type != REG_SZ || v->data.empty() || v->data.back() != 0)
        return -1;
    const std::string text(v->data.begin(), v->data.end() - 1);
    if (text == "old")
        return 0;
    if (text.rfind("new-", 0) != 0 || text.size() < 5)
        return -1;
    return std::stoll(text.substr(4));
}

TEST(RegistryDurability, WriterKilledAtRandomMomentsLosesNothingAcknowledged) {
    TempProfile profile;
    {
        std::vector<std::string> messages;
        auto registry = HostRegistry::openProfile(profile.dir(), messages);
        HKEY key = nullptr;
        ASSERT_EQ(registry->createKey(HKEY_CURRENT_USER, kKey, KEY_ALL_ACCESS, &key, nullptr),
                  ERROR_SUCCESS);
        for (int i = 0; i < kValues; ++i)
            ASSERT_EQ(registry->setValue(key, valueName(i).c_str(), REG_SZ,
                                         reinterpret_cast<const BYTE*>("old"), 4),
                      ERROR_SUCCESS);
    }

    std::mt19937 rng(std::random_device{}());
    std::vector<long long> acknowledged(kValues, 0);
    long long base = 0;
    int rounds = 0, roundsWithWrites = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(2500);
    while (std::chrono::steady_clock::now() < deadline && rounds < 300) {
        int fds[2];
        ASSERT_EQ(::pipe(fds), 0);
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            ::close(fds[0]);
            writeForever(profile.dir(), fds[1], base);
        }
        ::close(fds[1]);
        // Every other round the kill is timed from the fork, so it can also hit the start-up
        // read; the others time it from the writer's notice that it is about to write, however
        // slow the start-up is (it is under the sanitizers).
        Ack ack{};
        if (rounds % 2 == 1) {
            pollfd ready{fds[0], POLLIN, 0};
            if (::poll(&ready, 1, 5000) == 1 && ::read(fds[0], &ack, sizeof ack) != sizeof ack)
                ADD_FAILURE() << "short read of the start-up notice";
        }
        ::usleep(static_cast<useconds_t>(rng() % 20000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ::waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status)) << "writer stopped by itself, status " << status;

        bool wrote = false;
        while (::read(fds[0], &ack, sizeof ack) == sizeof ack) {
            if (ack.value < 0)
                continue; // the start-up notice
            acknowledged[ack.value] = std::max(acknowledged[ack.value], ack.counter);
            wrote = true;
        }
        ::close(fds[0]);
        roundsWithWrites += wrote ? 1 : 0;

        // The hive on disk is always a whole file holding, for every value, the old text or a
        // new one at least as recent as the last write the registry reported done.
        const auto read =
            hostreg::readRegText(readFile(profile.file("user.reg")), HiveRoot::CurrentUser);
        ASSERT_TRUE(read.ok()) << "round " << rounds << ": " << read.problems[0].message;
        const hostreg::RegKey* key = hostreg::findKey(read.root, {"software", "Durability"});
        ASSERT_NE(key, nullptr);
        ASSERT_EQ(key->valueCount(), static_cast<std::size_t>(kValues));
        for (int i = 0; i < kValues; ++i) {
            EXPECT_EQ(key->valueAt(i).name, valueName(i));
            const long long stored = counterOf(key->value(valueName(i)));
            ASSERT_GE(stored, acknowledged[i]) << "round " << rounds << ", value " << i;
            acknowledged[i] = stored; // later rounds continue from here
        }
        base += 1000000;
        ++rounds;
    }
    EXPECT_GE(rounds, 10);
    EXPECT_GE(roundsWithWrites, 1);
    EXPECT_TRUE(profile.filesStartingWith("user.reg.bad").empty());

    // The next start-up is clean and sweeps the temporary files of killed writers.
    std::vector<std::string> messages;
    bool clean = false;
    HostRegistry::openProfile(profile.dir(), messages, &clean);
    EXPECT_TRUE(clean);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(profile.filesStartingWith("user.reg.tmp-").empty());
}

// Child: opens the profile, reports ready, waits for the go, then writes its own values.
[[noreturn]] void writeOwnValues(const std::string& dir, char who, int readyFd, int goFd) {
    std::vector<std::string> messages;
    if (!hostRegistryOpen(dir, &messages))
        _exit(2);
    HKEY key = nullptr;
    if (RegCreateKeyEx(HKEY_CURRENT_USER, "software\\Shared", 0, nullptr, 0, KEY_ALL_ACCESS,
                       nullptr, &key, nullptr) != ERROR_SUCCESS)
        _exit(3);
    char byte = who;
    if (::write(readyFd, &byte, 1) != 1 || ::read(goFd, &byte, 1) != 1)
        _exit(4);
    for (DWORD i = 0; i < 60; ++i) {
        const std::string name = std::string(1, who) + std::to_string(i);
        if (setDword(key, name.c_str(), i) != ERROR_SUCCESS)
            _exit(5);
    }
    _exit(0);
}

TEST(RegistryDurability, TwoProcessesWritingAtOnceBothKeepTheirValues) {
    TempProfile profile;
    int ready[2], go[2];
    ASSERT_EQ(::pipe(ready), 0);
    ASSERT_EQ(::pipe(go), 0);
    pid_t pids[2];
    const char who[2] = {'A', 'B'};
    for (int p = 0; p < 2; ++p) {
        pids[p] = ::fork();
        ASSERT_GE(pids[p], 0);
        if (pids[p] == 0)
            writeOwnValues(profile.dir(), who[p], ready[1], go[0]);
    }
    // Both have read the hive before either writes, so each one's copy is stale at once.
    char byte = 0;
    for (int p = 0; p < 2; ++p)
        ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    ASSERT_EQ(::write(go[1], "gg", 2), 2);
    for (pid_t pid : pids) {
        int status = 0;
        ::waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
    }
    for (int fd : {ready[0], ready[1], go[0], go[1]})
        ::close(fd);

    const auto read =
        hostreg::readRegText(readFile(profile.file("user.reg")), HiveRoot::CurrentUser);
    ASSERT_TRUE(read.ok());
    const hostreg::RegKey* key = hostreg::findKey(read.root, {"software", "Shared"});
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->valueCount(), 120u);
    for (char w : who)
        for (int i = 0; i < 60; ++i)
            EXPECT_NE(key->value(std::string(1, w) + std::to_string(i)), nullptr) << w << i;
}

TEST(RegistryDurability, AnotherProcessesWritesAreSeenAndKept) {
    TempProfile profile;
    std::vector<std::string> messages;
    auto first = HostRegistry::openProfile(profile.dir(), messages);
    auto second = HostRegistry::openProfile(profile.dir(), messages);
    const DWORD one = 1, two = 2;
    ASSERT_EQ(first->setValue(HKEY_CURRENT_USER, "fromFirst", REG_DWORD,
                              reinterpret_cast<const BYTE*>(&one), 4),
              ERROR_SUCCESS);
    ASSERT_EQ(second->setValue(HKEY_CURRENT_USER, "fromSecond", REG_DWORD,
                               reinterpret_cast<const BYTE*>(&two), 4),
              ERROR_SUCCESS);
    DWORD value = 0, size = 4;
    EXPECT_EQ(second->queryValue(HKEY_CURRENT_USER, "fromFirst", nullptr,
                                 reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 1u);
    EXPECT_EQ(first->queryValue(HKEY_CURRENT_USER, "fromSecond", nullptr,
                                reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 2u);
    // A key deleted by one process is gone for the other's open handle.
    HKEY held = nullptr;
    ASSERT_EQ(first->createKey(HKEY_CURRENT_USER, "software\\Temp", KEY_ALL_ACCESS, &held, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(second->deleteKey(HKEY_CURRENT_USER, "software\\Temp"), ERROR_SUCCESS);
    EXPECT_EQ(first->setValue(held, "x", REG_DWORD, reinterpret_cast<const BYTE*>(&one), 4),
              ERROR_KEY_DELETED);
    EXPECT_TRUE(messages.empty());
}

TEST(RegistryDurability, MalformedHiveAtStartUpIsReportedKeptAsideAndRepaired) {
    TempProfile profile;
    const std::string bad = "REGEDIT4\n"
                            "\n"
                            "[HKEY_CURRENT_USER\\software\\Vorel\\Vorel2005\\Kelvarin]\n"
                            "\"DBLocation\"=\"/home/ann/t.db\"\n"
                            "\"Broken\"=\"no end\n"
                            "\"PosX\"=dword:00000064\n";
    writeFile(profile.file("user.reg"), bad);
    std::vector<std::string> messages;
    EXPECT_FALSE(hostRegistryOpen(profile.dir(), &messages));
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages[0].find("user.reg: line 5:"), std::string::npos) << messages[0];
    EXPECT_NE(messages.back().find("user.reg.bad-"), std::string::npos) << messages.back();

    const auto aside = profile.filesStartingWith("user.reg.bad-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(readFile(profile.file(aside[0])), bad); // the original, untouched
    EXPECT_TRUE(
        hostreg::readRegText(readFile(profile.file("user.reg")), HiveRoot::CurrentUser).ok());

    HKEY key = nullptr;
    ASSERT_EQ(
        RegOpenKeyEx(HKEY_CURRENT_USER, "software\\Vorel\\Vorel2005\\Kelvarin", 0, KEY_READ, &key),
        ERROR_SUCCESS);
    EXPECT_EQ(valueNames(key), (std::vector<std::string>{"DBLocation", "PosX"}));
    RegCloseKey(key);
    hostRegistryClose();

    // Started again: nothing more to report, nothing more set aside.
    messages.clear();
    EXPECT_TRUE(hostRegistryOpen(profile.dir(), &messages));
    EXPECT_EQ(profile.filesStartingWith("user.reg.bad-").size(), 1u);
    hostRegistryClose();
}

TEST(RegistryDurability, HiveMadeMalformedWhileRunningIsKeptAsideByTheNextWrite) {
    TempProfile profile;
    ASSERT_TRUE(hostRegistryOpen(profile.dir(), nullptr));
    ASSERT_EQ(setDword(HKEY_LOCAL_MACHINE, "Before", 1), ERROR_SUCCESS);
    const std::string edited = "REGEDIT4\n[HKEY_LOCAL_MACHINE]\n\"Edited\"=dword:2\n%%%\n";
    writeFile(profile.file("machine.reg"), edited);

    ASSERT_EQ(setDword(HKEY_LOCAL_MACHINE, "After", 3), ERROR_SUCCESS);
    const auto messages = hostRegistryTakeMessages();
    ASSERT_FALSE(messages.empty());
    EXPECT_NE(messages.front().find("machine.reg: line 4:"), std::string::npos);
    const auto aside = profile.filesStartingWith("machine.reg.bad-");
    ASSERT_EQ(aside.size(), 1u);
    EXPECT_EQ(readFile(profile.file(aside[0])), edited);
    EXPECT_EQ(valueNames(HKEY_LOCAL_MACHINE), (std::vector<std::string>{"Edited", "After"}));
    EXPECT_TRUE(hostRegistryTakeMessages().empty());
    hostRegistryClose();
}

} // namespace
