// A program with the faults check_pe.py exists to catch, for the checker's own test:
// an import that Windows 2000 lacks (GetTickCount64, Vista), a DLL outside the allowed
// set (SHELL32), a run-time lookup of a COMCTL32 6.0 function, and a TLS callback of
// its own. It is built and inspected, never run.
#include <windows.h>

extern "C" __declspec(dllimport) ULONGLONG WINAPI GetTickCount64(void);
extern "C" __declspec(dllimport) HINSTANCE WINAPI ShellExecuteA(HWND, LPCSTR, LPCSTR, LPCSTR, LPCSTR, INT);

extern "C" {
void NTAPI FaultySampleTlsCallback(PVOID, DWORD, PVOID) {}
__attribute__((section(".CRT$XLB"), used)) PIMAGE_TLS_CALLBACK faultySampleTlsEntry = FaultySampleTlsCallback;
}

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HMODULE controls = LoadLibraryA("comctl32.dll");
    FARPROC subclass = controls ? GetProcAddress(controls, "SetWindowSubclass") : nullptr;
    ShellExecuteA(nullptr, nullptr, "about:blank", nullptr, nullptr, SW_SHOW);
    return static_cast<int>(GetTickCount64() & 1) + (subclass != nullptr);
}
