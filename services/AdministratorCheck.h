// Whether the user may install: membership of the local Administrators group, which the
// driver update and the copies into the system folder need.
#pragma once

#include "platform/Win.h"

enum class AdministratorCheck { kAdministrator, kNotAdministrator, kUnknown };

// Asks Windows through CheckTokenMembership (Windows 2000 and later); kUnknown, with the
// reason as the last-error value, when the question itself fails.
AdministratorCheck CheckAdministrator();

// Before anything is changed: logs the answer and, for a user who is no administrator,
// says so (message 1134). False only then; when the check fails the installation is
// tried all the same, and Windows refuses what it must refuse.
bool MayInstall();
