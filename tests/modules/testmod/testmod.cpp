// The test module: records the host messages it gets, registers a few
// commands (one prints the selected cell range of the table that carries a
// cell selection), and a LISP function while a drawing is open.
#include "arxHeaders.h"

#include <string>

namespace {

constexpr const char* kGroup = "CADHOST_TESTMOD";
std::string g_messages;

void record(int msg) {
    if (!g_messages.empty())
        g_messages += ',';
    g_messages += std::to_string(msg);
    acutPrintf("\n[testmod] message %d", msg);
}

// Prints the range of the first table (in drawing order) that has one.
void printSelectedCells() {
    resbuf* filter = acutBuildList(RTDXF0, "ACAD_TABLE", 0);
    ads_name ss;
    int rc = acedSSGet("X", nullptr, nullptr, filter, ss);
    acutRelRb(filter);
    if (rc != RTNORM) {
        acutPrintf("\nNo table in the drawing.");
        return;
    }
    std::int32_t length = 0;
    acedSSLength(ss, &length);
    bool found = false;
    for (std::int32_t i = 0; i < length && !found; ++i) {
        ads_name ent;
        AcDbObjectId id;
        if (acedSSName(ss, i, ent) != RTNORM || acdbGetObjectId(id, ent) != Acad::eOk)
            continue;
        AcDbTable* table = nullptr;
        if (acdbOpenObject(table, id, AcDb::kForRead) != Acad::eOk)
            continue;
        int r0, r1, c0, c1;
        if (table->selectedCellRange(r0, r1, c0, c1) == Acad::eOk) {
            acutPrintf("\nSelected cells: rows %d-%d, columns %d-%d", r0, r1, c0, c1);
            found = true;
        }
        table->close();
    }
    acedSSFree(ss);
    if (!found)
        acutPrintf("\nNo table has a cell selection.");
}

void askPoint() {
    ads_point p;
    int rc = acedGetPoint(nullptr, "\nPick a point: ", p);
    if (rc == RTNORM)
        acutPrintf("\nPoint: %g,%g,%g", p[0], p[1], p[2]);
    else
        acutPrintf("\nNo point (%d).", rc);
}

void echo() {
    acutPrintf("\nTESTMOD_ECHO ran.");
}

// Queues a command the way the add-ins do: global name and a blank, with
// command echo off around the queuing.
void queueQuietly() {
    resbuf old;
    acedGetVar("CMDECHO", &old);
    resbuf off;
    off.rbnext = nullptr;
    off.restype = RTSHORT;
    off.resval.rint = 0;
    acedSetVar("CMDECHO", &off);
    acDocManagerPtr()->queueCommandString(acDocManagerPtr()->activeDocument(), "_TESTMOD_ECHO ",
                                          false, true, true);
    acedSetVar("CMDECHO", &old);
}

class Reactor : public AcApDocManagerReactor {
public:
    void documentToBeDestroyed(AcApDocument* doc) override {
        acutPrintf("\n[testmod] closing %s", doc->docTitle());
    }
};
Reactor g_reactor;

enum FunctionCode { kAdd = 1 };

// (testmod-add a b ...): the sum of integer arguments.
int addFunction() {
    long sum = 0;
    resbuf* args = acedGetArgs();
    for (resbuf* rb = args; rb; rb = rb->rbnext)
        if (rb->restype == RTSHORT)
            sum += rb->resval.rint;
        else if (rb->restype == RTLONG)
            sum += rb->resval.rlong;
    acutRelRb(args);
    return acedRetInt(static_cast<int>(sum));
}

void registerCommands() {
    AcEdCommandStack* stack = acedRegCmds;
    HINSTANCE self = cadhostThisModule();
    stack->addCommand(kGroup, "_TESTMOD_CELLS", "TESTMOD_CELLS", ACRX_CMD_MODAL, printSelectedCells,
                      nullptr, -1, self);
    stack->addCommand(kGroup, "_TESTMOD_POINT", "TESTMOD_POINT", ACRX_CMD_MODAL, askPoint, nullptr,
                      -1, self);
    stack->addCommand(kGroup, "_TESTMOD_ECHO", "TESTMOD_ECHO", ACRX_CMD_TRANSPARENT, echo, nullptr,
                      -1, self);
    stack->addCommand(kGroup, "_TESTMOD_QUEUE", "TESTMOD_QUEUE", ACRX_CMD_MODAL, queueQuietly,
                      nullptr, -1, self);
}

} // namespace

// The messages received so far, "1,3,4,2" style (for tests).
ACRX_EXPORT const char* testmodMessages() {
    return g_messages.c_str();
}

ACRX_EXPORT AcRx::AppRetCode acrxEntryPoint(AcRx::AppMsgCode msg, void* pkt) {
    record(msg);
    switch (msg) {
    case AcRx::kInitAppMsg: {
        AcRxDynamicLinker* linker = acrxDynamicLinker;
        if (!linker)
            return AcRx::kRetError;
        linker->unlockApplication(pkt);
        linker->registerAppMDIAware(pkt);
        registerCommands();
        acDocManagerPtr()->addReactor(&g_reactor);
        return AcRx::kRetOK;
    }
    case AcRx::kUnloadAppMsg:
#ifndef TESTMOD_SLOPPY
        acedRegCmds->removeGroup(kGroup);
        acDocManagerPtr()->removeReactor(&g_reactor);
#endif
        return AcRx::kRetOK;
    case AcRx::kLoadDwgMsg:
        acedDefun("testmod-add", kAdd);
        return AcRx::kRetOK;
    case AcRx::kUnloadDwgMsg:
        acedUndef("testmod-add", kAdd);
        return AcRx::kRetOK;
    case AcRx::kInvkSubrMsg:
        if (acedGetFunCode() == kAdd)
            addFunction();
        return AcRx::kRetOK;
    default:
        return AcRx::kRetOK;
    }
}

ACRX_EXPORT int acrxGetApiVersion(int) {
    return kAcrxApiVersion;
}
