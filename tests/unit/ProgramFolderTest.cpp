// Files beside the program are read, handed on and copied only from the program's own
// folder, and only by their whole path.
#include "app/DialogProgress.h"
#include "app/ExitStatus.h"
#include "install/DriverFilePlacement.h"
#include "install/DriverInstaller.h"
#include "install/ProgramPaths.h"
#include "platform/Application.h"
#include "res/resource.h"
#include "services/Messages.h"
#include "tests/unit/SimTest.h"

#include <string>
#include <vector>

namespace {

const std::string kSystem = "C:\\WINDOWS\\System32\\";

struct FolderCase {
    const char* name;
    std::string ansiPath;
    std::u16string widePath;  // empty: the ANSI path read in code page 1252
    bool exact;
};

class ProgramPathIsExactTest : public SimTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(ProgramPathIsExactTest, OnlyWhenTheAnsiPathNamesTheProgramItself)
{
    World().modulePath = GetParam().ansiPath;
    World().moduleWidePath = GetParam().widePath;
    EXPECT_EQ(ProgramPathIsExact(), GetParam().exact);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, ProgramPathIsExactTest,
    ::testing::Values(FolderCase{"Plain", "C:\\Setup\\Vantinst.exe", u"", true},
                      FolderCase{"Umlauts", "C:\\Treiber f\374r Ger\344te\\Vantinst.exe", u"", true},
                      FolderCase{"EuroSignOfTheCodePage", "C:\\\200\\Vantinst.exe", u"C:\\\u20AC\\Vantinst.exe", true},
                      FolderCase{"BestFitLookAlike", "C:\\Sterownik urzadzen\\Vantinst.exe",
                                 u"C:\\Sterownik urz\u0105dze\u0144\\Vantinst.exe", false},
                      FolderCase{"CutAtTheLimit", "C:\\" + std::string(300, 'p') + "\\Vantinst.exe", u"", false}),
    [](const ::testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.name); });

class ForeignFolderTest : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        // The program runs from a folder with Polish letters; Windows spells it in ANSI as
        // a look-alike folder that exists and holds a package of its own.
        World().modulePath = "C:\\Sterownik urzadzen\\Vantinst.exe";
        World().moduleWidePath = u"C:\\Sterownik urz\u0105dze\u0144\\Vantinst.exe";
        for (const char* name : {"OEM.BMP", "orvelxpparallel.inf", "orvelxpparallel.sys"})
            sim::AddFile(std::string("C:\\Sterownik urzadzen\\") + name, "planted");
        World().updateResults = {0};
    }
};

TEST_F(ForeignFolderTest, RefusesBeforeTouchingAnythingWhenTheDriverIsToBeInstalled)
{
    EXPECT_FALSE(app.StartUp());
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{LoadMessage(MSG_FOLDER_UNUSABLE).c_str()});
    EXPECT_EQ(World().boxes[0].owner, nullptr);
    EXPECT_EQ(World().boxes[0].caption, "Vantinst");
    EXPECT_EQ(app.ExitCode(), kExitInstallFailed);
    EXPECT_TRUE(PictureOpenings().empty()) << "OEM.BMP of the look-alike folder not read";
    EXPECT_TRUE(sim::LogOf("DoModal").empty());
    EXPECT_TRUE(sim::LogOf("LoadLibrary").empty());
    EXPECT_TRUE(sim::LogOf("CopyFile").empty());
}

TEST_F(ForeignFolderTest, EndsSilentlyWhenTheDriverIsCurrent)
{
    sim::AddFile(kSystem + "drivers\\orvelxpparallel.sys", "MZ");
    sim::FindFile(kSystem + "drivers\\orvelxpparallel.sys")->version = sim::MarkerVersion("1.59");
    EXPECT_FALSE(app.StartUp());
    EXPECT_TRUE(World().boxes.empty());
    EXPECT_EQ(app.ExitCode(), kExitNothingToDo);
    EXPECT_TRUE(PictureOpenings().empty());
}

std::string TooLongText(const std::string& path)
{
    return WithInserts(Text(MSG_PATH_TOO_LONG), {path});
}

class LongFolderTest : public SimTest {
protected:
    // A program folder whose own path fits, but not the path of `name` in it.
    std::string UseFolderTooLongFor(const std::string& name, const std::string& exe = "Vantinst.exe")
    {
        std::string folder = "C:\\" + std::string(MAX_PATH - 4 - name.size(), 'p') + "\\";
        World().modulePath = folder + exe;
        EXPECT_LT(World().modulePath.size(), MAX_PATH) << "the program's own path fits";
        return folder + name;
    }
};

TEST_F(LongFolderTest, DriverUpdateIsNotHandedACutInfName)
{
    std::string inf = UseFolderTooLongFor("orvelxpparallel.inf");
    EXPECT_EQ(inf.size(), MAX_PATH);
    World().directories = {sim::Key(kSystem + "drivers")};
    HWND dialog = sim::CreateDialogWindow(IDD_INSTALLER, nullptr);
    World().updateResults = {0};
    DialogProgress shown(dialog, sim::Handle(sim::Child(dialog, IDC_PROGRESS)));
    EXPECT_EQ(InstallDriver(shown, kSystem.c_str(), ProgramOptions()), 0);
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{TooLongText(inf)});
    EXPECT_TRUE(sim::LogOf("UpdateDriver").empty());
    EXPECT_EQ(World().loadedLibraries, 0);
    EXPECT_TRUE(World().timers.empty());
}

TEST_F(LongFolderTest, CopiesNameTheWholeSourceAndNothingSucceeds)
{
    std::string source = UseFolderTooLongFor("orvelxpparallel.sys");
    sim::AddFile(source.substr(0, MAX_PATH - 1), "a file of the cut name");
    World().directories = {sim::Key(kSystem + "drivers"), sim::Key(kSystem + "dllcache")};
    EXPECT_EQ(PlaceDriverFiles(kSystem.c_str(), "orvelxpparallel"), 0);
    ASSERT_EQ(World().boxes.size(), 4u);
    EXPECT_EQ(World().boxes[0].text,
              WithInserts(Text(MSG_COPY_FAILED), {source, kSystem + "dllcache\\orvelxpparallel.sys"}));
    EXPECT_EQ(World().boxes[2].text,
              WithInserts(Text(MSG_COPY_FAILED), {source, kSystem + "drivers\\orvelxpparallel.sys"}));
    EXPECT_EQ(sim::FindFile(kSystem + "drivers\\orvelxpparallel.sys"), nullptr);
}

TEST_F(LongFolderTest, PictureIsNotLookedForUnderACutName)
{
    std::string picture = UseFolderTooLongFor("OEM.BMP", "V.exe");
    sim::AddFile(kSystem + "drivers\\orvelxpparallel.sys", "MZ");
    sim::FindFile(kSystem + "drivers\\orvelxpparallel.sys")->version = sim::MarkerVersion("1.59");
    app.StartUp();
    EXPECT_EQ(BoxTexts(), std::vector<std::string>{TooLongText(picture)});
    EXPECT_EQ(World().boxes[0].caption, "V");
    EXPECT_TRUE(PictureOpenings().empty());
    EXPECT_EQ(app.ExitCode(), kExitNothingToDo);
}

}  // namespace
