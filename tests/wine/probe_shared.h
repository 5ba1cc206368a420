/* What probe.exe and probe_hook.dll exchange when the probe reads a system
 * menu inside the program under test. */
#ifndef PROBE_SHARED_H
#define PROBE_SHARED_H

#define PROBE_MENU_MAPPING "VantinstProbeMenuReply"
#define PROBE_MENU_EVENT   "VantinstProbeMenuDone"
#define PROBE_MENU_MESSAGE "VantinstProbeMenuQuery"
#define PROBE_MENU_MAX 32

struct ProbeMenuItem {
    LONG id;          /* GetMenuItemID; -1 for a submenu */
    DWORD type;       /* fType of GetMenuItemInfo (MFT_SEPARATOR, MFT_STRING, ...) */
    DWORD state;      /* fState of GetMenuItemInfo */
    char text[256];   /* GetMenuStringA, code-page bytes */
};

struct ProbeMenuReply {
    LONG hasMenu;
    LONG count;       /* GetMenuItemCount */
    struct ProbeMenuItem items[PROBE_MENU_MAX];
};

#endif
