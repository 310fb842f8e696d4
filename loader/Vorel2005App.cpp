// The suite loader module: entry points and the application object.
#include "Vorel2005App.h"

#include "SuiteLoader.h"

namespace {

CVorel2005App g_app;

struct ModuleAttachment {
    ModuleAttachment() { g_app.moduleInstance = cadhostThisModule(); }
} g_attachment;

} // namespace

AcRx::AppRetCode CVorel2005App::On_kInitAppMsg(void* pkt) {
    if (AcRxDynamicLinker* linker = acrxDynamicLinker) {
        if (unlockFlag)
            linker->unlockApplication(pkt);
        if (multiDocumentFlag)
            linker->registerAppMDIAware(pkt);
    }
    RegisterServerComponents();
    vorel::loadSuiteOf(moduleInstance);
    return AcRx::kRetOK;
}

AcRx::AppRetCode CVorel2005App::On_kUnloadAppMsg(void*) {
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
