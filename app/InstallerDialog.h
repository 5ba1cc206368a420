// The installer's main dialog: what the driver is for, the picture, Install and Exit, and
// a progress bar that shows only while the installation runs.
#pragma once

#include "dib/DibImage.h"
#include "platform/Application.h"
#include "platform/Dialog.h"
#include "res/resource.h"
#include "services/ProgramOptions.h"

class InstallerDialog : public Dialog {
public:
    // `app` learns the dialog as its main window and keeps the wait cursor; Install runs
    // with the run's `options`; `picture` is painted in the dialog. All must outlive it.
    InstallerDialog(Application& app, const ProgramOptions& options, HWND parent, const DibImage& picture);
    ~InstallerDialog() override;

    // The exit status this dialog's run leads to.
    int Outcome() const { return outcome_; }

    Control progressBar;
    HICON icon;  // loaded when the window is first initialised

protected:
    const MessageEntry* MessageTable() const override;
    void DoDataExchange() override;
    BOOL OnInitDialog() override;

private:
    // Reached only through the message table, so that Dispatch's rule for commands of
    // disabled controls holds for every caller.
    INT_PTR OnSysCommand(WPARAM wParam, LPARAM lParam);
    INT_PTR OnDestroy(WPARAM wParam, LPARAM lParam);
    INT_PTR OnPaint(WPARAM wParam, LPARAM lParam);
    INT_PTR OnQueryDragIcon(WPARAM wParam, LPARAM lParam);
    INT_PTR OnInstall(WPARAM wParam, LPARAM lParam);
    INT_PTR OnTimer(WPARAM wParam, LPARAM lParam);
    INT_PTR OnSetCursor(WPARAM wParam, LPARAM lParam);

    Application& app_;
    const ProgramOptions& options_;
    const DibImage& picture_;
    int outcome_;
};

// Where the icon of a minimised dialog goes: centred, rounding toward zero.
struct IconPosition {
    int x;
    int y;
};
IconPosition MinimisedIconPosition(int clientWidth, int clientHeight, int iconWidth, int iconHeight);

// Whether a WM_SYSCOMMAND's wParam is the About entry of the system menu.
constexpr bool IsAboutCommand(WPARAM command) { return (command & 0xFFF0) == IDM_ABOUTBOX; }
