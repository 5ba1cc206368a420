// The one application object: constructed before anything else runs; the platform then
// calls StartUp once and ends the program with ExitCode() when it returns false.
#pragma once

#include "platform/String.h"
#include "platform/Win.h"

class Application {
public:
    Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;
    virtual ~Application();

    // The one object made, for the program's entry point to run; everything else is
    // handed the application it works for.
    static Application* Current();

    virtual bool StartUp() = 0;
    // One pass of idle-time updating of the user interface.
    virtual BOOL OnIdle(LONG count);

    // The program's title: its file name without directory and extension.
    String Title() const;
    HINSTANCE Instance() const;

    // The window that owns message boxes while it is on the screen.
    HWND MainWindow() const { return mainWindow_; }
    void SetMainWindow(HWND window) { mainWindow_ = window; }

    // A quiet run shows no window and no message box of the program's own.
    bool Quiet() const { return quiet_; }
    void SetQuiet(bool quiet) { quiet_ = quiet; }

    int ExitCode() const { return exitCode_; }
    void SetExitCode(int code) { exitCode_ = code; }

    // A counted wait cursor: the hourglass while the count is above zero, the cursor
    // shown before it when the count is back at zero.
    void BeginWaitCursor();
    void EndWaitCursor();
    bool ShowsWaitCursor() const { return waitCount_ > 0; }
    void RestoreWaitCursor();

    // Message ids are looked up with this added: 0 selects the German texts.
    LONG LanguageOffset = 0;

private:
    HWND mainWindow_ = nullptr;
    int exitCode_ = 0;
    bool quiet_ = false;
    int waitCount_ = 0;
    HCURSOR previousCursor_ = nullptr;
};

// The hourglass for as long as this object lives (counted, so owners may nest).
class WaitCursor {
public:
    explicit WaitCursor(Application& app) : app_(app) { app_.BeginWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
    ~WaitCursor() { app_.EndWaitCursor(); }

private:
    Application& app_;
};

// The full path of the running program, cut to MAX_PATH - 1 characters.
String ProgramFilePath();

// Whether ProgramFilePath() names the running program exactly. When the ANSI code page
// cannot spell a character of the path, Windows hands out a best-fit look-alike
// ("urzadzen" for the Polish spelling with a-ogonek and n-acute), which may name another,
// existing folder; a path that does not fit MAX_PATH comes back cut. Files beside the
// program must not be looked for then.
bool ProgramPathIsExact();

// The last component of a path without its extension ("C:\a\Vantinst.exe" -> "Vantinst").
String TitleFromPath(const char* path);
