/* A stand-in for newdev.dll whose driver update answers what the test asks
 * for, and which records every call.
 *
 * VANTINST_FAKE_NEWDEV  comma-separated answers, one per successive call in
 *                       this process: "ok" returns TRUE with last-error 0
 *                       after copying the package's driver files beside the
 *                       INF into system32\drivers, as a real update does;
 *                       "hollow" returns TRUE with last-error 0 and copies
 *                       nothing (a faulty class installer or co-installer);
 *                       a code returns FALSE with that last-error.  A code is
 *                       hexadecimal when it starts with 0x or holds a letter
 *                       a-f (e000020b), otherwise decimal (259, 5).  Calls
 *                       beyond the list repeat its last answer; no variable
 *                       at all means "ok".
 *                       "pnp" behaves as Windows does: ERROR_NO_SUCH_DEVINST
 *                       when no device carries the hardware id, otherwise
 *                       the update is handed to Wine's own newdev.dll through
 *                       "mkdevice.exe update" (path in VANTINST_MKDEVICE),
 *                       whose answer is returned.  Wine's own reports success
 *                       even when no device matches.  This mode needs the
 *                       overrides in the registry, see wineUpdate.
 * VANTINST_NEWDEV_LOG   file to which each call appends one line:
 *                       hwid<TAB>inf path<TAB>flags (hex)<TAB>parent (hex)<TAB>
 *                       reboot pointer ("null" or "set")
 *
 * Built without FAKE_NEWDEV_NO_ENTRY it exports
 * UpdateDriverForPlugAndPlayDevicesA; with it, the DLL loads but lacks that
 * entry. */
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#ifndef FAKE_NEWDEV_NO_ENTRY

#include <setupapi.h>

static int callCount;

static int deviceExists(const char *hwid)
{
    HDEVINFO set = SetupDiGetClassDevsA(NULL, NULL, NULL, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA dev;
    DWORD i;
    int found = 0;
    if (set == INVALID_HANDLE_VALUE) return 0;
    dev.cbSize = sizeof dev;
    for (i = 0; !found && SetupDiEnumDeviceInfo(set, i, &dev); i++) {
        char ids[1024];
        const char *id;
        memset(ids, 0, sizeof ids);
        if (!SetupDiGetDeviceRegistryPropertyA(set, &dev, SPDRP_HARDWAREID, NULL, (BYTE *)ids,
                                               sizeof ids - 2, NULL))
            continue;
        for (id = ids; *id; id += strlen(id) + 1)
            if (!_stricmp(id, hwid)) found = 1;
    }
    SetupDiDestroyDeviceInfoList(set);
    return found;
}

/* Runs "mkdevice.exe update", which must get Wine's builtin newdev.dll: Wine takes
 * WINEDLLOVERRIDES from the Unix environment that a child inherits unchanged, so the
 * test routes newdev.dll through the registry instead (native by default, builtin
 * for mkdevice.exe).  Returns the child's exit code. */
static DWORD wineUpdate(LPCSTR hwid, LPCSTR inf, DWORD flags)
{
    char tool[MAX_PATH], cmdline[3 * MAX_PATH];
    STARTUPINFOA si;
    PROCESS_INFORMATION pi;
    DWORD code = ERROR_FILE_NOT_FOUND;
    if (!GetEnvironmentVariableA("VANTINST_MKDEVICE", tool, sizeof tool)) return code;
    _snprintf(cmdline, sizeof cmdline - 1, "\"%s\" update \"%s\" \"%s\" %lu", tool, hwid, inf,
              (unsigned long)flags);
    cmdline[sizeof cmdline - 1] = 0;
    /* Should this DLL be loaded in the child after all, it must not start another. */
    SetEnvironmentVariableA("VANTINST_FAKE_NEWDEV_CHILD", "1");
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    if (CreateProcessA(NULL, cmdline, NULL, NULL, FALSE, 0, NULL, NULL, &si, &pi)) {
        WaitForSingleObject(pi.hProcess, INFINITE);
        GetExitCodeProcess(pi.hProcess, &code);
        CloseHandle(pi.hProcess);
        CloseHandle(pi.hThread);
    } else {
        code = GetLastError();
    }
    SetEnvironmentVariableA("VANTINST_FAKE_NEWDEV_CHILD", NULL);
    return code;
}

static int isPnpMode(void)
{
    char mode[16];
    DWORD n = GetEnvironmentVariableA("VANTINST_FAKE_NEWDEV", mode, sizeof mode);
    return n > 0 && n < sizeof mode && !_stricmp(mode, "pnp");
}

/* The driver files that the package's INF names: <base>.sys, and for the Windows 2000
 * package also orvel2kparport.sys, copied from beside the INF into system32\drivers. */
static void deliverFiles(LPCSTR inf)
{
    static const char *const extra[] = {"orvel2kparport.sys", NULL};
    char folder[MAX_PATH], base[MAX_PATH], drivers[MAX_PATH], from[2 * MAX_PATH], to[2 * MAX_PATH];
    const char *name, *dot;
    int i;
    if (!inf || strlen(inf) >= MAX_PATH || !GetSystemDirectoryA(drivers, sizeof drivers)) return;
    name = strrchr(inf, '\\');
    name = name ? name + 1 : inf;
    dot = strrchr(name, '.');
    memcpy(folder, inf, (size_t)(name - inf));
    folder[name - inf] = 0;
    memcpy(base, name, (size_t)(dot ? dot - name : (ptrdiff_t)strlen(name)));
    base[dot ? dot - name : (ptrdiff_t)strlen(name)] = 0;
    _snprintf(from, sizeof from - 1, "%s%s.sys", folder, base);
    from[sizeof from - 1] = 0;
    _snprintf(to, sizeof to - 1, "%s\\drivers\\%s.sys", drivers, base);
    to[sizeof to - 1] = 0;
    CopyFileA(from, to, FALSE);
    if (_stricmp(base, "orvel2kparallel")) return;
    for (i = 0; extra[i]; i++) {
        _snprintf(from, sizeof from - 1, "%s%s", folder, extra[i]);
        from[sizeof from - 1] = 0;
        _snprintf(to, sizeof to - 1, "%s\\drivers\\%s", drivers, extra[i]);
        to[sizeof to - 1] = 0;
        CopyFileA(from, to, FALSE);
    }
}

/* 1: success that delivers the files, 2: success without them, 0: failure with *code. */
static int answerFor(int call, DWORD *code)
{
    char list[512], *item, *save = NULL, *last = "ok";
    DWORD n = GetEnvironmentVariableA("VANTINST_FAKE_NEWDEV", list, sizeof list);
    int i = 0;
    if (n == 0 || n >= sizeof list) { *code = 0; return 1; }
    for (item = strtok_r(list, ",", &save); item; item = strtok_r(NULL, ",", &save), i++) {
        last = item;
        if (i == call) break;
    }
    while (*last == ' ') last++;
    if (!_stricmp(last, "ok")) { *code = 0; return 1; }
    if (!_stricmp(last, "hollow")) { *code = 0; return 2; }
    if (strpbrk(last, "abcdefABCDEF") || !_strnicmp(last, "0x", 2)) *code = strtoul(last, NULL, 16);
    else *code = strtoul(last, NULL, 10);
    return 0;
}

static void logCall(HWND parent, LPCSTR hwid, LPCSTR inf, DWORD flags, PBOOL reboot)
{
    char path[MAX_PATH];
    FILE *f;
    DWORD n = GetEnvironmentVariableA("VANTINST_NEWDEV_LOG", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    f = fopen(path, "ab");
    if (!f) return;
    fprintf(f, "%s\t%s\t%lx\t%llx\t%s\n", hwid ? hwid : "(null)", inf ? inf : "(null)",
            (unsigned long)flags, (unsigned long long)(ULONG_PTR)parent, reboot ? "set" : "null");
    fclose(f);
}

__declspec(dllexport) BOOL WINAPI UpdateDriverForPlugAndPlayDevicesA(HWND hwndParent, LPCSTR HardwareId,
                                                                     LPCSTR FullInfPath, DWORD InstallFlags,
                                                                     PBOOL bRebootRequired)
{
    DWORD code;
    int ok;
    logCall(hwndParent, HardwareId, FullInfPath, InstallFlags, bRebootRequired);
    if (isPnpMode()) {
        if (GetEnvironmentVariableA("VANTINST_FAKE_NEWDEV_CHILD", NULL, 0)) code = ERROR_CALL_NOT_IMPLEMENTED;
        else if (!HardwareId || !deviceExists(HardwareId)) code = ERROR_NO_SUCH_DEVINST;
        else code = wineUpdate(HardwareId, FullInfPath ? FullInfPath : "", InstallFlags);
        ok = code == 0;
    } else {
        ok = answerFor(callCount++, &code);
        if (ok == 1) deliverFiles(FullInfPath);
    }
    if (bRebootRequired) *bRebootRequired = FALSE;
    SetLastError(code);
    return ok ? TRUE : FALSE;
}

#else

/* Present so that the DLL has an export table, but not the entry the program wants. */
__declspec(dllexport) BOOL WINAPI InstallNewDevice(HWND parent, LPGUID classGuid, PDWORD reboot)
{
    (void)parent; (void)classGuid; (void)reboot;
    return FALSE;
}

#endif

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved)
{
    (void)instance; (void)reason; (void)reserved;
    return TRUE;
}
