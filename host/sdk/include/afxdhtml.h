#pragma once
// The framework's HTML dialog for modules (CDHtmlDialog).

#include "acui.h"
#include "hostui/acui/html_dialog.h"
