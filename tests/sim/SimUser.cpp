// The simulated USER32, GDI32 and COMCTL32: windows, controls, boxes, painting, timers.
#include "platform/Dialog.h"
#include "tests/sim/SimWindows.h"

#include <cstring>
#include <string>

using sim::Get;

namespace {

HDC const kPaintDc = reinterpret_cast<HDC>(0x7200);
HCURSOR const kWaitCursor = reinterpret_cast<HCURSOR>(0x7301);
HCURSOR const kArrowCursor = reinterpret_cast<HCURSOR>(0x7302);

constexpr UINT kDibPalColors = 1;  // DIB_PAL_COLORS: the table holds palette indices

// Bytes of the colour table that follows the info header: biClrUsed entries, or for
// fewer than 16 bits per pixel all 2^biBitCount of them when biClrUsed is 0.
std::size_t DibColourTableSize(const BITMAPINFOHEADER& header, UINT usage)
{
    std::size_t entries = header.biClrUsed;
    if (entries == 0 && header.biBitCount < 16)
        entries = std::size_t{1} << header.biBitCount;
    return entries * (usage == kDibPalColors ? sizeof(WORD) : sizeof(RGBQUAD));
}

// A message box's own loop goes on dispatching the thread's timer messages: each running
// timer's WM_TIMER reaches its window's dialog procedure. A handler may kill or start
// timers, so every round works on the timers running at its start.
void DeliverTimerTicks()
{
    for (int i = 0; i < Get().timerTicksPerBox; ++i) {
        std::map<UINT_PTR, HWND> running = Get().timers;
        for (auto& timer : running) {
            sim::Window* w = sim::FromHandle(timer.second);
            if (!Get().timers.count(timer.first) || !w || !w->dialog)
                continue;
            Get().log.push_back("Timer " + std::to_string(timer.first));
            w->dialog->Dispatch(timer.second, WM_TIMER, timer.first, 0);
        }
    }
}

}  // namespace

namespace os {

HWND GetDlgItem(HWND dialog, int id) { return sim::Handle(sim::Child(dialog, id)); }

BOOL EnableWindow(HWND window, BOOL enable)
{
    sim::Window* w = sim::FromHandle(window);
    if (!w)
        return FALSE;
    Get().log.push_back("EnableWindow " + std::to_string(w->id) + " " + std::to_string(enable));
    bool wasDisabled = !w->enabled;
    w->enabled = enable != FALSE;
    return wasDisabled;
}

BOOL IsWindowEnabled(HWND window) { return sim::FromHandle(window) && sim::FromHandle(window)->enabled; }

BOOL ShowWindow(HWND window, int command)
{
    sim::Window* w = sim::FromHandle(window);
    if (!w)
        return FALSE;
    Get().log.push_back("ShowWindow " + std::to_string(w->id) + " " + std::to_string(command));
    bool was = w->visible;
    w->visible = command != SW_HIDE;
    if (command == SW_RESTORE)
        w->iconic = false;
    return was;
}

HWND FindWindowA(LPCSTR className, LPCSTR windowName)
{
    for (auto& window : Get().topLevel) {
        if ((!className || window->className == className) && (!windowName || window->text == windowName))
            return sim::Handle(window.get());
    }
    return nullptr;
}

BOOL SetForegroundWindow(HWND window)
{
    sim::Window* w = sim::FromHandle(window);
    Get().log.push_back("SetForegroundWindow " + (w ? w->text : std::string("none")));
    return w != nullptr;
}

BOOL SetWindowTextA(HWND window, LPCSTR text)
{
    sim::Window* w = sim::FromHandle(window);
    if (!w)
        return FALSE;
    w->text = text;
    return TRUE;
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    sim::Window* w = sim::FromHandle(window);
    if (!w)
        return 0;
    switch (message) {
    case PBM_SETRANGE:
        w->rangeLow = LOWORD(lParam);
        w->rangeHigh = HIWORD(lParam);
        return 0;
    case PBM_SETSTEP:
        w->step = static_cast<int>(wParam);
        return 0;
    case PBM_STEPIT: {
        // Past the maximum the bar starts over from the range's minimum.
        Get().log.push_back("StepIt");
        int previous = w->position;
        w->position += w->step;
        if (w->position > w->rangeHigh)
            w->position = w->rangeLow;
        return previous;
    }
    case WM_SETICON:
        Get().log.push_back("SetIcon " + std::to_string(wParam));
        (wParam == ICON_BIG ? w->bigIcon : w->smallIcon) = lParam;
        return 0;
    case WM_ICONERASEBKGND:
        Get().log.push_back("IconEraseBkgnd");
        return 0;
    default:
        return 0;
    }
}

BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase)
{
    Get().log.push_back("InvalidateRect " + std::to_string(sim::FromHandle(window) ? sim::FromHandle(window)->id : 0) +
                        (rect ? " rect" : " all") + (erase ? " erase" : ""));
    return TRUE;
}

BOOL UpdateWindow(HWND window)
{
    Get().log.push_back("UpdateWindow " + std::to_string(sim::FromHandle(window) ? sim::FromHandle(window)->id : 0));
    return TRUE;
}

UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, void* callback)
{
    Get().log.push_back("SetTimer " + std::to_string(id) + " " + std::to_string(elapse) + (callback ? " callback" : ""));
    Get().timers[id] = window;
    return id;
}

BOOL KillTimer(HWND, UINT_PTR id)
{
    Get().log.push_back("KillTimer " + std::to_string(id));
    return Get().timers.erase(id) > 0;
}

HMENU GetSystemMenu(HWND window, BOOL)
{
    sim::Window* w = sim::FromHandle(window);
    return w && w->hasSystemMenu ? reinterpret_cast<HMENU>(&w->systemMenu) : nullptr;
}

BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text)
{
    reinterpret_cast<sim::Menu*>(menu)->items.push_back({flags, id, text ? text : ""});
    return TRUE;
}

HICON LoadIconA(HINSTANCE, LPCSTR name) { return reinterpret_cast<HICON>(const_cast<char*>(name)); }
BOOL IsIconic(HWND window) { return sim::FromHandle(window) && sim::FromHandle(window)->iconic; }

HDC BeginPaint(HWND, PAINTSTRUCT* paint)
{
    Get().log.push_back("BeginPaint");
    paint->hdc = kPaintDc;
    return kPaintDc;
}

BOOL EndPaint(HWND, const PAINTSTRUCT*)
{
    Get().log.push_back("EndPaint");
    return TRUE;
}

int GetSystemMetrics(int index) { return index == SM_CXICON || index == SM_CYICON ? 32 : 0; }

BOOL GetClientRect(HWND window, RECT* rect)
{
    *rect = sim::FromHandle(window)->client;
    return TRUE;
}

BOOL DrawIcon(HDC, int x, int y, HICON)
{
    Get().log.push_back("DrawIcon " + std::to_string(x) + " " + std::to_string(y));
    return TRUE;
}

BOOL WinHelpA(HWND, LPCSTR, UINT command, UINT_PTR data)
{
    Get().log.push_back("WinHelp " + std::to_string(command) + " " + std::to_string(data));
    return TRUE;
}

int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style)
{
    Get().log.push_back(std::string("MessageBox ") + text);
    Get().boxes.push_back({owner, text, caption, style, sim::ExplanationOf(owner), Get().cursor == "wait"});
    DeliverTimerTicks();
    if (Get().onBox)
        Get().onBox(text);
    if ((style & 0xF) == MB_YESNO) {
        int answer = IDNO;
        if (!Get().answers.empty()) {
            answer = Get().answers.front();
            Get().answers.pop_front();
        }
        return answer;
    }
    return IDOK;
}

HCURSOR SetCursor(HCURSOR cursor)
{
    HCURSOR before = Get().cursor == "wait" ? kWaitCursor : kArrowCursor;
    Get().cursor = cursor == kWaitCursor ? "wait" : "arrow";
    Get().log.push_back("SetCursor " + Get().cursor);
    return before;
}

HCURSOR LoadCursorA(HINSTANCE, LPCSTR name) { return name == IDC_WAIT ? kWaitCursor : kArrowCursor; }

BOOL EndDialog(HWND dialog, INT_PTR result)
{
    sim::Window* w = sim::FromHandle(dialog);
    w->ended = true;
    w->endResult = result;
    return TRUE;
}

BOOL ExitWindowsEx(UINT flags, DWORD reason)
{
    Get().log.push_back("ExitWindowsEx " + std::to_string(flags) + " " + std::to_string(reason));
    return Get().exitWindowsWorks;
}

int StretchDIBits(HDC, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop)
{
    // Read the colour table and the rows as the graphics engine does, so that a header
    // promising more than its caller holds shows under ASan and in the fuzz target.
    const BITMAPINFOHEADER& h = info->bmiHeader;
    volatile unsigned char sum = 0;
    const unsigned char* table = reinterpret_cast<const unsigned char*>(info) + h.biSize;
    for (std::size_t i = 0; i < DibColourTableSize(h, usage); ++i)
        sum = sum + table[i];
    if (bits) {
        std::size_t rowBytes = (static_cast<std::size_t>(h.biWidth) * h.biBitCount + 31) / 32 * 4;
        std::size_t rows = static_cast<std::size_t>(h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight);
        for (std::size_t i = 0; i < rowBytes * rows; ++i)
            sum = sum + static_cast<const unsigned char*>(bits)[i];
    }
    Get().log.push_back("StretchDIBits " + std::to_string(xDest) + " " + std::to_string(yDest) + " " +
                        std::to_string(destWidth) + "x" + std::to_string(destHeight) + " from " +
                        std::to_string(xSrc) + " " + std::to_string(ySrc) + " " + std::to_string(srcWidth) + "x" +
                        std::to_string(srcHeight) + " biSize " + std::to_string(info->bmiHeader.biSize) + " usage " +
                        std::to_string(usage) + " rop " + std::to_string(rop) + (bits ? "" : " nobits"));
    return srcHeight;
}

void InitCommonControls() { Get().log.push_back("InitCommonControls"); }

}  // namespace os
