// The driver files of each Windows family, named in this one place for the start-up
// check, the driver update and the copies of the fallback.
#pragma once

#include "platform/String.h"

struct DriverFamily {
    // The setup information file is baseName.inf and the main driver baseName.sys; the
    // main driver also gets a spare copy in dllcache\ for Windows File Protection.
    const char* baseName;
    // A further driver file that goes only into drivers\, or null.
    const char* extraDriver;
};

// Windows XP's family for 1, the Windows 2000 family (also NT 5.2) for anything else.
const DriverFamily& DriverFamilyFor(int windowsXp);

// The family's files in drivers\ in the order they are checked and copied: the main
// driver, then the extra one. Returns how many (1 or 2).
int DriverFileNames(const DriverFamily& family, String (&names)[2]);
