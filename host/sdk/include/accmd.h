#pragma once
// Registered commands: the command stack "ACAD_REGISTERED_COMMANDS".

#include "acwin.h"
#include "rxdefs.h"
#include "rxobject.h"

#include <string>
#include <utility>
#include <vector>

// Command flags.
#define ACRX_CMD_MODAL 0x00000000
#define ACRX_CMD_TRANSPARENT 0x00000001 // may start while another command waits for input
#define ACRX_CMD_USEPICKSET 0x00000002
#define ACRX_CMD_REDRAW 0x00000004
#define ACRX_CMD_NOPERSPECTIVE 0x00000008
#define ACRX_CMD_NOMULTIPLE 0x00000010
#define ACRX_CMD_NOTILEMODE 0x00000020
#define ACRX_CMD_NOPAPERSPACE 0x00000040
#define ACRX_CMD_NOOEM 0x00000100
#define ACRX_CMD_UNDEFINED 0x00000200
#define ACRX_CMD_INPROGRESS 0x00000400
#define ACRX_CMD_DEFUN 0x00000800
#define ACRX_CMD_NONEWSTACK 0x00010000
#define ACRX_CMD_NOINTERNALLOCK 0x00020000
#define ACRX_CMD_DOCREADLOCK 0x00080000
#define ACRX_CMD_DOCEXCLUSIVELOCK 0x00100000
#define ACRX_CMD_SESSION 0x00200000 // runs in the application context
#define ACRX_CMD_INTERRUPTIBLE 0x00400000
#define ACRX_CMD_NOHISTORY 0x00800000

// Context-menu hook of a command; the host keeps it and never calls it.
class AcEdUIContext : public AcRxObject {
    ACRX_DECLARE_MEMBERS(AcEdUIContext)
};

class AcEdCommand : public AcRxObject {
    ACRX_DECLARE_MEMBERS(AcEdCommand)
public:
    AcEdCommand(std::string group, std::string globalName, std::string localName,
                Adesk::Int32 flags, AcRxFunctionPtr function, AcEdUIContext* uiContext,
                int functionCode, HINSTANCE resourceHandle)
        : m_group(std::move(group)), m_globalName(std::move(globalName)),
          m_localName(std::move(localName)), m_flags(flags), m_function(function),
          m_uiContext(uiContext), m_functionCode(functionCode), m_resourceHandle(resourceHandle) {}

    const char* groupName() const { return m_group.c_str(); }
    const char* globalName() const { return m_globalName.c_str(); }
    const char* localName() const { return m_localName.c_str(); }
    Adesk::Int32 commandFlags() const { return m_flags; }
    AcRxFunctionPtr functionAddr() const { return m_function; }
    AcEdUIContext* UIContext() const { return m_uiContext; }
    int functionCode() const { return m_functionCode; }
    // Made current while the command runs (null: the host's own resources).
    HINSTANCE resourceHandle() const { return m_resourceHandle; }
    bool isTransparent() const { return (m_flags & ACRX_CMD_TRANSPARENT) != 0; }

private:
    std::string m_group, m_globalName, m_localName;
    Adesk::Int32 m_flags;
    AcRxFunctionPtr m_function;
    AcEdUIContext* m_uiContext;
    int m_functionCode;
    HINSTANCE m_resourceHandle;
};

class AcEdCommandStack : public AcRxObject {
    ACRX_DECLARE_MEMBERS(AcEdCommandStack)
public:
    // Adds a command to a group (the group is created on first use). Names are
    // matched without regard to case; a leading '_' of the global name stays
    // part of it. eDuplicateKey when the global or local name is taken in this
    // group, eInvalidInput for an empty name or a null function.
    virtual Acad::ErrorStatus addCommand(const char* groupName, const char* globalName,
                                         const char* localName, Adesk::Int32 flags,
                                         AcRxFunctionPtr function,
                                         AcEdUIContext* uiContext = nullptr, int functionCode = -1,
                                         HINSTANCE resourceHandle = nullptr,
                                         AcEdCommand** commandOut = nullptr) = 0;
    // eKeyNotFound when the group or command does not exist.
    virtual Acad::ErrorStatus removeCmd(const char* groupName, const char* globalName) = 0;
    virtual Acad::ErrorStatus removeGroup(const char* groupName) = 0;

    // Look-ups; groups are searched most recently added first.
    virtual AcEdCommand* lookupGlobalCmd(const char* globalName) const = 0;
    virtual AcEdCommand* lookupLocalCmd(const char* localName) const = 0;
    // By global name when globalFlag, else by local name; only in the top
    // (most recently added) group unless allGroups.
    virtual AcEdCommand* lookupCmd(const char* name, bool globalFlag, bool allGroups = true,
                                   bool skipUndefed = false) const = 0;

    // Group names, most recently added first, and the commands of one group
    // in the order they were added.
    virtual std::vector<std::string> groupNames() const = 0;
    virtual std::vector<AcEdCommand*> groupCommands(const char* groupName) const = 0;
};

// The command stack as the registry hands it out (null if it were missing).
#define acedRegCmds (AcEdCommandStack::cast(acrxSysRegistry()->at(ACRX_COMMAND_DOCK)))
