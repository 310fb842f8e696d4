// The Reg* calls as the modules use them, on a registry backed by a temporary profile.

#include "runtime/registry_test_support.h"

#include "hostreg/hive.h"
#include "hostreg/registry.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace regtest;

namespace {

const char* const kKelvarin = "software\\Vorel\\Vorel2005\\Kelvarin";

class RegistryApi : public ::testing::Test {
protected:
    void SetUp() override {
        std::vector<std::string> messages;
        ASSERT_TRUE(hostRegistryOpen(profile.dir(), &messages));
        EXPECT_TRUE(messages.empty());
    }
    void TearDown() override { hostRegistryClose(); }

    HKEY create(const char* path, REGSAM access = KEY_ALL_ACCESS, DWORD* disposition = nullptr) {
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, path, 0, nullptr, 0, access, nullptr, &key,
                                 disposition),
                  ERROR_SUCCESS);
        return key;
    }

    TempProfile profile;
};

TEST_F(RegistryApi, CreateReportsDispositionAndOpenIgnoresLetterCase) {
    DWORD disposition = 0;
    HKEY key = create(kKelvarin, KEY_ALL_ACCESS, &disposition);
    EXPECT_EQ(disposition, REG_CREATED_NEW_KEY);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    key = create("SOFTWARE\\vorel\\VOREL2005\\kelvarin", KEY_ALL_ACCESS, &disposition);
    EXPECT_EQ(disposition, REG_OPENED_EXISTING_KEY);
    RegCloseKey(key);

    HKEY opened = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "Software\\VOREL", 0, KEY_READ, &opened),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeyNames(opened), std::vector<std::string>{"Vorel2005"}); // spelling kept
    RegCloseKey(opened);

    HKEY missing = reinterpret_cast<HKEY>(1);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\Nope", 0, KEY_READ, &missing),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(missing, nullptr);
    EXPECT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "\\software", 0, KEY_READ, &missing),
              ERROR_BAD_PATHNAME);
    EXPECT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, std::string(256, 'k').c_str(), 0, nullptr, 0,
                             KEY_ALL_ACCESS, nullptr, &missing, nullptr),
              ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryApi, ValuesKeepFirstInsertionOrderAndIgnoreLetterCase) {
    HKEY key = create("software\\Vorel\\Vorel2005\\Kelvarin\\ToolBar");
    EXPECT_EQ(setDword(key, "Visible", 1), ERROR_SUCCESS);
    EXPECT_EQ(setDword(key, "PosX", 100), ERROR_SUCCESS);
    EXPECT_EQ(setDword(key, "PosY", 120), ERROR_SUCCESS);
    EXPECT_EQ(setDword(key, "posx", 300), ERROR_SUCCESS); // an update, not a new value
    EXPECT_EQ(valueNames(key), (std::vector<std::string>{"Visible", "PosX", "PosY"}));

    DWORD value = 0, size = sizeof value, type = 0;
    ASSERT_EQ(RegQueryValueEx(key, "POSX", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(value, 300u);
    EXPECT_EQ(type, REG_DWORD);

    EXPECT_EQ(RegDeleteValue(key, "visible"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key, "Visible"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(valueNames(key), (std::vector<std::string>{"PosX", "PosY"}));
    EXPECT_EQ(setDword(key, "Visible", 0), ERROR_SUCCESS); // goes to the end now
    EXPECT_EQ(valueNames(key), (std::vector<std::string>{"PosX", "PosY", "Visible"}));
    RegCloseKey(key);
}

TEST_F(RegistryApi, QueryReportsSizesAndMoreDataAndReturnsStoredBytes) {
    HKEY key = create(kKelvarin);
    ASSERT_EQ(setString(key, "DBLocation", "/home/ann/tables.db"), ERROR_SUCCESS);
    const DWORD stored = sizeof("/home/ann/tables.db"); // with its terminating zero

    DWORD size = 0, type = 0;
    EXPECT_EQ(RegQueryValueEx(key, "DBLocation", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, stored);
    EXPECT_EQ(type, REG_SZ);

    // A DWORD-sized buffer is too small for the string: the size needed comes back.
    DWORD small = 0;
    size = sizeof small;
    type = 0;
    EXPECT_EQ(
        RegQueryValueEx(key, "DBLocation", nullptr, &type, reinterpret_cast<BYTE*>(&small), &size),
        ERROR_MORE_DATA);
    EXPECT_EQ(size, stored);
    EXPECT_EQ(type, REG_SZ);

    EXPECT_EQ(queryBytes(key, "DBLocation"), std::string("/home/ann/tables.db", stored));
    BYTE buf[4];
    EXPECT_EQ(RegQueryValueEx(key, "DBLocation", nullptr, nullptr, buf, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegQueryValueEx(key, "Nothing", nullptr, nullptr, nullptr, &size),
              ERROR_FILE_NOT_FOUND);

    // Written without a terminating zero, read back without one; any 4 bytes read as a DWORD.
    ASSERT_EQ(RegSetValueEx(key, "Raw", 0, REG_SZ, reinterpret_cast<const BYTE*>("abcd"), 4),
              ERROR_SUCCESS);
    EXPECT_EQ(queryBytes(key, "Raw"), "abcd");
    DWORD asNumber = 0;
    size = sizeof asNumber;
    EXPECT_EQ(
        RegQueryValueEx(key, "Raw", nullptr, nullptr, reinterpret_cast<BYTE*>(&asNumber), &size),
        ERROR_SUCCESS);
    EXPECT_EQ(std::memcmp(&asNumber, "abcd", 4), 0);
    RegCloseKey(key);
}

TEST_F(RegistryApi, UnnamedDefaultValueIsEnumeratedWithAnEmptyName) {
    HKEY key = create("SOFTWARE\\Vorel\\Vorel2005\\ProductLink");
    EXPECT_EQ(RegQueryValueEx(key, nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    ASSERT_EQ(setString(key, "Kelvarin", "/opt/vorel/Kelvarin.arx"), ERROR_SUCCESS);
    ASSERT_EQ(setString(key, nullptr, "default"), ERROR_SUCCESS);
    EXPECT_EQ(queryBytes(key, ""), std::string("default", 8));
    ASSERT_EQ(setString(key, "", "changed"), ERROR_SUCCESS); // "" and null are the same value
    EXPECT_EQ(queryBytes(key, nullptr), std::string("changed", 8));
    EXPECT_EQ(valueNames(key), (std::vector<std::string>{"Kelvarin", ""}));
    EXPECT_EQ(RegDeleteValue(key, nullptr), ERROR_SUCCESS);
    EXPECT_EQ(valueNames(key), std::vector<std::string>{"Kelvarin"});
    RegCloseKey(key);
}

TEST_F(RegistryApi, EnumerationByIndexWithBufferSizes) {
    HKEY key = create("SOFTWARE\\Vorel\\Vorel2005\\MenuToDel");
    setString(key, "Alpha", "a");
    setString(key, "LongerName", "0123456789");

    char name[32];
    BYTE data[32];
    DWORD chars = sizeof name, size = sizeof data, type = 0;
    ASSERT_EQ(RegEnumValue(key, 1, name, &chars, nullptr, &type, data, &size), ERROR_SUCCESS);
    EXPECT_STREQ(name, "LongerName");
    EXPECT_EQ(chars, 10u);
    EXPECT_EQ(size, 11u);
    EXPECT_EQ(type, REG_SZ);

    chars = 10; // no room for the terminating zero
    EXPECT_EQ(RegEnumValue(key, 1, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    chars = sizeof name;
    size = 4;
    EXPECT_EQ(RegEnumValue(key, 1, name, &chars, nullptr, nullptr, data, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 11u);
    chars = sizeof name;
    EXPECT_EQ(RegEnumValue(key, 2, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);

    // Consuming the list from its start, as the suite loader does, visits every value once.
    std::vector<std::string> consumed;
    while (true) {
        chars = sizeof name;
        if (RegEnumValue(key, 0, name, &chars, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
            break;
        consumed.emplace_back(name);
        ASSERT_EQ(RegDeleteValue(key, name), ERROR_SUCCESS);
    }
    EXPECT_EQ(consumed, (std::vector<std::string>{"Alpha", "LongerName"}));
    RegCloseKey(key);

    HKEY root = create("software\\Order");
    for (const char* sub : {"beta", "Alpha", "gamma", "ALPHA2"}) {
        HKEY k = nullptr;
        RegCreateKeyEx(root, sub, 0, nullptr, 0, KEY_READ, nullptr, &k, nullptr);
        RegCloseKey(k);
    }
    EXPECT_EQ(subKeyNames(root), (std::vector<std::string>{"Alpha", "ALPHA2", "beta", "gamma"}));
    DWORD subKeys = 0, longest = 0, values = 0;
    EXPECT_EQ(RegQueryInfoKey(root, nullptr, nullptr, nullptr, &subKeys, &longest, nullptr, &values,
                              nullptr, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 4u);
    EXPECT_EQ(longest, 6u);
    EXPECT_EQ(values, 0u);
    chars = 5; // "ALPHA2" needs 7
    EXPECT_EQ(RegEnumKeyEx(root, 1, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_MORE_DATA);
    RegCloseKey(root);
}

TEST_F(RegistryApi, DeleteKeyNeedsAKeyWithoutSubKeysAndTreeDeletesAll) {
    HKEY leaf = create("software\\Vorel\\Vorel2005\\Kelvarin\\ToolBar");
    setDword(leaf, "PosX", 1);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "software\\Vorel\\Vorel2005\\Kelvarin"),
              ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "software\\Vorel\\Vorel2005\\Kelvarin\\toolbar"),
              ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, "software\\Vorel\\Vorel2005\\Kelvarin\\toolbar"),
              ERROR_FILE_NOT_FOUND);
    // The handle still names the deleted key.
    EXPECT_EQ(setDword(leaf, "PosY", 2), ERROR_KEY_DELETED);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(leaf, "PosX", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    RegCloseKey(leaf);

    HKEY vorel = create("software\\Vorel");
    HKEY deep = create("software\\Vorel\\a\\b\\c");
    setDword(vorel, "Kept", 1);
    EXPECT_EQ(RegDeleteTree(vorel, "a"), ERROR_SUCCESS);
    EXPECT_EQ(subKeyNames(vorel), std::vector<std::string>{"Vorel2005"});
    EXPECT_EQ(RegDeleteTree(vorel, nullptr), ERROR_SUCCESS); // empties, keeps the key
    EXPECT_TRUE(subKeyNames(vorel).empty());
    EXPECT_TRUE(valueNames(vorel).empty());
    EXPECT_EQ(RegDeleteKey(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
    RegCloseKey(deep);
    RegCloseKey(vorel);
}

TEST_F(RegistryApi, AccessRightsOfTheHandleAreChecked) {
    HKEY writer = create(kKelvarin);
    HKEY existing = nullptr;
    RegCreateKeyEx(writer, "ToolBar", 0, nullptr, 0, KEY_READ, nullptr, &existing, nullptr);
    RegCloseKey(existing);
    RegCloseKey(writer);

    HKEY reader = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kKelvarin, 0, KEY_READ, &reader), ERROR_SUCCESS);
    EXPECT_EQ(setDword(reader, "PosX", 1), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteValue(reader, "PosX"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteTree(reader, nullptr), ERROR_ACCESS_DENIED);
    HKEY sub = nullptr;
    EXPECT_EQ(RegCreateKeyEx(reader, "NewKey", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr),
              ERROR_ACCESS_DENIED);
    // Opening an existing sub-key through a read handle is fine.
    EXPECT_EQ(RegCreateKeyEx(reader, "ToolBar", 0, nullptr, 0, KEY_READ, nullptr, &sub, nullptr),
              ERROR_SUCCESS);
    RegCloseKey(sub);
    RegCloseKey(reader);

    // The utility's rights: read, create sub-key, set value; enough for everything it does.
    HKEY utility = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kKelvarin, 0, nullptr, 0,
                             KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, &utility,
                             nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(setString(utility, "DBLocation", "x"), ERROR_SUCCESS);
    RegCloseKey(utility);

    HKEY setOnly = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, kKelvarin, 0, KEY_SET_VALUE, &setOnly),
              ERROR_SUCCESS);
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueEx(setOnly, "DBLocation", nullptr, nullptr, nullptr, &size),
              ERROR_ACCESS_DENIED);
    char name[16];
    DWORD chars = sizeof name;
    EXPECT_EQ(RegEnumKeyEx(setOnly, 0, name, &chars, nullptr, nullptr, nullptr, nullptr),
              ERROR_ACCESS_DENIED);
    RegCloseKey(setOnly);
}

TEST_F(RegistryApi, HandlesAreCheckedAndRootsNeverClose) {
    HKEY key = create(kKelvarin);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(setDword(key, "x", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(setDword(reinterpret_cast<HKEY>(0x1234567), "x", 1), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
    EXPECT_EQ(setDword(HKEY_CURRENT_USER, "RootValue", 1), ERROR_SUCCESS);

    hostRegistryClose();
    EXPECT_EQ(setDword(HKEY_CURRENT_USER, "x", 1), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryApi, ValuesSurviveReopeningAndLandInTheirHiveFiles) {
    HKEY user = create("software\\Vorel\\Vorel2005\\Kelvarin\\ToolBar");
    setDword(user, "PosX", 100);
    setString(user, "Name", "say \"hi\" C:\\x");
    const BYTE blob[] = {1, 2, 0xff};
    RegSetValueEx(user, "Blob", 0, REG_BINARY, blob, sizeof blob);
    RegCloseKey(user);
    HKEY machine = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, "SOFTWARE\\Vorel\\Vorel2005\\ProductLink", 0,
                             nullptr, 0, KEY_ALL_ACCESS, nullptr, &machine, nullptr),
              ERROR_SUCCESS);
    setString(machine, "Kelvarin", "/opt/vorel/Kelvarin.arx");
    RegCloseKey(machine);

    const std::string userText = readFile(profile.file("user.reg"));
    EXPECT_EQ(userText.rfind("REGEDIT4\n", 0), 0u);
    EXPECT_NE(userText.find("[HKEY_CURRENT_USER\\software\\Vorel\\Vorel2005\\Kelvarin\\ToolBar]\n"
                            "\"PosX\"=dword:00000064\n"
                            "\"Name\"=\"say \\\"hi\\\" C:\\\\x\"\n"
                            "\"Blob\"=hex:01,02,ff\n"),
              std::string::npos)
        << userText;
    EXPECT_NE(readFile(profile.file("machine.reg"))
                  .find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vorel\\Vorel2005\\ProductLink]"),
              std::string::npos);

    hostRegistryClose();
    ASSERT_TRUE(hostRegistryOpen(profile.dir(), nullptr));
    HKEY again = nullptr;
    ASSERT_EQ(RegOpenKeyEx(HKEY_CURRENT_USER, "software\\vorel\\vorel2005\\kelvarin\\toolbar", 0,
                           KEY_READ, &again),
              ERROR_SUCCESS);
    EXPECT_EQ(valueNames(again), (std::vector<std::string>{"PosX", "Name", "Blob"}));
    DWORD type = 0;
    EXPECT_EQ(queryBytes(again, "Blob", &type), std::string("\x01\x02\xff", 3));
    EXPECT_EQ(type, REG_BINARY);
    EXPECT_EQ(queryBytes(again, "Name"), std::string("say \"hi\" C:\\x", 14));
    RegCloseKey(again);
}

TEST_F(RegistryApi, UnwritableNamesAndDataAreRefused) {
    HKEY key = create(kKelvarin);
    EXPECT_EQ(setDword(key, "two\nlines", 1), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueEx(key, "x", 0, REG_BINARY, nullptr, 3), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueEx(key, "empty", 0, REG_BINARY, nullptr, 0), ERROR_SUCCESS);
    const std::vector<BYTE> huge(hostreg::kMaxValueDataSize + 1);
    EXPECT_EQ(
        RegSetValueEx(key, "huge", 0, REG_BINARY, huge.data(), static_cast<DWORD>(huge.size())),
        ERROR_INVALID_PARAMETER);
    RegCloseKey(key);
}

TEST(RegistryProfile, AProfileThatCannotBeUsedIsReportedAndWritesFail) {
    TempProfile profile;
    const std::string notAFolder = profile.file("plain-file");
    writeFile(notAFolder, "x");
    std::vector<std::string> messages;
    EXPECT_FALSE(hostRegistryOpen(notAFolder, &messages));
    EXPECT_FALSE(messages.empty());
    // A write that cannot be kept is an error, never a silent success.
    EXPECT_NE(setDword(HKEY_CURRENT_USER, "x", 1), ERROR_SUCCESS);
    hostRegistryClose();
}

TEST(RegistryProfile, InMemoryRegistryWorksWithoutFiles) {
    hostRegistryOpenInMemory();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyEx(HKEY_CURRENT_USER, kKelvarin, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                             &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(setString(key, "DBLocation", "t.db"), ERROR_SUCCESS);
    EXPECT_EQ(queryBytes(key, "DBLocation"), std::string("t.db", 5));
    RegCloseKey(key);
    hostRegistryClose();
}

} // namespace
