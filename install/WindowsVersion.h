// Which Windows the program runs on. Each test asks Windows again and reports a failed
// query with message 1110; after such a failure both answer 0.
#pragma once

#include "platform/String.h"
#include "platform/Win.h"

int IsWindowsNt5();
int IsWindowsXp();
// 1 on NT 5.1 and later (XP, NT 5.2): what XP's driver update brought is there.
int IsWindowsXpOrLater();

// "5.1.2600 Service Pack 3" for the log; says so, without a message, when Windows does
// not tell.
String WindowsVersionText();

constexpr int IsNt5Version(DWORD platformId, DWORD major)
{
    return platformId == VER_PLATFORM_WIN32_NT && major == 5 ? 1 : 0;
}

constexpr int IsXpVersion(DWORD platformId, DWORD major, DWORD minor)
{
    return IsNt5Version(platformId, major) && minor == 1 ? 1 : 0;
}

constexpr int IsXpOrLaterVersion(DWORD platformId, DWORD major, DWORD minor)
{
    return platformId == VER_PLATFORM_WIN32_NT && (major > 5 || (major == 5 && minor >= 1)) ? 1 : 0;
}
