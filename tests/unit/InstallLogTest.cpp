// The installation log: what one run of each road writes, and a log that cannot be
// written or has grown too large.
#include "app/ExitStatus.h"
#include "app/InstallerDialog.h"
#include "platform/CommandLine.h"
#include "res/resource.h"
#include "services/InstallLog.h"
#include "services/ProgramOptions.h"
#include "tests/unit/SimTest.h"

#include <deque>
#include <string>
#include <vector>

namespace {

const char kLog[] = "C:\\WINDOWS\\Vantinst.log";
const char kOldLog[] = "C:\\WINDOWS\\Vantinst.old.log";

class InstallLogTest : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        World().directories = {sim::Key("C:\\WINDOWS"), sim::Key("C:\\WINDOWS\\System32\\drivers"),
                               sim::Key("C:\\WINDOWS\\System32\\dllcache")};
        sim::AddFile("C:\\Setup\\orvelxpparallel.sys", "xp");
        sim::AddFile("C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys", "MZ");
        sim::FindFile("C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys")->version = sim::MarkerVersion("1.58");
    }

    // Starts the program; when the dialog comes, the user presses Install (`install`) or Exit.
    int Run(const char* commandLine, bool install)
    {
        World().commandLine = commandLine;
        World().onModal = [install](Dialog& dialog, HWND window) {
            dialog.Dispatch(window, WM_COMMAND, MAKEWPARAM(install ? IDC_INSTALL : IDCANCEL, BN_CLICKED), 0);
        };
        app.StartUp();
        return app.ExitCode();
    }

    static std::string Log()
    {
        sim::File* log = sim::FindFile(kLog);
        return log ? log->data : std::string();
    }

    // Lines joined with CR LF, the way Notepad wants them, each tagged with the process
    // id of the run that wrote it (the simulated Windows' first process by default).
    static std::string Lines(const std::vector<std::string>& lines, const std::string& tag = "(1460)")
    {
        std::string text;
        for (const std::string& line : lines)
            text += tag + (line.empty() ? "" : " " + line) + "\r\n";
        return text;
    }

    // A catalogue message as the log shows it, for Lines(): its id before the first line,
    // each further line indented, an empty one left empty.
    static std::vector<std::string> MessageLines(UINT id)
    {
        std::vector<std::string> lines;
        const std::string text = Text(id);
        for (std::size_t start = 0;;) {
            const std::size_t end = text.find('\n', start);
            const std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
            if (lines.empty())
                lines.push_back("Message " + std::to_string(id) + ": " + line);
            else
                lines.push_back(line.empty() ? line : "    " + line);
            if (end == std::string::npos)
                return lines;
            start = end + 1;
        }
    }
};

TEST_F(InstallLogTest, InteractiveRunWithManualPlacementAndRestart)
{
    World().updateResults = {ERROR_NO_MORE_ITEMS};
    World().answers = {IDYES};
    EXPECT_EQ(Run("\"C:\\Setup\\Vantinst.exe\"", true), kExitRestartInitiated);
    EXPECT_EQ(Log(), Lines({
        "==== 2026-12-10 14:03:59  Vantinst " VANTINST_VERSION "  \"C:\\Setup\\Vantinst.exe\"",
        "Message " + std::to_string(MSG_BMP_NOT_FOUND) + ": " + Text(MSG_BMP_NOT_FOUND),
        "Windows 5.1.2600 Service Pack 3",
        "Driver file C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys: OrvelVersion \"1.58\"",
        "Administrator rights: yes",
        "Installer lock: taken",
        "Decision: install, the dialog is shown",
        "Driver update *PNP0400 with C:\\Setup\\orvelxpparallel.inf: failed [00000103]",
    }) + Lines(MessageLines(MSG_ASK_COPY_FILES)) + Lines({
        "Answer: Yes",
        "Copy C:\\Setup\\orvelxpparallel.sys -> C:\\WINDOWS\\System32\\dllcache\\orvelxpparallel.sys: done [00000000]",
        "Copy C:\\Setup\\orvelxpparallel.sys -> C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys: done [00000000]",
    }) + Lines(MessageLines(MSG_INSTALLED_RESTART)) + Lines({
        "Restart requested: accepted",
        "Exit status " + std::to_string(kExitRestartInitiated),
    }));
}

TEST_F(InstallLogTest, RunsAppendBlocksForEachRoad)
{
    // Nothing to do on Windows 2000 with one file missing the value and the other missing.
    World().minor = 0;
    World().servicePack = "";
    World().build = 2195;
    sim::AddFile("C:\\WINDOWS\\System32\\drivers\\orvel2kparallel.sys", "MZ");
    sim::FindFile("C:\\WINDOWS\\System32\\drivers\\orvel2kparallel.sys")->version = sim::MarkerVersion("");
    EXPECT_EQ(Run("\"C:\\Setup\\Vantinst.exe\" -quiet /norestart", false), kExitRestartRequired);
    World().minor = 1;
    World().build = 2600;
    World().servicePack = "Service Pack 3";
    World().localTime.wMinute = 4;
    World().localTime.wSecond = 7;
    World().processId = 388;
    EXPECT_EQ(Run("Vantinst.exe", false), kExitUserClosed);

    EXPECT_EQ(Log(), Lines({
        "==== 2026-12-10 14:03:59  Vantinst " VANTINST_VERSION "  \"C:\\Setup\\Vantinst.exe\" -quiet /norestart",
        "Windows 5.0.2195",
        "Driver file C:\\WINDOWS\\System32\\drivers\\orvel2kparallel.sys: OrvelVersion not there",
        "Driver file C:\\WINDOWS\\System32\\drivers\\orvel2kparport.sys: missing [00000002]",
        "Administrator rights: yes",
        "Installer lock: taken",
        "Decision: install, quietly",
        "Waiting for Windows' device installations to end (at most 180 s)",
        "Waiting for Windows' device installations: none in progress",
        "Driver update *PNP0400 with C:\\Setup\\orvel2kparallel.inf: installed [00000000]",
        "Windows says: no restart is needed",
        "Driver file C:\\WINDOWS\\System32\\drivers\\orvel2kparallel.sys after the update: OrvelVersion \"1.59\"",
        "Driver file C:\\WINDOWS\\System32\\drivers\\orvel2kparport.sys after the update: OrvelVersion \"1.59\"",
    }) + Lines(MessageLines(MSG_INSTALLED_RESTART)) + Lines({
        "Restart: not requested (norestart)",
        "Exit status " + std::to_string(kExitRestartRequired),
    }) + Lines({
        "==== 2026-12-10 14:04:07  Vantinst " VANTINST_VERSION "  Vantinst.exe",
        "Message " + std::to_string(MSG_BMP_NOT_FOUND) + ": " + Text(MSG_BMP_NOT_FOUND),
        "Windows 5.1.2600 Service Pack 3",
        "Driver file C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys: OrvelVersion \"1.58\"",
        "Administrator rights: yes",
        "Installer lock: taken",
        "Decision: install, the dialog is shown",
        "Exit status " + std::to_string(kExitUserClosed),
    }, "(388)"));
}

class UnwritableLogTest : public InstallLogTest, public ::testing::WithParamInterface<bool> {};

TEST_P(UnwritableLogTest, ChangesNothingAboutTheRun)
{
    const bool writable = GetParam();
    if (!writable)
        World().writesFail.insert(sim::Key(kLog));
    World().updateResults = {5};
    EXPECT_EQ(Run("Vantinst.exe", true), kExitInstallFailed);
    EXPECT_EQ(BoxTexts(),
              (std::vector<std::string>{Text(MSG_BMP_NOT_FOUND), Text(MSG_DRIVER_NOT_INSTALLED) + " [00000005]"}));
    EXPECT_EQ(Log().empty(), !writable);
    EXPECT_EQ(World().openFiles, 0) << "the log is closed at the end";
}

INSTANTIATE_TEST_SUITE_P(Log, UnwritableLogTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                             return std::string(info.param ? "Writable" : "Unwritable");
                         });

class LogBoundTest : public InstallLogTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(LogBoundTest, LogPastTheBoundStartsAnew)
{
    const std::string before(GetParam(), 'x');
    sim::AddFile(kOldLog, "the one before");
    sim::AddFile(kLog, before);
    World().major = 6;  // not served: a short block
    Run("Vantinst.exe", false);
    const bool rotated = before.size() > kInstallLogLimit;
    EXPECT_EQ(sim::FindFile(kOldLog)->data, rotated ? before : "the one before");
    EXPECT_EQ(Log().rfind("(1460) ====", 0) == 0, rotated) << "a new log begins";
    EXPECT_EQ(Log().find("(1460) ===="), rotated ? 0 : before.size() + 2) << "the block follows what was there";
    EXPECT_NE(Log().find("\r\n(1460) Exit status " + std::to_string(kExitNothingToDo) + "\r\n"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Log, LogBoundTest, ::testing::Values(std::size_t{kInstallLogLimit}, std::size_t{kInstallLogLimit + 1}),
                         [](const ::testing::TestParamInfo<std::size_t>& info) {
                             return std::string(info.param > kInstallLogLimit ? "PastTheBound" : "AtTheBound");
                         });

}  // namespace

namespace {

// How an existing log ends, and what the new block then looks like.
TEST_F(InstallLogTest, BlockBeginsOnALineOfItsOwn)
{
    struct Case {
        const char* before;
        bool readable;  // append-only rights: how the log ends cannot be read
        const char* expectedStart;
    } cases[] = {
        {"note by the administrator", true, "note by the administrator\r\n(1460) ==== "},
        {"(7) Exit status 0\r\n", true, "(7) Exit status 0\r\n(1460) ==== "},
        {"written elsewhere\n", true, "written elsewhere\n(1460) ==== "},
        {"", true, "(1460) ==== "},
        {"note by the administrator", false, "note by the administrator(1460) ==== "},
    };
    for (const Case& c : cases) {
        SetUp();
        sim::AddFile(kLog, c.before);
        if (!c.readable)
            World().readsFail.insert(sim::Key(kLog));
        World().major = 6;
        Run("Vantinst.exe", false);
        EXPECT_EQ(Log().rfind(c.expectedStart, 0), 0u) << Log();
        EXPECT_NE(Log().find("\r\n(1460) Exit status " + std::to_string(kExitNothingToDo) + "\r\n"), std::string::npos)
            << "the log is written either way";
    }
}

TEST_F(InstallLogTest, LogPastFourGibibytesIsRotated)
{
    // The low 32 bits of this size are tiny: only the whole size shows that it is too large.
    sim::AddFile(kLog, "(7) Exit status 0\r\n");
    sim::FindFile(kLog)->unstored = 1ull << 32;
    World().major = 6;
    Run("Vantinst.exe", false);
    ASSERT_NE(sim::FindFile(kOldLog), nullptr);
    EXPECT_EQ(sim::FindFile(kOldLog)->unstored, 1ull << 32);
    EXPECT_EQ(Log().rfind("(1460) ==== ", 0), 0u) << Log();
}

TEST_F(InstallLogTest, NoLineEndsInABlank)
{
    // Windows 98 SE: its service pack field reads " A ", and the message text has a
    // blank before its line break.
    World().platformId = VER_PLATFORM_WIN32_WINDOWS;
    World().major = 4;
    World().minor = 10;
    World().build = 0x040A08AE;
    World().servicePack = " A ";
    const std::string text = Text(MSG_BMP_NOT_FOUND);
    World().stringOverrides[MSG_BMP_NOT_FOUND] = text + " \t\r\n \r\n  zweite Zeile  ";
    Run("Vantinst.exe  ", false);
    EXPECT_EQ(Log(), Lines({
        "==== 2026-12-10 14:03:59  Vantinst " VANTINST_VERSION "  Vantinst.exe",
        "Message " + std::to_string(MSG_BMP_NOT_FOUND) + ": " + text,
        "",
        "      zweite Zeile",
        "Windows 4.10.2222 (not NT)  A",
        "Decision: nothing to do, the driver is not for this Windows",
        "Exit status " + std::to_string(kExitNothingToDo),
    }));
}

// Runs side by side write into one log; every line says which run it is from.
TEST_F(InstallLogTest, LinesOfRunsSideBySideCarryTheirProcessId)
{
    World().commandLine = "Vantinst.exe -quiet";
    InstallLog first(World().commandLine.c_str(), String());
    World().processId = 2016;
    World().commandLine = "Vantinst.exe";
    InstallLog second(World().commandLine.c_str(), String());
    first.Write("Decision: install, quietly");
    second.Write("two\nlines");
    first.Write(("Exit status " + std::to_string(kExitRestartRequired)).c_str());
    EXPECT_EQ(Log(), Lines({"==== 2026-12-10 14:03:59  Vantinst " VANTINST_VERSION "  Vantinst.exe -quiet"}) +
                         Lines({"==== 2026-12-10 14:03:59  Vantinst " VANTINST_VERSION "  Vantinst.exe"}, "(2016)") +
                         Lines({"Decision: install, quietly"}) + Lines({"two", "    lines"}, "(2016)") +
                         Lines({"Exit status " + std::to_string(kExitRestartRequired)}));
}

}  // namespace

namespace {

// After the driver update reports success, the driver files are looked at.
struct DeliveryCase {
    const char* name;
    const char* installed;  // the driver file in drivers\ before the update: "" missing, else its marker
    bool delivers;          // whether the update puts the package's file (marker 1.59) there
    const char* arguments;
    std::deque<int> answers;
    int status;
    std::size_t copies;
    bool asked;
    const char* logged;
};

void PrintTo(const DeliveryCase& c, std::ostream* out) { *out << c.name; }

class DeliveryTest : public InstallLogTest, public ::testing::WithParamInterface<DeliveryCase> {};

TEST_P(DeliveryTest, ReportedSuccessIsBelievedOnlyWithTheDriverFile)
{
    const DeliveryCase& c = GetParam();
    const char driver[] = "C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys";
    World().updateResults = {0};
    World().updateDelivers = c.delivers;
    sim::FindFile("C:\\Setup\\orvelxpparallel.sys")->version = sim::MarkerVersion("1.59");
    World().files.erase(sim::Key(driver));
    if (*c.installed) {
        sim::AddFile(driver, "MZ");
        sim::FindFile(driver)->version = sim::MarkerVersion(c.installed);
    }
    World().answers = c.answers;
    EXPECT_EQ(Run((std::string("Vantinst.exe ") + c.arguments).c_str(), true), c.status);
    EXPECT_EQ(sim::LogOf("CopyFile").size(), c.copies);
    EXPECT_EQ(Log().find("Message " + std::to_string(MSG_ASK_COPY_FILES) + ": ") != std::string::npos, c.asked) << Log();
    EXPECT_NE(Log().find(std::string("\r\n(1460) ") + c.logged + "\r\n"), std::string::npos) << Log();
}

const char kMissingLine[] =
    "Decision: the driver update reported success but left a driver file missing, as if it found no better driver";

INSTANTIATE_TEST_SUITE_P(
    Log, DeliveryTest,
    ::testing::Values(
        DeliveryCase{"MissingFileIsOfferedForCopying", "", false, "", {IDYES}, kExitRestartInitiated, 2, true, kMissingLine},
        DeliveryCase{"MissingFileNotCopiedFails", "", false, "", {IDNO}, kExitInstallFailed, 0, true, kMissingLine},
        DeliveryCase{"MissingFileCopiedQuietly", "", false, "-quiet -norestart", {}, kExitRestartRequired, 2, true,
                     kMissingLine},
        DeliveryCase{"OldFileKeepsTheSuccess", "1.58", false, "", {}, kExitRestartInitiated, 0, false,
                     "Driver file C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys after the update: OrvelVersion "
                     "\"1.58\" (Windows may replace it at the restart)"},
        DeliveryCase{"OldFileKeepsTheSuccessQuietly", "1.58", false, "-quiet -norestart", {}, kExitRestartRequired, 0, false,
                     "Driver file C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys after the update: OrvelVersion "
                     "\"1.58\" (Windows may replace it at the restart)"},
        DeliveryCase{"CurrentFile", "1.58", true, "", {}, kExitRestartInitiated, 0, false,
                     "Driver file C:\\WINDOWS\\System32\\drivers\\orvelxpparallel.sys after the update: OrvelVersion "
                     "\"1.59\""}),
    [](const ::testing::TestParamInfo<DeliveryCase>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

TEST(LogSwitchTest, ValueUpToABlankOrTheClosingQuote)
{
    const struct {
        const char* line;
        const char* value;
    } cases[] = {
        {"Vantinst.exe /quiet /log:\\\\server\\logs\\PC1.log /norestart", "\\\\server\\logs\\PC1.log"},
        {"Vantinst.exe -log:C:\\logs\\pc.log", "C:\\logs\\pc.log"},
        {"Vantinst.exe /log:\"C:\\my logs\\pc.log\" /quiet", "C:\\my logs\\pc.log"},
        {"Vantinst.exe \"/log:C:\\my logs\\pc.log\" /quiet", "C:\\my logs\\pc.log"},
        {"Vantinst.exe /log:\"C:\\unclosed quote", "C:\\unclosed quote"},
        {"Vantinst.exe -log:pc.log /log:other.log", "pc.log"},
        {"Vantinst.exe /log:", ""},
        {"Vantinst.exe /log C:\\x.log", ""},
        {"Vantinst.exe /LOG:C:\\x.log", ""},
        {"\"C:\\-log:x\\Vantinst.exe\" /quiet", ""},
    };
    for (const auto& c : cases) {
        EXPECT_STREQ(SwitchValue(c.line, "log").c_str(), c.value) << c.line;
        EXPECT_STREQ(ReadProgramOptions(c.line).logPath.c_str(), c.value) << c.line;
    }
}

class LogPathTest : public InstallLogTest {};

// Where the block goes, with the file named by /log: and the Windows directory's log.
TEST_F(LogPathTest, BlockGoesWhereTheSwitchSays)
{
    const struct {
        const char* name;
        const char* arguments;
        const char* written;  // the file that holds the block
        bool refused;         // the chosen file cannot be written: a line in the usual log says so
    } cases[] = {
        {"plain", "/log:D:\\logs\\PC1.log", "D:\\logs\\PC1.log", false},
        {"share", "/log:\\\\server\\logs\\PC1.log", "\\\\server\\logs\\PC1.log", false},
        {"quoted", "/log:\"D:\\my logs\\PC1.log\"", "D:\\my logs\\PC1.log", false},
        // Windows takes a relative name from the current directory, as for any file.
        {"relative", "-log:PC1.log", "PC1.log", false},
        {"unwritable", "/log:D:\\readonly\\PC1.log", kLog, true},
        {"folder missing", "/log:E:\\nowhere\\PC1.log", kLog, true},
    };
    for (const auto& c : cases) {
        SetUp();
        World().directories.insert(sim::Key("D:\\logs"));
        World().directories.insert(sim::Key("D:\\my logs"));
        World().directories.insert(sim::Key("D:\\readonly"));
        World().directories.insert(sim::Key("\\\\server\\logs"));
        World().writesFail.insert(sim::Key("D:\\readonly\\PC1.log"));
        World().updateResults = {0};
        std::string line = std::string("Vantinst.exe /quiet /norestart ") + c.arguments;
        EXPECT_EQ(Run(line.c_str(), false), kExitRestartRequired) << c.name;
        sim::File* written = sim::FindFile(c.written);
        ASSERT_NE(written, nullptr) << c.name;
        EXPECT_EQ(written->data.rfind("(1460) ==== 2026-12-10 14:03:59  Vantinst " VANTINST_VERSION "  " + line + "\r\n", 0), 0u)
            << c.name << "\n" << written->data;
        EXPECT_NE(written->data.find("\r\n(1460) Exit status " + std::to_string(kExitRestartRequired) + "\r\n"), std::string::npos) << c.name;
        EXPECT_EQ(written->data.find("\r\n(1460) Log: ") != std::string::npos, c.refused) << c.name;
        if (c.refused)
            EXPECT_NE(written->data.find(" cannot be written ["), std::string::npos) << c.name;
        else
            EXPECT_EQ(sim::FindFile(kLog), nullptr) << c.name << ": nothing in the Windows directory";
        EXPECT_EQ(World().openFiles, 0) << c.name;
    }
}

TEST_F(LogPathTest, ChosenLogIsBoundedBesideItself)
{
    World().directories.insert(sim::Key("D:\\logs"));
    World().directories.insert(sim::Key("D:\\logs.v2"));
    const std::string before(kInstallLogLimit + 1, 'x');
    sim::AddFile("D:\\logs\\PC1.log", before);
    sim::AddFile("D:\\logs\\noext", before);
    sim::AddFile("D:\\logs.v2\\noext", before);
    World().major = 6;
    Run("Vantinst.exe /log:D:\\logs\\PC1.log", false);
    Run("Vantinst.exe /log:D:\\logs\\noext", false);
    Run("Vantinst.exe /log:D:\\logs.v2\\noext", false);
    EXPECT_EQ(sim::FindFile("D:\\logs\\PC1.old.log")->data, before);
    EXPECT_EQ(sim::FindFile("D:\\logs\\noext.old")->data, before);
    // A dot in a folder's name is no extension of the file's.
    ASSERT_NE(sim::FindFile("D:\\logs.v2\\noext.old"), nullptr);
    EXPECT_EQ(sim::FindFile("D:\\logs.v2\\noext.old")->data, before);
    EXPECT_EQ(sim::FindFile("D:\\logs\\PC1.log")->data.rfind("(1460) ====", 0), 0u);
    EXPECT_EQ(sim::FindFile(kOldLog), nullptr);
}

TEST_F(LogPathTest, NeitherLogWritableChangesNothingAboutTheRun)
{
    World().writesFail = {sim::Key(kLog), sim::Key("D:\\logs\\PC1.log")};
    World().directories.insert(sim::Key("D:\\logs"));
    World().updateResults = {0};
    EXPECT_EQ(Run("Vantinst.exe /quiet /log:D:\\logs\\PC1.log", false), kExitRestartInitiated);
    EXPECT_EQ(sim::LogOf("UpdateDriver").size(), 1u);
    EXPECT_EQ(World().openFiles, 0);
}

}  // namespace
