#include "app/AboutDialog.h"

#include "app/InstallerApp.h"
#include "res/resource.h"
#include "services/Messages.h"

AboutDialog::AboutDialog(HWND parent) : Dialog(IDD_ABOUT, parent) {}

AboutDialog::~AboutDialog() = default;

BOOL AboutDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    os::SetWindowTextA(Window(), LoadMessage(MSG_ABOUT_ENTRY + TheApp().LanguageOffset).c_str());
    return TRUE;
}
