#include "install/DriverInstaller.h"

#include "install/DriverFilePlacement.h"
#include "install/ProgramPaths.h"
#include "install/WindowsVersion.h"
#include "platform/CommandLine.h"
#include "platform/Dialog.h"
#include "platform/SystemLibrary.h"
#include "res/resource.h"
#include "services/Messages.h"

namespace {

constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressInterval = 750;
constexpr WORD kProgressRange = 75;

// Keeps the failure's code in place for the message that reports it.
DWORD PeekLastError()
{
    DWORD code = os::GetLastError();
    os::SetLastError(code);
    return code;
}

int OfferFilePlacement(const char* systemDirectory, const char* baseName)
{
    if (AskMessage(MSG_ASK_COPY_FILES) != IDYES)
        return 0;
    return PlaceDriverFiles(systemDirectory, baseName);
}

int UpdateDriver(UpdateDriverForPlugAndPlayDevicesProc update, const char* systemDirectory, const char* baseName)
{
    String inf = ProgramDirectoryPath((String(baseName) + ".inf").c_str());
    if (update(nullptr, "*PNP0400", inf.c_str(), INSTALLFLAG_FORCE, nullptr))
        return 1;
    DWORD code = PeekLastError();
    if (code == ERROR_NO_SUCH_DEVINST) {
        if (update(nullptr, "*PNP0401", inf.c_str(), INSTALLFLAG_FORCE, nullptr))
            return 1;
        code = PeekLastError();
    }
    if (code == ERROR_NO_MORE_ITEMS)
        return OfferFilePlacement(systemDirectory, baseName);
    ShowSystemErrorMessage(MSG_DRIVER_NOT_INSTALLED);
    return 0;
}

}  // namespace

const char* DriverBaseName(int windowsXp) { return windowsXp == 1 ? "orvelxpparallel" : "orvel2kparallel"; }

void AdvanceProgressBar(HWND progressBar)
{
    os::SendMessageA(progressBar, PBM_STEPIT, 0, 0);
    os::InvalidateRect(progressBar, nullptr, TRUE);
    os::UpdateWindow(progressBar);
}

int InstallDriver(HWND dialog, HWND progressBar, const char* systemDirectory)
{
    UINT_PTR timer = os::SetTimer(dialog, kProgressTimer, kProgressInterval, nullptr);
    EnableDialogControl(dialog, IDC_INSTALL, FALSE);
    EnableDialogControl(dialog, IDCANCEL, FALSE);

    os::ShowWindow(progressBar, SW_SHOW);
    os::SendMessageA(progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
    os::SendMessageA(progressBar, PBM_SETSTEP, 1, 0);
    os::EnableWindow(progressBar, TRUE);
    AdvanceProgressBar(progressBar);

    const char* baseName = DriverBaseName(IsWindowsXp());
    if (ProgramHasOption("-info"))
        os::MessageBoxA(nullptr, baseName, "Vantinst", MB_OK);

    int result = 0;
    if (HMODULE newdev = LoadSystemLibrary("newdev.dll")) {
        AdvanceProgressBar(progressBar);
        auto update = ProcAddress<UpdateDriverForPlugAndPlayDevicesProc>(newdev, "UpdateDriverForPlugAndPlayDevicesA");
        DWORD lookupError = os::GetLastError();
        AdvanceProgressBar(progressBar);
        if (update) {
            result = UpdateDriver(update, systemDirectory, baseName);
        } else {
            os::SetLastError(lookupError);
            ShowSystemErrorMessage(MSG_NEWDEV_NOT_LOADED);
        }
        os::FreeLibrary(newdev);
    } else {
        ShowSystemErrorMessage(MSG_NEWDEV_NOT_LOADED);
    }

    if (timer)
        os::KillTimer(dialog, timer);
    os::EnableWindow(progressBar, FALSE);
    os::ShowWindow(progressBar, SW_HIDE);
    EnableDialogControl(dialog, IDCANCEL, TRUE);
    return result;
}
