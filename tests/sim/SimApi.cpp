// The os:: functions of the host build, acting on the simulated Windows.
#include "platform/Dialog.h"
#include "res/Catalogue.h"
#include "tests/sim/SimWindows.h"

#include <cstdlib>
#include <cstring>
#include <string>

using sim::Get;

namespace {

HINSTANCE const kInstance = reinterpret_cast<HINSTANCE>(0x400000);
HMODULE const kNewdev = reinterpret_cast<HMODULE>(0x7000);
HANDLE const kProcess = reinterpret_cast<HANDLE>(-1);
HANDLE const kToken = reinterpret_cast<HANDLE>(0x7100);
HDC const kPaintDc = reinterpret_cast<HDC>(0x7200);
HCURSOR const kWaitCursor = reinterpret_cast<HCURSOR>(0x7301);
HCURSOR const kArrowCursor = reinterpret_cast<HCURSOR>(0x7302);

struct OpenFile {
    std::string path;
    std::size_t position = 0;
    std::size_t delivered = 0;
};

DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size)
{
    // GetModuleFileNameA's way: at most `size` characters; a full buffer is not terminated.
    DWORD length = static_cast<DWORD>(text.size());
    DWORD copied = length < size ? length : size;
    std::memcpy(buffer, text.data(), copied);
    if (copied < size)
        buffer[copied] = '\0';
    return copied;
}

std::string Directory(const std::string& path)
{
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool DirectoryExists(const std::string& path)
{
    std::string key = sim::Key(path);
    return key.empty() || Get().directories.count(key) > 0 || key.size() == 2;
}

BOOL FakeUpdate(HWND owner, LPCSTR hardwareId, LPCSTR inf, DWORD flags, PBOOL reboot)
{
    Get().log.push_back(std::string("UpdateDriver ") + hardwareId + " " + inf + " " + std::to_string(flags) +
                        (owner ? " owner" : "") + (reboot ? " reboot" : ""));
    DWORD result = 0;
    if (!Get().updateResults.empty()) {
        result = Get().updateResults.front();
        Get().updateResults.pop_front();
    }
    Get().lastError = result;
    return result == 0;
}

void DeliverTimerTicks()
{
    for (int i = 0; i < Get().timerTicksPerBox; ++i) {
        for (auto& timer : Get().timers) {
            sim::Window* w = sim::FromHandle(timer.second);
            if (w && w->dialog)
                w->dialog->Dispatch(timer.second, WM_TIMER, timer.first, 0);
        }
    }
}

}  // namespace

namespace os {

DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size)
{
    if (module && module != kInstance) {
        Get().lastError = ERROR_MOD_NOT_FOUND;
        return 0;
    }
    return CopyOut(Get().modulePath, buffer, size);
}

HMODULE GetModuleHandleA(LPCSTR name) { return name ? nullptr : kInstance; }

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    Get().log.push_back("GetWindowsDirectory");
    const std::string& dir = Get().windowsDirectory;
    if (dir.size() + 1 > size)
        return static_cast<UINT>(dir.size() + 1);
    std::memcpy(buffer, dir.c_str(), dir.size() + 1);
    return static_cast<UINT>(dir.size());
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size)
{
    std::string dir = Get().windowsDirectory + "\\system32";
    if (dir.size() + 1 > size)
        return static_cast<UINT>(dir.size() + 1);
    std::memcpy(buffer, dir.c_str(), dir.size() + 1);
    return static_cast<UINT>(dir.size());
}

BOOL GetVersionExA(OSVERSIONINFOA* info)
{
    Get().log.push_back("GetVersionEx");
    if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) || !Get().versionQueryWorks)
        return FALSE;
    info->dwPlatformId = Get().platformId;
    info->dwMajorVersion = Get().major;
    info->dwMinorVersion = Get().minor;
    return TRUE;
}

DWORD GetLastError() { return Get().lastError; }
void SetLastError(DWORD code) { Get().lastError = code; }
LPSTR GetCommandLineA() { return &Get().commandLine[0]; }
HANDLE GetCurrentProcess() { return kProcess; }

HANDLE CreateFileA(LPCSTR name, DWORD, DWORD, void*, DWORD, DWORD, HANDLE)
{
    Get().log.push_back(std::string("CreateFile ") + name);
    if (!sim::FindFile(name)) {
        Get().lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_HANDLE_VALUE;
    }
    ++Get().openFiles;
    return new OpenFile{name};
}

BOOL ReadFile(HANDLE handle, void* buffer, DWORD toRead, DWORD* read, void*)
{
    auto* open = static_cast<OpenFile*>(handle);
    sim::File* file = sim::FindFile(open->path);
    *read = 0;
    if (!file)
        return FALSE;
    std::size_t available = open->position < file->data.size() ? file->data.size() - open->position : 0;
    std::size_t count = toRead < available ? toRead : available;
    int failAfter = Get().failReadAfterBytes;
    if (failAfter >= 0 && open->delivered + count > static_cast<std::size_t>(failAfter)) {
        Get().lastError = 23;  // ERROR_CRC: the medium failed
        return FALSE;
    }
    std::memcpy(buffer, file->data.data() + open->position, count);
    open->position += count;
    open->delivered += count;
    *read = static_cast<DWORD>(count);
    return TRUE;
}

DWORD SetFilePointer(HANDLE handle, LONG distance, LONG*, DWORD)
{
    auto* open = static_cast<OpenFile*>(handle);
    if (Get().failSeek || distance < 0) {
        Get().lastError = 131;  // ERROR_NEGATIVE_SEEK
        return INVALID_SET_FILE_POINTER;
    }
    open->position = static_cast<std::size_t>(distance);
    return static_cast<DWORD>(distance);
}

BOOL CloseHandle(HANDLE handle)
{
    if (handle == kToken) {
        Get().log.push_back("CloseToken");
        return TRUE;
    }
    --Get().openFiles;
    delete static_cast<OpenFile*>(handle);
    return TRUE;
}

BOOL CopyFileA(LPCSTR source, LPCSTR destination, BOOL failIfExists)
{
    Get().log.push_back(std::string("CopyFile ") + source + " -> " + destination + (failIfExists ? " keep" : ""));
    sim::File* from = sim::FindFile(source);
    if (!from) {
        Get().lastError = ERROR_FILE_NOT_FOUND;
        return FALSE;
    }
    if (!DirectoryExists(Directory(destination))) {
        Get().lastError = ERROR_PATH_NOT_FOUND;
        return FALSE;
    }
    sim::File* existing = sim::FindFile(destination);
    if (existing && ((existing->attributes & FILE_ATTRIBUTE_READONLY) || failIfExists)) {
        Get().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    Get().files[sim::Key(destination)] = *from;
    return TRUE;
}

DWORD GetFileAttributesA(LPCSTR name)
{
    sim::File* file = sim::FindFile(name);
    if (!file) {
        Get().lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_FILE_ATTRIBUTES;
    }
    return file->attributes;
}

BOOL SetFileAttributesA(LPCSTR name, DWORD attributes)
{
    Get().log.push_back(std::string("SetFileAttributes ") + name + " " + std::to_string(attributes));
    sim::File* file = sim::FindFile(name);
    if (!file || Get().attributeWritesFail.count(sim::Key(name))) {
        Get().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    file->attributes = attributes;
    return TRUE;
}

HMODULE LoadLibraryExA(LPCSTR name, HANDLE, DWORD flags)
{
    Get().log.push_back(std::string("LoadLibrary ") + name + " " + std::to_string(flags));
    std::string expected = sim::Key(Get().windowsDirectory + "\\system32\\newdev.dll");
    if (sim::Key(name) == expected && Get().newdevLoads) {
        ++Get().loadedLibraries;
        return kNewdev;
    }
    Get().lastError = Get().newdevLoadError;
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    if (module == kNewdev && Get().newdevHasEntry && std::strcmp(name, "UpdateDriverForPlugAndPlayDevicesA") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeUpdate));
    Get().lastError = ERROR_PROC_NOT_FOUND;
    return nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
    Get().log.push_back("FreeLibrary");
    if (module == kNewdev)
        --Get().loadedLibraries;
    return TRUE;
}

DWORD FormatMessageA(DWORD flags, const void*, DWORD code, DWORD language, LPSTR buffer, DWORD, void*)
{
    Get().log.push_back("FormatMessage " + std::to_string(flags) + " " + std::to_string(language));
    auto found = Get().errorDescriptions.find(code);
    if (found == Get().errorDescriptions.end()) {
        Get().lastError = 317;  // ERROR_MR_MID_NOT_FOUND
        return 0;
    }
    char* text = static_cast<char*>(std::malloc(found->second.size() + 1));
    std::memcpy(text, found->second.c_str(), found->second.size() + 1);
    *reinterpret_cast<char**>(buffer) = text;
    ++Get().allocatedDescriptions;
    return static_cast<DWORD>(found->second.size());
}

HLOCAL LocalFree(HLOCAL memory)
{
    std::free(memory);
    --Get().allocatedDescriptions;
    return nullptr;
}

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int size)
{
    std::string text;
    auto overridden = Get().stringOverrides.find(id);
    if (overridden != Get().stringOverrides.end()) {
        text = overridden->second;
    } else {
        for (unsigned i = 0; i < kCatalogueSize; ++i) {
            if (kCatalogue[i].id == id)
                text = kCatalogue[i].text;
        }
    }
    if (size <= 0)
        return 0;
    std::size_t copied = text.size() < static_cast<std::size_t>(size - 1) ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), copied);
    buffer[copied] = '\0';
    return static_cast<int>(copied);
}

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
    return was;
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
    case PBM_STEPIT:
        Get().log.push_back("StepIt");
        w->position += w->step;
        if (w->position > w->rangeHigh)
            w->position = w->rangeLow + (w->position - w->rangeHigh);
        return 0;
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
    Get().boxes.push_back({owner, text, caption, style, sim::MainDialogText(), Get().cursor == "wait"});
    DeliverTimerTicks();
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
    // Read the rows as the drawing would, so a short pixel buffer shows under ASan.
    if (bits) {
        const BITMAPINFOHEADER& h = info->bmiHeader;
        std::size_t rowBytes = (static_cast<std::size_t>(h.biWidth) * h.biBitCount + 31) / 32 * 4;
        std::size_t rows = static_cast<std::size_t>(h.biHeight < 0 ? -static_cast<long long>(h.biHeight) : h.biHeight);
        volatile unsigned char sum = 0;
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

BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token)
{
    Get().log.push_back("OpenProcessToken " + std::to_string(access) + (process == kProcess ? " self" : ""));
    if (!Get().tokenOpens) {
        Get().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    *token = kToken;
    return TRUE;
}

BOOL LookupPrivilegeValueA(LPCSTR system, LPCSTR name, LUID* luid)
{
    Get().log.push_back(std::string("LookupPrivilegeValue ") + (system ? system : "local") + " " + name);
    luid->LowPart = 19;
    luid->HighPart = 0;
    return TRUE;
}

BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state, DWORD length,
                           TOKEN_PRIVILEGES* previous, DWORD* returnLength)
{
    Get().log.push_back("AdjustTokenPrivileges " + std::string(token == kToken ? "token" : "none") + " " +
                        std::to_string(disableAll) + " count " + std::to_string(state->PrivilegeCount) + " luid " +
                        std::to_string(state->Privileges[0].Luid.LowPart) + " attributes " +
                        std::to_string(state->Privileges[0].Attributes) + " " + std::to_string(length) +
                        (previous || returnLength ? " previous" : ""));
    Get().lastError = Get().adjustError;
    return TRUE;
}

DWORD GetFileVersionInfoSizeA(LPCSTR name, DWORD* handle)
{
    if (handle)
        *handle = 0;
    sim::File* file = sim::FindFile(name);
    if (!file) {
        Get().lastError = ERROR_FILE_NOT_FOUND;
        return 0;
    }
    if (!file->version) {
        Get().lastError = 1813;  // ERROR_RESOURCE_TYPE_NOT_FOUND
        return 0;
    }
    std::size_t size = sizeof(void*) + file->version->root.size() + 64;
    for (auto& value : file->version->values)
        size += value.second.size();
    size += file->version->translations.size() * 4;
    return static_cast<DWORD>(size);
}

// The block holds a pointer to the file's resource, then copies of every value, so that
// VerQueryValueA hands out pointers into the block as Windows does.
BOOL GetFileVersionInfoA(LPCSTR name, DWORD, DWORD size, void* data)
{
    sim::File* file = sim::FindFile(name);
    if (!file || !file->version || size < GetFileVersionInfoSizeA(name, nullptr))
        return FALSE;
    sim::VersionResource* version = file->version.get();
    std::memcpy(data, &version, sizeof version);
    char* at = static_cast<char*>(data) + sizeof version;
    std::string root = version->root;
    if (root.empty() && version->hasRoot) {
        VS_FIXEDFILEINFO fixed{};
        fixed.dwSignature = 0xFEEF04BD;
        root.assign(reinterpret_cast<const char*>(&fixed), sizeof fixed);
    }
    std::memcpy(at, root.data(), root.size());
    at += root.size();
    if (!version->translations.empty())
        std::memcpy(at, version->translations.data(), version->translations.size() * 4);
    at += version->translations.size() * 4;
    for (auto& value : version->values) {
        std::memcpy(at, value.second.data(), value.second.size());
        at += value.second.size();
    }
    return TRUE;
}

BOOL VerQueryValueA(const void* block, LPCSTR subBlock, void** buffer, UINT* length)
{
    Get().log.push_back(std::string("VerQueryValue ") + subBlock);
    sim::VersionResource* version;
    std::memcpy(&version, block, sizeof version);
    char* at = static_cast<char*>(const_cast<void*>(block)) + sizeof version;
    std::string root = version->root;
    std::size_t rootSize = root.empty() && version->hasRoot ? sizeof(VS_FIXEDFILEINFO) : root.size();
    if (std::strcmp(subBlock, "\\") == 0) {
        if (!version->hasRoot)
            return FALSE;
        *buffer = at;
        *length = static_cast<UINT>(rootSize);
        return TRUE;
    }
    at += rootSize;
    if (std::strcmp(subBlock, "\\VarFileInfo\\Translation") == 0) {
        if (version->translations.empty())
            return FALSE;
        *buffer = at;
        *length = static_cast<UINT>(version->translations.size() * 4);
        return TRUE;
    }
    at += version->translations.size() * 4;
    for (auto& value : version->values) {
        if (value.first == subBlock) {
            *buffer = at;
            *length = static_cast<UINT>(value.second.size());
            return TRUE;
        }
        at += value.second.size();
    }
    Get().lastError = 1813;
    return FALSE;
}

void InitCommonControls() { Get().log.push_back("InitCommonControls"); }

}  // namespace os
