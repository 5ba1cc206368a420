#include "app/AboutDialog.h"

#include "app/InstallerApp.h"
#include "services/MessageIds.h"
#include "services/Messages.h"

AboutDialog::AboutDialog(HWND parent) : Dialog(100, parent) {}

AboutDialog::~AboutDialog() = default;

BOOL AboutDialog::OnInitDialog()
{
    Dialog::OnInitDialog();
    os::SetWindowTextA(Window(), LoadMessage(MSG_ABOUT + TheApp().LanguageOffset).c_str());
    return TRUE;
}
