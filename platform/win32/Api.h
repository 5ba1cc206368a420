// On Windows the program calls the real API. Functions of system DLLs that are not
// imported statically (VERSION, COMCTL32) are wrapped in SystemLibraries.cpp, which loads
// them by full path from the system directory, so no DLL beside the program is used.
#pragma once

using UpdateDriverForPlugAndPlayDevicesProc = decltype(&::UpdateDriverForPlugAndPlayDevicesA);
// CMP_WaitNoPendingInstallEvents of setupapi.dll, as Microsoft documents it (cfgmgr32.h).
// mingw-w64's headers do not declare it, so its prototype is written here, with the
// WINAPI calling convention that the export (_CMP_WaitNoPendingInstallEvents@4) has.
using WaitNoPendingInstallEventsProc = DWORD(WINAPI*)(DWORD timeout);

namespace os {
using ::AdjustTokenPrivileges;
using ::AllocateAndInitializeSid;
using ::AppendMenuA;
using ::BeginPaint;
using ::CheckTokenMembership;
using ::CloseHandle;
using ::CopyFileA;
using ::CreateFileA;
using ::CreateMutexA;
using ::DrawIcon;
using ::EnableWindow;
using ::EndDialog;
using ::EndPaint;
using ::ExitWindowsEx;
using ::FindWindowA;
using ::FormatMessageA;
using ::FreeLibrary;
using ::FreeSid;
using ::GetClientRect;
using ::GetCommandLineA;
using ::GetCurrentProcess;
using ::GetCurrentProcessId;
using ::GetDlgItem;
using ::GetFileAttributesA;
using ::GetFileSize;
using ::GetLastError;
using ::GetLocalTime;
using ::GetModuleFileNameA;
using ::GetModuleFileNameW;
using ::GetModuleHandleA;
using ::GetProcAddress;
using ::GetSystemDirectoryA;
using ::GetSystemMenu;
using ::GetSystemMetrics;
using ::GetVersionExA;
using ::GetWindowsDirectoryA;
using ::InvalidateRect;
using ::IsIconic;
using ::IsWindowEnabled;
using ::KillTimer;
using ::LoadCursorA;
using ::LoadIconA;
using ::LoadLibraryExA;
using ::LoadStringA;
using ::LocalFree;
using ::LookupPrivilegeValueA;
using ::MessageBoxA;
using ::MoveFileExA;
using ::MultiByteToWideChar;
using ::OpenProcessToken;
using ::ReadFile;
using ::ReleaseMutex;
using ::SendMessageA;
using ::SetCursor;
using ::SetFileAttributesA;
using ::SetFilePointer;
using ::SetForegroundWindow;
using ::SetLastError;
using ::SetWindowTextA;
using ::ShowWindow;
using ::StretchDIBits;
using ::UpdateWindow;
using ::WaitForSingleObject;
using ::WinHelpA;
using ::WriteFile;

inline UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, void*) { return ::SetTimer(window, id, elapse, nullptr); }

DWORD GetFileVersionInfoSizeA(LPCSTR name, DWORD* handle);
BOOL GetFileVersionInfoA(LPCSTR name, DWORD handle, DWORD size, void* data);
BOOL VerQueryValueA(const void* block, LPCSTR subBlock, void** buffer, UINT* length);
void InitCommonControls();
}  // namespace os
