#pragma once
// Internet access for modules: HTTP GET with a connect timeout, a total
// timeout and a cap on the answer's size (cadhost::httpGet), so no module
// waits on a server without limit.

#include "cadhost/http_client.h"
