#include "app/ExitStatus.h"
#include "app/StartupDecision.h"
#include "install/ProgramPaths.h"
#include "install/WindowsVersion.h"
#include "tests/unit/SimTest.h"

#include <algorithm>
#include <string>

namespace {

struct DecisionCase {
    const char* name;
    DWORD platform, major, minor;
    int checks[2];
    bool dialog;
};

class NeedsInstallationTest : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(NeedsInstallationTest, DecidesFromVersionAndChecks)
{
    const DecisionCase& c = GetParam();
    EXPECT_EQ(NeedsInstallation(IsNt5Version(c.platform, c.major), IsXpVersion(c.platform, c.major, c.minor), c.checks),
              c.dialog)
        << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Windows, NeedsInstallationTest,
    ::testing::Values(DecisionCase{"98", 1, 4, 10, {0, 0}, false}, DecisionCase{"NT4", 2, 4, 0, {0, 0}, false},
                      DecisionCase{"NT6", 2, 6, 0, {0, 0}, false}, DecisionCase{"XP current", 2, 5, 1, {1, 0}, false},
                      DecisionCase{"XP stale", 2, 5, 1, {0, 1}, true}, DecisionCase{"2000 current", 2, 5, 0, {1, 1}, false},
                      DecisionCase{"2000 second missing", 2, 5, 0, {1, 0}, true},
                      DecisionCase{"2000 first missing", 2, 5, 0, {0, 1}, true},
                      DecisionCase{"5.2 current", 2, 5, 2, {1, 1}, false},
                      DecisionCase{"5.2 second missing", 2, 5, 2, {1, 0}, true}),
    [](const ::testing::TestParamInfo<DecisionCase>& info) {
        std::string name = info.param.name;
        for (char& ch : name)
            if (!isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

struct VersionCase {
    DWORD platform, major, minor;
    int nt5, xp;
};

TEST(WindowsVersionTest, AnswersForEveryWindows)
{
    const VersionCase cases[] = {{2, 5, 0, 1, 0}, {2, 5, 1, 1, 1}, {2, 5, 2, 1, 0}, {2, 4, 0, 0, 0},
                                 {2, 6, 1, 0, 0}, {1, 4, 10, 0, 0}, {1, 5, 1, 0, 0}};
    for (const VersionCase& c : cases) {
        sim::Reset();
        sim::Get().platformId = c.platform;
        sim::Get().major = c.major;
        sim::Get().minor = c.minor;
        EXPECT_EQ(IsWindowsNt5(), c.nt5) << c.platform << " " << c.major << "." << c.minor;
        EXPECT_EQ(IsWindowsXp(), c.xp) << c.platform << " " << c.major << "." << c.minor;
        EXPECT_TRUE(sim::Get().boxes.empty());
    }
}

class StartUpTest : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        sim::AddFile("C:\\Setup\\OEM.BMP", "");  // too short: the loader reports it
    }

    void SetWindows(DWORD platform, DWORD major, DWORD minor)
    {
        World().platformId = platform;
        World().major = major;
        World().minor = minor;
    }

    void InstallDriverFile(const char* name, const char* marker)
    {
        sim::AddFile(std::string("C:\\WINDOWS\\System32\\drivers\\") + name, "MZ");
        sim::FindFile(std::string("C:\\WINDOWS\\System32\\drivers\\") + name)->version = sim::MarkerVersion(marker);
    }

    std::vector<std::string> ExaminedFiles()
    {
        std::vector<std::string> files;
        for (const std::string& entry : sim::LogOf("VerQueryValue \\StringFileInfo"))
            files.push_back(entry);
        return files;
    }

    bool DialogShown() { return !sim::LogOf("DoModal").empty(); }
};

TEST_F(StartUpTest, UnservedWindowsEndsSilentlyWithoutLookingAtFiles)
{
    const DWORD versions[][3] = {{1, 4, 10}, {2, 4, 0}, {2, 6, 0}, {2, 10, 0}};
    for (auto& v : versions) {
        SetUp();
        SetWindows(v[0], v[1], v[2]);
        EXPECT_FALSE(TheApp().StartUp());
        EXPECT_FALSE(DialogShown());
        EXPECT_TRUE(sim::LogOf("GetWindowsDirectory").empty());
        EXPECT_TRUE(ExaminedFiles().empty());
        EXPECT_TRUE(sim::LogOf("InitCommonControls").empty());
        EXPECT_EQ(TheApp().ExitCode(), kExitNothingToDo);
        EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Datei ist keine BMP-Datei"});
    }
}

TEST_F(StartUpTest, CurrentDriverEndsSilently)
{
    SetWindows(2, 5, 1);
    InstallDriverFile("orvelxpparallel.sys", "1.59");
    EXPECT_FALSE(TheApp().StartUp());
    EXPECT_FALSE(DialogShown());
    EXPECT_EQ(TheApp().ExitCode(), kExitNothingToDo);
    EXPECT_EQ(sim::LogOf("CreateFile").front(), "CreateFile C:\\Setup\\OEM.BMP");
}

TEST_F(StartUpTest, Windows2000ExaminesBothFilesEvenAfterAFailure)
{
    SetWindows(2, 5, 0);
    InstallDriverFile("orvel2kparport.sys", "1.59");
    EXPECT_FALSE(TheApp().StartUp());
    EXPECT_TRUE(DialogShown());
    EXPECT_EQ(ExaminedFiles().size(), 1u) << "the missing first file has no resource to query, the second one is read";
    EXPECT_EQ(TheApp().ExitCode(), kExitUserClosed);

    SetUp();
    SetWindows(2, 5, 2);
    InstallDriverFile("orvel2kparallel.sys", "1.59");
    InstallDriverFile("orvel2kparport.sys", "1.59");
    TheApp().StartUp();
    EXPECT_FALSE(DialogShown());
    EXPECT_EQ(ExaminedFiles().size(), 2u);

    SetUp();
    SetWindows(2, 5, 0);
    InstallDriverFile("orvel2kparallel.sys", "1.59");
    TheApp().StartUp();
    EXPECT_TRUE(DialogShown()) << "only orvel2kparport.sys missing";
}

TEST_F(StartUpTest, StaleXpDriverShowsTheDialogAfterTheBitmapMessage)
{
    SetWindows(2, 5, 1);
    InstallDriverFile("orvelxpparallel.sys", "1.58");
    TheApp().StartUp();
    ASSERT_TRUE(DialogShown());
    auto at = [](const std::string& entry) {
        return std::find(World().log.begin(), World().log.end(), entry) - World().log.begin();
    };
    EXPECT_LT(at("InitCommonControls"), at("DoModal 102"));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{"Datei ist keine BMP-Datei"});
    EXPECT_EQ(World().boxes.front().owner, nullptr);
}

TEST_F(StartUpTest, FailedVersionQueryIsReportedAndEndsSilently)
{
    World().versionQueryWorks = FALSE;
    TheApp().StartUp();
    EXPECT_FALSE(DialogShown());
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"Datei ist keine BMP-Datei", "GetVersionEx() lieferte False."}));
    EXPECT_EQ(TheApp().ExitCode(), kExitNothingToDo);
}

struct PathCase {
    const char* program;
    const char* name;
    const char* expected;
};

TEST(ProgramPathsTest, JoinsTheLastComponentToTheProgramDirectory)
{
    const PathCase cases[] = {
        {"D:\\Setup\\Vantinst.exe", "orvelxpparallel.inf", "D:\\Setup\\orvelxpparallel.inf"},
        {"D:\\Setup\\Vantinst.exe", "drivers\\orvel2kparport.sys", "D:\\Setup\\orvel2kparport.sys"},
        {"D:\\Setup\\Vantinst.exe", "C:OEM.BMP", "D:\\Setup\\OEM.BMP"},
        {"D:\\Setup\\Vantinst.exe", "x/y/README", "D:\\Setup\\README"},
        {"D:/a b/c/Vantinst.exe", "OEM.BMP", "D:/a b/c/OEM.BMP"},
        {"D:Vantinst.exe", "OEM.BMP", "D:OEM.BMP"},
        {"\\\\server\\share\\Vantinst.exe", "OEM.BMP", "\\\\server\\share\\OEM.BMP"},
    };
    for (const PathCase& c : cases)
        EXPECT_STREQ(JoinProgramDirectory(c.program, c.name).c_str(), c.expected) << c.program << " + " << c.name;
}

TEST(ProgramPathsTest, ResultNeverExceedsThePathLimit)
{
    std::string directory = "C:\\" + std::string(240, 'd') + "\\";
    String joined = JoinProgramDirectory((directory + "Vantinst.exe").c_str(), "orvel2kparallel.inf");
    EXPECT_EQ(joined.size(), MAX_PATH - 1);
    EXPECT_EQ(std::string(joined.c_str()), (directory + "orvel2kparallel.inf").substr(0, MAX_PATH - 1));
}

TEST_F(StartUpTest, ProgramDirectoryNearTheLimitStaysWithinIt)
{
    // GetModuleFileNameA fills the whole buffer without a terminator when the path is too long.
    World().modulePath = "C:\\" + std::string(300, 'p') + "\\Vantinst.exe";
    EXPECT_LE(ProgramDirectoryPath("OEM.BMP").size(), MAX_PATH - 1);
    World().windowsDirectory = "D:\\WINNT";
    EXPECT_STREQ(SystemDirectoryPath().c_str(), "D:\\WINNT\\System32\\");
}

}  // namespace
