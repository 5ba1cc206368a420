// One installer at a time on a machine: two driver updates of the same port at once, or
// a copy while the other run's update replaces the files, leave the driver half done.
#pragma once

#include "platform/Owners.h"
#include "platform/Win.h"

// The named mutex "Global\Vantinst.DriverInstallation", taken for the span of one
// installation. Global, not per session: the driver is the machine's, and a deployment
// agent in the services' session must see the user who installs by hand in another
// (XP's fast user switching, a terminal server). A mutex that a crashed run left behind
// is abandoned: Windows hands it to the next run, which takes it and goes on.
class InstallerLock {
public:
    InstallerLock() = default;
    InstallerLock(const InstallerLock&) = delete;
    InstallerLock& operator=(const InstallerLock&) = delete;
    ~InstallerLock();

    // False when another installer holds the lock; everything is logged. When Windows
    // cannot give the lock at all, the installation goes on without it.
    bool Take();

private:
    ScopedHandle mutex_;
    bool owned_ = false;
};

// Brings the running installer's dialog to the front for a user who started a second
// one; nothing when the running one shows none (a quiet run).
void BringRunningInstallerToFront();
