#include "platform/Dialog.h"

#include "platform/Application.h"

Dialog::Dialog(UINT templateId, HWND parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() = default;

const MessageEntry* Dialog::MessageTable() const
{
    static const MessageEntry none[] = {{0, 0, 0, nullptr}};
    return none;
}

void Dialog::DoDataExchange() {}

BOOL Dialog::OnInitDialog()
{
    DoDataExchange();
    CenterWindow(window_);
    return TRUE;
}

void EnableDialogControl(HWND dialog, int id, BOOL enable)
{
    if (HWND control = os::GetDlgItem(dialog, id))
        os::EnableWindow(control, enable);
}

void Dialog::AttachControl(Control& control, int id) { control.Attach(os::GetDlgItem(window_, id)); }

INT_PTR Dialog::Dispatch(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    window_ = window;
    UINT outerMessage = message_;
    WPARAM outerWParam = wParam_;
    LPARAM outerLParam = lParam_;
    message_ = message;
    wParam_ = wParam;
    lParam_ = lParam;

    INT_PTR result;
    if (message == WM_INITDIALOG) {
        result = OnInitDialog();
    } else if (const MessageEntry* entry = FindMessageEntry(MessageTable(), message, wParam)) {
        result = (this->*entry->handler)(wParam, lParam);
    } else {
        result = Default();
    }

    message_ = outerMessage;
    wParam_ = outerWParam;
    lParam_ = outerLParam;
    return result;
}

INT_PTR Dialog::Default()
{
    if (message_ == WM_COMMAND && (LOWORD(wParam_) == IDOK || LOWORD(wParam_) == IDCANCEL)) {
        os::EndDialog(window_, LOWORD(wParam_));
        return TRUE;
    }
    if (message_ == WM_SETCURSOR && Application::Current() && Application::Current()->ShowsWaitCursor()) {
        Application::Current()->RestoreWaitCursor();
        return TRUE;
    }
    return FALSE;
}
