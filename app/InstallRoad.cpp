#include "app/InstallRoad.h"

#include "app/ExitStatus.h"
#include "install/DriverInstaller.h"
#include "install/ProgramPaths.h"
#include "platform/Dialog.h"
#include "res/resource.h"
#include "services/Messages.h"
#include "services/SystemRestart.h"

int InstallAndRestart(HWND dialog, HWND progressBar)
{
    int result = InstallDriver(dialog, progressBar, SystemDirectoryPath().c_str());
    EnableDialogControl(dialog, IDC_INSTALL, FALSE);
    if (result != 1)
        return kExitInstallFailed;
    ShowMessage(MSG_INSTALLED_RESTART);
    return RestartWindows(EWX_REBOOT) ? kExitRestartInitiated : kExitRestartRequired;
}
