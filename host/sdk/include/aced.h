#pragma once
// The editor side of the host: the main frame, module loading, commands.

#include "accmd.h"
#include "acedads.h"
#include "acwin.h"
#include "rxdefs.h"

// The host's main frame window. Modules give it the keyboard focus after an
// edit and send it copy-data text; the host's user-interface library turns
// it into its real window (nativeWindow()).
class AcadFrame {
public:
    virtual ~AcadFrame() = default;
    // Keyboard focus to the frame (its drawing view).
    virtual void SetFocus() = 0;
    // Brings the frame to the front and activates it.
    virtual void SetActiveWindow() = 0;
    // WM_COPYDATA: dwData 1 carries command-line text (up to its first zero
    // byte), which the host takes exactly as if typed. Other identifiers are
    // ignored. Returns true when the text was taken.
    virtual bool SendCopyData(const COPYDATASTRUCT& data) = 0;
    // Redraws the drawing views (after edits made outside a command).
    virtual void UpdateDisplay() = 0;
    // The window object of the user-interface library (a QMainWindow*), null
    // when the host runs without a frame.
    virtual void* nativeWindow() const = 0;
};

// Never null: without a frame (tests) the calls do nothing.
AcadFrame* acedGetAcadFrame();
inline void acedUpdateDisplay() {
    acedGetAcadFrame()->UpdateDisplay();
}

// Loads a module by path: the file must exist and be a loadable module that
// exports acrxEntryPoint and acrxGetApiVersion, and it must answer the API
// version handshake; it then gets kInitAppMsg with a packet identifying it
// and kLoadDwgMsg once for each open drawing. Every failure is printed on the
// command line and the host goes on. RTNORM when loaded, RTERROR otherwise
// (also when a module of that file name is loaded already).
int acedArxLoad(const char* path);

// True while a menu group of this name (any letter case) is loaded.
bool acedIsMenuGroupLoaded(const char* groupName);
// Unloads by file name or path: kUnloadAppMsg, then the library is closed.
// RTERROR when not loaded, locked, or the module refused.
int acedArxUnload(const char* name);
// The module's address at which the host knows it (its HINSTANCE), or null.
HINSTANCE acedArxModuleHandle(const char* name);
