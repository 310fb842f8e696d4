#include "acdb/undo.h"
#include "acdb/database.h"

#include <utility>

void AcDbUndoStep::recordBeforeWrite(AcDbObject* live) {
    AcDbStub* stub = live->m_stub;
    if (!m_index.emplace(stub, m_entries.size()).second)
        return; // one snapshot per group: the first open holds the state before
    std::unique_ptr<AcDbObject> before(live->cloneObject());
    before->m_ownerId = live->m_ownerId; // a copy starts without an owner
    m_entries.push_back(Entry{stub, std::move(before), stub->erased});
}

void AcDbUndoStep::recordAppend(AcDbStub* stub) {
    if (!m_index.emplace(stub, m_entries.size()).second)
        return;
    m_entries.push_back(Entry{stub, nullptr, false});
}

Acad::ErrorStatus AcDbUndoStep::swapWithDatabase(AcDbDatabase& db) {
    // Objects are exchanged whole: nobody may hold one open meanwhile.
    for (const Entry& e : m_entries) {
        if (const AcDbObject* o = e.stub->object.get()) {
            if (o->m_writer)
                return Acad::eWasOpenedForWrite;
            if (o->m_readers > 0 || o->m_notify)
                return Acad::eWasOpenedForRead;
        }
    }
    for (Entry& e : m_entries) {
        std::unique_ptr<AcDbObject> live = std::move(e.stub->object);
        const bool erasedLive = e.stub->erased;
        if (e.parked)
            e.parked->m_stub = e.stub;
        e.stub->object = std::move(e.parked);
        e.stub->erased = e.erasedParked;
        if (live)
            live->m_stub = nullptr;
        e.parked = std::move(live);
        e.erasedParked = erasedLive;
    }
    std::swap(db.m_nextHandle, m_handseedOther);
    // Block definitions may have changed: tables showing them draw again.
    db.noteBlockContentChanged();
    return Acad::eOk;
}

AcDbUndoHistory::AcDbUndoHistory(AcDbDatabase* db) : m_db(db) {
    if (m_db)
        m_db->setUndoHistory(this);
}

AcDbUndoHistory::~AcDbUndoHistory() {
    if (m_db && m_db->undoHistory() == this)
        m_db->setUndoHistory(nullptr);
}

void AcDbUndoHistory::beginGroup(const std::string& name) {
    if (m_depth++ == 0)
        m_open = std::make_unique<AcDbUndoStep>(name, m_db ? m_db->handseed().value() : 0);
    else
        nameGroup(name);
}

void AcDbUndoHistory::nameGroup(const std::string& name) {
    if (m_open && m_open->name().empty())
        m_open->setName(name);
}

void AcDbUndoHistory::endGroup() {
    if (m_depth == 0 || --m_depth > 0)
        return;
    std::unique_ptr<AcDbUndoStep> step = std::move(m_open);
    if (!step || step->empty())
        return; // nothing changed: the redo steps stay
    m_redo.clear();
    m_undo.push_back(std::move(step));
    trim();
}

Acad::ErrorStatus AcDbUndoHistory::undo() {
    if (m_open && !m_open->empty())
        return Acad::eLockViolation;
    if (m_undo.empty() || !m_db)
        return Acad::eNotApplicable;
    if (Acad::ErrorStatus es = m_undo.back()->swapWithDatabase(*m_db); es != Acad::eOk)
        return es;
    m_redo.push_back(std::move(m_undo.back()));
    m_undo.pop_back();
    return Acad::eOk;
}

Acad::ErrorStatus AcDbUndoHistory::redo() {
    if (m_open && !m_open->empty())
        return Acad::eLockViolation;
    if (m_redo.empty() || !m_db)
        return Acad::eNotApplicable;
    if (Acad::ErrorStatus es = m_redo.back()->swapWithDatabase(*m_db); es != Acad::eOk)
        return es;
    m_undo.push_back(std::move(m_redo.back()));
    m_redo.pop_back();
    return Acad::eOk;
}

void AcDbUndoHistory::clear() {
    m_undo.clear();
    m_redo.clear();
    if (m_open)
        m_open =
            std::make_unique<AcDbUndoStep>(m_open->name(), m_db ? m_db->handseed().value() : 0);
}

void AcDbUndoHistory::setLimit(std::size_t steps) {
    m_limit = steps;
    trim();
}

void AcDbUndoHistory::trim() {
    while (m_undo.size() > m_limit)
        m_undo.pop_front();
    while (m_undo.size() + m_redo.size() > m_limit && !m_redo.empty())
        m_redo.pop_front();
}

void AcDbUndoHistory::noteOpenForWrite(AcDbObject* obj) {
    if (m_open)
        m_open->recordBeforeWrite(obj);
}

void AcDbUndoHistory::noteAppended(AcDbStub* stub) {
    if (m_open)
        m_open->recordAppend(stub);
}
