#pragma once
// The hidden command window of the table toolbar: every button click, every
// drop-down arrow and every item of the insert/delete menu arrives here and
// becomes one table operation or one queued command.

#include "tableops/TablePick.h"
#include "util/UtiCommonFunc.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <vector>

class CColorPicker;
class CBorderPicker;
class CAlignPicker;

class CToolbarHandle : public QObject {
    Q_OBJECT
public:
    CToolbarHandle();
    ~CToolbarHandle() override;

    // The hidden child window of the host frame that owns popups and menus.
    bool create();
    QWidget* window() const { return m_window; }

    // true when id is one of the toolbar's commands (it was handled here).
    bool OnCommand(unsigned id);
    void onDropDown(unsigned buttonId);

    // The operations.
    bool merge();
    bool unmerge();
    bool insertColumns(bool left);
    bool insertRows(bool above);
    bool deleteColumns();
    bool deleteRows();
    bool sizeEqually(bool rows);
    bool placeBlockInCells();
    // Plain clicks of the formatting buttons: the remembered choice again.
    bool applyRememberedBorderStyle();
    bool applyRememberedAlignment();
    bool applyRememberedFontColor();
    bool applyRememberedShading();
    void queueCommand(const char* text);

    std::vector<tagAcadTableRange> mergedRanges;

    // The formatting drop-downs and the Border Color popup.
    void borderColorPopup();
    void fontColorDropDown();
    void shadingDropDown();
    void borderStyleDropDown();
    void alignmentDropDown();

private:
    void openInsertMenu(unsigned buttonId);
    void deletePickers();
    void openColorPicker(QPointer<CColorPicker>& picker, const char* title, QWidget* parent);

    // Floating pickers: made on their first tear-off, kept until the handler goes.
    QPointer<CColorPicker> m_fontPicker;
    QPointer<CColorPicker> m_shadePicker;
    QPointer<CBorderPicker> m_borderPicker;
    QPointer<CAlignPicker> m_alignPicker;

    CUtiCommonFunc m_util;
    QPointer<QWidget> m_window;
};

// Ids of the insert/delete menu.
namespace kvmenu {
inline constexpr unsigned kMenuResource = 11112;
inline constexpr unsigned kInsertTable = 52777;
inline constexpr unsigned kInsertColumnsLeft = 52770;
inline constexpr unsigned kInsertColumnsRight = 52771;
inline constexpr unsigned kInsertRowsAbove = 52773;
inline constexpr unsigned kInsertRowsBelow = 52775;
inline constexpr unsigned kDeleteColumns = 231;
inline constexpr unsigned kDeleteRows = 232;
} // namespace kvmenu
