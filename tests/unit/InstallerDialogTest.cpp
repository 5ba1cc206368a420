#include "app/AboutDialog.h"
#include "app/InstallerDialog.h"
#include "platform/MessageTable.h"
#include "res/resource.h"
#include "services/Messages.h"
#include "tests/unit/SimTest.h"

#include <string>

namespace {

class Probe : public Dialog {
public:
    Probe() : Dialog(IDD_ABOUT, nullptr) {}
    INT_PTR First(WPARAM, LPARAM) { return 1; }
    INT_PTR Second(WPARAM, LPARAM) { return 2; }
};

TEST(MessageTableTest, FirstMatchWinsAndCommandsMatchCodeAndId)
{
    const MessageEntry table[] = {
        {WM_TIMER, 0, 0, Handler(&Probe::First)},
        {WM_COMMAND, BN_CLICKED, IDC_INSTALL, Handler(&Probe::First)},
        {WM_TIMER, 0, 0, Handler(&Probe::Second)},
        {WM_COMMAND, 5, IDC_INSTALL, Handler(&Probe::Second)},
        {0, 0, 0, nullptr},
    };
    EXPECT_EQ(FindMessageEntry(table, WM_TIMER, 7), &table[0]);
    EXPECT_EQ(FindMessageEntry(table, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, BN_CLICKED)), &table[1]);
    EXPECT_EQ(FindMessageEntry(table, WM_COMMAND, MAKEWPARAM(IDC_INSTALL, 5)), &table[3]);
    EXPECT_EQ(FindMessageEntry(table, WM_COMMAND, MAKEWPARAM(IDC_INSTALL + 1, BN_CLICKED)), nullptr);
    EXPECT_EQ(FindMessageEntry(table, WM_PAINT, 0), nullptr);
}

class InstallerDialogTest : public SimTest {
protected:
    // Runs the main dialog; `during` acts as the user while it is up.
    void Run(std::function<void(InstallerDialog&, HWND)> during)
    {
        aboutCaption.clear();
        aboutOwner = mainOwner = mainWindow = nullptr;
        World().onModal = [during](Dialog& dialog, HWND window) {
            if (dialog.TemplateId() == IDD_INSTALLER && during)
                during(static_cast<InstallerDialog&>(dialog), window);
            if (dialog.TemplateId() == IDD_ABOUT) {
                aboutCaption = sim::FromHandle(window)->text;
                aboutOwner = sim::FromHandle(window)->owner;
            } else {
                mainOwner = sim::FromHandle(window)->owner;
                mainWindow = window;
            }
        };
        InstallerDialog dialog(app, options, nullptr, picture);
        dialog.DoModal();
    }

    static inline std::string aboutCaption;
    static inline HWND aboutOwner, mainOwner, mainWindow;
    DibImage picture;  // empty unless a test draws one
    ProgramOptions options;
};

TEST_F(InstallerDialogTest, InitialisationPutsTheCatalogueTextsInPlace)
{
    Run([this](InstallerDialog& dialog, HWND window) {
        sim::Window* w = sim::FromHandle(window);
        EXPECT_EQ(w->text, Text(MSG_MAIN_TITLE));
        EXPECT_EQ(sim::Child(window, IDC_EXPLANATION)->text, Text(MSG_EXPLANATION));
        EXPECT_EQ(sim::Child(window, IDC_INSTALL)->text, Text(MSG_INSTALL_BUTTON));
        EXPECT_EQ(sim::Child(window, IDCANCEL)->text, Text(MSG_EXIT_BUTTON));
        EXPECT_TRUE(sim::Child(window, IDC_INSTALL)->enabled);
        EXPECT_FALSE(sim::Child(window, IDC_PROGRESS)->visible);
        EXPECT_FALSE(sim::Child(window, IDC_PROGRESS)->enabled);
        EXPECT_EQ(dialog.progressBar.Window(), sim::Handle(sim::Child(window, IDC_PROGRESS)));
        ASSERT_EQ(w->systemMenu.items.size(), 2u);
        EXPECT_EQ(w->systemMenu.items[0].flags, MF_SEPARATOR);
        EXPECT_EQ(w->systemMenu.items[1].id, static_cast<UINT_PTR>(IDM_ABOUTBOX));
        EXPECT_EQ(w->systemMenu.items[1].text, Text(MSG_ABOUT_ENTRY));
        EXPECT_NE(dialog.icon, nullptr);
        EXPECT_EQ(w->bigIcon, reinterpret_cast<LPARAM>(dialog.icon));
        EXPECT_EQ(w->smallIcon, reinterpret_cast<LPARAM>(dialog.icon));
        EXPECT_EQ(app.MainWindow(), window);
    });
    EXPECT_EQ(sim::LogOf("SetIcon"), (std::vector<std::string>{"SetIcon 1", "SetIcon 0"}));
    EXPECT_EQ(sim::LogOf("CenterWindow").size(), 1u);
    EXPECT_EQ(app.MainWindow(), nullptr) << "no owner for boxes once the dialog is gone";
    EXPECT_EQ(sim::LogOf("WinHelp"), std::vector<std::string>{"WinHelp 2 0"});
}

TEST_F(InstallerDialogTest, AnEmptyAboutEntryAddsNothingToTheMenu)
{
    World().stringOverrides[MSG_ABOUT_ENTRY] = "";
    Run([](InstallerDialog&, HWND window) { EXPECT_TRUE(sim::FromHandle(window)->systemMenu.items.empty()); });
}

TEST_F(InstallerDialogTest, SystemCommandsOpenTheAboutBoxOnlyForItsEntry)
{
    Run([](InstallerDialog& dialog, HWND window) {
        for (WPARAM command : {WPARAM(IDM_ABOUTBOX), WPARAM(IDM_ABOUTBOX | 0x3), WPARAM(IDM_ABOUTBOX | 0xF)})
            EXPECT_EQ(dialog.Dispatch(window, WM_SYSCOMMAND, command, 0), TRUE);
        for (WPARAM command : {WPARAM(SC_CLOSE), WPARAM(SC_MOVE), WPARAM(IDM_ABOUTBOX + 0x10)})
            EXPECT_EQ(dialog.Dispatch(window, WM_SYSCOMMAND, command, 0), FALSE) << command;
    });
    EXPECT_EQ(sim::LogOf("DoModal " + std::to_string(IDD_ABOUT)).size(), 3u);
    EXPECT_EQ(aboutCaption, Text(MSG_ABOUT_ENTRY));
    EXPECT_EQ(mainOwner, nullptr);
    EXPECT_EQ(aboutOwner, mainWindow) << "the About box belongs to the main dialog";
}

struct EndingCommand {
    const char* name;
    int id;
};

void PrintTo(const EndingCommand& c, std::ostream* out) { *out << c.name; }

class EndingCommandTest : public InstallerDialogTest, public ::testing::WithParamInterface<EndingCommand> {};

TEST_P(EndingCommandTest, EndsTheDialogWithoutAMessage)
{
    int id = GetParam().id;
    Run([id](InstallerDialog& dialog, HWND window) {
        dialog.Dispatch(window, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
        EXPECT_TRUE(sim::FromHandle(window)->ended);
        EXPECT_EQ(sim::FromHandle(window)->endResult, id);
    });
    EXPECT_TRUE(World().boxes.empty());
}

// Exit and Escape arrive as IDCANCEL, Enter as IDOK (the template has no such button).
INSTANTIATE_TEST_SUITE_P(Commands, EndingCommandTest,
                         ::testing::Values(EndingCommand{"ExitOrEscape", IDCANCEL}, EndingCommand{"Enter", IDOK}),
                         [](const ::testing::TestParamInfo<EndingCommand>& info) { return std::string(info.param.name); });

TEST_F(InstallerDialogTest, TimerStepsTheBarOnlyWhileItIsEnabled)
{
    Run([](InstallerDialog& dialog, HWND window) {
        sim::Window* bar = sim::Child(window, IDC_PROGRESS);
        dialog.Dispatch(window, WM_TIMER, 1, 0);
        EXPECT_EQ(bar->position, 0);
        EXPECT_TRUE(sim::LogOf("InvalidateRect").empty());
        bar->enabled = true;
        bar->step = 1;
        dialog.Dispatch(window, WM_TIMER, 1, 0);
        EXPECT_EQ(bar->position, 1);
    });
    EXPECT_EQ(sim::LogOf("InvalidateRect"), std::vector<std::string>{"InvalidateRect " + std::to_string(IDC_PROGRESS) + " all erase"});
    EXPECT_EQ(sim::LogOf("UpdateWindow"), std::vector<std::string>{"UpdateWindow " + std::to_string(IDC_PROGRESS)});
}

TEST_F(InstallerDialogTest, BarStartsAgainFromZeroAfterSeventyFive)
{
    Run([](InstallerDialog& dialog, HWND window) {
        // The bar as the installation sets it up, one step before its end.
        sim::Window* bar = sim::Child(window, IDC_PROGRESS);
        os::SendMessageA(sim::Handle(bar), PBM_SETRANGE, 0, MAKELPARAM(0, 75));
        os::SendMessageA(sim::Handle(bar), PBM_SETSTEP, 1, 0);
        bar->enabled = true;
        bar->position = 74;
        std::vector<int> positions;
        for (int tick = 0; tick < 3; ++tick) {
            dialog.Dispatch(window, WM_TIMER, 1, 0);
            positions.push_back(bar->position);
        }
        EXPECT_EQ(positions, (std::vector<int>{75, 0, 1}));
    });
}

// While the installation shows its boxes the mouse may move over the dialog: each
// WM_SETCURSOR puts the hourglass back instead of the class cursor.
TEST_F(InstallerDialogTest, HourglassStaysOverTheDialogWhileTheWaitCursorIsOn)
{
    Run([this](InstallerDialog& dialog, HWND window) {
        WPARAM over = reinterpret_cast<WPARAM>(window);
        EXPECT_EQ(dialog.Dispatch(window, WM_SETCURSOR, over, 0), FALSE) << "the class cursor when idle";
        EXPECT_TRUE(sim::LogOf("SetCursor").empty());

        app.BeginWaitCursor();
        World().cursor = "arrow";  // what the system set while the mouse crossed other windows
        EXPECT_EQ(dialog.Dispatch(window, WM_SETCURSOR, over, 0), TRUE);
        EXPECT_EQ(World().cursor, "wait");
        EXPECT_EQ(dialog.Dispatch(window, WM_SETCURSOR, over, 0), TRUE);
        EXPECT_EQ(World().cursor, "wait");

        app.EndWaitCursor();
        EXPECT_EQ(World().cursor, "arrow");
        EXPECT_EQ(dialog.Dispatch(window, WM_SETCURSOR, over, 0), FALSE);
        EXPECT_EQ(World().cursor, "arrow");
    });
    EXPECT_EQ(sim::LogOf("SetCursor"),
              (std::vector<std::string>{"SetCursor wait", "SetCursor wait", "SetCursor wait", "SetCursor arrow"}));
}

TEST_F(InstallerDialogTest, PaintingDrawsThePictureOrTheCentredIcon)
{
    EXPECT_EQ(MinimisedIconPosition(0, 0, 32, 32).x, -15);
    EXPECT_EQ(MinimisedIconPosition(0, 0, 32, 32).y, -15);
    EXPECT_EQ(MinimisedIconPosition(100, 37, 32, 32).x, 34);
    EXPECT_EQ(MinimisedIconPosition(100, 37, 32, 32).y, 3);

    // An 8 by 2 picture of 16 colours, all pixels colour 0.
    picture.info.header = BITMAPINFOHEADER{40, 8, 2, 1, 4, BI_RGB, 0, 0, 0, 0, 0};
    ASSERT_TRUE(picture.bits.Allocate(8));
    Run([](InstallerDialog& dialog, HWND window) {
        dialog.Dispatch(window, WM_PAINT, 0, 0);
        sim::FromHandle(window)->iconic = true;
        sim::FromHandle(window)->client = RECT{0, 0, 0, 0};
        dialog.Dispatch(window, WM_PAINT, 0, 0);
        EXPECT_EQ(dialog.Dispatch(window, WM_QUERYDRAGICON, 0, 0), reinterpret_cast<INT_PTR>(dialog.icon));
    });
    ASSERT_EQ(sim::LogOf("StretchDIBits").size(), 1u);
    EXPECT_EQ(sim::LogOf("StretchDIBits")[0].substr(0, 45), "StretchDIBits 2 2 190x102 from 0 0 190x102 bi");
    EXPECT_EQ(sim::LogOf("IconEraseBkgnd").size(), 1u);
    EXPECT_EQ(sim::LogOf("DrawIcon"), std::vector<std::string>{"DrawIcon -15 -15"});
    EXPECT_EQ(sim::LogOf("BeginPaint").size(), 2u);
    EXPECT_EQ(sim::LogOf("EndPaint").size(), 2u);
}

}  // namespace
