// Tells the floating border picker where the toolbar keeps its remembered
// border colour and line weight; read at each click, never written.
#include "app/KelvarinApp.h"
#include "controls/BorderPicker.h"
#include "toolbar/KvToolbar.h"

namespace {

const bool registered = [] {
    CBorderPicker::setSettingsSource([] {
        CKvToolbar& bar = kelvarinToolbar();
        return CBorderPicker::Settings{bar.borderColor, bar.currentLineWeight()};
    });
    return true;
}();

} // namespace
