// Waiting until Windows has no device installation of its own in progress. The usual
// reason an unattended driver update hangs or fails is a "Found New Hardware" wizard
// still pending: the update then waits behind it, or collides with it.
#pragma once

#include "platform/Win.h"

// How long a quiet run waits at most before it tries the update all the same.
constexpr DWORD kPendingInstallWait = 3 * 60 * 1000;

// Waits through CMP_WaitNoPendingInstallEvents of setupapi.dll (loaded by its full path)
// and logs the wait and its outcome; where Windows lacks the function the wait is
// skipped, and the log says so.
void WaitForPendingInstallations();
