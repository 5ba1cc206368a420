// Reads a file's version resource: the fixed version block, the first translation entry
// and named string values of that translation's string table.
#pragma once

#include "platform/Owners.h"
#include "platform/String.h"
#include "platform/Win.h"

class FileVersionReader {
public:
    FileVersionReader() = default;
    FileVersionReader(const FileVersionReader&) = delete;
    FileVersionReader& operator=(const FileVersionReader&) = delete;
    virtual ~FileVersionReader();

    // 1 when the version resource was read and its fixed block carries the signature.
    int Open(const char* name);
    // The value's text in the selected string table, or the empty string.
    String GetStringValue(const char* valueName) const;

    VS_FIXEDFILEINFO fixedInfo;
    HeapBuffer versionData;  // the whole version resource, once Open has read it
    WORD language;
    WORD codePage;
};

// "\StringFileInfo\040704e4\OrvelVersion": the query path of a string value.
String StringValuePath(WORD language, WORD codePage, const char* valueName);
