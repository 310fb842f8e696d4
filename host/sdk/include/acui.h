#pragma once
// The host UI library: dialog base, combo box, numeric and angle edits,
// line weight combo box.
#include "acuiresources.h"
#include "hostui/acui/acui_controls.h"
#include "hostui/acui/acui_dialog.h"
#include "hostui/acui/dialog_units.h"
#include "rxmfcapi.h"
