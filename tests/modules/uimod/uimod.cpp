// A module that uses the host UI library the way the add-ins do: a dialog
// from its own template resource, and a control bar whose button asks for
// points outside any command. The end-to-end scripts drive it.
#include "acui.h"
#include "acuibar.h"
#include "arxHeaders.h"

#include <QAction>
#include <QToolBar>
#include <QToolButton>

namespace {

constexpr const char* kGroup = "CADHOST_UIMOD";
constexpr unsigned kPickCommand = 4001;

class ValuesDialog : public CAcUiDialog {
public:
    ValuesDialog() : CAcUiDialog(300) {}
    double scale = 0, angle = 0;
    bool OnInitDialog() override {
        item<CAcUiNumericEdit>(301)->SetValue(1);
        item<CAcUiAngleEdit>(302)->SetValue(0);
        return CAcUiDialog::OnInitDialog();
    }
    // "Pick in the drawing": the dialog steps aside while the user picks.
    void OnCommand(int id) override {
        if (id != 303)
            return;
        BeginEditorCommand();
        ads_point p;
        const int rc = acedGetPoint(nullptr, "\nPick a point for the dialog: ", p);
        if (rc == RTNORM) {
            acutPrintf("\n[uimod] dialog got %g,%g", p[0], p[1]);
            CompleteEditorCommand();
        } else {
            CancelEditorCommand();
        }
        CheckDlgButton(303, false);
    }
    void OnOK() override {
        item<CAcUiNumericEdit>(301)->GetValue(scale);
        item<CAcUiAngleEdit>(302)->GetValue(angle);
        CAcUiDialog::OnOK();
    }
};

void showDialog() {
    CAcModuleResourceOverride resources;
    ValuesDialog dialog;
    if (dialog.DoModal() == IDOK)
        acutPrintf("\n[uimod] scale %g, angle %.6f", dialog.scale, dialog.angle);
    else
        acutPrintf("\n[uimod] dialog cancelled");
}

// The host colour dialog as the table add-in opens it.
void chooseColor() {
    int color = 0;
    if (acedSetColorDialog(color, true, 256) == 1)
        acutPrintf("\n[uimod] color %d", color);
    else
        acutPrintf("\n[uimod] color cancelled, still %d", color);
}

// Asks for points until Enter or Esc, as a toolbar button's handler does.
void pickPoints() {
    ads_point p;
    int rc;
    int count = 0;
    while ((rc = acedGetPoint(nullptr, "\nPick a point: ", p)) == RTNORM) {
        ++count;
        acutPrintf("\n[uimod] point %g,%g", p[0], p[1]);
    }
    acutPrintf("\n[uimod] %d points, then %s", count, rc == RTCAN ? "cancel" : "enter");
}

AcUiControlBar* g_bar = nullptr;

void createBar() {
    CAcModuleResourceOverride resources;
    auto* tools = new QToolBar;
    QAction* pick = tools->addAction(acuiLoadString(kPickCommand).section('\n', 0, 0));
    pick->setProperty("commandId", kPickCommand);
    QObject::connect(pick, &QAction::triggered, [] { pickPoints(); });
    g_bar = AcUiControlBar::create("UI Module Bar", tools, 0xE800);
    if (!g_bar)
        return;
    g_bar->floatAt(200, 150);
    g_bar->setOnHidden([] { acutPrintf("\n[uimod] bar hidden"); });
    g_bar->setOnDestroy([] {
        acutPrintf("\n[uimod] bar destroyed, %s", g_bar->isVisible() ? "shown" : "hidden");
        g_bar = nullptr;
    });
}

void showBar() {
    if (g_bar)
        g_bar->show(true);
}

} // namespace

ACRX_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    switch (msg) {
    case AcRx::kInitAppMsg: {
        InitAcUiDLL();
        cadhostRegisterResources(cadhostThisModule(), cadhostQrcResources(":/uimod"));
        acrxDynamicLinker->unlockApplication(pkt);
        HINSTANCE self = cadhostThisModule();
        acedRegCmds->addCommand(kGroup, "_UIMOD_DIALOG", "UIMOD_DIALOG", ACRX_CMD_MODAL, showDialog,
                                nullptr, -1, self);
        acedRegCmds->addCommand(kGroup, "_UIMOD_COLOR", "UIMOD_COLOR", ACRX_CMD_MODAL, chooseColor,
                                nullptr, -1, self);
        acedRegCmds->addCommand(kGroup, "_UIMOD_SHOWBAR", "UIMOD_SHOWBAR", ACRX_CMD_TRANSPARENT,
                                showBar, nullptr, -1, self);
        createBar();
        return AcRx::kRetOK;
    }
    case AcRx::kUnloadAppMsg:
        acedRegCmds->removeGroup(kGroup);
        if (g_bar)
            g_bar->destroy();
        cadhostRegisterResources(cadhostThisModule(), nullptr);
        return AcRx::kRetOK;
    default:
        return AcRx::kRetOK;
    }
}

ACRX_EXPORT int acrxGetApiVersion(int) {
    return kAcrxApiVersion;
}
