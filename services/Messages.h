// Showing the message catalogue's texts: in dialog controls and in message boxes.
// Every id is looked up with the application's LanguageOffset added, except by AskMessage.
#pragma once

#include "platform/String.h"
#include "platform/Win.h"

// The whole text of a string-table entry, however long; empty when there is none.
String LoadMessage(UINT id);

void SetControlMessage(HWND dialog, int controlId, UINT messageId);
void ShowMessage(UINT messageId, const char* insert1 = nullptr, const char* insert2 = nullptr);
int AskMessage(UINT messageId);
// Reads the thread's last-error value first, so call it while the failure's code is in place.
void ShowSystemErrorMessage(UINT messageId, const char* insert = nullptr);
