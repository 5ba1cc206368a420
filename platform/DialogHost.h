// The two things a dialog needs from the window system beyond single calls: a modal
// loop over a template whose procedure hands every message to the dialog object, and
// centring. They sit beside the other os:: functions: on Windows platform/win32/
// DialogHost.cpp makes them of DialogBoxParamA and its neighbours; the host tests'
// simulated Windows makes its own.
#pragma once

#include "platform/Win.h"

class Dialog;

namespace os {
// Runs the dialog of `templateId` owned by `owner` until it ends; each of its messages
// goes to dialog.Dispatch. The result given to EndDialog.
INT_PTR RunModalDialog(Dialog& dialog, UINT templateId, HWND owner);
// Centres a dialog over its owner, or on the screen's work area when it has none.
void CenterWindow(HWND window);
}  // namespace os
