// The main dialog's view of a running installation: Install and Exit disabled, the
// progress bar shown and stepped, by the installation's steps and by a timer in
// between, and all of it undone at the end, when Exit comes back and Install stays off.
#pragma once

#include "install/InstallProgress.h"
#include "platform/Owners.h"
#include "platform/Win.h"

class DialogProgress final : public InstallProgress {
public:
    // A null bar: only the buttons and the timer.
    DialogProgress(HWND dialog, HWND progressBar) : dialog_(dialog), progressBar_(progressBar) {}

    void Started() override;
    void Stepped() override;
    void Finished() override;

private:
    HWND dialog_;
    HWND progressBar_;
    ScopedTimer timer_;
};

// Moves the progress bar one step and repaints it at once; no bar, nothing to do.
void AdvanceProgressBar(HWND progressBar);
