#pragma once
// Module resources. A module registers what it carries (Qt resources
// compiled into it: bitmaps, strings, menus, cursors, icons, dialog
// templates) under its module handle. The document manager keeps the stack
// of current resource modules (pushResourceHandle / popResourceHandle); every
// look-up asks the current module first, then the host's own resources.

#include "acwin.h"

#include <memory>
#include <optional>
#include <string>

namespace cadhost {

// What one module (or the host) carries. Kinds are "BITMAP", "DIALOG",
// "MENU", "TOOLBAR", "CURSOR", "ICON", "HTML" and the like; a resource is
// named by a number or a name. The locator is whatever the module's user
// interface code can open (for Qt resources, a ":/..." path).
class ResourceProvider {
public:
    virtual ~ResourceProvider() = default;
    virtual std::optional<std::string> locate(const std::string& kind, unsigned id) const = 0;
    virtual std::optional<std::string> locate(const std::string& kind,
                                              const std::string& name) const = 0;
    // The string table entry id.
    virtual std::optional<std::string> string(unsigned id) const = 0;
};

} // namespace cadhost

// The handle of the module (shared object) containing address: the address
// it is mapped at, as the loader records it. Null for an unknown address.
extern "C" HINSTANCE cadhostModuleHandleFromAddress(const void* address);

// The calling module's own handle. Each module gets its own copy of this
// function, so the address asked about lies in that module.
static inline HINSTANCE cadhostThisModule() {
    static const char anchor = 0;
    return cadhostModuleHandleFromAddress(&anchor);
}

// Registers (or, with null, removes) a module's resources. The host's own
// resources are registered under the null handle.
void cadhostRegisterResources(HINSTANCE module,
                              std::shared_ptr<cadhost::ResourceProvider> provider);
