// The road of one installation, shared by the Install command and a quiet run: the
// driver update with its fallback, then the success message and the restart.
#pragma once

#include "install/InstallProgress.h"
#include "services/ProgramOptions.h"

// Installs, and after success shows message 1116 and asks Windows to restart. Returns
// the exit status the road leads to. The dialog passes its DialogProgress, a quiet run
// NoProgress.
int InstallAndRestart(InstallProgress& progress, const ProgramOptions& options);
