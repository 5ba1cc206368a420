// While an installation runs, the main dialog can be neither closed nor started again.
#include "app/ExitStatus.h"
#include "app/InstallerDialog.h"
#include "res/resource.h"
#include "services/Messages.h"
#include "tests/unit/SimTest.h"

#include <string>
#include <vector>

namespace {

class BusyDialogTest : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        World().directories = {sim::Key("C:\\WINDOWS\\System32\\drivers"), sim::Key("C:\\WINDOWS\\System32\\dllcache")};
        sim::AddFile("C:\\Setup\\orvelxpparallel.sys", "xp");
    }
};

TEST_F(BusyDialogTest, CancelAndInstallWhileABoxIsUpDoNothing)
{
    World().updateResults = {259};
    World().answers = {IDYES};
    HWND main = nullptr;
    Dialog* mainDialog = nullptr;
    std::vector<bool> endedWhileBusy;
    World().onBox = [&](const std::string& text) {
        if (text != LoadMessage(MSG_ASK_COPY_FILES).c_str())
            return;  // the success message comes when Exit is enabled again
        // What Escape, the close box and a posted command deliver while the question is up.
        mainDialog->Dispatch(main, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        mainDialog->Dispatch(main, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), 0);
        endedWhileBusy.push_back(sim::FromHandle(main)->ended);
    };
    World().onModal = [&](Dialog& dialog, HWND window) {
        main = window;
        mainDialog = &dialog;
        dialog.Dispatch(window, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), 0);
        World().onBox = nullptr;
        EXPECT_FALSE(sim::FromHandle(window)->ended);
        // Afterwards Exit works again; Install stays off.
        dialog.Dispatch(window, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), 0);
        dialog.Dispatch(window, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        EXPECT_TRUE(sim::FromHandle(window)->ended);
        EXPECT_EQ(sim::FromHandle(window)->endResult, IDCANCEL);
    };
    DibImage noPicture;
    ProgramOptions interactive;
    InstallerDialog dialog(app, interactive, nullptr, noPicture);
    dialog.DoModal();

    EXPECT_EQ(endedWhileBusy, std::vector<bool>{false});
    EXPECT_EQ(sim::LogOf("UpdateDriver").size(), 1u) << "one installation only";
    EXPECT_EQ(sim::LogOf("CopyFile").size(), 2u);
    EXPECT_EQ(sim::LogOf("ExitWindowsEx").size(), 1u);
    EXPECT_EQ(dialog.Outcome(), kExitRestartInitiated);
}

}  // namespace
