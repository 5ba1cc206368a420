#include "install/WindowsVersion.h"

#include "res/resource.h"
#include "services/Messages.h"

namespace {

bool QueryVersion(OSVERSIONINFOA& info)
{
    info = OSVERSIONINFOA{};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (os::GetVersionExA(&info))
        return true;
    ShowMessage(MSG_GETVERSIONEX_FAILED);
    return false;
}

}  // namespace

int IsWindowsNt5()
{
    OSVERSIONINFOA info;
    return QueryVersion(info) ? IsNt5Version(info.dwPlatformId, info.dwMajorVersion) : 0;
}

int IsWindowsXp()
{
    OSVERSIONINFOA info;
    return QueryVersion(info) ? IsXpVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion) : 0;
}
