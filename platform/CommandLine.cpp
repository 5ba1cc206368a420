#include "platform/CommandLine.h"

#include "platform/String.h"
#include "platform/Win.h"

#include <cstring>

const char* CommandArguments(const char* commandLine)
{
    const char* p = commandLine ? commandLine : "";
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p && *p != ' ' && *p != '\t')
            ++p;
    }
    while (*p == ' ' || *p == '\t')
        ++p;
    return p;
}

bool HasOption(const char* commandLine, const char* option)
{
    return std::strstr(CommandArguments(commandLine), option) != nullptr;
}

bool HasSwitch(const char* commandLine, const char* name)
{
    String dash("-");
    String slash("/");
    return HasOption(commandLine, dash.Append(name).c_str()) || HasOption(commandLine, slash.Append(name).c_str());
}

bool ProgramHasSwitch(const char* name) { return HasSwitch(os::GetCommandLineA(), name); }
