#include "install/DriverFilePlacement.h"

#include "install/DriverFiles.h"
#include "install/ProgramPaths.h"
#include "install/WindowsVersion.h"
#include "platform/Win.h"
#include "res/resource.h"
#include "services/InstallLog.h"
#include "services/Messages.h"

int DriverCopyList(const char* programDirectory, const char* systemDirectory, const char* baseName, bool windowsXp,
                   DriverCopy (&copies)[3])
{
    String driver = String(baseName) + ".sys";
    String source = JoinProgramDirectory(programDirectory, driver.c_str());
    copies[0] = {source, String(systemDirectory) + "dllcache\\" + driver.c_str(), false};
    copies[1] = {source, String(systemDirectory) + "drivers\\" + driver.c_str(), true};
    const char* extra = DriverFamilyFor(windowsXp ? 1 : 0).extraDriver;
    if (!extra)
        return 2;
    copies[2] = {JoinProgramDirectory(programDirectory, extra), String(systemDirectory) + "drivers\\" + extra, true};
    return 3;
}

int PlaceDriverFiles(const char* systemDirectory, const char* baseName)
{
    // The program's directory with a trailing separator: joined with each source name below.
    String programDirectory = ProgramDirectoryPath("");
    DriverCopy copies[3];
    int count = DriverCopyList(programDirectory.c_str(), systemDirectory, baseName, IsWindowsXp() == 1, copies);

    int result = 1;
    for (int i = 0; i < count; ++i) {
        BOOL copied = os::CopyFileA(copies[i].source.c_str(), copies[i].destination.c_str(), FALSE);
        String entry("Copy ");
        entry.Append(copies[i].source).Append(" -> ").Append(copies[i].destination);
        LogLine(entry.Append(copied ? ": done " : ": failed ").Append(BracketedCode(copied ? ERROR_SUCCESS : os::GetLastError())));
        if (!copied) {
            ShowMessage(MSG_COPY_FAILED, copies[i].source.c_str(), copies[i].destination.c_str());
            // Every driver file has to be in drivers\: the last copy's success alone
            // would report an installation whose main driver is missing.
            if (copies[i].required)
                result = 0;
        }
        ClearReadOnly(copies[i].destination.c_str());
    }
    return result;
}

void ClearReadOnly(const char* path)
{
    DWORD attributes = os::GetFileAttributesA(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        ShowMessage(MSG_ATTRIBUTES_NOT_READ, path);
        return;
    }
    if (!(attributes & FILE_ATTRIBUTE_READONLY))
        return;
    if (!os::SetFileAttributesA(path, attributes & ~FILE_ATTRIBUTE_READONLY))
        ShowMessage(MSG_ATTRIBUTES_NOT_SET, path);
}
