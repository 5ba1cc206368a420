#include "install/DriverFiles.h"

namespace {
constexpr DriverFamily kWindowsXp{"orvelxpparallel", nullptr};
constexpr DriverFamily kWindows2000{"orvel2kparallel", "orvel2kparport.sys"};
}  // namespace

const DriverFamily& DriverFamilyFor(int windowsXp) { return windowsXp == 1 ? kWindowsXp : kWindows2000; }

int DriverFileNames(const DriverFamily& family, String (&names)[2])
{
    names[0] = String(family.baseName) + ".sys";
    if (!family.extraDriver)
        return 1;
    names[1] = family.extraDriver;
    return 2;
}
