/*
 * probe.exe - remote control for the Wine tests.
 *
 * Runs inside the test prefix, reads one command per line from stdin and
 * answers each with one line of JSON on stdout.  Window texts are given as
 * hex strings of their code-page bytes, so the test side sees exactly what
 * the program put on the screen.
 *
 * The program under test is started with CreateProcess, so the whole exit
 * code is available (the shell only passes on its low 8 bits).
 *
 * Commands (numbers may be decimal or 0x-prefixed hex):
 *   start <command line>              start the program under test
 *   startw <utf-8 command line, hex>  the same through CreateProcessW, for paths
 *                                     that code page 1252 cannot spell
 *   starta <application, hex> <command line>
 *                                     start with the application's name passed on
 *                                     its own, as services and deployment agents
 *                                     do; the command line is passed as given
 *   windows                           list its top-level windows
 *   wait_window <ms> <caption-hex|*> [hwnd...]
 *                                     wait for a visible "#32770" window of the
 *                                     program with that caption (or any), not
 *                                     one of the listed handles
 *   wait_gone <ms> <hwnd>             wait until a window is destroyed
 *   dump <hwnd>                       a window and its direct children
 *   workarea                          SPI_GETWORKAREA and the screen size
 *   click <hwnd> <id>                 post BM_CLICK to a dialog's control
 *   command <hwnd> <id>               post WM_COMMAND/BN_CLICKED to a dialog
 *   post <hwnd> <msg> <wparam> <lparam>
 *   send <hwnd> <msg> <wparam> <lparam>   (SendMessageTimeout, 5 s; not SMTO_ABORTIFHUNG:
 *                                     in the emulated PC a program busy for 5 s is
 *                                     "hung" to Wine, and the send would fail at once)
 *
 * The probe's own waits (5 s, 10 s) are multiplied by VANTINST_PROBE_SLOWNESS if set.
 *   key <hwnd> <vk>                   key down and up to the focus window of
 *                                     the window's thread
 *   sysmenu <hwnd>                    entries of the window's system menu
 *                                     (read inside the program through a hook)
 *   wait_exit <ms>                    wait for the program to end; lists the
 *                                     windows it showed meanwhile
 *   kill                              terminate the program
 *   attrs <path>                      GetFileAttributesA
 *   setattrs <path> <value>           SetFileAttributesA
 *   quit
 */
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "probe_shared.h"

/* How many times slower than the host the machine runs (the emulated PC): the
 * probe's own waits are stretched by it, as the tests' waits are. */
static DWORD slowness = 1;

static DWORD scaled(DWORD ms)
{
    return ms * slowness;
}

/* ---- output ------------------------------------------------------------ */

static char out[1 << 16];
static size_t outLen;

static void put(const char *s)
{
    size_t n = strlen(s);
    if (outLen + n < sizeof out - 1) {
        memcpy(out + outLen, s, n);
        outLen += n;
    }
}

static void putf(const char *fmt, ...)
{
    char buf[512];
    va_list ap;
    va_start(ap, fmt);
    _vsnprintf(buf, sizeof buf - 1, fmt, ap);
    buf[sizeof buf - 1] = 0;
    va_end(ap);
    put(buf);
}

static void putHex(const char *bytes, int n)
{
    static const char digits[] = "0123456789abcdef";
    char pair[3] = {0, 0, 0};
    int i;
    put("\"");
    for (i = 0; i < n; i++) {
        pair[0] = digits[((unsigned char)bytes[i]) >> 4];
        pair[1] = digits[((unsigned char)bytes[i]) & 15];
        put(pair);
    }
    put("\"");
}

static void putHwnd(HWND h)
{
    putf("\"0x%llx\"", (unsigned long long)(ULONG_PTR)h);
}

static void putRect(const RECT *r)
{
    putf("[%ld,%ld,%ld,%ld]", r->left, r->top, r->right, r->bottom);
}

/* Every answer starts with this, so that a line that something else wrote to the
 * same stdout cannot be taken for one. */
#define ANSWER_MARK "@probe "

static void flushLine(void)
{
    fwrite(ANSWER_MARK, 1, sizeof ANSWER_MARK - 1, stdout);
    out[outLen++] = '\n';
    fwrite(out, 1, outLen, stdout);
    fflush(stdout);
    outLen = 0;
}

static void fail(const char *why)
{
    outLen = 0;
    putf("{\"ok\":false,\"error\":\"%s\",\"lasterror\":%lu}", why, GetLastError());
    flushLine();
}

/* ---- parsing ----------------------------------------------------------- */

static char *nextWord(char **p)
{
    char *s = *p, *w;
    while (*s == ' ' || *s == '\t') s++;
    if (!*s) { *p = s; return NULL; }
    w = s;
    while (*s && *s != ' ' && *s != '\t') s++;
    if (*s) *s++ = 0;
    *p = s;
    return w;
}

static int nextNumber(char **p, ULONGLONG *v)
{
    char *w = nextWord(p), *end;
    if (!w) return 0;
    *v = _strtoui64(w, &end, 0);
    return *end == 0;
}

static int unhex(const char *hex, char *dst, int cap)
{
    int n = 0;
    while (hex[0] && hex[1] && n < cap - 1) {
        unsigned v;
        if (sscanf(hex, "%2x", &v) != 1) return -1;
        dst[n++] = (char)v;
        hex += 2;
    }
    dst[n] = 0;
    return n;
}

/* ---- the program under test -------------------------------------------- */

static HANDLE child;
static DWORD childPid;

static int childExited(DWORD *code)
{
    if (!child) return 0;
    if (WaitForSingleObject(child, 0) != WAIT_OBJECT_0) return 0;
    GetExitCodeProcess(child, code);
    return 1;
}

/* wide != NULL: start with that UTF-16 command line (a path the ANSI code page
 * cannot spell), else with the ANSI one. */
static void startChild(const char *application, char *cmdline, WCHAR *wide)
{
    STARTUPINFOA si;
    PROCESS_INFORMATION pi;
    SECURITY_ATTRIBUTES inherit = {sizeof inherit, NULL, TRUE};
    HANDLE nul;
    BOOL started;
    if (child) { CloseHandle(child); child = NULL; }
    /* The program gets no share of the probe's stdin and stdout; its stderr is the
     * probe's, where Wine's traces go. */
    nul = CreateFileA("NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      &inherit, OPEN_EXISTING, 0, NULL);
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = nul;
    si.hStdOutput = nul;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    if (wide)
        started = CreateProcessW(NULL, wide, NULL, NULL, TRUE, 0, NULL, NULL, (STARTUPINFOW *)&si, &pi);
    else
        started = CreateProcessA(application, cmdline, NULL, NULL, TRUE, 0, NULL, NULL, &si, &pi);
    if (nul != INVALID_HANDLE_VALUE) CloseHandle(nul);
    if (!started) {
        fail("createprocess");
        return;
    }
    CloseHandle(pi.hThread);
    child = pi.hProcess;
    childPid = pi.dwProcessId;
    putf("{\"ok\":true,\"pid\":%lu}", childPid);
    flushLine();
}

static void cmdStart(char *cmdline)
{
    while (*cmdline == ' ') cmdline++;
    startChild(NULL, cmdline, NULL);
}

/* startw <hex of the UTF-8 command line> */
static void cmdStartW(char *args)
{
    static char utf8[1 << 14];
    static WCHAR wide[1 << 14];
    char *hex = nextWord(&args);
    if (!hex || unhex(hex, utf8, sizeof utf8) < 0 ||
        !MultiByteToWideChar(CP_UTF8, 0, utf8, -1, wide, sizeof wide / sizeof wide[0])) {
        fail("usage");
        return;
    }
    startChild(NULL, NULL, wide);
}

/* starta <hex of the application's name> <command line, taken whole after one blank> */
static void cmdStartA(char *args)
{
    static char application[MAX_PATH];
    char *hex = nextWord(&args);
    if (!hex || unhex(hex, application, sizeof application) < 0) {
        fail("usage");
        return;
    }
    startChild(application, args, NULL);
}

/* Top-level windows of the program, in z-order. */
#define MAX_WINDOWS 64
static HWND found[MAX_WINDOWS];
static int foundCount;

static BOOL CALLBACK collect(HWND h, LPARAM unused)
{
    DWORD pid = 0;
    (void)unused;
    GetWindowThreadProcessId(h, &pid);
    if (pid == childPid && foundCount < MAX_WINDOWS) found[foundCount++] = h;
    return TRUE;
}

static void collectWindows(void)
{
    foundCount = 0;
    if (childPid) EnumWindows(collect, 0);
}

static int isDialog(HWND h)
{
    char cls[64];
    return GetClassNameA(h, cls, sizeof cls) && strcmp(cls, "#32770") == 0;
}

static int textOf(HWND h, char *buf, int cap)
{
    int n;
    buf[0] = 0;
    n = GetWindowTextA(h, buf, cap);
    return n < 0 ? 0 : n;
}

static void putWindowSummary(HWND h)
{
    char text[4096], cls[256];
    int n = textOf(h, text, sizeof text);
    int c = GetClassNameA(h, cls, sizeof cls);
    put("{\"hwnd\":"); putHwnd(h);
    put(",\"class\":"); putHex(cls, c);
    put(",\"text\":"); putHex(text, n);
    putf(",\"visible\":%s,\"enabled\":%s,\"owner\":",
         IsWindowVisible(h) ? "true" : "false", IsWindowEnabled(h) ? "true" : "false");
    putHwnd(GetWindow(h, GW_OWNER));
    put("}");
}

static void cmdWindows(void)
{
    int i;
    collectWindows();
    put("{\"ok\":true,\"windows\":[");
    for (i = 0; i < foundCount; i++) {
        if (i) put(",");
        putWindowSummary(found[i]);
    }
    put("]}");
    flushLine();
}

static void cmdWaitWindow(char *args)
{
    ULONGLONG timeout, v;
    char *capHex = NULL, caption[4096], text[4096];
    HWND excluded[32];
    int nExcluded = 0, capLen = -1, i;
    DWORD start = GetTickCount(), code;

    if (!nextNumber(&args, &timeout) || !(capHex = nextWord(&args))) { fail("usage"); return; }
    if (strcmp(capHex, "*") != 0) capLen = unhex(capHex, caption, sizeof caption);
    while (nExcluded < 32 && nextNumber(&args, &v)) excluded[nExcluded++] = (HWND)(ULONG_PTR)v;

    for (;;) {
        collectWindows();
        for (i = 0; i < foundCount; i++) {
            HWND h = found[i];
            int k, skip = 0;
            for (k = 0; k < nExcluded; k++) if (excluded[k] == h) skip = 1;
            if (skip || !isDialog(h) || !IsWindowVisible(h)) continue;
            if (capLen >= 0) {
                int n = textOf(h, text, sizeof text);
                if (n != capLen || memcmp(text, caption, n) != 0) continue;
            }
            put("{\"ok\":true,\"hwnd\":"); putHwnd(h); put("}");
            flushLine();
            return;
        }
        if (childExited(&code)) {
            putf("{\"ok\":false,\"error\":\"exited\",\"code\":%lu}", code);
            flushLine();
            return;
        }
        if (GetTickCount() - start > (DWORD)timeout) break;
        Sleep(20);
    }
    put("{\"ok\":false,\"error\":\"timeout\",\"windows\":[");
    for (i = 0; i < foundCount; i++) {
        if (i) put(",");
        putWindowSummary(found[i]);
    }
    put("]}");
    flushLine();
}

static void cmdWaitGone(char *args)
{
    ULONGLONG timeout, v;
    HWND h;
    DWORD start = GetTickCount();
    if (!nextNumber(&args, &timeout) || !nextNumber(&args, &v)) { fail("usage"); return; }
    h = (HWND)(ULONG_PTR)v;
    while (IsWindow(h)) {
        if (GetTickCount() - start > (DWORD)timeout) { fail("timeout"); return; }
        Sleep(20);
    }
    put("{\"ok\":true}");
    flushLine();
}

static void cmdDump(char *args)
{
    ULONGLONG v;
    HWND h, c;
    RECT r;
    char text[4096], cls[256];
    int n, first = 1;

    if (!nextNumber(&args, &v)) { fail("usage"); return; }
    h = (HWND)(ULONG_PTR)v;
    if (!IsWindow(h)) { fail("nowindow"); return; }

    n = textOf(h, text, sizeof text);
    put("{\"ok\":true,\"hwnd\":"); putHwnd(h);
    GetClassNameA(h, cls, sizeof cls);
    put(",\"class\":"); putHex(cls, (int)strlen(cls));
    put(",\"text\":"); putHex(text, n);
    GetWindowRect(h, &r);
    put(",\"rect\":"); putRect(&r);
    GetClientRect(h, &r);
    put(",\"client\":"); putRect(&r);
    {
        POINT origin = {0, 0};
        ClientToScreen(h, &origin);
        putf(",\"origin\":[%ld,%ld]", (long)origin.x, (long)origin.y);
    }
    put(",\"owner\":"); putHwnd(GetWindow(h, GW_OWNER));
    putf(",\"enabled\":%s,\"visible\":%s,\"style\":%lu,\"exstyle\":%lu,\"children\":[",
         IsWindowEnabled(h) ? "true" : "false", IsWindowVisible(h) ? "true" : "false",
         (unsigned long)GetWindowLongA(h, GWL_STYLE), (unsigned long)GetWindowLongA(h, GWL_EXSTYLE));
    for (c = GetWindow(h, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (!first) put(",");
        first = 0;
        n = textOf(c, text, sizeof text);
        GetClassNameA(c, cls, sizeof cls);
        put("{\"hwnd\":"); putHwnd(c);
        putf(",\"id\":%d", GetDlgCtrlID(c));
        put(",\"class\":"); putHex(cls, (int)strlen(cls));
        put(",\"text\":"); putHex(text, n);
        GetWindowRect(c, &r);
        putf(",\"enabled\":%s,\"visible\":%s,\"style\":%lu,\"rect\":",
             IsWindowEnabled(c) ? "true" : "false", IsWindowVisible(c) ? "true" : "false",
             (unsigned long)GetWindowLongA(c, GWL_STYLE));
        putRect(&r);
        put("}");
    }
    put("]}");
    flushLine();
}

static void cmdWorkArea(void)
{
    RECT r;
    if (!SystemParametersInfoA(SPI_GETWORKAREA, 0, &r, 0)) { fail("spi"); return; }
    put("{\"ok\":true,\"workarea\":"); putRect(&r);
    putf(",\"screen\":[%d,%d]}", GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
    flushLine();
}

static void cmdPostOrSend(char *args, int send)
{
    ULONGLONG h, msg, wp, lp;
    DWORD_PTR result = 0;
    if (!nextNumber(&args, &h) || !nextNumber(&args, &msg) || !nextNumber(&args, &wp) ||
        !nextNumber(&args, &lp)) { fail("usage"); return; }
    if (send) {
        if (!SendMessageTimeoutA((HWND)(ULONG_PTR)h, (UINT)msg, (WPARAM)wp, (LPARAM)lp,
                                 SMTO_NORMAL, scaled(5000), &result)) { fail("send"); return; }
        putf("{\"ok\":true,\"result\":%lld}", (long long)(LONG_PTR)result);
    } else {
        if (!PostMessageA((HWND)(ULONG_PTR)h, (UINT)msg, (WPARAM)wp, (LPARAM)lp)) { fail("post"); return; }
        put("{\"ok\":true}");
    }
    flushLine();
}

static void cmdClick(char *args, int asCommand)
{
    ULONGLONG h, id;
    HWND dlg, item;
    BOOL posted;
    if (!nextNumber(&args, &h) || !nextNumber(&args, &id)) { fail("usage"); return; }
    dlg = (HWND)(ULONG_PTR)h;
    item = GetDlgItem(dlg, (int)id);
    if (!item) { fail("noitem"); return; }
    if (asCommand)
        posted = PostMessageA(dlg, WM_COMMAND, MAKEWPARAM((WORD)id, BN_CLICKED), (LPARAM)item);
    else
        posted = PostMessageA(item, BM_CLICK, 0, 0);
    if (!posted) { fail("post"); return; }
    put("{\"ok\":true}");
    flushLine();
}

static void cmdKey(char *args)
{
    ULONGLONG h, vk;
    HWND target;
    GUITHREADINFO gti;
    UINT scan;
    if (!nextNumber(&args, &h) || !nextNumber(&args, &vk)) { fail("usage"); return; }
    target = (HWND)(ULONG_PTR)h;
    memset(&gti, 0, sizeof gti);
    gti.cbSize = sizeof gti;
    if (GetGUIThreadInfo(GetWindowThreadProcessId(target, NULL), &gti) && gti.hwndFocus)
        target = gti.hwndFocus;
    scan = MapVirtualKeyA((UINT)vk, 0 /* MAPVK_VK_TO_VSC */);
    if (!PostMessageA(target, WM_KEYDOWN, (WPARAM)vk, 1 | (scan << 16)) ||
        !PostMessageA(target, WM_KEYUP, (WPARAM)vk, 1 | (scan << 16) | 0xC0000000u)) {
        fail("post");
        return;
    }
    put("{\"ok\":true,\"target\":"); putHwnd(target); put("}");
    flushLine();
}

/* The system menu can only be read inside the process that owns the window:
 * a message hook in probe_hook.dll runs there and answers through shared
 * memory. */
static void cmdSysMenu(char *args)
{
    ULONGLONG v;
    HWND h;
    HMODULE hookDll;
    HOOKPROC proc;
    HHOOK hook;
    HANDLE mapping, done;
    struct ProbeMenuReply *reply;
    char path[MAX_PATH], *slash;
    DWORD tid, wait;
    int i;

    if (!nextNumber(&args, &v)) { fail("usage"); return; }
    h = (HWND)(ULONG_PTR)v;
    tid = GetWindowThreadProcessId(h, NULL);
    if (!tid) { fail("nowindow"); return; }

    GetModuleFileNameA(NULL, path, sizeof path);
    slash = strrchr(path, '\\');
    if (!slash) { fail("path"); return; }
    strcpy(slash + 1, "probe_hook.dll");
    hookDll = LoadLibraryA(path);
    if (!hookDll) { fail("loadhook"); return; }
    proc = (HOOKPROC)(void *)GetProcAddress(hookDll, "ProbeGetMessageHook");

    mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0,
                                 sizeof(struct ProbeMenuReply), PROBE_MENU_MAPPING);
    done = CreateEventA(NULL, TRUE, FALSE, PROBE_MENU_EVENT);
    reply = mapping ? MapViewOfFile(mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0) : NULL;
    if (!proc || !done || !reply) { fail("setup"); return; }
    memset(reply, 0, sizeof *reply);
    ResetEvent(done);

    hook = SetWindowsHookExA(WH_GETMESSAGE, proc, hookDll, tid);
    if (!hook) { fail("hook"); return; }
    PostMessageA(h, RegisterWindowMessageA(PROBE_MENU_MESSAGE), (WPARAM)h, 0);
    wait = WaitForSingleObject(done, scaled(10000));
    UnhookWindowsHookEx(hook);

    if (wait != WAIT_OBJECT_0) {
        fail("noreply");
    } else if (!reply->hasMenu) {
        put("{\"ok\":true,\"menu\":false,\"items\":[]}");
        flushLine();
    } else {
        put("{\"ok\":true,\"menu\":true,\"items\":[");
        for (i = 0; i < reply->count && i < PROBE_MENU_MAX; i++) {
            const struct ProbeMenuItem *it = &reply->items[i];
            if (i) put(",");
            putf("{\"id\":%ld,\"type\":%lu,\"state\":%lu,\"text\":", (long)it->id,
                 (unsigned long)it->type, (unsigned long)it->state);
            putHex(it->text, (int)strlen(it->text));
            put("}");
        }
        put("]}");
        flushLine();
    }
    UnmapViewOfFile(reply);
    CloseHandle(mapping);
    CloseHandle(done);
}

static void cmdWaitExit(char *args)
{
    ULONGLONG timeout;
    HWND seen[MAX_WINDOWS];
    int nSeen = 0, i, k;
    DWORD start = GetTickCount(), code;

    if (!nextNumber(&args, &timeout)) { fail("usage"); return; }
    if (!child) { fail("nochild"); return; }
    for (;;) {
        collectWindows();
        for (i = 0; i < foundCount; i++) {
            int known = 0;
            if (!IsWindowVisible(found[i])) continue;
            for (k = 0; k < nSeen; k++) if (seen[k] == found[i]) known = 1;
            if (!known && nSeen < MAX_WINDOWS) seen[nSeen++] = found[i];
        }
        if (WaitForSingleObject(child, 10) == WAIT_OBJECT_0) break;
        if (GetTickCount() - start > (DWORD)timeout) {
            put("{\"ok\":false,\"error\":\"timeout\",\"windows_seen\":");
            putf("%d}", nSeen);
            flushLine();
            return;
        }
    }
    GetExitCodeProcess(child, &code);
    putf("{\"ok\":true,\"code\":%lu,\"windows_seen\":%d}", code, nSeen);
    flushLine();
}

static void cmdKill(void)
{
    if (child) {
        TerminateProcess(child, 0xdead);
        WaitForSingleObject(child, scaled(5000));
    }
    put("{\"ok\":true}");
    flushLine();
}

static void cmdAttrs(char *path)
{
    DWORD a;
    while (*path == ' ') path++;
    a = GetFileAttributesA(path);
    if (a == INVALID_FILE_ATTRIBUTES) {
        putf("{\"ok\":true,\"exists\":false,\"lasterror\":%lu}", GetLastError());
    } else {
        putf("{\"ok\":true,\"exists\":true,\"attrs\":%lu}", a);
    }
    flushLine();
}

static void cmdSetAttrs(char *args)
{
    ULONGLONG a;
    char *last;
    /* the value is the last word; the path may hold blanks */
    while (*args == ' ') args++;
    last = strrchr(args, ' ');
    if (!last) { fail("usage"); return; }
    *last++ = 0;
    if (!nextNumber(&last, &a)) { fail("usage"); return; }
    if (!SetFileAttributesA(args, (DWORD)a)) { fail("setattrs"); return; }
    put("{\"ok\":true}");
    flushLine();
}

int main(void)
{
    static char line[1 << 15];
    char factor[16];
    if (GetEnvironmentVariableA("VANTINST_PROBE_SLOWNESS", factor, sizeof factor) && atoi(factor) > 0)
        slowness = (DWORD)atoi(factor);
    setvbuf(stdout, NULL, _IOFBF, 1 << 16);
    put("{\"ok\":true,\"ready\":true}");
    flushLine();
    while (fgets(line, sizeof line, stdin)) {
        char *p = line, *cmd;
        size_t n = strlen(line);
        while (n && (line[n - 1] == '\n' || line[n - 1] == '\r')) line[--n] = 0;
        cmd = nextWord(&p);
        if (!cmd) continue;
        if (!strcmp(cmd, "start")) cmdStart(p);
        else if (!strcmp(cmd, "startw")) cmdStartW(p);
        else if (!strcmp(cmd, "starta")) cmdStartA(p);
        else if (!strcmp(cmd, "windows")) cmdWindows();
        else if (!strcmp(cmd, "wait_window")) cmdWaitWindow(p);
        else if (!strcmp(cmd, "wait_gone")) cmdWaitGone(p);
        else if (!strcmp(cmd, "dump")) cmdDump(p);
        else if (!strcmp(cmd, "workarea")) cmdWorkArea();
        else if (!strcmp(cmd, "click")) cmdClick(p, 0);
        else if (!strcmp(cmd, "command")) cmdClick(p, 1);
        else if (!strcmp(cmd, "post")) cmdPostOrSend(p, 0);
        else if (!strcmp(cmd, "send")) cmdPostOrSend(p, 1);
        else if (!strcmp(cmd, "key")) cmdKey(p);
        else if (!strcmp(cmd, "sysmenu")) cmdSysMenu(p);
        else if (!strcmp(cmd, "wait_exit")) cmdWaitExit(p);
        else if (!strcmp(cmd, "kill")) cmdKill();
        else if (!strcmp(cmd, "attrs")) cmdAttrs(p);
        else if (!strcmp(cmd, "setattrs")) cmdSetAttrs(p);
        else if (!strcmp(cmd, "quit")) break;
        else fail("unknown command");
    }
    if (child) CloseHandle(child);
    return 0;
}
