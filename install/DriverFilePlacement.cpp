#include "install/DriverFilePlacement.h"

#include "install/ProgramPaths.h"
#include "install/WindowsVersion.h"
#include "platform/Win.h"
#include "res/resource.h"
#include "services/Messages.h"

int DriverCopyList(const char* programDirectory, const char* systemDirectory, const char* baseName, bool windowsXp,
                   DriverCopy (&copies)[3])
{
    String driver = String(baseName) + ".sys";
    String source = JoinProgramDirectory(programDirectory, driver.c_str());
    copies[0] = {source, String(systemDirectory) + "dllcache\\" + driver.c_str()};
    copies[1] = {source, String(systemDirectory) + "drivers\\" + driver.c_str()};
    if (windowsXp)
        return 2;
    copies[2] = {JoinProgramDirectory(programDirectory, "orvel2kparport.sys"),
                 String(systemDirectory) + "drivers\\orvel2kparport.sys"};
    return 3;
}

int PlaceDriverFiles(const char* systemDirectory, const char* baseName)
{
    // The program's directory with a trailing separator: joined with each source name below.
    String programDirectory = ProgramDirectoryPath("");
    DriverCopy copies[3];
    int count = DriverCopyList(programDirectory.c_str(), systemDirectory, baseName, IsWindowsXp() == 1, copies);

    int result = 0;
    for (int i = 0; i < count; ++i) {
        result = os::CopyFileA(copies[i].source.c_str(), copies[i].destination.c_str(), FALSE) ? 1 : 0;
        if (!result)
            ShowMessage(MSG_COPY_FAILED, copies[i].source.c_str(), copies[i].destination.c_str());
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
