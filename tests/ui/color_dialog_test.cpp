// The host colour dialog on the offscreen platform: swatches, the typed
// index, ByLayer and ByBlock, a bad index refused, cancel, and the dialog
// reached through acedSetColorDialog.
#include "acedads.h"
#include "cadhost/ui_services.h"
#include "hostui/color_dialog.h"
#include "hostui/control_ids.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>

namespace hostui {
namespace {

struct RecordedBoxes : cadhost::MessageBoxService {
    std::vector<cadhost::MessageBoxRequest> seen;
    int messageBox(const cadhost::MessageBoxRequest& r) override {
        seen.push_back(r);
        return IDOK;
    }
    void alert(const std::string&) override {}
};

class ColorDialogTest : public ::testing::Test {
protected:
    void SetUp() override { cadhost::UiServices::install(&boxes); }
    void TearDown() override { cadhost::UiServices::resetToDefaults(); }

    static QLineEdit* box(ColorDialog& d) {
        return qobject_cast<QLineEdit*>(findControl(&d, ColorDialog::kIndexBox));
    }
    static void click(ColorDialog& d, int id) {
        auto* button = qobject_cast<QAbstractButton*>(findControl(&d, id));
        ASSERT_NE(button, nullptr) << id;
        QTest::mouseClick(button, Qt::LeftButton);
    }
    // Runs the dialog modally, acting on it once it is open.
    static int runModal(ColorDialog& d, const std::function<void()>& act) {
        QTimer::singleShot(0, &d, act);
        return d.exec();
    }

    RecordedBoxes boxes;
};

TEST_F(ColorDialogTest, SwatchClickedThenOkChoosesItsIndex) {
    ColorDialog d({0, true, 256});
    EXPECT_EQ(box(d)->text(), "ByBlock");
    click(d, ColorDialog::kSwatchBase + 42);
    EXPECT_EQ(box(d)->text(), "42");
    EXPECT_TRUE(d.swatch(42)->isChecked());
    EXPECT_FALSE(d.swatch(1)->isChecked());
    click(d, ColorDialog::kSwatchBase + 254); // a grey
    EXPECT_FALSE(d.swatch(42)->isChecked());
    const int result = runModal(d, [&] { click(d, 1); });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(d.chosenIndex(), 254);
    EXPECT_TRUE(boxes.seen.empty());
}

TEST_F(ColorDialogTest, TypedIndexMarksItsSwatchAndIsTaken) {
    ColorDialog d({5, false, 256});
    EXPECT_TRUE(d.swatch(5)->isChecked());
    QLineEdit* edit = box(d);
    edit->selectAll();
    QTest::keyClicks(edit, "130");
    EXPECT_TRUE(d.swatch(130)->isChecked());
    EXPECT_FALSE(d.swatch(5)->isChecked());
    const int result = runModal(d, [&] { QTest::keyClick(edit, Qt::Key_Return); });
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(d.chosenIndex(), 130);
}

TEST_F(ColorDialogTest, ByLayerAndByBlockOnlyWhenAllowed) {
    ColorDialog d({7, true, 1});
    click(d, ColorDialog::kByLayer);
    EXPECT_EQ(box(d)->text(), "ByLayer");
    EXPECT_FALSE(d.swatch(7)->isChecked());
    runModal(d, [&] { click(d, 1); });
    EXPECT_EQ(d.chosenIndex(), 256);

    ColorDialog again({7, true, 1});
    click(again, ColorDialog::kByBlock);
    runModal(again, [&] { click(again, 1); });
    EXPECT_EQ(again.chosenIndex(), 0);

    ColorDialog plain({0, false, 256});
    EXPECT_EQ(findControl(&plain, ColorDialog::kByLayer), nullptr);
    EXPECT_EQ(findControl(&plain, ColorDialog::kByBlock), nullptr);
    EXPECT_EQ(box(plain)->text(), ""); // ByBlock cannot be taken back here
}

TEST_F(ColorDialogTest, BadIndexIsRefusedWithAMessageAndTheDialogStaysOpen) {
    ColorDialog d({1, true, 256});
    int result = -1;
    QTimer::singleShot(0, &d, [&] {
        box(d)->setText("300");
        click(d, 1);
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(boxes.seen.size(), 1u);
        EXPECT_EQ(boxes.seen[0].caption, "Select Color");
        EXPECT_NE(boxes.seen[0].text.find("\"300\" is not a color index"), std::string::npos);
        box(d)->setText("");
        click(d, 1);
        EXPECT_EQ(boxes.seen.size(), 2u);
        box(d)->setText("9");
        click(d, 1);
    });
    result = d.exec();
    EXPECT_EQ(result, QDialog::Accepted);
    EXPECT_EQ(d.chosenIndex(), 9);
}

TEST_F(ColorDialogTest, CancelAndDoubleClick) {
    ColorDialog d({3, true, 256});
    click(d, ColorDialog::kSwatchBase + 100);
    EXPECT_EQ(runModal(d, [&] { click(d, 2); }), QDialog::Rejected);
    EXPECT_EQ(d.chosenIndex(), 3);

    ColorDialog quick({3, true, 256});
    EXPECT_EQ(runModal(quick, [&] { QTest::mouseDClick(quick.swatch(200), Qt::LeftButton); }),
              QDialog::Accepted);
    EXPECT_EQ(quick.chosenIndex(), 200);
}

TEST_F(ColorDialogTest, AcedSetColorDialogOpensTheInstalledDialog) {
    QtColorDialogs dialogs;
    cadhost::UiServices::install(&dialogs);
    auto answer = [](int id, const QString& text) {
        QTimer::singleShot(0, [id, text] {
            auto* d = qobject_cast<ColorDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(d, nullptr);
            EXPECT_EQ(d->windowTitle(), "Select Color");
            if (!text.isEmpty())
                box(*d)->setText(text);
            click(*d, id);
        });
    };
    int color = 0;
    answer(1, "12");
    EXPECT_EQ(acedSetColorDialog(color, true, 256), 1);
    EXPECT_EQ(color, 12);
    answer(2, "99");
    EXPECT_EQ(acedSetColorDialog(color, true, 256), 0);
    EXPECT_EQ(color, 12);
}

} // namespace
} // namespace hostui
