// A fresh simulated Windows and application state for every test.
#pragma once

#include "app/InstallerApp.h"
#include "tests/sim/SimWindows.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

class SimTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        sim::Reset();
        InstallerApp& app = TheApp();
        app.LanguageOffset = 0;
        app.SetMainWindow(nullptr);
        app.SetExitCode(0);
        app.SetQuiet(false);
    }

    static sim::World& World() { return sim::Get(); }

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
