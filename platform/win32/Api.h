// On Windows the program calls the real API. Functions of system DLLs that are not
// imported statically (VERSION, COMCTL32) are wrapped in SystemLibraries.cpp, which loads
// them by full path from the system directory, so no DLL beside the program is used.
#pragma once

using UpdateDriverForPlugAndPlayDevicesProc = decltype(&::UpdateDriverForPlugAndPlayDevicesA);

namespace os {
using ::AdjustTokenPrivileges;
using ::AppendMenuA;
using ::BeginPaint;
using ::CloseHandle;
using ::CopyFileA;
using ::CreateFileA;
using ::DrawIcon;
using ::EnableWindow;
using ::EndDialog;
using ::EndPaint;
using ::ExitWindowsEx;
using ::FormatMessageA;
using ::FreeLibrary;
using ::GetClientRect;
using ::GetCommandLineA;
using ::GetCurrentProcess;
using ::GetCurrentProcessId;
using ::GetDlgItem;
using ::GetFileAttributesA;
using ::GetLastError;
using ::GetLocalTime;
using ::GetFileSize;
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
using ::SendMessageA;
using ::SetCursor;
using ::SetFileAttributesA;
using ::SetFilePointer;
using ::SetLastError;
using ::SetWindowTextA;
using ::ShowWindow;
using ::StretchDIBits;
using ::UpdateWindow;
using ::WinHelpA;
using ::WriteFile;

inline UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapse, void*) { return ::SetTimer(window, id, elapse, nullptr); }

DWORD GetFileVersionInfoSizeA(LPCSTR name, DWORD* handle);
BOOL GetFileVersionInfoA(LPCSTR name, DWORD handle, DWORD size, void* data);
BOOL VerQueryValueA(const void* block, LPCSTR subBlock, void** buffer, UINT* length);
void InitCommonControls();
}  // namespace os
