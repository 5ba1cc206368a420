// A fresh simulated Windows and a fresh application object for every test.
#pragma once

#include "app/InstallerApp.h"
#include "services/Messages.h"
#include "services/ProgramOptions.h"
#include "tests/sim/SimWindows.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <vector>

// A text of the catalogue as LoadMessage gives it: for the id as given, no language offset added.
inline std::string Text(UINT id) { return LoadMessage(id).c_str(); }

// `text` with each %s replaced in turn by the next of `inserts`. The tests' own reading of
// a filled-in message, kept apart from the program's formatter so that a slip there shows.
inline std::string WithInserts(std::string text, std::initializer_list<std::string> inserts)
{
    std::size_t at = 0;
    for (const std::string& insert : inserts) {
        at = text.find("%s", at);
        if (at == std::string::npos)
            break;
        text.replace(at, 2, insert);
        at += insert.size();
    }
    return text;
}

class SimTest : public ::testing::Test {
protected:
    void SetUp() override { sim::Reset(); }

    static sim::World& World() { return sim::Get(); }

    // What the program would read from the simulated command line.
    static ProgramOptions CommandLineOptions() { return ReadProgramOptions(World().commandLine.c_str()); }

    InstallerApp app;
    // Boxes of the code under test belong to `app`, as StartUp arranges for the program.
    MessageContext boxes{app};

    // A Windows folder with drivers\ and dllcache\, and the package's three driver files in
    // C:\Setup beside the program (no picture).
    static void AddWindowsAndPackage()
    {
        World().directories = {sim::Key("C:\\WINDOWS"), sim::Key("C:\\WINDOWS\\System32\\drivers"),
                               sim::Key("C:\\WINDOWS\\System32\\dllcache")};
        for (const char* name : {"orvelxpparallel.sys", "orvel2kparallel.sys", "orvel2kparport.sys"})
            sim::AddFile(std::string("C:\\Setup\\") + name, name);
    }

    // The openings of a picture file (the log file is opened on every run as well).
    static std::vector<std::string> PictureOpenings()
    {
        std::vector<std::string> pictures;
        for (const std::string& entry : sim::LogOf("CreateFile")) {
            if (entry.size() >= 7 && entry.compare(entry.size() - 7, 7, "OEM.BMP") == 0)
                pictures.push_back(entry);
        }
        return pictures;
    }

    static std::vector<std::string> BoxTexts()
    {
        std::vector<std::string> texts;
        for (const sim::Box& box : sim::Get().boxes)
            texts.push_back(box.text);
        return texts;
    }
};
