#pragma once
// Documents (one open drawing each), the document manager, its reactors and
// the document lock.

#include "acwin.h"
#include "rxobject.h"

#include "acdb/database.h"

#include <string>

namespace AcAp {
// Lock modes. Every write mode excludes kRead locks and kXWrite excludes
// every other lock; other write locks nest (the same single thread holds them).
enum DocLockMode : int {
    kNone = 0x00,
    kAutoWrite = 0x01,
    kNotLocked = 0x02,
    kWrite = 0x04,
    kProtectedAutoWrite = 0x14,
    kRead = 0x20,
    kXWrite = 0x40,
};
} // namespace AcAp

class AcApDocument : public AcRxObject {
    ACRX_DECLARE_MEMBERS(AcApDocument)
public:
    // The file the drawing was read from or last saved to ("" when untitled).
    virtual const char* fileName() const = 0;
    // The name shown to the user: the file's name, or "Drawing1.dxf" for a new one.
    virtual const char* docTitle() const = 0;
    virtual AcDbDatabase* database() const = 0;
    // The strongest lock currently held (kNotLocked when none).
    virtual AcAp::DocLockMode lockMode(bool includeMyLocks = true) const = 0;
    virtual AcAp::DocLockMode myLockMode() const = 0;
    virtual bool isQuiescent() const = 0; // no command is running
    virtual bool isReadOnly() const = 0;
};

// Notifications about documents; the defaults do nothing.
class AcApDocManagerReactor {
public:
    virtual ~AcApDocManagerReactor() = default;
    virtual void documentCreated(AcApDocument*) {}
    virtual void documentToBeDestroyed(AcApDocument*) {}
    virtual void documentDestroyed(const char* /*fileName*/) {}
    virtual void documentBecameCurrent(AcApDocument*) {}
    virtual void documentToBeActivated(AcApDocument*) {}
    virtual void documentActivated(AcApDocument*) {}
    virtual void documentLockModeChanged(AcApDocument*, AcAp::DocLockMode /*myPreviousMode*/,
                                         AcAp::DocLockMode /*myCurrentMode*/,
                                         AcAp::DocLockMode /*currentMode*/,
                                         const char* /*globalCommandName*/) {}
};

class AcApDocManager : public AcRxObject {
    ACRX_DECLARE_MEMBERS(AcApDocManager)
public:
    // ---- the active document (the one the user works in; null when none)
    virtual AcApDocument* activeDocument() const = 0;
    AcApDocument* curDocument() const { return activeDocument(); }
    AcApDocument* mdiActiveDocument() const { return activeDocument(); }
    virtual Acad::ErrorStatus setActiveDocument(AcApDocument* doc) = 0;
    Acad::ErrorStatus activateDocument(AcApDocument* doc) { return setActiveDocument(doc); }
    Acad::ErrorStatus setCurDocument(AcApDocument* doc) { return setActiveDocument(doc); }
    virtual int documentCount() const = 0;
    // The n-th open document in opening order (null when out of range).
    virtual AcApDocument* document(int index) const = 0;

    // ---- locks. mode is an AcAp::DocLockMode (the add-in passes 4 for kWrite).
    // eLockViolation when the lock conflicts with one held, eInvalidInput for
    // a null document or an unknown mode. Every successful lock is released by
    // exactly one releaseDocumentLock.
    virtual Acad::ErrorStatus acquireDocumentLock(AcApDocument* doc, int mode = AcAp::kWrite,
                                                  const char* globalCmdName = nullptr,
                                                  const char* localCmdName = nullptr,
                                                  bool prompt = true) = 0;
    // Releases the most recent lock; eNotApplicable when none is held.
    virtual Acad::ErrorStatus releaseDocumentLock(AcApDocument* doc) = 0;
    Acad::ErrorStatus lockDocument(AcApDocument* doc, int mode = AcAp::kWrite,
                                   const char* globalCmdName = nullptr,
                                   const char* localCmdName = nullptr, bool prompt = true) {
        return acquireDocumentLock(doc, mode, globalCmdName, localCmdName, prompt);
    }
    Acad::ErrorStatus unlockDocument(AcApDocument* doc) { return releaseDocumentLock(doc); }

    // ---- the command queue. The text runs when the host next reads input, as
    // if typed; it carries its own terminating blank, newline or ESC (27).
    // With echo false, or "CMDECHO" 0 at the time of the call, the text is not
    // echoed on the command line. activate makes doc the active document
    // first; wrapUpInactiveDoc is accepted (there is one command line).
    virtual Acad::ErrorStatus queueCommandString(AcApDocument* doc, const char* text,
                                                 bool activate = true,
                                                 bool wrapUpInactiveDoc = false,
                                                 bool echo = true) = 0;
    Acad::ErrorStatus sendStringToExecute(AcApDocument* doc, const char* text, bool activate = true,
                                          bool wrapUpInactiveDoc = false, bool echo = true) {
        return queueCommandString(doc, text, activate, wrapUpInactiveDoc, echo);
    }

    // ---- reactors (not owned)
    virtual void addReactor(AcApDocManagerReactor* reactor) = 0;
    virtual void removeReactor(AcApDocManagerReactor* reactor) = 0;

    // ---- current resource module; look-ups of dialogs, bitmaps and strings
    // search the current one first. Pushes and pops pair up.
    virtual void pushResourceHandle(HINSTANCE module) = 0;
    virtual void popResourceHandle() = 0;
    virtual HINSTANCE currentResourceHandle() const = 0;

    // ---- host operations (the NEW, OPEN, SAVE, SAVEAS and CLOSE commands)
    // A new untitled drawing with default content, made active.
    virtual AcApDocument* newDocument() = 0;
    // Reads a drawing file into a new document made active; null on failure
    // with the reason in error (also printed on the command line).
    virtual AcApDocument* openDocument(const char* fileName, std::string* error = nullptr) = 0;
    // Saves to the document's own file; eInvalidInput when it is untitled.
    virtual Acad::ErrorStatus saveDocument(AcApDocument* doc, std::string* error = nullptr) = 0;
    // Saves to fileName, which becomes the document's file.
    virtual Acad::ErrorStatus saveDocumentAs(AcApDocument* doc, const char* fileName,
                                             std::string* error = nullptr) = 0;
    // Closes without saving: message 4 to the modules, documentToBeDestroyed,
    // then the document and its drawing go. Another document becomes active.
    virtual Acad::ErrorStatus closeDocument(AcApDocument* doc) = 0;
};

// The host's document manager.
AcApDocManager* acDocManagerPtr();
#define acDocManager acDocManagerPtr()

#include "dbapserv.h"
