#include "dib/DibImage.h"

#include "res/resource.h"
#include "services/Messages.h"

#include <utility>

static_assert(sizeof(BITMAPFILEHEADER) == 14, "the file header is read in one piece");
static_assert(sizeof(DibInfo) == 104, "the info header and colour table are read in one piece");

namespace {

constexpr WORD kBmpSignature = 0x4D42;  // "BM"
// Far beyond any picture a dialog shows; keeps a damaged header from asking for gigabytes.
constexpr LONG kMaxDimension = 4096;
constexpr DWORD kTableColours = sizeof(DibInfo::colors) / sizeof(RGBQUAD);

bool ReadExactly(HANDLE file, void* buffer, DWORD size)
{
    DWORD read = 0;
    return os::ReadFile(file, buffer, size, &read, nullptr) && read == size;
}

}  // namespace

unsigned CheckDibHeader(const BITMAPINFOHEADER& header)
{
    if (header.biPlanes != 1)
        return MSG_BMP_PLANES;
    if (header.biBitCount != 4)
        return MSG_BMP_BIT_COUNT;
    if (header.biCompression != BI_RGB)
        return MSG_BMP_COMPRESSED;
    long long rows = header.biHeight < 0 ? -static_cast<long long>(header.biHeight) : header.biHeight;
    if (header.biWidth <= 0 || header.biWidth > kMaxDimension || rows == 0 || rows > kMaxDimension)
        return MSG_BMP_NO_INFO_BLOCK;
    return 0;
}

std::size_t DibRowsSize(const BITMAPINFOHEADER& header)
{
    std::size_t rowBytes = (static_cast<std::size_t>(header.biWidth) * 4 + 31) / 32 * 4;
    std::size_t rows = static_cast<std::size_t>(header.biHeight < 0 ? -static_cast<long long>(header.biHeight)
                                                                    : header.biHeight);
    return rowBytes * rows;
}

DibImage::~DibImage() = default;

int DibImage::Fail(unsigned messageId)
{
    file.Reset();
    ShowMessage(messageId);
    return 0;
}

int DibImage::Load(const char* path)
{
    bits.Free();
    file.Reset(os::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                               nullptr));
    if (!file) {
        ShowMessage(MSG_BMP_NOT_FOUND);
        return 0;
    }

    if (!ReadExactly(file.Get(), &fileHeader, sizeof fileHeader) || fileHeader.bfType != kBmpSignature)
        return Fail(MSG_BMP_NOT_BMP);

    unsigned char* raw = reinterpret_cast<unsigned char*>(&info);
    if (!ReadExactly(file.Get(), raw, 44))
        return Fail(MSG_BMP_NO_INFO_BLOCK);
    if (!ReadExactly(file.Get(), raw + 44, 60))
        return Fail(MSG_BMP_NO_INFO_BLOCK);

    if (unsigned refusal = CheckDibHeader(info.header))
        return Fail(refusal);

    // The drawing call reads the rows the header describes, so the buffer holds all of
    // them, zero-filled past what the file delivers; bfSize is not trusted for this.
    std::size_t size = DibRowsSize(info.header);
    if (os::SetFilePointer(file.Get(), static_cast<LONG>(fileHeader.bfOffBits), nullptr, FILE_BEGIN) ==
        INVALID_SET_FILE_POINTER)
        return Fail(MSG_BMP_NO_INFO_BLOCK);
    HeapBuffer rows;
    if (!rows.Allocate(size))
        return Fail(MSG_BMP_NO_INFO_BLOCK);
    DWORD read = 0;
    if (!os::ReadFile(file.Get(), rows.Get(), static_cast<DWORD>(size), &read, nullptr))
        return Fail(MSG_BMP_NO_INFO_BLOCK);
    file.Reset();

    // The colour table always follows the first 40 bytes; the drawing call is told so.
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    // The drawing call reads biClrUsed table entries (0: all 16), and `info` holds 16.
    if (info.header.biClrUsed > kTableColours)
        info.header.biClrUsed = kTableColours;
    bits = std::move(rows);
    return 1;
}

int DibImage::Paint(HDC dc, int x, int y) const
{
    if (!bits.Get())
        return 0;
    return os::StretchDIBits(dc, x, y, kPictureWidth, kPictureHeight, 0, 0, kPictureWidth, kPictureHeight, bits.Get(),
                             reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, SRCCOPY);
}
