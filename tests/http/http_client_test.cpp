// The host HTTP client against a loopback server: answers, HTTP errors,
// servers that never answer or never stop, junk, and refused connections.
#include "cadhost/http_client.h"

#include "support/loopback_http_server.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using cadhost::httpGet;
using cadhost::HttpOptions;
using cadhost::HttpOutcome;
using testsupport::LoopbackHttpServer;
using namespace std::chrono_literals;

namespace {

HttpOptions quick() {
    HttpOptions o;
    o.connectTimeout = 1000ms;
    o.totalTimeout = 1500ms;
    o.maxBytes = 64 * 1024;
    return o;
}

} // namespace

TEST(HttpClient, FetchesAnAnswerAndSendsThePathAsGiven) {
    LoopbackHttpServer server(LoopbackHttpServer::reply(200, "kelvarin:2.5\r\n"));
    auto r = httpGet(server.url("/updatelist\\checkforupdate.txt"), quick());
    ASSERT_EQ(r.outcome, HttpOutcome::Ok) << r.error;
    EXPECT_EQ(r.status, 200);
    EXPECT_EQ(r.body, "kelvarin:2.5\r\n");
    EXPECT_EQ(r.contentType, "text/plain");
    ASSERT_EQ(server.requestLines().size(), 1u);
    EXPECT_EQ(server.requestLines()[0], "GET /updatelist\\checkforupdate.txt HTTP/1.1");
}

TEST(HttpClient, ReportsHttpErrorsWithTheirStatus) {
    for (int status : {404, 500, 301}) {
        LoopbackHttpServer server(LoopbackHttpServer::reply(status, "<html>nope</html>"));
        auto r = httpGet(server.url("/x"), quick());
        EXPECT_EQ(r.outcome, HttpOutcome::HttpError) << status;
        EXPECT_EQ(r.status, status);
        EXPECT_NE(r.error.find(std::to_string(status)), std::string::npos) << r.error;
        EXPECT_FALSE(r.ok());
    }
}

TEST(HttpClient, ASilentServerEndsWithinTheTotalTimeout) {
    LoopbackHttpServer server(LoopbackHttpServer::silent());
    const auto start = std::chrono::steady_clock::now();
    auto r = httpGet(server.url("/"), quick());
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r.outcome, HttpOutcome::TimedOut) << r.error;
    EXPECT_TRUE(r.body.empty());
    EXPECT_LT(took, 10s); // bounded (the limit is 1.5 s), never a hang
}

TEST(HttpClient, AnAnswerBeyondTheCapIsRefusedNotKept) {
    // Announced length over the cap, and a stream with no length at all.
    LoopbackHttpServer announced(LoopbackHttpServer::reply(200, std::string(200000, 'a')));
    auto r1 = httpGet(announced.url("/"), quick());
    EXPECT_EQ(r1.outcome, HttpOutcome::TooLarge) << r1.error;
    EXPECT_TRUE(r1.body.empty());

    LoopbackHttpServer endless(LoopbackHttpServer::endless());
    auto r2 = httpGet(endless.url("/"), quick());
    EXPECT_EQ(r2.outcome, HttpOutcome::TooLarge) << r2.error;
    EXPECT_TRUE(r2.body.empty());

    // Exactly at the cap is fine.
    LoopbackHttpServer exact(LoopbackHttpServer::reply(200, std::string(64 * 1024, 'b')));
    auto r3 = httpGet(exact.url("/"), quick());
    EXPECT_EQ(r3.outcome, HttpOutcome::Ok) << r3.error;
    EXPECT_EQ(r3.body.size(), 64u * 1024);
}

TEST(HttpClient, BinaryJunkIsNoAnswer) {
    std::string junk;
    for (int i = 0; i < 4096; ++i)
        junk.push_back(static_cast<char>((i * 7919) & 0xFF));
    LoopbackHttpServer server([junk](int fd, const std::string&) {
        LoopbackHttpServer::sendAll(fd, junk);
        return true;
    });
    auto r = httpGet(server.url("/"), quick());
    EXPECT_FALSE(r.ok());
    EXPECT_FALSE(r.error.empty());
}

TEST(HttpClient, BinaryBodyIsKeptByteForByte) {
    std::string body("\0\xff\x01kelvarin:\0", 13);
    LoopbackHttpServer server(LoopbackHttpServer::reply(200, body, "application/octet-stream"));
    auto r = httpGet(server.url("/"), quick());
    ASSERT_EQ(r.outcome, HttpOutcome::Ok) << r.error;
    EXPECT_EQ(r.body, body);
}

TEST(HttpClient, RefusedConnectionsAndBadAddresses) {
    auto refused = httpGet(
        "http://127.0.0.1:" + std::to_string(testsupport::unusedLoopbackPort()) + "/", quick());
    EXPECT_EQ(refused.outcome, HttpOutcome::ConnectFailed) << refused.error;

    for (const char* bad : {"", "ftp://127.0.0.1/", "file:///etc/passwd", "www.example.com",
                            "http://127.0.0.1/\r\nX: y"}) {
        auto r = httpGet(bad, quick());
        EXPECT_EQ(r.outcome, HttpOutcome::BadAddress) << bad;
    }
}

TEST(HttpClient, RedirectsToOtherSchemesAreNotFollowed) {
    LoopbackHttpServer server([](int fd, const std::string&) {
        LoopbackHttpServer::sendAll(fd, "HTTP/1.1 302 Found\r\nLocation: file:///etc/passwd\r\n"
                                        "Content-Length: 0\r\n\r\n");
        return true;
    });
    auto r = httpGet(server.url("/"), quick());
    EXPECT_FALSE(r.ok());
    EXPECT_TRUE(r.body.find("root") == std::string::npos);
}

TEST(HttpClient, ACancelledTransferEndsAtOnce) {
    LoopbackHttpServer server(LoopbackHttpServer::silent());
    std::atomic<bool> cancel{false};
    HttpOptions o = quick();
    o.totalTimeout = 60s;
    o.cancel = &cancel;
    std::thread stopper([&] {
        std::this_thread::sleep_for(200ms);
        cancel = true;
    });
    const auto start = std::chrono::steady_clock::now();
    auto r = httpGet(server.url("/"), o);
    stopper.join();
    EXPECT_EQ(r.outcome, HttpOutcome::Cancelled) << r.error;
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s);
}
