// The suite loader module: entry points and the application object.
#include "Vorel2005App.h"

#include "SuiteLoader.h"

#include <string>

namespace {

CVorel2005App g_app;

struct ModuleAttachment {
    ModuleAttachment() { g_app.moduleInstance = cadhostThisModule(); }
} g_attachment;

std::string ownPath(HINSTANCE module) {
    char buffer[260] = {};
    const DWORD length = GetModuleFileNameA(module, buffer, sizeof buffer);
    // A path cut to the buffer names no file: better no menu files than wrong ones.
    if (length == 0 || length >= sizeof buffer)
        return {};
    return std::string(buffer, length);
}

} // namespace

AcRx::AppRetCode CVorel2005App::On_kInitAppMsg(void* pkt) {
    if (AcRxDynamicLinker* linker = acrxDynamicLinker) {
        if (unlockFlag)
            linker->unlockApplication(pkt);
        if (multiDocumentFlag)
            linker->registerAppMDIAware(pkt);
    }
    RegisterServerComponents();
    const std::string path = ownPath(moduleInstance);
    if (!path.empty())
        vorel::loadSuite(path);
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
