#include "install/ProgramPaths.h"

#include "platform/Application.h"
#include "platform/PathName.h"
#include "platform/Win.h"
#include "res/resource.h"
#include "services/Messages.h"

String JoinProgramDirectory(const char* programPath, const char* name)
{
    const char* directoryEnd = LastPathComponent(programPath);
    String path(programPath, static_cast<std::size_t>(directoryEnd - programPath));
    path.Append(LastPathComponent(name));
    return path;
}

bool PathFitsOrReport(const String& path)
{
    if (path.size() < MAX_PATH)
        return true;
    ShowMessage(MSG_PATH_TOO_LONG, path.c_str());
    return false;
}

String ProgramDirectoryPath(const char* name) { return JoinProgramDirectory(ProgramFilePath().c_str(), name); }

String SystemDirectoryPath()
{
    char windows[MAX_PATH] = "";
    UINT length = os::GetWindowsDirectoryA(windows, MAX_PATH);
    if (length >= MAX_PATH)
        windows[0] = '\0';
    return String(windows) + "\\System32\\";
}
