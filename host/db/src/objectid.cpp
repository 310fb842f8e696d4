#include "acdb/objectid.h"
#include "acdb/database.h"

#include <algorithm>
#include <cstdio>

const AcDbObjectId AcDbObjectId::kNull;

AcDbHandle AcDbHandle::fromHex(const std::string& text) {
    if (text.empty() || text.size() > 16)
        return {};
    std::uint64_t v = 0;
    for (char c : text) {
        int d;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            d = c - 'A' + 10;
        else
            return {};
        v = (v << 4) | static_cast<std::uint64_t>(d);
    }
    return AcDbHandle(v);
}

std::string AcDbHandle::toHex() const {
    char buf[20];
    std::snprintf(buf, sizeof buf, "%llX", static_cast<unsigned long long>(m_value));
    return buf;
}

bool AcDbObjectId::isErased() const {
    return m_stub && m_stub->object && m_stub->object->isErased();
}

AcDbHandle AcDbObjectId::handle() const {
    return m_stub ? m_stub->handle : AcDbHandle();
}

AcDbDatabase* AcDbObjectId::database() const {
    return m_stub ? m_stub->database : nullptr;
}

AcDbObject* AcDbObjectId::objectLeftOpen() const {
    return m_stub ? m_stub->object.get() : nullptr;
}

void AcDbIdMapping::assign(AcDbObjectId from, AcDbObjectId to) {
    m_pairs.emplace_back(from, to);
    m_sorted = false;
}

AcDbObjectId AcDbIdMapping::translate(AcDbObjectId from) const {
    if (!m_sorted) {
        m_index = m_pairs;
        std::stable_sort(m_index.begin(), m_index.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        m_sorted = true;
    }
    auto it = std::lower_bound(m_index.begin(), m_index.end(), from,
                               [](const auto& p, const AcDbObjectId& id) { return p.first < id; });
    return it != m_index.end() && it->first == from ? it->second : from;
}

bool AcDbIdMapping::contains(AcDbObjectId from) const {
    return !(translate(from) == from);
}
