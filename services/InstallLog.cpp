#include "services/InstallLog.h"

#include "platform/PathName.h"
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
    return JoinPath(windows, name);
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

// Only appending: every write then lands whole at the end, whoever else writes. Reading
// as well, to see how the log ends; a log that may only be appended to is still written.
HANDLE OpenForAppending(const String& path)
{
    HANDLE file = os::CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                  nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE)
        return file;
    return os::CreateFileA(path.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Whether the log's last line lacks its line break (a note saved by Notepad ends so).
bool EndsInsideALine(HANDLE file, DWORD size)
{
    char last = '\n';
    DWORD read = 0;
    if (size == 0 || os::SetFilePointer(file, static_cast<LONG>(size - 1), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return false;
    return os::ReadFile(file, &last, 1, &read, nullptr) && read == 1 && last != '\n';
}

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// "PC1.old.log" beside "PC1.log"; ".old" after a name without an extension.
String OldLogPath(const String& path)
{
    const char* text = path.c_str();
    const char* dot = std::strrchr(LastPathComponent(text), '.');
    if (!dot)
        return path + ".old";
    String old(text, static_cast<std::size_t>(dot - text));
    return old.Append(".old").Append(dot);
}

}  // namespace

InstallLog::InstallLog(const char* commandLine, const String& chosenPath) : outer_(current)
{
    current = this;
    // The administrator's /log:PATH replaces the Windows directory's log. Where it cannot
    // be opened (a share that is down, a folder without write access) the block goes to
    // the usual place with a line saying why, so that the run is not left without a log.
    String refused;
    if (!chosenPath.empty()) {
        if (Open(chosenPath)) {
            Begin(commandLine, String());
            return;
        }
        refused.Append("Log: ").Append(chosenPath).Append(" cannot be written ").Append(BracketedCode(os::GetLastError()));
    }
    String path = WindowsDirectoryFile("Vantinst.log");
    if (!path.empty() && Open(path))
        Begin(commandLine, refused);
}

bool InstallLog::Open(const String& path)
{
    file_.Reset(OpenForAppending(path));
    DWORD openError = os::GetLastError();
    // The whole 64-bit size: a log of 4 GiB and more has a small low part.
    DWORD high = 0;
    os::SetLastError(ERROR_SUCCESS);
    size_ = file_ ? os::GetFileSize(file_.Get(), &high) : 0;
    sizeKnown_ = size_ != INVALID_FILE_SIZE || os::GetLastError() == ERROR_SUCCESS;
    if (file_ && sizeKnown_ && (high != 0 || size_ > kInstallLogLimit)) {
        file_.Reset();
        os::MoveFileExA(path.c_str(), OldLogPath(path).c_str(), MOVEFILE_REPLACE_EXISTING);
        file_.Reset(OpenForAppending(path));
        openError = os::GetLastError();
        size_ = 0;
    }
    os::SetLastError(openError);
    return static_cast<bool>(file_);
}

void InstallLog::Begin(const char* commandLine, const String& note)
{
    tag_.Append('(').Append(Decimal(os::GetCurrentProcessId())).Append(')');
    String first("==== ");
    first.Append(Timestamp()).Append("  Vantinst " VANTINST_VERSION "  ").Append(commandLine);
    // The block begins on a line of its own, in the same write as its header.
    String entry(sizeKnown_ && EndsInsideALine(file_.Get(), size_) ? "\r\n" : "");
    Put(entry.Append(Lines(first.c_str())));
    if (!note.empty())
        Write(note.c_str());
}

InstallLog::~InstallLog() { current = outer_; }

String InstallLog::Lines(const char* text) const
{
    String entry;
    const char* end = text + std::strlen(text);
    while (end > text && (end[-1] == '\n' || end[-1] == '\r'))
        --end;  // texts that end in a line break would leave an empty line
    const char* line = text;
    for (;;) {
        const char* lineEnd = line;
        while (lineEnd < end && *lineEnd != '\n')
            ++lineEnd;
        // No line ends in a blank (Windows 9x ends its version's name in blanks).
        const char* last = lineEnd;
        while (last > line && (IsBlank(last[-1]) || last[-1] == '\r'))
            --last;
        entry.Append(tag_);
        if (last > line) {
            // continuation lines are indented; empty ones stay empty
            entry.Append(line == text ? " " : "     ");
            for (const char* p = line; p < last; ++p) {
                if (*p != '\r')
                    entry.Append(*p);
            }
        }
        entry.Append("\r\n");
        if (lineEnd >= end)
            return entry;
        line = lineEnd + 1;
    }
}

void InstallLog::Write(const char* text)
{
    if (file_)
        Put(Lines(text));
}

void InstallLog::Put(const String& entry)
{
    DWORD written = 0;
    os::WriteFile(file_.Get(), entry.c_str(), static_cast<DWORD>(entry.size()), &written, nullptr);
}

void LogLine(const char* text)
{
    if (current)
        current->Write(text);
}
