#include "install/DriverInstaller.h"

#include "install/DriverFilePlacement.h"
#include "install/DriverFiles.h"
#include "install/ProgramPaths.h"
#include "install/WindowsVersion.h"
#include "platform/CommandLine.h"
#include "platform/Dialog.h"
#include "platform/Owners.h"
#include "platform/SystemLibrary.h"
#include "res/resource.h"
#include "services/InstallLog.h"
#include "services/Messages.h"

namespace {

constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressInterval = 750;
constexpr WORD kProgressRange = 75;

int OfferFilePlacement(const char* systemDirectory, const char* baseName)
{
    if (AskMessage(MSG_ASK_COPY_FILES) != IDYES)
        return 0;
    return PlaceDriverFiles(systemDirectory, baseName);
}

// One call of the driver update, written to the log with its outcome; on failure `code`
// is the reason Windows gives.
bool CallUpdate(UpdateDriverForPlugAndPlayDevicesProc update, const char* hardwareId, const String& inf, DWORD& code)
{
    BOOL updated = update(nullptr, hardwareId, inf.c_str(), INSTALLFLAG_FORCE, nullptr);
    code = updated ? ERROR_SUCCESS : os::GetLastError();
    String entry("Driver update ");
    entry.Append(hardwareId).Append(" with ").Append(inf).Append(updated ? ": installed " : ": failed ");
    LogLine(entry.Append(BracketedCode(code)));
    return updated != FALSE;
}

int UpdateDriver(UpdateDriverForPlugAndPlayDevicesProc update, const char* systemDirectory, const char* baseName)
{
    String inf = ProgramDirectoryPath((String(baseName) + ".inf").c_str());
    if (!PathFitsOrReport(inf))
        return 0;
    DWORD code = ERROR_SUCCESS;
    if (CallUpdate(update, "*PNP0400", inf, code))
        return 1;
    if (code == ERROR_NO_SUCH_DEVINST && CallUpdate(update, "*PNP0401", inf, code))
        return 1;
    if (code == ERROR_NO_MORE_ITEMS)
        return OfferFilePlacement(systemDirectory, baseName);
    ShowErrorMessage(MSG_DRIVER_NOT_INSTALLED, code);
    return 0;
}

// Looks the driver update up in newdev.dll and runs it; 1 when the driver is installed.
int UpdateThroughNewdev(HWND progressBar, const char* systemDirectory, const char* baseName)
{
    ScopedLibrary newdev(LoadSystemLibrary("newdev.dll"));
    if (!newdev) {
        ShowErrorMessage(MSG_NEWDEV_NOT_LOADED, os::GetLastError());
        return 0;
    }
    AdvanceProgressBar(progressBar);
    auto update = ProcAddress<UpdateDriverForPlugAndPlayDevicesProc>(newdev.Get(), "UpdateDriverForPlugAndPlayDevicesA");
    DWORD lookupError = os::GetLastError();
    AdvanceProgressBar(progressBar);
    if (!update) {
        ShowErrorMessage(MSG_NEWDEV_NOT_LOADED, lookupError);
        return 0;
    }
    return UpdateDriver(update, systemDirectory, baseName);
}

}  // namespace

const char* DriverBaseName(int windowsXp) { return DriverFamilyFor(windowsXp).baseName; }

void AdvanceProgressBar(HWND progressBar)
{
    if (!progressBar)
        return;
    os::SendMessageA(progressBar, PBM_STEPIT, 0, 0);
    os::InvalidateRect(progressBar, nullptr, TRUE);
    os::UpdateWindow(progressBar);
}

int InstallDriver(HWND dialog, HWND progressBar, const char* systemDirectory)
{
    int result = 0;
    {
        // The timer goes after newdev.dll has been freed: owners end in reverse order.
        ScopedTimer progress(dialog, kProgressTimer, kProgressInterval);
        EnableDialogControl(dialog, IDC_INSTALL, FALSE);
        EnableDialogControl(dialog, IDCANCEL, FALSE);

        if (progressBar) {
            os::ShowWindow(progressBar, SW_SHOW);
            os::SendMessageA(progressBar, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
            os::SendMessageA(progressBar, PBM_SETSTEP, 1, 0);
            os::EnableWindow(progressBar, TRUE);
        }
        AdvanceProgressBar(progressBar);

        const char* baseName = DriverBaseName(IsWindowsXp());
        if (ProgramHasSwitch("info"))
            ShowPlainBox(baseName, "Vantinst");

        result = UpdateThroughNewdev(progressBar, systemDirectory, baseName);
    }
    if (progressBar) {
        os::EnableWindow(progressBar, FALSE);
        os::ShowWindow(progressBar, SW_HIDE);
    }
    EnableDialogControl(dialog, IDCANCEL, TRUE);
    return result;
}
