#pragma once
// The host's function library in one include.
#include "acedads.h"
#include "acutads.h"
#include "adscodes.h"
