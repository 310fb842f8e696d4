// The update check without its window: version comparison, the choice of
// the latest version, the version list, and whole checks against a loopback
// server (several product lines, 404, silence, a huge answer, junk).
#include "update/UpdateCheck.h"

#include "support/loopback_http_server.h"

#include <gtest/gtest.h>

using namespace kelvarin;
using testsupport::LoopbackHttpServer;
using namespace std::chrono_literals;

TEST(CompareVersions, ComponentByComponentAMissingOneCountingZero) {
    EXPECT_EQ(compareVersions("2.10.0.0", "2.4.1.0"), 1);
    EXPECT_EQ(compareVersions("2.4.1.0", "2.10.0.0"), -1);
    // Fewer components no longer means older.
    EXPECT_EQ(compareVersions("2.5", "2.4.1.0"), 1);
    EXPECT_EQ(compareVersions("2.4.1.0", "2.5"), -1);
    EXPECT_EQ(compareVersions("2.4.1", "2.4.1.0"), 0);
    EXPECT_EQ(compareVersions("2.4.1.0", "2.4.1.0"), 0);
    EXPECT_EQ(compareVersions("2.4.1.1", "2.4.1"), 1);
    EXPECT_EQ(compareVersions("3", "2.99.99.99"), 1);
}

TEST(CompareVersions, OddComponentsCompareByTheirLeadingNumber) {
    EXPECT_EQ(compareVersions("2.4beta", "2.4"), 0);
    EXPECT_EQ(compareVersions("2.x", "2.0"), 0);    // no number counts 0
    EXPECT_EQ(compareVersions("2..1", "2.0.1"), 0); // an empty piece is a component
    EXPECT_EQ(compareVersions("2.4.", "2.4"), 0);   // a trailing dot adds none
    EXPECT_EQ(compareVersions("", "0"), 0);
    EXPECT_EQ(compareVersions("2.007", "2.7"), 0);
    // Numbers beyond any integer type still compare by value.
    EXPECT_EQ(compareVersions("2.123456789012345678901234567890", "2.99999999999999999999"), 1);
    EXPECT_EQ(compareVersions("-1", "0"), -1);
}

TEST(SelectLatestVersion, HighestWinsTheFirstOfEqualOnesStays) {
    EXPECT_EQ(selectLatestVersion({}), "");
    EXPECT_EQ(selectLatestVersion({"2.4.1.0", "2.10.0.0", "2.9"}), "2.10.0.0");
    EXPECT_EQ(selectLatestVersion({"2.5", "2.5.0.0"}), "2.5");
    EXPECT_EQ(selectLatestVersion({"1.0", "2.4.1.0", "0.9"}), "2.4.1.0");
}

TEST(ParseVersionList, ProductLinesOnlyInFileOrder) {
    const std::string list = "Vorel suite versions\r\n"
                             "Kelvarin:2.4.1.0\r\n"
                             "tablet:9.9.9.9\r\n"
                             "KELVARIN: 2.10.0.0  \r\n"
                             "kelvarin:\n"
                             "Latest kelvarin: 2.11\n"
                             "kelvarin:\x01\x02junk\n" +
                             std::string("kelvarin:") + std::string(200, '9');
    EXPECT_EQ(parseVersionList(list),
              (std::vector<std::string>{"2.4.1.0", "2.10.0.0", "", "2.11"}));
    EXPECT_TRUE(parseVersionList("").empty());
    EXPECT_TRUE(parseVersionList(std::string("\0\0\xff", 3)).empty());
}

namespace {

struct Check {
    bool ok = false;
    std::vector<std::string> statuses;
};

Check run(const std::string& address) {
    cadhost::HttpOptions o = updateCheckOptions();
    o.connectTimeout = 1000ms;
    o.totalTimeout = 2000ms;
    Check c;
    c.ok = checkForUpdate(
        address, [&](const std::string& s) { c.statuses.push_back(s); }, o);
    return c;
}

} // namespace

TEST(CheckForUpdate, NewestOfSeveralProductLines) {
    LoopbackHttpServer server(LoopbackHttpServer::reply(
        200, "tablet: 5.0\r\nKelvarin:2.4.1.0\r\nKELVARIN: 2.10.0.0\r\nkelvarin: 2.9.9\r\n"));
    Check c = run(server.url("/updatelist\\checkforupdate.txt"));
    EXPECT_TRUE(c.ok);
    ASSERT_EQ(c.statuses.size(), 2u);
    EXPECT_EQ(c.statuses[0], "Connecting...");
    EXPECT_EQ(c.statuses[1], "The current version is 2.4.1.0\nThe lastest version is  2.10.0.0\n"
                             "Please download the new version by visiting");
    EXPECT_EQ(server.requestLines().at(0), "GET /updatelist\\checkforupdate.txt HTTP/1.1");
}

TEST(CheckForUpdate, NoProductLineShowsAnEmptyLatestVersion) {
    LoopbackHttpServer server(LoopbackHttpServer::reply(200, "other: 1.0\n"));
    Check c = run(server.url("/list"));
    EXPECT_TRUE(c.ok);
    EXPECT_EQ(c.statuses.back(), updateStatusText(""));
}

TEST(CheckForUpdate, FailuresSayNetworkConnectionFailed) {
    LoopbackHttpServer notFound(LoopbackHttpServer::reply(404, "kelvarin: 9.9"));
    LoopbackHttpServer silent(LoopbackHttpServer::silent());
    LoopbackHttpServer huge(LoopbackHttpServer::endless());
    std::string junk(5000, '\0');
    for (std::size_t i = 0; i < junk.size(); ++i)
        junk[i] = static_cast<char>((i * 131) & 0xFF);
    LoopbackHttpServer garbage([junk](int fd, const std::string&) {
        LoopbackHttpServer::sendAll(fd, junk);
        return true;
    });
    const std::string dead =
        "http://127.0.0.1:" + std::to_string(testsupport::unusedLoopbackPort()) + "/list";
    for (const std::string& address : {notFound.url("/list"), silent.url("/list"),
                                       huge.url("/list"), garbage.url("/list"), dead}) {
        const auto start = std::chrono::steady_clock::now();
        Check c = run(address);
        EXPECT_FALSE(c.ok) << address;
        EXPECT_EQ(c.statuses,
                  (std::vector<std::string>{"Connecting...", "Network connection failed."}))
            << address;
        EXPECT_LT(std::chrono::steady_clock::now() - start, 15s) << address;
    }
}

TEST(CheckForUpdate, AJunkBodyWithStatus200GivesNoVersion) {
    static const char raw[] = "kelvarin:\x7f\x80\xff\n\0\0kelvarin: 3.0\n";
    const std::string body(raw, sizeof raw - 1);
    LoopbackHttpServer server(LoopbackHttpServer::reply(200, body, "application/octet-stream"));
    Check c = run(server.url("/list"));
    EXPECT_TRUE(c.ok);
    EXPECT_EQ(c.statuses.back(), updateStatusText("3.0"));
}
