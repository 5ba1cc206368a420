// Host stand-ins for the Windows declarations the program uses. Values and layouts
// are those of the Windows SDK; the functions live in namespace os, as the real ones
// do on Windows, and the host build links a simulated Windows that defines them.
//
// The constants are not written here but in SdkValues.def, one line each, because the
// win32 and win64 builds check that list against the real SDK headers. To add one,
// add a line there (its top comment says how); a constant defined directly in this
// file is checked by nothing.
#pragma once

#include <cstddef>
#include <cstdint>

using BOOL = int;
using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using LONG = std::int32_t;
using UINT = unsigned int;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using WPARAM = UINT_PTR;
using LPARAM = LONG_PTR;
using LRESULT = LONG_PTR;
using LPSTR = char*;
using LPCSTR = const char*;
using LPVOID = void*;
using WCHAR = char16_t;
using LPWSTR = WCHAR*;
using PBOOL = BOOL*;

struct HWND__;
struct HMENU__;
struct HICON__;
struct HDC__;
struct HINSTANCE__;
struct HCURSOR__;
using HWND = HWND__*;
using HMENU = HMENU__*;
using HICON = HICON__*;
using HCURSOR = HICON__*;
using HDC = HDC__*;
using HINSTANCE = HINSTANCE__*;
using HMODULE = HINSTANCE__*;
using HANDLE = void*;
using HLOCAL = void*;
using FARPROC = INT_PTR (*)();

constexpr WORD LOWORD(UINT_PTR v) { return static_cast<WORD>(v & 0xFFFF); }
constexpr WORD HIWORD(UINT_PTR v) { return static_cast<WORD>((v >> 16) & 0xFFFF); }
constexpr LPARAM MAKELPARAM(WORD lo, WORD hi) { return static_cast<LPARAM>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16)); }
constexpr WPARAM MAKEWPARAM(WORD lo, WORD hi) { return static_cast<WPARAM>(static_cast<DWORD>(lo) | (static_cast<DWORD>(hi) << 16)); }
inline const char* MAKEINTRESOURCEA(UINT_PTR id) { return reinterpret_cast<const char*>(id); }

struct RECT { LONG left, top, right, bottom; };
struct PAINTSTRUCT { HDC hdc; BOOL fErase; RECT rcPaint; BOOL fRestore; BOOL fIncUpdate; BYTE rgbReserved[32]; };

struct SYSTEMTIME {
    WORD wYear, wMonth, wDayOfWeek, wDay, wHour, wMinute, wSecond, wMilliseconds;
};

struct OSVERSIONINFOA {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    char szCSDVersion[128];
};

struct VS_FIXEDFILEINFO {
    DWORD dwSignature, dwStrucVersion, dwFileVersionMS, dwFileVersionLS, dwProductVersionMS,
        dwProductVersionLS, dwFileFlagsMask, dwFileFlags, dwFileOS, dwFileType, dwFileSubtype,
        dwFileDateMS, dwFileDateLS;
};

#pragma pack(push, 2)
struct BITMAPFILEHEADER { WORD bfType; DWORD bfSize; WORD bfReserved1; WORD bfReserved2; DWORD bfOffBits; };
#pragma pack(pop)
struct BITMAPINFOHEADER {
    DWORD biSize; LONG biWidth; LONG biHeight; WORD biPlanes; WORD biBitCount; DWORD biCompression;
    DWORD biSizeImage; LONG biXPelsPerMeter; LONG biYPelsPerMeter; DWORD biClrUsed; DWORD biClrImportant;
};
struct RGBQUAD { BYTE rgbBlue, rgbGreen, rgbRed, rgbReserved; };
struct BITMAPINFO { BITMAPINFOHEADER bmiHeader; RGBQUAD bmiColors[1]; };

struct SID_IDENTIFIER_AUTHORITY { BYTE Value[6]; };
using PSID = void*;

struct LUID { DWORD LowPart; LONG HighPart; };
struct LUID_AND_ATTRIBUTES { LUID Luid; DWORD Attributes; };
struct TOKEN_PRIVILEGES { DWORD PrivilegeCount; LUID_AND_ATTRIBUTES Privileges[1]; };

// The SDK's constants, and checks that the structures above have the SDK's layout. They
// come from one list, SdkValues.def, which the Windows builds check against the real
// headers (platform/win32/SdkValueCheck.cpp): add new constants there, not here.
// Braces, so that a value that does not fit its type is an error rather than a wrap.
#define SDK_VALUE(Type, Name, Value) constexpr Type Name{Value};
#define SDK_POINTER(Type, Name, Value) \
    inline Type const Name = reinterpret_cast<Type>(static_cast<INT_PTR>(Value));
#define SDK_TEXT(Name, Text) inline constexpr char Name[] = Text;
#define SDK_SIZE(Struct, Size) \
    static_assert(sizeof(Struct) == (Size), "platform/host/Api.h: " #Struct " does not have the SDK's size");
#define SDK_OFFSET(Struct, Field, Offset)                \
    static_assert(offsetof(Struct, Field) == (Offset), \
                  "platform/host/Api.h: " #Struct "::" #Field " is not at the SDK's offset");
#include "platform/host/SdkValues.def"

using UpdateDriverForPlugAndPlayDevicesProc = BOOL (*)(HWND, LPCSTR, LPCSTR, DWORD, PBOOL);
using WaitNoPendingInstallEventsProc = DWORD (*)(DWORD);

namespace os {
DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size);
DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR wide, int wideLength);
HMODULE GetModuleHandleA(LPCSTR name);
UINT GetWindowsDirectoryA(LPSTR buffer, UINT size);
UINT GetSystemDirectoryA(LPSTR buffer, UINT size);
BOOL GetVersionExA(OSVERSIONINFOA* info);
DWORD GetLastError();
void SetLastError(DWORD code);
LPSTR GetCommandLineA();
HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, void* security, DWORD disposition, DWORD flags, HANDLE templateFile);
BOOL ReadFile(HANDLE file, void* buffer, DWORD toRead, DWORD* read, void* overlapped);
DWORD SetFilePointer(HANDLE file, LONG distance, LONG* distanceHigh, DWORD method);
BOOL CloseHandle(HANDLE handle);
BOOL WriteFile(HANDLE file, const void* buffer, DWORD toWrite, DWORD* written, void* overlapped);
DWORD GetFileSize(HANDLE file, DWORD* sizeHigh);
BOOL MoveFileExA(LPCSTR existing, LPCSTR target, DWORD flags);
void GetLocalTime(SYSTEMTIME* time);
BOOL CopyFileA(LPCSTR source, LPCSTR destination, BOOL failIfExists);
DWORD GetFileAttributesA(LPCSTR name);
BOOL SetFileAttributesA(LPCSTR name, DWORD attributes);
HMODULE LoadLibraryExA(LPCSTR name, HANDLE reserved, DWORD flags);
FARPROC GetProcAddress(HMODULE module, LPCSTR name);
BOOL FreeLibrary(HMODULE module);
DWORD FormatMessageA(DWORD flags, const void* source, DWORD code, DWORD language, LPSTR buffer, DWORD size, void* arguments);
HLOCAL LocalFree(HLOCAL memory);
int LoadStringA(HINSTANCE instance, UINT id, LPSTR buffer, int size);
HANDLE GetCurrentProcess();
DWORD GetCurrentProcessId();

HWND GetDlgItem(HWND dialog, int id);
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsWindowEnabled(HWND window);
BOOL ShowWindow(HWND window, int command);
BOOL SetWindowTextA(HWND window, LPCSTR text);
LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
BOOL InvalidateRect(HWND window, const RECT* rect, BOOL erase);
BOOL UpdateWindow(HWND window);
UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, void* callback);
BOOL KillTimer(HWND window, UINT_PTR id);
HMENU GetSystemMenu(HWND window, BOOL revert);
BOOL AppendMenuA(HMENU menu, UINT flags, UINT_PTR id, LPCSTR text);
HICON LoadIconA(HINSTANCE instance, LPCSTR name);
BOOL IsIconic(HWND window);
HDC BeginPaint(HWND window, PAINTSTRUCT* paint);
BOOL EndPaint(HWND window, const PAINTSTRUCT* paint);
int GetSystemMetrics(int index);
BOOL GetClientRect(HWND window, RECT* rect);
BOOL DrawIcon(HDC dc, int x, int y, HICON icon);
BOOL WinHelpA(HWND window, LPCSTR file, UINT command, UINT_PTR data);
int MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT style);
HCURSOR SetCursor(HCURSOR cursor);
HCURSOR LoadCursorA(HINSTANCE instance, LPCSTR name);
BOOL EndDialog(HWND dialog, INT_PTR result);
BOOL ExitWindowsEx(UINT flags, DWORD reason);
int StretchDIBits(HDC dc, int xDest, int yDest, int destWidth, int destHeight, int xSrc, int ySrc, int srcWidth,
                  int srcHeight, const void* bits, const BITMAPINFO* info, UINT usage, DWORD rop);

HANDLE CreateMutexA(void* security, BOOL initialOwner, LPCSTR name);
DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
BOOL ReleaseMutex(HANDLE mutex);
HWND FindWindowA(LPCSTR className, LPCSTR windowName);
BOOL SetForegroundWindow(HWND window);

BOOL AllocateAndInitializeSid(SID_IDENTIFIER_AUTHORITY* authority, BYTE count, DWORD sub0, DWORD sub1, DWORD sub2,
                              DWORD sub3, DWORD sub4, DWORD sub5, DWORD sub6, DWORD sub7, PSID* sid);
BOOL CheckTokenMembership(HANDLE token, PSID sid, PBOOL isMember);
void* FreeSid(PSID sid);

BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token);
BOOL LookupPrivilegeValueA(LPCSTR system, LPCSTR name, LUID* luid);
BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state, DWORD length, TOKEN_PRIVILEGES* previous, DWORD* returnLength);

DWORD GetFileVersionInfoSizeA(LPCSTR name, DWORD* handle);
BOOL GetFileVersionInfoA(LPCSTR name, DWORD handle, DWORD size, void* data);
BOOL VerQueryValueA(const void* block, LPCSTR subBlock, void** buffer, UINT* length);
void InitCommonControls();
}  // namespace os
