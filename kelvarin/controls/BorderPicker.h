#pragma once
// The floating border picker ("Border", template 207): a click on style c
// writes that style's edges on the selected cells, in the toolbar's
// remembered border colour and the line weight shown at that moment. The
// toolbar's remembered style is left alone.

#include "controls/ItemPicker.h"

#include <functional>

class CBorderPicker : public CItemPicker {
    Q_OBJECT
public:
    explicit CBorderPicker(QWidget* owner);

    // What the toolbar holds at the moment of a click.
    struct Settings {
        int rememberedBorderColor = -1;
        int lineWeight = -1;
    };
    // The module tells the pickers where the toolbar's settings are; without
    // a source the colour is left unset and the weight ByLayer.
    static void setSettingsSource(std::function<Settings()> source);
    static Settings currentSettings();

protected:
    void applyItem(int style) override;
};
