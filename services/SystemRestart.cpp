#include "services/SystemRestart.h"

#include "platform/Owners.h"
#include "res/resource.h"
#include "services/InstallLog.h"
#include "services/Messages.h"

namespace {

// The process's right to shut Windows down; false when the token cannot be opened or
// the privilege is not held.
bool EnableShutdownPrivilege()
{
    ScopedHandle token;
    if (!os::OpenProcessToken(os::GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive()))
        return false;
    TOKEN_PRIVILEGES privileges{};
    os::LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &privileges.Privileges[0].Luid);
    privileges.PrivilegeCount = 1;
    privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    // AdjustTokenPrivileges reports success even when the privilege is not held;
    // the last-error value tells.
    os::AdjustTokenPrivileges(token.Get(), FALSE, &privileges, 0, nullptr, nullptr);
    return os::GetLastError() == ERROR_SUCCESS;
}

}  // namespace

bool RestartWindows(UINT flags, const ProgramOptions& options)
{
    if (options.noRestart) {
        LogLine("Restart: not requested (norestart)");
        return false;
    }

    if (!EnableShutdownPrivilege())
        ShowMessage(MSG_NO_SHUTDOWN_RIGHT);

    if (os::ExitWindowsEx(flags, 0)) {
        LogLine("Restart requested: accepted");
        return true;
    }
    LogLine(String("Restart requested: refused ").Append(BracketedCode(os::GetLastError())));
    ShowMessage(MSG_RESTART_FAILED);
    return false;
}
