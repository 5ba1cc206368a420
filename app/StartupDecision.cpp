#include "app/StartupDecision.h"

DriverFileSet InstalledDriverFiles(int windowsXp)
{
    if (windowsXp == 1)
        return {1, {"drivers\\orvelxpparallel.sys", nullptr}};
    return {2, {"drivers\\orvel2kparallel.sys", "drivers\\orvel2kparport.sys"}};
}

bool NeedsInstallation(int windowsNt5, int windowsXp, const int* checks)
{
    if (windowsNt5 != 1)
        return false;
    DriverFileSet files = InstalledDriverFiles(windowsXp);
    for (int i = 0; i < files.count; ++i) {
        if (checks[i] == 0)
            return true;
    }
    return false;
}
