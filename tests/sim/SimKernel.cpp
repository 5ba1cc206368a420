// The simulated KERNEL32 and ADVAPI32: module, version, files, libraries, strings, token.
#include "res/Catalogue.h"
#include "tests/sim/SimWindows.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using sim::Get;

namespace {

HINSTANCE const kInstance = reinterpret_cast<HINSTANCE>(0x400000);
HMODULE const kNewdev = reinterpret_cast<HMODULE>(0x7000);
HMODULE const kSetupapi = reinterpret_cast<HMODULE>(0x7010);
HANDLE const kProcess = reinterpret_cast<HANDLE>(-1);
HANDLE const kToken = reinterpret_cast<HANDLE>(0x7100);
HANDLE const kMutex = reinterpret_cast<HANDLE>(0x7200);

struct OpenFile {
    std::string path;
    std::size_t position = 0;
    std::size_t delivered = 0;
    bool append = false;  // opened for FILE_APPEND_DATA: every write goes to the end
    bool read = false;    // opened for GENERIC_READ or FILE_READ_DATA; ReadFile needs it
};

DWORD CopyOut(const std::string& text, LPSTR buffer, DWORD size)
{
    // GetModuleFileNameA's way: at most `size` characters; a full buffer is not terminated.
    DWORD length = static_cast<DWORD>(text.size());
    DWORD copied = length < size ? length : size;
    std::memcpy(buffer, text.data(), copied);
    if (copied < size)
        buffer[copied] = '\0';
    return copied;
}

std::string Directory(const std::string& path)
{
    std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

// The ANSI file functions take paths of less than MAX_PATH characters only.
bool TooLong(const char* path)
{
    if (std::strlen(path) < MAX_PATH)
        return false;
    Get().lastError = ERROR_FILENAME_EXCED_RANGE;
    return true;
}

// Code page 1252: Latin-1, but for the printable characters in 0x80..0x9F.
char16_t FromCodePage1252(unsigned char c)
{
    static const char16_t high[32] = {
        0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
        0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
    return c >= 0x80 && c < 0xA0 ? high[c - 0x80] : static_cast<char16_t>(c);
}

bool DirectoryExists(const std::string& path)
{
    std::string key = sim::Key(path);
    return key.empty() || Get().directories.count(key) > 0 || key.size() == 2;
}

// What Windows' driver update does on success with the package's INF: its driver files
// land in system32\drivers (the files beside the INF, or a current stand-in when a test
// did not put them there).
void DeliverDriverFiles(const std::string& inf)
{
    std::string folder = Directory(inf);
    std::string name = folder.empty() ? inf : inf.substr(folder.size() + 1);
    std::vector<std::string> files;
    if (sim::Key(name) == "orvelxpparallel.inf")
        files = {"orvelxpparallel.sys"};
    else if (sim::Key(name) == "orvel2kparallel.inf")
        files = {"orvel2kparallel.sys", "orvel2kparport.sys"};
    for (const std::string& file : files) {
        sim::File delivered;
        delivered.data = "MZ";
        delivered.version = sim::MarkerVersion("1.59");
        if (sim::File* source = sim::FindFile(folder + "\\" + file))
            delivered = *source;
        Get().files[sim::Key(Get().windowsDirectory + "\\System32\\drivers\\" + file)] = delivered;
    }
}

BOOL FakeUpdate(HWND owner, LPCSTR hardwareId, LPCSTR inf, DWORD flags, PBOOL reboot)
{
    Get().log.push_back(std::string("UpdateDriver ") + hardwareId + " " + inf + " " + std::to_string(flags) +
                        (owner ? " owner" : "") + (reboot ? " reboot" : ""));
    DWORD result = 0;
    if (!Get().updateResults.empty()) {
        result = Get().updateResults.front();
        Get().updateResults.pop_front();
    }
    Get().lastError = result;
    if (result == 0 && Get().updateDelivers)
        DeliverDriverFiles(inf);
    if (reboot)
        *reboot = result == 0 ? Get().updateNeedsRestart : FALSE;
    return result == 0;
}

DWORD FakeWaitNoPendingInstallEvents(DWORD timeout)
{
    Get().log.push_back("CMP_WaitNoPendingInstallEvents " + std::to_string(timeout));
    if (Get().pendingWaitResult == WAIT_FAILED)
        Get().lastError = 5;
    return Get().pendingWaitResult;
}

}  // namespace

namespace os {


DWORD GetModuleFileNameA(HMODULE module, LPSTR buffer, DWORD size)
{
    if (module && module != kInstance) {
        Get().lastError = ERROR_MOD_NOT_FOUND;
        return 0;
    }
    return CopyOut(Get().modulePath, buffer, size);
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size)
{
    if (module && module != kInstance) {
        Get().lastError = ERROR_MOD_NOT_FOUND;
        return 0;
    }
    std::u16string path = Get().moduleWidePath;
    if (path.empty()) {
        for (char c : Get().modulePath)
            path += FromCodePage1252(static_cast<unsigned char>(c));
    }
    DWORD length = static_cast<DWORD>(path.size());
    DWORD copied = length < size ? length : size;
    std::memcpy(buffer, path.data(), copied * sizeof(WCHAR));
    if (copied < size)
        buffer[copied] = u'\0';
    return copied;
}

int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int length, LPWSTR wide, int wideLength)
{
    if (codePage != CP_ACP)
        return 0;
    std::size_t count = length < 0 ? std::strlen(text) + 1 : static_cast<std::size_t>(length);
    if (wideLength == 0)
        return static_cast<int>(count);
    if (count > static_cast<std::size_t>(wideLength)) {
        Get().lastError = 122;  // ERROR_INSUFFICIENT_BUFFER
        return 0;
    }
    for (std::size_t i = 0; i < count; ++i)
        wide[i] = FromCodePage1252(static_cast<unsigned char>(text[i]));
    return static_cast<int>(count);
}

HMODULE GetModuleHandleA(LPCSTR name) { return name ? nullptr : kInstance; }

UINT GetWindowsDirectoryA(LPSTR buffer, UINT size)
{
    Get().log.push_back("GetWindowsDirectory");
    const std::string& dir = Get().windowsDirectory;
    if (dir.size() + 1 > size)
        return static_cast<UINT>(dir.size() + 1);
    std::memcpy(buffer, dir.c_str(), dir.size() + 1);
    return static_cast<UINT>(dir.size());
}

UINT GetSystemDirectoryA(LPSTR buffer, UINT size)
{
    std::string dir = Get().windowsDirectory + "\\system32";
    if (dir.size() + 1 > size)
        return static_cast<UINT>(dir.size() + 1);
    std::memcpy(buffer, dir.c_str(), dir.size() + 1);
    return static_cast<UINT>(dir.size());
}

BOOL GetVersionExA(OSVERSIONINFOA* info)
{
    Get().log.push_back("GetVersionEx");
    if (!info || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOA) || !Get().versionQueryWorks)
        return FALSE;
    info->dwPlatformId = Get().platformId;
    info->dwMajorVersion = Get().major;
    info->dwMinorVersion = Get().minor;
    info->dwBuildNumber = Get().build;
    std::memset(info->szCSDVersion, 0, sizeof info->szCSDVersion);
    std::memcpy(info->szCSDVersion, Get().servicePack.c_str(),
                std::min(Get().servicePack.size(), sizeof info->szCSDVersion));
    return TRUE;
}

DWORD GetLastError() { return Get().lastError; }
void SetLastError(DWORD code) { Get().lastError = code; }
LPSTR GetCommandLineA() { return &Get().commandLine[0]; }
HANDLE GetCurrentProcess() { return kProcess; }
DWORD GetCurrentProcessId() { return Get().processId; }

HANDLE CreateFileA(LPCSTR name, DWORD access, DWORD share, void*, DWORD disposition, DWORD flags, HANDLE)
{
    Get().log.push_back(std::string("CreateFile ") + name);
    Get().openings.push_back({name, access, share, disposition, flags});
    if (TooLong(name))
        return INVALID_HANDLE_VALUE;
    bool writing = (access & FILE_APPEND_DATA) != 0;
    if ((writing && Get().writesFail.count(sim::Key(name))) ||
        ((access & (GENERIC_READ | FILE_READ_DATA)) && Get().readsFail.count(sim::Key(name)))) {
        Get().lastError = ERROR_ACCESS_DENIED;
        return INVALID_HANDLE_VALUE;
    }
    if (!sim::FindFile(name)) {
        if (disposition != OPEN_ALWAYS) {
            Get().lastError = ERROR_FILE_NOT_FOUND;
            return INVALID_HANDLE_VALUE;
        }
        if (!DirectoryExists(Directory(name))) {
            Get().lastError = ERROR_PATH_NOT_FOUND;
            return INVALID_HANDLE_VALUE;
        }
        sim::AddFile(name, "", FILE_ATTRIBUTE_ARCHIVE);
    }
    ++Get().openFiles;
    auto* open = new OpenFile{name};
    open->append = writing;
    open->read = (access & (GENERIC_READ | FILE_READ_DATA)) != 0;
    return open;
}

BOOL WriteFile(HANDLE handle, const void* buffer, DWORD toWrite, DWORD* written, void*)
{
    auto* open = static_cast<OpenFile*>(handle);
    sim::File* file = sim::FindFile(open->path);
    *written = 0;
    if (!open->append || !file || Get().writesFail.count(sim::Key(open->path))) {
        Get().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    file->data.append(static_cast<const char*>(buffer), toWrite);
    *written = toWrite;
    return TRUE;
}

DWORD GetFileSize(HANDLE handle, DWORD* sizeHigh)
{
    sim::File* file = sim::FindFile(static_cast<OpenFile*>(handle)->path);
    if (!file) {
        Get().lastError = 6;  // ERROR_INVALID_HANDLE
        return INVALID_FILE_SIZE;
    }
    // Without a place for the high part Windows hands out only the low one.
    unsigned long long size = file->unstored + file->data.size();
    if (sizeHigh)
        *sizeHigh = static_cast<DWORD>(size >> 32);
    return static_cast<DWORD>(size);
}

BOOL MoveFileExA(LPCSTR existing, LPCSTR target, DWORD flags)
{
    Get().log.push_back(std::string("MoveFile ") + existing + " -> " + target);
    sim::File* from = sim::FindFile(existing);
    if (!from) {
        Get().lastError = ERROR_FILE_NOT_FOUND;
        return FALSE;
    }
    if (sim::FindFile(target) && !(flags & MOVEFILE_REPLACE_EXISTING)) {
        Get().lastError = 183;  // ERROR_ALREADY_EXISTS
        return FALSE;
    }
    sim::File moved = *from;
    Get().files.erase(sim::Key(existing));
    Get().files[sim::Key(target)] = moved;
    return TRUE;
}

void GetLocalTime(SYSTEMTIME* time) { *time = Get().localTime; }

BOOL ReadFile(HANDLE handle, void* buffer, DWORD toRead, DWORD* read, void*)
{
    auto* open = static_cast<OpenFile*>(handle);
    sim::File* file = sim::FindFile(open->path);
    *read = 0;
    if (!open->read) {
        Get().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    if (!file)
        return FALSE;
    std::size_t available = open->position < file->data.size() ? file->data.size() - open->position : 0;
    std::size_t count = toRead < available ? toRead : available;
    int failAfter = Get().failReadAfterBytes;
    if (failAfter >= 0 && open->delivered + count > static_cast<std::size_t>(failAfter)) {
        Get().lastError = 23;  // ERROR_CRC: the medium failed
        return FALSE;
    }
    std::memcpy(buffer, file->data.data() + open->position, count);
    open->position += count;
    open->delivered += count;
    *read = static_cast<DWORD>(count);
    return TRUE;
}

DWORD SetFilePointer(HANDLE handle, LONG distance, LONG*, DWORD)
{
    auto* open = static_cast<OpenFile*>(handle);
    if (Get().failSeek || distance < 0) {
        Get().lastError = 131;  // ERROR_NEGATIVE_SEEK
        return INVALID_SET_FILE_POINTER;
    }
    open->position = static_cast<std::size_t>(distance);
    return static_cast<DWORD>(distance);
}

BOOL CloseHandle(HANDLE handle)
{
    if (handle == kToken) {
        Get().log.push_back("CloseToken");
        return TRUE;
    }
    if (handle == kMutex) {
        Get().log.push_back("CloseMutex");
        --Get().openMutexes;
        return TRUE;
    }
    --Get().openFiles;
    delete static_cast<OpenFile*>(handle);
    return TRUE;
}

BOOL CopyFileA(LPCSTR source, LPCSTR destination, BOOL failIfExists)
{
    Get().log.push_back(std::string("CopyFile ") + source + " -> " + destination + (failIfExists ? " keep" : ""));
    if (TooLong(source) || TooLong(destination))
        return FALSE;
    sim::File* from = sim::FindFile(source);
    if (!from) {
        Get().lastError = ERROR_FILE_NOT_FOUND;
        return FALSE;
    }
    if (!DirectoryExists(Directory(destination))) {
        Get().lastError = ERROR_PATH_NOT_FOUND;
        return FALSE;
    }
    sim::File* existing = sim::FindFile(destination);
    if (existing && ((existing->attributes & FILE_ATTRIBUTE_READONLY) || failIfExists)) {
        Get().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    Get().files[sim::Key(destination)] = *from;
    return TRUE;
}

DWORD GetFileAttributesA(LPCSTR name)
{
    if (TooLong(name))
        return INVALID_FILE_ATTRIBUTES;
    sim::File* file = sim::FindFile(name);
    if (!file) {
        Get().lastError = ERROR_FILE_NOT_FOUND;
        return INVALID_FILE_ATTRIBUTES;
    }
    return file->attributes;
}

BOOL SetFileAttributesA(LPCSTR name, DWORD attributes)
{
    Get().log.push_back(std::string("SetFileAttributes ") + name + " " + std::to_string(attributes));
    sim::File* file = sim::FindFile(name);
    if (!file || Get().attributeWritesFail.count(sim::Key(name))) {
        Get().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    file->attributes = attributes;
    return TRUE;
}

HMODULE LoadLibraryExA(LPCSTR name, HANDLE, DWORD flags)
{
    Get().log.push_back(std::string("LoadLibrary ") + name + " " + std::to_string(flags));
    std::string expected = sim::Key(Get().windowsDirectory + "\\system32\\newdev.dll");
    if (sim::Key(name) == expected && Get().newdevLoads) {
        ++Get().loadedLibraries;
        return kNewdev;
    }
    if (sim::Key(name) == sim::Key(Get().windowsDirectory + "\\system32\\setupapi.dll") && Get().setupapiLoads) {
        ++Get().loadedLibraries;
        return kSetupapi;
    }
    Get().lastError = Get().newdevLoadError;
    return nullptr;
}

FARPROC GetProcAddress(HMODULE module, LPCSTR name)
{
    if (module == kNewdev && Get().newdevHasEntry && std::strcmp(name, "UpdateDriverForPlugAndPlayDevicesA") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeUpdate));
    if (module == kSetupapi && Get().setupapiHasWait && std::strcmp(name, "CMP_WaitNoPendingInstallEvents") == 0)
        return reinterpret_cast<FARPROC>(reinterpret_cast<void*>(&FakeWaitNoPendingInstallEvents));
    Get().lastError = ERROR_PROC_NOT_FOUND;
    return nullptr;
}

BOOL FreeLibrary(HMODULE module)
{
    Get().log.push_back("FreeLibrary");
    if (module == kNewdev || module == kSetupapi)
        --Get().loadedLibraries;
    return TRUE;
}

DWORD FormatMessageA(DWORD flags, const void*, DWORD code, DWORD language, LPSTR buffer, DWORD, void*)
{
    Get().log.push_back("FormatMessage " + std::to_string(flags) + " " + std::to_string(language));
    auto found = Get().errorDescriptions.find(code);
    if (found == Get().errorDescriptions.end()) {
        Get().lastError = 317;  // ERROR_MR_MID_NOT_FOUND
        return 0;
    }
    char* text = static_cast<char*>(std::malloc(found->second.size() + 1));
    std::memcpy(text, found->second.c_str(), found->second.size() + 1);
    *reinterpret_cast<char**>(buffer) = text;
    ++Get().allocatedDescriptions;
    return static_cast<DWORD>(found->second.size());
}

HLOCAL LocalFree(HLOCAL memory)
{
    std::free(memory);
    --Get().allocatedDescriptions;
    return nullptr;
}

int LoadStringA(HINSTANCE, UINT id, LPSTR buffer, int size)
{
    std::string text;
    auto overridden = Get().stringOverrides.find(id);
    if (overridden != Get().stringOverrides.end()) {
        text = overridden->second;
    } else {
        for (unsigned i = 0; i < kCatalogueSize; ++i) {
            if (kCatalogue[i].id == id)
                text = kCatalogue[i].text;
        }
    }
    if (size <= 0)
        return 0;
    std::size_t copied = text.size() < static_cast<std::size_t>(size - 1) ? text.size() : size - 1;
    std::memcpy(buffer, text.data(), copied);
    buffer[copied] = '\0';
    return static_cast<int>(copied);
}


BOOL OpenProcessToken(HANDLE process, DWORD access, HANDLE* token)
{
    Get().log.push_back("OpenProcessToken " + std::to_string(access) + (process == kProcess ? " self" : ""));
    if (!Get().tokenOpens) {
        Get().lastError = ERROR_ACCESS_DENIED;
        return FALSE;
    }
    *token = kToken;
    return TRUE;
}

HANDLE CreateMutexA(void*, BOOL initialOwner, LPCSTR name)
{
    Get().log.push_back(std::string("CreateMutex ") + (name ? name : "(none)") + (initialOwner ? " owner" : ""));
    Get().mutexNames.push_back(name ? name : "");
    if (Get().mutexCreateError) {
        Get().lastError = Get().mutexCreateError;
        return nullptr;
    }
    ++Get().openMutexes;
    Get().lastError = Get().mutexState == "free" ? ERROR_SUCCESS : ERROR_ALREADY_EXISTS;
    return kMutex;
}

DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds)
{
    Get().log.push_back("WaitForSingleObject " + std::to_string(milliseconds));
    if (handle != kMutex) {
        Get().lastError = 6;  // ERROR_INVALID_HANDLE
        return WAIT_FAILED;
    }
    const std::string& state = Get().mutexState;
    if (state == "held")
        return WAIT_TIMEOUT;
    Get().mutexOwned = true;
    return state == "abandoned" ? WAIT_ABANDONED : WAIT_OBJECT_0;
}

BOOL ReleaseMutex(HANDLE mutex)
{
    Get().log.push_back("ReleaseMutex");
    if (mutex != kMutex || !Get().mutexOwned)
        return FALSE;
    Get().mutexOwned = false;
    return TRUE;
}

BOOL AllocateAndInitializeSid(SID_IDENTIFIER_AUTHORITY* authority, BYTE count, DWORD sub0, DWORD sub1, DWORD, DWORD,
                              DWORD, DWORD, DWORD, DWORD, PSID* sid)
{
    std::string text = "S-1-" + std::to_string(authority->Value[5]);
    const DWORD subs[2] = {sub0, sub1};
    for (BYTE i = 0; i < count && i < 2; ++i)
        text += "-" + std::to_string(subs[i]);
    Get().log.push_back("AllocateAndInitializeSid " + text);
    if (Get().administrator == -2) {
        Get().lastError = Get().adminCheckError;
        return FALSE;
    }
    ++Get().liveSids;
    *sid = new std::string(text);
    return TRUE;
}

BOOL CheckTokenMembership(HANDLE token, PSID sid, PBOOL isMember)
{
    Get().log.push_back(std::string("CheckTokenMembership ") + (token ? "token " : "") + *static_cast<std::string*>(sid));
    if (Get().administrator < 0) {
        Get().lastError = Get().adminCheckError;
        return FALSE;
    }
    *isMember = Get().administrator == 1 && *static_cast<std::string*>(sid) == "S-1-5-32-544";
    return TRUE;
}

void* FreeSid(PSID sid)
{
    --Get().liveSids;
    delete static_cast<std::string*>(sid);
    return nullptr;
}

BOOL LookupPrivilegeValueA(LPCSTR system, LPCSTR name, LUID* luid)
{
    Get().log.push_back(std::string("LookupPrivilegeValue ") + (system ? system : "local") + " " + name);
    luid->LowPart = 19;
    luid->HighPart = 0;
    return TRUE;
}

BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* state, DWORD length,
                           TOKEN_PRIVILEGES* previous, DWORD* returnLength)
{
    Get().log.push_back("AdjustTokenPrivileges " + std::string(token == kToken ? "token" : "none") + " " +
                        std::to_string(disableAll) + " count " + std::to_string(state->PrivilegeCount) + " luid " +
                        std::to_string(state->Privileges[0].Luid.LowPart) + " attributes " +
                        std::to_string(state->Privileges[0].Attributes) + " " + std::to_string(length) +
                        (previous || returnLength ? " previous" : ""));
    Get().lastError = Get().adjustError;
    return TRUE;
}

}  // namespace os
