// What start-up decides before any window exists: which installed driver files to
// examine on this Windows, and whether the dialog is needed.
#pragma once

#include "platform/Win.h"

// The installed driver files to examine, relative to the system directory.
struct DriverFileSet {
    int count;
    const char* files[2];
};
DriverFileSet InstalledDriverFiles(int windowsXp);

// True when the program serves this Windows (NT 5.x) and at least one of the checks for
// its driver files (one on 5.1, two on the others) yielded 0. `checks` holds their results.
bool NeedsInstallation(DWORD platformId, DWORD major, DWORD minor, const int* checks);
