#include "services/AdministratorCheck.h"

#include "res/resource.h"
#include "services/InstallLog.h"
#include "services/MessageFormat.h"
#include "services/Messages.h"

AdministratorCheck CheckAdministrator()
{
    // S-1-5-32-544: BUILTIN\Administrators (SECURITY_NT_AUTHORITY, the built-in domain).
    SID_IDENTIFIER_AUTHORITY ntAuthority = {{0, 0, 0, 0, 0, 5}};
    PSID administrators = nullptr;
    if (!os::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID, DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0,
                                      0, 0, 0, &administrators))
        return AdministratorCheck::kUnknown;
    // No token: Windows takes the thread's, and for a process that impersonates no one
    // the process's own. Only an enabled group counts, as in access checks.
    BOOL member = FALSE;
    BOOL checked = os::CheckTokenMembership(nullptr, administrators, &member);
    DWORD error = os::GetLastError();
    os::FreeSid(administrators);
    os::SetLastError(error);
    if (!checked)
        return AdministratorCheck::kUnknown;
    return member ? AdministratorCheck::kAdministrator : AdministratorCheck::kNotAdministrator;
}

bool MayInstall()
{
    switch (CheckAdministrator()) {
    case AdministratorCheck::kAdministrator:
        LogLine("Administrator rights: yes");
        return true;
    case AdministratorCheck::kUnknown:
        LogLine(String("Administrator rights: not known, the check failed ").Append(BracketedCode(os::GetLastError()))
                    .Append("; the installation is tried"));
        return true;
    case AdministratorCheck::kNotAdministrator:
        break;
    }
    LogLine("Administrator rights: no");
    ShowMessage(MSG_NOT_ADMINISTRATOR);
    return false;
}
