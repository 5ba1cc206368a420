// One installation of the driver through the Plug and Play driver update, with the
// offer to copy the files directly when the update finds nothing better to install.
#pragma once

#include "install/InstallProgress.h"
#include "services/ProgramOptions.h"

// Installs the driver, telling `progress` how far it is; reports every failure itself.
// A quiet run (`options`) waits for Windows' own pending installations first and calls
// the update so that it asks nothing. 1 when the driver is installed.
int InstallDriver(InstallProgress& progress, const char* systemDirectory, const ProgramOptions& options);
