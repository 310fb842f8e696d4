// The maker's addresses from the machine registry, the fixed pages, the
// support mail and the manual beside the module.
#include "app/WebAddresses.h"

#include "hostreg/registry.h"

#include <gtest/gtest.h>

using namespace kelvarin;

namespace {

class WebAddresses : public ::testing::Test {
protected:
    void SetUp() override { hostRegistryOpenInMemory(); }
    void TearDown() override { hostRegistryClose(); }
    void setMachineValue(const char* name, const std::string& value, DWORD type = REG_SZ) {
        HKEY key = nullptr;
        ASSERT_EQ(RegCreateKeyEx(HKEY_LOCAL_MACHINE, kMachineKey, 0, nullptr, 0, KEY_ALL_ACCESS,
                                 nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        RegSetValueEx(key, name, 0, type, reinterpret_cast<const BYTE*>(value.c_str()),
                      static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }
};

} // namespace

TEST_F(WebAddresses, TheSiteAndMailboxComeFromTheMachineKey) {
    EXPECT_EQ(makerWebSite(), kDefaultWebSite);
    EXPECT_EQ(makerSupportMail(), kDefaultSupportMail);
    setMachineValue(kWebSiteValue, " http://127.0.0.1:8080/ ");
    setMachineValue(kSupportMailValue, "help@example.com");
    EXPECT_EQ(makerWebSite(), "http://127.0.0.1:8080");
    EXPECT_EQ(makerSupportMail(), "help@example.com");
    setMachineValue(kWebSiteValue, "");
    EXPECT_EQ(makerWebSite(), kDefaultWebSite);
    setMachineValue(kWebSiteValue, "http://x", REG_BINARY);
    EXPECT_EQ(makerWebSite(), kDefaultWebSite);
}

TEST_F(WebAddresses, PagesOfTheSite) {
    const std::string site = "http://h:1";
    EXPECT_EQ(homePage(site), "http://h:1/");
    EXPECT_EQ(whatsNewPage(site), "http://h:1/redirect.php?page=whatsnew&product=kv");
    EXPECT_EQ(faqPage(site), "http://h:1/redirect.php?page=faq&product=kv");
    EXPECT_EQ(demoPage(site), "http://h:1/demo/kv/");
    EXPECT_EQ(updateListAddress(site), "http://h:1/updatelist\\checkforupdate.txt");
    const std::string mail = supportMail("s@h");
    EXPECT_EQ(mail.rfind("mailto:s@h?body= Please provide the following info", 0), 0u) << mail;
    EXPECT_NE(mail.find("%0a%0d Operating System: %0a%0d AutoCAD Version:"), std::string::npos);
    EXPECT_NE(mail.find("give you answers ASAP."), std::string::npos);
}

TEST_F(WebAddresses, TheManualLiesBesideTheModule) {
    EXPECT_EQ(manualPathBeside("C:\\Tools\\Addins\\mod.arx"),
              "C:\\Tools\\Addins\\Kelvarin Manual.htm");
    EXPECT_EQ(manualPathBeside("/opt/vorel/suite/Kelvarin.arx"),
              "/opt/vorel/suite/Kelvarin Manual.htm");
    EXPECT_EQ(manualPathBeside("/Kelvarin.arx"), "/Kelvarin Manual.htm");
    EXPECT_EQ(manualPathBeside("Kelvarin.arx"), "Kelvarin Manual.htm");
    EXPECT_EQ(manualPathBeside(""), "Kelvarin Manual.htm");
}
