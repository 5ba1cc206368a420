#include "services/Messages.h"

#include "platform/Application.h"
#include "services/MessageFormat.h"

#include <cstdlib>

namespace {

LONG Offset()
{
    Application* app = Application::Current();
    return app ? app->LanguageOffset : 0;
}

int ShowBox(const char* text, UINT style)
{
    Application* app = Application::Current();
    HWND owner = app ? app->MainWindow() : nullptr;
    String title = app ? app->Title() : String();
    return os::MessageBoxA(owner, text, title.c_str(), style);
}

}  // namespace

String LoadMessage(UINT id)
{
    HINSTANCE instance = os::GetModuleHandleA(nullptr);
    for (int size = 256;; size *= 2) {
        char* buffer = static_cast<char*>(std::malloc(size));
        if (!buffer)
            return String();
        int length = os::LoadStringA(instance, id, buffer, size);
        if (length < size - 1) {
            String text(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
            std::free(buffer);
            return text;
        }
        std::free(buffer);
    }
}

void SetControlMessage(HWND dialog, int controlId, UINT messageId)
{
    HWND control = os::GetDlgItem(dialog, controlId);
    if (!control)
        return;
    os::SetWindowTextA(control, LoadMessage(messageId + Offset()).c_str());
}

void ShowMessage(UINT messageId, const char* insert1, const char* insert2)
{
    String text = LoadMessage(messageId + Offset());
    if (insert1 || insert2)
        text = FormatInserts(text.c_str(), insert1, insert2);
    ShowBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

int AskMessage(UINT messageId)
{
    return ShowBox(LoadMessage(messageId).c_str(), MB_YESNO | MB_ICONEXCLAMATION);
}

void ShowSystemErrorMessage(UINT messageId, const char* insert)
{
    DWORD code = os::GetLastError();
    String format = LoadMessage(messageId + Offset());

    char* description = nullptr;
    os::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                       nullptr, code, 0x0400, reinterpret_cast<LPSTR>(&description), 0, nullptr);

    String text = insert ? FormatInserts(format.c_str(), insert, description ? description : "")
                         : FormatInserts(format.c_str(), description ? description : "", nullptr);
    ShowBox(WithErrorCode(text, code).c_str(), MB_OK | MB_ICONEXCLAMATION);
    if (description)
        os::LocalFree(description);
}
