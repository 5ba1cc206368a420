#include "install/DriverInstaller.h"

#include "install/DriverFilePlacement.h"
#include "install/DriverFiles.h"
#include "install/PendingInstallations.h"
#include "install/ProgramPaths.h"
#include "install/WindowsVersion.h"
#include "platform/Owners.h"
#include "platform/SystemLibrary.h"
#include "res/resource.h"
#include "services/InstallLog.h"
#include "services/DriverVersionCheck.h"
#include "services/Messages.h"

namespace {

int OfferFilePlacement(const char* systemDirectory, const char* baseName)
{
    if (AskMessage(MSG_ASK_COPY_FILES) != IDYES)
        return 0;
    return PlaceDriverFiles(systemDirectory, baseName);
}

// How the driver update is called. A quiet run must never wait on a prompt: it takes the
// restart question into its own hands (with no place for the answer, the update asks the
// user itself), and on XP and later it tells the update to fail at once rather than show
// anything. Windows 2000's driver update is not known to accept that flag: its update
// refuses flags it does not know, which would fail every quiet installation there, so
// 2000 goes without it. An interactive run calls the update as it always has.
struct UpdateCall {
    DWORD flags;
    bool askRestart;
};

UpdateCall UpdateCallFor(const ProgramOptions& options)
{
    if (!options.quiet)
        return {INSTALLFLAG_FORCE, false};
    DWORD flags = INSTALLFLAG_FORCE;
    if (IsWindowsXpOrLater() == 1)
        flags |= INSTALLFLAG_NONINTERACTIVE;
    return {flags, true};
}

// One call of the driver update, written to the log with its outcome; on failure `code`
// is the reason Windows gives.
bool CallUpdate(UpdateDriverForPlugAndPlayDevicesProc update, const UpdateCall& call, const char* hardwareId,
                const String& inf, DWORD& code)
{
    BOOL restart = FALSE;
    BOOL updated = update(nullptr, hardwareId, inf.c_str(), call.flags, call.askRestart ? &restart : nullptr);
    code = updated ? ERROR_SUCCESS : os::GetLastError();
    String entry("Driver update ");
    entry.Append(hardwareId).Append(" with ").Append(inf).Append(updated ? ": installed " : ": failed ");
    LogLine(entry.Append(BracketedCode(code)));
    if (updated && call.askRestart)
        LogLine(restart ? "Windows says: a restart is needed" : "Windows says: no restart is needed");
    return updated != FALSE;
}

// Whether a failure of the non-interactive update means that Windows wanted to ask the
// user something: the update's own answer, or XP's refusal of an unsigned package that
// its signing policy would have asked about.
bool NeededToAsk(const UpdateCall& call, DWORD code)
{
    return (call.flags & INSTALLFLAG_NONINTERACTIVE) &&
           (code == ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION || code == static_cast<DWORD>(TRUST_E_NOSIGNATURE));
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

int UpdateDriver(UpdateDriverForPlugAndPlayDevicesProc update, const char* systemDirectory, const DriverFamily& family,
                 const ProgramOptions& options)
{
    const char* baseName = family.baseName;
    String inf = ProgramDirectoryPath((String(baseName) + ".inf").c_str());
    if (!PathFitsOrReport(inf))
        return 0;
    const UpdateCall call = UpdateCallFor(options);
    DWORD code = ERROR_SUCCESS;
    if (CallUpdate(update, call, "*PNP0400", inf, code) ||
        (code == ERROR_NO_SUCH_DEVINST && CallUpdate(update, call, "*PNP0401", inf, code)))
        return CheckDelivery(systemDirectory, family);
    if (code == ERROR_NO_MORE_ITEMS)
        return OfferFilePlacement(systemDirectory, baseName);
    if (NeededToAsk(call, code))
        LogLine(String("The driver update wanted to ask the user something, which a quiet run does not allow ")
                    .Append(BracketedCode(code))
                    .Append(": sign the driver package, or set the driver signing policy to Ignore"
                            " (README, \"Deploying to many PCs\")"));
    ShowErrorMessage(MSG_DRIVER_NOT_INSTALLED, code);
    return 0;
}

// Looks the driver update up in newdev.dll and runs it; 1 when the driver is installed.
int UpdateThroughNewdev(InstallProgress& progress, const char* systemDirectory, const DriverFamily& family,
                        const ProgramOptions& options)
{
    ScopedLibrary newdev(LoadSystemLibrary("newdev.dll"));
    if (!newdev) {
        ShowErrorMessage(MSG_NEWDEV_NOT_LOADED, os::GetLastError());
        return 0;
    }
    progress.Stepped();
    auto update = ProcAddress<UpdateDriverForPlugAndPlayDevicesProc>(newdev.Get(), "UpdateDriverForPlugAndPlayDevicesA");
    DWORD lookupError = os::GetLastError();
    progress.Stepped();
    if (!update) {
        ShowErrorMessage(MSG_NEWDEV_NOT_LOADED, lookupError);
        return 0;
    }
    return UpdateDriver(update, systemDirectory, family, options);
}

}  // namespace

int InstallDriver(InstallProgress& progress, const char* systemDirectory, const ProgramOptions& options)
{
    progress.Started();
    progress.Stepped();

    const DriverFamily& family = DriverFamilyFor(IsWindowsXp());
    if (options.info)
        ShowPlainBox(family.baseName, "Vantinst");

    // Someone at the screen sees Windows' own wizard and can finish it; a quiet run
    // waits for it instead of running into it.
    if (options.quiet)
        WaitForPendingInstallations();

    // newdev.dll is freed when this returns, before the end is reported.
    int result = UpdateThroughNewdev(progress, systemDirectory, family, options);
    progress.Finished();
    return result;
}
