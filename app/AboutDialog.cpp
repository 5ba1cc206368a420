#include "app/AboutDialog.h"

#include "res/resource.h"
#include "services/Messages.h"

AboutDialog::AboutDialog(HWND parent) : Dialog(IDD_ABOUT, parent) {}

AboutDialog::~AboutDialog() = default;

BOOL AboutDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    os::SetWindowTextA(Window(), LoadLocalMessage(MSG_ABOUT_ENTRY).c_str());
    return TRUE;
}
