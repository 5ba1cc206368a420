// The exit status, in the convention of Windows Installer, so that scripts deploying
// the driver can tell what happened.
#pragma once

enum ExitStatus : int {
    kExitNothingToDo = 0,             // the driver was current, or this Windows is not served
    kExitUserClosed = 1602,           // the dialog was closed without an installation
    kExitInstallFailed = 1603,        // an installation was attempted and did not succeed
    kExitAlreadyRunning = 1618,       // another installer was running; nothing was changed
    kExitRestartInitiated = 1641,     // installed, and Windows was asked to restart
    kExitRestartRequired = 3010,      // installed, but no restart was requested or it was refused
};
