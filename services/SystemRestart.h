// Asking Windows to restart once the new driver is in place.
#pragma once

#include "platform/Win.h"
#include "services/ProgramOptions.h"

// Enables the shutdown privilege and asks Windows to shut down with `flags`, unless the
// run's options say -norestart. Reports failures itself (1125, 1126). Returns true when
// Windows accepted the request.
bool RestartWindows(UINT flags, const ProgramOptions& options);
