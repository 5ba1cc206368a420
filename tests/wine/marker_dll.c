/* A DLL that only reports that it was loaded: it appends its own path to a
 * marker file (VANTINST_MARKER_FILE, else C:\planted-dll-loaded.txt) in
 * DllMain.  Built under the names of system DLLs (version.dll, comctl32.dll,
 * newdev.dll) and put beside the program, it shows whether the program loads
 * a DLL from its own directory instead of the system's. */
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <stdio.h>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)reserved;
    if (reason == DLL_PROCESS_ATTACH) {
        char marker[MAX_PATH], self[MAX_PATH];
        DWORD n = GetEnvironmentVariableA("VANTINST_MARKER_FILE", marker, sizeof marker);
        FILE *f;
        if (n == 0 || n >= sizeof marker) lstrcpyA(marker, "C:\\planted-dll-loaded.txt");
        if (!GetModuleFileNameA(instance, self, sizeof self)) lstrcpyA(self, "?");
        f = fopen(marker, "ab");
        if (f) {
            fprintf(f, "%s\n", self);
            fclose(f);
        }
    }
    return TRUE;
}
