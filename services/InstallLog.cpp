#include "services/InstallLog.h"

#include "platform/Application.h"
#include "res/resource.h"

#include <cstring>

namespace {

InstallLog* current = nullptr;

String WindowsDirectoryFile(const char* name)
{
    char windows[MAX_PATH] = "";
    UINT length = os::GetWindowsDirectoryA(windows, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return String();
    String path(windows, length);
    if (path.c_str()[length - 1] != '\\')
        path.Append('\\');
    return path.Append(name);
}

String TwoDigits(WORD value)
{
    char digits[2] = {static_cast<char>('0' + value / 10 % 10), static_cast<char>('0' + value % 10)};
    return String(digits, 2);
}

// "2026-12-10 14:03:59", local time.
String Timestamp()
{
    SYSTEMTIME now{};
    os::GetLocalTime(&now);
    String text = Decimal(now.wYear);
    text.Append('-').Append(TwoDigits(now.wMonth)).Append('-').Append(TwoDigits(now.wDay));
    text.Append(' ').Append(TwoDigits(now.wHour)).Append(':').Append(TwoDigits(now.wMinute));
    return text.Append(':').Append(TwoDigits(now.wSecond));
}

// Only appending: every write then lands whole at the end, whoever else writes.
HANDLE OpenForAppending(const String& path)
{
    return os::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

InstallLog::InstallLog() : outer_(current)
{
    current = this;
    String path = WindowsDirectoryFile("Vantinst.log");
    if (path.empty())
        return;
    file_.Reset(OpenForAppending(path));
    DWORD size = file_ ? os::GetFileSize(file_.Get(), nullptr) : 0;
    if (size != INVALID_FILE_SIZE && size > kInstallLogLimit) {
        file_.Reset();
        os::MoveFileExA(path.c_str(), WindowsDirectoryFile("Vantinst.old.log").c_str(), MOVEFILE_REPLACE_EXISTING);
        file_.Reset(OpenForAppending(path));
    }
    String first("==== ");
    first.Append(Timestamp()).Append("  Vantinst " VANTINST_VERSION "  ").Append(os::GetCommandLineA());
    Write(first.c_str());
}

InstallLog::~InstallLog() { current = outer_; }

void InstallLog::Write(const char* text)
{
    if (!file_)
        return;
    String entry;
    const char* end = text + std::strlen(text);
    while (end > text && (end[-1] == '\n' || end[-1] == '\r'))
        --end;  // texts that end in a line break would leave an empty line
    for (const char* p = text; p < end; ++p) {
        if (*p == '\n') {
            entry.Append("\r\n");
            if (p[1] != '\n')
                entry.Append("    ");  // continuation lines are indented; empty ones stay empty
        } else if (*p != '\r') {
            entry.Append(*p);
        }
    }
    entry.Append("\r\n");
    DWORD written = 0;
    os::WriteFile(file_.Get(), entry.c_str(), static_cast<DWORD>(entry.size()), &written, nullptr);
}

void LogLine(const char* text)
{
    if (current)
        current->Write(text);
}
