#include "app/StartupDecision.h"

#include "install/DriverFiles.h"

DriverFileSet InstalledDriverFiles(int windowsXp)
{
    DriverFileSet set;
    String names[2];
    set.count = DriverFileNames(DriverFamilyFor(windowsXp), names);
    for (int i = 0; i < set.count; ++i)
        set.files[i] = String("drivers\\") + names[i].c_str();
    return set;
}

bool NeedsInstallation(int windowsNt5, const int* checks, int count)
{
    if (windowsNt5 != 1)
        return false;
    for (int i = 0; i < count; ++i) {
        if (checks[i] == 0)
            return true;
    }
    return false;
}
