#include "KelvarinApp.h"

#include "ModuleState.h"
#include "app/AboutDlg.h"
#include "app/DemoHtmDia.h"
#include "app/SuiteMenu.h"
#include "app/WebAddresses.h"
#include "templates/TableStyleDlg.h"
#include "templates/TemplateDBSetDlg.h"
#include "templates/TemplateOpenDlg.h"
#include "templates/TemplateSaveDlg.h"
#include "toolbar/KvToolbar.h"
#include "toolbar/ToolbarHandle.h"
#include "update/LiveUpdateDlg.h"

#include "acuiresources.h"

namespace {

// The shell opens it in the user's browser, mail program or viewer; its
// answer is not reported.
void openInShell(const std::string& target) {
    ShellExecuteA(nullptr, "open", target.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void cmdWebsite() {
    openInShell(kelvarin::homePage(kelvarin::makerWebSite()));
}
void cmdDbSetting() {
    CAcadFunc scope;
    showTemplateDatabaseSetting();
}
void cmdAbout() {
    CAcadFunc scope;
    showAbout();
}
void cmdUpdate() {
    ModuleResourceScope resources;
    CLiveUpdateDlg dialog;
    dialog.DoModal();
}
void cmdSupport() {
    openInShell(kelvarin::supportMail(kelvarin::makerSupportMail()));
}
void cmdFaq() {
    openInShell(kelvarin::faqPage(kelvarin::makerWebSite()));
}
void cmdNew() {
    openInShell(kelvarin::whatsNewPage(kelvarin::makerWebSite()));
}
void cmdDemo() {
    showDemo();
}
void cmdHelp() {
    char modulePath[260] = {0};
    GetModuleFileNameA(kelvarinModuleHandle(), modulePath, sizeof modulePath);
    openInShell(kelvarin::manualPathBeside(modulePath));
}
void cmdShow() {
    kelvarinToolbar().showBar(true);
}
void cmdTest() {
    CAcadFunc scope;
}
void cmdApplyTableStyle() {
    CAcadFunc scope;
    applyTableStyle(scope.util());
}
void cmdOpenTemplate() {
    CAcadFunc scope;
    openTemplateAsTable(scope.util());
}
void cmdSaveTemplate() {
    CAcadFunc scope;
    saveTableAsTemplate(scope.util());
}

constexpr Adesk::Int32 kFlags = ACRX_CMD_TRANSPARENT;

const std::array<CommandEntry, 15> kCommands = {{
    {kCommandGroup, "_VOREL_KELVARIN_TRYMEROVIN", "VOREL_KELVARIN_TRYMEROVIN", kFlags, cmdWebsite,
     nullptr, 0},
    {kCommandGroup, "_VOREL_KELVARIN_DBSETTING", "VOREL_KELVARIN_DBSETTING", kFlags, cmdDbSetting,
     nullptr, 0},
    {kCommandGroup, "_VOREL_KELVARIN_ABOUT", "VOREL_KELVARIN_ABOUT", kFlags, cmdAbout, nullptr, 0},
    {kCommandGroup, "_VOREL_KELVARIN_UPDATE", "VOREL_KELVARIN_UPDATE", kFlags, cmdUpdate, nullptr,
     0},
    {kCommandGroup, "_VOREL_KELVARIN_SUPPORT", "VOREL_KELVARIN_SUPPORT", kFlags, cmdSupport,
     nullptr, 0},
    {kCommandGroup, "_VOREL_KELVARIN_FAQ", "VOREL_KELVARIN_FAQ", kFlags, cmdFaq, nullptr, 0},
    {kCommandGroup, "_VOREL_KELVARIN_NEW", "VOREL_KELVARIN_NEW", kFlags, cmdNew, nullptr, 0},
    {kCommandGroup, "_VOREL_KELVARIN_WEBSITE", "VOREL_KELVARIN_WEBSITE", kFlags, cmdWebsite,
     nullptr, 0},
    {kCommandGroup, "_VOREL_KELVARIN_DEMO", "VOREL_KELVARIN_DEMO", kFlags, cmdDemo, nullptr, 0},
    {kCommandGroup, "_VOREL_KELVARIN_HELP", "VOREL_KELVARIN_HELP", kFlags, cmdHelp, nullptr, 0},
    {kCommandGroup, "_VOREL_KELVARIN_SHOW", "VOREL_KELVARIN_SHOW", kFlags, cmdShow, nullptr, 0},
    {kCommandGroup, "_AcadKelvarinTest", "AcadKelvarinTest", kFlags, cmdTest, nullptr, 0},
    {kCommandGroup, "_ApplyTableStyle", "ApplyTableStyle", kFlags, cmdApplyTableStyle, nullptr, 0},
    {kCommandGroup, "_OpenTemplateAsTable", "OpenTemplateAsTable", kFlags, cmdOpenTemplate, nullptr,
     0},
    {kCommandGroup, "_SaveTableAsTemplate", "SaveTableAsTemplate", kFlags, cmdSaveTemplate, nullptr,
     0},
}};

// Per-document record; the add-in keeps nothing per drawing.
struct CDocData {};

// Module-lifetime singletons, built in this order when the module is loaded
// and destroyed in reverse when it is detached.
CAcadKelvarinApp g_app;
CKvToolbar g_toolbar;
CToolbarHandle g_toolbarHandle;
AcApDataManager<CDocData> g_docData;

// Attach and detach of the module: after the singletons (so detach runs
// before they go).
struct ModuleAttachment {
    ModuleAttachment() {
        HINSTANCE self = cadhostThisModule();
        g_app.moduleInstance = self;
        setKelvarinModuleHandle(self);
        extensionModuleState().attach(self);
        InitAcUiDLL();
    }
    ~ModuleAttachment() { extensionModuleState().detach(); }
} g_attachment;

} // namespace

const std::array<CommandEntry, 15>& kelvarinCommands() {
    return kCommands;
}

CAcadKelvarinApp& kelvarinApp() {
    return g_app;
}
CKvToolbar& kelvarinToolbar() {
    return g_toolbar;
}
CToolbarHandle& kelvarinToolbarHandle() {
    return g_toolbarHandle;
}

CAcadKelvarinApp::CAcadKelvarinApp() = default;

AcRx::AppRetCode CAcadKelvarinApp::On_kInitAppMsg(void* pkt) {
    extensionModuleState().registerResources();
    if (AcRxDynamicLinker* linker = acrxDynamicLinker) {
        if (unlockFlag)
            linker->unlockApplication(pkt);
        if (multiDocumentFlag)
            linker->registerAppMDIAware(pkt);
    }
    RegisterServerComponents();
    if (AcEdCommandStack* stack = acedRegCmds) {
        for (const CommandEntry& entry : kCommands) {
            HINSTANCE resource = (entry.flags & ACRX_CMD_SESSION) ? nullptr : moduleInstance;
            stack->addCommand(entry.group, entry.globalName, entry.localName, entry.flags,
                              entry.handler, entry.uiContext, -1, resource);
        }
    }
    kelvarin::addSuiteMenuAndToolbar();
    g_toolbar.createToolbar(g_toolbarHandle);
    return AcRx::kRetOK;
}

AcRx::AppRetCode CAcadKelvarinApp::On_kUnloadAppMsg(void*) {
    if (AcEdCommandStack* stack = acedRegCmds)
        for (const CommandEntry& entry : kCommands)
            stack->removeCmd(entry.group, entry.globalName);
    return AcRx::kRetOK;
}

AcRx::AppRetCode CAcadKelvarinApp::On_kLoadDwgMsg(void*) {
    return AcRx::kRetOK; // the add-in defines no LISP functions
}

AcRx::AppRetCode CAcadKelvarinApp::On_kUnloadDwgMsg(void*) {
    if (acDocManagerPtr()->documentCount() <= 1)
        g_toolbar.showBar(false);
    return AcRx::kRetOK;
}

AcRx::AppRetCode CAcadKelvarinApp::On_kInvkSubrMsg(void*) {
    return AcRx::kRetOK;
}

ACRX_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    return g_app.dispatch(msg, pkt);
}

ACRX_EXPORT int acrxGetApiVersion(int hostValue) {
    static bool asked = false;
    if (!asked) {
        asked = true;
        return kAcrxApiVersion;
    }
    return acrxApiHandshake(hostValue);
}
