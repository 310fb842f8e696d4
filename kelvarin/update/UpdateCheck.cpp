#include "update/UpdateCheck.h"

#include "util/UtiCommonFunc.h"

#include <cctype>

namespace kelvarin {

namespace {

// A component's leading numeric part: optional blanks and sign, then digits
// (leading zeros dropped), so any length compares without overflow.
struct Component {
    bool negative = false;
    std::string digits; // without leading zeros; empty is 0
};

Component parseComponent(const std::string& text) {
    Component c;
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        c.negative = text[i++] == '-';
    while (i < text.size() && text[i] == '0')
        ++i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])))
        c.digits += text[i++];
    if (c.digits.empty())
        c.negative = false; // -0 is 0
    return c;
}

int compareMagnitude(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return a.size() > b.size() ? 1 : -1;
    const int r = a.compare(b);
    return r > 0 ? 1 : r < 0 ? -1 : 0;
}

int compareComponents(const Component& a, const Component& b) {
    if (a.negative != b.negative)
        return a.negative ? -1 : 1;
    const int m = compareMagnitude(a.digits, b.digits);
    return a.negative ? -m : m;
}

std::string trim(std::string_view s) {
    const auto first = s.find_first_not_of(" \t\r\n\v\f");
    if (first == std::string_view::npos)
        return {};
    const auto last = s.find_last_not_of(" \t\r\n\v\f");
    return std::string(s.substr(first, last - first + 1));
}

// Junk after a key (control bytes, a runaway line) is no version and would
// only fill the status text.
bool isPlausibleVersion(const std::string& v) {
    if (v.size() > kMaxVersionLength)
        return false;
    for (unsigned char c : v)
        if (c < 0x20 || c == 0x7f)
            return false;
    return true;
}

} // namespace

int compareVersions(const std::string& a, const std::string& b) {
    std::vector<std::string> pa, pb;
    CUtiCommonFunc::splitText(a, ".", pa);
    CUtiCommonFunc::splitText(b, ".", pb);
    const std::size_t n = std::max(pa.size(), pb.size());
    for (std::size_t i = 0; i < n; ++i) {
        const Component ca = i < pa.size() ? parseComponent(pa[i]) : Component{};
        const Component cb = i < pb.size() ? parseComponent(pb[i]) : Component{};
        if (int r = compareComponents(ca, cb))
            return r;
    }
    return 0;
}

std::string selectLatestVersion(const std::vector<std::string>& versions) {
    if (versions.empty())
        return {};
    std::string latest = versions.front();
    for (const std::string& v : versions)
        if (compareVersions(v, latest) == 1)
            latest = v;
    return latest;
}

std::vector<std::string> parseVersionList(std::string_view text) {
    std::vector<std::string> versions;
    const std::string_view key(kVersionKey);
    while (!text.empty()) {
        const auto end = text.find('\n');
        std::string line(text.substr(0, end));
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        for (char& c : line)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        const auto at = line.find(key);
        if (at == std::string::npos)
            continue;
        std::string version = trim(std::string_view(line).substr(at + key.size()));
        if (isPlausibleVersion(version))
            versions.push_back(std::move(version));
    }
    return versions;
}

std::string updateStatusText(const std::string& latest) {
    return std::string("The current version is ") + currentVersion + "\nThe lastest version is  " +
           latest + "\nPlease download the new version by visiting";
}

cadhost::HttpOptions updateCheckOptions() {
    cadhost::HttpOptions o;
    o.connectTimeout = std::chrono::seconds(5);
    o.totalTimeout = std::chrono::seconds(10);
    o.maxBytes = 256 * 1024;
    return o;
}

bool checkForUpdate(const std::string& address,
                    const std::function<void(const std::string&)>& setStatus,
                    const cadhost::HttpOptions& options) {
    setStatus(kStatusConnecting);
    const cadhost::HttpResponse response = cadhost::httpGet(address, options);
    if (!response.ok() || response.status != 200) {
        setStatus(kStatusFailed);
        return false;
    }
    setStatus(updateStatusText(selectLatestVersion(parseVersionList(response.body))));
    return true;
}

} // namespace kelvarin
