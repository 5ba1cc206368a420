#include "platform/Application.h"
#include "platform/SystemLibrary.h"
#include "platform/Win.h"

namespace {

// Takes the program's own folder out of the DLL search path where Windows offers that
// (XP SP1 and later); Windows 2000 lacks the function, so it is looked up.
void HardenDllSearchPath()
{
    using SetDllDirectoryProc = decltype(&::SetDllDirectoryA);
    HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
    auto setDllDirectory =
        kernel ? ProcAddress<SetDllDirectoryProc>(kernel, "SetDllDirectoryA") : nullptr;
    if (setDllDirectory)
        setDllDirectory("");
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    HardenDllSearchPath();
    Application* app = Application::Current();
    if (!app)
        return 1;
    while (app->StartUp()) {
    }
    return app->ExitCode();
}
