#include "platform/PathName.h"

const char* LastPathComponent(const char* path)
{
    const char* component = path;
    for (const char* p = path; *p; ++p) {
        // Only a drive's colon: elsewhere a colon is no separator a program path has.
        if (*p == '\\' || *p == '/' || (*p == ':' && p == path + 1))
            component = p + 1;
    }
    return component;
}

String JoinPath(const char* directory, const char* name)
{
    String path(directory);
    if (!path.empty() && path.c_str()[path.size() - 1] != '\\')
        path.Append('\\');
    return path.Append(name);
}
