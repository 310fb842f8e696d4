#pragma once
// The document manager of the host.

#include "acdocman.h"

class AcDbUndoHistory;

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace cadhost {

class Document;

class DocumentManager : public AcApDocManager {
public:
    static DocumentManager& instance();

    // ---- AcApDocManager
    AcApDocument* activeDocument() const override;
    Acad::ErrorStatus setActiveDocument(AcApDocument* doc) override;
    int documentCount() const override;
    AcApDocument* document(int index) const override;
    Acad::ErrorStatus acquireDocumentLock(AcApDocument* doc, int mode, const char* globalCmdName,
                                          const char* localCmdName, bool prompt) override;
    Acad::ErrorStatus releaseDocumentLock(AcApDocument* doc) override;
    Acad::ErrorStatus queueCommandString(AcApDocument* doc, const char* text, bool activate,
                                         bool wrapUpInactiveDoc, bool echo) override;
    void addReactor(AcApDocManagerReactor* reactor) override;
    void removeReactor(AcApDocManagerReactor* reactor) override;
    void pushResourceHandle(HINSTANCE module) override;
    void popResourceHandle() override;
    HINSTANCE currentResourceHandle() const override;
    AcApDocument* newDocument() override;
    AcApDocument* openDocument(const char* fileName, std::string* error) override;
    Acad::ErrorStatus saveDocument(AcApDocument* doc, std::string* error) override;
    Acad::ErrorStatus saveDocumentAs(AcApDocument* doc, const char* fileName,
                                     std::string* error) override;
    Acad::ErrorStatus closeDocument(AcApDocument* doc) override;

    // ---- host
    // Adopts a database as a new document (tests, examples); made active.
    AcApDocument* adoptDatabase(std::unique_ptr<AcDbDatabase> db, const std::string& fileName);
    // The document holding db, or null.
    AcApDocument* documentOf(const AcDbDatabase* db) const;
    // Closes every document, last opened first.
    void closeAll();
    bool isKnown(const AcApDocument* doc) const;
    // Drops the reactors the predicate picks (a module going away).
    void removeReactorsIf(const std::function<bool(const AcApDocManagerReactor*)>& pred);

    // ---- undo
    // Each command and each write lock bounds one undo step of the document
    // (groups nest; the outermost makes the step). A write lock taken without
    // a command name is named after the action running it (a toolbar button's
    // tooltip), set by whoever dispatches that action.
    void beginUndoGroup(AcApDocument* doc, const std::string& name);
    void endUndoGroup(AcApDocument* doc);
    void setActionName(std::string name) { m_actionName = std::move(name); }
    const std::string& actionName() const { return m_actionName; }
    // Asked first when a write lock opens a step: the action's name as it
    // reads now (a button whose label the action itself just changed). An
    // empty answer falls back to actionName().
    void setActionNameSource(std::function<std::string()> source) {
        m_actionNameSource = std::move(source);
    }
    AcDbUndoHistory* undoHistory(AcApDocument* doc) const;

private:
    DocumentManager() = default;
    Document* known(const AcApDocument* doc) const;
    AcApDocument* addDocument(std::unique_ptr<Document> doc);
    template <class F> void notify(F&& f);
    std::vector<std::unique_ptr<Document>> m_documents;
    Document* m_active = nullptr;
    std::vector<AcApDocManagerReactor*> m_reactors;
    int m_untitledCounter = 0;
    std::string m_actionName;
    std::function<std::string()> m_actionNameSource;
};

} // namespace cadhost
