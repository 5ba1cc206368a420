// Unattended runs: the switches as administrators type them, and the quiet road, which
// shows nothing and takes the Install command's road at once.
#include "app/ExitStatus.h"
#include "app/InstallerDialog.h"
#include "platform/CommandLine.h"
#include "res/resource.h"
#include "tests/unit/SimTest.h"

#include <string>
#include <vector>

namespace {

// Each line with what both tests find in it: HasOption is the plain substring test for
// one spelling ("-info"), HasSwitch takes the dash and the slash form. Both look only
// after the program's name, and both are case-sensitive.
struct SwitchCase {
    const char* line;
    bool dashInfo, dashNorestart;   // HasOption "-info", "-norestart"
    bool info, norestart, quiet;    // HasSwitch
};

TEST(SwitchTest, DashAndSlashFormsAfterTheProgramNameOnly)
{
    const SwitchCase cases[] = {
        {"\"C:\\Program Files\\Setup\\Vantinst.exe\" -info -norestart", true, true, true, true, false},
        {"\"C:\\Program Files\\Setup\\Vantinst.exe\" -info -norestart -quiet", true, true, true, true, true},
        {"\"C:\\Program Files\\Setup\\Vantinst.exe\" /info /norestart /quiet", false, false, true, true, true},
        {"\"C:\\Program Files\\Setup\\Vantinst.exe\"", false, false, false, false, false},
        {"Vantinst.exe -norestart -info", true, true, true, true, false},
        {"Vantinst.exe /quiet -norestart", false, true, false, true, true},
        // Switch words inside the program's path are not switches.
        {"\"C:\\-norestart\\-info\\Vantinst.exe\"", false, false, false, false, false},
        {"\"C:\\-norestart\\/quiet\\-info\\Vantinst.exe\"", false, false, false, false, false},
        {"\"C:\\/norestart\\Vantinst.exe\" /info", false, false, true, false, false},
        {"C:\\-norestart\\Vantinst.exe -info", true, false, true, false, false},
        {"C:\\/quiet\\Vantinst.exe -info", true, false, true, false, false},
        // A substring test: a switch also counts inside a longer word, in its case only.
        {"Vantinst.exe x-norestartx", false, true, false, true, false},
        {"Vantinst.exe x/norestartx", false, false, false, true, false},
        {"Vantinst.exe -NORESTART /norestart -Info", false, false, false, true, false},
        {"Vantinst.exe /NORESTART /Quiet -Info /QUIET", false, false, false, false, false},
        {"Vantinst.exe", false, false, false, false, false},
        {"", false, false, false, false, false},
    };
    for (const SwitchCase& c : cases) {
        EXPECT_EQ(HasOption(c.line, "-info"), c.dashInfo) << c.line;
        EXPECT_EQ(HasOption(c.line, "-norestart"), c.dashNorestart) << c.line;
        EXPECT_EQ(HasSwitch(c.line, "info"), c.info) << c.line;
        EXPECT_EQ(HasSwitch(c.line, "norestart"), c.norestart) << c.line;
        EXPECT_EQ(HasSwitch(c.line, "quiet"), c.quiet) << c.line;
    }
}

TEST(ProgramNameTest, EndsAfterTheProgramsOwnPath)
{
    const char own[] = "C:\\my -quiet app\\Vantinst.exe";
    struct Case {
        const char* line;
        const char* arguments;
    } cases[] = {
        // The program's own path, as the ways of starting it write it.
        {"\"C:\\my -quiet app\\Vantinst.exe\" -info", "-info"},
        {"C:\\my -quiet app\\Vantinst.exe", ""},
        {"C:\\my -quiet app\\Vantinst.exe /norestart", "/norestart"},
        {" \t \"C:\\my -quiet app\\Vantinst.exe\" -info", "-info"},
        {"\tC:\\my -quiet app\\Vantinst.exe\t-info", "-info"},
        {"  C:\\my -quiet app\\Vantinst.exe", ""},
        {"c:\\MY -QUIET APP\\vantinst.EXE -info", "-info"},
        {"C:\\my -quiet app\\Vantinst -info", "-info"},
        {"\"C:\\my -quiet app\\Vantinst\"-info", "-info"},
        // Not the program's own path: the first token ends at the closing quote or the first blank.
        {"Vantinst.exe -quiet", "-quiet"},
        {"Vantinst -quiet", "-quiet"},
        {"\"Vantinst.exe\" -quiet", "-quiet"},
        {"D:\\my -quiet app\\Vantinst.exe -info", "-quiet app\\Vantinst.exe -info"},
        {"C:\\my -quiet app\\Vantinst.exe.bak -info", "-quiet app\\Vantinst.exe.bak -info"},
        {"C:\\my -quiet app\\Vantinstx -info", "-quiet app\\Vantinstx -info"},
        {"\"C:\\my -quiet app\\Vantinst.exe -info", ""},
        {" -quiet", "-quiet"},
        {"", ""},
    };
    for (const Case& c : cases)
        EXPECT_STREQ(CommandArguments(c.line, own), c.arguments) << c.line;
    EXPECT_STREQ(CommandArguments("C:\\my -quiet app\\Vantinst.exe -info", nullptr), "-quiet app\\Vantinst.exe -info")
        << "without a path of its own the program goes by the first token";
}

struct QuietCase {
    const char* name;
    const char* arguments;
    DWORD major, minor;
    bool driverCurrent;
    std::vector<DWORD> updates;  // 0: success, else the failure's code
    int status;
    unsigned restarts;  // ExitWindowsEx calls
    unsigned copies;
    std::vector<std::string> logged;  // "Message ..." lines the log must hold
};

void PrintTo(const QuietCase& c, std::ostream* out) { *out << c.name; }

class QuietRunTest : public SimTest, public ::testing::WithParamInterface<QuietCase> {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        World().directories = {sim::Key("C:\\WINDOWS"), sim::Key("C:\\WINDOWS\\System32\\drivers"),
                               sim::Key("C:\\WINDOWS\\System32\\dllcache")};
        for (const char* name : {"orvelxpparallel.sys", "orvel2kparallel.sys", "orvel2kparport.sys"})
            sim::AddFile(std::string("C:\\Setup\\") + name, name);
        // No picture beside the program: a quiet run must not need one.
    }
};

TEST_P(QuietRunTest, ShowsNothingAndEndsWithTheStatus)
{
    const QuietCase& c = GetParam();
    World().commandLine = std::string("\"C:\\Setup\\Vantinst.exe\" ") + c.arguments;
    World().major = c.major;
    World().minor = c.minor;
    if (c.driverCurrent) {
        sim::AddFile("C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys", "MZ");
        sim::FindFile("C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys")->version = sim::MarkerVersion("1.59");
    }
    World().updateResults.assign(c.updates.begin(), c.updates.end());

    EXPECT_FALSE(TheApp().StartUp());

    EXPECT_EQ(TheApp().ExitCode(), c.status);
    EXPECT_TRUE(World().boxes.empty()) << "no box at all";
    EXPECT_TRUE(sim::LogOf("DoModal").empty()) << "no window";
    EXPECT_TRUE(sim::LogOf("SetTimer").empty());
    EXPECT_TRUE(PictureOpenings().empty());
    EXPECT_EQ(sim::LogOf("ExitWindowsEx").size(), c.restarts);
    EXPECT_EQ(sim::LogOf("CopyFile").size(), c.copies);
    const std::string log = sim::FindFile("C:\\WINDOWS\\Vantinst.log")->data;
    for (const std::string& line : c.logged)
        EXPECT_NE(log.find("\r\n(1460) " + line + "\r\n"), std::string::npos) << line << " in\n" << log;
    EXPECT_NE(log.find("\r\n(1460) Exit status " + std::to_string(c.status) + "\r\n"), std::string::npos) << log;
}

INSTANTIATE_TEST_SUITE_P(
    Roads, QuietRunTest,
    ::testing::Values(
        QuietCase{"DriverCurrent", "-quiet", 5, 1, true, {}, kExitNothingToDo, 0, 0, {}},
        QuietCase{"NotForThisWindows", "-quiet", 6, 0, false, {}, kExitNothingToDo, 0, 0, {}},
        QuietCase{"InstallsAndRestarts", "-quiet", 5, 1, false, {0}, kExitRestartInitiated, 1, 0,
                  {"Restart requested: accepted"}},
        QuietCase{"SlashForms", "/quiet /norestart", 5, 1, false, {0}, kExitRestartRequired, 0, 0,
                  {"Restart: not requested (norestart)"}},
        QuietCase{"EcpPort", "-quiet -norestart", 5, 1, false, {ERROR_NO_SUCH_DEVINST, 0}, kExitRestartRequired, 0, 0,
                  {}},
        QuietCase{"NoBetterDriverCopiesTheFiles", "-quiet -norestart", 5, 1, false, {259}, kExitRestartRequired, 0, 2,
                  {"Answer: Yes"}},
        QuietCase{"Windows2000CopiesThree", "-quiet -norestart", 5, 0, false, {259}, kExitRestartRequired, 0, 3, {}},
        QuietCase{"UpdateFails", "-quiet", 5, 1, false, {5}, kExitInstallFailed, 0, 0,
                  {"Message " + std::to_string(MSG_DRIVER_NOT_INSTALLED) + ": Treiber konnte nicht installiert werden. [00000005]"}},
        QuietCase{"InfoIsOnlyLogged", "-quiet -info -norestart", 5, 1, false, {0}, kExitRestartRequired, 0, 0,
                  {"Message: orvelxpparallel"}}),
    [](const ::testing::TestParamInfo<QuietCase>& info) { return std::string(info.param.name); });

TEST_F(QuietRunTest, ProgramFolderThatCannotBeNamedIsRefusedInTheLog)
{
    World().commandLine = "Vantinst.exe -quiet";
    World().modulePath = "C:\\Sterownik urzadzen\\Vantinst.exe";
    World().moduleWidePath = u"C:\\Sterownik urz\u0105dze\u0144\\Vantinst.exe";
    World().updateResults = {0};
    TheApp().StartUp();
    EXPECT_EQ(TheApp().ExitCode(), kExitInstallFailed);
    EXPECT_TRUE(World().boxes.empty());
    EXPECT_TRUE(sim::LogOf("UpdateDriver").empty());
    EXPECT_NE(sim::FindFile("C:\\WINDOWS\\Vantinst.log")->data.find("Message " + std::to_string(MSG_FOLDER_UNUSABLE) + ": "), std::string::npos);
}

// Services, scheduled tasks and deployment agents pass the application's name on its own
// and its path unquoted as the command line; the folder's name must not give switches.
TEST_F(QuietRunTest, SwitchWordsInTheFolderNameAreNoSwitches)
{
    struct Case {
        const char* modulePath;
        const char* commandLine;
        int status;
        std::size_t restarts;
    } cases[] = {
        // Not quiet: the dialog comes; the user presses Exit.
        {"C:\\my -quiet app\\Vantinst.exe", "C:\\my -quiet app\\Vantinst.exe", kExitUserClosed, 0},
        // Quiet, and the restart is asked for.
        {"C:\\no -norestart\\Vantinst.exe", " \"C:\\no -norestart\\Vantinst.exe\" -quiet", kExitRestartInitiated, 1},
        // A bare name typed in the program's folder still has its switches.
        {"C:\\no -norestart\\Vantinst.exe", "Vantinst.exe -quiet -norestart", kExitRestartRequired, 0},
    };
    for (const Case& c : cases) {
        SetUp();
        World().modulePath = c.modulePath;
        World().commandLine = c.commandLine;
        World().updateResults = {0};
        World().onModal = [](Dialog& dialog, HWND window) {
            dialog.Dispatch(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        };
        TheApp().StartUp();
        EXPECT_EQ(TheApp().ExitCode(), c.status) << c.commandLine;
        EXPECT_EQ(sim::LogOf("DoModal").size(), c.status == kExitUserClosed ? 1u : 0u) << c.commandLine;
        EXPECT_EQ(sim::LogOf("ExitWindowsEx").size(), c.restarts) << c.commandLine;
        const std::string log = sim::FindFile("C:\\WINDOWS\\Vantinst.log")->data;
        EXPECT_NE(log.find(std::string("  ") + c.commandLine + "\r\n"), std::string::npos)
            << "the header shows the command line as given:\n" << log;
    }
}

TEST_F(QuietRunTest, DamagedPictureDoesNotStopIt)
{
    sim::AddFile("C:\\Setup\\OEM.BMP", "BMx");
    World().commandLine = "Vantinst.exe -quiet -norestart";
    World().updateResults = {0};
    TheApp().StartUp();
    EXPECT_EQ(TheApp().ExitCode(), kExitRestartRequired);
    EXPECT_TRUE(World().boxes.empty());
}

}  // namespace
