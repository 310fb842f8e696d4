#pragma once
// Where the help and web commands and the update check go: the maker's web
// site and support mailbox (installation data, one registry value each
// below HKEY_LOCAL_MACHINE\SOFTWARE\Vorel\Vorel2005) and the fixed pages on
// that site; and the manual that lies beside the module file.

#include <string>

namespace kelvarin {

inline constexpr const char* kMachineKey = "SOFTWARE\\Vorel\\Vorel2005";
inline constexpr const char* kWebSiteValue = "WebSite";
inline constexpr const char* kSupportMailValue = "SupportMail";
inline constexpr const char* kDefaultWebSite = "http://www.vorel.com";
inline constexpr const char* kDefaultSupportMail = "support@vorel.com";
inline constexpr const char* kManualFileName = "Kelvarin Manual.htm";

// Scheme and host (and port) of the maker's site, without a trailing "/";
// the default when the value is missing, empty or not text.
std::string makerWebSite();
std::string makerSupportMail();

// The pages, for a site as makerWebSite() gives it.
std::string homePage(const std::string& site);
std::string whatsNewPage(const std::string& site);
std::string faqPage(const std::string& site);
std::string demoPage(const std::string& site);
// The version list, with the backslash the maker's server expects.
std::string updateListAddress(const std::string& site);
// "mailto:" the mailbox, with the prepared body of a support request.
std::string supportMail(const std::string& mailbox);

// The manual beside a module file: the module path's drive and folder
// (up to its last "/" or "\") followed by kManualFileName.
std::string manualPathBeside(const std::string& modulePath);

} // namespace kelvarin
