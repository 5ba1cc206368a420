#include "app/StartupDecision.h"

#include "install/WindowsVersion.h"

DriverFileSet InstalledDriverFiles(int windowsXp)
{
    if (windowsXp == 1)
        return {1, {"drivers\\orvelxpparallel.sys", nullptr}};
    return {2, {"drivers\\orvel2kparallel.sys", "drivers\\orvel2kparport.sys"}};
}

bool NeedsInstallation(DWORD platformId, DWORD major, DWORD minor, const int* checks)
{
    if (IsNt5Version(platformId, major) != 1)
        return false;
    DriverFileSet files = InstalledDriverFiles(IsXpVersion(platformId, major, minor));
    for (int i = 0; i < files.count; ++i) {
        if (checks[i] == 0)
            return true;
    }
    return false;
}
