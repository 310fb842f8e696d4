#include "update/LiveUpdateDlg.h"

#include "app/WebAddresses.h"
#include "controls/Hyperlink.h"
#include "controls/SiteLink.h"
#include "update/UpdateCheck.h"

#include <QCoreApplication>
#include <QEventLoop>

#include <thread>

CLiveUpdateDlg::CLiveUpdateDlg(QWidget* parent)
    : CAcUiDialog(kTemplate, parent), m_site(kelvarin::makerWebSite()) {}

bool CLiveUpdateDlg::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    m_link = createSiteLink(GetDlgItem(kLinkPlaceholder), kLinkWindow, m_site);
    if (m_link)
        m_link->hide();
    if (QWidget* text = GetDlgItem(kDownloadText))
        text->hide();
    return true;
}

void CLiveUpdateDlg::OnCommand(int id) {
    if (id == kCheckUp && !m_checking)
        onCheckUp();
    else
        CAcUiDialog::OnCommand(id);
}

void CLiveUpdateDlg::OnCancel() {
    if (m_checking) {
        m_cancel = true;
        m_closeWhenDone = true;
        return;
    }
    CAcUiDialog::OnCancel();
}

void CLiveUpdateDlg::onCheckUp() {
    EnableDlgItem(kCheckUp, false);
    EnableDlgItem(kClose, false);
    if (m_link)
        m_link->hide();
    if (QWidget* text = GetDlgItem(kDownloadText))
        text->hide();
    const bool found = checkForUpdate();
    if (found && m_link)
        m_link->show();
    EnableDlgItem(kCheckUp, true);
    EnableDlgItem(kClose, true);
    if (m_closeWhenDone) {
        m_closeWhenDone = false;
        CAcUiDialog::OnCancel();
    }
}

bool CLiveUpdateDlg::checkForUpdate() {
    m_checking = true;
    m_cancel = false;
    cadhost::HttpOptions options = kelvarin::updateCheckOptions();
    options.cancel = &m_cancel;
    const std::string address = kelvarin::updateListAddress(m_site);
    // Status texts come from the worker; they are applied here, in order.
    auto setStatus = [this](const std::string& text) {
        QMetaObject::invokeMethod(
            this, [this, text] { SetDlgItemText(kStatus, text); }, Qt::QueuedConnection);
    };
    QEventLoop loop;
    bool found = false;
    std::thread worker([&] {
        found = kelvarin::checkForUpdate(address, setStatus, options);
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    QCoreApplication::sendPostedEvents(this); // the last status text
    m_checking = false;
    return found;
}
