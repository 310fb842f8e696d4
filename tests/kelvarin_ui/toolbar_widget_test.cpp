// The add-in's windows in a real frame (offscreen): the toolbar's items,
// pictures, tooltips and line weight box, the faces and tooltips a drop-down
// choice gives, the add-in's buttons on the suite toolbar, and the two block
// dialogs as their templates lay them out.
#include "acui.h"
#include "acuiresources.h"
#include "arxHeaders.h"

#include "cadhost/command_processor.h"
#include "cadhost/menu_groups.h"
#include "cadhost/runtime.h"
#include "cadhost/ui_services.h"
#include "hostreg/registry.h"
#include "hostui/control_ids.h"
#include "hostui/frame_window.h"

#include <QApplication>
#include <QComboBox>
#include <QDockWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

fs::path binaryDir() {
    char buf[4096];
    const ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
    buf[n > 0 ? n : 0] = '\0';
    return fs::path(buf).parent_path();
}

std::string kelvarinPath() {
    return (binaryDir() / "Kelvarin.arx").string();
}

// The add-in's table toolbar in the frame.
QDockWidget* tableBarOf(const hostui::FrameWindow& frame) {
    for (QDockWidget* d : frame.findChildren<QDockWidget*>())
        if (d->windowTitle() == QStringLiteral("Vorel Kelvarin"))
            return d;
    return nullptr;
}

class KelvarinWindows : public ::testing::Test {
protected:
    void SetUp() override {
        hostRegistryOpenInMemory();
        cadhost::resetRuntimeState();
        frame = std::make_unique<hostui::FrameWindow>();
        frame->show();
        acDocManagerPtr()->newDocument();
        ASSERT_EQ(acedArxLoad(kelvarinPath().c_str()), RTNORM);
    }
    void TearDown() override {
        frame.reset();
        acedArxUnload("Kelvarin.arx");
        hostRegistryClose();
    }
    QDockWidget* kelvarinBar() const { return tableBarOf(*frame); }
    std::unique_ptr<hostui::FrameWindow> frame;
};

const unsigned kButtons[16] = {52767, 52768, 52784, 52779, 52772, 52774, 52776, 52786,
                               52780, 52781, 52785, 52765, 32770, 32771, 32772, 52787};

TEST_F(KelvarinWindows, TheBarHoldsEveryItemWithItsPictureAndTexts) {
    QDockWidget* bar = kelvarinBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(bar->isFloating());
    EXPECT_EQ(bar->frameGeometry().topLeft(), QPoint(120, 120));

    std::set<QByteArray> pictures;
    for (unsigned id : kButtons) {
        QToolButton* b = hostui::findCommandButton(static_cast<int>(id));
        ASSERT_NE(b, nullptr) << id;
        ASSERT_FALSE(b->icon().isNull()) << id;
        const QImage image =
            b->icon().pixmap(16, 15).toImage().convertToFormat(QImage::Format_ARGB32);
        pictures.insert(QByteArray(reinterpret_cast<const char*>(image.constBits()),
                                   static_cast<qsizetype>(image.sizeInBytes())));
        EXPECT_TRUE(b->isVisible()) << id << " hidden behind the overflow arrow";
    }
    EXPECT_EQ(pictures.size(), 16u) << "every button has a picture of its own";

    EXPECT_EQ(hostui::findCommandButton(52781)->toolTip(), QStringLiteral("Size Columns Euqally"));
    EXPECT_EQ(hostui::findCommandButton(52781)->statusTip(),
              QStringLiteral("Resize the width of the selected columns equally."));
    EXPECT_EQ(hostui::findCommandButton(52768)->toolTip(), QStringLiteral("All Borders"));
    EXPECT_EQ(hostui::findCommandButton(52786)->toolTip(), QStringLiteral("Top Left"));
    EXPECT_EQ(hostui::findCommandButton(52785)->toolTip(), QStringLiteral("Insert block..."));

    std::set<unsigned> dropDowns;
    for (unsigned id : kButtons)
        if (hostui::findCommandButton(static_cast<int>(id))->popupMode() ==
            QToolButton::MenuButtonPopup)
            dropDowns.insert(id);
    EXPECT_EQ(dropDowns, (std::set<unsigned>{52772, 52786, 52784, 52779, 52768}));

    auto* weights = bar->findChild<CAcUiLineWeightComboBoxEx*>();
    ASSERT_NE(weights, nullptr);
    EXPECT_EQ(weights->currentIndex(), 1);
    // 100 pixels, widened only where the font needs it to show an entry whole.
    EXPECT_EQ(weights->width(), std::max(100, weights->sizeHint().width()));
    weights->setCurrentIndex(weights->findText(QStringLiteral("0.50 mm")));
    if (weights->currentIndex() >= 0) {
        EXPECT_EQ(weights->GetCurrentItemLineWeight(), 50);
    }
}

TEST_F(KelvarinWindows, CommandsAndTheShowRule) {
    QDockWidget* bar = kelvarinBar();
    ASSERT_NE(bar, nullptr);
    // Closing the only drawing hides the bar; SHOW brings it back.
    ASSERT_EQ(acDocManagerPtr()->documentCount(), 1);
    ASSERT_EQ(acDocManagerPtr()->closeDocument(acDocManagerPtr()->activeDocument()), Acad::eOk);
    EXPECT_TRUE(bar->isHidden());
    acDocManagerPtr()->newDocument();
    EXPECT_TRUE(bar->isHidden()) << "a new drawing does not show it again";
    acDocManagerPtr()->queueCommandString(acDocManagerPtr()->activeDocument(),
                                          "_VOREL_KELVARIN_SHOW ");
    cadhost::CommandProcessor::instance().processPending();
    EXPECT_FALSE(bar->isHidden());
}

// A colour chosen in a drop-down shows in the strip under its button in that
// colour: red stays red.
TEST_F(KelvarinWindows, TheColourStripShowsTheChosenColour) {
    QToolButton* font = hostui::findCommandButton(52779);
    ASSERT_NE(font, nullptr);
    QTimer::singleShot(0, [] {
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr);
        QMetaObject::invokeMethod(popup, "chooseEntry", Q_ARG(int, 16)); // "Red"
    });
    const QPointF arrow(font->width() - 3, font->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, arrow, font->mapToGlobal(arrow), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(font, &press);
    const QImage face = font->grab().toImage();
    EXPECT_EQ(face.pixelColor(10, font->height() - 5), QColor(255, 0, 0));
}

// The suite installed: the suite menu group loaded from its file (with the
// pictures of the add-in's buttons beside it), then the add-in, which adds
// its toolbar to the group; the frame shows it.
class SuiteToolbar : public ::testing::Test {
protected:
    struct RecordingShell : cadhost::ShellService {
        std::vector<std::string> opened;
        bool open(const std::string& target, const std::string&) override {
            opened.push_back(target);
            return true;
        }
    };

    void SetUp() override {
        hostRegistryOpenInMemory();
        cadhost::resetRuntimeState();
        groups().clear();
        frame = std::make_unique<hostui::FrameWindow>();
        frame->show();
        acDocManagerPtr()->newDocument();
        dir = fs::temp_directory_path() / ("suite_toolbar_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        std::ofstream(dir / "Vorel2005.mns", std::ios::binary)
            << "***MENUGROUP=Vorel\r\n\r\n***POP1\r\n\t\t\t\t[Vorel]\r\n";
        for (const char* bmp : {"VOREL_KELVARIN_SHOW_SMALL.BMP", "VOREL_KELVARIN_SHOW_BIG.BMP",
                                "VOREL_KELVARIN_HELP_SMALL.BMP", "VOREL_KELVARIN_HELP_BIG.BMP"})
            fs::copy_file(binaryDir() / bmp, dir / bmp);
        ASSERT_TRUE(groups().load((dir / "Vorel2005.mns").string()).ok);
        ASSERT_EQ(acedArxLoad(kelvarinPath().c_str()), RTNORM);
        QApplication::processEvents(); // the frame rebuilds its group bars
        cadhost::UiServices::install(&shell);
    }
    void TearDown() override {
        cadhost::UiServices::install(static_cast<cadhost::ShellService*>(nullptr));
        frame.reset();
        acedArxUnload("Kelvarin.arx");
        groups().clear();
        hostRegistryClose();
        fs::remove_all(dir);
    }
    static cadhost::MenuGroups& groups() { return cadhost::MenuGroups::instance(); }
    static QImage image(const QIcon& icon) {
        return icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_RGB32);
    }

    std::unique_ptr<hostui::FrameWindow> frame;
    fs::path dir;
    RecordingShell shell;
};

TEST_F(SuiteToolbar, TheAddInsButtonsShowWithTheirPicturesAndRunTheirCommands) {
    auto* bar = frame->findChild<QToolBar*>(QStringLiteral("groupToolBar_Vorel_Kelvarin"));
    ASSERT_NE(bar, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([bar] { return bar->isVisible(); }, 2000));
    EXPECT_EQ(frame->toolBarArea(bar), Qt::TopToolBarArea);
    QList<QAction*> buttons;
    QStringList names;
    for (QAction* a : bar->actions()) {
        if (!a->isSeparator()) {
            buttons << a;
            names << a->text();
        }
    }
    ASSERT_EQ(names, (QStringList{"Display Kelvarin", "Kelvarin Help"}));
    QAction* show = buttons[0];
    QAction* help = buttons[1];
    EXPECT_TRUE(bar->widgetForAction(show)->isVisible());
    EXPECT_TRUE(bar->widgetForAction(help)->isVisible());
    // The small pictures from beside the menu file.
    ASSERT_FALSE(show->icon().isNull());
    ASSERT_FALSE(help->icon().isNull());
    EXPECT_EQ(image(show->icon()),
              QImage(QString::fromStdString((dir / "VOREL_KELVARIN_SHOW_SMALL.BMP").string()))
                  .convertToFormat(QImage::Format_RGB32));
    EXPECT_EQ(image(help->icon()),
              QImage(QString::fromStdString((dir / "VOREL_KELVARIN_HELP_SMALL.BMP").string()))
                  .convertToFormat(QImage::Format_RGB32));

    // The help button hands the shell the manual beside the add-in.
    help->trigger();
    cadhost::CommandProcessor::instance().processPending();
    EXPECT_EQ(shell.opened,
              std::vector<std::string>{(binaryDir() / "Kelvarin Manual.htm").string()});

    // The display button shows the table toolbar again.
    QDockWidget* tableBar = tableBarOf(*frame);
    ASSERT_NE(tableBar, nullptr);
    tableBar->hide();
    show->trigger();
    cadhost::CommandProcessor::instance().processPending();
    EXPECT_FALSE(tableBar->isHidden());
}

// The dialogs as the module's templates build them.
class KelvarinDialogs : public KelvarinWindows {
protected:
    void SetUp() override {
        KelvarinWindows::SetUp();
        acDocManagerPtr()->pushResourceHandle(acedArxModuleHandle("Kelvarin.arx"));
    }
    void TearDown() override {
        acDocManagerPtr()->popResourceHandle();
        KelvarinWindows::TearDown();
    }
};

TEST_F(KelvarinDialogs, InsertBlockDialogControls) {
    CAcUiDialog dialog(201);
    ASSERT_TRUE(dialog.CreateControls()) << dialog.templateError();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Insert a Block in a Table Cell"));
    auto* names = dialog.item<CAcUiComboBox>(203);
    ASSERT_NE(names, nullptr);
    EXPECT_TRUE(names->isEditable());
    auto* alignment = dialog.item<CAcUiComboBox>(206);
    ASSERT_NE(alignment, nullptr);
    EXPECT_FALSE(alignment->isEditable());
    EXPECT_NE(dialog.item<CAcUiNumericEdit>(207), nullptr);
    EXPECT_NE(dialog.item<CAcUiAngleEdit>(208), nullptr);
    EXPECT_NE(dialog.GetDlgItem(204), nullptr);
    // Laid out from dialog units: the name box right of its label, OK left of Cancel.
    EXPECT_LT(dialog.GetDlgItem(1)->geometry().right(), dialog.GetDlgItem(2)->geometry().left());
    EXPECT_GT(names->geometry().left(), 0);
    EXPECT_LT(names->geometry().top(), alignment->geometry().top());
}

TEST_F(KelvarinDialogs, EditAttributesDialogRowsInOrder) {
    CAcUiDialog dialog(202);
    ASSERT_TRUE(dialog.CreateControls()) << dialog.templateError();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Edit Attributes"));
    const int edits[8] = {213, 212, 211, 215, 217, 214, 210, 216};
    const int labels[8] = {219, 220, 221, 222, 223, 224, 225, 226};
    int lastTop = -1;
    for (int k = 0; k < 8; ++k) {
        QWidget* edit = dialog.GetDlgItem(edits[k]);
        QWidget* label = dialog.GetDlgItem(labels[k]);
        ASSERT_NE(edit, nullptr) << edits[k];
        ASSERT_NE(label, nullptr) << labels[k];
        EXPECT_GT(edit->geometry().top(), lastTop) << "row " << k;
        EXPECT_LT(label->geometry().right(), edit->geometry().left());
        lastTop = edit->geometry().top();
    }
    EXPECT_EQ(dialog.GetDlgItemText(228), "&Next");
    EXPECT_EQ(dialog.GetDlgItemText(227), "&Previous");
}

QImage faceOf(const QToolButton* b) {
    return b->icon().pixmap(16, 15).toImage().convertToFormat(QImage::Format_ARGB32);
}

// Image `index` of the bar's strip (bitmap 204, 16 x 15 each, magenta clear).
QImage stripImage(int index) {
    QPixmap image = acuiLoadBitmap(204u).copy(16 * index, 0, 16, 15);
    image.setMask(image.createMaskFromColor(QColor(255, 0, 255), Qt::MaskInColor));
    return image.toImage().convertToFormat(QImage::Format_ARGB32);
}

// Presses the drop-down arrow of a button and chooses an entry in the popup
// it opens; a popup still open after a while is closed, so nothing hangs.
void chooseFromDropDown(int commandId, int entry) {
    QToolButton* b = hostui::findCommandButton(commandId);
    ASSERT_NE(b, nullptr);
    bool opened = false;
    QObject scope; // ends the timers with this call
    QTimer::singleShot(0, &scope, [&] {
        if (QWidget* popup = QApplication::activePopupWidget()) {
            opened = true;
            QMetaObject::invokeMethod(popup, "chooseEntry", Q_ARG(int, entry));
        }
    });
    QTimer::singleShot(3000, &scope, [] {
        if (QWidget* popup = QApplication::activePopupWidget())
            popup->close();
    });
    const QPointF arrow(b->width() - 3, b->height() / 2);
    QMouseEvent press(QEvent::MouseButtonPress, arrow, b->mapToGlobal(arrow), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(b, &press);
    EXPECT_TRUE(opened) << commandId;
}

// A choice in the Cells Border or Alignment drop-down puts image 26 + style or
// 17 + index of the strip on the button, and the choice's name in its tooltip;
// the button keeps its drop-down arrow.
TEST_F(KelvarinDialogs, DropDownChoicesGiveTheButtonItsFaceAndTooltip) {
    QToolButton* border = hostui::findCommandButton(52768);
    QToolButton* alignment = hostui::findCommandButton(52786);
    ASSERT_NE(border, nullptr);
    ASSERT_NE(alignment, nullptr);
    ASSERT_FALSE(stripImage(29).isNull());

    chooseFromDropDown(52768, 3);
    EXPECT_EQ(faceOf(border), stripImage(29));
    EXPECT_EQ(border->toolTip(), QStringLiteral("Left Border"));
    chooseFromDropDown(52768, 9);
    EXPECT_EQ(faceOf(border), stripImage(35));
    EXPECT_EQ(border->toolTip(), QStringLiteral("No Border"));

    chooseFromDropDown(52786, 7);
    EXPECT_EQ(faceOf(alignment), stripImage(24));
    EXPECT_EQ(alignment->toolTip(), QStringLiteral("Bottom Center"));
    // Nothing chosen: face and tooltip stay.
    chooseFromDropDown(52786, -1);
    EXPECT_EQ(faceOf(alignment), stripImage(24));
    EXPECT_EQ(alignment->toolTip(), QStringLiteral("Bottom Center"));

    for (QToolButton* b : {border, alignment})
        EXPECT_EQ(b->popupMode(), QToolButton::MenuButtonPopup) << b->toolTip().toStdString();
    EXPECT_NE(faceOf(border), faceOf(alignment));
}

} // namespace
