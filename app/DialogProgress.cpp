#include "app/DialogProgress.h"

#include "platform/Dialog.h"
#include "res/resource.h"

namespace {

constexpr UINT_PTR kProgressTimer = 1;
constexpr UINT kProgressInterval = 750;
constexpr WORD kProgressRange = 75;

}  // namespace

void AdvanceProgressBar(HWND progressBar)
{
    if (!progressBar)
        return;
    os::SendMessageA(progressBar, PBM_STEPIT, 0, 0);
    os::InvalidateRect(progressBar, nullptr, TRUE);
    os::UpdateWindow(progressBar);
}

void DialogProgress::Started()
{
    timer_.Start(dialog_, kProgressTimer, kProgressInterval);
    EnableDialogControl(dialog_, IDC_INSTALL, FALSE);
    EnableDialogControl(dialog_, IDCANCEL, FALSE);
    if (progressBar_) {
        os::ShowWindow(progressBar_, SW_SHOW);
        os::SendMessageA(progressBar_, PBM_SETRANGE, 0, MAKELPARAM(0, kProgressRange));
        os::SendMessageA(progressBar_, PBM_SETSTEP, 1, 0);
        os::EnableWindow(progressBar_, TRUE);
    }
}

void DialogProgress::Stepped() { AdvanceProgressBar(progressBar_); }

void DialogProgress::Finished()
{
    timer_.Stop();
    if (progressBar_) {
        os::EnableWindow(progressBar_, FALSE);
        os::ShowWindow(progressBar_, SW_HIDE);
    }
    EnableDialogControl(dialog_, IDCANCEL, TRUE);
    // One installation per start: Install stays disabled, whatever came of it.
    EnableDialogControl(dialog_, IDC_INSTALL, FALSE);
}
