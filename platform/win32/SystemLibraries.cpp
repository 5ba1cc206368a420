// The functions of VERSION and COMCTL32, called through pointers into the copies in the
// system directory. Each library is loaded on first use and stays for the process.
#include "platform/SystemLibrary.h"

namespace {

template <class Proc>
Proc SystemProc(HMODULE& module, const char* library, const char* name)
{
    if (!module)
        module = LoadSystemLibrary(library);
    return module ? ProcAddress<Proc>(module, name) : nullptr;
}

HMODULE version = nullptr;
HMODULE commonControls = nullptr;

}  // namespace

namespace os {

DWORD GetFileVersionInfoSizeA(LPCSTR name, DWORD* handle)
{
    auto proc = SystemProc<decltype(&::GetFileVersionInfoSizeA)>(version, "version.dll", "GetFileVersionInfoSizeA");
    if (!proc)
        return 0;
    return proc(name, handle);
}

BOOL GetFileVersionInfoA(LPCSTR name, DWORD handle, DWORD size, void* data)
{
    auto proc = SystemProc<decltype(&::GetFileVersionInfoA)>(version, "version.dll", "GetFileVersionInfoA");
    return proc ? proc(name, handle, size, data) : FALSE;
}

BOOL VerQueryValueA(const void* block, LPCSTR subBlock, void** buffer, UINT* length)
{
    auto proc = SystemProc<decltype(&::VerQueryValueA)>(version, "version.dll", "VerQueryValueA");
    return proc ? proc(block, subBlock, buffer, length) : FALSE;
}

void InitCommonControls()
{
    auto proc = SystemProc<decltype(&::InitCommonControls)>(commonControls, "comctl32.dll", "InitCommonControls");
    if (proc)
        proc();
}

}  // namespace os
