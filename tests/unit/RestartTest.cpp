// The restart of Windows after an installation, and the -norestart switch that skips it.
#include "res/resource.h"
#include "services/Messages.h"
#include "services/SystemRestart.h"
#include "tests/unit/InstallFixture.h"

#include <string>
#include <vector>

namespace {

using namespace install_test;

struct RestartCase {
    const char* name;
    BOOL tokenOpens;
    DWORD adjustError;
    BOOL exitWorks;
    std::vector<UINT> messages;
    bool requested;
};

void PrintTo(const RestartCase& c, std::ostream* out) { *out << c.name; }

class RestartTest : public InstallTest, public ::testing::WithParamInterface<RestartCase> {};

TEST_P(RestartTest, ReportsWhatStoodInTheWay)
{
    const RestartCase& c = GetParam();
    World().tokenOpens = c.tokenOpens;
    World().adjustError = c.adjustError;
    World().exitWindowsWorks = c.exitWorks;
    EXPECT_EQ(RestartWindows(EWX_REBOOT, ProgramOptions()), c.requested);
    std::vector<std::string> expected;
    for (UINT id : c.messages)
        expected.push_back(LoadMessage(id).c_str());
    EXPECT_EQ(BoxTexts(), expected);
    EXPECT_EQ(sim::LogOf("ExitWindowsEx"), std::vector<std::string>{"ExitWindowsEx 2 0"});
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

INSTANTIATE_TEST_SUITE_P(
    Privileges, RestartTest,
    ::testing::Values(RestartCase{"administrator", TRUE, 0, TRUE, {}, true},
                      RestartCase{"no privilege", TRUE, ERROR_NOT_ALL_ASSIGNED, FALSE, {MSG_NO_SHUTDOWN_RIGHT, MSG_RESTART_FAILED}, false},
                      RestartCase{"no privilege, still accepted", TRUE, ERROR_NOT_ALL_ASSIGNED, TRUE, {MSG_NO_SHUTDOWN_RIGHT}, true},
                      RestartCase{"refused", TRUE, 0, FALSE, {MSG_RESTART_FAILED}, false},
                      RestartCase{"no token", FALSE, 0, TRUE, {MSG_NO_SHUTDOWN_RIGHT}, true}),
    [](const ::testing::TestParamInfo<RestartCase>& info) { return CaseName(info.param.name); });

TEST_F(InstallTest, NoRestartSwitchSkipsEverything)
{
    World().commandLine = "\"C:\\Setup\\Vantinst.exe\" -info -norestart";
    EXPECT_FALSE(RestartWindows(EWX_REBOOT, CommandLineOptions()));
    EXPECT_TRUE(sim::LogOf("OpenProcessToken").empty());
    EXPECT_TRUE(sim::LogOf("ExitWindowsEx").empty());
    EXPECT_TRUE(World().boxes.empty());
}

}  // namespace
