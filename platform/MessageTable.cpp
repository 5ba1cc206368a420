#include "platform/MessageTable.h"

const MessageEntry* FindMessageEntry(const MessageEntry* table, UINT message, WPARAM wParam)
{
    for (const MessageEntry* entry = table; entry && entry->handler; ++entry) {
        if (entry->message != message)
            continue;
        if (message == WM_COMMAND && (entry->code != HIWORD(wParam) || entry->id != LOWORD(wParam)))
            continue;
        return entry;
    }
    return nullptr;
}
