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
    }

    static sim::World& World() { return sim::Get(); }

    static std::vector<std::string> BoxTexts()
    {
        std::vector<std::string> texts;
        for (const sim::Box& box : sim::Get().boxes)
            texts.push_back(box.text);
        return texts;
    }
};
