// A module's resources under a resource folder, found through the current
// resource module of the stack.
#include "acuiresources.h"
#include "rxmfcapi.h"

#include "cadhost/resources.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

void writeFile(const QString& path, const QByteArray& data) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

void writeImage(const QString& path, int w, int h, const char* format) {
    QDir().mkpath(QFileInfo(path).path());
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    ASSERT_TRUE(image.save(path, format));
}

class ModuleResources : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        const QString root = dir.path() + "/kelvarin";
        writeImage(root + "/Bitmap/7.bmp", 16, 15, "BMP");
        writeImage(root + "/BITMAP/IDB_Table.png", 32, 15, "PNG");
        writeFile(root + "/Strings.TXT", "52774\tMerge Cells\\nMerge\n100\tModule text\n");
        writeFile(root + "/TOOLBAR/128.tb", "52765\n0\n# note\n52774\n");
        writeFile(root + "/TOOLBAR/129.tb", "52765\nbad\n");
        writeFile(root + "/MENU/11112.mnu", "POPUP \"Table\"\n"
                                            "  MENUITEM \"Insert Rows &Above\", 32770\n"
                                            "  MENUITEM SEPARATOR\n"
                                            "  POPUP \"More\"\n"
                                            "    MENUITEM \"Delete Rows\", 32772\n"
                                            "  END\n"
                                            "END\n");
        writeFile(root + "/MENU/11113.mnu", "POPUP \"Broken\"\n");
        writeFile(dir.path() + "/host/strings.txt", "100\tHost text\n101\tOnly the host\n");
        cadhostRegisterResources(module, cadhostQrcResources(root.toStdString() + "/"));
        cadhostRegisterResources(nullptr,
                                 cadhostQrcResources((dir.path() + "/host").toStdString()));
        InitAcUiDLL();
        InitAcUiDLL();
    }
    void TearDown() override {
        cadhostRegisterResources(module, nullptr);
        cadhostRegisterResources(nullptr, nullptr);
        while (cadhost::ResourceModules::instance().pop()) {
        }
    }

    QTemporaryDir dir;
    HINSTANCE module = reinterpret_cast<HINSTANCE>(0x4000);
};

TEST_F(ModuleResources, LookupsFollowTheCurrentModule) {
    EXPECT_EQ(acuiLoadString(100), QStringLiteral("Host text"));
    EXPECT_TRUE(acuiLoadBitmap(7).isNull()) << "the module's resources are not current yet";
    {
        cadhost::ResourceScope scope(module);
        EXPECT_EQ(acuiLoadString(52774), QStringLiteral("Merge Cells\nMerge"));
        EXPECT_EQ(acuiLoadString(100), QStringLiteral("Module text"));
        EXPECT_EQ(acuiLoadString(101), QStringLiteral("Only the host"));
        EXPECT_TRUE(acuiLoadString(999).isEmpty());

        QPixmap byId = acuiLoadBitmap(7);
        EXPECT_EQ(byId.size(), QSize(16, 15));
        EXPECT_EQ(acuiLoadBitmap("idb_table").size(), QSize(32, 15)) << "names ignore case";
        EXPECT_EQ(acuiLoadBitmap("IDB_TABLE.PNG").size(), QSize(32, 15));
        EXPECT_TRUE(acuiLoadBitmap("missing").isNull());
        EXPECT_TRUE(acuiLoadBitmap(8).isNull());

        EXPECT_EQ(acuiLoadToolbar(128), (std::vector<unsigned>{52765, 0, 52774}));
        EXPECT_TRUE(acuiLoadToolbar(129).empty()) << "a malformed toolbar gives nothing";
        EXPECT_TRUE(acuiLoadToolbar(130).empty());
        EXPECT_TRUE(acuiLoadResourceData("DIALOG", 201).isEmpty());
    }
    EXPECT_EQ(acuiLoadString(100), QStringLiteral("Host text"));
}

TEST_F(ModuleResources, MenuCarriesCommandIdsOnItsActions) {
    cadhost::ResourceScope scope(module);
    std::unique_ptr<QMenu> menu = acuiLoadMenu(11112);
    ASSERT_TRUE(menu);
    ASSERT_EQ(menu->actions().size(), 1);
    QMenu* popup = menu->actions().at(0)->menu();
    ASSERT_TRUE(popup);
    EXPECT_EQ(popup->title(), QStringLiteral("Table"));
    const QList<QAction*> items = popup->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QStringLiteral("Insert Rows &Above"));
    EXPECT_EQ(items[0]->data().toUInt(), 32770u);
    EXPECT_EQ(items[0]->property("commandId").toUInt(), 32770u);
    EXPECT_TRUE(items[1]->isSeparator());
    ASSERT_TRUE(items[2]->menu());
    EXPECT_EQ(items[2]->menu()->actions().at(0)->property("commandId").toUInt(), 32772u);

    EXPECT_EQ(acuiLoadMenu(11113), nullptr) << "a popup without END";
    EXPECT_EQ(acuiLoadMenu(1), nullptr);
}

} // namespace
