#pragma once
// Small services the add-in shares: quiet command queueing, the add-in's
// registry values below HKEY_CURRENT_USER\software, block look-ups, the
// current-space append, text splitting and the point-in-outline test.

#include "arxHeaders.h"
#include "hostreg/registry.h"

#include <string>
#include <vector>

class CUtiCommonFunc {
public:
    CUtiCommonFunc() = default;
    virtual ~CUtiCommonFunc() = default;

    // Queues text for the host's command line with "CMDECHO" off around the
    // queuing; the text carries its own terminating blank or ESC.
    void sendCommandQuietly(const std::string& text) const;

    // ---- registry below HKEY_CURRENT_USER\software\<root>
    void setRegistryRoot(const std::string& path) { m_registryRoot = path; }
    const std::string& registryRoot() const { return m_registryRoot; }
    // The root key (empty sub-key) or a sub-key of it, created when missing;
    // null on failure. The caller closes it.
    HKEY openRegistryKey(const std::string& subKey) const;
    DWORD readRegistryDword(const std::string& subKey, const std::string& name,
                            DWORD defaultValue) const;
    std::string readRegistryString(const std::string& subKey, const std::string& name,
                                   const std::string& defaultValue) const;
    bool writeRegistryDword(const std::string& subKey, const std::string& name, DWORD value) const;
    // No name: removes the sub-key itself. A name but no text: removes that value.
    bool writeRegistryString(const std::string& subKey, const char* name, const char* text) const;

    // ---- drawing database (null database: the working database)
    bool gatherBlockNames(std::vector<std::string>& names, AcDbDatabase* db = nullptr) const;
    AcDbObjectId blockIdByName(const std::string& name, AcDbDatabase* db = nullptr) const;
    AcDbBlockTableRecord* openBlockByName(const std::string& name, AcDb::OpenMode mode,
                                          AcDbDatabase* db = nullptr) const;
    bool deleteBlockWithReferences(const std::string& name, AcDbDatabase* db = nullptr) const;
    bool eraseObject(AcDbObjectId id) const;
    // Appends to the given block (left open for the caller) or to the current
    // space; the null id on failure, the entity then stays the caller's.
    AcDbObjectId appendToCurrentSpace(AcDbEntity* entity,
                                      AcDbBlockTableRecord* block = nullptr) const;
    // The block's attribute definitions that are not constant, in entity order.
    bool attributeDefinitions(const std::string& blockName, AcDbObjectIdArray& ids,
                              std::vector<std::string>& tags, std::vector<std::string>& prompts,
                              std::vector<std::string>& defaults) const;

    // ---- text and geometry
    static int splitText(const std::string& text, const std::string& separator,
                         std::vector<std::string>& pieces);
    // -1 strictly inside, 0 on (or within 0.01 of) the outline, 1 outside.
    static int classifyPointInPolygon(const AcGePoint3d& point, const AcGePoint3dArray& outline);

private:
    std::string m_registryRoot;
};
