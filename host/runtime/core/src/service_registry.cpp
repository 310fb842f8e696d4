// Class records of the service objects and the system registry that hands
// them out.
#include "accmd.h"
#include "acdocman.h"
#include "rxdlinkr.h"
#include "rxobject.h"

#include "cadhost/runtime.h"

const AcRxClass* AcRxObject::desc() {
    static const AcRxClass cls("AcRxObject", "", nullptr);
    return &cls;
}

#define CADHOST_DEFINE_RX_MEMBERS(CLASS, PARENT)                                                   \
    const AcRxClass* CLASS::desc() {                                                               \
        static const AcRxClass cls(#CLASS, "", PARENT::desc());                                    \
        return &cls;                                                                               \
    }

CADHOST_DEFINE_RX_MEMBERS(AcRxDictionary, AcRxObject)
CADHOST_DEFINE_RX_MEMBERS(AcRxDynamicLinker, AcRxObject)
CADHOST_DEFINE_RX_MEMBERS(AcEdCommandStack, AcRxObject)
CADHOST_DEFINE_RX_MEMBERS(AcEdCommand, AcRxObject)
CADHOST_DEFINE_RX_MEMBERS(AcEdUIContext, AcRxObject)
CADHOST_DEFINE_RX_MEMBERS(AcApDocument, AcRxObject)
CADHOST_DEFINE_RX_MEMBERS(AcApDocManager, AcRxObject)

AcRxObject* AcRxDictionary::at(const char* key) const {
    if (!key)
        return nullptr;
    auto it = m_entries.find(std::string_view(key));
    return it == m_entries.end() ? nullptr : it->second;
}

AcRxObject* AcRxDictionary::atPut(const char* key, AcRxObject* obj) {
    if (!key)
        return nullptr;
    AcRxObject*& slot = m_entries[key];
    AcRxObject* previous = slot;
    slot = obj;
    return previous;
}

AcRxObject* AcRxDictionary::remove(const char* key) {
    if (!key)
        return nullptr;
    auto it = m_entries.find(std::string_view(key));
    if (it == m_entries.end())
        return nullptr;
    AcRxObject* obj = it->second;
    m_entries.erase(it);
    return obj;
}

AcRxDictionary* acrxSysRegistry() {
    static AcRxDictionary registry;
    cadhost::initializeRuntime();
    return &registry;
}
