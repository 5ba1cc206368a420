// The Windows types, constants and functions the program uses. On Windows they are
// the SDK's own; on the host they come from our simulated Windows (tests/sim), so the
// program's logic compiles and runs unchanged in the unit tests.
#pragma once

#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#include <newdev.h>
#include "platform/win32/Api.h"
#else
#include "platform/host/Api.h"
#endif
