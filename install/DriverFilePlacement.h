// Putting the driver files in place by copying them from the program's directory: the
// fallback when the Plug and Play update finds nothing better to install.
#pragma once

#include "platform/String.h"

struct DriverCopy {
    String source;       // full path in the program's directory
    String destination;  // full path under the system directory
    // A copy into drivers\ is what Windows loads; the copy into dllcache\ is only a
    // spare for file protection, so its failure is reported but does not decide.
    bool required = false;
};

// The copies in order: into dllcache\ and drivers\, and on every Windows but XP the
// second driver file into drivers\ as well. At most three.
int DriverCopyList(const char* programDirectory, const char* systemDirectory, const char* baseName, bool windowsXp,
                   DriverCopy (&copies)[3]);

// Copies every file of the list, reporting each failure. 1 only when every file reached
// drivers\; a failed copy into dllcache\ (XP may have none) does not count against it.
int PlaceDriverFiles(const char* systemDirectory, const char* baseName);

// Removes the read-only mark, keeping every other attribute.
void ClearReadOnly(const char* path);
