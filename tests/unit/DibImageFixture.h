// BMP files made to measure and the fixture that loads them, shared by the loader and
// painting tests.
#pragma once

#include "dib/DibImage.h"
#include "res/resource.h"
#include "services/Messages.h"
#include "tests/unit/SimTest.h"

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace dib_test {

inline constexpr char kPath[] = "C:\\Setup\\OEM.BMP";
inline HDC const kDc = reinterpret_cast<HDC>(0x4711);

// The German text of one of the loader's messages, as the catalogue holds it.
inline std::string LoaderText(unsigned id) { return LoadMessage(id).c_str(); }

inline std::string U16(unsigned value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

inline std::string U32(std::uint32_t value) { return U16(value & 0xFFFF) + U16(value >> 16); }

inline std::size_t RowBytes(long long width) { return static_cast<std::size_t>((width * 4 + 31) / 32 * 4); }

// Bytes that are never zero, so that zero-filled parts of a buffer stand out.
inline std::string Pattern(std::size_t size, unsigned seed = 1)
{
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(1 + (i * 7 + seed) % 251);
    return bytes;
}

// A BMP file, by default a valid 8 by 2 pixel, 16-colour, uncompressed picture of 126 bytes.
struct Bmp {
    std::string type = "BM";
    bool sizeFromContent = true;  // bfSize: the real file size, or `fileSize`
    DWORD fileSize = 0;
    DWORD offBits = 118;
    DWORD infoSize = 40;
    LONG width = 8;
    LONG height = 2;
    WORD planes = 1;
    WORD bitCount = 4;
    DWORD compression = BI_RGB;
    DWORD colorsUsed = 0;
    std::string extension;                     // bytes of a longer info header after the first 40
    std::string colors = Pattern(64, 100);     // the colour table as it stands in the file
    std::string rows = Pattern(RowBytes(8) * 2, 200);

    Bmp& Size(DWORD size)
    {
        sizeFromContent = false;
        fileSize = size;
        return *this;
    }

    std::string Bytes() const
    {
        std::string out = type + U32(0) + U16(0) + U16(0) + U32(offBits);
        out += U32(infoSize) + U32(static_cast<std::uint32_t>(width)) + U32(static_cast<std::uint32_t>(height)) +
               U16(planes) + U16(bitCount) + U32(compression) + U32(static_cast<std::uint32_t>(rows.size())) +
               U32(2835) + U32(2835) + U32(colorsUsed) + U32(0);
        out += extension + colors;
        // The rows stand at bfOffBits unless that lies inside the headers or absurdly far out.
        if (offBits >= out.size() && offBits - out.size() < (1u << 20))
            out.append(offBits - out.size(), '\0');
        out += rows;
        std::string size = U32(sizeFromContent ? static_cast<DWORD>(out.size()) : fileSize);
        out.replace(2, 4, size);
        return out;
    }
};

inline std::size_t FileRows(const DibImage& image) { return DibRowsSize(image.info.header); }

// Touches every byte of the rows the header describes (the sanitizer build catches a
// buffer that is too short) and returns how many of them are not zero.
inline std::size_t NonZeroRowBytes(const DibImage& image)
{
    std::size_t nonZero = 0;
    for (std::size_t i = 0; i < FileRows(image); ++i)
        nonZero += image.bits.Get()[i] != 0;
    return nonZero;
}

inline std::size_t AllocatedSize(const void* block)
{
#ifdef __GLIBC__
    return malloc_usable_size(const_cast<void*>(block));
#else
    (void)block;
    return SIZE_MAX;
#endif
}

class DibImageTest : public SimTest {
protected:
    int Load(const std::string& bytes)
    {
        sim::AddFile(kPath, bytes);
        return image.Load(kPath);
    }

    void ExpectOneBox(unsigned id)
    {
        ASSERT_EQ(World().boxes.size(), 1u);
        const sim::Box& box = World().boxes[0];
        EXPECT_EQ(box.text, LoaderText(id)) << "message " << id;
        EXPECT_EQ(box.caption, "Vantinst");
        EXPECT_EQ(box.style, static_cast<UINT>(MB_OK | MB_ICONEXCLAMATION));
        EXPECT_EQ(box.owner, nullptr);
    }

    // A failed Load: its message alone, nothing open, no rows, nothing to draw.
    void ExpectRefused(int result, unsigned id)
    {
        EXPECT_EQ(result, 0);
        ExpectOneBox(id);
        EXPECT_EQ(World().openFiles, 0);
        EXPECT_EQ(image.bits.Get(), nullptr);
        EXPECT_FALSE(image.file);
        EXPECT_EQ(image.Paint(kDc, 2, 2), 0);
        EXPECT_TRUE(sim::LogOf("StretchDIBits").empty());
    }

    void ExpectLoaded(int result)
    {
        EXPECT_EQ(result, 1);
        EXPECT_TRUE(World().boxes.empty()) << (World().boxes.empty() ? "" : World().boxes[0].text);
        EXPECT_EQ(World().openFiles, 0);
        EXPECT_FALSE(image.file);
        ASSERT_NE(image.bits.Get(), nullptr);
        EXPECT_EQ(image.info.header.biSize, 40u);
        EXPECT_GE(AllocatedSize(image.bits.Get()), FileRows(image)) << "the buffer holds every row the header describes";
    }

    DibImage image;
};

inline LONG Dim(long long value) { return static_cast<LONG>(value); }

}  // namespace dib_test
