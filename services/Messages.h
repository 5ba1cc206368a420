// Showing the message catalogue's texts: in dialog controls and in message boxes.
// Every id is looked up with the application's LanguageOffset added, except by AskMessage.
// Every box goes to the installation log as well; in a quiet run only there, and a
// question takes its default answer, Yes.
#pragma once

#include "platform/Application.h"
#include "platform/String.h"
#include "platform/Win.h"

// Whose texts and boxes these are, for as long as this object lives: the application's
// main window owns the boxes while it is up, its title captions them, its LanguageOffset
// picks the language, and a quiet application shows none. The application object makes
// one at start-up. Without one, boxes have no owner and no caption, and are shown.
class MessageContext {
public:
    explicit MessageContext(const Application& app);
    MessageContext(const MessageContext&) = delete;
    MessageContext& operator=(const MessageContext&) = delete;
    ~MessageContext();

private:
    const Application* outer_;
};

// The whole text of a string-table entry, however long; empty when there is none.
String LoadMessage(UINT id);
// The text of a message in the language the application has chosen (its LanguageOffset added).
String LoadLocalMessage(UINT messageId);

void SetControlMessage(HWND dialog, int controlId, UINT messageId);
void ShowMessage(UINT messageId, const char* insert1 = nullptr, const char* insert2 = nullptr);
int AskMessage(UINT messageId);
// A box with no owner, the given caption and an OK button, outside the catalogue.
void ShowPlainBox(const char* text, const char* caption);
// Reads the thread's last-error value first, so call it while the failure's code is in place.
void ShowSystemErrorMessage(UINT messageId, const char* insert = nullptr);
// The message with the system's description of `code` for its %s and the code in
// brackets: "text [0000007e]".
void ShowErrorMessage(UINT messageId, DWORD code, const char* insert = nullptr);
