// The simulated VERSION functions over the version resources of simulated files.
#include "tests/sim/SimWindows.h"

#include <cctype>
#include <cstring>
#include <string>

using sim::Get;

namespace {

// VerQueryValue finds block and value names without regard to case.
bool SameKey(const std::string& key, const char* query)
{
    std::size_t length = std::strlen(query);
    if (key.size() != length)
        return false;
    for (std::size_t i = 0; i < length; ++i) {
        if (std::tolower(static_cast<unsigned char>(key[i])) != std::tolower(static_cast<unsigned char>(query[i])))
            return false;
    }
    return true;
}

}  // namespace

namespace os {

DWORD GetFileVersionInfoSizeA(LPCSTR name, DWORD* handle)
{
    if (handle)
        *handle = 0;
    sim::File* file = sim::FindFile(name);
    if (!file) {
        Get().lastError = ERROR_FILE_NOT_FOUND;
        return 0;
    }
    if (!file->version) {
        Get().lastError = 1813;  // ERROR_RESOURCE_TYPE_NOT_FOUND
        return 0;
    }
    std::size_t size = sizeof(void*) + file->version->root.size() + 64;
    for (auto& value : file->version->values)
        size += value.second.size();
    size += file->version->translations.size() * 4;
    return static_cast<DWORD>(size);
}

// The block holds a pointer to the file's resource, then copies of every value, so that
// VerQueryValueA hands out pointers into the block as Windows does.
BOOL GetFileVersionInfoA(LPCSTR name, DWORD, DWORD size, void* data)
{
    sim::File* file = sim::FindFile(name);
    if (!file || !file->version || size < GetFileVersionInfoSizeA(name, nullptr))
        return FALSE;
    sim::VersionResource* version = file->version.get();
    std::memcpy(data, &version, sizeof version);
    char* at = static_cast<char*>(data) + sizeof version;
    std::string root = version->root;
    if (root.empty() && version->hasRoot) {
        VS_FIXEDFILEINFO fixed{};
        fixed.dwSignature = 0xFEEF04BD;
        root.assign(reinterpret_cast<const char*>(&fixed), sizeof fixed);
    }
    std::memcpy(at, root.data(), root.size());
    at += root.size();
    if (!version->translations.empty())
        std::memcpy(at, version->translations.data(), version->translations.size() * 4);
    at += version->translations.size() * 4;
    for (auto& value : version->values) {
        std::memcpy(at, value.second.data(), value.second.size());
        at += value.second.size();
    }
    return TRUE;
}

BOOL VerQueryValueA(const void* block, LPCSTR subBlock, void** buffer, UINT* length)
{
    Get().log.push_back(std::string("VerQueryValue ") + subBlock);
    sim::VersionResource* version;
    std::memcpy(&version, block, sizeof version);
    char* at = static_cast<char*>(const_cast<void*>(block)) + sizeof version;
    std::string root = version->root;
    std::size_t rootSize = root.empty() && version->hasRoot ? sizeof(VS_FIXEDFILEINFO) : root.size();
    if (std::strcmp(subBlock, "\\") == 0) {
        if (!version->hasRoot)
            return FALSE;
        *buffer = at;
        *length = static_cast<UINT>(rootSize);
        return TRUE;
    }
    at += rootSize;
    if (SameKey("\\VarFileInfo\\Translation", subBlock)) {
        if (version->translations.empty())
            return FALSE;
        *buffer = at;
        *length = static_cast<UINT>(version->translations.size() * 4);
        return TRUE;
    }
    at += version->translations.size() * 4;
    for (auto& value : version->values) {
        if (SameKey(value.first, subBlock)) {
            *buffer = at;
            *length = static_cast<UINT>(value.second.size());
            return TRUE;
        }
        at += value.second.size();
    }
    Get().lastError = 1813;
    return FALSE;
}

}  // namespace os
