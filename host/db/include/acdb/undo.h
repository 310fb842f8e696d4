#pragma once
// Undo history of one database: steps of recorded object states that undo and
// redo swap back into the database. The owner (a document) opens a group
// around each command or action; while a group is open, the database reports
// every object opened for write (once per group) and every object appended.

#include "acdb/objectid.h"
#include "acdb/status.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

class AcDbDatabase;
class AcDbObject;
struct AcDbStub;

// One step: for each touched object, the state that is not in the database
// right now (before the step while it is done, after it once undone).
class AcDbUndoStep {
public:
    explicit AcDbUndoStep(std::string name, std::uint64_t handseed)
        : m_name(std::move(name)), m_handseedOther(handseed) {}
    const std::string& name() const { return m_name; }
    void setName(std::string name) { m_name = std::move(name); }
    bool empty() const { return m_entries.empty(); }
    std::size_t objectCount() const { return m_entries.size(); }

    // Recording (called by the database).
    void recordBeforeWrite(AcDbObject* live);
    void recordAppend(AcDbStub* stub);

    // Exchanges the parked states with the live ones: undo and redo alike.
    // eWasOpenedForWrite/Read when one of the objects is open now.
    Acad::ErrorStatus swapWithDatabase(AcDbDatabase& db);

private:
    struct Entry {
        AcDbStub* stub;
        std::unique_ptr<AcDbObject> parked; // null: the object does not exist in that state
        bool erasedParked;
    };
    std::string m_name;
    std::vector<Entry> m_entries;
    std::unordered_map<const AcDbStub*, std::size_t> m_index;
    std::uint64_t m_handseedOther;
};

class AcDbUndoHistory {
public:
    explicit AcDbUndoHistory(AcDbDatabase* db);
    ~AcDbUndoHistory();
    AcDbUndoHistory(const AcDbUndoHistory&) = delete;
    AcDbUndoHistory& operator=(const AcDbUndoHistory&) = delete;

    // Groups nest; only the outermost one makes a step, named by the first
    // non-empty name given while it is open.
    void beginGroup(const std::string& name);
    void endGroup();
    bool inGroup() const { return m_depth > 0; }
    // Renames the open group (an action that learns its name late).
    void nameGroup(const std::string& name);

    bool canUndo() const { return !m_undo.empty(); }
    bool canRedo() const { return !m_redo.empty(); }
    std::string undoName() const { return canUndo() ? m_undo.back()->name() : std::string(); }
    std::string redoName() const { return canRedo() ? m_redo.back()->name() : std::string(); }
    std::size_t undoCount() const { return m_undo.size(); }
    std::size_t redoCount() const { return m_redo.size(); }
    // One step back or forward; eNotApplicable when there is none, or
    // eLockViolation inside a group. Touched objects must be closed.
    Acad::ErrorStatus undo();
    Acad::ErrorStatus redo();
    // Forgets every step (a new or opened drawing).
    void clear();
    // Steps kept at most; the oldest go first. 0 keeps none.
    void setLimit(std::size_t steps);
    std::size_t limit() const { return m_limit; }

    // Called by the database while a group is open.
    void noteOpenForWrite(AcDbObject* obj);
    void noteAppended(AcDbStub* stub);

private:
    void trim();
    AcDbDatabase* m_db;
    int m_depth = 0;
    std::unique_ptr<AcDbUndoStep> m_open;
    std::deque<std::unique_ptr<AcDbUndoStep>> m_undo, m_redo;
    std::size_t m_limit = 100;
};
