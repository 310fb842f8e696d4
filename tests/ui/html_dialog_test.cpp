// The HTML dialog: its built-in page from the module's resources, pages
// fetched on a worker thread while the window keeps running, and the line it
// shows for a page it cannot get.
#include "afxdhtml.h"
#include "arxHeaders.h"

#include "support/loopback_http_server.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <gtest/gtest.h>

using testsupport::LoopbackHttpServer;
using namespace std::chrono_literals;

namespace {

class HtmlDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.path() + "/DIALOG");
        QDir().mkpath(dir.path() + "/HTML");
        write("/DIALOG/231.dlg", "DIALOG \"Demo\" 300 200\nFONT 8 \"Microsoft Sans Serif\"\n");
        write("/HTML/231.htm",
              "<html><body>Openning <a href=\"http://x/\">x</a> ...</body></html>");
        cadhostRegisterResources(module, cadhostQrcResources(dir.path().toStdString()));
        scope = std::make_unique<CAcModuleResourceOverride>(module);
    }
    void TearDown() override {
        scope.reset();
        cadhostRegisterResources(module, nullptr);
    }
    void write(const QString& name, const QByteArray& data) {
        QFile f(dir.path() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    std::unique_ptr<CDHtmlDialog> makeDialog() {
        auto d = std::make_unique<CDHtmlDialog>(231, 231);
        EXPECT_TRUE(d->CreateControls());
        d->OnInitDialog();
        cadhost::HttpOptions o;
        o.connectTimeout = 1000ms;
        o.totalTimeout = 1500ms;
        o.maxBytes = 64 * 1024;
        d->setFetchOptions(o);
        return d;
    }

    QTemporaryDir dir;
    HINSTANCE module = reinterpret_cast<HINSTANCE>(0x5100);
    std::unique_ptr<CAcModuleResourceOverride> scope;
};

} // namespace

TEST_F(HtmlDialogTest, ShowsTheBuiltInPageThenTheFetchedOne) {
    auto d = makeDialog();
    EXPECT_TRUE(d->shownText().contains("Openning x ...")) << d->shownText().toStdString();
    LoopbackHttpServer server(LoopbackHttpServer::reply(
        200, "<html><body><h1>Kelvarin demo</h1></body></html>", "text/html"));
    QSignalSpy finished(d.get(), &CDHtmlDialog::navigationFinished);
    d->Navigate(server.url("/demo/kv/"));
    EXPECT_TRUE(d->isNavigating());
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_TRUE(finished.at(0).at(0).toBool());
    EXPECT_EQ(d->shownText().toStdString(), "Kelvarin demo");
    EXPECT_FALSE(d->isNavigating());
}

TEST_F(HtmlDialogTest, APageThatCannotBeFetchedShowsAClearLine) {
    auto d = makeDialog();
    LoopbackHttpServer notFound(LoopbackHttpServer::reply(404, "<html>gone</html>", "text/html"));
    LoopbackHttpServer image(LoopbackHttpServer::reply(200, "\x89PNG", "image/png"));
    struct Case {
        std::string address;
        const char* why;
    } cases[] = {{notFound.url("/demo/kv/"), "status 404"},
                 {image.url("/demo/kv/"), "not a web page"},
                 {"http://127.0.0.1:" + std::to_string(testsupport::unusedLoopbackPort()) + "/",
                  "could not be opened"}};
    for (const Case& c : cases) {
        QSignalSpy finished(d.get(), &CDHtmlDialog::navigationFinished);
        d->Navigate(c.address);
        ASSERT_TRUE(finished.wait(10000)) << c.address;
        EXPECT_FALSE(finished.at(0).at(0).toBool());
        const std::string shown = d->shownText().toStdString();
        EXPECT_EQ(shown.rfind("The page " + c.address + " could not be opened: ", 0), 0u) << shown;
        EXPECT_NE(shown.find(c.why), std::string::npos) << shown;
    }
}

TEST_F(HtmlDialogTest, ASilentServerLeavesTheWindowRunningAndEndsInSeconds) {
    auto d = makeDialog();
    LoopbackHttpServer silent(LoopbackHttpServer::silent());
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(50);
    QSignalSpy finished(d.get(), &CDHtmlDialog::navigationFinished);
    QElapsedTimer clock;
    clock.start();
    d->Navigate(silent.url("/demo/kv/"));
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_GT(ticks, 5); // the event loop ran while the page was awaited
    EXPECT_NE(d->shownText().indexOf("could not be opened"), -1);
}

TEST_F(HtmlDialogTest, ClosingDuringANavigationDoesNotWaitForTheServer) {
    LoopbackHttpServer silent(LoopbackHttpServer::silent());
    auto d = makeDialog();
    cadhost::HttpOptions slow;
    slow.totalTimeout = 60s;
    d->setFetchOptions(slow);
    d->Navigate(silent.url("/"));
    QElapsedTimer clock;
    clock.start();
    d.reset();
    EXPECT_LT(clock.elapsed(), 5000);
}
