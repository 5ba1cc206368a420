#include "services/ProgramOptions.h"

#include "platform/CommandLine.h"

ProgramOptions ReadProgramOptions(const char* commandLine)
{
    // The program's name is told from its arguments once, with one look at its path.
    const char* arguments = CommandArguments(commandLine);
    ProgramOptions options;
    options.quiet = ArgumentsHaveSwitch(arguments, "quiet");
    options.noRestart = ArgumentsHaveSwitch(arguments, "norestart");
    options.info = ArgumentsHaveSwitch(arguments, "info");
    options.logPath = ArgumentsSwitchValue(arguments, "log");
    return options;
}
