#pragma once
// The dynamic linker: loads and unloads modules and knows their flags.

#include "rxdefs.h"
#include "rxobject.h"

#include <string>
#include <vector>

class AcRxDynamicLinker : public AcRxObject {
    ACRX_DECLARE_MEMBERS(AcRxDynamicLinker)
public:
    // Loads a module by path (see acedArxLoad). With printIt, failures are
    // reported on the command line. Returns true when the module is loaded and
    // initialised (also false when it was loaded already).
    virtual bool loadModule(const char* fileName, bool printIt, bool asCmd = false) = 0;
    // Unloads a module by file name ("Kelvarin.arx") or path. Fails when the
    // module is not loaded, is locked, or refuses its unload message.
    virtual bool unloadModule(const char* fileName, bool asCmd = false) = 0;

    // appId is the packet the module received with kInitAppMsg.
    virtual bool unlockApplication(void* appId) = 0;
    virtual bool lockApplication(void* appId) = 0;
    // Locked (not unloadable) by default until unlockApplication.
    virtual bool isApplicationLocked(const char* fileName) const = 0;
    virtual Acad::ErrorStatus registerAppMDIAware(void* appId) = 0;
    virtual Acad::ErrorStatus registerAppNotMDIAware(void* appId) = 0;
    virtual bool isAppMDIAware(const char* fileName) const = 0;

    // File names of the loaded modules in load order.
    virtual std::vector<std::string> loadedModules() const = 0;

    // Sends msg to every loaded module (document messages and the like).
    virtual void sendMessageToAll(AcRx::AppMsgCode msg, void* pkt) = 0;
};

// The linker as the registry hands it out (null if it were missing).
#define acrxDynamicLinker (AcRxDynamicLinker::cast(acrxSysRegistry()->at(ACRX_DYNAMIC_LINKER)))
