// What start-up decides before any window exists: which installed driver files to
// examine on this Windows, and whether the dialog is needed.
#pragma once

#include "platform/String.h"
#include "platform/Win.h"

// The installed driver files to examine, relative to the system directory.
struct DriverFileSet {
    int count;
    String files[2];
};
DriverFileSet InstalledDriverFiles(int windowsXp);

// True when the program serves this Windows (the NT 5.x test answered 1) and at least one
// of the `count` checks of its driver files yielded 0. `checks` holds their results in
// the order of InstalledDriverFiles.
bool NeedsInstallation(int windowsNt5, const int* checks, int count);
