// Dialogs built from template resources: layout in dialog units, control
// ids and types, routing of buttons, refusal of bad numbers, angles in
// degrees, the line weight and item-data combo boxes.
#include "acui.h"
#include "arxHeaders.h"

#include "cadhost/command_log.h"
#include "cadhost/resources.h"
#include "cadhost/ui_services.h"
#include "hostui/qt_ui_services.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <numbers>

namespace {

const char* kInsertBlock = R"(DIALOG "Insert a Block in a Table Cell" 151 141
FONT 8 "Microsoft Sans Serif"
LTEXT "&Name:" -1 7 8 22 8
COMBOBOX 203 40 7 104 53 DROPDOWN SORT class AcUiComboBox
GROUPBOX "Properties" -1 7 28 137 83
LTEXT "Cell alignment:" -1 15 42 48 8
COMBOBOX 206 66 40 63 48 DROPDOWNLIST
LTEXT "Scale:" -1 15 60 20 8
EDITTEXT 207 66 60 40 12 class AcUiNumericEdit
CHECKBOX "AutoFit" 204 66 77 37 10
LTEXT "Rotation angle:" -1 15 93 48 8
EDITTEXT 208 66 92 40 12 class AcUiAngleEdit
COMBOBOX 209 66 106 63 60 DROPDOWNLIST class AcUiLineWeightComboBox
DEFPUSHBUTTON "OK" 1 18 122 43 13
PUSHBUTTON "Cancel" 2 85 122 43 13
PUSHBUTTON "&Pick <" 230 110 122 30 13
)";

class AcUiDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        cadhost::UiServices::resetToDefaults(); // message boxes go to the log
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(dir.path() + "/DIALOG");
        QFile file(dir.path() + "/DIALOG/201.dlg");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(kInsertBlock);
        file.close();
        QFile bad(dir.path() + "/DIALOG/202.dlg");
        ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
        bad.write("DIALOG \"Broken\" 10 10\nSLIDER 1 2 3 4 5\n");
        bad.close();
        cadhostRegisterResources(module, cadhostQrcResources(dir.path().toStdString()));
        mark = cadhost::CommandLineLog::instance().historySize();
    }
    void TearDown() override { cadhostRegisterResources(module, nullptr); }
    std::string log() const { return cadhost::CommandLineLog::instance().historySince(mark); }

    QTemporaryDir dir;
    HINSTANCE module = reinterpret_cast<HINSTANCE>(0x5000);
    std::size_t mark = 0;
};

// Runs steps one after another from the dialog's own loop.
struct StepState {
    std::vector<std::function<void()>> steps;
    std::size_t index = 0;
};

void runNextStep(const std::shared_ptr<StepState>& state) {
    if (state->index >= state->steps.size())
        return;
    state->steps[state->index++]();
    QTimer::singleShot(0, [state] { runNextStep(state); });
}

void runSteps(std::vector<std::function<void()>> steps) {
    auto state = std::make_shared<StepState>();
    state->steps = std::move(steps);
    QTimer::singleShot(0, [state] { runNextStep(state); });
}

class RecordingDialog : public CAcUiDialog {
public:
    using CAcUiDialog::CAcUiDialog;
    std::vector<int> commands;
    int inits = 0, oks = 0, cancels = 0;
    bool refuseCancel = false;
    bool OnInitDialog() override {
        ++inits;
        item<CAcUiNumericEdit>(207)->SetValue(1);
        item<CAcUiAngleEdit>(208)->SetValue(0);
        return CAcUiDialog::OnInitDialog();
    }
    void OnOK() override {
        ++oks;
        CAcUiDialog::OnOK();
    }
    void OnCancel() override {
        ++cancels;
        if (!refuseCancel)
            CAcUiDialog::OnCancel();
    }
    void OnCommand(int id) override { commands.push_back(id); }
};

TEST(DialogUnits, ScalesByAverageWidthAndHeight) {
    const hostui::DialogUnits units(6, 13);
    // 7·6/4 = 10.5 and 8·13/8 = 13: halves round away from zero.
    EXPECT_EQ(units.toPixels(7, 8, 22, 8), QRect(11, 13, 33, 13));
    EXPECT_EQ(units.toPixels(66, 92, 40, 12), QRect(99, 150, 60, 20));
    EXPECT_EQ(units.toPixelsX(0), 0);
    EXPECT_EQ(units.toPixelsX(-4), -6);

    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(8);
    const hostui::DialogUnits fromFont = hostui::DialogUnits::fromFont(font);
    const QFontMetrics metrics(font);
    EXPECT_EQ(fromFont.charHeight(), metrics.height());
    EXPECT_GT(fromFont.avgCharWidth(), 2);
    EXPECT_LT(fromFont.avgCharWidth(), metrics.height());
}

TEST_F(AcUiDialogTest, ControlsSitAtTheirRectanglesWithTheirIdsAndTypes) {
    cadhost::ResourceScope scope(module);
    CAcUiDialog dialog(201);
    ASSERT_TRUE(dialog.hasTemplate()) << dialog.templateError();
    ASSERT_TRUE(dialog.CreateControls());
    EXPECT_TRUE(dialog.CreateControls()) << "a second call builds nothing new";
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Insert a Block in a Table Cell"));
    EXPECT_EQ(dialog.font().pointSize(), 8);

    const hostui::DialogUnits units = hostui::DialogUnits::fromFont(dialog.font());
    EXPECT_EQ(dialog.size(), QSize(units.toPixelsX(151), units.toPixelsY(141)));
    EXPECT_EQ(dialog.GetDlgItem(207)->geometry(), units.toPixels(66, 60, 40, 12));
    EXPECT_EQ(dialog.GetDlgItem(204)->geometry(), units.toPixels(66, 77, 37, 10));
    EXPECT_EQ(dialog.GetDlgItem(1)->geometry(), units.toPixels(18, 122, 43, 13));
    // A combo box's template height is its open list; closed it is an edit line high.
    EXPECT_EQ(dialog.GetDlgItem(203)->geometry(), units.toPixels(40, 7, 104, 12));

    // The labels and the group box carry id -1 and sit where they should too.
    const auto labels = dialog.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 4);
    EXPECT_EQ(labels[0]->geometry(), units.toPixels(7, 8, 22, 8));
    EXPECT_EQ(labels[0]->property("controlId").toInt(), -1);
    EXPECT_EQ(labels[0]->buddy(), dialog.GetDlgItem(203)) << "the mnemonic reaches the input";
    EXPECT_EQ(dialog.findChild<QGroupBox*>()->geometry(), units.toPixels(7, 28, 137, 83));

    for (int id : {203, 206, 207, 204, 208, 209, 1, 2, 230})
        EXPECT_EQ(dialog.GetDlgItem(id)->property("controlId").toInt(), id) << id;
    auto* names = dialog.item<CAcUiComboBox>(203);
    ASSERT_TRUE(names);
    EXPECT_TRUE(names->isEditable());
    EXPECT_TRUE(names->isSorted());
    ASSERT_TRUE(dialog.item<CAcUiComboBox>(206));
    EXPECT_FALSE(dialog.item<CAcUiComboBox>(206)->isEditable());
    EXPECT_TRUE(dialog.item<CAcUiNumericEdit>(207));
    EXPECT_TRUE(dialog.item<CAcUiAngleEdit>(208));
    EXPECT_TRUE(dialog.item<CAcUiLineWeightComboBox>(209));
    EXPECT_TRUE(dialog.item<QCheckBox>(204));
    EXPECT_TRUE(dialog.item<QPushButton>(1)->isDefault());
    EXPECT_EQ(dialog.item<CAcUiNumericEdit>(203), nullptr) << "item() checks the type";
    EXPECT_EQ(dialog.GetDlgItem(999), nullptr);

    dialog.SetDlgItemText(207, "2.5");
    EXPECT_EQ(dialog.GetDlgItemText(207), "2.5");
    EXPECT_EQ(dialog.GetDlgItemText(204), "AutoFit");
    dialog.CheckDlgButton(204, true);
    EXPECT_TRUE(dialog.IsDlgButtonChecked(204));
    EXPECT_FALSE(dialog.IsDlgButtonChecked(207));
    dialog.EnableDlgItem(207, false);
    EXPECT_FALSE(dialog.IsDlgItemEnabled(207));
    EXPECT_FALSE(dialog.IsDlgItemEnabled(999));
}

TEST_F(AcUiDialogTest, OkWaitsForValidNumbersAndButtonsReachTheirHandlers) {
    cadhost::ResourceScope scope(module);
    RecordingDialog dialog(201);
    bool stayedOpen = false;
    runSteps({
        [&] { QTest::mouseClick(dialog.GetDlgItem(230), Qt::LeftButton); },
        [&] { dialog.item<QCheckBox>(204)->click(); },
        [&] {
            dialog.SetDlgItemText(207, "abc");
            dialog.item<QPushButton>(1)->click();
        },
        [&] {
            stayedOpen = dialog.isVisible();
            // A disabled box is not asked: the user could not correct it.
            dialog.EnableDlgItem(207, false);
            dialog.SetDlgItemText(208, "90");
            dialog.item<QPushButton>(1)->click();
        },
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(dialog.inits, 1);
    EXPECT_EQ(dialog.oks, 1) << "OnOK runs only once every number was accepted";
    EXPECT_EQ(dialog.commands, (std::vector<int>{230, 204}));
    EXPECT_NE(log().find("[Message box] cadhost: Requires a number."), std::string::npos) << log();
    double radians = 0;
    ASSERT_TRUE(dialog.item<CAcUiAngleEdit>(208)->GetValue(radians));
    EXPECT_DOUBLE_EQ(radians, std::numbers::pi / 2);
}

TEST_F(AcUiDialogTest, CancelEscAndCloseGoToOnCancel) {
    cadhost::ResourceScope scope(module);
    {
        RecordingDialog dialog(201);
        runSteps({[&] { dialog.item<QPushButton>(2)->click(); }});
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(dialog.cancels, 1);
    }
    {
        RecordingDialog dialog(201);
        runSteps({[&] { QTest::keyClick(&dialog, Qt::Key_Escape); }});
        EXPECT_EQ(dialog.DoModal(), IDCANCEL);
        EXPECT_EQ(dialog.cancels, 1);
    }
    {
        RecordingDialog dialog(201);
        dialog.refuseCancel = true;
        bool openAfterClose = false;
        runSteps({[&] { dialog.close(); },
                  [&] {
                      openAfterClose = dialog.isVisible();
                      dialog.EndDialog(7);
                  }});
        EXPECT_EQ(dialog.DoModal(), 7);
        EXPECT_TRUE(openAfterClose) << "a cancel the dialog refuses keeps it open";
        EXPECT_EQ(dialog.cancels, 1);
    }
}

TEST_F(AcUiDialogTest, EditorCommandHidesAndRestoresWithoutEndingTheDialog) {
    cadhost::ResourceScope scope(module);
    RecordingDialog dialog(201);
    bool hidden = false, back = false;
    runSteps({[&] { dialog.BeginEditorCommand(); }, [&] { hidden = !dialog.isVisible(); },
              [&] { dialog.CompleteEditorCommand(); },
              [&] {
                  back = dialog.isVisible();
                  dialog.item<QPushButton>(1)->click();
              }});
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(back);
}

TEST_F(AcUiDialogTest, MissingOrBrokenTemplatesFailWithAReason) {
    CAcUiDialog outside(201); // constructed outside the module's scope
    EXPECT_FALSE(outside.hasTemplate());
    EXPECT_EQ(outside.DoModal(), -1);
    EXPECT_NE(log().find("dialog 201 is not among the resources"), std::string::npos) << log();

    cadhost::ResourceScope scope(module);
    CAcUiDialog broken(202);
    EXPECT_FALSE(broken.hasTemplate());
    EXPECT_NE(broken.templateError().find("SLIDER"), std::string::npos);
    EXPECT_EQ(broken.DoModal(), -1);
    EXPECT_EQ(broken.GetDlgItem(1), nullptr);
}

TEST(AcUiEdits, NumericAndAngleValues) {
    cadhost::UiServices::resetToDefaults();
    CAcUiNumericEdit number;
    double v = 0;
    for (const char* good : {"1", " 2.5 ", "-3", "+4", "1e3", ".5"}) {
        number.setText(good);
        EXPECT_TRUE(number.GetValue(v)) << good;
        EXPECT_TRUE(number.Validate()) << good;
    }
    for (const char* bad : {"", "abc", "1,5", "2x", "nan", "inf", "1e999"}) {
        number.setText(bad);
        EXPECT_FALSE(number.GetValue(v)) << bad;
        EXPECT_FALSE(number.Validate()) << bad;
    }
    number.SetValue(0.75);
    EXPECT_EQ(number.text(), QStringLiteral("0.75"));
    number.SetValue(1);
    EXPECT_EQ(number.text(), QStringLiteral("1"));

    CAcUiAngleEdit angle;
    angle.SetValue(std::numbers::pi / 2);
    EXPECT_EQ(angle.text(), QStringLiteral("90")) << "shown in degrees";
    angle.SetValue(-std::numbers::pi / 4);
    EXPECT_EQ(angle.text(), QStringLiteral("-45"));
    angle.setText("180");
    ASSERT_TRUE(angle.GetValue(v));
    EXPECT_DOUBLE_EQ(v, std::numbers::pi);
    angle.setText("30d");
    ASSERT_TRUE(angle.GetValue(v));
    EXPECT_DOUBLE_EQ(v, std::numbers::pi / 6);
    angle.setText(QStringLiteral("45°"));
    EXPECT_TRUE(angle.GetValue(v));
    angle.setText("east");
    EXPECT_FALSE(angle.GetValue(v));
    EXPECT_FALSE(angle.Validate());
}

TEST(AcUiCombos, ItemDataSortingAndEditText) {
    CAcUiComboBox sorted;
    sorted.setSorted(true);
    sorted.setEditable(true);
    sorted.setEditText("typed");
    EXPECT_EQ(sorted.AddString("beta"), 0);
    EXPECT_EQ(sorted.AddString("Alpha"), 0);
    EXPECT_EQ(sorted.AddString("gamma"), 2);
    EXPECT_EQ(sorted.AddString("BETA"), 2) << "equal names go after, case ignored";
    EXPECT_EQ(sorted.GetCount(), 4);
    EXPECT_EQ(sorted.GetCurSel(), -1) << "adding selects nothing";
    EXPECT_EQ(sorted.GetWindowText(), "typed");
    sorted.SetItemData(3, -42);
    EXPECT_EQ(sorted.GetItemData(3), -42);
    EXPECT_EQ(sorted.GetItemData(9), 0);
    EXPECT_EQ(sorted.FindStringExact(-1, "GAMMA"), 3);
    EXPECT_EQ(sorted.FindStringExact(-1, "gam"), -1);
    sorted.SetCurSel(0);
    EXPECT_EQ(sorted.GetWindowText(), "Alpha");
    sorted.SetCurSel(17);
    EXPECT_EQ(sorted.GetCurSel(), -1);

    CAcUiComboBox plain;
    plain.AddString("b");
    plain.AddString("a");
    EXPECT_EQ(plain.GetLBText(1), "a") << "unsorted lists append";
}

TEST(AcUiCombos, LineWeightsInTheHostsOrder) {
    CAcUiLineWeightComboBoxEx combo;
    const std::vector<int> expected{-1, -2, -3, 0,  5,  9,  13,  15,  18,  20,  25,  30,  35, 40,
                                    50, 53, 60, 70, 80, 90, 100, 106, 120, 140, 158, 200, 211};
    ASSERT_EQ(combo.count(), static_cast<int>(expected.size()));
    for (int i = 0; i < combo.count(); ++i) {
        combo.setCurrentIndex(i);
        EXPECT_EQ(combo.GetCurrentItemLineWeight(), expected[i]) << i;
    }
    EXPECT_EQ(combo.itemText(0), QStringLiteral("ByLayer"));
    EXPECT_EQ(combo.itemText(1), QStringLiteral("ByBlock"));
    EXPECT_EQ(combo.itemText(2), QStringLiteral("Default"));
    EXPECT_EQ(combo.itemText(3), QStringLiteral("0.00 mm"));
    EXPECT_EQ(combo.itemText(26), QStringLiteral("2.11 mm"));
    EXPECT_TRUE(combo.SetCurrentItemLineWeight(25));
    EXPECT_EQ(combo.currentText(), QStringLiteral("0.25 mm"));
    EXPECT_FALSE(combo.SetCurrentItemLineWeight(7));
    EXPECT_EQ(combo.GetCurrentItemLineWeight(), 25);
    combo.setCurrentIndex(-1);
    EXPECT_EQ(combo.GetCurrentItemLineWeight(), -1);

    // Owner-drawn: the closed box paints a sample line left of the text.
    combo.SetCurrentItemLineWeight(211);
    combo.resize(160, 24);
    QImage image(combo.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    combo.render(&image);
    int dark = 0;
    for (int x = 6; x < 40; ++x)
        if (qGray(image.pixel(x, image.height() / 2)) < 128)
            ++dark;
    EXPECT_GT(dark, 20) << "a thick sample line is drawn";

    // At its size hint the closed box shows every entry whole right of the
    // sample (40 pixels and its margins, 48 in all).
    combo.resize(combo.sizeHint());
    QStyleOptionComboBox option;
    option.initFrom(&combo);
    option.subControls = QStyle::SC_All;
    const QRect field = combo.style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                      QStyle::SC_ComboBoxEditField, &combo);
    for (int i = 0; i < combo.count(); ++i)
        EXPECT_LE(48 + combo.fontMetrics().horizontalAdvance(combo.itemText(i)), field.width())
            << combo.itemText(i).toStdString();
}

} // namespace

namespace {

TEST(HostAlert, TheAlertBoxCarriesTheHostsName) {
    hostui::QtMessageBoxes boxes;
    cadhost::UiServices::install(&boxes);
    QString title, text;
    QTimer::singleShot(0, [&] {
        if (QWidget* box = QApplication::activeModalWidget()) {
            title = box->windowTitle();
            if (auto* message = qobject_cast<QMessageBox*>(box))
                text = message->text();
            QTest::keyClick(box, Qt::Key_Escape);
        }
    });
    EXPECT_EQ(acedAlert("Can't create toolbar."), RTNORM);
    cadhost::UiServices::resetToDefaults();
    EXPECT_EQ(title, QStringLiteral("cadhost"));
    EXPECT_EQ(text, QStringLiteral("Can't create toolbar."));
}

} // namespace

namespace {

TEST_F(AcUiDialogTest, AQuittingApplicationEndsTheDialogAsCancelled) {
    cadhost::ResourceScope scope(module);
    RecordingDialog dialog(201);
    QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.oks, 0);
    // Leave the application able to run loops again for the later tests.
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
}

} // namespace
