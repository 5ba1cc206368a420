/* mkdevice.exe - creates or removes a root-enumerated device of the "Ports"
 * class with a given hardware id, so that the Plug and Play driver update
 * finds a device to install the driver on.
 *
 *   mkdevice add <hardware id>      e.g. mkdevice add *PNP0400
 *   mkdevice remove <hardware id>   removes every device with that id
 *   mkdevice list                   prints the hardware ids of all devices
 *   mkdevice update <hardware id> <inf path> <flags>
 *                                   calls newdev.dll's driver update (run it
 *                                   with WINEDLLOVERRIDES=newdev=b for Wine's
 *                                   own); exit status: its last-error on
 *                                   failure, 0 on success
 *
 * Otherwise exit status 0 on success, 1 on failure (the reason goes to stderr). */
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static int addDevice(const char *hwid)
{
    char ids[256];
    size_t n = strlen(hwid);
    SP_DEVINFO_DATA dev;
    HDEVINFO set = SetupDiCreateDeviceInfoList(&GUID_DEVCLASS_PORTS, NULL);
    if (set == INVALID_HANDLE_VALUE || n + 2 > sizeof ids) return 0;
    memset(ids, 0, sizeof ids);
    memcpy(ids, hwid, n); /* REG_MULTI_SZ: the id and two terminating zeros */
    dev.cbSize = sizeof dev;
    if (!SetupDiCreateDeviceInfoA(set, "Ports", &GUID_DEVCLASS_PORTS, NULL, NULL,
                                  DICD_GENERATE_ID, &dev)) {
        fprintf(stderr, "SetupDiCreateDeviceInfoA: %lu\n", GetLastError());
        return 0;
    }
    if (!SetupDiSetDeviceRegistryPropertyA(set, &dev, SPDRP_HARDWAREID, (BYTE *)ids, (DWORD)n + 2)) {
        fprintf(stderr, "SetupDiSetDeviceRegistryPropertyA: %lu\n", GetLastError());
        return 0;
    }
    if (!SetupDiCallClassInstaller(DIF_REGISTERDEVICE, set, &dev)) {
        fprintf(stderr, "SetupDiCallClassInstaller: %lu\n", GetLastError());
        return 0;
    }
    SetupDiDestroyDeviceInfoList(set);
    return 1;
}

/* Lists the hardware ids of every device, or removes the devices that carry hwid. */
static int forEachDevice(const char *hwid, int removeMatches)
{
    HDEVINFO set = SetupDiGetClassDevsA(NULL, NULL, NULL, DIGCF_ALLCLASSES);
    SP_DEVINFO_DATA dev;
    DWORD i;
    int ok = 1;
    if (set == INVALID_HANDLE_VALUE) return 0;
    dev.cbSize = sizeof dev;
    for (i = 0; SetupDiEnumDeviceInfo(set, i, &dev); i++) {
        char ids[1024];
        const char *id;
        DWORD type, size = 0;
        memset(ids, 0, sizeof ids);
        if (!SetupDiGetDeviceRegistryPropertyA(set, &dev, SPDRP_HARDWAREID, &type, (BYTE *)ids,
                                               sizeof ids - 2, &size))
            continue;
        for (id = ids; *id; id += strlen(id) + 1) {
            if (!removeMatches) {
                printf("%s\n", id);
            } else if (_stricmp(id, hwid) == 0) {
                if (!SetupDiRemoveDevice(set, &dev)) {
                    fprintf(stderr, "SetupDiRemoveDevice: %lu\n", GetLastError());
                    ok = 0;
                }
                break;
            }
        }
    }
    SetupDiDestroyDeviceInfoList(set);
    return ok;
}

typedef BOOL (WINAPI *UpdateDriverProc)(HWND, LPCSTR, LPCSTR, DWORD, PBOOL);

static int updateDriver(const char *hwid, const char *inf, const char *flags)
{
    HMODULE newdev = LoadLibraryA("newdev.dll");
    UpdateDriverProc update;
    if (!newdev) return (int)GetLastError();
    update = (UpdateDriverProc)(void *)GetProcAddress(newdev, "UpdateDriverForPlugAndPlayDevicesA");
    if (!update) return (int)GetLastError();
    if (update(NULL, hwid, inf, strtoul(flags, NULL, 0), NULL)) return 0;
    return GetLastError() ? (int)GetLastError() : 1;
}

int main(int argc, char **argv)
{
    int ok;
    if (argc == 5 && !strcmp(argv[1], "update")) return updateDriver(argv[2], argv[3], argv[4]);
    if (argc == 3 && !strcmp(argv[1], "add")) ok = addDevice(argv[2]);
    else if (argc == 3 && !strcmp(argv[1], "remove")) ok = forEachDevice(argv[2], 1);
    else if (argc == 2 && !strcmp(argv[1], "list")) ok = forEachDevice(NULL, 0);
    else {
        fprintf(stderr, "usage: mkdevice add|remove <hardware id> | mkdevice list\n");
        return 2;
    }
    fflush(stdout);
    return ok ? 0 : 1;
}
