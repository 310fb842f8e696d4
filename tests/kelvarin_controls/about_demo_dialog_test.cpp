// The About box and the demo window as the add-in's templates build them:
// the About box's version line and link, and the demo window waiting for the
// maker's server within the update check's bounds.
#include "app/AboutDlg.h"
#include "app/DemoHtmDia.h"

#include "controls/Hyperlink.h"
#include "support/loopback_http_server.h"
#include "support/maker_site_dialogs.h"
#include "update/UpdateCheck.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <gtest/gtest.h>

using testsupport::LoopbackHttpServer;

using SuiteDialogs = MakerSiteDialogs;

TEST_F(SuiteDialogs, TheAboutBoxNamesTheProductAndVersionFirstAndLinksTheMaker) {
    pointAt("http://maker.test:8080");
    CAboutDlg d;
    ASSERT_TRUE(d.CreateControls()) << d.templateError();
    d.OnInitDialog();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("About"));
    EXPECT_EQ(d.GetDlgItemText(CAboutDlg::kVersionLine), "Kelvarin Version 2.4.1.0");
    // The version line is the topmost text.
    const int top = d.GetDlgItem(CAboutDlg::kVersionLine)->y();
    for (QLabel* label : d.findChildren<QLabel*>()) {
        if (label->isVisibleTo(&d)) {
            EXPECT_GE(label->y(), top) << label->text().toStdString();
        }
    }
    ASSERT_NE(d.hyperlink(), nullptr);
    EXPECT_EQ(d.hyperlink()->address(), QStringLiteral("http://maker.test:8080"));
    EXPECT_EQ(d.hyperlink()->property("controlId").toInt(), CAboutDlg::kLinkWindow);

    d.item<QPushButton>(IDOK)->click();
    EXPECT_EQ(d.result(), IDOK);
}

TEST_F(SuiteDialogs, TheDemoWindowWaitsNoLongerThanTheUpdateCheck) {
    // Bigger than the update check lets through, smaller than the host's own cap.
    const std::string page = "<html><body>" + std::string(300 * 1024, 'x') + "</body></html>";
    LoopbackHttpServer server(LoopbackHttpServer::reply(200, page, "text/html"));
    pointAt(server.base());
    CDemoHtmDia d;
    const cadhost::HttpOptions bounds = kelvarin::updateCheckOptions();
    EXPECT_EQ(d.fetchOptions().connectTimeout, bounds.connectTimeout);
    EXPECT_EQ(d.fetchOptions().totalTimeout, bounds.totalTimeout);
    EXPECT_EQ(d.fetchOptions().maxBytes, bounds.maxBytes);
    ASSERT_TRUE(d.CreateControls()) << d.templateError();
    QSignalSpy finished(&d, &CDHtmlDialog::navigationFinished);
    d.OnInitDialog();
    EXPECT_EQ(d.windowTitle().toStdString(), server.base() + "/demo/kv/");
    ASSERT_TRUE(finished.wait(10000));
    EXPECT_EQ(server.requestLines().at(0), "GET /demo/kv/ HTTP/1.1");
    EXPECT_FALSE(finished.at(0).at(0).toBool());
    EXPECT_NE(d.shownText().indexOf("larger than 262144 bytes"), -1) << d.shownText().toStdString();
}
