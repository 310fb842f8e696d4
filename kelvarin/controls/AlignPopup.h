#pragma once
// The Alignment drop-down: nine cell alignments in a 3 x 3 grid; the item
// index is the host alignment value - 1.

#include "controls/ItemPopup.h"

class CAlignPopup : public CItemPopup {
public:
    CAlignPopup(int posX, int posY, QWidget* owner)
        : CItemPopup(kAlignItems, itemgrid::alignLayout(), posX, posY, owner) {}
};
