#include "acdb/object.h"
#include "acdb/database.h"

#include <cstring>
#include <strings.h>

namespace {
constexpr int kMaxReaders = 256;
}

bool AcRxClass::isDerivedFrom(const AcRxClass* other) const {
    for (const AcRxClass* c = this; c; c = c->m_parent)
        if (c == other)
            return true;
    return false;
}

const AcRxClass* AcDbObject::desc() {
    static const AcRxClass cls("AcDbObject", "", nullptr);
    return &cls;
}

AcDbObject::~AcDbObject() = default;

// A copy is a new object: no database, no owner, not open.
AcDbObject::AcDbObject(const AcDbObject&) {}

AcDbObjectId AcDbObject::objectId() const {
    return AcDbObjectId(m_stub);
}

AcDbHandle AcDbObject::handle() const {
    return m_stub ? m_stub->handle : AcDbHandle();
}

AcDbDatabase* AcDbObject::database() const {
    return m_stub ? m_stub->database : nullptr;
}

Acad::ErrorStatus AcDbObject::setOwnerId(AcDbObjectId owner) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    m_ownerId = owner;
    return Acad::eOk;
}

// Tables that show a block draw from its content: a block definition, or an
// entity of one, closed after writing tells the database so, and the tables
// build their picture again (insert() redefines blocks in place).
void AcDbObject::noteBlockContentWritten() const {
    AcDbDatabase* db = database();
    if (!db)
        return;
    // Runs on every close after writing: compares the layout names in place
    // rather than through isLayout()'s folded copy.
    auto isBlockDefinition = [](const AcDbObject* o) {
        const auto* record = o ? AcDbBlockTableRecord::cast(const_cast<AcDbObject*>(o)) : nullptr;
        if (!record)
            return false;
        const std::string& name = record->getName();
        const bool model = name.size() == 12 && strncasecmp(name.c_str(), "*Model_Space", 12) == 0;
        const bool paper = name.size() >= 12 && strncasecmp(name.c_str(), "*Paper_Space", 12) == 0;
        return !model && !paper;
    };
    if (isBlockDefinition(this) ||
        (!m_ownerId.isNull() && isBlockDefinition(m_ownerId.objectLeftOpen())))
        db->noteBlockContentChanged();
}

Acad::ErrorStatus AcDbObject::close() {
    if (!isDatabaseResident())
        return Acad::eOk;
    if (m_writer) {
        m_writer = false;
        noteBlockContentWritten();
        return Acad::eOk;
    }
    if (m_notify) {
        m_notify = false;
        return Acad::eOk;
    }
    if (m_readers > 0) {
        --m_readers;
        return Acad::eOk;
    }
    return Acad::eNotOpenForRead;
}

Acad::ErrorStatus AcDbObject::upgradeOpen() {
    if (m_writer || !isDatabaseResident())
        return Acad::eOk;
    if (m_readers != 1)
        return m_readers == 0 ? Acad::eNotOpenForRead : Acad::eWasOpenedForRead;
    m_readers = 0;
    m_writer = true;
    if (AcDbUndoHistory* undo = m_stub->database->undoHistory())
        undo->noteOpenForWrite(this);
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::downgradeOpen() {
    if (!m_writer)
        return Acad::eNotOpenForWrite;
    m_writer = false;
    m_readers = 1;
    return Acad::eOk;
}

Acad::ErrorStatus AcDbObject::erase(bool erasing) {
    if (Acad::ErrorStatus es = assertWriteEnabled(); es != Acad::eOk)
        return es;
    if (!isDatabaseResident())
        return Acad::eNotInDatabase;
    if (m_stub->erased == erasing)
        return erasing ? Acad::eWasErased : Acad::eOk;
    m_stub->erased = erasing;
    return Acad::eOk;
}

bool AcDbObject::isErased() const {
    return m_stub && m_stub->erased;
}

struct AcDbOpenAccess {
    static Acad::ErrorStatus open(AcDbObject* o, AcDb::OpenMode mode) {
        switch (mode) {
        case AcDb::kForRead:
            if (o->m_writer)
                return Acad::eWasOpenedForWrite;
            if (o->m_readers >= kMaxReaders)
                return Acad::eAtMaxReaders;
            ++o->m_readers;
            return Acad::eOk;
        case AcDb::kForWrite:
            if (o->m_writer)
                return Acad::eWasOpenedForWrite;
            if (o->m_readers > 0)
                return Acad::eWasOpenedForRead;
            if (o->m_notify)
                return Acad::eWasOpenedForNotify;
            o->m_writer = true;
            if (AcDbUndoHistory* undo = o->m_stub->database->undoHistory())
                undo->noteOpenForWrite(o);
            return Acad::eOk;
        case AcDb::kForNotify:
            if (o->m_notify)
                return Acad::eWasOpenedForNotify;
            o->m_notify = true;
            return Acad::eOk;
        }
        return Acad::eInvalidInput;
    }
};

Acad::ErrorStatus acdbOpenAcDbObject(AcDbObject*& obj, AcDbObjectId id, AcDb::OpenMode mode,
                                     bool openErased) {
    return acdbOpenObject(obj, id, AcDbObject::desc(), mode, openErased);
}

Acad::ErrorStatus acdbOpenObject(AcDbObject*& obj, AcDbObjectId id, const AcRxClass* cls,
                                 AcDb::OpenMode mode, bool openErased) {
    obj = nullptr;
    if (id.isNull())
        return Acad::eNullObjectId;
    AcDbStub* stub = id.stub();
    if (!stub->object)
        return Acad::eKeyNotFound;
    if (stub->erased && !openErased)
        return Acad::eWasErased;
    if (!stub->object->isKindOf(cls))
        return Acad::eNotThatKindOfClass;
    if (Acad::ErrorStatus es = AcDbOpenAccess::open(stub->object.get(), mode); es != Acad::eOk)
        return es;
    obj = stub->object.get();
    return Acad::eOk;
}
