#pragma once
// Dialog templates: the text form of a module's dialog resource, one
// statement a line, geometry in dialog units.
//
//   DIALOG "Title" w h                         first statement, once
//   FONT 8 "Microsoft Sans Serif"
//   LTEXT "text" id x y w h [ETCHEDHORZ]       static label (id -1: none), or
//                                              an etched separator line
//   GROUPBOX "text" id x y w h
//   EDITTEXT id x y w h [class NAME]           AcUiNumericEdit | AcUiAngleEdit
//   COMBOBOX id x y w h [DROPDOWN|DROPDOWNLIST] [SORT] [class NAME]
//                                              AcUiComboBox | AcUiLineWeightComboBox[Ex]
//   LISTBOX id x y w h
//   CHECKBOX "text" id x y w h
//   PUSHBUTTON "text" id x y w h [OWNERDRAW]   OWNERDRAW: the dialog paints it
//   DEFPUSHBUTTON "text" id x y w h [OWNERDRAW]
//
// Keywords and class names ignore letter case; commas between values are
// allowed; "#" and "//" start comments. Texts take the resource escapes
// ("\n", "\t", "\\", "\"", and "" for a quote).

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cadhost {

struct DialogControl {
    enum class Kind { Label, GroupBox, Edit, ComboBox, ListBox, CheckBox, PushButton };
    enum class EditClass { Plain, Numeric, Angle };
    enum class ComboClass { Plain, LineWeight };

    Kind kind = Kind::Label;
    std::string text;
    int id = -1;
    int x = 0, y = 0, width = 0, height = 0; // dialog units
    bool isDefault = false;                  // DEFPUSHBUTTON
    EditClass editClass = EditClass::Plain;
    ComboClass comboClass = ComboClass::Plain;
    bool editable = true;   // COMBOBOX: DROPDOWN (or no style) edits, DROPDOWNLIST does not
    bool sorted = false;    // COMBOBOX SORT
    bool ownerDraw = false; // PUSHBUTTON OWNERDRAW
    bool etched = false;    // LTEXT ETCHEDHORZ
};

struct DialogTemplate {
    std::string title;
    int width = 0, height = 0; // dialog units
    int fontPointSize = 8;
    std::string fontName = "Microsoft Sans Serif";
    std::vector<DialogControl> controls; // in template (tab) order

    // Nothing, and the reason with its line number in error, for a template
    // that is not well formed: unknown statements or classes, missing or
    // extra values, numbers out of range, a control id used twice.
    static std::optional<DialogTemplate> parse(std::string_view text, std::string* error = nullptr);

    // The control with the id (not -1), or null.
    const DialogControl* control(int id) const;
};

} // namespace cadhost
