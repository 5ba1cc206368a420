#include "services/SystemRestart.h"

#include "platform/CommandLine.h"
#include "res/resource.h"
#include "services/Messages.h"

bool RestartWindows(UINT flags)
{
    if (ProgramHasOption("-norestart"))
        return false;

    HANDLE token = nullptr;
    if (!os::OpenProcessToken(os::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
        ShowMessage(MSG_NO_SHUTDOWN_RIGHT);
    } else {
        TOKEN_PRIVILEGES privileges{};
        os::LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
        privileges.PrivilegeCount = 1;
        privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
        // AdjustTokenPrivileges reports success even when the privilege is not held;
        // the last-error value tells.
        os::AdjustTokenPrivileges(token, FALSE, &privileges, 0, nullptr, nullptr);
        DWORD adjusted = os::GetLastError();
        os::CloseHandle(token);
        if (adjusted != ERROR_SUCCESS)
            ShowMessage(MSG_NO_SHUTDOWN_RIGHT);
    }

    if (os::ExitWindowsEx(flags, 0))
        return true;
    ShowMessage(MSG_RESTART_FAILED);
    return false;
}
