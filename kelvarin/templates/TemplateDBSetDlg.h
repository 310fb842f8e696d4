#pragma once
// Where the template database lives: shows the stored path, lets the user
// browse to (or name a new) file and stores the choice.

#include "util/UtiCommonFunc.h"

#include "acui.h"

class CTemplateDBSetDlg : public CAcUiDialog {
    Q_OBJECT
public:
    static constexpr unsigned kTemplate = 52787;
    static constexpr int kPathEdit = 247;
    static constexpr int kBrowse = 248;
    explicit CTemplateDBSetDlg(QWidget* parent = nullptr);

    std::string path;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int id) override;

private:
    CUtiCommonFunc m_util;
};

// Body of the location setting command.
void showTemplateDatabaseSetting();
