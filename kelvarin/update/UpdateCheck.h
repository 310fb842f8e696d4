#pragma once
// The update check without its window: the version list the maker publishes,
// version comparison, and the check itself over the host's HTTP client.

#include "afxinet.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace kelvarin {

inline constexpr const char* currentVersion = "2.4.1.0";
// What marks a product line of the list (compared in lower case).
inline constexpr const char* kVersionKey = "kelvarin:";

inline constexpr const char* kStatusConnecting = "Connecting...";
inline constexpr const char* kStatusFailed = "Network connection failed.";

// 1 when a is newer than b, -1 when older, 0 when equal. Components are
// compared from the left as decimal numbers (their leading numeric part; no
// number counts 0), a missing component counting as 0: "2.5" is newer than
// "2.4.1.0", "2.4.1" equals "2.4.1.0".
int compareVersions(const std::string& a, const std::string& b);

// The highest version; the first of equal highest ones; "" for none.
std::string selectLatestVersion(const std::vector<std::string>& versions);

// The versions of the product lines of a version list, in file order: the
// lower-cased text after the key, trimmed. A "version" longer than
// kMaxVersionLength or holding control bytes is junk and left out.
inline constexpr std::size_t kMaxVersionLength = 64;
std::vector<std::string> parseVersionList(std::string_view text);

// The status text of a check that got the list.
std::string updateStatusText(const std::string& latest);

// Connect in 5 s, everything in 10 s, a list of at most 256 KiB.
cadhost::HttpOptions updateCheckOptions();

// Fetches the list from address and sets the status text through setStatus
// ("Connecting..." first, then the versions or "Network connection
// failed."). True on success. Blocking, bounded by options; safe to run on
// a worker thread (setStatus is then called on that thread).
bool checkForUpdate(const std::string& address,
                    const std::function<void(const std::string&)>& setStatus,
                    const cadhost::HttpOptions& options = updateCheckOptions());

} // namespace kelvarin
