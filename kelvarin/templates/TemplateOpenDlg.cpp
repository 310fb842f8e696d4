#include "templates/TemplateOpenDlg.h"

#include "app/ModuleState.h"
#include "templates/TemplateDatabase.h"
#include "templates/TemplateOpen.h"

#include <QListWidget>
#include <QSignalBlocker>

#include <algorithm>

using namespace kelvarin::templates;

CTemplateOpenDlg::CTemplateOpenDlg(QWidget* parent) : CAcUiDialog(kTemplate, parent) {}

CTemplateOpenDlg::~CTemplateOpenDlg() {
    // The view shows objects of the database: let it go first.
    if (preview)
        preview->releaseGraphics();
    database.reset();
}

bool CTemplateOpenDlg::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    list = item<QListWidget>(kList);
    if (list)
        connect(list, &QListWidget::itemSelectionChanged, this, [this] { onSelectionChanged(); });
    preview = new CGSScanStatic(this);
    preview->subclassDlgItem(kPreview, this);
    preview->attachGraphics();
    if (databasePath.empty())
        return true;
    if (!database) {
        std::string why;
        database = readTemplateDatabase(databasePath, &why);
        if (!database) {
            AfxMessageBox(why.empty() ? std::string(kUnreadableForOpen)
                                      : std::string(kUnreadableForOpen) + "\n" + why,
                          MB_OK | MB_ICONEXCLAMATION);
            return true;
        }
    }
    if (!list)
        return true;
    // As a sorted list box orders them (letter case ignored), sorted once.
    QStringList names;
    for (const std::string& name : templateNames(database.get()))
        names.push_back(QString::fromStdString(name));
    std::stable_sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    list->addItems(names);
    return true;
}

std::string CTemplateOpenDlg::selectedName() const {
    if (!list)
        return {};
    const QList<QListWidgetItem*> chosen = list->selectedItems();
    return chosen.isEmpty() ? std::string() : chosen.first()->text().toStdString();
}

void CTemplateOpenDlg::onSelectionChanged() {
    const std::string name = selectedName();
    if (name.empty() || !database || !preview)
        return;
    const AcDbObjectId reference = previewReference(*database, name);

    if (reference.isNull())
        return; // a template with no single reference keeps the picture shown
    preview->releaseGraphics();
    preview->attachGraphics();
    preview->showEntity(reference);
}

void CTemplateOpenDlg::onDelete() {
    const std::string name = selectedName();
    if (name.empty() || !database)
        return;
    if (AfxMessageBox(kDeleteQuestion, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    preview->releaseGraphics();
    if (deleteTemplate(name, *database, databasePath)) {
        // As the list box does: the entry goes and nothing is selected.
        const QSignalBlocker quiet(list);
        delete list->takeItem(list->row(list->selectedItems().first()));
        list->clearSelection();
        list->setCurrentRow(-1);
    } else {
        // The file still holds the template: so does the list, and the
        // database is read again to match the file.
        std::string why;
        std::unique_ptr<AcDbDatabase> again = readTemplateDatabase(databasePath, &why);
        database = std::move(again);
    }
    preview->attachGraphics();
    preview->update();
}

void CTemplateOpenDlg::OnCommand(int id) {
    if (id == kDelete)
        onDelete();
    else
        CAcUiDialog::OnCommand(id);
}

void CTemplateOpenDlg::OnOK() {
    templateName = selectedName();
    CAcUiDialog::OnOK();
}

void openTemplateAsTable(CUtiCommonFunc& util) {
    const TemplateDatabaseLocation location = templateDatabasePath(util);
    if (!location.usable) {
        acutPrintf("%s", kNoDatabaseMessage);
        util.sendCommandQuietly("\x1b");
        return;
    }
    ModuleResourceScope resources;
    CTemplateOpenDlg dialog;
    dialog.databasePath = location.path;
    if (dialog.DoModal() != IDOK || dialog.templateName.empty() || !dialog.database)
        return;
    ads_point picked{};
    if (acedGetPoint(nullptr, kInsertionPrompt, picked) != RTNORM)
        return;
    try {
        placeTemplate(*dialog.database, dialog.templateName,
                      AcGePoint3d(picked[0], picked[1], picked[2]));
    } catch (...) {
        // The copy is owned by the placement and freed by now; the command ends.
    }
}
