// The dynamic linker and acedArxLoad / acedArxUnload.
#include "cadhost/module_loader.h"

#include "aced.h"
#include "acutads.h"

#include "cadhost/command_log.h"
#include "cadhost/documents.h"
#include "cadhost/resources.h"
#include "cadhost/runtime.h"
#include "command_stack.h"
#include "text_util.h"

#include <dlfcn.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <filesystem>

namespace cadhost {

namespace {

using EntryPoint = AcRx::AppRetCode (*)(AcRx::AppMsgCode, void*);
using VersionQuery = int (*)(int);

// The value the host passes with its version query.
constexpr int kHostQuery = kAcrxApiVersion;

HINSTANCE baseOf(const void* address) {
    Dl_info info{};
    if (!address || !dladdr(address, &info) || !info.dli_fbase)
        return nullptr;
    return static_cast<HINSTANCE>(info.dli_fbase);
}

std::string fileNameOf(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

} // namespace

ModuleLoader& ModuleLoader::instance() {
    static ModuleLoader loader;
    return loader;
}

ModuleRecord* ModuleLoader::findMutable(const std::string& nameOrPath) {
    std::string name = fileNameOf(nameOrPath);
    for (auto& m : m_modules)
        if (equalsNoCase(m->fileName, name))
            return m.get();
    return nullptr;
}

const ModuleRecord* ModuleLoader::find(const std::string& nameOrPath) const {
    return const_cast<ModuleLoader*>(this)->findMutable(nameOrPath);
}

const ModuleRecord* ModuleLoader::findByHandle(HINSTANCE handle) const {
    for (const auto& m : m_modules)
        if (handle && m->handle == handle)
            return m.get();
    return nullptr;
}

const ModuleRecord* ModuleLoader::moduleContaining(const void* address) const {
    return findByHandle(baseOf(address));
}

ModuleRecord* ModuleLoader::recordOf(void* appId) {
    for (auto& m : m_modules)
        if (m.get() == appId)
            return m.get();
    return nullptr;
}

AcRx::AppRetCode ModuleLoader::sendMessage(ModuleRecord& module, AcRx::AppMsgCode msg, void* pkt) {
    if (!module.entryPoint)
        return AcRx::kRetError;
    ModuleRecord* previous = m_current;
    m_current = &module;
    AcRx::AppRetCode rc = AcRx::kRetError;
    try {
        rc = module.entryPoint(msg, pkt);
    } catch (const std::exception& e) {
        CommandLineLog::instance().printf("\nModule \"%s\" failed on message %d: %s",
                                          module.fileName.c_str(), static_cast<int>(msg), e.what());
    } catch (...) {
        CommandLineLog::instance().printf("\nModule \"%s\" failed on message %d.",
                                          module.fileName.c_str(), static_cast<int>(msg));
    }
    m_current = previous;
    return rc;
}

bool ModuleLoader::load(const std::string& path, bool printIt, std::string* error) {
    initializeRuntime();
    auto fail = [&](const std::string& message) {
        if (printIt)
            CommandLineLog::instance().printf("\n%s", message.c_str());
        if (error)
            *error = message;
        return false;
    };
    if (path.empty())
        return fail("Cannot load a module: no file name was given.");
    const std::string fileName = fileNameOf(path);
    if (findMutable(path))
        return fail("Module \"" + fileName + "\" is already loaded.");
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return fail("Cannot load \"" + path + "\": the file does not exist.");
    if (!std::filesystem::is_regular_file(path, ec))
        return fail("Cannot load \"" + path + "\": it is not a module file.");

    // dlopen searches the library path for bare names; a module is a file.
    std::string openPath = path.find('/') == std::string::npos ? "./" + path : path;
    dlerror();
    void* library = dlopen(openPath.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!library) {
        const char* why = dlerror();
        return fail("Cannot load \"" + path + "\": it is not a loadable module (" +
                    (why ? why : "unknown reason") + ").");
    }
    auto entry = reinterpret_cast<EntryPoint>(dlsym(library, "acrxEntryPoint"));
    auto version = reinterpret_cast<VersionQuery>(dlsym(library, "acrxGetApiVersion"));
    if (!entry || !version) {
        dlclose(library);
        return fail("Cannot load \"" + path + "\": it does not export " +
                    (!entry ? "acrxEntryPoint" : "acrxGetApiVersion") + ".");
    }
    int answer = version(kHostQuery);
    if (answer != kAcrxApiVersion && answer != acrxApiHandshake(kHostQuery)) {
        dlclose(library);
        char hex[32];
        std::snprintf(hex, sizeof hex, "0x%X", static_cast<unsigned>(answer));
        return fail("Cannot load \"" + path + "\": it was built for API version " + hex +
                    ", this host needs 0x100000.");
    }

    auto record = std::make_unique<ModuleRecord>();
    record->path = path;
    record->fullPath = std::filesystem::absolute(path, ec).lexically_normal().string();
    record->fileName = fileName;
    record->library = library;
    record->handle = baseOf(reinterpret_cast<const void*>(entry));
    record->entryPoint = entry;
    ModuleRecord* module = record.get();
    m_modules.push_back(std::move(record));

    if (sendMessage(*module, AcRx::kInitAppMsg, module) != AcRx::kRetOK) {
        releaseModuleState(*module);
        std::erase_if(m_modules, [module](const auto& m) { return m.get() == module; });
        dlclose(library);
        return fail("Cannot load \"" + path + "\": its initialisation failed.");
    }
    module->initialised = true;
    // A module loaded into a running session hears of the drawings already open.
    DocumentManager& docs = DocumentManager::instance();
    for (int i = 0; i < docs.documentCount(); ++i)
        if (recordOf(module))
            sendMessage(*module, AcRx::kLoadDwgMsg, docs.document(i));
    return true;
}

void ModuleLoader::releaseModuleState(ModuleRecord& module) {
    // Whatever the module left registered would point into unmapped code.
    HINSTANCE handle = module.handle;
    CommandStack::instance().removeIf([handle](const AcEdCommand& c) {
        return baseOf(reinterpret_cast<const void*>(c.functionAddr())) == handle;
    });
    DocumentManager::instance().removeReactorsIf([handle](const AcApDocManagerReactor* r) {
        // The object's first word is its class table, which lives in the module.
        return baseOf(*reinterpret_cast<void* const*>(r)) == handle;
    });
    LispFunctions::instance().forgetModule(&module);
    ResourceModules::instance().unregisterProvider(handle);
}

bool ModuleLoader::unload(const std::string& nameOrPath, std::string* error) {
    auto fail = [&](const std::string& message) {
        CommandLineLog::instance().printf("\n%s", message.c_str());
        if (error)
            *error = message;
        return false;
    };
    ModuleRecord* module = findMutable(nameOrPath);
    if (!module)
        return fail("Module \"" + fileNameOf(nameOrPath) + "\" is not loaded.");
    if (!module->unlocked)
        return fail("Cannot unload \"" + module->fileName + "\": the module is locked.");
    if (m_current == module)
        return fail("Cannot unload \"" + module->fileName + "\" while it handles a message.");
    if (sendMessage(*module, AcRx::kUnloadAppMsg, module) != AcRx::kRetOK)
        return fail("Module \"" + module->fileName + "\" refused to unload.");
    releaseModuleState(*module);
    void* library = module->library;
    std::erase_if(m_modules, [module](const auto& m) { return m.get() == module; });
    dlclose(library);
    return true;
}

void ModuleLoader::unloadAll() {
    for (std::size_t i = m_modules.size(); i-- > 0;) {
        if (i >= m_modules.size())
            continue;
        ModuleRecord& m = *m_modules[i];
        if (m.unlocked) {
            unload(m.fileName);
        } else {
            // Locked modules stay mapped to the end; they still hear that they go.
            sendMessage(m, AcRx::kUnloadAppMsg, &m);
            releaseModuleState(m);
            m_modules.erase(m_modules.begin() + static_cast<std::ptrdiff_t>(i));
        }
    }
}

bool ModuleLoader::loadModule(const char* fileName, bool printIt, bool) {
    return load(fileName ? fileName : "", printIt);
}

bool ModuleLoader::unloadModule(const char* fileName, bool) {
    return unload(fileName ? fileName : "");
}

bool ModuleLoader::unlockApplication(void* appId) {
    ModuleRecord* m = recordOf(appId);
    if (!m)
        return false;
    m->unlocked = true;
    return true;
}

bool ModuleLoader::lockApplication(void* appId) {
    ModuleRecord* m = recordOf(appId);
    if (!m)
        return false;
    m->unlocked = false;
    return true;
}

bool ModuleLoader::isApplicationLocked(const char* fileName) const {
    const ModuleRecord* m = find(fileName ? fileName : "");
    return m && !m->unlocked;
}

Acad::ErrorStatus ModuleLoader::registerAppMDIAware(void* appId) {
    ModuleRecord* m = recordOf(appId);
    if (!m)
        return Acad::eInvalidInput;
    m->mdiAware = true;
    return Acad::eOk;
}

Acad::ErrorStatus ModuleLoader::registerAppNotMDIAware(void* appId) {
    ModuleRecord* m = recordOf(appId);
    if (!m)
        return Acad::eInvalidInput;
    m->mdiAware = false;
    return Acad::eOk;
}

bool ModuleLoader::isAppMDIAware(const char* fileName) const {
    const ModuleRecord* m = find(fileName ? fileName : "");
    return m && m->mdiAware;
}

std::vector<std::string> ModuleLoader::loadedModules() const {
    std::vector<std::string> names;
    for (const auto& m : m_modules)
        names.push_back(m->fileName);
    return names;
}

void ModuleLoader::sendMessageToAll(AcRx::AppMsgCode msg, void* pkt) {
    std::vector<ModuleRecord*> snapshot;
    for (auto& m : m_modules)
        snapshot.push_back(m.get());
    for (ModuleRecord* m : snapshot)
        if (recordOf(m) && m->initialised)
            sendMessage(*m, msg, pkt);
}

} // namespace cadhost

extern "C" int acrxApiHandshake(int hostValue) {
    auto v = static_cast<std::uint32_t>(hostValue);
    v = std::rotl(v ^ 0x4B56524Cu, 7) + static_cast<std::uint32_t>(kAcrxApiVersion);
    return static_cast<int>(v);
}

extern "C" HINSTANCE cadhostModuleHandleFromAddress(const void* address) {
    return cadhost::baseOf(address);
}

int acedArxLoad(const char* path) {
    return cadhost::ModuleLoader::instance().load(path ? path : "", true) ? RTNORM : RTERROR;
}

int acedArxUnload(const char* name) {
    return cadhost::ModuleLoader::instance().unload(name ? name : "") ? RTNORM : RTERROR;
}

HINSTANCE acedArxModuleHandle(const char* name) {
    const cadhost::ModuleRecord* m = cadhost::ModuleLoader::instance().find(name ? name : "");
    return m ? m->handle : nullptr;
}
