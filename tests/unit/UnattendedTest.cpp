// What guards an installation before anything changes: administrator rights, one
// installer at a time, and (in a quiet run) waiting for Windows' own device installations.
#include "app/ExitStatus.h"
#include "app/InstallerDialog.h"
#include "res/resource.h"
#include "tests/unit/SimTest.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kLog[] = "C:\\WINDOWS\\Vantinst.log";

class UnattendedTest : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        AddWindowsAndPackage();
        World().onModal = [](Dialog& dialog, HWND window) {
            if (dialog.TemplateId() == IDD_INSTALLER)
                dialog.Dispatch(window, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), 0);
        };
    }

    int Run(const char* arguments)
    {
        World().commandLine = std::string("\"C:\\Setup\\Vantinst.exe\" ") + arguments;
        app.StartUp();
        return app.ExitCode();
    }

    static void MakeDriverCurrent()
    {
        sim::AddFile("C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys", "MZ");
        sim::FindFile("C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys")->version = sim::MarkerVersion("1.59");
    }

    static std::string Log()
    {
        sim::File* log = sim::FindFile(kLog);
        return log ? log->data : std::string();
    }
    static bool Logged(const std::string& line) { return Log().find("(1460) " + line + "\r\n") != std::string::npos; }

    // Whether the run changed anything: a driver update, a copy, a restart request.
    static bool ChangedSomething()
    {
        return !sim::LogOf("UpdateDriver").empty() || !sim::LogOf("CopyFile").empty() ||
               !sim::LogOf("ExitWindowsEx").empty();
    }
};

TEST_F(UnattendedTest, RightsAreCheckedBeforeAnythingChanges)
{
    const struct {
        const char* name;
        int administrator;  // as the simulated Windows answers
        bool quiet;
        int status;
        const char* logged;
    } cases[] = {
        {"administrator, quiet", 1, true, kExitRestartRequired, "Administrator rights: yes"},
        {"administrator, dialog", 1, false, kExitRestartRequired, "Administrator rights: yes"},
        {"no administrator, quiet", 0, true, kExitInstallFailed, "Administrator rights: no"},
        {"no administrator, dialog", 0, false, kExitInstallFailed, "Administrator rights: no"},
        {"check fails", -1, true, kExitRestartRequired,
         "Administrator rights: not known, the check failed [000003f0]; the installation is tried"},
        {"group cannot be named", -2, false, kExitRestartRequired,
         "Administrator rights: not known, the check failed [000003f0]; the installation is tried"},
    };
    for (const auto& c : cases) {
        SetUp();
        World().administrator = c.administrator;
        World().updateResults = {0};
        EXPECT_EQ(Run(c.quiet ? "-quiet -norestart" : "-norestart"), c.status) << c.name;
        EXPECT_TRUE(Logged(c.logged)) << c.name << "\n" << Log();
        const bool refused = c.administrator == 0;
        EXPECT_EQ(ChangedSomething(), !refused) << c.name;
        EXPECT_EQ(sim::LogOf("DoModal").size(), !refused && !c.quiet ? 1u : 0u) << c.name << ": no dialog when refused";
        // The refusal is said before the dialog, in a box unless the run is quiet, and logged as every message is.
        const std::vector<std::string> boxes = BoxTexts();
        const std::string refusal = Text(MSG_NOT_ADMINISTRATOR);
        EXPECT_EQ(std::count(boxes.begin(), boxes.end(), refusal), refused && !c.quiet ? 1 : 0) << c.name;
        if (c.quiet) {
            EXPECT_TRUE(boxes.empty()) << c.name;
        }
        // The log line holds the text's first line; the others follow indented.
        const std::string logged = "(1460) Message " + std::to_string(MSG_NOT_ADMINISTRATOR) + ": " +
                                   refusal.substr(0, refusal.find('\n'));
        EXPECT_EQ(Log().find(logged) != std::string::npos, refused) << c.name;
        if (c.administrator >= -1) {
            EXPECT_EQ(sim::LogOf("CheckTokenMembership"), std::vector<std::string>{"CheckTokenMembership S-1-5-32-544"})
                << c.name;
        }
        EXPECT_EQ(World().liveSids, 0) << c.name << ": the SID is freed";
    }
}

TEST_F(UnattendedTest, CurrentDriverEndsSilentlyForEveryone)
{
    for (int administrator : {1, 0, -1}) {
        SetUp();
        World().administrator = administrator;
        MakeDriverCurrent();
        EXPECT_EQ(Run("-quiet"), kExitNothingToDo);
        EXPECT_TRUE(World().boxes.empty());
        EXPECT_TRUE(sim::LogOf("AllocateAndInitializeSid").empty()) << "no check on the silent road";
    }
}

// One installer at a time: the lock is taken only when there is work, a second run
// while one installs changes nothing and ends with kExitAlreadyRunning, and a crashed
// run's lock does not block.
TEST_F(UnattendedTest, OneInstallerAtATime)
{
    const struct {
        const char* name;
        const char* state;
        DWORD createError;
        bool quiet;
        int status;
        const char* logged;
    } cases[] = {
        {"free, quiet", "free", 0, true, kExitRestartRequired, "Installer lock: taken"},
        {"free, dialog", "free", 0, false, kExitRestartRequired, "Installer lock: taken"},
        {"held, quiet", "held", 0, true, kExitAlreadyRunning, "Another installer is running: nothing changed"},
        {"held, dialog", "held", 0, false, kExitAlreadyRunning, "Another installer is running: nothing changed"},
        {"abandoned", "abandoned", 0, true, kExitRestartRequired,
         "Installer lock: taken; the run that held it ended without releasing it"},
        {"held by a run of more rights", "held", ERROR_ACCESS_DENIED, true, kExitAlreadyRunning,
         "Another installer is running (its lock is not open to this user [00000005]): nothing changed"},
        {"lock not available", "free", 8, true, kExitRestartRequired,
         "Installer lock: not available [00000008]; going on without it"},
    };
    for (const auto& c : cases) {
        SetUp();
        World().mutexState = c.state;
        World().mutexCreateError = c.createError;
        World().updateResults = {0};
        EXPECT_EQ(Run(c.quiet ? "-quiet -norestart" : "-norestart"), c.status) << c.name;
        EXPECT_TRUE(Logged(c.logged)) << c.name << "\n" << Log();
        EXPECT_TRUE(Logged("Exit status " + std::to_string(c.status))) << c.name;
        EXPECT_EQ(World().mutexNames, std::vector<std::string>{"Global\\Vantinst.DriverInstallation"}) << c.name;
        const bool running = c.status == kExitAlreadyRunning;
        EXPECT_EQ(ChangedSomething(), !running) << c.name;
        EXPECT_EQ(sim::LogOf("DoModal").size(), !running && !c.quiet ? 1u : 0u) << c.name;
        if (running) {
            // Only the log says it (the fixture has no picture, whose loader speaks first).
            for (const std::string& text : BoxTexts())
                EXPECT_EQ(text, Text(MSG_BMP_NOT_FOUND)) << c.name;
        }
        if (!c.createError) {
            EXPECT_EQ(sim::LogOf("WaitForSingleObject"), std::vector<std::string>{"WaitForSingleObject 0"})
                << c.name << ": never waits for the other run";
        }
        EXPECT_FALSE(World().mutexOwned) << c.name << ": released at the end";
        EXPECT_EQ(World().openMutexes, 0) << c.name;
    }
}

TEST_F(UnattendedTest, SilentRoadTakesNoLock)
{
    MakeDriverCurrent();
    World().mutexState = "held";
    EXPECT_EQ(Run("-quiet"), kExitNothingToDo);
    EXPECT_TRUE(World().mutexNames.empty());
}

// A second start by hand brings the running installer's dialog to the front, restored
// if it was minimised; a quiet second start leaves the screen alone.
TEST_F(UnattendedTest, SecondStartBringsTheRunningDialogForward)
{
    for (bool quiet : {false, true}) {
        SetUp();
        World().mutexState = "held";
        auto other = std::make_unique<sim::Window>();
        other->className = "#32770";
        other->text = Text(MSG_MAIN_TITLE);  // the title a running installer's dialog has
        other->iconic = true;
        sim::Window* running = other.get();
        World().topLevel.push_back(std::move(other));
        EXPECT_EQ(Run(quiet ? "-quiet" : ""), kExitAlreadyRunning);
        EXPECT_EQ(sim::LogOf("SetForegroundWindow"),
                  quiet ? std::vector<std::string>{}
                        : std::vector<std::string>{"SetForegroundWindow " + Text(MSG_MAIN_TITLE)});
        EXPECT_EQ(running->iconic, quiet) << "restored";
    }
}

// A quiet run waits, at most a few minutes, for Windows' own device installations before
// the driver update, and goes on whatever the wait gives; an interactive run does not.
TEST_F(UnattendedTest, QuietRunWaitsForPendingInstallations)
{
    const struct {
        const char* name;
        bool loads, hasWait;
        DWORD result;
        const char* outcome;
    } cases[] = {
        {"ends in time", true, true, WAIT_OBJECT_0, "Waiting for Windows' device installations: none in progress"},
        {"times out", true, true, WAIT_TIMEOUT,
         "Waiting for Windows' device installations: still in progress after the wait; the update is tried"},
        {"fails", true, true, WAIT_FAILED,
         "Waiting for Windows' device installations: failed [00000005]; the update is tried"},
        {"function absent", true, false, WAIT_OBJECT_0,
         "Waiting for Windows' device installations: skipped, this Windows cannot tell [0000007f]"},
        {"library absent", false, false, WAIT_OBJECT_0,
         "Waiting for Windows' device installations: skipped, this Windows cannot tell [0000007e]"},
    };
    for (const auto& c : cases) {
        SetUp();
        World().setupapiLoads = c.loads;
        World().setupapiHasWait = c.hasWait;
        World().pendingWaitResult = c.result;
        World().updateResults = {0};
        EXPECT_EQ(Run("-quiet -norestart"), kExitRestartRequired) << c.name;
        EXPECT_TRUE(Logged(c.outcome)) << c.name << "\n" << Log();
        EXPECT_EQ(Logged("Waiting for Windows' device installations to end (at most 180 s)"), c.hasWait) << c.name;
        const std::vector<std::string> waits = sim::LogOf("CMP_WaitNoPendingInstallEvents");
        EXPECT_EQ(waits, c.hasWait ? std::vector<std::string>{"CMP_WaitNoPendingInstallEvents 180000"}
                                   : std::vector<std::string>{})
            << c.name;
        // Loaded from the system folder only, and before the driver update.
        const std::vector<std::string>& calls = World().log;
        auto load = std::find(calls.begin(), calls.end(), "LoadLibrary C:\\WINDOWS\\system32\\setupapi.dll 8");
        auto update = std::find_if(calls.begin(), calls.end(),
                                   [](const std::string& e) { return e.rfind("UpdateDriver ", 0) == 0; });
        EXPECT_TRUE(load != calls.end() && load < update) << c.name;
        EXPECT_EQ(World().loadedLibraries, 0) << c.name << ": freed";
    }
}

TEST_F(UnattendedTest, InteractiveRunDoesNotWait)
{
    World().updateResults = {0};
    EXPECT_EQ(Run("-norestart"), kExitRestartRequired);
    EXPECT_TRUE(sim::LogOf("CMP_WaitNoPendingInstallEvents").empty());
    EXPECT_EQ(Log().find("Waiting for Windows"), std::string::npos);
}

}  // namespace
