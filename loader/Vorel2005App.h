#pragma once
// The suite loader's application object: its initialisation loads the suite.

#include "arxHeaders.h"

class CVorel2005App : public AcRxArxApp {
public:
    AcRx::AppRetCode On_kInitAppMsg(void* pkt) override;
    AcRx::AppRetCode On_kUnloadAppMsg(void* pkt) override;

    HINSTANCE moduleInstance = nullptr;
    bool unlockFlag = true;
    bool multiDocumentFlag = true;
};
