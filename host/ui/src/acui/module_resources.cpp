// Module resources from a Qt resource folder, and the look-ups through the
// current resource module that dialogs, toolbars and menus use.
#include "acuiresources.h"
#include "rxmfcapi.h"

#include "cadhost/resource_text.h"
#include "cadhost/resources.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <map>

namespace {

QString lower(const std::string& s) {
    return QString::fromStdString(s).toLower();
}

// The resources under one folder. Folder listings are read once: a module's
// compiled-in resources do not change while it is loaded.
class QrcResourceProvider : public cadhost::ResourceProvider {
public:
    explicit QrcResourceProvider(QString root) : m_root(std::move(root)) {}

    std::optional<std::string> locate(const std::string& kind, unsigned id) const override {
        return locate(kind, std::to_string(id));
    }

    std::optional<std::string> locate(const std::string& kind,
                                      const std::string& name) const override {
        const Folder& folder = folderOf(kind);
        const QString key = lower(name);
        if (auto it = folder.byFileName.find(key); it != folder.byFileName.end())
            return it->second.toStdString();
        if (auto it = folder.byBaseName.find(key); it != folder.byBaseName.end())
            return it->second.toStdString();
        return std::nullopt;
    }

    std::optional<std::string> string(unsigned id) const override {
        if (!m_stringsRead) {
            m_stringsRead = true;
            const QString path = entryNoCase(m_root, "strings.txt", QDir::Files);
            QFile file(path);
            if (!path.isEmpty() && file.open(QIODevice::ReadOnly))
                m_strings = cadhost::parseStringTable(file.readAll().toStdString());
        }
        auto it = m_strings.find(id);
        if (it == m_strings.end())
            return std::nullopt;
        return it->second;
    }

private:
    struct Folder {
        std::map<QString, QString> byFileName; // lower-case "name.ext" -> path
        std::map<QString, QString> byBaseName; // lower-case "name" -> path (first by name)
    };

    // The entry of dir whose name equals name without letter case, or "".
    static QString entryNoCase(const QString& dir, const QString& name, QDir::Filters filters) {
        const QStringList entries = QDir(dir).entryList(filters, QDir::Name);
        for (const QString& entry : entries)
            if (entry.compare(name, Qt::CaseInsensitive) == 0)
                return dir + '/' + entry;
        return {};
    }

    const Folder& folderOf(const std::string& kind) const {
        const QString key = lower(kind);
        auto it = m_folders.find(key);
        if (it != m_folders.end())
            return it->second;
        Folder& folder = m_folders[key];
        // Every folder of that name in any letter case ("BITMAP", "Bitmap").
        const QStringList dirs =
            QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QString& dir : dirs) {
            if (dir.toLower() != key)
                continue;
            const QFileInfoList files =
                QDir(m_root + '/' + dir).entryInfoList(QDir::Files, QDir::Name);
            for (const QFileInfo& info : files) {
                folder.byFileName.emplace(info.fileName().toLower(), info.filePath());
                folder.byBaseName.emplace(info.completeBaseName().toLower(), info.filePath());
            }
        }
        return folder;
    }

    QString m_root;
    mutable std::map<QString, Folder> m_folders;
    mutable bool m_stringsRead = false;
    mutable std::map<unsigned, std::string> m_strings;
};

QByteArray readFile(const std::optional<std::string>& path) {
    if (!path)
        return {};
    QFile file(QString::fromStdString(*path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

QPixmap pixmapAt(const std::optional<std::string>& path) {
    // Pixmaps need a GUI application; without one there is nothing to load into.
    if (!path || !qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        return {};
    return QPixmap(QString::fromStdString(*path));
}

void addItems(QMenu* menu, const std::vector<cadhost::MenuResourceItem>& items) {
    using Kind = cadhost::MenuResourceItem::Kind;
    for (const cadhost::MenuResourceItem& item : items) {
        const QString text = QString::fromStdString(item.text);
        switch (item.kind) {
        case Kind::Popup:
            addItems(menu->addMenu(text), item.children);
            break;
        case Kind::Separator:
            menu->addSeparator();
            break;
        case Kind::Command: {
            QAction* action = menu->addAction(text);
            action->setData(item.id);
            action->setProperty("commandId", item.id);
            break;
        }
        }
    }
}

} // namespace

std::shared_ptr<cadhost::ResourceProvider> cadhostQrcResources(const std::string& root) {
    QString dir = QString::fromStdString(root);
    while (dir.size() > 2 && dir.endsWith('/'))
        dir.chop(1);
    return std::make_shared<QrcResourceProvider>(dir);
}

QString acuiLoadString(unsigned id) {
    auto text = cadhost::ResourceModules::instance().string(id);
    return text ? QString::fromStdString(*text) : QString();
}

QPixmap acuiLoadBitmap(unsigned id) {
    return pixmapAt(cadhost::ResourceModules::instance().locate("BITMAP", id));
}

QPixmap acuiLoadBitmap(const std::string& name) {
    return pixmapAt(cadhost::ResourceModules::instance().locate("BITMAP", name));
}

QByteArray acuiLoadResourceData(const std::string& kind, unsigned id) {
    return readFile(cadhost::ResourceModules::instance().locate(kind, id));
}

QByteArray acuiLoadResourceData(const std::string& kind, const std::string& name) {
    return readFile(cadhost::ResourceModules::instance().locate(kind, name));
}

std::vector<unsigned> acuiLoadToolbar(unsigned id) {
    const QByteArray data = acuiLoadResourceData("TOOLBAR", id);
    if (data.isEmpty())
        return {};
    return cadhost::parseToolbarResource(data.toStdString()).value_or(std::vector<unsigned>{});
}

std::unique_ptr<QMenu> acuiLoadMenu(unsigned id) {
    const QByteArray data = acuiLoadResourceData("MENU", id);
    if (data.isEmpty() || !qobject_cast<QApplication*>(QCoreApplication::instance()))
        return nullptr;
    auto items = cadhost::parseMenuResource(data.toStdString());
    if (!items)
        return nullptr;
    auto menu = std::make_unique<QMenu>();
    addItems(menu.get(), *items);
    return menu;
}

void InitAcUiDLL() {
    // The host UI library needs nothing set up per module today: its
    // services are installed by the frame and its look-ups go through the
    // resource stack. Kept so modules start the way they always have, and
    // safe to call any number of times.
}
