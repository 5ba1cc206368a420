#include "install/WindowsVersion.h"

#include "res/resource.h"
#include "services/MessageFormat.h"
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

int IsWindowsXpOrLater()
{
    OSVERSIONINFOA info;
    return QueryVersion(info) ? IsXpOrLaterVersion(info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion) : 0;
}

String WindowsVersionText()
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!os::GetVersionExA(&info))
        return String("unknown (GetVersionEx failed)");
    String text = Decimal(info.dwMajorVersion);
    text.Append('.').Append(Decimal(info.dwMinorVersion)).Append('.').Append(Decimal(info.dwBuildNumber & 0xFFFF));
    if (info.dwPlatformId != VER_PLATFORM_WIN32_NT)
        text.Append(" (not NT)");
    // The service pack's name, as Windows spells it; its field need not be terminated.
    std::size_t length = 0;
    while (length < sizeof info.szCSDVersion && info.szCSDVersion[length])
        ++length;
    if (length)
        text.Append(' ').Append(info.szCSDVersion, length);
    return text;
}
