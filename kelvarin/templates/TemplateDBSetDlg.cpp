#include "templates/TemplateDBSetDlg.h"

#include "app/ModuleState.h"
#include "templates/TemplateDatabase.h"

using namespace kelvarin::templates;

CTemplateDBSetDlg::CTemplateDBSetDlg(QWidget* parent) : CAcUiDialog(kTemplate, parent) {}

bool CTemplateDBSetDlg::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    path = templateDatabasePath(m_util).path;
    SetDlgItemText(kPathEdit, path);
    return true;
}

void CTemplateDBSetDlg::OnCommand(int id) {
    if (id != kBrowse) {
        CAcUiDialog::OnCommand(id);
        return;
    }
    const std::optional<std::string> chosen = browseTemplateDatabase();
    if (!chosen || chosen->empty())
        return;
    path = *chosen;
    SetDlgItemText(kPathEdit, path);
    createTemplateDatabase(path);
    SetDlgItemText(kPathEdit, path);
}

void CTemplateDBSetDlg::OnOK() {
    path = GetDlgItemText(kPathEdit);
    if (path.empty())
        return; // nothing to store: the dialog stays
    storeTemplateDatabasePath(m_util, path);
    CAcUiDialog::OnOK();
}

void showTemplateDatabaseSetting() {
    ModuleResourceScope resources;
    CTemplateDBSetDlg dialog;
    dialog.DoModal();
}
