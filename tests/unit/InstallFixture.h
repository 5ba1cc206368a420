// The main dialog's window with the shipped driver files beside the program, for the
// tests of the installation procedure and of the Install command.
#pragma once

#include "app/DialogProgress.h"
#include "app/InstallerDialog.h"
#include "install/DriverInstaller.h"
#include "res/resource.h"
#include "tests/unit/SimTest.h"

#include <cctype>
#include <string>

namespace install_test {

inline const std::string kSystem = "C:\\WINDOWS\\System32\\";

// A case's description as a test name: its words run together, each capitalised.
inline std::string CaseName(const char* description)
{
    std::string name;
    bool wordStart = true;
    for (const char* c = description; *c; ++c) {
        unsigned char ch = static_cast<unsigned char>(*c);
        if (!std::isalnum(ch)) {
            wordStart = true;
            continue;
        }
        name += static_cast<char>(wordStart ? std::toupper(ch) : ch);
        wordStart = false;
    }
    return name;
}

class InstallTest : public SimTest {
protected:
    void SetUp() override
    {
        SimTest::SetUp();
        World().directories = {sim::Key(kSystem + "drivers"), sim::Key(kSystem + "dllcache")};
        sim::AddFile("C:\\Setup\\orvelxpparallel.sys", "xp");
        sim::AddFile("C:\\Setup\\orvel2kparallel.sys", "2k");
        sim::AddFile("C:\\Setup\\orvel2kparport.sys", "port");
        // The window is backed by the dialog's own procedure, so that the timer ticks a
        // message box delivers step the bar as they do on Windows.
        dialog_ = sim::CreateDialogWindow(IDD_INSTALLER, &owner_);
        owner_.progressBar.Attach(Bar());
        sim::Child(dialog_, IDC_INSTALL)->enabled = true;
    }

    int Install()
    {
        DialogProgress shown(dialog_, Bar());
        return InstallDriver(shown, kSystem.c_str(), CommandLineOptions());
    }
    HWND Bar() { return sim::Handle(sim::Child(dialog_, IDC_PROGRESS)); }

    void ExpectAfterState()
    {
        EXPECT_TRUE(World().timers.empty()) << "timer killed";
        EXPECT_FALSE(sim::Child(dialog_, IDC_PROGRESS)->enabled);
        EXPECT_FALSE(sim::Child(dialog_, IDC_PROGRESS)->visible);
        EXPECT_TRUE(sim::Child(dialog_, IDCANCEL)->enabled);
        EXPECT_FALSE(sim::Child(dialog_, IDC_INSTALL)->enabled);
        EXPECT_EQ(World().loadedLibraries, 0) << "newdev.dll freed";
    }

    DibImage noPicture_;
    ProgramOptions options_;
    InstallerDialog owner_{app, options_, nullptr, noPicture_};
    HWND dialog_ = nullptr;
};

class InstallCommandTest : public InstallTest {
protected:
    // Runs the main dialog and clicks Install once.
    int RunAndInstall()
    {
        World().onModal = [](Dialog& dialog, HWND window) {
            if (dialog.TemplateId() == IDD_INSTALLER)
                dialog.Dispatch(window, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED), 0);
        };
        DibImage noPicture;
        ProgramOptions options = CommandLineOptions();
        InstallerDialog dialog(app, options, nullptr, noPicture);
        dialog.DoModal();
        mainWindow_ = World().topLevel.back().get();
        for (auto& window : World().topLevel) {
            if (window->text == Text(MSG_MAIN_TITLE))
                mainWindow_ = window.get();
        }
        return dialog.Outcome();
    }

    sim::Window* mainWindow_ = nullptr;
};

}  // namespace install_test
