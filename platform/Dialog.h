// Modal dialogs from templates, the way a class library gives them: a message table per
// dialog class, the standard handling for everything else, data exchange and centring at
// initialisation.
#pragma once

#include "platform/Control.h"
#include "platform/MessageTable.h"
#include "platform/Win.h"

class Dialog {
public:
    // `parent` owns the dialog's window; the main dialog has none.
    Dialog(UINT templateId, HWND parent);
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;
    virtual ~Dialog();

    // Creates the window from the template and runs it until it ends; the result given
    // to EndDialog.
    INT_PTR DoModal();

    HWND Window() const { return window_; }
    UINT TemplateId() const { return templateId_; }

    // What the dialog procedure does with one message: WM_INITDIALOG to OnInitDialog; a
    // command for a disabled control is dropped; the rest through the message table,
    // unmatched messages and those whose handler returns FALSE to the standard handling.
    INT_PTR Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    virtual const MessageEntry* MessageTable() const;
    virtual void DoDataExchange();
    // The standard initialisation: data exchange, then centring. TRUE lets Windows set the focus.
    virtual BOOL OnInitDialog();

    void AttachControl(Control& control, int id);
    HWND Parent() const { return parent_; }

private:
    // IDOK and IDCANCEL end the dialog; everything else goes on to the system's dialog
    // handling (FALSE).
    INT_PTR StandardHandling(UINT message, WPARAM wParam);

    UINT templateId_;
    HWND parent_;
    HWND window_ = nullptr;
};

// Enables or disables a dialog's control; a dialog without that control is left alone.
void EnableDialogControl(HWND dialog, int id, BOOL enable);
