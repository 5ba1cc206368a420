// Runs the installed-driver check on each file named on the command line, through the
// real VERSION functions, and prints "<result> <path>" per file.
#include "services/DriverVersionCheck.h"

#include <cstdio>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        std::printf("%d %s\n", CheckDriverFileVersion(argv[i]), argv[i]);
    return 0;
}
