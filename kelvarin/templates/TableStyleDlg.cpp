#include "templates/TableStyleDlg.h"

#include "app/ModuleState.h"
#include "templates/TableStyle.h"

#include <QListWidget>

using namespace kelvarin::templates;

CTableStyleDlg::CTableStyleDlg(QWidget* parent) : CAcUiDialog(kTemplate, parent) {}

bool CTableStyleDlg::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    list = item<QListWidget>(kList);
    const auto names = tableStyleNames(acdbHostApplicationServices()->workingDatabase());
    if (!names) {
        acutPrintf("%s", kNoStyleDictionary);
        return true;
    }
    if (!list)
        return true;
    // A sorted list box: letter case ignored.
    for (const std::string& name : *names) {
        const QString text = QString::fromStdString(name);
        int row = 0;
        while (row < list->count() &&
               QString::compare(list->item(row)->text(), text, Qt::CaseInsensitive) <= 0)
            ++row;
        list->insertItem(row, text);
    }
    return true;
}

void CTableStyleDlg::OnOK() {
    if (list && !list->selectedItems().isEmpty())
        styleName = list->selectedItems().first()->text().toStdString();
    CAcUiDialog::OnOK();
}

void applyTableStyle(CUtiCommonFunc&) {
    ads_name entity{};
    ads_point point{};
    if (acedEntSel(kStylePickPrompt, entity, point) != RTNORM)
        return;
    AcDbObjectId id;
    if (acdbGetObjectId(id, entity) != Acad::eOk)
        return;
    // Open for write while the dialog is shown; closed on every way out.
    AcDbObjectPointer<AcDbTable> table(id, AcDb::kForWrite);
    if (!table)
        return;
    ModuleResourceScope resources;
    CTableStyleDlg dialog;
    if (dialog.DoModal() == IDOK && !dialog.styleName.empty())
        applyTableStyleByName(*table.object(), dialog.styleName);
}
