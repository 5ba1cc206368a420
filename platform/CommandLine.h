// The process's command line as the program reads its switches.
#pragma once

#include "platform/String.h"

// The text after the program's name, blanks after it skipped. The name ends after the
// program's own path (`programPath`) when the command line begins with it: quoted or
// not, after blanks and tabs, ignoring case, with or without ".exe". A folder such as
// "C:\my -quiet app\" then never gives a switch, also when a service or a deployment
// agent passes that path unquoted. Any other command line ("Vantinst.exe -quiet" typed
// in the program's folder) ends its first token at the closing quote or the first blank.
const char* CommandArguments(const char* commandLine, const char* programPath);
// The same with the running program's path (GetModuleFileNameA).
const char* CommandArguments(const char* commandLine);

// Whether the arguments (not the program's own path) contain `option` as a
// case-sensitive substring.
bool HasOption(const char* commandLine, const char* option);

// A switch as administrators type it: "-name" or "/name", each found the way HasOption
// finds it (`name` without the dash or slash).
bool HasSwitch(const char* commandLine, const char* name);
// The same in arguments already told from the program's name (CommandArguments).
bool ArgumentsHaveSwitch(const char* arguments, const char* name);

// The value of a switch with one, "-name:VALUE" or "/name:VALUE", found as HasSwitch
// finds the switch: up to the next blank, or in quotes up to the closing quote. Both
// ways of quoting a value with blanks are taken: /log:"C:\my logs\pc.log", and
// "/log:C:\my logs\pc.log" as many tools quote a whole argument. Empty when the
// switch is absent.
String SwitchValue(const char* commandLine, const char* name);
String ArgumentsSwitchValue(const char* arguments, const char* name);
