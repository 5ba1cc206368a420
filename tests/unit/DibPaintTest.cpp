#include "res/resource.h"
#include "tests/unit/DibImageFixture.h"

namespace {

using namespace dib_test;

// ---------------------------------------------------------------------------------------
// Painting.

TEST_F(DibImageTest, PaintDrawsNothingBeforeALoad)
{
    DibImage fresh;
    EXPECT_EQ(fresh.bits.Get(), nullptr);
    EXPECT_FALSE(fresh.file);
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

// How many colours the drawing call is told of. The graphics engine reads biClrUsed
// entries after the header (all 16 when it is 0); the image holds 16, so a larger count
// from the file would make it read past the image.

struct ColourCountCase {
    const char* name;
    DWORD inFile;
    DWORD handedOn;
};

void PrintTo(const ColourCountCase& c, std::ostream* out) { *out << c.name; }

class DibColourCountTest : public DibImageTest, public ::testing::WithParamInterface<ColourCountCase> {};

TEST_P(DibColourCountTest, DrawingCallIsToldOfNoMoreColoursThanTheImageHolds)
{
    const ColourCountCase& c = GetParam();
    Bmp bmp;
    bmp.colorsUsed = c.inFile;
    std::string bytes = bmp.Bytes();
    ExpectLoaded(Load(bytes));
    EXPECT_EQ(image.Paint(kDc, 2, 2), 102);
    EXPECT_EQ(image.info.header.biClrUsed, c.handedOn);
    EXPECT_EQ(std::memcmp(image.info.colors, bytes.data() + 54, 64), 0) << "the table stays as read";
}

INSTANTIATE_TEST_SUITE_P(Files, DibColourCountTest,
                         ::testing::Values(ColourCountCase{"ZeroMeansAllSixteen", 0, 0},
                                           ColourCountCase{"Two", 2, 2},
                                           ColourCountCase{"Sixteen", 16, 16},
                                           ColourCountCase{"Seventeen", 17, 16},
                                           ColourCountCase{"TwoHundredFiftySix", 256, 16},
                                           ColourCountCase{"Largest", 0xFFFFFFFFu, 16}),
                         [](const ::testing::TestParamInfo<ColourCountCase>& info) { return std::string(info.param.name); });

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
                 {0, 1, MSG_BMP_NO_INFO_BLOCK},        {-1, 1, MSG_BMP_NO_INFO_BLOCK},    {4097, 1, MSG_BMP_NO_INFO_BLOCK},           {1, 0, MSG_BMP_NO_INFO_BLOCK},
                 {1, 4097, MSG_BMP_NO_INFO_BLOCK},     {1, -4097, MSG_BMP_NO_INFO_BLOCK}, {1, INT32_MIN, MSG_BMP_NO_INFO_BLOCK},      {1, INT32_MAX, MSG_BMP_NO_INFO_BLOCK},
                 {INT32_MIN, 1, MSG_BMP_NO_INFO_BLOCK}, {INT32_MAX, 1, MSG_BMP_NO_INFO_BLOCK}};
    for (const auto& c : cases) {
        header.biWidth = Dim(c.width);
        header.biHeight = Dim(c.height);
        EXPECT_EQ(CheckDibHeader(header), c.message) << c.width << "x" << c.height;
    }
}

}  // namespace
