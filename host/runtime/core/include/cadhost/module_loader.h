#pragma once
// The dynamic linker: loads modules (.arx, ELF shared objects) by path,
// keeps their flags and sends them host messages; and the table of LISP
// functions the modules define.

#include "acwin.h"
#include "rxdlinkr.h"

#include "adscodes.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace cadhost {

struct ModuleRecord {
    std::string path;     // as given to load
    std::string fullPath; // absolute, taken when it was loaded
    std::string fileName; // "Kelvarin.arx"; modules are told apart by it (case-insensitive)
    void* library = nullptr;
    HINSTANCE handle = nullptr; // the address the module is mapped at
    AcRx::AppRetCode (*entryPoint)(AcRx::AppMsgCode, void*) = nullptr;
    bool unlocked = false; // may be unloaded
    bool mdiAware = false;
    bool initialised = false;
};

class ModuleLoader : public AcRxDynamicLinker {
public:
    static ModuleLoader& instance();

    // Loads and initialises; the reason of a failure is printed when printIt
    // and returned in error.
    bool load(const std::string& path, bool printIt, std::string* error = nullptr);
    bool unload(const std::string& nameOrPath, std::string* error = nullptr);
    // Unloads every module that can go, last loaded first (host shutdown).
    void unloadAll();

    const ModuleRecord* find(const std::string& nameOrPath) const;
    const ModuleRecord* findByHandle(HINSTANCE handle) const;
    // The module whose message is being handled right now (null: none).
    const ModuleRecord* currentModule() const { return m_current; }
    // The module that contains a code or data address (null if none).
    const ModuleRecord* moduleContaining(const void* address) const;

    // ---- AcRxDynamicLinker
    bool loadModule(const char* fileName, bool printIt, bool asCmd = false) override;
    bool unloadModule(const char* fileName, bool asCmd = false) override;
    bool unlockApplication(void* appId) override;
    bool lockApplication(void* appId) override;
    bool isApplicationLocked(const char* fileName) const override;
    Acad::ErrorStatus registerAppMDIAware(void* appId) override;
    Acad::ErrorStatus registerAppNotMDIAware(void* appId) override;
    bool isAppMDIAware(const char* fileName) const override;
    std::vector<std::string> loadedModules() const override;
    void sendMessageToAll(AcRx::AppMsgCode msg, void* pkt) override;

    // Sends one message to one module (the packet of kInitAppMsg and
    // kUnloadAppMsg is the module's record).
    AcRx::AppRetCode sendMessage(ModuleRecord& module, AcRx::AppMsgCode msg, void* pkt);

private:
    ModuleLoader() = default;
    ModuleRecord* recordOf(void* appId);
    ModuleRecord* findMutable(const std::string& nameOrPath);
    void releaseModuleState(ModuleRecord& module);
    std::vector<std::unique_ptr<ModuleRecord>> m_modules;
    ModuleRecord* m_current = nullptr;
};

// LISP functions defined by modules (acedDefun). The LISP interpreter calls
// them through invoke(); the module gets kInvkSubrMsg (or its acedRegFunc
// function is called directly).
class LispFunctions {
public:
    static LispFunctions& instance();

    bool define(const std::string& name, int functionCode, const ModuleRecord* module);
    bool undefine(const std::string& name, int functionCode);
    bool registerFunction(const ModuleRecord* module, int functionCode, int (*function)());
    bool isDefined(const std::string& name) const;
    std::vector<std::string> names() const;

    struct CallResult {
        int status = RTERROR;    // RTNORM when the function ran and returned a value
        resbuf* value = nullptr; // owned by the caller (acutRelRb); null for nil
    };
    // Calls the function with a copy of args (which stays the caller's).
    CallResult invoke(const std::string& name, const resbuf* args);

    // ---- for the acedGetFunCode / acedGetArgs / acedRet* functions during a call
    int currentFunctionCode() const;
    resbuf* currentArgs() const;
    // Takes ownership of value as the current call's result.
    int setResult(resbuf* value);

    void forgetModule(const ModuleRecord* module);
    void clear();

private:
    LispFunctions() = default;
    struct Function {
        std::string name;
        int code = 0;
        const ModuleRecord* module = nullptr;
    };
    struct Call {
        int code = 0;
        resbuf* args = nullptr;
        resbuf* result = nullptr;
        bool hasResult = false;
    };
    std::vector<Function> m_functions;
    std::map<std::pair<const ModuleRecord*, int>, int (*)()> m_direct;
    std::vector<Call> m_calls;
};

} // namespace cadhost
