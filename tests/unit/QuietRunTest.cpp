// Unattended runs: the switches as administrators type them, and the quiet road, which
// shows nothing and takes the Install command's road at once.
#include "app/ExitStatus.h"
#include "app/InstallerDialog.h"
#include "platform/CommandLine.h"
#include "res/resource.h"
#include "services/MessageFormat.h"
#include "services/ProgramOptions.h"
#include "tests/unit/SimTest.h"

#include <string>
#include <vector>

namespace {

// Each line with what both tests find in it: HasOption is the plain substring test for
// one spelling ("-info"), HasSwitch takes the dash and the slash form, and so does the
// one reading of the options that the program makes. All look only after the
// program's name, and all are case-sensitive.
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
        ProgramOptions read = ReadProgramOptions(c.line);
        EXPECT_EQ(read.info, c.info) << c.line;
        EXPECT_EQ(read.noRestart, c.norestart) << c.line;
        EXPECT_EQ(read.quiet, c.quiet) << c.line;
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
        AddWindowsAndPackage();
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

    EXPECT_FALSE(app.StartUp());

    EXPECT_EQ(app.ExitCode(), c.status);
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
                  {"Message " + std::to_string(MSG_DRIVER_NOT_INSTALLED) + ": " + Text(MSG_DRIVER_NOT_INSTALLED) +
                   " [00000005]"}},
        QuietCase{"InfoIsOnlyLogged", "-quiet -info -norestart", 5, 1, false, {0}, kExitRestartRequired, 0, 0,
                  {"Message: orvelxpparallel"}}),
    [](const ::testing::TestParamInfo<QuietCase>& info) { return std::string(info.param.name); });

TEST_F(QuietRunTest, ProgramFolderThatCannotBeNamedIsRefusedInTheLog)
{
    World().commandLine = "Vantinst.exe -quiet";
    World().modulePath = "C:\\Sterownik urzadzen\\Vantinst.exe";
    World().moduleWidePath = u"C:\\Sterownik urz\u0105dze\u0144\\Vantinst.exe";
    World().updateResults = {0};
    app.StartUp();
    EXPECT_EQ(app.ExitCode(), kExitInstallFailed);
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
        app.StartUp();
        EXPECT_EQ(app.ExitCode(), c.status) << c.commandLine;
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
    app.StartUp();
    EXPECT_EQ(app.ExitCode(), kExitRestartRequired);
    EXPECT_TRUE(World().boxes.empty());
}

}  // namespace

namespace {

// What each road hands the driver update: an interactive run as always (flags 1, no
// reboot pointer, so Windows asks about a restart itself); a quiet run takes the restart
// answer, and on XP and later forbids the update any UI. Windows 2000 gets no such flag.
TEST_F(QuietRunTest, DriverUpdateGetsTheFlagsAndPointerOfItsRoad)
{
    const struct {
        const char* name;
        bool quiet;
        DWORD minor;
        const char* call;  // the simulated update's record of the call
    } cases[] = {
        {"interactive XP", false, 1, "UpdateDriver *PNP0400 C:\\Setup\\orvelxpparallel.inf 1"},
        {"interactive 2000", false, 0, "UpdateDriver *PNP0400 C:\\Setup\\orvel2kparallel.inf 1"},
        {"quiet XP", true, 1, "UpdateDriver *PNP0400 C:\\Setup\\orvelxpparallel.inf 5 reboot"},
        {"quiet NT 5.2", true, 2, "UpdateDriver *PNP0400 C:\\Setup\\orvel2kparallel.inf 5 reboot"},
        {"quiet 2000", true, 0, "UpdateDriver *PNP0400 C:\\Setup\\orvel2kparallel.inf 1 reboot"},
    };
    for (const auto& c : cases) {
        for (BOOL needsRestart : {FALSE, TRUE}) {
            SetUp();
            World().minor = c.minor;
            World().updateResults = {ERROR_NO_SUCH_DEVINST, 0};
            World().updateNeedsRestart = needsRestart;
            World().commandLine = c.quiet ? "Vantinst.exe -quiet -norestart" : "Vantinst.exe -norestart";
            World().onModal = [](Dialog& dialog, HWND window) {
                if (dialog.TemplateId() == IDD_INSTALLER)
                    dialog.Dispatch(window, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), 0);
            };
            app.StartUp();
            std::string second = c.call;
            second.replace(second.find("*PNP0400"), 8, "*PNP0401");
            EXPECT_EQ(sim::LogOf("UpdateDriver"), (std::vector<std::string>{c.call, second})) << c.name;
            EXPECT_EQ(app.ExitCode(), kExitRestartRequired) << c.name << ": the status does not change";
            const std::string log = sim::FindFile("C:\\WINDOWS\\Vantinst.log")->data;
            const bool answered = log.find(needsRestart ? "(1460) Windows says: a restart is needed\r\n"
                                                        : "(1460) Windows says: no restart is needed\r\n") !=
                                  std::string::npos;
            EXPECT_EQ(answered, c.quiet) << c.name << "\n" << log;
            EXPECT_EQ(log.find("Windows says"), log.rfind("Windows says")) << "only the call that installed";
        }
    }
}

// A quiet run on XP whose driver update wanted to ask something: it fails at once, the
// log says what the administrator does, and the status is kExitInstallFailed. On 2000
// there is no such answer to tell apart, so the hint is not given.
TEST_F(QuietRunTest, UpdateThatWantedToAskFailsWithAHint)
{
    const struct {
        DWORD minor;
        DWORD code;
        bool hint;
    } cases[] = {
        {1, ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION, true},
        {1, static_cast<DWORD>(TRUST_E_NOSIGNATURE), true},
        {1, ERROR_ACCESS_DENIED, false},
        {0, ERROR_REQUIRES_INTERACTIVE_WINDOWSTATION, false},
    };
    for (const auto& c : cases) {
        SetUp();
        World().minor = c.minor;
        World().updateResults = {c.code};
        World().commandLine = "Vantinst.exe -quiet";
        app.StartUp();
        EXPECT_EQ(app.ExitCode(), kExitInstallFailed) << c.code;
        EXPECT_TRUE(World().boxes.empty());
        EXPECT_TRUE(sim::LogOf("ExitWindowsEx").empty());
        const std::string log = sim::FindFile("C:\\WINDOWS\\Vantinst.log")->data;
        const std::string code = BracketedCode(c.code).c_str();
        EXPECT_NE(log.find("(1460) Message " + std::to_string(MSG_DRIVER_NOT_INSTALLED) + ": " +
                           Text(MSG_DRIVER_NOT_INSTALLED) + " " + code + "\r\n"),
                  std::string::npos)
            << log;
        const std::string hint = "(1460) The driver update wanted to ask the user something, which a quiet run does "
                                 "not allow " + code + ": sign the driver package, or set the driver signing policy "
                                 "to Ignore (README, \"Deploying to many PCs\")\r\n";
        EXPECT_EQ(log.find(hint) != std::string::npos, c.hint) << log;
    }
}

}  // namespace
