#pragma once
// The add-in's resource folder as the current resource module, for tests
// that build controls from its templates and pictures.
#include "acuiresources.h"
#include "cadhost/resources.h"

#include <cstdint>

class KelvarinResources {
public:
    KelvarinResources() {
        cadhost::ResourceModules::instance().registerProvider(
            handle(), cadhostQrcResources(KELVARIN_RESOURCE_DIR));
        cadhost::ResourceModules::instance().push(handle());
    }
    ~KelvarinResources() {
        cadhost::ResourceModules::instance().pop();
        cadhost::ResourceModules::instance().unregisterProvider(handle());
    }
    KelvarinResources(const KelvarinResources&) = delete;
    KelvarinResources& operator=(const KelvarinResources&) = delete;

private:
    static HINSTANCE handle() {
        static int tag;
        return reinterpret_cast<HINSTANCE>(&tag);
    }
};

constexpr std::uint32_t windowsRgbForTest(int r, int g, int b) {
    return static_cast<std::uint32_t>(r) | (static_cast<std::uint32_t>(g) << 8) |
           (static_cast<std::uint32_t>(b) << 16);
}
