#pragma once
// The add-in's application object: host messages to initialisation, unload
// and document work; the command table.

#include "arxHeaders.h"

#include <array>

class CKvToolbar;
class CToolbarHandle;

class CAcadKelvarinApp : public AcRxArxApp {
public:
    CAcadKelvarinApp();

    AcRx::AppRetCode On_kInitAppMsg(void* pkt) override;
    AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override;
    AcRx::AppRetCode On_kLoadDwgMsg(void* pkt) override;
    AcRx::AppRetCode On_kUnloadDwgMsg(void* pkt) override;
    AcRx::AppRetCode On_kInvkSubrMsg(void* pkt) override;
    AcRx::AppRetCode RegisterServerComponents() override { return AcRx::kRetOK; }

    HINSTANCE moduleInstance = nullptr;
    bool unlockFlag = true;
    bool multiDocumentFlag = true;
};

struct CommandEntry {
    const char* group;
    const char* globalName;
    const char* localName;
    Adesk::Int32 flags;
    AcRxFunctionPtr handler;
    AcEdUIContext* uiContext;
    unsigned localNameId;
};

inline constexpr const char* kCommandGroup = "vorAcadKelvarin";
const std::array<CommandEntry, 15>& kelvarinCommands();

CAcadKelvarinApp& kelvarinApp();
CKvToolbar& kelvarinToolbar();
CToolbarHandle& kelvarinToolbarHandle();
