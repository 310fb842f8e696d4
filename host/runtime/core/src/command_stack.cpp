#include "command_stack.h"

#include "text_util.h"

#include <algorithm>

namespace cadhost {

CommandStack& CommandStack::instance() {
    static CommandStack stack;
    return stack;
}

CommandStack::Group* CommandStack::group(const char* name) {
    for (Group& g : m_groups)
        if (equalsNoCase(g.name, name))
            return &g;
    return nullptr;
}

Acad::ErrorStatus CommandStack::addCommand(const char* groupName, const char* globalName,
                                           const char* localName, Adesk::Int32 flags,
                                           AcRxFunctionPtr function, AcEdUIContext* uiContext,
                                           int functionCode, HINSTANCE resourceHandle,
                                           AcEdCommand** commandOut) {
    if (commandOut)
        *commandOut = nullptr;
    if (!groupName || !*groupName || !globalName || !*globalName || !function)
        return Acad::eInvalidInput;
    std::string local = localName && *localName ? localName : globalName;
    Group* g = group(groupName);
    if (g) {
        for (const auto& c : g->commands)
            if (equalsNoCase(c->globalName(), globalName) || equalsNoCase(c->localName(), local))
                return Acad::eDuplicateKey;
    } else {
        m_groups.push_back(Group{groupName, {}});
        g = &m_groups.back();
    }
    g->commands.push_back(std::make_unique<AcEdCommand>(
        groupName, globalName, local, flags, function, uiContext, functionCode, resourceHandle));
    if (commandOut)
        *commandOut = g->commands.back().get();
    return Acad::eOk;
}

Acad::ErrorStatus CommandStack::removeCmd(const char* groupName, const char* globalName) {
    if (!groupName || !globalName)
        return Acad::eInvalidInput;
    Group* g = group(groupName);
    if (!g)
        return Acad::eKeyNotFound;
    auto it = std::find_if(g->commands.begin(), g->commands.end(), [&](const auto& c) {
        return equalsNoCase(c->globalName(), globalName);
    });
    if (it == g->commands.end())
        return Acad::eKeyNotFound;
    g->commands.erase(it);
    if (g->commands.empty())
        std::erase_if(m_groups, [](const Group& x) { return x.commands.empty(); });
    return Acad::eOk;
}

Acad::ErrorStatus CommandStack::removeGroup(const char* groupName) {
    if (!groupName)
        return Acad::eInvalidInput;
    auto before = m_groups.size();
    std::erase_if(m_groups, [&](const Group& g) { return equalsNoCase(g.name, groupName); });
    return m_groups.size() == before ? Acad::eKeyNotFound : Acad::eOk;
}

AcEdCommand* CommandStack::lookupGlobalCmd(const char* globalName) const {
    return lookupCmd(globalName, true, true, false);
}

AcEdCommand* CommandStack::lookupLocalCmd(const char* localName) const {
    return lookupCmd(localName, false, true, false);
}

AcEdCommand* CommandStack::lookupCmd(const char* name, bool globalFlag, bool allGroups,
                                     bool skipUndefed) const {
    if (!name || !*name)
        return nullptr;
    for (auto g = m_groups.rbegin(); g != m_groups.rend(); ++g) {
        for (const auto& c : g->commands) {
            if (skipUndefed && (c->commandFlags() & ACRX_CMD_UNDEFINED))
                continue;
            if (equalsNoCase(globalFlag ? c->globalName() : c->localName(), name))
                return c.get();
        }
        if (!allGroups)
            break;
    }
    return nullptr;
}

std::vector<std::string> CommandStack::groupNames() const {
    std::vector<std::string> names;
    for (auto g = m_groups.rbegin(); g != m_groups.rend(); ++g)
        names.push_back(g->name);
    return names;
}

std::vector<AcEdCommand*> CommandStack::groupCommands(const char* groupName) const {
    std::vector<AcEdCommand*> out;
    for (const Group& g : m_groups)
        if (groupName && equalsNoCase(g.name, groupName))
            for (const auto& c : g.commands)
                out.push_back(c.get());
    return out;
}

void CommandStack::clear() {
    m_groups.clear();
}

} // namespace cadhost
