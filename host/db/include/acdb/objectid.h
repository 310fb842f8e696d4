#pragma once
// Object ids and handles. An id names one object of one database for that
// database's lifetime; a handle is the object's persistent 64-bit name in files.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class AcDbDatabase;
class AcDbObject;
struct AcDbStub;

class AcDbHandle {
public:
    AcDbHandle() = default;
    explicit AcDbHandle(std::uint64_t v) : m_value(v) {}
    // Parses hexadecimal digits; anything else gives the null handle.
    static AcDbHandle fromHex(const std::string& text);
    std::uint64_t value() const { return m_value; }
    bool isNull() const { return m_value == 0; }
    std::string toHex() const; // upper case, no leading zeros ("1F")
    auto operator<=>(const AcDbHandle&) const = default;

private:
    std::uint64_t m_value = 0;
};

class AcDbObjectId {
public:
    AcDbObjectId() = default;
    static const AcDbObjectId kNull;

    bool isNull() const { return m_stub == nullptr; }
    bool isValid() const { return m_stub != nullptr; }
    bool isErased() const;
    AcDbHandle handle() const;
    AcDbDatabase* database() const;
    // The object if it is loaded in memory; null otherwise. Not an open.
    AcDbObject* objectLeftOpen() const;

    bool operator==(const AcDbObjectId& o) const { return m_stub == o.m_stub; }
    bool operator<(const AcDbObjectId& o) const { return m_stub < o.m_stub; }

    // For the database only.
    explicit AcDbObjectId(AcDbStub* stub) : m_stub(stub) {}
    AcDbStub* stub() const { return m_stub; }

private:
    AcDbStub* m_stub = nullptr;
};

using AcDbObjectIdArray = std::vector<AcDbObjectId>;

template <> struct std::hash<AcDbObjectId> {
    std::size_t operator()(const AcDbObjectId& id) const noexcept {
        return std::hash<const void*>()(id.stub());
    }
};

// Mapping of ids from one database into another, as deep cloning builds it.
class AcDbIdMapping {
public:
    void assign(AcDbObjectId from, AcDbObjectId to);
    // The mapped id, or the id itself when it was not cloned.
    AcDbObjectId translate(AcDbObjectId from) const;
    bool contains(AcDbObjectId from) const;

private:
    std::vector<std::pair<AcDbObjectId, AcDbObjectId>> m_pairs;
    mutable bool m_sorted = true;
    mutable std::vector<std::pair<AcDbObjectId, AcDbObjectId>> m_index;
};
