// The installation log: every run appends a block to Vantinst.log in the Windows
// directory, or to the file that /log:PATH names, so that support staff can tell
// afterwards what happened on a machine and administrators can see what a quiet run
// did. ANSI text with CR LF line ends, which Notepad on Windows 2000 and XP shows. A log
// that cannot be opened or written changes nothing about the run.
#pragma once

#include "platform/Owners.h"
#include "platform/String.h"
#include "platform/Win.h"
#include "services/MessageFormat.h"

// When the log has grown past this at start, it becomes Vantinst.old.log (replacing the
// one before; for /log:PC1.log, PC1.old.log beside it) and a new log begins.
constexpr DWORD kInstallLogLimit = 512 * 1024;

// The log of one run: opened with the run's first line (date and time, the program's
// version, the whole `commandLine`); LogLine writes to it while it lives. Every line of
// the block begins with the run's process id in brackets, "(1460) ", so that the lines
// of runs side by side can be told apart; no line ends in a blank. `chosenPath` is the
// administrator's /log:PATH, empty for the Windows directory's log.
class InstallLog {
public:
    InstallLog(const char* commandLine, const String& chosenPath);
    InstallLog(const InstallLog&) = delete;
    InstallLog& operator=(const InstallLog&) = delete;
    ~InstallLog();

    // Appends one entry in a single write, so that two runs at once never tear each
    // other's lines; a text with line breaks continues on indented lines.
    void Write(const char* text);

private:
    // Opens `path` for appending, first moving a log past the limit aside; false, with
    // the reason as the last-error value, when it cannot be opened.
    bool Open(const String& path);
    // The block's header, and `note` after it when there is one.
    void Begin(const char* commandLine, const String& note);
    // The text as the log's lines: each tagged with the run, the first after one blank,
    // the others indented; CR LF after each.
    String Lines(const char* text) const;
    void Put(const String& entry);

    ScopedHandle file_;
    DWORD size_ = 0;
    bool sizeKnown_ = false;
    String tag_;
    InstallLog* outer_;
};

// Writes to the log of the run, if there is one.
void LogLine(const char* text);
inline void LogLine(const String& text) { LogLine(text.c_str()); }
