#pragma once
// Control bars for modules: a module's toolbar docked or floating in the
// host frame.
#include "hostui/acui/acui_control_bar.h"
