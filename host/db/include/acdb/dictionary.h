#pragma once
// Dictionaries: named entries kept in insertion order; the named object
// dictionary is the root of the non-graphical objects.

#include "acdb/object.h"

#include <string>
#include <utility>
#include <vector>

class AcDbDictionary : public AcDbObject {
    ACDB_DECLARE_MEMBERS(AcDbDictionary)
public:
    AcDbDictionary() = default;

    Acad::ErrorStatus getAt(const std::string& name, AcDbObjectId& id) const;
    template <class T>
    Acad::ErrorStatus getAt(const std::string& name, T*& obj, AcDb::OpenMode mode) const {
        AcDbObjectId id;
        obj = nullptr;
        Acad::ErrorStatus es = getAt(name, id);
        return es == Acad::eOk ? acdbOpenObject(obj, id, mode) : es;
    }
    bool has(const std::string& name) const;
    bool has(AcDbObjectId id) const;
    Acad::ErrorStatus nameAt(AcDbObjectId id, std::string& name) const;
    // Adds obj (added to the database when it is not yet) under name; an
    // existing entry of that name answers eDuplicateKey. obj stays open.
    Acad::ErrorStatus setAt(const std::string& name, AcDbObject* obj, AcDbObjectId& id);
    Acad::ErrorStatus remove(const std::string& name);
    std::size_t numEntries() const;

    // Entries in insertion order, erased objects skipped.
    std::vector<std::pair<std::string, AcDbObjectId>> entries() const;

    class Iterator {
    public:
        explicit Iterator(const AcDbDictionary* d);
        bool done() const { return m_pos >= m_entries.size(); }
        bool next() {
            ++m_pos;
            return !done();
        }
        const std::string& name() const { return m_entries[m_pos].first; }
        AcDbObjectId objectId() const { return m_entries[m_pos].second; }

    private:
        std::vector<std::pair<std::string, AcDbObjectId>> m_entries;
        std::size_t m_pos = 0;
    };
    Iterator newIterator() const { return Iterator(this); }

    // Entries are owned children: cloning copies them along.
    void collectReferences(AcDbReferenceSink&) const override {}

private:
    friend class AcDbDatabase;
    friend class AcDbDeepCloner;
    std::vector<std::pair<std::string, AcDbObjectId>> m_entries;
};
