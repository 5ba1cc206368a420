// The road of one installation, shared by the Install command and a quiet run: the
// driver update with its fallback, then the success message and the restart.
#pragma once

#include "platform/Win.h"

// Installs, leaves the dialog's Install button disabled, and after success shows message
// 1116 and asks Windows to restart. Returns the exit status the road leads to. A quiet
// run passes no dialog and no progress bar.
int InstallAndRestart(HWND dialog, HWND progressBar);
