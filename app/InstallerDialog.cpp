#include "app/InstallerDialog.h"

#include "app/AboutDialog.h"
#include "app/DialogProgress.h"
#include "app/ExitStatus.h"
#include "app/InstallRoad.h"
#include "res/resource.h"
#include "services/Messages.h"

IconPosition MinimisedIconPosition(int clientWidth, int clientHeight, int iconWidth, int iconHeight)
{
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

InstallerDialog::InstallerDialog(Application& app, const ProgramOptions& options, HWND parent,
                                 const DibImage& picture)
    : Dialog(IDD_INSTALLER, parent),
      icon(nullptr),
      app_(app),
      options_(options),
      picture_(picture),
      outcome_(kExitUserClosed)
{
}

InstallerDialog::~InstallerDialog() = default;

const MessageEntry* InstallerDialog::MessageTable() const
{
    static const MessageEntry table[] = {
        {WM_SYSCOMMAND, 0, 0, Handler(&InstallerDialog::OnSysCommand)},
        {WM_DESTROY, 0, 0, Handler(&InstallerDialog::OnDestroy)},
        {WM_PAINT, 0, 0, Handler(&InstallerDialog::OnPaint)},
        {WM_QUERYDRAGICON, 0, 0, Handler(&InstallerDialog::OnQueryDragIcon)},
        {WM_COMMAND, BN_CLICKED, IDC_INSTALL, Handler(&InstallerDialog::OnInstall)},
        {WM_TIMER, 0, 0, Handler(&InstallerDialog::OnTimer)},
        {WM_SETCURSOR, 0, 0, Handler(&InstallerDialog::OnSetCursor)},
        {0, 0, 0, nullptr},
    };
    return table;
}

void InstallerDialog::DoDataExchange()
{
    Dialog::DoDataExchange();
    AttachControl(progressBar, IDC_PROGRESS);
}

BOOL InstallerDialog::OnInitDialog()
{
    if (!icon)
        icon = os::LoadIconA(os::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDI_VANTINST));
    Dialog::OnInitDialog();
    app_.SetMainWindow(Window());
    app_.LanguageOffset = 0;

    SetControlMessage(Window(), IDC_EXPLANATION, MSG_EXPLANATION);
    SetControlMessage(Window(), IDC_INSTALL, MSG_INSTALL_BUTTON);
    SetControlMessage(Window(), IDCANCEL, MSG_EXIT_BUTTON);
    os::SetWindowTextA(Window(), LoadLocalMessage(MSG_MAIN_TITLE).c_str());

    if (HMENU menu = os::GetSystemMenu(Window(), FALSE)) {
        String about = LoadLocalMessage(MSG_ABOUT_ENTRY);
        if (!about.empty()) {
            os::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
            os::AppendMenuA(menu, MF_STRING, IDM_ABOUTBOX, about.c_str());
        }
    }

    os::SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    os::SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

    EnableDialogControl(Window(), IDC_INSTALL, TRUE);
    return TRUE;
}

INT_PTR InstallerDialog::OnSysCommand(WPARAM wParam, LPARAM)
{
    if (!IsAboutCommand(wParam))
        return FALSE;
    AboutDialog about(Window());
    about.DoModal();
    return TRUE;
}

INT_PTR InstallerDialog::OnDestroy(WPARAM, LPARAM)
{
    os::WinHelpA(Window(), nullptr, HELP_QUIT, 0);
    app_.SetMainWindow(nullptr);
    return FALSE;
}

INT_PTR InstallerDialog::OnPaint(WPARAM, LPARAM)
{
    PAINTSTRUCT paint;
    HDC dc = os::BeginPaint(Window(), &paint);
    if (os::IsIconic(Window())) {
        os::SendMessageA(Window(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
        RECT client;
        os::GetClientRect(Window(), &client);
        IconPosition at = MinimisedIconPosition(client.right - client.left, client.bottom - client.top,
                                                os::GetSystemMetrics(SM_CXICON), os::GetSystemMetrics(SM_CYICON));
        os::DrawIcon(dc, at.x, at.y, icon);
    } else {
        picture_.Paint(dc, 2, 2);
    }
    os::EndPaint(Window(), &paint);
    return TRUE;
}

INT_PTR InstallerDialog::OnQueryDragIcon(WPARAM, LPARAM) { return reinterpret_cast<INT_PTR>(icon); }

INT_PTR InstallerDialog::OnTimer(WPARAM, LPARAM)
{
    if (os::IsWindowEnabled(progressBar.Window()))
        AdvanceProgressBar(progressBar.Window());
    return FALSE;
}

// While the installation runs its boxes, the mouse may cross the dialog: the hourglass
// stays instead of the class cursor.
INT_PTR InstallerDialog::OnSetCursor(WPARAM, LPARAM)
{
    if (!app_.ShowsWaitCursor())
        return FALSE;
    app_.RestoreWaitCursor();
    return TRUE;
}

INT_PTR InstallerDialog::OnInstall(WPARAM, LPARAM)
{
    {
        WaitCursor wait(app_);
        app_.OnIdle(0);
        SetControlMessage(Window(), IDC_EXPLANATION, MSG_PLEASE_WAIT);

        DialogProgress shown(Window(), progressBar.Window());
        outcome_ = InstallAndRestart(shown, options_);
        SetControlMessage(Window(), IDC_EXPLANATION, MSG_EXPLANATION);
    }
    app_.OnIdle(0);
    return TRUE;
}
