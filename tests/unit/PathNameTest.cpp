// Where a path's last component begins, and joining a directory and a name: the one
// rule that the program's folder, its title and the system DLLs' paths share.
#include "platform/Application.h"
#include "platform/PathName.h"

#include <gtest/gtest.h>

namespace {

TEST(PathNameTest, LastComponentFollowsABackslashASlashOrTheDriveColon)
{
    struct Case {
        const char* path;
        const char* last;
        const char* title;
    } cases[] = {
        {"C:\\Setup\\Vantinst.exe", "Vantinst.exe", "Vantinst"},
        {"C:Vantinst.exe", "Vantinst.exe", "Vantinst"},
        {"C:/Setup/Vantinst.exe", "Vantinst.exe", "Vantinst"},
        {"\\\\server\\share\\Setup.exe", "Setup.exe", "Setup"},
        {"\\\\?\\C:\\Setup\\Vantinst.exe", "Vantinst.exe", "Vantinst"},
        {"C:\\Setup\\", "", ""},
        {"Vantinst", "Vantinst", "Vantinst"},
        // A colon past the drive is part of the name, not a separator.
        {"C:\\Setup\\a:b.exe", "a:b.exe", "a:b"},
        {"", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_STREQ(LastPathComponent(c.path), c.last) << c.path;
        EXPECT_STREQ(TitleFromPath(c.path).c_str(), c.title) << c.path;
    }
}

TEST(PathNameTest, JoinPutsOneBackslashBetween)
{
    EXPECT_STREQ(JoinPath("C:\\WINDOWS\\system32", "newdev.dll").c_str(), "C:\\WINDOWS\\system32\\newdev.dll");
    EXPECT_STREQ(JoinPath("C:\\", "Vantinst.log").c_str(), "C:\\Vantinst.log");
    EXPECT_STREQ(JoinPath("", "newdev.dll").c_str(), "newdev.dll");
}

}  // namespace
