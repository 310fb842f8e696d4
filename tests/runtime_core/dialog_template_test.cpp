// The dialog template parser: every statement, and clear refusals.
#include "cadhost/dialog_template.h"

#include <gtest/gtest.h>

namespace cadhost {
namespace {

using Kind = DialogControl::Kind;

TEST(DialogTemplate, ReadsEveryStatement) {
    std::string error;
    auto t = DialogTemplate::parse(
        "# the insert-block dialog\r\n"
        "DIALOG \"Insert a Block in a Table Cell\" 151 141\r\n"
        "FONT 9, \"Segoe UI\"\n"
        "LTEXT \"&Name:\" -1 7 8 22 8\n"
        "combobox 203 40 7 104 53 DROPDOWN SORT class AcUiComboBox\n"
        "GROUPBOX \"Properties\", -1, 7, 28, 137, 83   // commas as in resource scripts\n"
        "COMBOBOX 206 66 40 63 48 DROPDOWNLIST\n"
        "COMBOBOX 209 66 40 63 48 class acuilineweightcombobox\n"
        "EDITTEXT 207 66 60 40 12 class AcUiNumericEdit\n"
        "EDITTEXT 208 66 92 40 12 CLASS AcUiAngleEdit\n"
        "EDITTEXT 210 1 2 3 4\n"
        "LISTBOX 211 1 2 30 40\n"
        "CHECKBOX \"AutoFit\" 204 66 77 37 10\n"
        "DEFPUSHBUTTON \"OK\" 1 18 122 43 13\n"
        "PUSHBUTTON \"Say \"\"hi\"\"\\tnow\" 2 85 122 43 13\n",
        &error);
    ASSERT_TRUE(t) << error;
    EXPECT_EQ(t->title, "Insert a Block in a Table Cell");
    EXPECT_EQ(t->width, 151);
    EXPECT_EQ(t->height, 141);
    EXPECT_EQ(t->fontPointSize, 9);
    EXPECT_EQ(t->fontName, "Segoe UI");
    ASSERT_EQ(t->controls.size(), 12u);

    const DialogControl& label = t->controls[0];
    EXPECT_EQ(label.kind, Kind::Label);
    EXPECT_EQ(label.text, "&Name:");
    EXPECT_EQ(label.id, -1);
    EXPECT_EQ((std::array{label.x, label.y, label.width, label.height}), (std::array{7, 8, 22, 8}));

    const DialogControl* names = t->control(203);
    ASSERT_TRUE(names);
    EXPECT_EQ(names->kind, Kind::ComboBox);
    EXPECT_TRUE(names->editable);
    EXPECT_TRUE(names->sorted);
    EXPECT_EQ(names->height, 53);
    EXPECT_FALSE(t->control(206)->editable);
    EXPECT_FALSE(t->control(206)->sorted);
    EXPECT_EQ(t->control(209)->comboClass, DialogControl::ComboClass::LineWeight);
    EXPECT_EQ(t->control(207)->editClass, DialogControl::EditClass::Numeric);
    EXPECT_EQ(t->control(208)->editClass, DialogControl::EditClass::Angle);
    EXPECT_EQ(t->control(210)->editClass, DialogControl::EditClass::Plain);
    EXPECT_EQ(t->control(211)->kind, Kind::ListBox);
    EXPECT_EQ(t->control(204)->kind, Kind::CheckBox);
    EXPECT_TRUE(t->control(1)->isDefault);
    EXPECT_FALSE(t->control(2)->isDefault);
    EXPECT_EQ(t->control(2)->text, "Say \"hi\"\tnow");
    EXPECT_EQ(t->controls[2].kind, Kind::GroupBox) << "template order is kept";
    EXPECT_EQ(t->control(-1), nullptr);
    EXPECT_EQ(t->control(999), nullptr);
}

TEST(DialogTemplate, DefaultFontAndMinimalTemplate) {
    auto t = DialogTemplate::parse("DIALOG \"Empty\" 10 20");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->fontName, "Microsoft Sans Serif");
    EXPECT_EQ(t->fontPointSize, 8);
    EXPECT_TRUE(t->controls.empty());
}

TEST(DialogTemplate, RefusesWithTheLineAndTheReason) {
    struct Case {
        const char* text;
        const char* expect; // part of the error
    };
    const Case cases[] = {
        {"", "no DIALOG"},
        {"# only a comment\n", "no DIALOG"},
        {"LTEXT \"a\" -1 1 1 1 1\n", "line 1: the template must start with DIALOG"},
        {"DIALOG \"a\" 10 10\nDIALOG \"b\" 10 10\n", "line 2: a second DIALOG"},
        {"DIALOG \"a\" 10\n", "expected height"},
        {"DIALOG a 10 10\n", "title in quotes"},
        {"DIALOG \"a\" 0 10\n", "width 0 is out of range"},
        {"DIALOG \"a\" 10 10 7\n", "unexpected \"7\""},
        {"DIALOG \"a\" 10 10\nFONT \"Arial\"\n", "point size"},
        {"DIALOG \"a\" 10 10\nFONT 8 \"\"\n", "font name is empty"},
        {"DIALOG \"a\" 10 10\nLTEXT \"unterminated -1 1 1 1 1\n",
         "line 2: a text has no closing quote"},
        {"DIALOG \"a\" 10 10\nLTEXT \"x\" -1 1 1 1\n", "LTEXT: expected height"},
        {"DIALOG \"a\" 10 10\nLTEXT \"x\" -1 1 1 -5 1\n", "width -5 is out of range"},
        {"DIALOG \"a\" 10 10\nLTEXT \"x\" -2 1 1 5 1\n", "control id -2 is out of range"},
        {"DIALOG \"a\" 10 10\nLTEXT \"x\" -1 99999 1 5 1\n", "x 99999 is out of range"},
        {"DIALOG \"a\" 10 10\nEDITTEXT 5 1 1 5 1 class Spinner\n",
         "unknown edit class \"Spinner\""},
        {"DIALOG \"a\" 10 10\nEDITTEXT 5 1 1 5 1 class\n", "class needs a name"},
        {"DIALOG \"a\" 10 10\nEDITTEXT 5 1 1 5 1 SORT\n", "EDITTEXT takes only class"},
        {"DIALOG \"a\" 10 10\nCOMBOBOX 5 1 1 5 1 FANCY\n", "unexpected \"FANCY\""},
        {"DIALOG \"a\" 10 10\nCOMBOBOX 5 1 1 5 1 class AcUiNumericEdit\n",
         "unknown combo box class"},
        {"DIALOG \"a\" 10 10\nEDITTEXT 5 1 1 5 1\nCHECKBOX \"c\" 5 1 1 5 1\n",
         "line 3: control id 5 is used twice"},
        {"DIALOG \"a\" 10 10\nSLIDER 5 1 1 5 1\n", "unknown statement \"SLIDER\""},
        {"DIALOG \"a\" 10 10\n\"x\" 5\n", "starts with a keyword"},
        {"DIALOG \"a\" 10 10\nPUSHBUTTON 1 1 1 5 1\n", "text in quotes"},
        {"DIALOG \"a\" 10 10\nEDITTEXT x1 1 1 5 1\n", "found \"x1\""},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(DialogTemplate::parse(c.text, &error)) << c.text;
        EXPECT_NE(error.find(c.expect), std::string::npos)
            << "template: " << c.text << "\nerror: " << error;
    }
}

TEST(DialogTemplate, StaticLabelsMayShareIdMinusOne) {
    auto t = DialogTemplate::parse("DIALOG \"a\" 10 10\nLTEXT \"x\" -1 0 0 1 1\n"
                                   "LTEXT \"y\" -1 0 0 1 1\nGROUPBOX \"g\" -1 0 0 1 1\n");
    ASSERT_TRUE(t);
    EXPECT_EQ(t->controls.size(), 3u);
}

} // namespace
} // namespace cadhost

namespace cadhost {
namespace {

TEST(DialogTemplate, OwnerDrawnButtonsAndEtchedLines) {
    std::string error;
    auto t = DialogTemplate::parse("DIALOG \"\" 106 103\n"
                                   "PUSHBUTTON \"\" 202 5 26 12 10 OWNERDRAW\n"
                                   "pushbutton \"More\" 201 5 87 96 12\n"
                                   "LTEXT \"\" 1004 2 83 104 1 etchedhorz\n",
                                   &error);
    ASSERT_TRUE(t) << error;
    EXPECT_TRUE(t->control(202)->ownerDraw);
    EXPECT_FALSE(t->control(201)->ownerDraw);
    EXPECT_TRUE(t->control(1004)->etched);
    EXPECT_FALSE(t->control(202)->etched);
    // Each style belongs to its own kind of control.
    EXPECT_FALSE(
        DialogTemplate::parse("DIALOG \"\" 9 9\nLTEXT \"\" 1 1 1 1 1 OWNERDRAW\n", &error));
    EXPECT_NE(error.find("unexpected \"OWNERDRAW\""), std::string::npos) << error;
    EXPECT_FALSE(DialogTemplate::parse("DIALOG \"\" 9 9\nPUSHBUTTON \"\" 1 1 1 1 1 ETCHEDHORZ\n"));
    EXPECT_FALSE(DialogTemplate::parse("DIALOG \"\" 9 9\nPUSHBUTTON \"\" 1 1 1 1 1 \"x\"\n"));
}

} // namespace
} // namespace cadhost
