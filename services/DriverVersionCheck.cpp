#include "services/DriverVersionCheck.h"

#include "services/FileVersionReader.h"
#include "services/MessageFormat.h"

int CheckDriverFileVersion(const char* path, String* found)
{
    FileVersionReader reader;
    if (reader.Open(path) != 1) {
        if (found) {
            DWORD code = os::GetLastError();
            *found = code == ERROR_FILE_NOT_FOUND ? String("missing ") : String("no version information ");
            found->Append(BracketedCode(code));
        }
        return 0;
    }
    String value = reader.GetStringValue(kVersionMarkerName);
    if (found) {
        *found = String(kVersionMarkerName);
        if (value.empty())
            found->Append(" not there");
        else
            found->Append(" \"").Append(value).Append('"');
    }
    return value == kVersionMarkerValue ? 1 : 0;
}
