#include "app/InstallerApp.h"

#include "app/ExitStatus.h"
#include "app/InstallerDialog.h"
#include "app/StartupDecision.h"
#include "install/ProgramPaths.h"
#include "install/WindowsVersion.h"
#include "services/DriverVersionCheck.h"

namespace {
InstallerApp theApp;
}

InstallerApp& TheApp() { return theApp; }

bool InstallerApp::StartUp()
{
    InstallerDialog dialog(nullptr);

    bitmap.Load(ProgramDirectoryPath("OEM.BMP").c_str());

    SetExitCode(kExitNothingToDo);
    int windowsNt5 = IsWindowsNt5();
    if (windowsNt5 != 1)
        return false;

    String system = SystemDirectoryPath();
    int windowsXp = IsWindowsXp();
    DriverFileSet files = InstalledDriverFiles(windowsXp);
    int checks[2] = {1, 1};
    for (int i = 0; i < files.count; ++i)
        checks[i] = CheckDriverFileVersion((system + files.files[i]).c_str());

    if (NeedsInstallation(windowsNt5, windowsXp, checks)) {
        // Only now: the common controls and the icon cost a run that ends silently
        // half again its time.
        os::InitCommonControls();
        dialog.DoModal();
        SetExitCode(dialog.Outcome());
    }
    return false;
}
