// Resource modules: the current-module stack and the look-ups through it.
#include "cadhost/resources.h"

namespace cadhost {

ResourceModules& ResourceModules::instance() {
    static ResourceModules modules;
    return modules;
}

void ResourceModules::registerProvider(HINSTANCE module,
                                       std::shared_ptr<ResourceProvider> provider) {
    if (provider)
        m_providers[module] = std::move(provider);
    else
        m_providers.erase(module);
}

void ResourceModules::unregisterProvider(HINSTANCE module) {
    m_providers.erase(module);
}

bool ResourceModules::hasProvider(HINSTANCE module) const {
    return m_providers.count(module) != 0;
}

void ResourceModules::push(HINSTANCE module) {
    m_stack.push_back(module);
}

bool ResourceModules::pop() {
    if (m_stack.empty())
        return false;
    m_stack.pop_back();
    return true;
}

HINSTANCE ResourceModules::current() const {
    return m_stack.empty() ? nullptr : m_stack.back();
}

std::vector<const ResourceProvider*> ResourceModules::searchOrder() const {
    std::vector<const ResourceProvider*> order;
    auto add = [&](HINSTANCE h) {
        auto it = m_providers.find(h);
        if (it != m_providers.end())
            order.push_back(it->second.get());
    };
    HINSTANCE top = current();
    add(top);
    if (top != nullptr)
        add(nullptr); // the host's own resources
    return order;
}

std::optional<std::string> ResourceModules::locate(const std::string& kind, unsigned id) const {
    for (const ResourceProvider* p : searchOrder())
        if (auto found = p->locate(kind, id))
            return found;
    return std::nullopt;
}

std::optional<std::string> ResourceModules::locate(const std::string& kind,
                                                   const std::string& name) const {
    for (const ResourceProvider* p : searchOrder())
        if (auto found = p->locate(kind, name))
            return found;
    return std::nullopt;
}

std::optional<std::string> ResourceModules::string(unsigned id) const {
    for (const ResourceProvider* p : searchOrder())
        if (auto found = p->string(id))
            return found;
    return std::nullopt;
}

void ResourceModules::clear() {
    m_stack.clear();
    m_providers.clear();
}

} // namespace cadhost

void cadhostRegisterResources(HINSTANCE module,
                              std::shared_ptr<cadhost::ResourceProvider> provider) {
    cadhost::ResourceModules::instance().registerProvider(module, std::move(provider));
}
