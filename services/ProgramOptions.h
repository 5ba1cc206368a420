// What the command line asks of one run. The application object reads it once at
// start-up and hands it to the parts that act on it; none of them looks at the command
// line itself.
#pragma once

#include "platform/String.h"

struct ProgramOptions {
    bool quiet = false;      // -quiet: no window, no box; a question takes its default answer
    bool noRestart = false;  // -norestart: no restart after a successful installation
    bool info = false;       // -info: the driver family's name in a box before the update
    String logPath;          // -log:PATH; empty for Vantinst.log in the Windows directory
};

// The options in the arguments of `commandLine` (not in the program's own path), each in
// its dash or slash form.
ProgramOptions ReadProgramOptions(const char* commandLine);
