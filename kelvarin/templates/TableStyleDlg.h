#pragma once
// "Apply Style": the drawing's table styles; the chosen one goes to the
// table picked before the dialog opened.

#include "util/UtiCommonFunc.h"

#include "acui.h"

#include <string>

class QListWidget;

class CTableStyleDlg : public CAcUiDialog {
    Q_OBJECT
public:
    static constexpr unsigned kTemplate = 223;
    static constexpr int kList = 234;
    explicit CTableStyleDlg(QWidget* parent = nullptr);

    QListWidget* list = nullptr;
    std::string styleName;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
};

// Body of the apply style command.
void applyTableStyle(CUtiCommonFunc& util);
