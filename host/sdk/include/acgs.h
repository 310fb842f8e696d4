#pragma once
// The host graphics system for modules: managers, devices, views and models
// (acgsGetGsManager), as previews in dialogs use them.
#include "hostui/gs.h"
