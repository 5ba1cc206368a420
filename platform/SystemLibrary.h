// Loading a DLL of Windows itself by its full path in the system directory, so that a
// DLL of the same name beside the program (which is searched first on Windows 2000 and
// XP) is never loaded into an installer that runs with administrator rights.
#pragma once

#include "platform/Win.h"

HMODULE LoadSystemLibrary(const char* name);

// A function of a loaded library, typed with its own prototype so the calling
// convention is right; null when the library lacks it.
template <class Proc>
Proc ProcAddress(HMODULE module, const char* name)
{
    return reinterpret_cast<Proc>(reinterpret_cast<void*>(os::GetProcAddress(module, name)));
}
