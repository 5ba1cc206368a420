// The exit status, in the convention of Windows Installer, so that scripts deploying
// the driver can tell what happened. The comment after each status is what the scripts
// and tests print for it (tests/wine/program_facts.py reads this file): keep it on the
// status's line.
#pragma once

enum ExitStatus : int {
    kExitNothingToDo = 0,             // nothing to do: the driver is current, or this Windows is not 2000/XP/NT 5.2 (no window shown)
    kExitUserClosed = 1602,           // the dialog was closed without an installation
    kExitInstallFailed = 1603,        // an installation was attempted and did not succeed (including No to the copy question)
    kExitAlreadyRunning = 1618,       // another installer was running; nothing was changed
    kExitRestartInitiated = 1641,     // installed, and Windows was asked to restart
    kExitRestartRequired = 3010,      // installed; Windows still has to be restarted (-norestart, or the restart was refused)
};
