// One installation of the driver through the Plug and Play driver update, with the
// offer to copy the files directly when the update finds nothing better to install.
#pragma once

#include "install/InstallProgress.h"

// Installs the driver, telling `progress` how far it is; reports every failure itself.
// 1 when the driver is installed.
int InstallDriver(InstallProgress& progress, const char* systemDirectory);
