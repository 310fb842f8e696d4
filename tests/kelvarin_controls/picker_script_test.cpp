// The script directives against the border and alignment windows, through
// the same calls the script runner makes: "@key" and "@choose" in the open
// popup, "@tearoff" of it, "@picker" on a shown floating picker.
#include "controls/AlignPopup.h"
#include "controls/BorderPicker.h"
#include "controls/BorderPopup.h"

#include "acwin.h"
#include "hostapp/ui_automation.h"
#include "support/kelvarin_resources.h"

#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

// Runs the popup while the directives are posted; a popup the directives
// leave open is cancelled after a while, so a failure never hangs.
int runScripted(CItemPopup& popup, const std::function<void()>& directives) {
    QTimer::singleShot(0, &popup, [&] { directives(); });
    QTimer::singleShot(3000, &popup, [&] { popup.close(); });
    return popup.DoModal();
}

class RecordingBorderPicker : public CBorderPicker {
public:
    using CBorderPicker::CBorderPicker;
    std::vector<int> applied;

protected:
    void applyItem(int style) override { applied.push_back(style); }
};

} // namespace

TEST(PickerScripts, KeysAndChoiceReachTheOpenPopup) {
    KelvarinResources resources;
    CAlignPopup keyed(40, 50, nullptr);
    EXPECT_EQ(runScripted(keyed,
                          [&] {
                              EXPECT_EQ(hostapp::openPopup(), &keyed);
                              EXPECT_FALSE(hostapp::pressKey("Down"));
                              EXPECT_FALSE(hostapp::pressKey("Down"));
                              EXPECT_FALSE(hostapp::pressKey("Left"));
                              EXPECT_FALSE(hostapp::pressKey("Enter"));
                          }),
              IDOK);
    EXPECT_EQ(keyed.selection(), 2) << "Top Left, Middle Left, then Left: Top Right";

    CBorderPopup chosen(40, 50, nullptr);
    EXPECT_EQ(runScripted(chosen, [&] { EXPECT_FALSE(hostapp::chooseInPopup(9)); }), IDOK);
    EXPECT_EQ(chosen.selection(), 9);
}

TEST(PickerScripts, TearOffAndThePickerByItsTitle) {
    KelvarinResources resources;
    CBorderPopup popup(40, 50, nullptr);
    EXPECT_EQ(runScripted(popup, [&] { EXPECT_FALSE(hostapp::tearOffPopup()); }), IDCANCEL);
    EXPECT_TRUE(popup.dragging());

    QWidget owner;
    RecordingBorderPicker picker(&owner);
    ASSERT_TRUE(picker.Create(&owner));
    EXPECT_TRUE(hostapp::clickPickerControl("Border", 1006)) << "hidden: not found";
    picker.show();
    EXPECT_FALSE(hostapp::clickPickerControl("Border", 1006));
    const auto missing = hostapp::clickPickerControl("Border", 1015);
    ASSERT_TRUE(missing) << "an alignment id on the border picker";
    EXPECT_EQ(*missing, "the picker \"Border\" has no control 1015");
    QCoreApplication::processEvents();
    EXPECT_EQ(picker.applied, (std::vector<int>{1}));
}
