#include "install/PendingInstallations.h"

#include "platform/Owners.h"
#include "platform/SystemLibrary.h"
#include "services/InstallLog.h"
#include "services/MessageFormat.h"

void WaitForPendingInstallations()
{
    ScopedLibrary setupapi(LoadSystemLibrary("setupapi.dll"));
    auto wait = setupapi ? ProcAddress<WaitNoPendingInstallEventsProc>(setupapi.Get(), "CMP_WaitNoPendingInstallEvents")
                         : nullptr;
    if (!wait) {
        LogLine(String("Waiting for Windows' device installations: skipped, this Windows cannot tell ")
                    .Append(BracketedCode(os::GetLastError())));
        return;
    }
    LogLine(String("Waiting for Windows' device installations to end (at most ")
                .Append(Decimal(kPendingInstallWait / 1000)).Append(" s)"));
    DWORD result = wait(kPendingInstallWait);
    if (result == WAIT_OBJECT_0)
        LogLine("Waiting for Windows' device installations: none in progress");
    else if (result == WAIT_TIMEOUT)
        LogLine("Waiting for Windows' device installations: still in progress after the wait; the update is tried");
    else
        LogLine(String("Waiting for Windows' device installations: failed ").Append(BracketedCode(os::GetLastError()))
                    .Append("; the update is tried"));
}
