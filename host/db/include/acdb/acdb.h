#pragma once
// Everything of the drawing database in one include.
#include "acdb/color.h"
#include "acdb/database.h"
#include "acdb/dictionary.h"
#include "acdb/entity.h"
#include "acdb/geometry.h"
#include "acdb/object.h"
#include "acdb/objectid.h"
#include "acdb/status.h"
#include "acdb/symboltables.h"
#include "acdb/table.h"
#include "acdb/tablestyle.h"
