#include "templates/TemplateSaveDlg.h"

#include "app/ModuleState.h"
#include "templates/TemplateDatabase.h"
#include "templates/TemplateSave.h"

#include "controls/ButtonST.h"

#include <QPushButton>

using namespace kelvarin::templates;

CTemplateSaveDlg::CTemplateSaveDlg(QWidget* parent) : CAcUiDialog(kTemplate, parent) {}

CButtonST* CTemplateSaveDlg::flatButtonFor(int id) {
    // The template's push button gives place and id; the flat button takes
    // them over and reports its clicks as that button would.
    QWidget* original = GetDlgItem(id);
    if (!original)
        return nullptr;
    auto* button = new CButtonST(original->parentWidget());
    button->setGeometry(original->geometry());
    button->setProperty("controlId", id);
    original->setProperty("controlId", QVariant());
    original->hide();
    button->show();
    connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
    return button;
}

bool CTemplateSaveDlg::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    pickButton = flatButtonFor(kPickButton);
    if (pickButton) {
        pickButton->SetIcon(kPickIcon);
        pickButton->SetTooltipText("Select a table");
    }
    invalidNameCharacters.assign(std::begin(kelvarin::templates::invalidNameCharacters),
                                 std::end(kelvarin::templates::invalidNameCharacters));
    preview = new CGSScanStatic(this);
    preview->subclassDlgItem(kPreview, this);
    preview->attachGraphics();
    if (!databasePath.empty()) {
        // A file that does not read lists nothing here; the save reports it.
        if (std::unique_ptr<AcDbDatabase> db = readTemplateDatabase(databasePath))
            existingNames = templateNames(db.get());
    }
    SetDlgItemText(kNameEdit, templateName);
    return true;
}

void CTemplateSaveDlg::OnCommand(int id) {
    if (id == kPickButton)
        pickTemplateTable();
    else
        CAcUiDialog::OnCommand(id);
}

void CTemplateSaveDlg::pickTemplateTable() {
    BeginEditorCommand();
    for (;;) {
        ads_name entity{};
        ads_point point{};
        if (acedEntSel("\nPlease select a table as the template:", entity, point) != RTNORM) {
            tableId = AcDbObjectId::kNull;
            break;
        }
        AcDbObjectId id;
        if (acdbGetObjectId(id, entity) != Acad::eOk || id.isNull())
            continue;
        AcDbTable* table = nullptr;
        if (acdbOpenObject(table, id, AcDb::kForRead) == Acad::eOk && table) {
            tableId = id;
            tablePosition = table->position();
            table->close();
            break;
        }
        tableId = AcDbObjectId::kNull;
    }
    CompleteEditorCommand(true);
    if (!tableId.isNull() && preview) {
        preview->releaseGraphics();
        preview->attachGraphics();
        preview->showEntity(tableId);
    }
}

void CTemplateSaveDlg::OnOK() {
    templateName = GetDlgItemText(kNameEdit);
    if (!acceptTemplateSave(templateName, !tableId.isNull(), existingNames))
        return;
    CAcUiDialog::OnOK();
}

void saveTableAsTemplate(CUtiCommonFunc& util) {
    const std::optional<std::string> path = ensureTemplateDatabase(util);
    if (!path)
        return;
    ModuleResourceScope resources;
    CTemplateSaveDlg dialog;
    dialog.databasePath = *path;
    if (dialog.DoModal() != IDOK)
        return;
    try {
        addTemplate(*path, dialog.templateName, dialog.tableId, dialog.tablePosition);
    } catch (...) {
        // The databases are owned by the save and freed by now; the command ends.
    }
}
