// Modules that fail the loader's checks in one way each (chosen at compile
// time), so the tests see every failure reported and the host going on.
#include "arxHeaders.h"

#ifndef BROKEN_NO_ENTRY_POINT
ACRX_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    (void)pkt; // only the unlocking variants need it
    switch (msg) {
    case AcRx::kInitAppMsg:
#ifdef BROKEN_FAILS_INIT
        acutPrintf("\n[broken] refusing to initialise");
        return AcRx::kRetError;
#else
#ifndef BROKEN_STAYS_LOCKED
        acrxDynamicLinker->unlockApplication(pkt);
#endif
        acutPrintf("\n[broken] initialised");
        return AcRx::kRetOK;
#endif
    case AcRx::kUnloadAppMsg:
        acutPrintf("\n[broken] unloading");
        return AcRx::kRetOK;
    default:
        return AcRx::kRetOK;
    }
}
#endif

ACRX_EXPORT int acrxGetApiVersion(int) {
#ifdef BROKEN_WRONG_VERSION
    return 0x0F0000; // a module of the previous host generation
#else
    return kAcrxApiVersion;
#endif
}
