// One installation of the driver through the Plug and Play driver update, with the
// offer to copy the files directly when the update finds nothing better to install.
#pragma once

#include "platform/Win.h"

// Drives the dialog's Install (1000) and Exit (2) buttons, its progress bar and a
// timer while it runs; reports every failure itself. 1 when the driver is installed.
// A quiet run passes no dialog and no bar: then only the installation runs.
int InstallDriver(HWND dialog, HWND progressBar, const char* systemDirectory);

// Moves the progress bar one step and repaints it at once; no bar, nothing to do.
void AdvanceProgressBar(HWND progressBar);
