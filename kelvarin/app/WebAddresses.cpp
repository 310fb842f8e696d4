#include "app/WebAddresses.h"

#include "hostreg/registry.h"

namespace kelvarin {

namespace {

std::string machineString(const char* name, const char* fallback) {
    HKEY key = nullptr;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, kMachineKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return fallback;
    std::string value;
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueEx(key, name, nullptr, &type, nullptr, &size) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ) && size > 0) {
        value.resize(size);
        if (RegQueryValueEx(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value.data()),
                            &size) == ERROR_SUCCESS)
            value.resize(std::min<std::size_t>(size, value.size()));
        else
            value.clear();
    }
    RegCloseKey(key);
    if (const auto zero = value.find('\0'); zero != std::string::npos)
        value.resize(zero);
    // Blanks around a typed value are no part of an address.
    const auto first = value.find_first_not_of(" \t");
    const auto last = value.find_last_not_of(" \t");
    value = first == std::string::npos ? std::string() : value.substr(first, last - first + 1);
    return value.empty() ? fallback : value;
}

} // namespace

std::string makerWebSite() {
    std::string site = machineString(kWebSiteValue, kDefaultWebSite);
    while (!site.empty() && site.back() == '/')
        site.pop_back();
    return site.empty() ? kDefaultWebSite : site;
}

std::string makerSupportMail() {
    return machineString(kSupportMailValue, kDefaultSupportMail);
}

std::string homePage(const std::string& site) {
    return site + "/";
}
std::string whatsNewPage(const std::string& site) {
    return site + "/redirect.php?page=whatsnew&product=kv";
}
std::string faqPage(const std::string& site) {
    return site + "/redirect.php?page=faq&product=kv";
}
std::string demoPage(const std::string& site) {
    return site + "/demo/kv/";
}
std::string updateListAddress(const std::string& site) {
    return site + "/updatelist\\checkforupdate.txt";
}

std::string supportMail(const std::string& mailbox) {
    return "mailto:" + mailbox +
           "?body= Please provide the following info to help us troubleshooting. Thanks. %0a%0d "
           "Operating System: %0a%0d AutoCAD Version: %0a%0d Vorel Product Name and Version: "
           "%0a%0d Problem Description: (Step by Step) %0a%0d Screenshot(s): (Optional) %0a%0d "
           "Please attach other files to help us troubleshooting if applicable. %0a%0d We will "
           "working on your problem and give you answers ASAP.";
}

std::string manualPathBeside(const std::string& modulePath) {
    const auto cut = modulePath.find_last_of("/\\");
    const std::string folder =
        cut == std::string::npos ? std::string() : modulePath.substr(0, cut + 1);
    return folder + kManualFileName;
}

} // namespace kelvarin
