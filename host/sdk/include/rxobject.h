#pragma once
// Run-time typed service objects and the host's system registry of them.

#include "acdb/object.h"

#include <map>
#include <string>

// Base of the host's service objects; modules check the class of what the
// registry hands out before they use it (cast() answers null on a mismatch).
class AcRxObject {
public:
    virtual ~AcRxObject() = default;
    static const AcRxClass* desc();
    virtual const AcRxClass* isA() const { return desc(); }
    bool isKindOf(const AcRxClass* cls) const { return isA()->isDerivedFrom(cls); }
    static AcRxObject* cast(AcRxObject* o) { return o; }
};

// Declares desc(), isA() and cast() of a service class.
#define ACRX_DECLARE_MEMBERS(CLASS)                                                                \
public:                                                                                            \
    static const AcRxClass* desc();                                                                \
    const AcRxClass* isA() const override {                                                        \
        return desc();                                                                             \
    }                                                                                              \
    static CLASS* cast(AcRxObject* o) {                                                            \
        return o && o->isKindOf(desc()) ? static_cast<CLASS*>(o) : nullptr;                        \
    }

// Named objects, case-sensitive keys. Does not own what it holds.
class AcRxDictionary : public AcRxObject {
    ACRX_DECLARE_MEMBERS(AcRxDictionary)
public:
    // The object under key, or null.
    AcRxObject* at(const char* key) const;
    // Stores obj under key and returns what was there before (or null).
    AcRxObject* atPut(const char* key, AcRxObject* obj);
    // Removes the entry and returns its object (or null).
    AcRxObject* remove(const char* key);
    bool has(const char* key) const { return at(key) != nullptr; }
    std::size_t numEntries() const { return m_entries.size(); }

private:
    std::map<std::string, AcRxObject*, std::less<>> m_entries;
};

// Names of the host's registered services.
#define ACRX_DYNAMIC_LINKER "DynamicLinker"
#define ACRX_COMMAND_DOCK "ACAD_REGISTERED_COMMANDS"

// The host's system registry: "DynamicLinker" (AcRxDynamicLinker) and
// "ACAD_REGISTERED_COMMANDS" (AcEdCommandStack).
AcRxDictionary* acrxSysRegistry();
