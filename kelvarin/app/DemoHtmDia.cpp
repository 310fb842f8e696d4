#include "app/DemoHtmDia.h"

#include "app/ModuleState.h"
#include "app/WebAddresses.h"
#include "update/UpdateCheck.h"

CDemoHtmDia::CDemoHtmDia(QWidget* parent)
    : CDHtmlDialog(kTemplate, 0, parent), m_demoPage(kelvarin::demoPage(kelvarin::makerWebSite())) {
    // The maker's server is waited for as long as by the update check, no longer.
    setFetchOptions(kelvarin::updateCheckOptions());
}

bool CDemoHtmDia::OnInitDialog() {
    CDHtmlDialog::OnInitDialog();
    // The caption is the page's address.
    setWindowTitle(QString::fromStdString(m_demoPage));
    QString page = QString::fromUtf8(acuiLoadResourceData("HTML", kPage));
    page.replace("$(DEMO_PAGE)", QString::fromStdString(m_demoPage).toHtmlEscaped());
    ShowHtml(page);
    Navigate(m_demoPage);
    return true;
}

void showDemo() {
    ModuleResourceScope resources;
    CDemoHtmDia dialog;
    dialog.DoModal();
}
