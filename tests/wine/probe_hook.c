/* probe_hook.dll - loaded into the program under test by a WH_GETMESSAGE hook
 * that probe.exe sets on the dialog's thread.  On the probe's query message it
 * reads the window's system menu and hands it back through shared memory. */
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <string.h>

#include "probe_shared.h"

static void answer(HWND window)
{
    HANDLE mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, PROBE_MENU_MAPPING);
    HANDLE done = OpenEventA(EVENT_MODIFY_STATE, FALSE, PROBE_MENU_EVENT);
    struct ProbeMenuReply *reply = mapping ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0) : NULL;
    if (reply) {
        HMENU menu = GetSystemMenu(window, FALSE);
        int i, n;
        memset(reply, 0, sizeof *reply);
        reply->hasMenu = menu != NULL;
        n = menu ? GetMenuItemCount(menu) : 0;
        reply->count = n;
        for (i = 0; i < n && i < PROBE_MENU_MAX; i++) {
            struct ProbeMenuItem *it = &reply->items[i];
            MENUITEMINFOA mii;
            memset(&mii, 0, sizeof mii);
            mii.cbSize = sizeof mii;
            mii.fMask = MIIM_FTYPE | MIIM_STATE;
            if (GetMenuItemInfoA(menu, i, TRUE, &mii)) {
                it->type = mii.fType;
                it->state = mii.fState;
            }
            it->id = (LONG)GetMenuItemID(menu, i);
            GetMenuStringA(menu, i, it->text, sizeof it->text, MF_BYPOSITION);
        }
        UnmapViewOfFile(reply);
    }
    if (mapping) CloseHandle(mapping);
    if (done) {
        SetEvent(done);
        CloseHandle(done);
    }
}

__declspec(dllexport) LRESULT CALLBACK ProbeGetMessageHook(int code, WPARAM wParam, LPARAM lParam)
{
    static UINT query;
    if (!query) query = RegisterWindowMessageA(PROBE_MENU_MESSAGE);
    if (code == HC_ACTION && wParam == PM_REMOVE) {
        MSG *msg = (MSG *)lParam;
        if (msg->message == query) {
            answer((HWND)msg->wParam);
            msg->message = WM_NULL;
        }
    }
    return CallNextHookEx(NULL, code, wParam, lParam);
}
