#include "app/InstallerLock.h"

#include "res/resource.h"
#include "services/InstallLog.h"
#include "services/MessageFormat.h"
#include "services/Messages.h"

namespace {

// Windows 2000 without Terminal Services has one namespace and takes the prefix as it is.
const char kLockName[] = "Global\\Vantinst.DriverInstallation";

}  // namespace

InstallerLock::~InstallerLock()
{
    // Released before the handle is closed, which the owner does after this.
    if (owned_)
        os::ReleaseMutex(mutex_.Get());
}

bool InstallerLock::Take()
{
    mutex_.Reset(os::CreateMutexA(nullptr, FALSE, kLockName));
    if (!mutex_) {
        DWORD code = os::GetLastError();
        // The lock exists, made by a run whose rights keep us out of it (a deployment
        // agent running as SYSTEM): that run is installing.
        if (code == ERROR_ACCESS_DENIED) {
            LogLine(String("Another installer is running (its lock is not open to this user ")
                        .Append(BracketedCode(code)).Append("): nothing changed"));
            return false;
        }
        LogLine(String("Installer lock: not available ").Append(BracketedCode(code)).Append("; going on without it"));
        return true;
    }
    switch (os::WaitForSingleObject(mutex_.Get(), 0)) {
    case WAIT_OBJECT_0:
        owned_ = true;
        LogLine("Installer lock: taken");
        return true;
    case WAIT_ABANDONED:
        owned_ = true;
        LogLine("Installer lock: taken; the run that held it ended without releasing it");
        return true;
    case WAIT_TIMEOUT:
        LogLine("Another installer is running: nothing changed");
        return false;
    default:
        LogLine(String("Installer lock: cannot be waited for ").Append(BracketedCode(os::GetLastError()))
                    .Append("; going on without it"));
        return true;
    }
}

void BringRunningInstallerToFront()
{
    // The running one's dialog, by its class and the caption it gives itself.
    HWND running = os::FindWindowA("#32770", LoadLocalMessage(MSG_MAIN_TITLE).c_str());
    if (!running)
        return;
    if (os::IsIconic(running))
        os::ShowWindow(running, SW_RESTORE);
    os::SetForegroundWindow(running);
}
