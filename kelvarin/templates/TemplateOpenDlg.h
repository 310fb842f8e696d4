#pragma once
// "Open a Table Template": the templates of the database with the chosen
// one's picture; Delete removes a template from the file at once. The
// command then places the chosen template at a picked point.

#include "templates/GSScanStatic.h"
#include "util/UtiCommonFunc.h"

#include "acui.h"

#include <memory>
#include <string>

class QListWidget;

class CTemplateOpenDlg : public CAcUiDialog {
    Q_OBJECT
public:
    static constexpr unsigned kTemplate = 222;
    static constexpr int kList = 233;
    static constexpr int kPreview = 232;
    static constexpr int kDelete = 246;
    explicit CTemplateOpenDlg(QWidget* parent = nullptr);
    ~CTemplateOpenDlg() override;

    CGSScanStatic* preview = nullptr;
    QListWidget* list = nullptr;
    // Read when the dialog opens and held (no other writer) until the
    // dialog goes, after the placement.
    std::unique_ptr<AcDbDatabase> database;
    std::string templateName;
    std::string databasePath;

    // The selected template name; empty with no selection.
    std::string selectedName() const;
    void onSelectionChanged();
    void onDelete();

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int id) override;
};

// Body of the open command.
void openTemplateAsTable(CUtiCommonFunc& util);
