#pragma once
// The Cells Border drop-down: ten border styles in a 5 x 2 grid.

#include "controls/ItemPopup.h"

class CBorderPopup : public CItemPopup {
public:
    CBorderPopup(int posX, int posY, QWidget* owner)
        : CItemPopup(kBorderItems, itemgrid::borderLayout(), posX, posY, owner) {}
};
