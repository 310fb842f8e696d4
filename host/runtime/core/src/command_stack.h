#pragma once
// The registered commands, grouped; the object behind "ACAD_REGISTERED_COMMANDS".

#include "accmd.h"

#include <memory>
#include <string>
#include <vector>

namespace cadhost {

class CommandStack : public AcEdCommandStack {
public:
    static CommandStack& instance();

    Acad::ErrorStatus addCommand(const char* groupName, const char* globalName,
                                 const char* localName, Adesk::Int32 flags,
                                 AcRxFunctionPtr function, AcEdUIContext* uiContext,
                                 int functionCode, HINSTANCE resourceHandle,
                                 AcEdCommand** commandOut) override;
    Acad::ErrorStatus removeCmd(const char* groupName, const char* globalName) override;
    Acad::ErrorStatus removeGroup(const char* groupName) override;
    AcEdCommand* lookupGlobalCmd(const char* globalName) const override;
    AcEdCommand* lookupLocalCmd(const char* localName) const override;
    AcEdCommand* lookupCmd(const char* name, bool globalFlag, bool allGroups,
                           bool skipUndefed) const override;
    std::vector<std::string> groupNames() const override;
    std::vector<AcEdCommand*> groupCommands(const char* groupName) const override;

    // Removes every command the predicate picks (a module going away that
    // left commands behind). Returns how many.
    template <class Pred> int removeIf(Pred pred);
    void clear();

private:
    CommandStack() = default;
    struct Group {
        std::string name;
        std::vector<std::unique_ptr<AcEdCommand>> commands;
    };
    Group* group(const char* name);
    std::vector<Group> m_groups; // most recently added last; look-ups go backwards
};

template <class Pred> int CommandStack::removeIf(Pred pred) {
    int removed = 0;
    for (Group& g : m_groups)
        removed +=
            static_cast<int>(std::erase_if(g.commands, [&](const auto& c) { return pred(*c); }));
    std::erase_if(m_groups, [](const Group& g) { return g.commands.empty(); });
    return removed;
}

} // namespace cadhost
