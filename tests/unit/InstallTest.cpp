// The installation procedure: the driver update, the file placement it may fall back
// on, and what the dialog shows meanwhile.
#include "install/DriverFilePlacement.h"
#include "install/ProgramPaths.h"
#include "res/resource.h"
#include "services/Messages.h"
#include "tests/unit/InstallFixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace install_test;

struct Road {
    const char* name;
    std::vector<DWORD> updates;  // 0 = success, else the failure code
    std::vector<int> answers;
    std::vector<std::string> hardwareIds;
    std::vector<std::string> boxes;  // "?" = the question, else the last-error code of a failure box
    int copies;
    int result;
};

void PrintTo(const Road& road, std::ostream* out) { *out << road.name; }

class DriverUpdateTest : public InstallTest, public ::testing::WithParamInterface<Road> {};

TEST_P(DriverUpdateTest, RoadsThroughTheDriverUpdate)
{
    const Road& road = GetParam();
    World().updateResults.assign(road.updates.begin(), road.updates.end());
    World().answers.assign(road.answers.begin(), road.answers.end());

    EXPECT_EQ(Install(), road.result);

    std::vector<std::string> expectedUpdates;
    for (const std::string& id : road.hardwareIds)
        expectedUpdates.push_back("UpdateDriver " + id + " C:\\Setup\\orvelxpparallel.inf 1");
    EXPECT_EQ(sim::LogOf("UpdateDriver"), expectedUpdates);

    std::vector<std::string> expectedBoxes;
    for (const std::string& box : road.boxes)
        expectedBoxes.push_back(box == "?" ? Text(MSG_ASK_COPY_FILES)
                                           : Text(MSG_DRIVER_NOT_INSTALLED) + " [" + box + "]");
    EXPECT_EQ(BoxTexts(), expectedBoxes);
    EXPECT_EQ(static_cast<int>(sim::LogOf("CopyFile").size()), road.copies);
    EXPECT_EQ(sim::LogOf("StepIt").size(), 3u);
    EXPECT_EQ(sim::LogOf("LoadLibrary"), std::vector<std::string>{"LoadLibrary C:\\WINDOWS\\system32\\newdev.dll 8"});
    ExpectAfterState();
}

INSTANTIATE_TEST_SUITE_P(
    Roads, DriverUpdateTest,
    ::testing::Values(
        Road{"first try", {0}, {}, {"*PNP0400"}, {}, 0, 1},
        Road{"ECP port", {ERROR_NO_SUCH_DEVINST, 0}, {}, {"*PNP0400", "*PNP0401"}, {}, 0, 1},
        Road{"ECP, copy yes", {ERROR_NO_SUCH_DEVINST, 259}, {IDYES}, {"*PNP0400", "*PNP0401"}, {"?"}, 2, 1},
        Road{"ECP, copy no", {ERROR_NO_SUCH_DEVINST, 259}, {IDNO}, {"*PNP0400", "*PNP0401"}, {"?"}, 0, 0},
        Road{"copy yes", {259}, {IDYES}, {"*PNP0400"}, {"?"}, 2, 1},
        Road{"copy no", {259}, {IDNO}, {"*PNP0400"}, {"?"}, 0, 0},
        Road{"denied", {5}, {}, {"*PNP0400"}, {"00000005"}, 0, 0},
        Road{"ECP denied", {ERROR_NO_SUCH_DEVINST, 5}, {}, {"*PNP0400", "*PNP0401"}, {"00000005"}, 0, 0},
        Road{"no port", {ERROR_NO_SUCH_DEVINST, ERROR_NO_SUCH_DEVINST}, {}, {"*PNP0400", "*PNP0401"}, {"e000020b"}, 0, 0}),
    [](const ::testing::TestParamInfo<Road>& info) { return CaseName(info.param.name); });

TEST_F(InstallTest, QuestionIsAYesNoBoxInTheCatalogue)
{
    String question = LoadMessage(MSG_ASK_COPY_FILES);
    EXPECT_FALSE(question.empty());
    EXPECT_FALSE(LoadMessage(MSG_ASK_COPY_FILES + MSG_ENGLISH_OFFSET).empty());
    World().updateResults = {259};
    Install();
    ASSERT_EQ(World().boxes.size(), 1u);
    EXPECT_EQ(World().boxes[0].style, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));

}

struct NewdevCase {
    const char* name;
    bool loads, hasEntry;
    const char* code;  // the last-error value the message shows
    std::size_t frees, steps;
};

void PrintTo(const NewdevCase& c, std::ostream* out) { *out << c.name; }

class NewdevTest : public InstallTest, public ::testing::WithParamInterface<NewdevCase> {};

TEST_P(NewdevTest, ThatCannotBeLoadedOrLacksTheEntry)
{
    const NewdevCase& c = GetParam();
    World().newdevLoads = c.loads;
    World().newdevHasEntry = c.hasEntry;
    EXPECT_EQ(Install(), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{Text(MSG_NEWDEV_NOT_LOADED) + " [" + c.code + "]"});
    EXPECT_EQ(sim::LogOf("FreeLibrary").size(), c.frees);
    EXPECT_EQ(sim::LogOf("StepIt").size(), c.steps);
    EXPECT_TRUE(sim::LogOf("UpdateDriver").empty());
    ExpectAfterState();
}

INSTANTIATE_TEST_SUITE_P(Library, NewdevTest,
                         ::testing::Values(NewdevCase{"NotLoaded", false, true, "0000007e", 0, 1},
                                           NewdevCase{"EntryMissing", true, false, "0000007f", 1, 3}),
                         [](const ::testing::TestParamInfo<NewdevCase>& info) { return std::string(info.param.name); });

TEST_F(InstallTest, WhileInstallingTheButtonsAreOffAndTheBarRuns)
{
    World().updateResults = {5};
    World().timerTicksPerBox = 4;
    Install();
    EXPECT_EQ(sim::LogOf("SetTimer"), std::vector<std::string>{"SetTimer 1 750"});
    EXPECT_EQ(sim::LogOf("EnableWindow")[0], "EnableWindow " + std::to_string(IDC_INSTALL) + " 0");
    EXPECT_EQ(sim::LogOf("EnableWindow")[1], "EnableWindow 2 0");
    EXPECT_EQ(sim::Child(dialog_, IDC_PROGRESS)->rangeHigh, 75);
    EXPECT_EQ(sim::Child(dialog_, IDC_PROGRESS)->step, 1);
    EXPECT_EQ(sim::LogOf("Timer"), std::vector<std::string>(4, "Timer 1")) << "ticks while the failure box is up";
    EXPECT_EQ(sim::LogOf("StepIt").size(), 7u);
    EXPECT_EQ(sim::Child(dialog_, IDC_PROGRESS)->position, 7) << "three steps of the procedure, one for each tick";
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
    // "dir:x" removes the directory x under system32, "ro:path" puts an older read-only
    // file at that destination, any other path removes that source
    std::vector<std::string> changes;
    std::vector<std::string> expectedBoxes;
    int result;
};

void PrintTo(const Placement& c, std::ostream* out) { *out << c.name; }

class PlacementTest : public InstallTest, public ::testing::WithParamInterface<Placement> {};

TEST_P(PlacementTest, SucceedsOnlyWhenEveryDriverFileReachedDrivers)
{
    const Placement& c = GetParam();
    World().minor = c.minor;
    std::vector<std::string> readOnly;
    for (const std::string& m : c.changes) {
        if (m.rfind("dir:", 0) == 0) {
            World().directories.erase(sim::Key(kSystem + m.substr(4)));
        } else if (m.rfind("ro:", 0) == 0) {
            readOnly.push_back(m.substr(3));
            sim::AddFile(readOnly.back(), "old", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE);
        } else {
            World().files.erase(sim::Key(m));
        }
    }
    const char* base = c.minor == 1 ? "orvelxpparallel" : "orvel2kparallel";
    EXPECT_EQ(PlaceDriverFiles(kSystem.c_str(), base), c.result);

    std::vector<std::string> expected;
    for (const std::string& box : c.expectedBoxes) {
        if (box.rfind("copy ", 0) == 0) {
            std::size_t split = box.find(' ', 5);
            expected.push_back(WithInserts(Text(MSG_COPY_FAILED), {box.substr(5, split - 5), box.substr(split + 1)}));
        } else {
            expected.push_back(WithInserts(Text(MSG_ATTRIBUTES_NOT_READ), {box.substr(5)}));
        }
    }
    EXPECT_EQ(BoxTexts(), expected);
    EXPECT_EQ(sim::LogOf("CopyFile").size(), c.minor == 1 ? 2u : 3u) << "one copy per file, none tried again";
    for (const std::string& copy : sim::LogOf("CopyFile"))
        EXPECT_EQ(copy.find(" keep"), std::string::npos) << "existing files are replaced";
    // CopyFile refuses to replace a read-only file; the mark is still cleared afterwards.
    for (const std::string& path : readOnly) {
        EXPECT_EQ(sim::FindFile(path)->data, "old") << path;
        EXPECT_EQ(sim::FindFile(path)->attributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE)) << path;
    }
}

const std::string kXpDll = kSystem + "dllcache\\orvelxpparallel.sys";
const std::string kXpDrv = kSystem + "drivers\\orvelxpparallel.sys";

INSTANTIATE_TEST_SUITE_P(
    Copies, PlacementTest,
    ::testing::Values(
        Placement{"xp", 1, {}, {}, 1},
        Placement{"xp without dllcache", 1, {"dir:dllcache"},
                  {"copy C:\\Setup\\orvelxpparallel.sys " + kXpDll, "read " + kXpDll}, 1},
        Placement{"xp source missing", 1, {"C:\\Setup\\orvelxpparallel.sys"},
                  {"copy C:\\Setup\\orvelxpparallel.sys " + kXpDll, "read " + kXpDll,
                   "copy C:\\Setup\\orvelxpparallel.sys " + kXpDrv, "read " + kXpDrv},
                  0},
        Placement{"2000", 0, {}, {}, 1},
        Placement{"2000 parport missing", 0, {"C:\\Setup\\orvel2kparport.sys"},
                  {"copy C:\\Setup\\orvel2kparport.sys " + kSystem + "drivers\\orvel2kparport.sys",
                   "read " + kSystem + "drivers\\orvel2kparport.sys"},
                  0},
        Placement{"2000 parallel missing", 0, {"C:\\Setup\\orvel2kparallel.sys"},
                  {"copy C:\\Setup\\orvel2kparallel.sys " + kSystem + "dllcache\\orvel2kparallel.sys",
                   "read " + kSystem + "dllcache\\orvel2kparallel.sys",
                   "copy C:\\Setup\\orvel2kparallel.sys " + kSystem + "drivers\\orvel2kparallel.sys",
                   "read " + kSystem + "drivers\\orvel2kparallel.sys"},
                  0},
        Placement{"2000 without dllcache", 0, {"dir:dllcache"},
                  {"copy C:\\Setup\\orvel2kparallel.sys " + kSystem + "dllcache\\orvel2kparallel.sys",
                   "read " + kSystem + "dllcache\\orvel2kparallel.sys"},
                  1},
        Placement{"xp over a read-only driver", 1, {"ro:" + kXpDrv},
                  {"copy C:\\Setup\\orvelxpparallel.sys " + kXpDrv}, 0},
        Placement{"2000 over a read-only dllcache copy", 0, {"ro:" + kSystem + "dllcache\\orvel2kparallel.sys"},
                  {"copy C:\\Setup\\orvel2kparallel.sys " + kSystem + "dllcache\\orvel2kparallel.sys"}, 1}),
    [](const ::testing::TestParamInfo<Placement>& info) { return CaseName(info.param.name); });

struct MarkCase {
    const char* name;
    DWORD source;             // the attributes of the shipped file, which the copies take on
    const char* unsettable;   // a destination whose attributes cannot be written, or null
    DWORD drivers, dllcache;  // the copies' attributes afterwards
    std::size_t writes;       // attribute writes; none when there is no mark to clear
};

void PrintTo(const MarkCase& c, std::ostream* out) { *out << c.name; }

class PlacedMarkTest : public InstallTest, public ::testing::WithParamInterface<MarkCase> {};

TEST_P(PlacedMarkTest, PlacedFilesLoseOnlyTheirReadOnlyMark)
{
    const MarkCase& c = GetParam();
    World().files[sim::Key("C:\\Setup\\orvelxpparallel.sys")].attributes = c.source;
    if (c.unsettable)
        World().attributeWritesFail.insert(sim::Key(kSystem + c.unsettable));
    EXPECT_EQ(PlaceDriverFiles(kSystem.c_str(), "orvelxpparallel"), 1);
    std::vector<std::string> expected;
    if (c.unsettable)
        expected.push_back(WithInserts(Text(MSG_ATTRIBUTES_NOT_SET), {kSystem + c.unsettable}));
    EXPECT_EQ(BoxTexts(), expected);
    EXPECT_EQ(sim::FindFile(kSystem + "drivers\\orvelxpparallel.sys")->attributes, c.drivers);
    EXPECT_EQ(sim::FindFile(kSystem + "dllcache\\orvelxpparallel.sys")->attributes, c.dllcache);
    EXPECT_EQ(sim::LogOf("SetFileAttributes").size(), c.writes);
}

INSTANTIATE_TEST_SUITE_P(
    Attributes, PlacedMarkTest,
    ::testing::Values(MarkCase{"ReadOnlyHiddenArchive", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
                               nullptr, FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE,
                               FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE, 2},
                      MarkCase{"MarkThatCannotBeCleared", FILE_ATTRIBUTE_READONLY, "drivers\\orvelxpparallel.sys",
                               FILE_ATTRIBUTE_READONLY, 0, 2},
                      MarkCase{"NoMarkNothingWritten", FILE_ATTRIBUTE_ARCHIVE, nullptr, FILE_ATTRIBUTE_ARCHIVE,
                               FILE_ATTRIBUTE_ARCHIVE, 0}),
    [](const ::testing::TestParamInfo<MarkCase>& info) { return std::string(info.param.name); });


TEST_F(InstallTest, PathsNearTheLimitStayWholeInMessages)
{
    World().windowsDirectory = "C:\\" + std::string(240, 'w');
    World().modulePath = "D:\\" + std::string(236, 'p') + "\\Vantinst.exe";
    std::string system = SystemDirectoryPath().c_str();
    EXPECT_EQ(system, World().windowsDirectory + "\\System32\\");

    EXPECT_EQ(PlaceDriverFiles(system.c_str(), "orvelxpparallel"), 0);
    std::string source = "D:\\" + std::string(236, 'p') + "\\orvelxpparallel.sys";
    ASSERT_EQ(World().boxes.size(), 4u);
    EXPECT_EQ(World().boxes[0].text,
              WithInserts(Text(MSG_COPY_FAILED),
                          {source.substr(0, MAX_PATH - 1), system + "dllcache\\orvelxpparallel.sys"}));
    EXPECT_EQ(World().boxes[3].text,
              WithInserts(Text(MSG_ATTRIBUTES_NOT_READ), {system + "drivers\\orvelxpparallel.sys"}));
}

}  // namespace
