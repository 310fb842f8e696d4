#pragma once
// The stack of current resource modules and the providers registered per
// module. Every look-up goes through here: the current module first, then
// the host's own resources (the null handle).

#include "hostresources.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cadhost {

class ResourceModules {
public:
    static ResourceModules& instance();

    void registerProvider(HINSTANCE module, std::shared_ptr<ResourceProvider> provider);
    void unregisterProvider(HINSTANCE module);
    bool hasProvider(HINSTANCE module) const;

    void push(HINSTANCE module);
    // false when the stack is empty (an unpaired pop is ignored).
    bool pop();
    // The top of the stack; null (the host) when empty.
    HINSTANCE current() const;
    std::size_t depth() const { return m_stack.size(); }

    std::optional<std::string> locate(const std::string& kind, unsigned id) const;
    std::optional<std::string> locate(const std::string& kind, const std::string& name) const;
    std::optional<std::string> string(unsigned id) const;

    void clear();

private:
    ResourceModules() = default;
    std::vector<const ResourceProvider*> searchOrder() const;
    std::map<HINSTANCE, std::shared_ptr<ResourceProvider>> m_providers;
    std::vector<HINSTANCE> m_stack;
};

// Pushes on construction, pops on every exit.
class ResourceScope {
public:
    explicit ResourceScope(HINSTANCE module) { ResourceModules::instance().push(module); }
    ~ResourceScope() { ResourceModules::instance().pop(); }
    ResourceScope(const ResourceScope&) = delete;
    ResourceScope& operator=(const ResourceScope&) = delete;
};

} // namespace cadhost
