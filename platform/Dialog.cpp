#include "platform/Dialog.h"

#include "platform/DialogHost.h"

Dialog::Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() = default;

const MessageEntry* Dialog::MessageTable() const
{
    static const MessageEntry none[] = {{0, 0, 0, nullptr}};
    return none;
}

void Dialog::DoDataExchange() {}

INT_PTR Dialog::DoModal() { return os::RunModalDialog(*this, templateId_, parent_); }

BOOL Dialog::OnInitDialog()
{
    DoDataExchange();
    os::CenterWindow(window_);
    return TRUE;
}

void EnableDialogControl(HWND dialog, int id, BOOL enable)
{
    if (!dialog)
        return;
    if (HWND control = os::GetDlgItem(dialog, id))
        os::EnableWindow(control, enable);
}

void Dialog::AttachControl(Control& control, int id) { control.Attach(os::GetDlgItem(window_, id)); }

INT_PTR Dialog::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    window_ = window;
    if (message == WM_INITDIALOG)
        return OnInitDialog();
    // A command for a disabled button means "not now": Escape and the close box arrive as
    // IDCANCEL even while Exit is disabled (Wine's dialog manager sends it regardless),
    // and a posted command still comes while a box of a running installation is up.
    if (message == WM_COMMAND) {
        HWND control = os::GetDlgItem(window_, LOWORD(wParam));
        if (control && !os::IsWindowEnabled(control))
            return TRUE;
    }
    INT_PTR result = FALSE;
    if (const MessageEntry* entry = FindMessageEntry(MessageTable(), message, wParam))
        result = (this->*entry->handler)(wParam, lParam);
    // A handler that returns FALSE leaves the message to the standard handling.
    return result ? result : StandardHandling(message, wParam);
}

INT_PTR Dialog::StandardHandling(UINT message, WPARAM wParam)
{
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        os::EndDialog(window_, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}
