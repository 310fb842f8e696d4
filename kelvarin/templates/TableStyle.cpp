#include "templates/TableStyle.h"

namespace kelvarin::templates {

std::optional<std::vector<std::string>> tableStyleNames(AcDbDatabase* db) {
    AcDbDictionary* styles = nullptr;
    if (!db || db->getTableStyleDictionary(styles, AcDb::kForRead) != Acad::eOk || !styles)
        return std::nullopt;
    AcDbDictionary::Iterator it = styles->newIterator();
    styles->close();
    std::vector<std::string> names;
    for (; !it.done(); it.next())
        names.push_back(it.name());
    return names;
}

bool applyTableStyleByName(AcDbTable& table, const std::string& name) {
    if (name.empty())
        return false;
    AcDbDatabase* db = acdbHostApplicationServices()->workingDatabase();
    AcDbDictionary* styles = nullptr;
    if (!db || db->getTableStyleDictionary(styles, AcDb::kForRead) != Acad::eOk || !styles)
        return false;
    AcDbObjectId styleId;
    const Acad::ErrorStatus found = styles->getAt(name, styleId);
    styles->close();
    return found == Acad::eOk && table.setTableStyle(styleId) == Acad::eOk;
}

} // namespace kelvarin::templates
