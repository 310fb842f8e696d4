#pragma once
// The floating alignment picker ("Alignment", template 203): a click on
// item i sets alignment i + 1 on every selected cell; the toolbar's
// remembered alignment is left alone.

#include "controls/ItemPicker.h"

class CAlignPicker : public CItemPicker {
    Q_OBJECT
public:
    explicit CAlignPicker(QWidget* owner);

protected:
    void applyItem(int item) override;
};
