#include "services/Messages.h"

#include "platform/Owners.h"
#include "services/InstallLog.h"
#include "services/MessageFormat.h"

namespace {

const Application* context = nullptr;

// Every box is written to the log (`entry`, then the text); a quiet run shows none and
// takes the default answer, Yes.
int ShowLoggedBox(String entry, HWND owner, const char* text, const char* caption, UINT style)
{
    LogLine(entry.Append(text));
    if (context && context->Quiet())
        return (style & 0xF) == MB_YESNO ? IDYES : IDOK;
    return os::MessageBoxA(owner, text, caption, style);
}

// A catalogue message: owned by the main window while it is up, captioned with the
// program's title.
int ShowMessageBox(UINT messageId, const char* text, UINT style)
{
    HWND owner = context ? context->MainWindow() : nullptr;
    String title = context ? context->Title() : String();
    String entry("Message ");
    return ShowLoggedBox(entry.Append(Decimal(messageId)).Append(": "), owner, text, title.c_str(), style);
}

}  // namespace

MessageContext::MessageContext(const Application& app) : outer_(context) { context = &app; }

MessageContext::~MessageContext() { context = outer_; }

String LoadMessage(UINT id)
{
    HINSTANCE instance = os::GetModuleHandleA(nullptr);
    // LoadStringA cuts a text to the buffer: grow until it no longer fills it.
    for (std::size_t size = 256;; size *= 2) {
        HeapBuffer buffer;
        if (!buffer.Allocate(size))
            return String();
        char* text = reinterpret_cast<char*>(buffer.Get());
        int length = os::LoadStringA(instance, id, text, static_cast<int>(size));
        if (length < static_cast<int>(size) - 1)
            return String(text, length > 0 ? static_cast<std::size_t>(length) : 0);
    }
}

String LoadLocalMessage(UINT messageId)
{
    // The one place that reads the language choice.
    return LoadMessage(messageId + (context ? context->LanguageOffset : 0));
}

void SetControlMessage(HWND dialog, int controlId, UINT messageId)
{
    HWND control = os::GetDlgItem(dialog, controlId);
    if (!control)
        return;
    os::SetWindowTextA(control, LoadLocalMessage(messageId).c_str());
}

void ShowMessage(UINT messageId, const char* insert1, const char* insert2)
{
    String text = LoadLocalMessage(messageId);
    if (insert1 || insert2)
        text = FormatInserts(text.c_str(), insert1, insert2);
    ShowMessageBox(messageId, text.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

int AskMessage(UINT messageId)
{
    int answer = ShowMessageBox(messageId, LoadMessage(messageId).c_str(), MB_YESNO | MB_ICONEXCLAMATION);
    LogLine(answer == IDYES ? "Answer: Yes" : "Answer: No");
    return answer;
}

void ShowPlainBox(const char* text, const char* caption)
{
    ShowLoggedBox("Message: ", nullptr, text, caption, MB_OK);
}

void ShowSystemErrorMessage(UINT messageId, const char* insert)
{
    ShowErrorMessage(messageId, os::GetLastError(), insert);
}

void ShowErrorMessage(UINT messageId, DWORD code, const char* insert)
{
    String format = LoadLocalMessage(messageId);

    ScopedLocalText description;
    os::FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                       nullptr, code, 0x0400, reinterpret_cast<LPSTR>(description.Receive()), 0, nullptr);
    // Codes of the setup functions have no description: the text goes without one.
    const char* described = description ? description.Get() : "";

    String text = insert ? FormatInserts(format.c_str(), insert, described)
                         : FormatInserts(format.c_str(), described, nullptr);
    ShowMessageBox(messageId, WithErrorCode(text, code).c_str(), MB_OK | MB_ICONEXCLAMATION);
}
