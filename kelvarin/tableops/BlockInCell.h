#pragma once
// "Insert block...": a block of the drawing, with rotation, scale or fitting,
// alignment and attribute values, into every selected cell.

#include "AttributePages.h"
#include "util/UtiCommonFunc.h"

#include "acui.h"

class CInsertBlockDlg : public CAcUiDialog {
    Q_OBJECT
public:
    static constexpr unsigned kTemplate = 201;
    explicit CInsertBlockDlg(QWidget* parent = nullptr);

    std::string blockName;
    int alignment = 1;
    bool autoFit = true;
    double rotation = 0;
    double scale = 1;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int id) override;

private:
    void readControls();
    CUtiCommonFunc m_util;
};

class CEditAttDlg : public CAcUiDialog {
    Q_OBJECT
public:
    static constexpr unsigned kTemplate = 202;
    explicit CEditAttDlg(QWidget* parent = nullptr);

    std::string blockName;
    AttributePages pages;
    int pageStart = 0;

protected:
    bool OnInitDialog() override;
    void OnOK() override;
    void OnCommand(int id) override;

private:
    void fillAttributePage(int start);
    void saveAttributePage(int start);
};

// The handler of the "Insert block..." button; false when there was no table
// or a dialog was cancelled.
bool placeBlockInCells();
