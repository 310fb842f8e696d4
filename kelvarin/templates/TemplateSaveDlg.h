#pragma once
// "Save as a Table Template": a name, a table picked in the drawing and its
// preview; the command copies the table into the template database.

#include "templates/GSScanStatic.h"
#include "util/UtiCommonFunc.h"

#include "acui.h"

#include <string>
#include <vector>

class CButtonST;

class CTemplateSaveDlg : public CAcUiDialog {
    Q_OBJECT
public:
    static constexpr unsigned kTemplate = 52788;
    static constexpr int kNameEdit = 229;
    static constexpr int kPickButton = 230;
    static constexpr int kPreview = 232;
    static constexpr unsigned kPickIcon = 221;
    explicit CTemplateSaveDlg(QWidget* parent = nullptr);

    CGSScanStatic* preview = nullptr;
    CButtonST* pickButton = nullptr;
    std::vector<std::string> invalidNameCharacters;
    std::string templateName;
    AcDbObjectId tableId;
    AcGePoint3d tablePosition;
    std::vector<std::string> existingNames;
    std::string databasePath;

    void pickTemplateTable();

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int id) override;

private:
    CButtonST* flatButtonFor(int id);
};

// Body of the save command.
void saveTableAsTemplate(CUtiCommonFunc& util);
