#include "install/ProgramPaths.h"

#include "platform/Application.h"
#include "platform/Win.h"

#include <cstring>

namespace {

// Past the last backslash, slash or drive colon.
const char* LastComponent(const char* path)
{
    const char* component = path;
    for (const char* p = path; *p; ++p) {
        if (*p == '\\' || *p == '/' || (*p == ':' && p == path + 1))
            component = p + 1;
    }
    return component;
}

}  // namespace

String JoinProgramDirectory(const char* programPath, const char* name)
{
    const char* directoryEnd = LastComponent(programPath);
    const char* file = LastComponent(name);
    std::size_t directoryLength = static_cast<std::size_t>(directoryEnd - programPath);
    std::size_t fileLength = std::strlen(file);

    const std::size_t limit = MAX_PATH - 1;
    if (directoryLength > limit)
        directoryLength = limit;
    if (fileLength > limit - directoryLength)
        fileLength = limit - directoryLength;

    String path(programPath, directoryLength);
    path.Append(file, fileLength);
    return path;
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
