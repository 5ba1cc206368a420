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
#include "services/DriverVersionCheck.h"
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

// A reported success is believed only when the driver files are there: a faulty class
// installer or co-installer can report success without copying them, and so does Wine's
// driver update for a hardware id that no device has. A missing file cannot be waiting
// for the restart, so the update did not deliver and the files are offered for copying,
// as when it finds no better driver. A file in another version may be one in use that
// Windows replaces at the next start: the success stands.
int CheckDelivery(const char* systemDirectory, const DriverFamily& family)
{
    String names[2];
    int count = DriverFileNames(family, names);
    bool missing = false;
    for (int i = 0; i < count; ++i) {
        String path = String(systemDirectory) + "drivers\\";
        path.Append(names[i]);
        String found;
        bool current = CheckDriverFileVersion(path.c_str(), &found) == 1;
        bool absent = !current && os::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES;
        missing = missing || absent;
        String entry("Driver file ");
        entry.Append(path).Append(" after the update: ").Append(found);
        if (!current && !absent)
            entry.Append(" (Windows may replace it at the restart)");
        LogLine(entry);
    }
    if (!missing)
        return 1;
    LogLine("Decision: the driver update reported success but left a driver file missing, as if it found no better driver");
    return OfferFilePlacement(systemDirectory, family.baseName);
}

int UpdateDriver(UpdateDriverForPlugAndPlayDevicesProc update, const char* systemDirectory, const DriverFamily& family)
{
    const char* baseName = family.baseName;
    String inf = ProgramDirectoryPath((String(baseName) + ".inf").c_str());
    if (!PathFitsOrReport(inf))
        return 0;
    DWORD code = ERROR_SUCCESS;
    if (CallUpdate(update, "*PNP0400", inf, code) ||
        (code == ERROR_NO_SUCH_DEVINST && CallUpdate(update, "*PNP0401", inf, code)))
        return CheckDelivery(systemDirectory, family);
    if (code == ERROR_NO_MORE_ITEMS)
        return OfferFilePlacement(systemDirectory, baseName);
    ShowErrorMessage(MSG_DRIVER_NOT_INSTALLED, code);
    return 0;
}

// Looks the driver update up in newdev.dll and runs it; 1 when the driver is installed.
int UpdateThroughNewdev(HWND progressBar, const char* systemDirectory, const DriverFamily& family)
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
    return UpdateDriver(update, systemDirectory, family);
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

        const DriverFamily& family = DriverFamilyFor(IsWindowsXp());
        if (ProgramHasSwitch("info"))
            ShowPlainBox(family.baseName, "Vantinst");

        result = UpdateThroughNewdev(progressBar, systemDirectory, family);
    }
    if (progressBar) {
        os::EnableWindow(progressBar, FALSE);
        os::ShowWindow(progressBar, SW_HIDE);
    }
    EnableDialogControl(dialog, IDCANCEL, TRUE);
    return result;
}
