#include "ToolbarHandle.h"

#include "KvToolbar.h"
#include "app/KelvarinApp.h"
#include "app/ModuleState.h"
#include "tableops/BlockInCell.h"
#include "tableops/CellFormatting.h"
#include "tableops/MatchCell.h"
#include "tableops/TableEdits.h"

#include "controls/AlignPicker.h"
#include "controls/BorderPicker.h"
#include "controls/ColorPicker.h"

#include "acui.h"
#include "acuiresources.h"

#include <QAction>
#include <QMenu>

#include <array>
#include <cstring>

CToolbarHandle::CToolbarHandle() {
    m_util.setRegistryRoot(kSuiteRegistryRoot);
}

CToolbarHandle::~CToolbarHandle() {
    deletePickers();
    delete m_window.data();
}

void CToolbarHandle::deletePickers() {
    delete m_fontPicker.data();
    delete m_shadePicker.data();
    delete m_borderPicker.data();
    delete m_alignPicker.data();
}

bool CToolbarHandle::create() {
    if (m_window)
        return true;
    auto* frame = static_cast<QWidget*>(acedGetAcadFrame()->nativeWindow());
    m_window = new QWidget(frame);
    m_window->setObjectName(QStringLiteral("KelvarinToolbarHandle"));
    m_window->setGeometry(0, 0, 1, 1);
    m_window->hide();
    // The floating pickers go with the handler's window: the frame destroys it
    // while the user interface still exists, and a picker without a parent
    // must not outlive that.
    connect(m_window, &QObject::destroyed, this, [this] { deletePickers(); });
    return true;
}

void CToolbarHandle::queueCommand(const char* text) {
    // The command line takes the text as typed; a fixed buffer as the
    // command text always had.
    std::array<char, 260> buffer{};
    std::strncpy(buffer.data(), text, buffer.size() - 1);
    m_util.sendCommandQuietly(buffer.data());
}

bool CToolbarHandle::OnCommand(unsigned id) {
    switch (id) {
    case kvid::kMatchCell:
        matchCell();
        return true;
    case kvid::kBorderColor:
        borderColorPopup();
        return true;
    case kvid::kCellsBorder:
        applyRememberedBorderStyle();
        return true;
    case kvid::kFontColor:
        applyRememberedFontColor();
        return true;
    case kvid::kShadingColor:
        applyRememberedShading();
        return true;
    case kvid::kAlignment:
        applyRememberedAlignment();
        return true;
    case kvid::kInsertTable:
    case kvmenu::kInsertTable:
        queueCommand("_table ");
        return true;
    case kvid::kMergeCells:
        merge();
        return true;
    case kvid::kUnmergeCells:
        unmerge();
        return true;
    case kvid::kSizeRowsEqually:
        sizeEqually(true);
        return true;
    case kvid::kSizeColumnsEqually:
        sizeEqually(false);
        return true;
    case kvid::kInsertBlock:
        placeBlockInCells();
        return true;
    case kvid::kProperties:
        queueCommand("_properties ");
        return true;
    case kvid::kOpenTemplate:
        queueCommand("_OpenTemplateAsTable ");
        return true;
    case kvid::kSaveTemplate:
        queueCommand("_SaveTableAsTemplate ");
        return true;
    case kvid::kApplyStyle:
        queueCommand("_ApplyTableStyle ");
        return true;
    case kvmenu::kInsertColumnsLeft:
        insertColumns(true);
        return true;
    case kvmenu::kInsertColumnsRight:
        insertColumns(false);
        return true;
    case kvmenu::kInsertRowsAbove:
        insertRows(true);
        return true;
    case kvmenu::kInsertRowsBelow:
        insertRows(false);
        return true;
    case kvmenu::kDeleteColumns:
        deleteColumns();
        return true;
    case kvmenu::kDeleteRows:
        deleteRows();
        return true;
    default:
        return false;
    }
}

void CToolbarHandle::onDropDown(unsigned buttonId) {
    ModuleResourceScope resources;
    switch (buttonId) {
    case kvid::kInsertTable:
        openInsertMenu(buttonId);
        break;
    case kvid::kFontColor:
        fontColorDropDown();
        break;
    case kvid::kShadingColor:
        shadingDropDown();
        break;
    case kvid::kCellsBorder:
        borderStyleDropDown();
        break;
    case kvid::kAlignment:
        alignmentDropDown();
        break;
    default:
        break;
    }
}

void CToolbarHandle::openInsertMenu(unsigned buttonId) {
    const QRect rect = kelvarinToolbar().buttonScreenRect(buttonId);
    std::unique_ptr<QMenu> top = acuiLoadMenu(kvmenu::kMenuResource);
    if (!top)
        return;
    QMenu* popup = nullptr;
    for (QAction* action : top->actions())
        if (action->menu()) {
            popup = action->menu();
            break;
        }
    if (!popup)
        return;
    const std::vector<QPixmap>& pictures = kelvarinToolbar().menuPictures();
    const int positions[7] = {0, 1, 2, 4, 5, 7, 8};
    const QList<QAction*> items = popup->actions();
    for (int i = 0; i < 7; ++i)
        if (positions[i] < items.size() && i < static_cast<int>(pictures.size()) &&
            !pictures[static_cast<std::size_t>(i)].isNull())
            items[positions[i]]->setIcon(QIcon(pictures[static_cast<std::size_t>(i)]));
    QAction* chosen = popup->exec(rect.bottomLeft() + QPoint(0, 1));
    if (chosen && chosen->data().isValid())
        OnCommand(chosen->data().toUInt());
}

bool CToolbarHandle::applyRememberedBorderStyle() {
    const CKvToolbar& bar = kelvarinToolbar();
    return formatSelectionBorders(bar.borderStyleIndex, colorFromRemembered(bar.borderColor),
                                  bar.currentLineWeight());
}

bool CToolbarHandle::applyRememberedAlignment() {
    const int index = kelvarinToolbar().alignmentIndex;
    return index >= 0 && formatSelectionAlignment(index + 1);
}

bool CToolbarHandle::applyRememberedFontColor() {
    const int value = kelvarinToolbar().fontColor;
    return value >= 0 && value <= 256 && formatSelectionTextColor(colorFromRemembered(value));
}

bool CToolbarHandle::applyRememberedShading() {
    const int value = kelvarinToolbar().shadeColor;
    if (value == -3)
        return formatSelectionFill(true, AcCmColor());
    return value >= 0 && value <= 256 && formatSelectionFill(false, colorFromRemembered(value));
}

bool CToolbarHandle::merge() {
    return TableOperationFrame::run(mergeSelectedCells);
}

bool CToolbarHandle::unmerge() {
    return TableOperationFrame::run([this](AcDbTable& table, const tagAcadTableRange& range) {
        unmergeSelectedCells(table, range, mergedRanges);
    });
}

bool CToolbarHandle::insertColumns(bool left) {
    return TableOperationFrame::run([left](AcDbTable& table, const tagAcadTableRange& range) {
        insertColumnsBeside(table, range, left);
    });
}

bool CToolbarHandle::insertRows(bool above) {
    return TableOperationFrame::run([above](AcDbTable& table, const tagAcadTableRange& range) {
        insertRowsBeside(table, range, above);
    });
}

bool CToolbarHandle::deleteColumns() {
    return TableOperationFrame::run(deleteSelectedColumns);
}

bool CToolbarHandle::deleteRows() {
    return TableOperationFrame::run(deleteSelectedRows);
}

bool CToolbarHandle::sizeEqually(bool rows) {
    return TableOperationFrame::run([rows](AcDbTable& table, const tagAcadTableRange& range) {
        ::sizeEqually(table, range, rows);
    });
}

bool CToolbarHandle::placeBlockInCells() {
    return ::placeBlockInCells();
}
