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
    os::InitCommonControls();

    bitmap.Load(ProgramDirectoryPath("OEM.BMP").c_str());

    SetExitCode(kExitNothingToDo);
    if (IsWindowsNt5() != 1)
        return false;

    String system = SystemDirectoryPath();
    int installed = 1;
    DriverFileSet files = InstalledDriverFiles(IsWindowsXp());
    for (int i = 0; i < files.count; ++i) {
        if (CheckDriverFileVersion((system + files.files[i]).c_str()) == 0)
            installed = 0;
    }

    if (installed == 0) {
        dialog.DoModal();
        SetExitCode(dialog.Outcome());
    }
    return false;
}
