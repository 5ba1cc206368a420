#include "app/InstallerApp.h"

#include "app/ExitStatus.h"
#include "app/InstallRoad.h"
#include "app/InstallerLock.h"
#include "app/InstallerDialog.h"
#include "app/StartupDecision.h"
#include "install/ProgramPaths.h"
#include "install/WindowsVersion.h"
#include "res/resource.h"
#include "services/AdministratorCheck.h"
#include "services/DriverVersionCheck.h"
#include "services/InstallLog.h"
#include "services/Messages.h"

namespace {
// The program's one application object, which the platform's entry point runs.
InstallerApp theApp;
}

bool InstallerApp::StartUp()
{
    // The command line is read here and nowhere else; the boxes and the log learn whose
    // they are here, once.
    const char* commandLine = os::GetCommandLineA();
    options_ = ReadProgramOptions(commandLine);
    SetQuiet(options_.quiet);
    MessageContext boxes(*this);
    InstallLog log(commandLine, options_.logPath);
    int status = Run();
    SetExitCode(status);
    LogLine(String("Exit status ").Append(Decimal(static_cast<DWORD>(status))));
    return false;
}

int InstallerApp::Run()
{
    InstallerDialog dialog(*this, options_, nullptr, bitmap);

    // Nothing is read from a folder the program cannot name exactly: a best-fit
    // look-alike of its name may be another folder, with other files in it. A quiet
    // run shows no picture and does not need one.
    bool ownFolder = ProgramPathIsExact();
    if (ownFolder && !Quiet()) {
        String picture = ProgramDirectoryPath("OEM.BMP");
        if (PathFitsOrReport(picture))
            bitmap.Load(picture.c_str());
    }

    LogLine(String("Windows ").Append(WindowsVersionText()));
    int windowsNt5 = IsWindowsNt5();
    if (windowsNt5 != 1) {
        LogLine("Decision: nothing to do, the driver is not for this Windows");
        return kExitNothingToDo;
    }

    String system = SystemDirectoryPath();
    int windowsXp = IsWindowsXp();
    DriverFileSet files = InstalledDriverFiles(windowsXp);
    int checks[2] = {1, 1};
    for (int i = 0; i < files.count; ++i) {
        String path = system + files.files[i].c_str();
        String found;
        checks[i] = CheckDriverFileVersion(path.c_str(), &found);
        LogLine(String("Driver file ").Append(path).Append(": ").Append(found));
    }

    if (!NeedsInstallation(windowsNt5, checks, files.count)) {
        LogLine("Decision: nothing to do, the driver is current");
        return kExitNothingToDo;
    }
    if (!ownFolder) {
        LogLine("Decision: not installed, the program's folder cannot be named exactly");
        ShowMessage(MSG_FOLDER_UNUSABLE);
        return kExitInstallFailed;
    }
    if (!MayInstall())
        return kExitInstallFailed;
    // Only now, with work to do: the silent road keeps its speed.
    InstallerLock lock;
    if (!lock.Take()) {
        if (!Quiet())
            BringRunningInstallerToFront();
        return kExitAlreadyRunning;
    }
    if (Quiet()) {
        LogLine("Decision: install, quietly");
        NoProgress nothingShown;
        return InstallAndRestart(nothingShown, options_);
    }
    LogLine("Decision: install, the dialog is shown");
    // Only now: the common controls and the icon cost a run that ends silently
    // half again its time.
    os::InitCommonControls();
    dialog.DoModal();
    return dialog.Outcome();
}
