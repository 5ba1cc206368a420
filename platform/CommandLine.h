// The process's command line as the program reads its switches.
#pragma once

// The text after the program's name: skips a quoted or unquoted first token and the blanks after it.
const char* CommandArguments(const char* commandLine);

// Whether the arguments (not the program's own path) contain `option` as a
// case-sensitive substring.
bool HasOption(const char* commandLine, const char* option);

// A switch as administrators type it: "-name" or "/name", each found the way HasOption
// finds it (`name` without the dash or slash).
bool HasSwitch(const char* commandLine, const char* name);
bool ProgramHasSwitch(const char* name);
