// The LiveUpdate dialog against a loopback server: the link appears only
// after a successful check, failures say so, and the dialog keeps running
// (and can be closed) while the server is silent.
#include "update/LiveUpdateDlg.h"

#include "controls/Hyperlink.h"
#include "support/loopback_http_server.h"
#include "support/maker_site_dialogs.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <gtest/gtest.h>

using testsupport::LoopbackHttpServer;

namespace {

class LiveUpdateDialog : public MakerSiteDialogs {
protected:
    std::string status(CLiveUpdateDlg& d) { return d.GetDlgItemText(CLiveUpdateDlg::kStatus); }
};

} // namespace

TEST_F(LiveUpdateDialog, ASuccessfulCheckShowsTheVersionsAndTheLink) {
    LoopbackHttpServer server(
        LoopbackHttpServer::reply(200, "Kelvarin:2.4.1.0\r\nKELVARIN: 2.10.0.0\r\n"));
    pointAt(server.base());
    CLiveUpdateDlg d;
    ASSERT_TRUE(d.CreateControls());
    d.OnInitDialog();
    ASSERT_NE(d.hyperlink(), nullptr);
    EXPECT_EQ(d.hyperlink()->property("controlId").toInt(), CLiveUpdateDlg::kLinkWindow);
    EXPECT_EQ(d.hyperlink()->address().toStdString(), server.base());
    EXPECT_TRUE(d.hyperlink()->isHidden());
    EXPECT_TRUE(d.GetDlgItem(CLiveUpdateDlg::kDownloadText)->isHidden());

    d.item<QPushButton>(CLiveUpdateDlg::kCheckUp)->click();
    EXPECT_EQ(status(d), "The current version is 2.4.1.0\nThe lastest version is  2.10.0.0\n"
                         "Please download the new version by visiting");
    EXPECT_FALSE(d.hyperlink()->isHidden());
    EXPECT_TRUE(d.IsDlgItemEnabled(CLiveUpdateDlg::kCheckUp));
    EXPECT_TRUE(d.IsDlgItemEnabled(CLiveUpdateDlg::kClose));
    EXPECT_EQ(server.requestLines().at(0), "GET /updatelist\\checkforupdate.txt HTTP/1.1");
}

TEST_F(LiveUpdateDialog, A404HidesTheLinkAndSaysTheConnectionFailed) {
    LoopbackHttpServer server(LoopbackHttpServer::reply(404, "kelvarin: 9.0"));
    pointAt(server.base());
    CLiveUpdateDlg d;
    ASSERT_TRUE(d.CreateControls());
    d.OnInitDialog();
    d.item<QPushButton>(CLiveUpdateDlg::kCheckUp)->click();
    EXPECT_EQ(status(d), "Network connection failed.");
    EXPECT_TRUE(d.hyperlink()->isHidden());
    EXPECT_TRUE(d.IsDlgItemEnabled(CLiveUpdateDlg::kCheckUp));
}

TEST_F(LiveUpdateDialog, StaysResponsiveWhileTheServerIsSilentAndEscEndsTheCheck) {
    LoopbackHttpServer server(LoopbackHttpServer::silent());
    pointAt(server.base());
    CLiveUpdateDlg d;
    ASSERT_TRUE(d.CreateControls());
    d.OnInitDialog();
    int ticks = 0;
    bool buttonsOffDuringCheck = false;
    std::string statusDuringCheck;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (++ticks == 5) {
            buttonsOffDuringCheck = d.isChecking() &&
                                    !d.IsDlgItemEnabled(CLiveUpdateDlg::kCheckUp) &&
                                    !d.IsDlgItemEnabled(CLiveUpdateDlg::kClose);
            statusDuringCheck = status(d);
            d.reject(); // Esc
        }
    });
    timer.start(50);
    QElapsedTimer clock;
    clock.start();
    d.item<QPushButton>(CLiveUpdateDlg::kCheckUp)->click();
    EXPECT_LT(clock.elapsed(), 5000); // not the full timeout: Esc cancelled it
    EXPECT_GE(ticks, 5);
    EXPECT_TRUE(buttonsOffDuringCheck);
    EXPECT_EQ(statusDuringCheck, "Connecting...");
    EXPECT_EQ(status(d), "Network connection failed.");
    EXPECT_FALSE(d.isChecking());
    EXPECT_EQ(d.result(), IDCANCEL);
}
