#include "BlockInCell.h"

#include "CellFormatting.h"
#include "TablePick.h"
#include "app/ModuleState.h"

#include <QString>

namespace {

constexpr int kBlockName = 203;
constexpr int kAutoFit = 204;
constexpr int kAlignmentList = 206;
constexpr int kScale = 207;
constexpr int kRotation = 208;

constexpr int kBlockNameLabel = 218;
constexpr int kPrevious = 227;
constexpr int kNext = 228;
constexpr int kRowLabels[AttributePages::kRows] = {219, 220, 221, 222, 223, 224, 225, 226};
constexpr int kRowEdits[AttributePages::kRows] = {213, 212, 211, 215, 217, 214, 210, 216};

} // namespace

CInsertBlockDlg::CInsertBlockDlg(QWidget* parent) : CAcUiDialog(kTemplate, parent) {}

bool CInsertBlockDlg::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    autoFit = true;
    CheckDlgButton(kAutoFit, autoFit);
    if (auto* list = item<CAcUiComboBox>(kAlignmentList)) {
        for (int i = 0; i < 9; ++i) {
            const int at = list->AddString(kAlignmentNames[i]);
            list->SetItemData(at, i + 1);
        }
        list->SetCurSel(0);
    }
    SetDlgItemText(kScale, "1");
    EnableDlgItem(kScale, false);
    SetDlgItemText(kRotation, "0");
    if (auto* names = item<CAcUiComboBox>(kBlockName)) {
        std::vector<std::string> blocks;
        m_util.gatherBlockNames(blocks);
        for (const std::string& name : blocks)
            names->AddString(name);
    }
    return true;
}

void CInsertBlockDlg::readControls() {
    autoFit = IsDlgButtonChecked(kAutoFit);
    if (auto* edit = item<CAcUiAngleEdit>(kRotation))
        edit->GetValue(rotation);
    if (auto* edit = item<CAcUiNumericEdit>(kScale))
        edit->GetValue(scale);
}

void CInsertBlockDlg::OnCommand(int id) {
    if (id == kAutoFit) {
        readControls();
        EnableDlgItem(kScale, !autoFit);
    }
}

void CInsertBlockDlg::OnOK() {
    readControls();
    auto* names = item<CAcUiComboBox>(kBlockName);
    blockName = names ? names->GetWindowText() : std::string();
    if (blockName.empty()) {
        AfxMessageBox(
            "Invalid block name.\nOnly the following characters are valid:\nA-Z\n0-9\n$_-");
        return;
    }
    if (m_util.blockIdByName(blockName).isNull()) {
        AfxMessageBox("Block has not been defined.");
        return;
    }
    if (auto* list = item<CAcUiComboBox>(kAlignmentList); list && list->GetCurSel() >= 0)
        alignment = static_cast<int>(list->GetItemData(list->GetCurSel()));
    CAcUiDialog::OnOK();
}

CEditAttDlg::CEditAttDlg(QWidget* parent) : CAcUiDialog(kTemplate, parent) {}

bool CEditAttDlg::OnInitDialog() {
    CAcUiDialog::OnInitDialog();
    SetDlgItemText(kBlockNameLabel, blockName);
    fillAttributePage(pageStart);
    return true;
}

void CEditAttDlg::fillAttributePage(int start) {
    const AttributePages::Page page = pages.fill(start);
    for (int k = 0; k < AttributePages::kRows; ++k) {
        SetDlgItemText(kRowLabels[k], page.labels[static_cast<std::size_t>(k)]);
        SetDlgItemText(kRowEdits[k], page.values[static_cast<std::size_t>(k)]);
    }
    EnableDlgItem(kNext, page.nextEnabled);
    EnableDlgItem(kPrevious, page.previousEnabled);
}

void CEditAttDlg::saveAttributePage(int start) {
    std::array<std::string, AttributePages::kRows> values;
    for (int k = 0; k < AttributePages::kRows; ++k)
        values[static_cast<std::size_t>(k)] = GetDlgItemText(kRowEdits[k]);
    pages.save(start, values);
}

void CEditAttDlg::OnCommand(int id) {
    if (id == kNext) {
        saveAttributePage(pageStart);
        pageStart += AttributePages::kRows;
        fillAttributePage(pageStart);
    } else if (id == kPrevious) {
        saveAttributePage(pageStart);
        pageStart -= AttributePages::kRows;
        fillAttributePage(pageStart);
    }
}

void CEditAttDlg::OnOK() {
    saveAttributePage(pageStart);
    CAcUiDialog::OnOK();
}

bool placeBlockInCells() {
    AcApDocManager* docs = acDocManagerPtr();
    AcDbTable* table = lockAndPickSelectedTable();
    if (!table) {
        acedGetAcadFrame()->SetFocus();
        return false;
    }
    auto finish = [&] {
        table->close();
        docs->releaseDocumentLock(docs->activeDocument());
        acedGetAcadFrame()->SetFocus();
        acedGetAcadFrame()->UpdateDisplay();
    };
    ModuleResourceScope resources;
    auto* owner = static_cast<QWidget*>(acedGetAcadFrame()->nativeWindow());

    CInsertBlockDlg insertDlg(owner);
    if (insertDlg.DoModal() != IDOK) {
        finish();
        return false;
    }
    CUtiCommonFunc util;
    AcDbObjectIdArray ids;
    std::vector<std::string> tags, prompts, defaults;
    util.attributeDefinitions(insertDlg.blockName, ids, tags, prompts, defaults);
    const std::size_t n = ids.size();

    CEditAttDlg attDlg(owner);
    if (n >= 1) {
        attDlg.blockName = insertDlg.blockName;
        for (std::size_t i = 0; i < n; ++i)
            attDlg.pages.records().push_back({tags[i], prompts[i], defaults[i], ids[i]});
        if (attDlg.DoModal() != IDOK) {
            finish();
            return false;
        }
    }

    const AcDbObjectId blockId = util.blockIdByName(insertDlg.blockName);
    if (!blockId.isNull()) {
        tagAcadTableRange range;
        table->selectedCellRange(range.rowMin, range.rowMax, range.colMin, range.colMax);
        for (int row = range.rowMin; row <= range.rowMax; ++row)
            for (int col = range.colMin; col <= range.colMax; ++col) {
                table->setCellBlock(row, col, blockId, false);
                if (n >= 1)
                    for (const tagAttribute& record : attDlg.pages.records())
                        table->setCellBlockAttributeValue(row, col, record.definitionId,
                                                          record.value);
                table->setCellBlockRotation(row, col, insertDlg.rotation);
                if (insertDlg.autoFit)
                    table->setCellBlockAutoFit(row, col, true);
                else
                    table->setCellBlockScale(row, col, insertDlg.scale);
                table->setCellAlignment(row, col,
                                        static_cast<AcDb::CellAlignment>(insertDlg.alignment));
            }
    }
    finish();
    return true;
}
