// Paths of the files that ship beside the program, and the system directory.
#pragma once

#include "platform/String.h"

// The full path of the last component of `name` in the directory of `programPath`
// (drive and directory up to the last separator). Never cut: a path cut at MAX_PATH
// names another file ("...\\orvelxpparallel.in").
String JoinProgramDirectory(const char* programPath, const char* name);

// Whether `path` fits the ANSI file functions (less than MAX_PATH characters). When it
// does not, message 1133 names it whole and the caller gives up what needed it.
bool PathFitsOrReport(const String& path);

// The full path of `name` in the directory of the running program.
String ProgramDirectoryPath(const char* name);

// The Windows directory followed by "\System32\".
String SystemDirectoryPath();
