#include "platform/SystemLibrary.h"

#include "platform/PathName.h"

HMODULE LoadSystemLibrary(const char* name)
{
    char directory[MAX_PATH] = "";
    UINT length = os::GetSystemDirectoryA(directory, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return nullptr;
    return os::LoadLibraryExA(JoinPath(directory, name).c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}
