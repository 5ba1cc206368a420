#include "res/Catalogue.h"
#include "res/resource.h"
#include "services/MessageFormat.h"
#include "services/Messages.h"
#include "tests/unit/SimTest.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

struct FormatCase {
    const char* format;
    const char* first;
    const char* second;
    const char* expected;
};

class FormatInsertsTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatInsertsTest, FillsPlaceholdersInOrder)
{
    const FormatCase& c = GetParam();
    EXPECT_EQ(std::string(FormatInserts(c.format, c.first, c.second).c_str()), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, FormatInsertsTest,
                         ::testing::Values(FormatCase{"copy %s to %s", "a", "b", "copy a to b"},
                                           FormatCase{"attr %s", "a", "b", "attr a"},
                                           FormatCase{"attr %s", nullptr, "b", "attr b"},
                                           FormatCase{"copy %s to %s", nullptr, "b", "copy b to "},
                                           FormatCase{"100%% of %s", "x", nullptr, "100% of x"},
                                           FormatCase{"no inserts", "a", nullptr, "no inserts"},
                                           FormatCase{"%s", "%s%s", nullptr, "%s%s"},
                                           FormatCase{"end %", "a", nullptr, "end %"}));

TEST(WithErrorCodeTest, AppendsEightLowerCaseHexDigits)
{
    EXPECT_STREQ(WithErrorCode("t", 0x7e).c_str(), "t [0000007e]");
    EXPECT_STREQ(WithErrorCode("t", 0xE000020B).c_str(), "t [e000020b]");
    EXPECT_STREQ(WithErrorCode("t", 0).c_str(), "t [00000000]");
}

class MessagesTest : public SimTest {};

TEST_F(MessagesTest, ShowMessagePutsInsertsIntoTheCatalogueText)
{
    ShowMessage(MSG_COPY_FAILED, "C:\\Setup\\a.sys", "C:\\WINDOWS\\system32\\drivers\\a.sys");
    ShowMessage(MSG_ATTRIBUTES_NOT_READ, "C:\\x.sys", "ignored");
    ShowMessage(MSG_ATTRIBUTES_NOT_READ, nullptr, "second");
    ASSERT_EQ(World().boxes.size(), 3u);
    EXPECT_EQ(World().boxes[0].text,
              WithInserts(Text(MSG_COPY_FAILED), {"C:\\Setup\\a.sys", "C:\\WINDOWS\\system32\\drivers\\a.sys"}));
    EXPECT_EQ(World().boxes[1].text, WithInserts(Text(MSG_ATTRIBUTES_NOT_READ), {"C:\\x.sys"}));
    EXPECT_EQ(World().boxes[2].text, WithInserts(Text(MSG_ATTRIBUTES_NOT_READ), {"second"}));
    for (const sim::Box& box : World().boxes) {
        EXPECT_EQ(box.caption, "Vantinst");
        EXPECT_EQ(box.style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(box.owner, nullptr);
    }
}

TEST_F(MessagesTest, ShowMessageWithoutInsertsShowsTheTextUnformatted)
{
    World().stringOverrides[MSG_GETVERSIONEX_FAILED] = "100% sicher %s";
    ShowMessage(MSG_GETVERSIONEX_FAILED);
    ShowMessage(MSG_INSTALLED_RESTART);
    ASSERT_EQ(World().boxes.size(), 2u);
    EXPECT_EQ(World().boxes[0].text, "100% sicher %s");
    EXPECT_EQ(World().boxes[1].text, Text(MSG_INSTALLED_RESTART));
}

TEST_F(MessagesTest, LongPathsAreShownWhole)
{
    std::string source = "C:\\" + std::string(250, 's');
    std::string destination = "D:\\" + std::string(250, 'd');
    ShowMessage(MSG_COPY_FAILED, source.c_str(), destination.c_str());
    ASSERT_EQ(World().boxes.size(), 1u);
    EXPECT_EQ(World().boxes[0].text, WithInserts(Text(MSG_COPY_FAILED), {source, destination}));
}

TEST_F(MessagesTest, SystemErrorMessageAppendsTheLastErrorCode)
{
    struct Case {
        UINT id;
        DWORD code;
        const char* appended;  // after the catalogue text
    } cases[] = {
        {MSG_NEWDEV_NOT_LOADED, 126, " [0000007e]"},
        {MSG_DRIVER_NOT_INSTALLED, 0xE000020B, " [e000020b]"},
        {MSG_DRIVER_NOT_INSTALLED, 0, " [00000000]"},
    };
    World().errorDescriptions[126] = "Das angegebene Modul wurde nicht gefunden.\r\n";
    for (const Case& c : cases) {
        World().lastError = c.code;
        ShowSystemErrorMessage(c.id);
        EXPECT_EQ(World().boxes.back().text, Text(c.id) + c.appended);
    }
    EXPECT_EQ(World().allocatedDescriptions, 0) << "every description allocated was freed";
    EXPECT_EQ(sim::LogOf("FormatMessage").front(), "FormatMessage 4864 1024");
}

TEST_F(MessagesTest, SystemErrorMessageFormatsTheDescriptionIntoPlaceholders)
{
    World().stringOverrides[MSG_DRIVER_NOT_INSTALLED] = "%s: %s";
    World().errorDescriptions[5] = "Zugriff verweigert.";
    World().lastError = 5;
    ShowSystemErrorMessage(MSG_DRIVER_NOT_INSTALLED, "C:\\a");
    World().stringOverrides[MSG_DRIVER_NOT_INSTALLED] = "Fehler: %s";
    ShowSystemErrorMessage(MSG_DRIVER_NOT_INSTALLED);
    EXPECT_EQ(BoxTexts(), (std::vector<std::string>{"C:\\a: Zugriff verweigert. [00000005]",
                                                    "Fehler: Zugriff verweigert. [00000005]"}));
}

TEST_F(MessagesTest, AskMessageIgnoresTheLanguageOffsetAndReturnsTheAnswer)
{
    app.LanguageOffset = MSG_ENGLISH_OFFSET;
    World().answers = {IDYES, IDNO};
    EXPECT_EQ(AskMessage(MSG_ASK_COPY_FILES), IDYES);
    EXPECT_EQ(AskMessage(MSG_ASK_COPY_FILES), IDNO);
    EXPECT_EQ(World().boxes[0].text, Text(MSG_ASK_COPY_FILES));
    EXPECT_EQ(World().boxes[0].style, static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    ShowMessage(MSG_GETVERSIONEX_FAILED);
    EXPECT_EQ(World().boxes.back().text, Text(MSG_GETVERSIONEX_FAILED + MSG_ENGLISH_OFFSET));
}

TEST_F(MessagesTest, BoxesBelongToTheMainWindowWhileItIsUp)
{
    sim::Window dialog;
    app.SetMainWindow(sim::Handle(&dialog));
    ShowMessage(MSG_BMP_NOT_FOUND);
    EXPECT_EQ(World().boxes.back().owner, sim::Handle(&dialog));
}

TEST_F(MessagesTest, SetControlMessageChangesOnlyAnExistingControl)
{
    HWND dialog = sim::CreateDialogWindow(IDD_INSTALLER, nullptr);
    sim::FromHandle(dialog)->text = "unchanged";
    for (auto& control : sim::FromHandle(dialog)->children)
        control->text = "unchanged";
    SetControlMessage(dialog, IDCANCEL, MSG_EXIT_BUTTON);
    SetControlMessage(dialog, 4711, MSG_INSTALL_BUTTON);
    EXPECT_EQ(sim::Child(dialog, IDCANCEL)->text, Text(MSG_EXIT_BUTTON));
    for (int id : {IDC_INSTALL, IDC_EXPLANATION, IDC_PROGRESS})
        EXPECT_EQ(sim::Child(dialog, id)->text, "unchanged") << "control " << id;
    EXPECT_EQ(sim::FromHandle(dialog)->text, "unchanged") << "no control 4711: nothing else gets its text";

    app.LanguageOffset = MSG_ENGLISH_OFFSET;
    SetControlMessage(dialog, IDC_INSTALL, MSG_INSTALL_BUTTON);
    EXPECT_EQ(sim::Child(dialog, IDC_INSTALL)->text, Text(MSG_INSTALL_BUTTON + MSG_ENGLISH_OFFSET))
        << "the offset applies";
}

TEST_F(MessagesTest, LongEntriesLoadWhole)
{
    // The explanation as the string table holds it, longer than LoadMessage's first buffer.
    const CatalogueEntry* end = kCatalogue + kCatalogueSize;
    const CatalogueEntry* entry =
        std::find_if(kCatalogue, end, [](const CatalogueEntry& e) { return e.id == MSG_EXPLANATION; });
    ASSERT_NE(entry, end);
    ASSERT_GT(std::strlen(entry->text), 255u);
    EXPECT_EQ(std::string(LoadMessage(MSG_EXPLANATION).c_str()), entry->text);
    World().stringOverrides[MSG_EXPLANATION] = std::string(255, 'x');
    EXPECT_EQ(LoadMessage(MSG_EXPLANATION).size(), 255u);
    World().stringOverrides[MSG_EXPLANATION] = std::string(1000, 'y');
    EXPECT_EQ(LoadMessage(MSG_EXPLANATION).size(), 1000u);
    EXPECT_TRUE(LoadMessage(4242).empty());
}

}  // namespace
