#pragma once
// The module application frame: the application object base that turns host
// messages into handler calls, the per-document data manager, the resource
// override and the start-up call of the host UI library.

#include "acdocman.h"
#include "hostresources.h"
#include "rxdefs.h"

#include <map>

// Base of a module's application object. Each handler answers one host
// message; the defaults do nothing and succeed.
class AcRxDbxApp {
public:
    AcRxDbxApp() = default;
    virtual ~AcRxDbxApp() = default;
    AcRxDbxApp(const AcRxDbxApp&) = delete;
    AcRxDbxApp& operator=(const AcRxDbxApp&) = delete;

    virtual AcRx::AppRetCode On_kInitAppMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kUnloadAppMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kLoadDwgMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kUnloadDwgMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kInvkSubrMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kCfgMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kEndMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kQuitMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kSaveMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kDependencyMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kNoDependencyMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kOleUnloadAppMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kPreQuitMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kInitDialogMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kEndDialogMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode On_kNullMsg(void* /*pkt*/) { return AcRx::kRetOK; }
    virtual AcRx::AppRetCode RegisterServerComponents() { return AcRx::kRetOK; }

    // Codes 0 to 15 go to their handler; any other code does nothing.
    AcRx::AppRetCode dispatch(int msg, void* pkt) {
        switch (msg) {
        case AcRx::kNullMsg:
            return On_kNullMsg(pkt);
        case AcRx::kInitAppMsg:
            return On_kInitAppMsg(pkt);
        case AcRx::kUnloadAppMsg:
            return On_kUnloadAppMsg(pkt);
        case AcRx::kLoadDwgMsg:
            return On_kLoadDwgMsg(pkt);
        case AcRx::kUnloadDwgMsg:
            return On_kUnloadDwgMsg(pkt);
        case AcRx::kInvkSubrMsg:
            return On_kInvkSubrMsg(pkt);
        case AcRx::kCfgMsg:
            return On_kCfgMsg(pkt);
        case AcRx::kEndMsg:
            return On_kEndMsg(pkt);
        case AcRx::kQuitMsg:
            return On_kQuitMsg(pkt);
        case AcRx::kSaveMsg:
            return On_kSaveMsg(pkt);
        case AcRx::kDependencyMsg:
            return On_kDependencyMsg(pkt);
        case AcRx::kNoDependencyMsg:
            return On_kNoDependencyMsg(pkt);
        case AcRx::kOleUnloadAppMsg:
            return On_kOleUnloadAppMsg(pkt);
        case AcRx::kPreQuitMsg:
            return On_kPreQuitMsg(pkt);
        case AcRx::kInitDialogMsg:
            return On_kInitDialogMsg(pkt);
        case AcRx::kEndDialogMsg:
            return On_kEndDialogMsg(pkt);
        default:
            return AcRx::kRetOK;
        }
    }
};

// The application object base of a module that runs in the editor.
class AcRxArxApp : public AcRxDbxApp {
public:
    AcRxArxApp() = default;
};

// Per-document data of a module: one T per open document, made on first
// use. It follows the document manager from construction to destruction and
// drops a document's entry when that document is about to be destroyed, so
// no entry outlives its document.
template <class T> class AcApDataManager : public AcApDocManagerReactor {
public:
    AcApDataManager() { acDocManagerPtr()->addReactor(this); }
    ~AcApDataManager() override { acDocManagerPtr()->removeReactor(this); }
    AcApDataManager(const AcApDataManager&) = delete;
    AcApDataManager& operator=(const AcApDataManager&) = delete;

    // The data of doc (null: the active document), made when missing.
    T& docData(AcApDocument* doc = nullptr) {
        if (!doc)
            doc = acDocManagerPtr()->curDocument();
        return m_data[doc];
    }
    bool hasData(AcApDocument* doc) const { return m_data.count(doc) != 0; }
    std::size_t size() const { return m_data.size(); }

    void documentToBeDestroyed(AcApDocument* doc) override { m_data.erase(doc); }

private:
    std::map<AcApDocument*, T> m_data;
};

// Makes a module's resources current for its lifetime (dialogs, bitmaps,
// strings created meanwhile come from the module); the previous ones come
// back on every exit.
class CAcModuleResourceOverride {
public:
    explicit CAcModuleResourceOverride(HINSTANCE module = cadhostThisModule()) {
        acDocManagerPtr()->pushResourceHandle(module);
    }
    ~CAcModuleResourceOverride() { acDocManagerPtr()->popResourceHandle(); }
    CAcModuleResourceOverride(const CAcModuleResourceOverride&) = delete;
    CAcModuleResourceOverride& operator=(const CAcModuleResourceOverride&) = delete;
};

// Makes the host UI library ready for a module (its dialogs, controls and
// resource look-ups). Modules call it when they are attached; calling it
// again does nothing.
void InitAcUiDLL();
