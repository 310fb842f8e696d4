#pragma once
// Everything a module of this host includes, in one header.
#include "accmd.h"
#include "acdocman.h"
#include "aced.h"
#include "acedads.h"
#include "acuiresources.h"
#include "acutads.h"
#include "acwin.h"
#include "adscodes.h"
#include "afxdlgs.h"
#include "dbapserv.h"
#include "hostresources.h"
#include "rxdefs.h"
#include "rxdlinkr.h"
#include "rxmfcapi.h"
#include "rxobject.h"

#include "acdb/acdb.h"
