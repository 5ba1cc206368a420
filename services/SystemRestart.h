// Asking Windows to restart once the new driver is in place.
#pragma once

#include "platform/Win.h"

// Enables the shutdown privilege and asks Windows to shut down with `flags`, unless the
// command line holds "-norestart" (or "/norestart"). Reports failures itself (1125, 1126). Returns true
// when Windows accepted the request.
bool RestartWindows(UINT flags);
