#include "services/DriverVersionCheck.h"

#include "services/FileVersionReader.h"

int CheckDriverFileVersion(const char* path)
{
    FileVersionReader reader;
    if (reader.Open(path) != 1)
        return 0;
    return reader.GetStringValue(kVersionMarkerName) == kVersionMarkerValue ? 1 : 0;
}
