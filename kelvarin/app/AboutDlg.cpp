#include "app/AboutDlg.h"

#include "app/ModuleState.h"
#include "app/WebAddresses.h"
#include "controls/SiteLink.h"
#include "update/UpdateCheck.h"

CAboutDlg::CAboutDlg(QWidget* parent)
    : CAcUiDialog(kTemplate, parent), m_site(kelvarin::makerWebSite()) {}

std::string CAboutDlg::versionLine() {
    // The same version the update check compares against.
    return std::string("Kelvarin Version ") + kelvarin::currentVersion;
}

bool CAboutDlg::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    SetDlgItemText(kVersionLine, versionLine());
    m_link = createSiteLink(GetDlgItem(kLinkPlaceholder), kLinkWindow, m_site);
    return true;
}

void showAbout() {
    ModuleResourceScope resources;
    CAboutDlg dialog;
    dialog.DoModal();
}
