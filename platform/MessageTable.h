// A dialog's message table: which handler takes which message. Searched in order, the
// first match wins; a message without an entry goes to the standard dialog handling.
#pragma once

#include "platform/Win.h"

class Dialog;
using MessageHandler = INT_PTR (Dialog::*)(WPARAM, LPARAM);

struct MessageEntry {
    UINT message;
    UINT code;  // notification code; looked at for WM_COMMAND only
    UINT id;    // control id; looked at for WM_COMMAND only
    MessageHandler handler;
};

// The table ends with an entry whose handler is null.
const MessageEntry* FindMessageEntry(const MessageEntry* table, UINT message, WPARAM wParam);

template <class D>
constexpr MessageHandler Handler(INT_PTR (D::*handler)(WPARAM, LPARAM))
{
    return static_cast<MessageHandler>(handler);
}
