#include "app/ExitStatus.h"
#include "app/StartupDecision.h"
#include "install/ProgramPaths.h"
#include "install/WindowsVersion.h"
#include "platform/Application.h"
#include "res/resource.h"
#include "services/Messages.h"
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

void PrintTo(const DecisionCase& c, std::ostream* out) { *out << c.name; }

class NeedsInstallationTest : public ::testing::TestWithParam<DecisionCase> {};

TEST_P(NeedsInstallationTest, DecidesFromVersionAndChecks)
{
    const DecisionCase& c = GetParam();
    int files = InstalledDriverFiles(IsXpVersion(c.platform, c.major, c.minor)).count;
    EXPECT_EQ(NeedsInstallation(IsNt5Version(c.platform, c.major), c.checks, files), c.dialog)
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
    const char* name;
    DWORD platform, major, minor;
    int nt5, xp;
};

class WindowsVersionTest : public SimTest, public ::testing::WithParamInterface<VersionCase> {};

TEST_P(WindowsVersionTest, AnswersForEveryWindows)
{
    const VersionCase& c = GetParam();
    World().platformId = c.platform;
    World().major = c.major;
    World().minor = c.minor;
    EXPECT_EQ(IsWindowsNt5(), c.nt5);
    EXPECT_EQ(IsWindowsXp(), c.xp);
    EXPECT_TRUE(World().boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Versions, WindowsVersionTest,
    ::testing::Values(VersionCase{"Windows_2000", 2, 5, 0, 1, 0}, VersionCase{"Windows_XP", 2, 5, 1, 1, 1},
                      VersionCase{"NT_5_2", 2, 5, 2, 1, 0}, VersionCase{"NT_4", 2, 4, 0, 0, 0},
                      VersionCase{"Windows_7", 2, 6, 1, 0, 0}, VersionCase{"Windows_98", 1, 4, 10, 0, 0},
                      VersionCase{"Platform_1_version_5_1", 1, 5, 1, 0, 0}),
    [](const ::testing::TestParamInfo<VersionCase>& info) { return std::string(info.param.name); });

class WindowsVersionQueryTest : public SimTest {};

TEST_F(WindowsVersionQueryTest, FailedQueryIsReportedAndAnswersNo)
{
    World().versionQueryWorks = FALSE;
    EXPECT_EQ(IsWindowsXp(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{Text(MSG_GETVERSIONEX_FAILED)});
    EXPECT_EQ(World().boxes[0].style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
    EXPECT_EQ(IsWindowsNt5(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>(2, Text(MSG_GETVERSIONEX_FAILED))) << "one message per query";
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

struct UnservedWindows {
    const char* name;
    DWORD platform, major, minor;
};

void PrintTo(const UnservedWindows& c, std::ostream* out) { *out << c.name; }

class UnservedWindowsTest : public StartUpTest, public ::testing::WithParamInterface<UnservedWindows> {};

TEST_P(UnservedWindowsTest, EndsSilentlyWithoutLookingAtFiles)
{
    const UnservedWindows& c = GetParam();
    SetWindows(c.platform, c.major, c.minor);
    EXPECT_FALSE(app.StartUp());
    EXPECT_FALSE(DialogShown());
    EXPECT_EQ(sim::LogOf("GetWindowsDirectory").size(), 1u) << "for the log only";
    EXPECT_TRUE(ExaminedFiles().empty());
    EXPECT_TRUE(sim::LogOf("InitCommonControls").empty());
    EXPECT_EQ(app.ExitCode(), kExitNothingToDo);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{Text(MSG_BMP_NOT_BMP)});
}

INSTANTIATE_TEST_SUITE_P(Windows, UnservedWindowsTest,
                         ::testing::Values(UnservedWindows{"Windows98", 1, 4, 10}, UnservedWindows{"NT4", 2, 4, 0},
                                           UnservedWindows{"NT6", 2, 6, 0}, UnservedWindows{"NT10", 2, 10, 0}),
                         [](const ::testing::TestParamInfo<UnservedWindows>& info) { return std::string(info.param.name); });

TEST_F(StartUpTest, CurrentDriverEndsSilently)
{
    SetWindows(2, 5, 1);
    InstallDriverFile("orvelxpparallel.sys", "1.59");
    EXPECT_FALSE(app.StartUp());
    EXPECT_FALSE(DialogShown());
    EXPECT_EQ(app.ExitCode(), kExitNothingToDo);
    EXPECT_EQ(PictureOpenings(), std::vector<std::string>{"CreateFile C:\\Setup\\OEM.BMP"});
}

struct TwoFileCase {
    const char* name;
    DWORD minor;
    std::vector<const char*> currentFiles;  // in drivers\, carrying the marker 1.59
    bool dialog;
    std::size_t examined;  // files whose marker was queried (a missing file has none to query)
};

void PrintTo(const TwoFileCase& c, std::ostream* out) { *out << c.name; }

class Windows2000Test : public StartUpTest, public ::testing::WithParamInterface<TwoFileCase> {};

TEST_P(Windows2000Test, ExaminesBothFilesEvenAfterAFailure)
{
    const TwoFileCase& c = GetParam();
    SetWindows(2, 5, c.minor);
    for (const char* file : c.currentFiles)
        InstallDriverFile(file, "1.59");
    EXPECT_FALSE(app.StartUp());
    EXPECT_EQ(DialogShown(), c.dialog);
    EXPECT_EQ(ExaminedFiles().size(), c.examined);
    EXPECT_EQ(app.ExitCode(), c.dialog ? kExitUserClosed : kExitNothingToDo);
}

INSTANTIATE_TEST_SUITE_P(
    Files, Windows2000Test,
    ::testing::Values(TwoFileCase{"FirstMissingSecondStillRead", 0, {"orvel2kparport.sys"}, true, 1},
                      TwoFileCase{"BothCurrentOnNt52", 2, {"orvel2kparallel.sys", "orvel2kparport.sys"}, false, 2},
                      TwoFileCase{"OnlyParportMissing", 0, {"orvel2kparallel.sys"}, true, 1}),
    [](const ::testing::TestParamInfo<TwoFileCase>& info) { return std::string(info.param.name); });

TEST_F(StartUpTest, StaleXpDriverShowsTheDialogAfterTheBitmapMessage)
{
    SetWindows(2, 5, 1);
    InstallDriverFile("orvelxpparallel.sys", "1.58");
    app.StartUp();
    ASSERT_TRUE(DialogShown());
    auto at = [](const std::string& entry) {
        return std::find(World().log.begin(), World().log.end(), entry) - World().log.begin();
    };
    EXPECT_LT(at("InitCommonControls"), at("DoModal " + std::to_string(IDD_INSTALLER)));
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{Text(MSG_BMP_NOT_BMP)});
    EXPECT_EQ(World().boxes.front().owner, nullptr);
}

TEST_F(StartUpTest, FailedVersionQueryIsReportedAndEndsSilently)
{
    World().versionQueryWorks = FALSE;
    app.StartUp();
    EXPECT_FALSE(DialogShown());
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{Text(MSG_BMP_NOT_BMP), Text(MSG_GETVERSIONEX_FAILED)}));
    EXPECT_EQ(app.ExitCode(), kExitNothingToDo);
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

TEST(ProgramPathsTest, APathBeyondTheLimitIsNeverCut)
{
    std::string directory = "C:\\" + std::string(240, 'd') + "\\";
    String joined = JoinProgramDirectory((directory + "Vantinst.exe").c_str(), "orvel2kparallel.inf");
    EXPECT_EQ(std::string(joined.c_str()), directory + "orvel2kparallel.inf");
}

TEST_F(StartUpTest, ProgramPathCutByWindowsIsNotUsed)
{
    // GetModuleFileNameA fills the whole buffer without a terminator when the path is too long.
    World().modulePath = "C:\\" + std::string(300, 'p') + "\\Vantinst.exe";
    EXPECT_EQ(ProgramFilePath().size(), MAX_PATH - 1);
    EXPECT_FALSE(ProgramPathIsExact());
    app.StartUp();
    EXPECT_TRUE(PictureOpenings().empty()) << "no picture looked for beside a cut path";
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{LoadMessage(MSG_FOLDER_UNUSABLE).c_str()});
    EXPECT_EQ(app.ExitCode(), kExitInstallFailed);

    World().windowsDirectory = "D:\\WINNT";
    EXPECT_STREQ(SystemDirectoryPath().c_str(), "D:\\WINNT\\System32\\");
}

}  // namespace
