#include "update/LiveUpdateDlg.h"

#include "app/WebAddresses.h"
#include "controls/Hyperlink.h"
#include "update/UpdateCheck.h"

#include "acuiresources.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QPixmap>

#include <thread>

namespace {
constexpr const char* kLinkCursor = "{6FEDA74C-74A1-423a-ABC8-4A7CDA89E154}";
}

CLiveUpdateDlg::CLiveUpdateDlg(QWidget* parent)
    : CAcUiDialog(kTemplate, parent), m_site(kelvarin::makerWebSite()) {}

bool CLiveUpdateDlg::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    m_link = new CHyperlink();
    // Red while the pointer is over it, blue otherwise, on the dialog's face.
    m_link->SetColours(QColor(255, 0, 0), QColor(0, 0, 255), palette().color(QPalette::Button));
    m_link->SetLinkText(m_site);
    m_link->SetLinkAddress(m_site);
    m_link->SetUnderline(true);
    QPixmap hand;
    if (hand.loadFromData(acuiLoadResourceData("CURSOR", kLinkCursor)))
        m_link->SetLinkCursor(QCursor(hand, 9, 1));
    // Through the host's shell, like the add-in's other web commands.
    m_link->setOpener([](const QString& address) {
        ShellExecuteA(nullptr, "open", address.toStdString().c_str(), nullptr, nullptr,
                      SW_SHOWNORMAL);
    });
    if (!m_link->CreateOver(GetDlgItem(kLinkPlaceholder), kLinkWindow)) {
        delete m_link;
        m_link = nullptr;
    }
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
