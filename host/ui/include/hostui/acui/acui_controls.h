#pragma once
// The controls of the host UI library that module dialogs and toolbars use,
// with the platform's names: a combo box with item data and sorted insertion,
// numeric and angle edits that refuse bad input with their own message, and
// the line weight combo box.

#include <QComboBox>
#include <QLineEdit>

#include <cstdint>
#include <string>
#include <vector>

class CAcUiComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CAcUiComboBox(QWidget* parent = nullptr);

    // Sorted lists insert in order, ignoring letter case; others append.
    // Returns the new item's index.
    int AddString(const std::string& text);
    int InsertString(int index, const std::string& text);
    int DeleteString(int index); // the count left, or -1 for a bad index
    void ResetContent();
    void SetItemData(int index, std::intptr_t data);
    std::intptr_t GetItemData(int index) const; // 0 for a bad index
    int GetCurSel() const;                      // -1 when nothing is selected
    void SetCurSel(int index);                  // -1 clears the selection
    int GetCount() const;
    std::string GetLBText(int index) const;
    // The index of the item with exactly this text (letter case ignored)
    // after start (-1: from the first), or -1.
    int FindStringExact(int start, const std::string& text) const;
    // The edit text of an editable combo box, else the selected item's text.
    std::string GetWindowText() const;
    void SetWindowText(const std::string& text);

    void setSorted(bool on) { m_sorted = on; }
    bool isSorted() const { return m_sorted; }

private:
    bool m_sorted = false;
};

// An edit that holds a real number. Empty text or anything that is not a
// number is refused by Validate() with a message box.
class CAcUiNumericEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CAcUiNumericEdit(QWidget* parent = nullptr);

    bool GetValue(double& value) const; // false when the text is no number
    void SetValue(double value);
    // True for a number; otherwise "Requires a number.", the text selected
    // and focused for correction, and false.
    virtual bool Validate();

    static constexpr const char* kRefusal = "Requires a number.";
};

// An edit that shows and accepts degrees, the drawing's angular unit, and
// hands its owner radians: typed "90" gives pi/2. A trailing "d" or degree
// sign is accepted.
class CAcUiAngleEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit CAcUiAngleEdit(QWidget* parent = nullptr);

    bool GetValue(double& radians) const;
    void SetValue(double radians);
    virtual bool Validate();

    static constexpr const char* kRefusal = "Requires an angle in degrees.";
};

// The host's line weights, owner-drawn as a line sample and its text. Item
// data is the weight: ByLayer -1, ByBlock -2, Default -3, then hundredths
// of a millimetre.
class CAcUiLineWeightComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit CAcUiLineWeightComboBox(QWidget* parent = nullptr);

    static const std::vector<int>& lineWeights();
    // "ByLayer", "ByBlock", "Default", "0.25 mm".
    static QString lineWeightText(int weight);

    // The weight of the selected item; -1 (ByLayer) when none is selected.
    int GetCurrentItemLineWeight() const;
    // Selects the item of a weight; false (selection unchanged) for a weight not in the list.
    bool SetCurrentItemLineWeight(int weight);

    // Wide enough to show the longest entry whole beside its line sample.
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
};

class CAcUiLineWeightComboBoxEx : public CAcUiLineWeightComboBox {
    Q_OBJECT
public:
    using CAcUiLineWeightComboBox::CAcUiLineWeightComboBox;
};
