// Paths of the files that ship beside the program, and the system directory.
#pragma once

#include "platform/String.h"

// The full path of the last component of `name` in the directory of `programPath`
// (drive and directory up to the last separator); never longer than MAX_PATH - 1.
String JoinProgramDirectory(const char* programPath, const char* name);

// The full path of `name` in the directory of the running program.
String ProgramDirectoryPath(const char* name);

// The Windows directory followed by "\System32\".
String SystemDirectoryPath();
