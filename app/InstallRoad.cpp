#include "app/InstallRoad.h"

#include "app/ExitStatus.h"
#include "install/DriverInstaller.h"
#include "install/ProgramPaths.h"
#include "res/resource.h"
#include "services/Messages.h"
#include "services/SystemRestart.h"

int InstallAndRestart(InstallProgress& progress, const ProgramOptions& options)
{
    int result = InstallDriver(progress, SystemDirectoryPath().c_str(), options);
    if (result != 1)
        return kExitInstallFailed;
    ShowMessage(MSG_INSTALLED_RESTART);
    return RestartWindows(EWX_REBOOT, options) ? kExitRestartInitiated : kExitRestartRequired;
}
