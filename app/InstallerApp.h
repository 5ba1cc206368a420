// The installer's application object: start-up checks the installed driver and shows the
// dialog only when there is something to install.
#pragma once

#include "dib/DibImage.h"
#include "platform/Application.h"
#include "services/ProgramOptions.h"

class InstallerApp : public Application {
public:
    bool StartUp() override;

    DibImage bitmap;

private:
    // The run after the log has begun: the exit status.
    int Run();

    // What the command line asks of this run, read at the start of StartUp.
    ProgramOptions options_;
};
