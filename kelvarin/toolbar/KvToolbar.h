#pragma once
// The table toolbar "Vorel Kelvarin": one dockable bar per run of the host
// with the line weight box, sixteen buttons and five separators. It shows the
// remembered formatting choices (colour strips, the border style and
// alignment faces and tooltips) and keeps its place, docking and visibility
// in the registry between runs. Clicks and drop-downs go to CToolbarHandle.

#include "util/UtiCommonFunc.h"

#include "acui.h"

#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QToolBar>

#include <ctime>
#include <map>
#include <vector>

class AcUiControlBar;
class CToolbarHandle;
class KvToolButton;

// Toolbar command ids.
namespace kvid {
inline constexpr unsigned kLineWeight = 52766;
inline constexpr unsigned kBorderColor = 52767;
inline constexpr unsigned kCellsBorder = 52768;
inline constexpr unsigned kShadingColor = 52784;
inline constexpr unsigned kFontColor = 52779;
inline constexpr unsigned kInsertTable = 52772;
inline constexpr unsigned kMergeCells = 52774;
inline constexpr unsigned kUnmergeCells = 52776;
inline constexpr unsigned kAlignment = 52786;
inline constexpr unsigned kSizeRowsEqually = 52780;
inline constexpr unsigned kSizeColumnsEqually = 52781;
inline constexpr unsigned kInsertBlock = 52785;
inline constexpr unsigned kMatchCell = 52765;
inline constexpr unsigned kOpenTemplate = 32770;
inline constexpr unsigned kSaveTemplate = 32771;
inline constexpr unsigned kApplyStyle = 32772;
inline constexpr unsigned kProperties = 52787;
inline constexpr unsigned kToolbarResource = 11111;
inline constexpr unsigned kImageStrip = 204;
inline constexpr unsigned kToolbarControlId = 0xE800;
} // namespace kvid

// Dock sides as the bar's alignment bits.
inline constexpr unsigned kDockLeft = 0x1000;
inline constexpr unsigned kDockTop = 0x2000;
inline constexpr unsigned kDockRight = 0x4000;
inline constexpr unsigned kDockBottom = 0x8000;

// The persisted state of the bar, and the rule that reads it back.
struct ToolbarPlacement {
    DWORD visible = 1;
    DWORD posX = 100;
    DWORD posY = 100;
    DWORD isFloating = 0;
    DWORD dockStyle = 0;

    static ToolbarPlacement read(const CUtiCommonFunc& util);
    void write(const CUtiCommonFunc& util) const;
    // "Visible" at destruction: hidden no more than a second before (or in
    // the future, a clock step) counts as shown.
    static DWORD visibleAtDestruction(std::time_t now, std::time_t lastHidden);
};

class CKvToolbar : public QObject {
    Q_OBJECT
public:
    CKvToolbar();
    ~CKvToolbar() override;

    // Creates the window, the line weight box and the handler's window, and
    // restores the saved state; reports its own failures.
    bool createToolbar(CToolbarHandle& handler);
    bool exists() const { return m_bar != nullptr; }
    void showBar(bool visible);
    void restoreToolbarPosition();
    void saveToolbarPosition();

    // Remembered choices, written by the handler.
    int fontColor = -1;
    int shadeColor = -1;
    int borderColor = -1;
    int borderStyleIndex = 0;
    std::string borderStyleName = "All Borders";
    int alignmentIndex = 0;
    std::string alignmentName = "Top Left";
    std::time_t lastHiddenTime;

    // After the handler changed a remembered choice: strips, faces, tooltips.
    void refreshFaces();
    // The button's picture becomes image `image` of the strip.
    void setButtonImage(unsigned commandId, int image);
    // Screen rectangle of a button (empty when it does not exist).
    QRect buttonScreenRect(unsigned commandId) const;
    int currentLineWeight() const;
    CAcUiLineWeightComboBoxEx* lineWeightCombo() const { return m_lineWeightCombo; }
    QToolBar* toolBarWidget() const { return m_toolbar; }
    AcUiControlBar* controlBar() const { return m_bar; }
    const std::vector<QPixmap>& menuPictures() const { return m_menuPictures; }

private:
    void onBarDestroyed();
    KvToolButton* button(unsigned commandId) const;

    CUtiCommonFunc m_util;
    AcUiControlBar* m_bar = nullptr;
    QPointer<QToolBar> m_toolbar;
    QPointer<CAcUiLineWeightComboBoxEx> m_lineWeightCombo;
    std::map<unsigned, QPointer<KvToolButton>> m_buttons;
    std::vector<QPixmap> m_images;
    std::vector<QPixmap> m_menuPictures;
};
