#include "app/ExitStatus.h"
#include "app/InstallerDialog.h"
#include "install/DriverFilePlacement.h"
#include "install/DriverInstaller.h"
#include "install/ProgramPaths.h"
#include "platform/CommandLine.h"
#include "services/Messages.h"
#include "services/SystemRestart.h"
#include "tests/unit/SimTest.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {


const std::string kSystem = "C:\\WINDOWS\\System32\\";

class InstallTest : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        World().directories = {sim::Key(kSystem + "drivers"), sim::Key(kSystem + "dllcache")};
        sim::AddFile("C:\\Setup\\orvelxpparallel.sys", "xp");
        sim::AddFile("C:\\Setup\\orvel2kparallel.sys", "2k");
        sim::AddFile("C:\\Setup\\orvel2kparport.sys", "port");
        dialog_ = sim::CreateDialogWindow(102, nullptr);
        sim::Child(dialog_, 1000)->enabled = true;
    }

    int Install() { return InstallDriver(dialog_, Bar(), kSystem.c_str()); }
    HWND Bar() { return sim::Handle(sim::Child(dialog_, 1003)); }

    void ExpectAfterState()
    {
        EXPECT_TRUE(World().timers.empty()) << "timer killed";
        EXPECT_FALSE(sim::Child(dialog_, 1003)->enabled);
        EXPECT_FALSE(sim::Child(dialog_, 1003)->visible);
        EXPECT_TRUE(sim::Child(dialog_, IDCANCEL)->enabled);
        EXPECT_FALSE(sim::Child(dialog_, 1000)->enabled);
        EXPECT_EQ(World().loadedLibraries, 0) << "newdev.dll freed";
    }

    HWND dialog_;
};

struct Road {
    const char* name;
    std::vector<DWORD> updates;  // 0 = success, else the failure code
    std::vector<int> answers;
    std::vector<std::string> hardwareIds;
    std::vector<std::string> boxes;  // "?" = the question, "1207 xxxxxxxx" = a failure box
    int copies;
    int result;
};

TEST_F(InstallTest, RoadsThroughTheDriverUpdate)
{
    const Road roads[] = {
        {"first try", {0}, {}, {"*PNP0400"}, {}, 0, 1},
        {"ECP port", {ERROR_NO_SUCH_DEVINST, 0}, {}, {"*PNP0400", "*PNP0401"}, {}, 0, 1},
        {"ECP, copy yes", {ERROR_NO_SUCH_DEVINST, 259}, {IDYES}, {"*PNP0400", "*PNP0401"}, {"?"}, 2, 1},
        {"ECP, copy no", {ERROR_NO_SUCH_DEVINST, 259}, {IDNO}, {"*PNP0400", "*PNP0401"}, {"?"}, 0, 0},
        {"copy yes", {259}, {IDYES}, {"*PNP0400"}, {"?"}, 2, 1},
        {"copy no", {259}, {IDNO}, {"*PNP0400"}, {"?"}, 0, 0},
        {"denied", {5}, {}, {"*PNP0400"}, {"1207 00000005"}, 0, 0},
        {"ECP denied", {ERROR_NO_SUCH_DEVINST, 5}, {}, {"*PNP0400", "*PNP0401"}, {"1207 00000005"}, 0, 0},
        {"no port", {ERROR_NO_SUCH_DEVINST, ERROR_NO_SUCH_DEVINST}, {}, {"*PNP0400", "*PNP0401"}, {"1207 e000020b"}, 0, 0},
    };
    for (const Road& road : roads) {
        SetUp();
        World().updateResults.assign(road.updates.begin(), road.updates.end());
        World().answers.assign(road.answers.begin(), road.answers.end());

        EXPECT_EQ(Install(), road.result) << road.name;

        std::vector<std::string> expectedUpdates;
        for (const std::string& id : road.hardwareIds)
            expectedUpdates.push_back("UpdateDriver " + id + " C:\\Setup\\orvelxpparallel.inf 1");
        EXPECT_EQ(sim::LogOf("UpdateDriver"), expectedUpdates) << road.name;

        std::vector<std::string> expectedBoxes;
        for (const std::string& box : road.boxes)
            expectedBoxes.push_back(box == "?" ? std::string(LoadMessage(1131).c_str())
                                               : "Treiber konnte nicht installiert werden. [" + box.substr(5) + "]");
        EXPECT_EQ(BoxTexts(), expectedBoxes) << road.name;
        EXPECT_EQ(static_cast<int>(sim::LogOf("CopyFile").size()), road.copies) << road.name;
        EXPECT_EQ(sim::LogOf("StepIt").size(), 3u) << road.name;
        EXPECT_EQ(sim::LogOf("LoadLibrary"), std::vector<std::string>{"LoadLibrary C:\\WINDOWS\\system32\\newdev.dll 8"});
        ExpectAfterState();
    }
}

TEST_F(InstallTest, QuestionIsAYesNoBoxInTheCatalogue)
{
    String question = LoadMessage(1131);
    EXPECT_FALSE(question.empty());
    EXPECT_FALSE(LoadMessage(3131).empty());
    World().updateResults = {259};
    Install();
    ASSERT_EQ(World().boxes.size(), 1u);
    EXPECT_EQ(World().boxes[0].style, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));

}

TEST_F(InstallTest, NewdevThatCannotBeLoadedOrLacksTheEntry)
{
    World().newdevLoads = false;
    EXPECT_EQ(Install(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Die unter Windows XP oder Windows 2000 ben\366tigte DLL "
                                                   "\"newdev.dll\" kann nicht geladen werden. [0000007e]"});
    EXPECT_TRUE(sim::LogOf("FreeLibrary").empty());
    EXPECT_EQ(sim::LogOf("StepIt").size(), 1u);
    ExpectAfterState();

    SetUp();
    World().newdevHasEntry = false;
    EXPECT_EQ(Install(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Die unter Windows XP oder Windows 2000 ben\366tigte DLL "
                                                   "\"newdev.dll\" kann nicht geladen werden. [0000007f]"});
    EXPECT_EQ(sim::LogOf("FreeLibrary").size(), 1u);
    EXPECT_TRUE(sim::LogOf("UpdateDriver").empty());
    ExpectAfterState();
}

TEST_F(InstallTest, WhileInstallingTheButtonsAreOffAndTheBarRuns)
{
    World().updateResults = {5};
    World().timerTicksPerBox = 4;
    Install();
    EXPECT_EQ(sim::LogOf("SetTimer"), std::vector<std::string>{"SetTimer 1 750"});
    EXPECT_EQ(sim::LogOf("EnableWindow")[0], "EnableWindow 1000 0");
    EXPECT_EQ(sim::LogOf("EnableWindow")[1], "EnableWindow 2 0");
    EXPECT_EQ(sim::Child(dialog_, 1003)->rangeHigh, 75);
    EXPECT_EQ(sim::Child(dialog_, 1003)->step, 1);
    EXPECT_EQ(sim::Child(dialog_, 1003)->position, 3) << "the three steps of the procedure; no dialog takes ticks here";
}

TEST_F(InstallTest, InfoShowsTheBaseNameFirstAndWindows2000UsesItsOwnFiles)
{
    World().commandLine = "\"C:\\Setup\\Vantinst.exe\" -info";
    World().minor = 0;
    World().updateResults = {0};
    Install();
    ASSERT_EQ(World().boxes.size(), 1u);
    EXPECT_EQ(World().boxes[0].text, "orvel2kparallel");
    EXPECT_EQ(World().boxes[0].caption, "Vantinst");
    EXPECT_EQ(World().boxes[0].style, static_cast<UINT>(MB_OK));
    EXPECT_EQ(World().boxes[0].owner, nullptr);
    EXPECT_EQ(sim::LogOf("UpdateDriver"), std::vector<std::string>{"UpdateDriver *PNP0400 C:\\Setup\\orvel2kparallel.inf 1"});
    EXPECT_LT(std::find(World().log.begin(), World().log.end(), "MessageBox orvel2kparallel") - World().log.begin(),
              std::find_if(World().log.begin(), World().log.end(),
                           [](const std::string& e) { return e.rfind("LoadLibrary", 0) == 0; }) -
                  World().log.begin());
}

struct Placement {
    const char* name;
    DWORD minor;
    std::vector<std::string> missing;  // sources removed or destination directories absent
    std::vector<std::string> expectedBoxes;
    int result;
};

TEST_F(InstallTest, PlacementCopiesTheListAndTheLastCopyDecides)
{
    const std::string xpDll = kSystem + "dllcache\\orvelxpparallel.sys";
    const std::string xpDrv = kSystem + "drivers\\orvelxpparallel.sys";
    const Placement cases[] = {
        {"xp", 1, {}, {}, 1},
        {"xp without dllcache", 1, {"dir:dllcache"}, {"copy C:\\Setup\\orvelxpparallel.sys " + xpDll, "read " + xpDll}, 1},
        {"xp source missing", 1, {"C:\\Setup\\orvelxpparallel.sys"},
         {"copy C:\\Setup\\orvelxpparallel.sys " + xpDll, "read " + xpDll, "copy C:\\Setup\\orvelxpparallel.sys " + xpDrv,
          "read " + xpDrv},
         0},
        {"2000", 0, {}, {}, 1},
        {"2000 parport missing", 0, {"C:\\Setup\\orvel2kparport.sys"},
         {"copy C:\\Setup\\orvel2kparport.sys " + kSystem + "drivers\\orvel2kparport.sys",
          "read " + kSystem + "drivers\\orvel2kparport.sys"},
         0},
        {"2000 parallel missing", 0, {"C:\\Setup\\orvel2kparallel.sys"},
         {"copy C:\\Setup\\orvel2kparallel.sys " + kSystem + "dllcache\\orvel2kparallel.sys",
          "read " + kSystem + "dllcache\\orvel2kparallel.sys",
          "copy C:\\Setup\\orvel2kparallel.sys " + kSystem + "drivers\\orvel2kparallel.sys",
          "read " + kSystem + "drivers\\orvel2kparallel.sys"},
         1},
    };
    for (const Placement& c : cases) {
        SetUp();
        World().minor = c.minor;
        for (const std::string& m : c.missing) {
            if (m.rfind("dir:", 0) == 0)
                World().directories.erase(sim::Key(kSystem + m.substr(4)));
            else
                World().files.erase(sim::Key(m));
        }
        const char* base = c.minor == 1 ? "orvelxpparallel" : "orvel2kparallel";
        EXPECT_EQ(PlaceDriverFiles(kSystem.c_str(), base), c.result) << c.name;

        std::vector<std::string> expected;
        for (const std::string& box : c.expectedBoxes) {
            if (box.rfind("copy ", 0) == 0) {
                std::size_t split = box.find(' ', 5);
                expected.push_back("Datei " + box.substr(5, split - 5) + " l\344\337t sich nicht in " + box.substr(split + 1) +
                                   " kopieren");
            } else {
                expected.push_back("Attribute der Datei " + box.substr(5) + " k\366nnen nicht gelesen werden");
            }
        }
        EXPECT_EQ(BoxTexts(), expected) << c.name;
        EXPECT_EQ(sim::LogOf("CopyFile").size(), c.minor == 1 ? 2u : 3u) << c.name;
        for (const std::string& copy : sim::LogOf("CopyFile"))
            EXPECT_EQ(copy.find(" keep"), std::string::npos) << "existing files are replaced";
    }
}

TEST_F(InstallTest, PlacedFilesLoseOnlyTheirReadOnlyMark)
{
    World().files[sim::Key("C:\\Setup\\orvelxpparallel.sys")].attributes =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    EXPECT_EQ(PlaceDriverFiles(kSystem.c_str(), "orvelxpparallel"), 1);
    EXPECT_EQ(sim::FindFile(kSystem + "drivers\\orvelxpparallel.sys")->attributes,
              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_EQ(sim::FindFile(kSystem + "dllcache\\orvelxpparallel.sys")->attributes,
              FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE);
    EXPECT_TRUE(World().boxes.empty());

    SetUp();
    World().files[sim::Key("C:\\Setup\\orvelxpparallel.sys")].attributes = FILE_ATTRIBUTE_READONLY;
    World().attributeWritesFail.insert(sim::Key(kSystem + "drivers\\orvelxpparallel.sys"));
    EXPECT_EQ(PlaceDriverFiles(kSystem.c_str(), "orvelxpparallel"), 1);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Attribute der Datei " + kSystem +
                                                   "drivers\\orvelxpparallel.sys k\366nnen nicht gesetzt werden"});

    SetUp();
    PlaceDriverFiles(kSystem.c_str(), "orvelxpparallel");
    EXPECT_TRUE(sim::LogOf("SetFileAttributes").empty()) << "nothing written when the mark is not set";
}

TEST(CommandLineTest, SwitchesAreSearchedAfterTheProgramName)
{
    struct Case {
        const char* line;
        bool info, norestart;
    } cases[] = {
        {"\"C:\\Program Files\\Setup\\Vantinst.exe\" -info -norestart", true, true},
        {"\"C:\\Program Files\\Setup\\Vantinst.exe\"", false, false},
        {"\"C:\\-norestart\\-info\\Vantinst.exe\"", false, false},
        {"C:\\-norestart\\Vantinst.exe -info", true, false},
        {"Vantinst.exe -norestart -info", true, true},
        {"Vantinst.exe x-norestartx", false, true},
        {"Vantinst.exe -NORESTART /norestart -Info", false, false},
        {"Vantinst.exe", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(HasOption(c.line, "-info"), c.info) << c.line;
        EXPECT_EQ(HasOption(c.line, "-norestart"), c.norestart) << c.line;
    }
}

struct RestartCase {
    const char* name;
    BOOL tokenOpens;
    DWORD adjustError;
    BOOL exitWorks;
    std::vector<UINT> messages;
    bool requested;
};

TEST_F(InstallTest, RestartReportsWhatStoodInTheWay)
{
    const RestartCase cases[] = {
        {"administrator", TRUE, 0, TRUE, {}, true},
        {"no privilege", TRUE, ERROR_NOT_ALL_ASSIGNED, FALSE, {1125, 1126}, false},
        {"no privilege, still accepted", TRUE, ERROR_NOT_ALL_ASSIGNED, TRUE, {1125}, true},
        {"refused", TRUE, 0, FALSE, {1126}, false},
        {"no token", FALSE, 0, TRUE, {1125}, true},
    };
    for (const RestartCase& c : cases) {
        SetUp();
        World().tokenOpens = c.tokenOpens;
        World().adjustError = c.adjustError;
        World().exitWindowsWorks = c.exitWorks;
        EXPECT_EQ(RestartWindows(EWX_REBOOT), c.requested) << c.name;
        std::vector<std::string> expected;
        for (UINT id : c.messages)
            expected.push_back(LoadMessage(id).c_str());
        EXPECT_EQ(BoxTexts(), expected) << c.name;
        EXPECT_EQ(sim::LogOf("ExitWindowsEx"), std::vector<std::string>{"ExitWindowsEx 2 0"}) << c.name;
        if (c.tokenOpens) {
            EXPECT_EQ(sim::LogOf("OpenProcessToken"), std::vector<std::string>{"OpenProcessToken 40 self"});
            EXPECT_EQ(sim::LogOf("LookupPrivilegeValue"),
                      std::vector<std::string>{"LookupPrivilegeValue local SeShutdownPrivilege"});
            EXPECT_EQ(sim::LogOf("AdjustTokenPrivileges"),
                      std::vector<std::string>{"AdjustTokenPrivileges token 0 count 1 luid 19 attributes 2 0"});
        } else {
            EXPECT_TRUE(sim::LogOf("AdjustTokenPrivileges").empty()) << "no token to adjust";
        }
    }
}

TEST_F(InstallTest, NoRestartSwitchSkipsEverything)
{
    World().commandLine = "\"C:\\Setup\\Vantinst.exe\" -info -norestart";
    EXPECT_FALSE(RestartWindows(EWX_REBOOT));
    EXPECT_TRUE(sim::LogOf("OpenProcessToken").empty());
    EXPECT_TRUE(sim::LogOf("ExitWindowsEx").empty());
    EXPECT_TRUE(World().boxes.empty());
}

class InstallCommandTest : public InstallTest {
protected:
    // Runs the main dialog and clicks Install once.
    int RunAndInstall()
    {
        World().onModal = [](Dialog& dialog, HWND window) {
            if (dialog.TemplateId() == 102)
                dialog.Dispatch(window, WM_COMMAND, MAKEWPARAM(1000, BN_CLICKED), 0);
        };
        InstallerDialog dialog(nullptr);
        dialog.DoModal();
        mainWindow_ = World().topLevel.back().get();
        for (auto& window : World().topLevel) {
            if (window->text.rfind("Druckerport", 0) == 0)
                mainWindow_ = window.get();
        }
        return dialog.Outcome();
    }

    sim::Window* mainWindow_ = nullptr;
};

TEST_F(InstallCommandTest, SuccessShowsTheMessageWhileStillWaitingThenRestarts)
{
    World().updateResults = {0};
    EXPECT_EQ(RunAndInstall(), kExitRestartInitiated);
    ASSERT_EQ(World().boxes.size(), 1u);
    const sim::Box& box = World().boxes[0];
    EXPECT_EQ(box.text, std::string(LoadMessage(1116).c_str()));
    EXPECT_EQ(box.dialogText, std::string(LoadMessage(1127).c_str()));
    EXPECT_TRUE(box.waitCursor);
    EXPECT_EQ(box.owner, sim::Handle(mainWindow_));
    EXPECT_EQ(sim::LogOf("ExitWindowsEx").size(), 1u);
    EXPECT_EQ(sim::Child(sim::Handle(mainWindow_), 1002)->text.size(), 419u) << "explanation back";
    EXPECT_FALSE(sim::Child(sim::Handle(mainWindow_), 1000)->enabled);
    EXPECT_EQ(World().cursor, "arrow");
    EXPECT_EQ(sim::LogOf("SetCursor"), (std::vector<std::string>{"SetCursor wait", "SetCursor arrow"}));
}

TEST_F(InstallCommandTest, OutcomesGiveTheExitStatus)
{
    struct Case {
        std::vector<DWORD> updates;
        std::vector<int> answers;
        const char* commandLine;
        BOOL exitWorks;
        int outcome;
    } cases[] = {
        {{0}, {}, "Vantinst.exe -norestart", TRUE, kExitRestartRequired},
        {{0}, {}, "Vantinst.exe", FALSE, kExitRestartRequired},
        {{0}, {}, "Vantinst.exe", TRUE, kExitRestartInitiated},
        {{5}, {}, "Vantinst.exe", TRUE, kExitInstallFailed},
        {{259}, {IDNO}, "Vantinst.exe", TRUE, kExitInstallFailed},
        {{259}, {IDYES}, "Vantinst.exe -norestart", TRUE, kExitRestartRequired},
    };
    for (const Case& c : cases) {
        SetUp();
        World().updateResults.assign(c.updates.begin(), c.updates.end());
        World().answers.assign(c.answers.begin(), c.answers.end());
        World().commandLine = c.commandLine;
        World().exitWindowsWorks = c.exitWorks;
        EXPECT_EQ(RunAndInstall(), c.outcome) << c.commandLine;
    }
    InstallerDialog untouched(nullptr);
    EXPECT_EQ(untouched.Outcome(), kExitUserClosed);
}

TEST_F(InstallCommandTest, FailureShowsNothingMoreAndLeavesOnlyExit)
{
    World().updateResults = {259};
    World().answers = {IDNO};
    EXPECT_EQ(RunAndInstall(), kExitInstallFailed);
    EXPECT_EQ(World().boxes.size(), 1u) << "only the question";
    EXPECT_TRUE(sim::LogOf("ExitWindowsEx").empty());
    EXPECT_FALSE(sim::Child(sim::Handle(mainWindow_), 1000)->enabled);
    EXPECT_TRUE(sim::Child(sim::Handle(mainWindow_), IDCANCEL)->enabled);
}

}  // namespace

namespace {

TEST_F(InstallTest, PathsNearTheLimitStayWholeInMessages)
{
    World().windowsDirectory = "C:\\" + std::string(240, 'w');
    World().modulePath = "D:\\" + std::string(236, 'p') + "\\Vantinst.exe";
    std::string system = SystemDirectoryPath().c_str();
    EXPECT_EQ(system, World().windowsDirectory + "\\System32\\");

    EXPECT_EQ(PlaceDriverFiles(system.c_str(), "orvelxpparallel"), 0);
    std::string source = "D:\\" + std::string(236, 'p') + "\\orvelxpparallel.sys";
    ASSERT_EQ(World().boxes.size(), 4u);
    EXPECT_EQ(World().boxes[0].text, "Datei " + source.substr(0, MAX_PATH - 1) + " l\344\337t sich nicht in " + system +
                                         "dllcache\\orvelxpparallel.sys kopieren");
    EXPECT_EQ(World().boxes[3].text,
              "Attribute der Datei " + system + "drivers\\orvelxpparallel.sys k\366nnen nicht gelesen werden");
}

}  // namespace
