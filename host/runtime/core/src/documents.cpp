// Documents, the document manager, document locks and the working database.
#include "cadhost/documents.h"

#include "dbapserv.h"

#include "cadhost/cell_selection.h"
#include "cadhost/command_log.h"
#include "cadhost/command_processor.h"
#include "cadhost/input_broker.h"
#include "cadhost/module_loader.h"
#include "cadhost/resources.h"
#include "cadhost/runtime.h"
#include "cadhost/selection.h"
#include "cadhost/system_variables.h"
#include "text_util.h"

#include <algorithm>
#include <filesystem>

namespace cadhost {

namespace {

bool isWriteMode(int mode) {
    return mode == AcAp::kAutoWrite || mode == AcAp::kWrite || mode == AcAp::kProtectedAutoWrite ||
           mode == AcAp::kXWrite;
}

bool isValidLockMode(int mode) {
    return isWriteMode(mode) || mode == AcAp::kRead;
}

int modeStrength(int mode) {
    switch (mode) {
    case AcAp::kXWrite:
        return 4;
    case AcAp::kWrite:
    case AcAp::kProtectedAutoWrite:
        return 3;
    case AcAp::kAutoWrite:
        return 2;
    case AcAp::kRead:
        return 1;
    default:
        return 0;
    }
}

std::string fileNameOnly(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

AcDbDatabase* g_workingOverride = nullptr;

} // namespace

class Document : public AcApDocument {
public:
    Document(std::unique_ptr<AcDbDatabase> db, std::string fileName, std::string title)
        : m_db(std::move(db)), m_history(std::make_unique<AcDbUndoHistory>(m_db.get())),
          m_fileName(std::move(fileName)), m_title(std::move(title)) {}
    ~Document() override {
        m_history.reset(); // before the database it records
    }

    const char* fileName() const override { return m_fileName.c_str(); }
    const char* docTitle() const override { return m_title.c_str(); }
    AcDbDatabase* database() const override { return m_db.get(); }
    AcAp::DocLockMode lockMode(bool) const override {
        int best = AcAp::kNotLocked;
        for (const Lock& l : m_locks)
            if (modeStrength(l.mode) > modeStrength(best))
                best = l.mode;
        return static_cast<AcAp::DocLockMode>(best);
    }
    AcAp::DocLockMode myLockMode() const override { return lockMode(true); }
    bool isQuiescent() const override { return CommandProcessor::instance().isIdle(); }
    bool isReadOnly() const override { return false; }

    void setFile(std::string path) {
        m_fileName = std::move(path);
        m_title = fileNameOnly(m_fileName);
    }

    AcDbUndoHistory& history() { return *m_history; }

    struct Lock {
        int mode;
        std::string command;
        bool undoGroup = false; // a write lock bounds one undo step
    };
    std::vector<Lock> m_locks;
    std::string m_ctab = "Model";

private:
    std::unique_ptr<AcDbDatabase> m_db;
    std::unique_ptr<AcDbUndoHistory> m_history;
    std::string m_fileName, m_title;
};

DocumentManager& DocumentManager::instance() {
    static DocumentManager manager;
    return manager;
}

Document* DocumentManager::known(const AcApDocument* doc) const {
    for (const auto& d : m_documents)
        if (d.get() == doc)
            return d.get();
    return nullptr;
}

bool DocumentManager::isKnown(const AcApDocument* doc) const {
    return doc && known(doc) != nullptr;
}

template <class F> void DocumentManager::notify(F&& f) {
    std::vector<AcApDocManagerReactor*> reactors = m_reactors;
    for (AcApDocManagerReactor* r : reactors)
        if (std::find(m_reactors.begin(), m_reactors.end(), r) != m_reactors.end())
            f(r);
}

AcApDocument* DocumentManager::activeDocument() const {
    return m_active;
}

Acad::ErrorStatus DocumentManager::setActiveDocument(AcApDocument* doc) {
    Document* d = known(doc);
    if (!d)
        return Acad::eInvalidInput;
    if (d == m_active)
        return Acad::eOk;
    notify([&](AcApDocManagerReactor* r) { r->documentToBeActivated(d); });
    m_active = d;
    CellSelection::instance().forget();
    notify([&](AcApDocManagerReactor* r) { r->documentBecameCurrent(d); });
    notify([&](AcApDocManagerReactor* r) { r->documentActivated(d); });
    return Acad::eOk;
}

int DocumentManager::documentCount() const {
    return static_cast<int>(m_documents.size());
}

AcApDocument* DocumentManager::document(int index) const {
    if (index < 0 || index >= documentCount())
        return nullptr;
    return m_documents[static_cast<std::size_t>(index)].get();
}

Acad::ErrorStatus DocumentManager::acquireDocumentLock(AcApDocument* doc, int mode,
                                                       const char* globalCmdName, const char*,
                                                       bool) {
    Document* d = known(doc);
    if (!d || !isValidLockMode(mode))
        return Acad::eInvalidInput;
    for (const Document::Lock& held : d->m_locks) {
        bool conflict = held.mode == AcAp::kXWrite || mode == AcAp::kXWrite ||
                        (isWriteMode(mode) && held.mode == AcAp::kRead);
        if (conflict)
            return Acad::eLockViolation;
    }
    AcAp::DocLockMode before = d->lockMode(true);
    const bool write = isWriteMode(mode);
    d->m_locks.push_back(Document::Lock{mode, globalCmdName ? globalCmdName : "", write});
    if (write) {
        std::string name = globalCmdName && *globalCmdName ? globalCmdName : std::string();
        if (name.empty() && m_actionNameSource)
            name = m_actionNameSource();
        if (name.empty())
            name = m_actionName;
        d->history().beginGroup(name);
    }
    AcAp::DocLockMode after = d->lockMode(true);
    notify([&](AcApDocManagerReactor* r) {
        r->documentLockModeChanged(d, before, after, after, globalCmdName ? globalCmdName : "");
    });
    return Acad::eOk;
}

Acad::ErrorStatus DocumentManager::releaseDocumentLock(AcApDocument* doc) {
    Document* d = known(doc);
    if (!d)
        return Acad::eInvalidInput;
    if (d->m_locks.empty())
        return Acad::eNotApplicable;
    AcAp::DocLockMode before = d->lockMode(true);
    std::string command = d->m_locks.back().command;
    const bool undoGroup = d->m_locks.back().undoGroup;
    d->m_locks.pop_back();
    if (undoGroup)
        endUndoGroup(d);
    AcAp::DocLockMode after = d->lockMode(true);
    notify([&](AcApDocManagerReactor* r) {
        r->documentLockModeChanged(d, before, after, after, command.c_str());
    });
    return Acad::eOk;
}

void DocumentManager::beginUndoGroup(AcApDocument* doc, const std::string& name) {
    if (Document* d = known(doc))
        d->history().beginGroup(name);
}

void DocumentManager::endUndoGroup(AcApDocument* doc) {
    Document* d = known(doc);
    if (!d)
        return; // closed meanwhile: its history went with it
    const int limit = SystemVariables::instance().getInt("UNDOLIMIT", 100);
    d->history().setLimit(static_cast<std::size_t>(std::max(0, limit)));
    d->history().endGroup();
}

AcDbUndoHistory* DocumentManager::undoHistory(AcApDocument* doc) const {
    Document* d = known(doc);
    return d ? &d->history() : nullptr;
}

Acad::ErrorStatus DocumentManager::queueCommandString(AcApDocument* doc, const char* text,
                                                      bool activate, bool, bool echo) {
    initializeRuntime();
    if (!text)
        return Acad::eInvalidInput;
    if (doc && !known(doc))
        return Acad::eInvalidInput;
    if (doc && activate)
        setActiveDocument(doc);
    // CMDECHO is read now: callers switch it off only around the queuing.
    bool shown = echo && SystemVariables::instance().getInt("CMDECHO", 1) != 0;
    InputBroker::instance().submitText(text, InputSource::Queued, shown);
    return Acad::eOk;
}

void DocumentManager::addReactor(AcApDocManagerReactor* reactor) {
    if (reactor && std::find(m_reactors.begin(), m_reactors.end(), reactor) == m_reactors.end())
        m_reactors.push_back(reactor);
}

void DocumentManager::removeReactor(AcApDocManagerReactor* reactor) {
    std::erase(m_reactors, reactor);
}

void DocumentManager::removeReactorsIf(
    const std::function<bool(const AcApDocManagerReactor*)>& pred) {
    std::erase_if(m_reactors, pred);
}

void DocumentManager::pushResourceHandle(HINSTANCE module) {
    ResourceModules::instance().push(module);
}

void DocumentManager::popResourceHandle() {
    ResourceModules::instance().pop();
}

HINSTANCE DocumentManager::currentResourceHandle() const {
    return ResourceModules::instance().current();
}

AcApDocument* DocumentManager::addDocument(std::unique_ptr<Document> doc) {
    Document* d = doc.get();
    m_documents.push_back(std::move(doc));
    notify([&](AcApDocManagerReactor* r) { r->documentCreated(d); });
    setActiveDocument(d);
    ModuleLoader::instance().sendMessageToAll(AcRx::kLoadDwgMsg, d);
    return d;
}

AcApDocument* DocumentManager::newDocument() {
    initializeRuntime();
    std::string title = "Drawing" + std::to_string(++m_untitledCounter) + ".dxf";
    return addDocument(std::make_unique<Document>(std::make_unique<AcDbDatabase>(true), "", title));
}

AcApDocument* DocumentManager::adoptDatabase(std::unique_ptr<AcDbDatabase> db,
                                             const std::string& fileName) {
    initializeRuntime();
    if (!db)
        return nullptr;
    std::string title = fileName.empty() ? "Drawing" + std::to_string(++m_untitledCounter) + ".dxf"
                                         : fileNameOnly(fileName);
    return addDocument(std::make_unique<Document>(std::move(db), fileName, title));
}

AcApDocument* DocumentManager::openDocument(const char* fileName, std::string* error) {
    initializeRuntime();
    auto fail = [&](const std::string& why) -> AcApDocument* {
        std::string message =
            "Cannot open \"" + std::string(fileName ? fileName : "") + "\": " + why;
        CommandLineLog::instance().printf("\n%s", message.c_str());
        if (error)
            *error = message;
        return nullptr;
    };
    if (!fileName || !*fileName)
        return fail("no file name given.");
    std::error_code ec;
    std::filesystem::path wanted = std::filesystem::weakly_canonical(fileName, ec);
    for (const auto& d : m_documents) {
        if (!*d->fileName())
            continue;
        std::error_code ec2;
        if (std::filesystem::weakly_canonical(d->fileName(), ec2) == wanted && !ec && !ec2) {
            setActiveDocument(d.get());
            return d.get();
        }
    }
    if (!std::filesystem::exists(fileName, ec))
        return fail("the file does not exist.");
    auto db = std::make_unique<AcDbDatabase>(false);
    Acad::ErrorStatus es = db->readDwgFile(fileName);
    if (es != Acad::eOk) {
        std::string why =
            db->lastFileError().empty() ? acadErrorStatusText(es) : db->lastFileError();
        return fail(why);
    }
    if (db->filename().empty())
        db->setFilename(fileName);
    return addDocument(std::make_unique<Document>(std::move(db), fileName, fileNameOnly(fileName)));
}

Acad::ErrorStatus DocumentManager::saveDocument(AcApDocument* doc, std::string* error) {
    Document* d = known(doc);
    if (!d)
        return Acad::eInvalidInput;
    if (!*d->fileName()) {
        if (error)
            *error = "The drawing has no file name yet; use SAVEAS.";
        return Acad::eInvalidInput;
    }
    return saveDocumentAs(doc, d->fileName(), error);
}

Acad::ErrorStatus DocumentManager::saveDocumentAs(AcApDocument* doc, const char* fileName,
                                                  std::string* error) {
    Document* d = known(doc);
    if (!d || !fileName || !*fileName)
        return Acad::eInvalidInput;
    // Saving refreshes derived data (table pictures) only: not an undo step,
    // and the redo steps stay.
    d->database()->setUndoHistory(nullptr);
    Acad::ErrorStatus es = d->database()->saveAs(fileName);
    d->database()->setUndoHistory(&d->history());
    if (es != Acad::eOk) {
        std::string why = d->database()->lastFileError().empty() ? acadErrorStatusText(es)
                                                                 : d->database()->lastFileError();
        std::string message = "Cannot save \"" + std::string(fileName) + "\": " + why;
        CommandLineLog::instance().printf("\n%s", message.c_str());
        if (error)
            *error = message;
        return es;
    }
    d->setFile(fileName);
    return Acad::eOk;
}

Acad::ErrorStatus DocumentManager::closeDocument(AcApDocument* doc) {
    Document* d = known(doc);
    if (!d)
        return Acad::eInvalidInput;
    // A command working on the drawing would lose it under its feet.
    if (!d->m_locks.empty())
        return Acad::eLockViolation;
    Document* previous = m_active;
    if (d != m_active)
        setActiveDocument(d); // the modules see the closing drawing as current
    ModuleLoader::instance().sendMessageToAll(AcRx::kUnloadDwgMsg, d);
    notify([&](AcApDocManagerReactor* r) { r->documentToBeDestroyed(d); });

    AcDbDatabase* db = d->database();
    if (auto& state = CellSelection::instance().current(); state && state->table.database() == db)
        CellSelection::instance().forget();
    EntityNames::instance().forgetDatabase(db);
    SelectionSets::instance().forgetDatabase(db);
    if (g_workingOverride == db)
        g_workingOverride = nullptr;

    std::string fileName = d->fileName();
    auto it = std::find_if(m_documents.begin(), m_documents.end(),
                           [d](const auto& p) { return p.get() == d; });
    std::unique_ptr<Document> closing = std::move(*it);
    m_documents.erase(it);
    m_active = nullptr;
    if (previous && previous != d)
        setActiveDocument(previous);
    else if (!m_documents.empty())
        setActiveDocument(m_documents.back().get());
    closing.reset();
    notify([&](AcApDocManagerReactor* r) { r->documentDestroyed(fileName.c_str()); });
    return Acad::eOk;
}

void DocumentManager::closeAll() {
    while (!m_documents.empty()) {
        Document* d = m_documents.back().get();
        d->m_locks.clear(); // shutting down: nothing may keep a drawing open
        closeDocument(d);
    }
}

AcApDocument* DocumentManager::documentOf(const AcDbDatabase* db) const {
    for (const auto& d : m_documents)
        if (d->database() == db)
            return d.get();
    return nullptr;
}

// Variables that follow the active document.
void defineDocumentVariables() {
    SystemVariables& vars = SystemVariables::instance();
    auto active = [] {
        return static_cast<Document*>(DocumentManager::instance().activeDocument());
    };

    SysVarDefinition ctab;
    ctab.name = "CTAB";
    ctab.type = SysVarType::String;
    ctab.defaultValue = std::string("Model");
    ctab.getter = [active]() -> SysVarValue {
        Document* d = active();
        return d ? d->m_ctab : std::string("Model");
    };
    ctab.setter = [active](const SysVarValue& v) {
        Document* d = active();
        const std::string& name = std::get<std::string>(v);
        if (!d)
            return false;
        if (equalsNoCase(name, "Model"))
            d->m_ctab = "Model";
        else if (equalsNoCase(name, "Layout1"))
            d->m_ctab = "Layout1";
        else
            return false;
        return true;
    };
    vars.define(std::move(ctab));

    SysVarDefinition dwgname;
    dwgname.name = "DWGNAME";
    dwgname.type = SysVarType::String;
    dwgname.defaultValue = std::string();
    dwgname.readOnly = true;
    dwgname.getter = [active]() -> SysVarValue {
        Document* d = active();
        return std::string(d ? d->docTitle() : "");
    };
    vars.define(std::move(dwgname));

    SysVarDefinition prefix;
    prefix.name = "DWGPREFIX";
    prefix.type = SysVarType::String;
    prefix.defaultValue = std::string();
    prefix.readOnly = true;
    prefix.getter = [active]() -> SysVarValue {
        Document* d = active();
        if (!d || !*d->fileName())
            return std::filesystem::current_path().string() + "/";
        return std::filesystem::path(d->fileName()).parent_path().string() + "/";
    };
    vars.define(std::move(prefix));

    SysVarDefinition clayer;
    clayer.name = "CLAYER";
    clayer.type = SysVarType::String;
    clayer.defaultValue = std::string("0");
    clayer.getter = [active]() -> SysVarValue {
        Document* d = active();
        return d ? d->database()->clayer() : std::string("0");
    };
    clayer.setter = [active](const SysVarValue& v) {
        Document* d = active();
        return d && d->database()->setClayer(std::get<std::string>(v)) == Acad::eOk;
    };
    vars.define(std::move(clayer));
}

AcDbDatabase* workingDatabaseOverride() {
    return g_workingOverride;
}

void setWorkingDatabaseOverride(AcDbDatabase* db) {
    g_workingOverride = db;
}

} // namespace cadhost

AcApDocManager* acDocManagerPtr() {
    cadhost::initializeRuntime();
    return &cadhost::DocumentManager::instance();
}

AcDbDatabase* AcDbHostApplicationServices::workingDatabase() const {
    if (AcDbDatabase* db = cadhost::workingDatabaseOverride())
        return db;
    AcApDocument* doc = cadhost::DocumentManager::instance().activeDocument();
    return doc ? doc->database() : nullptr;
}

void AcDbHostApplicationServices::setWorkingDatabase(AcDbDatabase* db) {
    cadhost::setWorkingDatabaseOverride(db);
}

AcDbHostApplicationServices* acdbHostApplicationServices() {
    static AcDbHostApplicationServices services;
    return &services;
}
