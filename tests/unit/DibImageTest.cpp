#include "dib/DibImage.h"
#include "tests/unit/SimTest.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

const char kPath[] = "C:\\Setup\\OEM.BMP";
HDC const kDc = reinterpret_cast<HDC>(0x4711);

// The German texts of the loader's messages.
std::string LoaderText(unsigned id)
{
    switch (id) {
    case 1200: return "Konnte BMP-Datei nicht finden";
    case 1201: return "Datei ist keine BMP-Datei";
    case 1202: return "BMP-Datei enth\344lt keinen Informationsblock, deshalb kann BMP-Datei nicht gelesen werden.";
    case 1203: return "BMP-Datei enth\344lt mehr als eine Bit-Plane.";
    case 1204: return "In der BMP-Datei ist nicht die korrekte Anzahl Bits pro Farbe definiert.";
    case 1205: return "BMP-Datei ist komprimiert, es werden aber nur unkomprimierte Bilder dargestellt.";
    default: return "?";
    }
}

std::string U16(unsigned value)
{
    return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF)};
}

std::string U32(std::uint32_t value) { return U16(value & 0xFFFF) + U16(value >> 16); }

std::size_t RowBytes(long long width) { return static_cast<std::size_t>((width * 4 + 31) / 32 * 4); }

// Bytes that are never zero, so that zero-filled parts of a buffer stand out.
std::string Pattern(std::size_t size, unsigned seed = 1)
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

std::size_t FileRows(const DibImage& image) { return DibRowsSize(image.info.header); }

// Touches every byte of the rows the header describes (the sanitizer build catches a
// buffer that is too short) and returns how many of them are not zero.
std::size_t NonZeroRowBytes(const DibImage& image)
{
    std::size_t nonZero = 0;
    for (std::size_t i = 0; i < FileRows(image); ++i)
        nonZero += image.bits[i] != 0;
    return nonZero;
}

std::size_t AllocatedSize(const void* block)
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
        EXPECT_EQ(image.bits, nullptr);
        EXPECT_EQ(image.file, INVALID_HANDLE_VALUE);
        EXPECT_EQ(image.Paint(kDc, 2, 2), 0);
        EXPECT_TRUE(sim::LogOf("StretchDIBits").empty());
    }

    void ExpectLoaded(int result)
    {
        EXPECT_EQ(result, 1);
        EXPECT_TRUE(World().boxes.empty()) << (World().boxes.empty() ? "" : World().boxes[0].text);
        EXPECT_EQ(World().openFiles, 0);
        EXPECT_EQ(image.file, INVALID_HANDLE_VALUE);
        ASSERT_NE(image.bits, nullptr);
        EXPECT_EQ(image.info.header.biSize, 40u);
        EXPECT_GE(AllocatedSize(image.bits), FileRows(image)) << "the buffer holds every row the header describes";
    }

    DibImage image;
};

// ---------------------------------------------------------------------------------------
// Which file gives which message.

struct LoadCase {
    const char* name;
    std::string (*bytes)();  // null: no file at all
    unsigned message;        // 0: the picture loads
};

void PrintTo(const LoadCase& c, std::ostream* out) { *out << c.name; }

class DibLoadTableTest : public DibImageTest, public ::testing::WithParamInterface<LoadCase> {};

TEST_P(DibLoadTableTest, ReportsTheFirstFaultOnly)
{
    const LoadCase& c = GetParam();
    if (c.bytes)
        sim::AddFile(kPath, c.bytes());
    int result = image.Load(kPath);
    EXPECT_EQ(sim::LogOf("CreateFile"), std::vector<std::string>{std::string("CreateFile ") + kPath});
    if (c.message) {
        ExpectRefused(result, c.message);
    } else {
        ExpectLoaded(result);
        EXPECT_LE(NonZeroRowBytes(image), Bmp().rows.size()) << "rows past the file's are zero";
    }
}

LONG Dim(long long value) { return static_cast<LONG>(value); }

INSTANTIATE_TEST_SUITE_P(
    Files, DibLoadTableTest,
    ::testing::Values(
        LoadCase{"MissingFile", nullptr, 1200},
        LoadCase{"EmptyFile", [] { return std::string(); }, 1201},
        LoadCase{"ThirteenBytes", [] { return Bmp().Bytes().substr(0, 13); }, 1201},
        LoadCase{"OnlyTheLettersBM", [] { return std::string("BM"); }, 1201},
        LoadCase{"LettersSwapped", [] { Bmp b; b.type = "MB"; return b.Bytes(); }, 1201},
        LoadCase{"LowerCaseLetters", [] { Bmp b; b.type = "bm"; return b.Bytes(); }, 1201},
        LoadCase{"NotABitmapAtAll", [] { return std::string("GIF89a") + Pattern(200); }, 1201},
        LoadCase{"FileHeaderOnly", [] { return Bmp().Bytes().substr(0, 14); }, 1202},
        LoadCase{"InfoHeaderShort", [] { return Bmp().Bytes().substr(0, 14 + 30); }, 1202},
        LoadCase{"FirstColourShort", [] { return Bmp().Bytes().substr(0, 14 + 43); }, 1202},
        LoadCase{"OnlyTheFirstColour", [] { return Bmp().Bytes().substr(0, 14 + 44); }, 1202},
        LoadCase{"ColourTableShortByOne", [] { return Bmp().Bytes().substr(0, 14 + 103); }, 1202},
        LoadCase{"PlanesTwo", [] { Bmp b; b.planes = 2; return b.Bytes(); }, 1203},
        LoadCase{"PlanesZero", [] { Bmp b; b.planes = 0; return b.Bytes(); }, 1203},
        LoadCase{"OneBit", [] { Bmp b; b.bitCount = 1; return b.Bytes(); }, 1204},
        LoadCase{"EightBit", [] { Bmp b; b.bitCount = 8; b.colorsUsed = 256; return b.Bytes(); }, 1204},
        LoadCase{"TwentyFourBit",
                 [] {
                     Bmp b;
                     b.bitCount = 24;
                     b.height = 8;
                     b.offBits = 54;
                     b.colors = "";
                     b.rows = Pattern(24 * 8);
                     return b.Bytes();
                 },
                 1204},
        LoadCase{"ThirtyTwoBit", [] { Bmp b; b.bitCount = 32; return b.Bytes(); }, 1204},
        LoadCase{"Rle4", [] { Bmp b; b.compression = 2; return b.Bytes(); }, 1205},
        LoadCase{"Bitfields", [] { Bmp b; b.compression = 3; return b.Bytes(); }, 1205},
        LoadCase{"Rle8TwoHundredFiftySixColours", [] { Bmp b; b.bitCount = 8; b.compression = 1; return b.Bytes(); }, 1204},
        LoadCase{"PlanesBeforeEverythingElse",
                 [] { Bmp b; b.planes = 3; b.bitCount = 8; b.compression = 1; b.width = 0; return b.Bytes(); }, 1203},
        LoadCase{"CompressionBeforeRows", [] { Bmp b; b.compression = 2; b.height = 0; return b.Bytes(); }, 1205},
        LoadCase{"WidthZero", [] { Bmp b; b.width = 0; return b.Bytes(); }, 1202},
        LoadCase{"WidthNegative", [] { Bmp b; b.width = -8; return b.Bytes(); }, 1202},
        LoadCase{"WidthMostNegative", [] { Bmp b; b.width = Dim(INT32_MIN); return b.Bytes(); }, 1202},
        LoadCase{"WidthBeyondLimit", [] { Bmp b; b.width = 4097; return b.Bytes(); }, 1202},
        LoadCase{"HeightZero", [] { Bmp b; b.height = 0; return b.Bytes(); }, 1202},
        LoadCase{"HundredThousandRows", [] { Bmp b; b.height = 100000; return b.Bytes(); }, 1202},
        LoadCase{"HundredThousandRowsTopDown", [] { Bmp b; b.height = -100000; return b.Bytes(); }, 1202},
        LoadCase{"HeightBeyondLimit", [] { Bmp b; b.height = 4097; return b.Bytes(); }, 1202},
        LoadCase{"HeightMostNegative", [] { Bmp b; b.height = Dim(INT32_MIN); return b.Bytes(); }, 1202},
        LoadCase{"HeightMostPositive", [] { Bmp b; b.height = INT32_MAX; return b.Bytes(); }, 1202},
        LoadCase{"RowsBeyondTwoGigabytes", [] { Bmp b; b.offBits = 0x80000000u; return b.Bytes(); }, 1202},
        LoadCase{"Valid", [] { return Bmp().Bytes(); }, 0},
        LoadCase{"TopDown", [] { Bmp b; b.height = -2; return b.Bytes(); }, 0},
        LoadCase{"LargestAccepted", [] { Bmp b; b.width = 4096; b.height = -4096; return b.Bytes(); }, 0},
        LoadCase{"ClrUsedIgnored", [] { Bmp b; b.colorsUsed = 99; return b.Bytes(); }, 0},
        LoadCase{"RowsMissing", [] { Bmp b; b.rows = ""; return b.Bytes(); }, 0},
        LoadCase{"RowsPastTheEnd", [] { Bmp b; b.offBits = 5000; b.rows = ""; return b.Bytes().substr(0, 118); }, 0}),
    [](const ::testing::TestParamInfo<LoadCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// Files that load.

TEST_F(DibImageTest, KeepsHeadersAndRowsAsRead)
{
    Bmp bmp;
    std::string bytes = bmp.Bytes();
    ExpectLoaded(Load(bytes));
    EXPECT_EQ(std::memcmp(&image.fileHeader, bytes.data(), 14), 0);
    EXPECT_EQ(std::memcmp(&image.info, bytes.data() + 14, 104), 0);
    EXPECT_EQ(image.info.header.biWidth, 8);
    EXPECT_EQ(image.info.header.biHeight, 2);
    EXPECT_EQ(FileRows(image), 8u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.bits), 8), bmp.rows);
}

TEST_F(DibImageTest, ShortColourTableStillLoadsFromOffset54)
{
    // Two colours, rows at 62: the table's later entries get the rows' first bytes.
    Bmp bmp;
    bmp.colorsUsed = 2;
    bmp.colors = Pattern(8, 50);
    bmp.offBits = 62;
    bmp.height = 14;
    bmp.rows = Pattern(RowBytes(8) * 14, 60);
    std::string bytes = bmp.Bytes();
    ASSERT_EQ(bytes.size(), 118u);
    ExpectLoaded(Load(bytes));
    EXPECT_EQ(std::memcmp(image.info.colors, bytes.data() + 54, 64), 0);
    EXPECT_EQ(std::memcmp(&image.info.colors[2], bmp.rows.data(), 4), 0);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.bits), bmp.rows.size()), bmp.rows);

    // One byte less and the colour table read comes up short.
    sim::Reset();
    DibImage shorter;
    sim::AddFile(kPath, bytes.substr(0, 117));
    EXPECT_EQ(shorter.Load(kPath), 0);
    ExpectOneBox(1202);
    EXPECT_EQ(shorter.bits, nullptr);
}

TEST_F(DibImageTest, LongInfoHeaderLoadsAndIsDrawnAsForty)
{
    Bmp bmp;
    bmp.infoSize = 124;
    bmp.extension = Pattern(84, 30);
    bmp.offBits = 14 + 124 + 64;
    std::string bytes = bmp.Bytes();
    ExpectLoaded(Load(bytes));
    EXPECT_EQ(image.info.header.biSize, 40u);
    EXPECT_EQ(std::memcmp(image.info.colors, bytes.data() + 54, 64), 0) << "the table is read from offset 54";
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.bits), bmp.rows.size()), bmp.rows);
    image.Paint(kDc, 2, 2);
    EXPECT_EQ(sim::LogOf("StretchDIBits"),
              std::vector<std::string>{"StretchDIBits 2 2 190x102 from 0 0 190x102 biSize 40 usage 0 rop 13369376"});
}

TEST_F(DibImageTest, HugeFileSizeDoesNotDecideTheAllocation)
{
    Bmp bmp;
    bmp.Size(0xFFFFFFFF);
    ExpectLoaded(Load(bmp.Bytes()));
    DWORD fileSize = image.fileHeader.bfSize;  // a packed field: copied before comparing
    EXPECT_EQ(fileSize, 0xFFFFFFFFu);
    EXPECT_LT(AllocatedSize(image.bits), std::size_t{1} << 16);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.bits), 8), bmp.rows);
}

TEST_F(DibImageTest, TinyFileSizeStillGivesEveryRowZeroFilledPastTheData)
{
    Bmp bmp;
    bmp.width = 190;
    bmp.height = 4096;
    bmp.rows = Pattern(RowBytes(190) * 3, 9);  // three rows in the file
    bmp.Size(118);
    ExpectLoaded(Load(bmp.Bytes()));
    ASSERT_EQ(FileRows(image), 96u * 4096u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.bits), bmp.rows.size()), bmp.rows);
    EXPECT_EQ(NonZeroRowBytes(image), bmp.rows.size()) << "everything past the file's rows is zero";
}

TEST_F(DibImageTest, SmallPictureGetsTheRowsItDescribes)
{
    Bmp bmp;
    bmp.width = 1;
    bmp.height = -1;
    bmp.rows = "\x12\x34\x56\x78" + Pattern(100);  // more in the file than one padded row
    ExpectLoaded(Load(bmp.Bytes()));
    EXPECT_EQ(FileRows(image), 4u);
    EXPECT_EQ(std::memcmp(image.bits, "\x12\x34\x56\x78", 4), 0);
}

TEST_F(DibImageTest, ShippedPictureFitsTheDialog)
{
#ifdef VANTINST_SOURCE_DIR
    std::string root = VANTINST_SOURCE_DIR;
#else
    std::string root = __FILE__;
    root.erase(root.size() - std::string("tests/unit/DibImageTest.cpp").size());
#endif
    std::ifstream in(root + "/res/OEM.BMP", std::ios::binary);
    ASSERT_TRUE(in) << root << "/res/OEM.BMP";
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_GE(bytes.size(), 118u);

    BITMAPFILEHEADER file;
    BITMAPINFOHEADER info;
    std::memcpy(&file, bytes.data(), sizeof file);
    std::memcpy(&info, bytes.data() + 14, sizeof info);
    WORD type = file.bfType;  // packed fields: copied before comparing
    DWORD fileSize = file.bfSize;
    DWORD offBits = file.bfOffBits;
    EXPECT_EQ(type, 0x4D42);
    EXPECT_EQ(fileSize, bytes.size());
    EXPECT_EQ(info.biSize, 40u);
    EXPECT_EQ(info.biWidth, 190);
    EXPECT_EQ(info.biHeight, 102);
    EXPECT_EQ(info.biPlanes, 1);
    EXPECT_EQ(info.biBitCount, 4);
    EXPECT_EQ(info.biCompression, BI_RGB);
    EXPECT_EQ(offBits, 118u);
    EXPECT_EQ(bytes.size(), offBits + 96u * 102u) << "every row is in the file";

    ExpectLoaded(Load(bytes));
    EXPECT_EQ(std::memcmp(image.bits, bytes.data() + 118, 96 * 102), 0);
    image.Paint(kDc, 2, 2);
    EXPECT_EQ(sim::LogOf("StretchDIBits"),
              std::vector<std::string>{"StretchDIBits 2 2 190x102 from 0 0 190x102 biSize 40 usage 0 rop 13369376"});
}

// ---------------------------------------------------------------------------------------
// Faults of the file system itself.

TEST_F(DibImageTest, ReadErrorsLeaveNothingOpenOrAllocated)
{
    Bmp bmp;
    bmp.width = 64;
    bmp.height = 8;
    bmp.rows = Pattern(RowBytes(64) * 8);
    std::string bytes = bmp.Bytes();
    for (int failAfter : {0, 5, 13, 14, 40, 57, 117, 118, 150}) {
        sim::Reset();
        DibImage reader;
        sim::AddFile(kPath, bytes);
        World().failReadAfterBytes = failAfter;
        EXPECT_EQ(reader.Load(kPath), 0) << failAfter;
        ASSERT_EQ(World().boxes.size(), 1u) << failAfter;
        if (failAfter < 14) {
            bool loaderMessage = false;
            for (unsigned id = 1200; id <= 1205; ++id)
                loaderMessage = loaderMessage || World().boxes[0].text == LoaderText(id);
            EXPECT_TRUE(loaderMessage) << failAfter << ": " << World().boxes[0].text;
        } else {
            EXPECT_EQ(World().boxes[0].text, LoaderText(1202)) << failAfter;
        }
        EXPECT_EQ(World().openFiles, 0) << failAfter;
        EXPECT_EQ(reader.bits, nullptr) << failAfter;
        EXPECT_EQ(reader.file, INVALID_HANDLE_VALUE) << failAfter;
        reader.Paint(kDc, 2, 2);
        EXPECT_TRUE(sim::LogOf("StretchDIBits").empty()) << failAfter;
    }
}

TEST_F(DibImageTest, SeekErrorLeavesNothingOpenOrAllocated)
{
    sim::AddFile(kPath, Bmp().Bytes());
    World().failSeek = true;
    ExpectRefused(image.Load(kPath), 1202);
}

TEST_F(DibImageTest, FailedReloadDropsTheEarlierPicture)
{
    ExpectLoaded(Load(Bmp().Bytes()));
    Bmp bad;
    bad.compression = 2;
    sim::AddFile(kPath, bad.Bytes());
    EXPECT_EQ(image.Load(kPath), 0);
    ExpectOneBox(1205);
    EXPECT_EQ(image.bits, nullptr);
    EXPECT_EQ(World().openFiles, 0);
    EXPECT_EQ(image.Paint(kDc, 2, 2), 0);
    EXPECT_TRUE(sim::LogOf("StretchDIBits").empty());
}

// ---------------------------------------------------------------------------------------
// Painting.

TEST_F(DibImageTest, PaintDrawsNothingBeforeALoad)
{
    DibImage fresh;
    EXPECT_EQ(fresh.bits, nullptr);
    EXPECT_EQ(fresh.file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(fresh.Paint(kDc, 2, 2), 0);
    EXPECT_TRUE(sim::LogOf("StretchDIBits").empty());
}

TEST_F(DibImageTest, PaintMakesExactlyOneFixedSizeCallEachTime)
{
    Bmp bmp;
    bmp.width = 400;
    bmp.height = 300;
    bmp.rows = Pattern(RowBytes(400) * 300);
    ExpectLoaded(Load(bmp.Bytes()));
    EXPECT_EQ(image.Paint(kDc, 2, 2), 102);
    EXPECT_EQ(image.Paint(kDc, -5, 7), 102);
    EXPECT_EQ(sim::LogOf("StretchDIBits"),
              (std::vector<std::string>{"StretchDIBits 2 2 190x102 from 0 0 190x102 biSize 40 usage 0 rop 13369376",
                                        "StretchDIBits -5 7 190x102 from 0 0 190x102 biSize 40 usage 0 rop 13369376"}));
    EXPECT_EQ(image.info.header.biWidth, 400) << "painting changes nothing";
}

// ---------------------------------------------------------------------------------------
// The header helpers.

TEST(DibHeaderTest, RowsArePaddedToFourBytes)
{
    BITMAPINFOHEADER header{};
    struct {
        LONG width, height;
        std::size_t bytes;
    } cases[] = {{1, 1, 4}, {8, 1, 4}, {9, 1, 8}, {190, 102, 96 * 102}, {190, -102, 96 * 102}, {4096, 4096, 2048 * 4096}};
    for (const auto& c : cases) {
        header.biWidth = c.width;
        header.biHeight = c.height;
        EXPECT_EQ(DibRowsSize(header), c.bytes) << c.width << "x" << c.height;
    }
}

TEST(DibHeaderTest, RefusesRowsNoDialogPictureNeeds)
{
    BITMAPINFOHEADER header{};
    header.biPlanes = 1;
    header.biBitCount = 4;
    struct {
        long long width, height;
        unsigned message;
    } cases[] = {{190, 102, 0},       {4096, 4096, 0},  {4096, -4096, 0},          {1, -1, 0},
                 {0, 1, 1202},        {-1, 1, 1202},    {4097, 1, 1202},           {1, 0, 1202},
                 {1, 4097, 1202},     {1, -4097, 1202}, {1, INT32_MIN, 1202},      {1, INT32_MAX, 1202},
                 {INT32_MIN, 1, 1202}, {INT32_MAX, 1, 1202}};
    for (const auto& c : cases) {
        header.biWidth = Dim(c.width);
        header.biHeight = Dim(c.height);
        EXPECT_EQ(CheckDibHeader(header), c.message) << c.width << "x" << c.height;
    }
}

}  // namespace
