#include "platform/CommandLine.h"

#include "platform/Win.h"

#include <cstring>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Whether `text` begins with the first `length` characters of `path`, ignoring case the
// way the file system does for the letters that matter in program paths.
bool BeginsWith(const char* text, const char* path, std::size_t length)
{
    for (std::size_t i = 0; i < length; ++i) {
        if (!text[i] || Folded(text[i]) != Folded(path[i]))
            return false;
    }
    return true;
}

// Past the program's own path at the start of `p`, when it is written there in full or
// without ".exe" and ends where it should: at the end or before a blank, or at the
// closing quote; null otherwise.
const char* PastOwnPath(const char* p, const char* programPath)
{
    bool quoted = *p == '"';
    if (quoted)
        ++p;
    std::size_t length = std::strlen(programPath);
    std::size_t stem = length > 4 && BeginsWith(programPath + length - 4, ".exe", 4) ? length - 4 : length;
    const std::size_t lengths[2] = {length, stem};
    for (std::size_t compared : lengths) {
        if (!compared || !BeginsWith(p, programPath, compared))
            continue;
        const char* end = p + compared;
        if (quoted && *end == '"')
            return end + 1;
        if (!quoted && (!*end || IsBlank(*end)))
            return end;
    }
    return nullptr;
}

// The first token of the command line: up to the closing quote, or to the first blank.
const char* PastFirstToken(const char* p)
{
    if (*p == '"') {
        ++p;
        while (*p && *p != '"')
            ++p;
        if (*p == '"')
            ++p;
    } else {
        while (*p && !IsBlank(*p))
            ++p;
    }
    return p;
}

}  // namespace

const char* CommandArguments(const char* commandLine, const char* programPath)
{
    const char* p = commandLine ? commandLine : "";
    const char* start = p;
    while (IsBlank(*start))
        ++start;
    const char* end = programPath ? PastOwnPath(start, programPath) : nullptr;
    if (!end)
        end = PastFirstToken(p);
    while (IsBlank(*end))
        ++end;
    return end;
}

const char* CommandArguments(const char* commandLine)
{
    // GetModuleFileNameA leaves a full buffer unterminated on XP; a cut path matches nothing.
    char path[MAX_PATH];
    DWORD length = os::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return CommandArguments(commandLine, length > 0 && length < MAX_PATH ? path : nullptr);
}

bool HasOption(const char* commandLine, const char* option)
{
    return std::strstr(CommandArguments(commandLine), option) != nullptr;
}

bool HasSwitch(const char* commandLine, const char* name)
{
    return ArgumentsHaveSwitch(CommandArguments(commandLine), name);
}

bool ArgumentsHaveSwitch(const char* arguments, const char* name)
{
    String dash("-");
    String slash("/");
    return std::strstr(arguments, dash.Append(name).c_str()) || std::strstr(arguments, slash.Append(name).c_str());
}

String SwitchValue(const char* commandLine, const char* name)
{
    return ArgumentsSwitchValue(CommandArguments(commandLine), name);
}

String ArgumentsSwitchValue(const char* arguments, const char* name)
{
    String dash("-");
    String slash("/");
    dash.Append(name).Append(':');
    slash.Append(name).Append(':');
    const char* found = std::strstr(arguments, dash.c_str());
    const char* slashed = std::strstr(arguments, slash.c_str());
    if (!found || (slashed && slashed < found))
        found = slashed;
    if (!found)
        return String();
    // A quote before the switch quotes the whole argument; one after it, the value.
    bool quoted = found > arguments && found[-1] == '"';
    const char* value = found + dash.size();
    if (!quoted && *value == '"') {
        quoted = true;
        ++value;
    }
    const char* end = value;
    while (*end && (quoted ? *end != '"' : !IsBlank(*end)))
        ++end;
    return String(value, static_cast<std::size_t>(end - value));
}
