// Running a modal dialog in the simulated Windows: the window is made as its template
// would make it, initialised, handed to the test's script, then destroyed.
#include "platform/DialogHost.h"

#include "platform/Dialog.h"
#include "tests/sim/SimWindows.h"

namespace os {

INT_PTR RunModalDialog(Dialog& dialog, UINT templateId, HWND owner)
{
    sim::World& world = sim::Get();
    world.log.push_back("DoModal " + std::to_string(templateId));
    HWND window = sim::CreateDialogWindow(templateId, &dialog);
    sim::FromHandle(window)->owner = owner;
    dialog.Dispatch(window, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(&dialog));
    if (world.onModal)
        world.onModal(dialog, window);
    dialog.Dispatch(window, WM_DESTROY, 0, 0);
    sim::Window* w = sim::FromHandle(window);
    w->ended = true;
    w->dialog = nullptr;
    return w->endResult;
}

void CenterWindow(HWND window)
{
    sim::Get().log.push_back(std::string("CenterWindow ") + (window ? "dialog" : "none"));
}

}  // namespace os
