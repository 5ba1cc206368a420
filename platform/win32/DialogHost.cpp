#include "platform/DialogHost.h"

#include "platform/Dialog.h"

namespace {

INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    Dialog* dialog;
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<Dialog*>(lParam);
        ::SetWindowLongPtrA(window, DWLP_USER, lParam);
    } else {
        dialog = reinterpret_cast<Dialog*>(::GetWindowLongPtrA(window, DWLP_USER));
    }
    if (!dialog)
        return FALSE;

    INT_PTR result = dialog->Dispatch(window, message, wParam, lParam);
    // Messages whose result is not the procedure's own return value get it this way.
    if (message == WM_SETCURSOR && result)
        ::SetWindowLongPtrA(window, DWLP_MSGRESULT, TRUE);
    return result;
}

}  // namespace

namespace os {

INT_PTR RunModalDialog(Dialog& dialog, UINT templateId, HWND owner)
{
    return ::DialogBoxParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(templateId), owner, DialogProcedure,
                             reinterpret_cast<LPARAM>(&dialog));
}

void CenterWindow(HWND window)
{
    RECT area;
    HWND owner = ::GetWindow(window, GW_OWNER);
    if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner))
        ::GetWindowRect(owner, &area);
    else
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &area, 0);

    RECT own;
    ::GetWindowRect(window, &own);
    int width = own.right - own.left;
    int height = own.bottom - own.top;
    int x = area.left + (area.right - area.left - width) / 2;
    int y = area.top + (area.bottom - area.top - height) / 2;
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace os
