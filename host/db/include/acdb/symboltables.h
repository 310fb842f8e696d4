#pragma once
// Symbol tables (blocks, layers, line types, text styles) and their records.
// Names are compared without regard to letter case.

#include "acdb/entity.h"

#include <string>
#include <unordered_map>
#include <vector>

class AcDbSymbolTableRecord : public AcDbObject {
    ACDB_DECLARE_MEMBERS(AcDbSymbolTableRecord)
public:
    AcDbSymbolTableRecord() = default;
    const std::string& getName() const { return m_name; }
    Acad::ErrorStatus getName(std::string& name) const {
        name = m_name;
        return Acad::eOk;
    }
    Acad::ErrorStatus setName(const std::string& name);

protected:
    AcDbSymbolTableRecord(const AcDbSymbolTableRecord&) = default;

private:
    std::string m_name;
};

class AcDbSymbolTable : public AcDbObject {
    ACDB_DECLARE_MEMBERS(AcDbSymbolTable)
public:
    AcDbSymbolTable() = default;
    bool has(const std::string& name) const;
    bool has(AcDbObjectId id) const;
    Acad::ErrorStatus getAt(const std::string& name, AcDbObjectId& id,
                            bool getErased = false) const;
    // Opens the named record in the given mode.
    template <class R>
    Acad::ErrorStatus getAt(const std::string& name, R*& record, AcDb::OpenMode mode,
                            bool openErased = false) const {
        AcDbObjectId id;
        record = nullptr;
        Acad::ErrorStatus es = getAt(name, id, openErased);
        return es == Acad::eOk ? acdbOpenObject(record, id, mode, openErased) : es;
    }
    // Adds a record (not yet in a database). The record stays open for write.
    Acad::ErrorStatus add(AcDbObjectId& id, AcDbSymbolTableRecord* record);
    Acad::ErrorStatus add(AcDbSymbolTableRecord* record) {
        AcDbObjectId id;
        return add(id, record);
    }
    // Record ids in insertion order, erased ones only when asked for.
    AcDbObjectIdArray recordIds(bool includeErased = false) const;
    std::size_t count() const;

    class Iterator : public AcDbIdListIterator {
    public:
        Iterator(const AcDbSymbolTable* table, bool skipErased)
            : AcDbIdListIterator(table->m_records, skipErased) {}
        AcDbObjectId getRecordId() const { return currentId(); }
        template <class R> Acad::ErrorStatus getRecord(R*& r, AcDb::OpenMode mode) const {
            return acdbOpenObject(r, currentId(), mode);
        }
    };
    Iterator newIterator(bool skipErased = true) const { return Iterator(this, skipErased); }

    void collectReferences(AcDbReferenceSink&) const override {}

protected:
    AcDbSymbolTable(const AcDbSymbolTable&) = default;
    // Record classes this table accepts.
    virtual bool acceptsRecord(const AcDbSymbolTableRecord* r) const;

private:
    friend class AcDbDatabase;
    friend class AcDbSymbolTableRecord;
    void reindex(const std::string& oldName, const std::string& newName, AcDbObjectId id);
    AcDbObjectIdArray m_records;
    // Folded name -> record, so look-ups stay constant time in large drawings.
    std::unordered_map<std::string, AcDbObjectId> m_index;
};

class AcDbBlockTableRecord : public AcDbSymbolTableRecord {
    ACDB_DECLARE_MEMBERS(AcDbBlockTableRecord)
public:
    AcDbBlockTableRecord() = default;

    // Appends an entity (not yet in a database); it stays open for write.
    Acad::ErrorStatus appendAcDbEntity(AcDbObjectId& id, AcDbEntity* entity);
    Acad::ErrorStatus appendAcDbEntity(AcDbEntity* entity) {
        AcDbObjectId id;
        return appendAcDbEntity(id, entity);
    }
    // Entity ids in drawing order, erased ones only when asked for.
    AcDbObjectIdArray entityIds(bool includeErased = false) const;
    // Block references (and tables) of the database that show this block.
    Acad::ErrorStatus getBlockReferenceIds(AcDbObjectIdArray& ids, bool directOnly = true,
                                           bool forceValidity = false) const;

    const AcGePoint3d& origin() const { return m_origin; }
    Acad::ErrorStatus setOrigin(const AcGePoint3d& p);
    const std::string& comments() const { return m_comments; }
    Acad::ErrorStatus setComments(const std::string& c);

    // "*Model_Space", "*Paper_Space" and further "*Paper_Space0"...
    bool isLayout() const;
    bool isAnonymous() const; // name starts with '*' and is not a layout
    bool isFromExternalReference() const { return m_xref; }
    bool isFromOverlayReference() const { return m_overlay; }
    bool isUnloaded() const { return m_unloaded; }
    bool hasAttributeDefinitions() const;
    Acad::ErrorStatus setIsFromExternalReference(bool b);
    Acad::ErrorStatus setIsFromOverlayReference(bool b);
    Acad::ErrorStatus setIsUnloaded(bool b);
    const std::string& pathName() const { return m_xrefPath; }
    Acad::ErrorStatus setPathName(const std::string& p);

    class Iterator : public AcDbIdListIterator {
    public:
        Iterator(const AcDbBlockTableRecord* record, bool skipErased)
            : AcDbIdListIterator(record->m_entities, skipErased) {}
        AcDbObjectId getEntityId() const { return currentId(); }
        template <class E> Acad::ErrorStatus getEntity(E*& e, AcDb::OpenMode mode) const {
            return acdbOpenObject(e, currentId(), mode);
        }
    };
    Iterator newIterator(bool skipErased = true) const { return Iterator(this, skipErased); }

    // The entities are owned children: cloning a record clones them too.
    void collectReferences(AcDbReferenceSink&) const override {}

private:
    friend class AcDbDatabase;
    friend class AcDbDeepCloner;
    AcDbObjectIdArray m_entities;
    AcGePoint3d m_origin;
    std::string m_comments;
    std::string m_xrefPath;
    bool m_xref = false;
    bool m_overlay = false;
    bool m_unloaded = false;
};

class AcDbBlockTable : public AcDbSymbolTable {
    ACDB_DECLARE_MEMBERS(AcDbBlockTable)
protected:
    bool acceptsRecord(const AcDbSymbolTableRecord* r) const override;
};

class AcDbLayerTableRecord : public AcDbSymbolTableRecord {
    ACDB_DECLARE_MEMBERS(AcDbLayerTableRecord)
public:
    AcDbLayerTableRecord() = default;
    const AcCmColor& color() const { return m_color; }
    Acad::ErrorStatus setColor(const AcCmColor& c);
    const std::string& linetype() const { return m_linetype; }
    Acad::ErrorStatus setLinetype(const std::string& name);
    AcDb::LineWeight lineWeight() const { return m_lineWeight; }
    Acad::ErrorStatus setLineWeight(AcDb::LineWeight lw);
    bool isOff() const { return m_off; }
    Acad::ErrorStatus setIsOff(bool off);
    bool isFrozen() const { return m_frozen; }
    Acad::ErrorStatus setIsFrozen(bool frozen);
    bool isLocked() const { return m_locked; }
    Acad::ErrorStatus setIsLocked(bool locked);

private:
    AcCmColor m_color = AcCmColor::fromIndex(7);
    std::string m_linetype = "Continuous";
    AcDb::LineWeight m_lineWeight = AcDb::kLnWtByLwDefault;
    bool m_off = false, m_frozen = false, m_locked = false;
};

class AcDbLayerTable : public AcDbSymbolTable {
    ACDB_DECLARE_MEMBERS(AcDbLayerTable)
protected:
    bool acceptsRecord(const AcDbSymbolTableRecord* r) const override;
};

class AcDbLinetypeTableRecord : public AcDbSymbolTableRecord {
    ACDB_DECLARE_MEMBERS(AcDbLinetypeTableRecord)
public:
    AcDbLinetypeTableRecord() = default;
    const std::string& comments() const { return m_comments; }
    Acad::ErrorStatus setComments(const std::string& c);
    // Dash lengths: positive dash, negative gap, zero dot.
    const std::vector<double>& dashes() const { return m_dashes; }
    Acad::ErrorStatus setDashes(const std::vector<double>& d);
    double patternLength() const;

private:
    std::string m_comments;
    std::vector<double> m_dashes;
};

class AcDbLinetypeTable : public AcDbSymbolTable {
    ACDB_DECLARE_MEMBERS(AcDbLinetypeTable)
protected:
    bool acceptsRecord(const AcDbSymbolTableRecord* r) const override;
};

class AcDbTextStyleTableRecord : public AcDbSymbolTableRecord {
    ACDB_DECLARE_MEMBERS(AcDbTextStyleTableRecord)
public:
    AcDbTextStyleTableRecord() = default;
    double textSize() const { return m_size; }
    Acad::ErrorStatus setTextSize(double s);
    double xScale() const { return m_xScale; }
    Acad::ErrorStatus setXScale(double s);
    double obliquingAngle() const { return m_oblique; }
    Acad::ErrorStatus setObliquingAngle(double a);
    const std::string& fileName() const { return m_font; }
    Acad::ErrorStatus setFileName(const std::string& f);
    const std::string& bigFontFileName() const { return m_bigFont; }
    Acad::ErrorStatus setBigFontFileName(const std::string& f);

private:
    double m_size = 0;
    double m_xScale = 1;
    double m_oblique = 0;
    std::string m_font = "txt";
    std::string m_bigFont;
};

class AcDbTextStyleTable : public AcDbSymbolTable {
    ACDB_DECLARE_MEMBERS(AcDbTextStyleTable)
protected:
    bool acceptsRecord(const AcDbSymbolTableRecord* r) const override;
};
