#include "ModuleState.h"

#include "acuiresources.h"

namespace {
HINSTANCE g_module = nullptr;
}

ExtensionModuleState& extensionModuleState() {
    static ExtensionModuleState state;
    return state;
}

HINSTANCE kelvarinModuleHandle() {
    return g_module;
}

void setKelvarinModuleHandle(HINSTANCE module) {
    g_module = module;
}

void ExtensionModuleState::attach(HINSTANCE module) {
    if (attached || !module)
        return;
    hostResource = acDocManagerPtr()->currentResourceHandle();
    moduleResource = module;
    attached = true;
    registerResources();
}

void ExtensionModuleState::registerResources() const {
    if (attached)
        cadhostRegisterResources(moduleResource, cadhostQrcResources(":/kelvarin"));
}

void ExtensionModuleState::detach() {
    if (!attached)
        return;
    cadhostRegisterResources(moduleResource, nullptr);
    attached = false;
}

ModuleResourceScope::ModuleResourceScope() {
    HINSTANCE handle = g_module ? g_module : extensionModuleState().moduleResource;
    acDocManagerPtr()->pushResourceHandle(handle);
}

ModuleResourceScope::~ModuleResourceScope() {
    acDocManagerPtr()->popResourceHandle();
}

CAcadFunc::CAcadFunc() {
    m_util.setRegistryRoot(kSuiteRegistryRoot);
}
