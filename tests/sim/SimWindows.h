// A simulated Windows for the host tests: windows and controls, files with attributes
// and version resources, message boxes with scripted answers, timers, libraries, the
// last-error value and a log of the calls that matter for ordering.
#pragma once

#include "platform/Win.h"

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

class Dialog;

namespace sim {

struct Menu {
    struct Item {
        UINT flags;
        UINT_PTR id;
        std::string text;
    };
    std::vector<Item> items;
};

struct Window {
    int id = 0;
    std::string className;
    std::string text;
    bool enabled = true;
    bool visible = true;
    bool iconic = false;
    RECT client{0, 0, 600, 200};
    Window* parent = nullptr;
    HWND owner = nullptr;  // a modal dialog's owner
    std::vector<std::unique_ptr<Window>> children;
    Dialog* dialog = nullptr;
    LPARAM bigIcon = 0;
    LPARAM smallIcon = 0;
    bool hasSystemMenu = true;
    Menu systemMenu;
    int rangeLow = 0, rangeHigh = 100, step = 10, position = 0;  // progress bars
    bool ended = false;
    INT_PTR endResult = 0;
};

struct Box {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
    std::string dialogText;  // the owner's explanation (IDC_EXPLANATION) while the box was up
    bool waitCursor;         // whether the hourglass was shown while the box was up
};

struct VersionResource {
    bool hasRoot = true;
    std::string root;  // bytes of the root block; default: a fixed block with the right signature
    std::vector<DWORD> translations;
    std::map<std::string, std::string> values;  // query path -> value bytes (terminator included or not)
};

struct File {
    std::string data;
    DWORD attributes = FILE_ATTRIBUTE_ARCHIVE;
    std::shared_ptr<VersionResource> version;
    // Bytes before `data` that the tests do not hold in memory: a log past 4 GiB. Only
    // the size counts them.
    unsigned long long unstored = 0;
};

// One CreateFileA call: the path and the way it asked to open the file.
struct FileOpening {
    std::string path;
    DWORD access, share, disposition, flags;
};

struct World {
    // Windows version and paths
    BOOL versionQueryWorks = TRUE;
    DWORD platformId = VER_PLATFORM_WIN32_NT, major = 5, minor = 1, build = 2600;
    std::string servicePack = "Service Pack 3";
    std::string modulePath = "C:\\Setup\\Vantinst.exe";
    // The program's path as the file system spells it; empty: modulePath read in code
    // page 1252. Windows hands out a best-fit look-alike as modulePath when the code
    // page cannot spell a character of it.
    std::u16string moduleWidePath;
    std::string windowsDirectory = "C:\\WINDOWS";
    std::string commandLine = "\"C:\\Setup\\Vantinst.exe\"";
    DWORD lastError = 0;

    // files and directories; paths compared without case
    std::map<std::string, File> files;
    std::set<std::string> directories;
    std::set<std::string> attributeWritesFail;
    int openFiles = 0;
    std::set<std::string> writesFail;  // files that cannot be created or written
    std::set<std::string> readsFail;   // files that cannot be opened for reading (append-only rights)
    DWORD processId = 1460;
    SYSTEMTIME localTime{2026, 12, 4, 10, 14, 3, 59, 0};
    std::vector<FileOpening> openings;  // every CreateFileA, in order
    int failReadAfterBytes = -1;  // a read error of the file system once this much was read
    bool failSeek = false;

    // message boxes: answers for Yes/No boxes, in order
    std::vector<Box> boxes;
    std::deque<int> answers;
    int timerTicksPerBox = 0;  // WM_TIMER rounds each box's loop delivers to dialog-backed windows

    // the string table; entries here replace the catalogue's (an empty text removes one)
    std::map<UINT, std::string> stringOverrides;
    std::map<DWORD, std::string> errorDescriptions;
    int allocatedDescriptions = 0;

    // newdev.dll
    bool newdevLoads = true;
    DWORD newdevLoadError = ERROR_MOD_NOT_FOUND;
    bool newdevHasEntry = true;
    std::deque<DWORD> updateResults;  // 0: success, else the failure's last-error value
    // A success puts the driver files in drivers\ as Windows' update does; false: a faulty
    // class installer, or Wine's update for a hardware id that no device has.
    bool updateDelivers = true;
    // What a successful update answers through its reboot-required pointer, when given one.
    BOOL updateNeedsRestart = FALSE;
    int loadedLibraries = 0;

    // setupapi.dll's CMP_WaitNoPendingInstallEvents: whether Windows has it, and what it
    // answers (WAIT_OBJECT_0 when no installation is pending)
    bool setupapiLoads = true;
    bool setupapiHasWait = true;
    DWORD pendingWaitResult = WAIT_OBJECT_0;

    // Administrators group: 1 the user is a member, 0 not; -1 the membership check fails,
    // -2 the group's SID cannot even be built
    int administrator = 1;
    DWORD adminCheckError = 1008;  // ERROR_NO_TOKEN
    int liveSids = 0;

    // the installer lock: "free", "held" by another run, "abandoned" by a crashed one;
    // a nonzero createError makes CreateMutexA fail with it
    std::string mutexState = "free";
    DWORD mutexCreateError = 0;
    std::vector<std::string> mutexNames;  // every name asked for
    bool mutexOwned = false;              // by this run, after a wait that gave it
    int openMutexes = 0;

    // restart
    BOOL tokenOpens = TRUE;
    DWORD adjustError = ERROR_SUCCESS;
    BOOL exitWindowsWorks = TRUE;

    // timers and cursor
    std::map<UINT_PTR, HWND> timers;
    std::string cursor = "arrow";

    // what the user does while a dialog runs (called after its initialisation)
    std::function<void(Dialog&, HWND)> onModal;
    // what the user does while a message box is up (called with its text, before it is answered)
    std::function<void(const std::string&)> onBox;
    std::vector<std::unique_ptr<Window>> topLevel;

    std::vector<std::string> log;
};

World& Get();
void Reset();

std::string Key(const std::string& path);
void AddFile(const std::string& path, std::string data = "", DWORD attributes = FILE_ATTRIBUTE_ARCHIVE);
File* FindFile(const std::string& path);
// A version resource whose first translation is German/1252 and whose marker reads `value`.
std::shared_ptr<VersionResource> MarkerVersion(const std::string& value);

// A dialog template of res/vantinst.rc as the simulator creates it: the caption, and each
// control's id, class, text and initial state (SimTemplates.cpp reads them).
struct TemplateControl {
    int id = 0;
    std::string className;
    std::string text;
    bool enabled = true;
    bool visible = true;
};
struct DialogTemplate {
    std::string caption;
    std::vector<TemplateControl> controls;
};
// The template `templateId` (an IDD_ id) of res/vantinst.rc; read once, then kept.
const DialogTemplate& Template(UINT templateId);

Window* FromHandle(HWND window);
HWND Handle(Window* window);
// A dialog window with the controls of the template `templateId`, as the template creates them.
HWND CreateDialogWindow(UINT templateId, Dialog* dialog);
Window* Child(HWND dialog, int id);
// The text of a dialog's explanation (IDC_EXPLANATION), or "" when it has none.
std::string ExplanationOf(HWND dialog);

// Entries of the log that start with `prefix`.
std::vector<std::string> LogOf(const std::string& prefix);
}  // namespace sim
