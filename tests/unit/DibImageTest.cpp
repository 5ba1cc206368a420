#include "res/resource.h"
#include "tests/unit/DibImageFixture.h"

#include <algorithm>
#include <fstream>
#include <iterator>

namespace {

using namespace dib_test;

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
    ASSERT_EQ(World().openings.size(), 1u);
    const sim::FileOpening& opening = World().openings[0];
    EXPECT_EQ(opening.path, kPath);
    EXPECT_EQ(opening.access, GENERIC_READ) << "read only: the picture may sit on a CD or a protected share";
    EXPECT_EQ(opening.share, static_cast<DWORD>(FILE_SHARE_READ));
    EXPECT_EQ(opening.disposition, static_cast<DWORD>(OPEN_EXISTING)) << "a missing picture is never created";
    if (c.message) {
        ExpectRefused(result, c.message);
    } else {
        ExpectLoaded(result);
        EXPECT_LE(NonZeroRowBytes(image), Bmp().rows.size()) << "rows past the file's are zero";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, DibLoadTableTest,
    ::testing::Values(
        LoadCase{"MissingFile", nullptr, MSG_BMP_NOT_FOUND},
        LoadCase{"EmptyFile", [] { return std::string(); }, MSG_BMP_NOT_BMP},
        LoadCase{"ThirteenBytes", [] { return Bmp().Bytes().substr(0, 13); }, MSG_BMP_NOT_BMP},
        LoadCase{"OnlyTheLettersBM", [] { return std::string("BM"); }, MSG_BMP_NOT_BMP},
        LoadCase{"LettersSwapped", [] { Bmp b; b.type = "MB"; return b.Bytes(); }, MSG_BMP_NOT_BMP},
        LoadCase{"LowerCaseLetters", [] { Bmp b; b.type = "bm"; return b.Bytes(); }, MSG_BMP_NOT_BMP},
        LoadCase{"NotABitmapAtAll", [] { return std::string("GIF89a") + Pattern(200); }, MSG_BMP_NOT_BMP},
        LoadCase{"FileHeaderOnly", [] { return Bmp().Bytes().substr(0, 14); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"InfoHeaderShort", [] { return Bmp().Bytes().substr(0, 14 + 30); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"FirstColourShort", [] { return Bmp().Bytes().substr(0, 14 + 43); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"OnlyTheFirstColour", [] { return Bmp().Bytes().substr(0, 14 + 44); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"ColourTableShortByOne", [] { return Bmp().Bytes().substr(0, 14 + 103); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"PlanesTwo", [] { Bmp b; b.planes = 2; return b.Bytes(); }, MSG_BMP_PLANES},
        LoadCase{"PlanesZero", [] { Bmp b; b.planes = 0; return b.Bytes(); }, MSG_BMP_PLANES},
        LoadCase{"OneBit", [] { Bmp b; b.bitCount = 1; return b.Bytes(); }, MSG_BMP_BIT_COUNT},
        LoadCase{"EightBit", [] { Bmp b; b.bitCount = 8; b.colorsUsed = 256; return b.Bytes(); }, MSG_BMP_BIT_COUNT},
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
                 MSG_BMP_BIT_COUNT},
        LoadCase{"ThirtyTwoBit", [] { Bmp b; b.bitCount = 32; return b.Bytes(); }, MSG_BMP_BIT_COUNT},
        LoadCase{"Rle4", [] { Bmp b; b.compression = 2; return b.Bytes(); }, MSG_BMP_COMPRESSED},
        LoadCase{"Bitfields", [] { Bmp b; b.compression = 3; return b.Bytes(); }, MSG_BMP_COMPRESSED},
        LoadCase{"Rle8TwoHundredFiftySixColours", [] { Bmp b; b.bitCount = 8; b.compression = 1; return b.Bytes(); }, MSG_BMP_BIT_COUNT},
        LoadCase{"PlanesBeforeEverythingElse",
                 [] { Bmp b; b.planes = 3; b.bitCount = 8; b.compression = 1; b.width = 0; return b.Bytes(); }, MSG_BMP_PLANES},
        LoadCase{"CompressionBeforeRows", [] { Bmp b; b.compression = 2; b.height = 0; return b.Bytes(); }, MSG_BMP_COMPRESSED},
        LoadCase{"WidthZero", [] { Bmp b; b.width = 0; return b.Bytes(); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"WidthNegative", [] { Bmp b; b.width = -8; return b.Bytes(); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"WidthMostNegative", [] { Bmp b; b.width = Dim(INT32_MIN); return b.Bytes(); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"WidthBeyondLimit", [] { Bmp b; b.width = 4097; return b.Bytes(); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"HeightZero", [] { Bmp b; b.height = 0; return b.Bytes(); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"HundredThousandRows", [] { Bmp b; b.height = 100000; return b.Bytes(); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"HundredThousandRowsTopDown", [] { Bmp b; b.height = -100000; return b.Bytes(); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"HeightBeyondLimit", [] { Bmp b; b.height = 4097; return b.Bytes(); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"HeightMostNegative", [] { Bmp b; b.height = Dim(INT32_MIN); return b.Bytes(); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"HeightMostPositive", [] { Bmp b; b.height = INT32_MAX; return b.Bytes(); }, MSG_BMP_NO_INFO_BLOCK},
        LoadCase{"RowsBeyondTwoGigabytes", [] { Bmp b; b.offBits = 0x80000000u; return b.Bytes(); }, MSG_BMP_NO_INFO_BLOCK},
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
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.bits.Get()), 8), bmp.rows);
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
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.bits.Get()), bmp.rows.size()), bmp.rows);

    // One byte less and the colour table read comes up short.
    sim::Reset();
    DibImage shorter;
    sim::AddFile(kPath, bytes.substr(0, 117));
    EXPECT_EQ(shorter.Load(kPath), 0);
    ExpectOneBox(MSG_BMP_NO_INFO_BLOCK);
    EXPECT_EQ(shorter.bits.Get(), nullptr);
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
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.bits.Get()), bmp.rows.size()), bmp.rows);
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
    EXPECT_LT(AllocatedSize(image.bits.Get()), std::size_t{1} << 16);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.bits.Get()), 8), bmp.rows);
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
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(image.bits.Get()), bmp.rows.size()), bmp.rows);
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
    EXPECT_EQ(std::memcmp(image.bits.Get(), "\x12\x34\x56\x78", 4), 0);
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
    EXPECT_EQ(std::memcmp(image.bits.Get(), bytes.data() + 118, 96 * 102), 0);
    image.Paint(kDc, 2, 2);
    EXPECT_EQ(sim::LogOf("StretchDIBits"),
              std::vector<std::string>{"StretchDIBits 2 2 190x102 from 0 0 190x102 biSize 40 usage 0 rop 13369376"});
}

// ---------------------------------------------------------------------------------------
// Faults of the file system itself.

// The read fails after this many bytes of the file.
class ReadErrorTest : public DibImageTest, public ::testing::WithParamInterface<int> {};

TEST_P(ReadErrorTest, LeavesNothingOpenOrAllocated)
{
    const int failAfter = GetParam();
    Bmp bmp;
    bmp.width = 64;
    bmp.height = 8;
    bmp.rows = Pattern(RowBytes(64) * 8);
    DibImage reader;
    sim::AddFile(kPath, bmp.Bytes());
    World().failReadAfterBytes = failAfter;
    EXPECT_EQ(reader.Load(kPath), 0);
    ASSERT_EQ(World().boxes.size(), 1u);
    if (failAfter < 14) {
        bool loaderMessage = false;
        for (unsigned id = MSG_BMP_NOT_FOUND; id <= MSG_BMP_COMPRESSED; ++id)
            loaderMessage = loaderMessage || World().boxes[0].text == LoaderText(id);
        EXPECT_TRUE(loaderMessage) << World().boxes[0].text;
    } else {
        EXPECT_EQ(World().boxes[0].text, LoaderText(MSG_BMP_NO_INFO_BLOCK));
    }
    EXPECT_EQ(World().openFiles, 0);
    EXPECT_EQ(reader.bits.Get(), nullptr);
    EXPECT_FALSE(reader.file);
    reader.Paint(kDc, 2, 2);
    EXPECT_TRUE(sim::LogOf("StretchDIBits").empty());
}

INSTANTIATE_TEST_SUITE_P(FailingAfter, ReadErrorTest, ::testing::Values(0, 5, 13, 14, 40, 57, 117, 118, 150),
    [](const ::testing::TestParamInfo<int>& info) { return std::to_string(info.param) + "_bytes"; });

TEST_F(DibImageTest, SeekErrorLeavesNothingOpenOrAllocated)
{
    sim::AddFile(kPath, Bmp().Bytes());
    World().failSeek = true;
    ExpectRefused(image.Load(kPath), MSG_BMP_NO_INFO_BLOCK);
}

TEST_F(DibImageTest, FailedReloadDropsTheEarlierPicture)
{
    ExpectLoaded(Load(Bmp().Bytes()));
    Bmp bad;
    bad.compression = 2;
    sim::AddFile(kPath, bad.Bytes());
    EXPECT_EQ(image.Load(kPath), 0);
    ExpectOneBox(MSG_BMP_COMPRESSED);
    EXPECT_EQ(image.bits.Get(), nullptr);
    EXPECT_EQ(World().openFiles, 0);
    EXPECT_EQ(image.Paint(kDc, 2, 2), 0);
    EXPECT_TRUE(sim::LogOf("StretchDIBits").empty());
}

}  // namespace
