#include "services/FileVersionReader.h"

#include "services/MessageFormat.h"

#include <cstring>

namespace {
constexpr DWORD kFixedInfoSignature = 0xFEEF04BD;
constexpr WORD kGerman = 0x0407;
constexpr WORD kWesternCodePage = 1252;
}  // namespace

FileVersionReader::~FileVersionReader() = default;

int FileVersionReader::Open(const char* name)
{
    codePage = kWesternCodePage;
    language = kGerman;
    std::memset(&fixedInfo, 0, sizeof fixedInfo);

    char fileName[MAX_PATH];
    HMODULE module = name ? os::GetModuleHandleA(name) : nullptr;
    if (module || !name) {
        DWORD length = os::GetModuleFileNameA(module, fileName, MAX_PATH);
        if (length == 0 || length >= MAX_PATH)
            return 0;
        fileName[length] = '\0';
    } else {
        std::size_t length = std::strlen(name);
        if (length >= MAX_PATH)
            return 0;
        std::memcpy(fileName, name, length + 1);
    }

    DWORD unused = 0;
    DWORD size = os::GetFileVersionInfoSizeA(fileName, &unused);
    if (size == 0)
        return 0;
    if (!versionData.Allocate(size) || !os::GetFileVersionInfoA(fileName, 0, size, versionData.Get()))
        return 0;

    void* value = nullptr;
    UINT length = 0;
    if (!os::VerQueryValueA(versionData.Get(), "\\", &value, &length) || !value)
        return 0;
    std::memcpy(&fixedInfo, value, length < sizeof fixedInfo ? length : sizeof fixedInfo);

    value = nullptr;
    length = 0;
    if (os::VerQueryValueA(versionData.Get(), "\\VarFileInfo\\Translation", &value, &length) && value && length >= 4) {
        DWORD first;
        std::memcpy(&first, value, sizeof first);
        language = LOWORD(first);
        codePage = HIWORD(first);
    }

    return fixedInfo.dwSignature == kFixedInfoSignature ? 1 : 0;
}

String FileVersionReader::GetStringValue(const char* valueName) const
{
    if (!versionData.Get())
        return String();
    void* value = nullptr;
    UINT length = 0;
    if (!os::VerQueryValueA(versionData.Get(), StringValuePath(language, codePage, valueName).c_str(), &value, &length) ||
        !value)
        return String();

    // Read no further than the value's own length and the end of the resource.
    const char* text = static_cast<const char*>(value);
    const unsigned char* begin = versionData.Get();
    const unsigned char* end = begin + versionData.Size();
    const unsigned char* at = reinterpret_cast<const unsigned char*>(text);
    std::size_t limit = length;
    if (at >= begin && at < end && limit > static_cast<std::size_t>(end - at))
        limit = static_cast<std::size_t>(end - at);
    std::size_t count = 0;
    while (count < limit && text[count] != '\0')
        ++count;
    return String(text, count);
}

String StringValuePath(WORD language, WORD codePage, const char* valueName)
{
    String path("\\StringFileInfo\\");
    path.Append(Hex8((static_cast<DWORD>(language) << 16) | codePage)).Append('\\').Append(valueName);
    return path;
}
