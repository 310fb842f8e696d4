#pragma once
// Run-time class records and the base of every database object.

#include "acdb/objectid.h"
#include "acdb/status.h"

#include <memory>
#include <string>
#include <vector>

class AcRxClass {
public:
    AcRxClass(const char* name, const char* dxfName, const AcRxClass* parent)
        : m_name(name), m_dxfName(dxfName), m_parent(parent) {}
    const char* name() const { return m_name; }
    const char* dxfName() const { return m_dxfName; }
    const AcRxClass* myParent() const { return m_parent; }
    bool isDerivedFrom(const AcRxClass* other) const;

private:
    const char* m_name;
    const char* m_dxfName;
    const AcRxClass* m_parent;
};

// Declares desc(), isA(), cast() and the clone hook of a database class.
#define ACDB_DECLARE_MEMBERS(CLASS)                                                                \
public:                                                                                            \
    static const AcRxClass* desc();                                                                \
    const AcRxClass* isA() const override {                                                        \
        return desc();                                                                             \
    }                                                                                              \
    static CLASS* cast(AcDbObject* o) {                                                            \
        return o && o->isKindOf(desc()) ? static_cast<CLASS*>(o) : nullptr;                        \
    }                                                                                              \
    AcDbObject* cloneObject() const override {                                                     \
        return new CLASS(*this);                                                                   \
    }

#define ACDB_DEFINE_MEMBERS(CLASS, PARENT, DXFNAME)                                                \
    const AcRxClass* CLASS::desc() {                                                               \
        static const AcRxClass cls(#CLASS, DXFNAME, PARENT::desc());                               \
        return &cls;                                                                               \
    }

// Receives the ids an object points to, so cloning can follow them.
struct AcDbReferenceSink {
    virtual ~AcDbReferenceSink() = default;
    // Hard references: the target is copied along with the object.
    virtual void hardReference(AcDbObjectId id) = 0;
};

class AcDbObject {
public:
    AcDbObject() = default;
    virtual ~AcDbObject();
    static const AcRxClass* desc();
    virtual const AcRxClass* isA() const { return desc(); }
    bool isKindOf(const AcRxClass* cls) const { return isA()->isDerivedFrom(cls); }
    static AcDbObject* cast(AcDbObject* o) { return o; }

    AcDbObjectId objectId() const;
    AcDbHandle handle() const;
    AcDbDatabase* database() const;
    AcDbObjectId ownerId() const { return m_ownerId; }
    Acad::ErrorStatus setOwnerId(AcDbObjectId owner);

    // Ends one open of this object. Objects that are not in a database are
    // deleted by their creator instead; close() on them does nothing.
    Acad::ErrorStatus close();
    Acad::ErrorStatus upgradeOpen();
    Acad::ErrorStatus downgradeOpen();
    bool isReadEnabled() const { return m_readers > 0 || m_writer; }
    bool isWriteEnabled() const { return m_writer || !isDatabaseResident(); }
    bool isNotifyEnabled() const { return m_notify; }
    bool isDatabaseResident() const { return m_stub != nullptr; }
    // Write access is needed (or the object is not in a database yet). Inline:
    // every setter of every entity starts with it.
    Acad::ErrorStatus assertWriteEnabled() const {
        return (!isDatabaseResident() || m_writer) ? Acad::eOk : Acad::eNotOpenForWrite;
    }

    Acad::ErrorStatus erase(bool erasing = true);
    bool isErased() const;

    // A new object of the same class holding the same data, not in any database.
    virtual AcDbObject* cloneObject() const { return new AcDbObject(*this); }
    // Ids this object refers to (owned children are reported by their owner).
    virtual void collectReferences(AcDbReferenceSink&) const {}
    // Rewrites every id this object holds through the mapping.
    virtual void remapReferences(const AcDbIdMapping&) {}
    // Called on a clone once it is in its new database and its ids are remapped.
    virtual void subCloned() {}

protected:
    AcDbObject(const AcDbObject& other);
    AcDbObject& operator=(const AcDbObject&) = delete;

private:
    friend class AcDbDatabase;
    friend struct AcDbOpenAccess;
    friend class AcDbUndoStep;
    void noteBlockContentWritten() const;
    AcDbStub* m_stub = nullptr;
    AcDbObjectId m_ownerId;
    int m_readers = 0;
    bool m_writer = false;
    bool m_notify = false;
};

// Opening objects by id. Erased objects open only with openErased.
Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased = false);
// Opens only when the object is of class cls (or derived from it).
Acad::ErrorStatus acdbOpenObject(AcDbObject*& obj, AcDbObjectId id, const AcRxClass* cls,
                                 AcDb::OpenMode mode, bool openErased = false);

template <class T>
Acad::ErrorStatus acdbOpenObject(T*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                 bool openErased = false) {
    AcDbObject* raw = nullptr;
    obj = nullptr;
    Acad::ErrorStatus es = acdbOpenObject(raw, id, T::desc(), mode, openErased);
    if (es == Acad::eOk)
        obj = static_cast<T*>(raw);
    return es;
}

// Walks a snapshot of ids (a table's records, a block's entities), passing
// over erased ones when asked to.
class AcDbIdListIterator {
public:
    AcDbIdListIterator(AcDbObjectIdArray ids, bool skipErased)
        : m_ids(std::move(ids)), m_skipErased(skipErased) {
        skip();
    }
    void start() {
        m_pos = 0;
        skip();
    }
    bool done() const { return m_pos >= m_ids.size(); }
    void step() {
        ++m_pos;
        skip();
    }
    AcDbObjectId currentId() const { return m_ids[m_pos]; }

private:
    void skip() {
        while (m_pos < m_ids.size() && m_skipErased && m_ids[m_pos].isErased())
            ++m_pos;
    }
    AcDbObjectIdArray m_ids;
    std::size_t m_pos = 0;
    bool m_skipErased;
};

// Closes on scope exit; the RAII companion of acdbOpenObject.
template <class T> class AcDbObjectPointer {
public:
    AcDbObjectPointer() = default;
    AcDbObjectPointer(AcDbObjectId id, AcDb::OpenMode mode, bool openErased = false) {
        m_status = acdbOpenObject(m_obj, id, mode, openErased);
    }
    ~AcDbObjectPointer() {
        if (m_obj)
            m_obj->close();
    }
    AcDbObjectPointer(const AcDbObjectPointer&) = delete;
    AcDbObjectPointer& operator=(const AcDbObjectPointer&) = delete;
    Acad::ErrorStatus openStatus() const { return m_status; }
    T* operator->() const { return m_obj; }
    T* object() const { return m_obj; }
    explicit operator bool() const { return m_obj != nullptr; }
    Acad::ErrorStatus close() {
        Acad::ErrorStatus es = m_obj ? m_obj->close() : Acad::eNullObjectPointer;
        m_obj = nullptr;
        return es;
    }

private:
    T* m_obj = nullptr;
    Acad::ErrorStatus m_status = Acad::eNullObjectId;
};
