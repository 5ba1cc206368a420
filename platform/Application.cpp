#include "platform/Application.h"

#include "platform/PathName.h"

#include <cstring>

namespace {
Application* current = nullptr;
}

Application::Application() { current = this; }

Application::~Application()
{
    if (current == this)
        current = nullptr;
}

Application* Application::Current() { return current; }

BOOL Application::OnIdle(LONG) { return FALSE; }

HINSTANCE Application::Instance() const { return os::GetModuleHandleA(nullptr); }

String Application::Title() const { return TitleFromPath(ProgramFilePath().c_str()); }

String ProgramFilePath()
{
    // GetModuleFileNameA leaves a full buffer unterminated on XP.
    char path[MAX_PATH] = "";
    DWORD length = os::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return String(path, length < MAX_PATH ? length : MAX_PATH - 1);
}

bool ProgramPathIsExact()
{
    char path[MAX_PATH];
    DWORD length = os::GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH)
        return false;
    WCHAR wide[MAX_PATH];
    DWORD wideLength = os::GetModuleFileNameW(nullptr, wide, MAX_PATH);
    if (wideLength == 0 || wideLength >= MAX_PATH)
        return false;
    // The ANSI path read back must give the file system's own spelling, character for character.
    WCHAR back[MAX_PATH];
    int backLength = os::MultiByteToWideChar(CP_ACP, 0, path, static_cast<int>(length), back, MAX_PATH);
    return backLength == static_cast<int>(wideLength) &&
           std::memcmp(back, wide, wideLength * sizeof(WCHAR)) == 0;
}

String TitleFromPath(const char* path)
{
    const char* name = LastPathComponent(path);
    const char* dot = std::strrchr(name, '.');
    return String(name, dot ? static_cast<std::size_t>(dot - name) : std::strlen(name));
}

void Application::BeginWaitCursor()
{
    HCURSOR wait = os::LoadCursorA(nullptr, IDC_WAIT);
    HCURSOR before = os::SetCursor(wait);
    if (waitCount_++ == 0)
        previousCursor_ = before;
}

void Application::EndWaitCursor()
{
    if (waitCount_ == 0)
        return;
    if (--waitCount_ == 0)
        os::SetCursor(previousCursor_);
}

void Application::RestoreWaitCursor() { os::SetCursor(os::LoadCursorA(nullptr, IDC_WAIT)); }
