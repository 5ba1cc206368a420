// Running a modal dialog in the simulated Windows: the window is made as its template
// would make it, initialised, handed to the test's script, then destroyed.
#include "platform/Application.h"
#include "platform/Dialog.h"
#include "tests/sim/SimWindows.h"

INT_PTR Dialog::DoModal()
{
    sim::World& world = sim::Get();
    world.log.push_back("DoModal " + std::to_string(TemplateId()));
    HWND window = sim::CreateDialogWindow(TemplateId(), this);
    Dispatch(window, WM_INITDIALOG, 0, reinterpret_cast<LPARAM>(this));
    if (world.onModal)
        world.onModal(*this, window);
    Dispatch(window, WM_DESTROY, 0, 0);
    sim::Window* w = sim::FromHandle(window);
    w->ended = true;
    w->dialog = nullptr;
    return w->endResult;
}

void CenterWindow(HWND window)
{
    sim::Get().log.push_back(std::string("CenterWindow ") + (window ? "dialog" : "none"));
}
