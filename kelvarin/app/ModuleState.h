#pragma once
// Module-lifetime state: the module handle, the resource registration that
// lets the host find the add-in's dialogs, bitmaps and strings, the scope
// that makes those resources current, and the command-scoped utility object.

#include "arxHeaders.h"
#include "util/UtiCommonFunc.h"

// Whether the module's resources are registered with the host, and which
// resource handle was current when the module was attached.
struct ExtensionModuleState {
    bool attached = false;
    HINSTANCE hostResource = nullptr;
    HINSTANCE moduleResource = nullptr;

    // Once only; a second attach does nothing.
    void attach(HINSTANCE module);
    void detach();
    // The host forgets a module's resources when it unloads it, while the
    // library itself may stay mapped (and not be attached again) until the
    // process ends: a new initialisation registers them again.
    void registerResources() const;
};

ExtensionModuleState& extensionModuleState();
// The module's instance handle (null until attached).
HINSTANCE kelvarinModuleHandle();
void setKelvarinModuleHandle(HINSTANCE module);

// Makes the add-in's own resources current until the scope ends, on every
// exit, exceptions included.
class ModuleResourceScope {
public:
    ModuleResourceScope();
    ~ModuleResourceScope();
    ModuleResourceScope(const ModuleResourceScope&) = delete;
    ModuleResourceScope& operator=(const ModuleResourceScope&) = delete;
};

// Exists while a command body runs; owns the drawing and registry utilities.
class CAcadFunc {
public:
    CAcadFunc();
    CUtiCommonFunc& util() { return m_util; }

private:
    CUtiCommonFunc m_util;
};

// The registry root of the suite, below HKEY_CURRENT_USER\software.
inline constexpr const char* kSuiteRegistryRoot = "Vorel\\Vorel2005";
inline constexpr const char* kProductKey = "Kelvarin";
