// The Install command of the main dialog: the feedback around one installation, the
// restart and the exit status it leads to.
#include "app/ExitStatus.h"
#include "res/resource.h"
#include "services/Messages.h"
#include "tests/unit/InstallFixture.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {

using namespace install_test;

TEST_F(InstallCommandTest, SuccessShowsTheMessageWhileStillWaitingThenRestarts)
{
    World().updateResults = {0};
    EXPECT_EQ(RunAndInstall(), kExitRestartInitiated);
    ASSERT_EQ(World().boxes.size(), 1u);
    const sim::Box& box = World().boxes[0];
    EXPECT_EQ(box.text, std::string(LoadMessage(MSG_INSTALLED_RESTART).c_str()));
    EXPECT_EQ(box.dialogText, std::string(LoadMessage(MSG_PLEASE_WAIT).c_str()));
    EXPECT_TRUE(box.waitCursor);
    EXPECT_EQ(box.owner, sim::Handle(mainWindow_));
    EXPECT_EQ(sim::LogOf("ExitWindowsEx").size(), 1u);
    EXPECT_EQ(sim::Child(sim::Handle(mainWindow_), IDC_EXPLANATION)->text, Text(MSG_EXPLANATION)) << "explanation back";
    EXPECT_FALSE(sim::Child(sim::Handle(mainWindow_), IDC_INSTALL)->enabled);
    EXPECT_EQ(World().cursor, "arrow");
    EXPECT_EQ(sim::LogOf("SetCursor"), (std::vector<std::string>{"SetCursor wait", "SetCursor arrow"}));
}

// Refused after the success message: the refusal comes while the dialog still waits,
// and only then does the dialog return to its explanation and the normal cursor, with
// Install off for good.
TEST_F(InstallCommandTest, RefusedRestartIsReportedBeforeTheDialogReturns)
{
    World().updateResults = {0};
    World().exitWindowsWorks = FALSE;
    std::vector<std::string> states;
    auto state = [&](const std::string& moment) {
        HWND main = mainWindow_ ? sim::Handle(mainWindow_) : app.MainWindow();
        states.push_back(moment + " | " + sim::Child(main, IDC_EXPLANATION)->text + " | Install " +
                         (sim::Child(main, IDC_INSTALL)->enabled ? "on" : "off") + " | " + World().cursor);
    };
    World().onBox = [&](const std::string& text) { state(text); };

    EXPECT_EQ(RunAndInstall(), kExitRestartRequired);
    state("closed");

    const std::string waiting = LoadMessage(MSG_PLEASE_WAIT).c_str();
    const std::string explanation = LoadMessage(MSG_EXPLANATION).c_str();
    EXPECT_EQ(states, (std::vector<std::string>{
                          std::string(LoadMessage(MSG_INSTALLED_RESTART).c_str()) + " | " + waiting + " | Install off | wait",
                          std::string(LoadMessage(MSG_RESTART_FAILED).c_str()) + " | " + waiting + " | Install off | wait",
                          "closed | " + explanation + " | Install off | arrow",
                      }));
    auto at = [](const std::string& prefix) {
        return std::find_if(World().log.begin(), World().log.end(),
                            [&](const std::string& e) { return e.rfind(prefix, 0) == 0; }) -
               World().log.begin();
    };
    EXPECT_LT(at("MessageBox " + std::string(LoadMessage(MSG_INSTALLED_RESTART).c_str())), at("ExitWindowsEx"));
    EXPECT_LT(at("ExitWindowsEx"), at("MessageBox " + std::string(LoadMessage(MSG_RESTART_FAILED).c_str())));
    EXPECT_EQ(sim::LogOf("SetCursor"), (std::vector<std::string>{"SetCursor wait", "SetCursor arrow"}));
}

struct OutcomeCase {
    const char* name;
    std::vector<DWORD> updates;
    std::vector<int> answers;
    const char* commandLine;
    BOOL exitWorks;
    int outcome;
};

void PrintTo(const OutcomeCase& c, std::ostream* out) { *out << c.name; }

class OutcomeTest : public InstallCommandTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(OutcomeTest, GivesTheExitStatus)
{
    const OutcomeCase& c = GetParam();
    World().updateResults.assign(c.updates.begin(), c.updates.end());
    World().answers.assign(c.answers.begin(), c.answers.end());
    World().commandLine = c.commandLine;
    World().exitWindowsWorks = c.exitWorks;
    EXPECT_EQ(RunAndInstall(), c.outcome) << c.commandLine;
}

INSTANTIATE_TEST_SUITE_P(
    Installations, OutcomeTest,
    ::testing::Values(OutcomeCase{"InstalledWithNoRestart", {0}, {}, "Vantinst.exe -norestart", TRUE, kExitRestartRequired},
                      OutcomeCase{"InstalledRestartRefused", {0}, {}, "Vantinst.exe", FALSE, kExitRestartRequired},
                      OutcomeCase{"InstalledAndRestarting", {0}, {}, "Vantinst.exe", TRUE, kExitRestartInitiated},
                      OutcomeCase{"UpdateDenied", {5}, {}, "Vantinst.exe", TRUE, kExitInstallFailed},
                      OutcomeCase{"CopyDeclined", {259}, {IDNO}, "Vantinst.exe", TRUE, kExitInstallFailed},
                      OutcomeCase{"CopiedWithNoRestart", {259}, {IDYES}, "Vantinst.exe -norestart", TRUE,
                                  kExitRestartRequired}),
    [](const ::testing::TestParamInfo<OutcomeCase>& info) { return std::string(info.param.name); });

TEST_F(InstallCommandTest, WithoutInstallingTheOutcomeIsClosedByTheUser)
{
    DibImage noPicture;
    InstallerDialog untouched(app, options_, nullptr, noPicture);
    EXPECT_EQ(untouched.Outcome(), kExitUserClosed);
}

TEST_F(InstallCommandTest, FailureShowsNothingMoreAndLeavesOnlyExit)
{
    World().updateResults = {259};
    World().answers = {IDNO};
    EXPECT_EQ(RunAndInstall(), kExitInstallFailed);
    EXPECT_EQ(World().boxes.size(), 1u) << "only the question";
    EXPECT_TRUE(sim::LogOf("ExitWindowsEx").empty());
    EXPECT_FALSE(sim::Child(sim::Handle(mainWindow_), IDC_INSTALL)->enabled);
    EXPECT_TRUE(sim::Child(sim::Handle(mainWindow_), IDCANCEL)->enabled);
}

}  // namespace
