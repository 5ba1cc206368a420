#include "services/DriverVersionCheck.h"
#include "services/FileVersionReader.h"
#include "tests/unit/SimTest.h"

#include <cstring>
#include <memory>
#include <string>

namespace {

const char kDriver[] = "C:\\WINDOWS\\system32\\drivers\\orvelxpparallel.sys";
const char kGermanMarker[] = "\\StringFileInfo\\040704e4\\OrvelVersion";

using Resource = std::shared_ptr<sim::VersionResource>;

// The bytes of a fixed version block carrying `signature`, every other word set to a
// value of its own, cut to `size` bytes (52: the whole block).
std::string Root(DWORD signature, std::size_t size = sizeof(VS_FIXEDFILEINFO))
{
    VS_FIXEDFILEINFO fixed;
    DWORD* words = reinterpret_cast<DWORD*>(&fixed);
    for (int i = 0; i < 13; ++i)
        words[i] = 0x11110000u + static_cast<DWORD>(i);
    fixed.dwSignature = signature;
    std::string bytes(reinterpret_cast<const char*>(&fixed), sizeof fixed);
    bytes.resize(size, '\x5A');
    return bytes;
}

Resource Marker(const std::string& value) { return sim::MarkerVersion(value); }

// A resource with the given translations whose marker stands in the table `table` (8 hex digits).
Resource MarkerIn(std::vector<DWORD> translations, const std::string& table, const std::string& value = "1.59")
{
    auto version = std::make_shared<sim::VersionResource>();
    version->translations = std::move(translations);
    // The simulator copies the table with memcpy even when it is empty; an empty vector
    // with room keeps that copy from getting a null source.
    version->translations.reserve(1);
    version->values["\\StringFileInfo\\" + table + "\\OrvelVersion"] = value + std::string(1, '\0');
    return version;
}

Resource WithRoot(std::string root)
{
    Resource version = Marker("1.59");
    version->root = std::move(root);
    return version;
}

void AddDriver(const std::string& path, Resource version)
{
    sim::AddFile(path);
    sim::FindFile(path)->version = std::move(version);
}

class FileVersionReaderTest : public SimTest {};

// ---------------------------------------------------------------------------------------
// The check, over the resources a driver file may carry.

struct MarkerCase {
    const char* name;
    Resource (*resource)();  // null: the file has no version resource
    bool fileExists;
    int expected;
};

void PrintTo(const MarkerCase& c, std::ostream* out) { *out << c.name; }

class DriverVersionTableTest : public FileVersionReaderTest, public ::testing::WithParamInterface<MarkerCase> {};

TEST_P(DriverVersionTableTest, AcceptsOnlyTheExactMarker)
{
    const MarkerCase& c = GetParam();
    if (c.fileExists)
        AddDriver(kDriver, c.resource ? c.resource() : nullptr);
    EXPECT_EQ(CheckDriverFileVersion(kDriver), c.expected);
    EXPECT_TRUE(World().boxes.empty()) << "the check is silent";
    EXPECT_EQ(World().openFiles, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Resources, DriverVersionTableTest,
    ::testing::Values(
        MarkerCase{"Marker", [] { return Marker("1.59"); }, true, 1},
        MarkerCase{"OlderVersion", [] { return Marker("1.58"); }, true, 0},
        MarkerCase{"NewerVersion", [] { return Marker("1.60"); }, true, 0},
        MarkerCase{"BlankAfter", [] { return Marker("1.59 "); }, true, 0},
        MarkerCase{"BlankBefore", [] { return Marker(" 1.59"); }, true, 0},
        MarkerCase{"TrailingZero", [] { return Marker("1.590"); }, true, 0},
        MarkerCase{"ShorterNumber", [] { return Marker("1.6"); }, true, 0},
        MarkerCase{"PrefixOnly", [] { return Marker("1.5"); }, true, 0},
        MarkerCase{"CommaInsteadOfPoint", [] { return Marker("1,59"); }, true, 0},
        MarkerCase{"EmptyValue", [] { return Marker(""); }, true, 0},
        MarkerCase{"TextEndsAtItsTerminator", [] { return Marker(std::string("1.59\0junk", 9)); }, true, 1},
        MarkerCase{"UnterminatedValue",
                   [] {
                       Resource v = Marker("");
                       v->values[kGermanMarker] = "1.59";
                       return v;
                   },
                   true, 1},
        MarkerCase{"NoMarkerValue",
                   [] {
                       Resource v = Marker("");
                       v->values.clear();
                       v->values["\\StringFileInfo\\040704e4\\FileVersion"] = std::string("1.59\0", 5);
                       return v;
                   },
                   true, 0},
        MarkerCase{"NoVersionResource", nullptr, true, 0},
        MarkerCase{"MissingFile", nullptr, false, 0},
        MarkerCase{"OnlyInSecondTranslation", [] { return MarkerIn({0x04B00409, 0x04E40407}, "040704e4"); }, true, 0},
        MarkerCase{"InFirstOfTwoTranslations", [] { return MarkerIn({0x04B00409, 0x04E40407}, "040904b0"); }, true, 1},
        MarkerCase{"TranslationsOwnCodePage", [] { return MarkerIn({0x04B00407}, "040704b0"); }, true, 1},
        MarkerCase{"TableKeyInCapitals", [] { return MarkerIn({0x04E40407}, "040704E4"); }, true, 1},
        MarkerCase{"ValueNameInCapitals",
                   [] {
                       Resource v = Marker("");
                       v->values.clear();
                       v->values["\\StringFileInfo\\040704e4\\ORVELVERSION"] = std::string("1.59\0", 5);
                       return v;
                   },
                   true, 1},
        MarkerCase{"NotInTranslationsCodePage", [] { return MarkerIn({0x04B00407}, "040704e4"); }, true, 0},
        MarkerCase{"NoTranslationGerman1252", [] { return MarkerIn({}, "040704e4"); }, true, 1},
        MarkerCase{"NoTranslationNotEnglish", [] { return MarkerIn({}, "040904e4"); }, true, 0},
        MarkerCase{"NoTranslationNotNeutral", [] { return MarkerIn({}, "000004e4"); }, true, 0},
        MarkerCase{"FullRootBlock", [] { return WithRoot(Root(0xFEEF04BD)); }, true, 1},
        MarkerCase{"WrongSignature", [] { return WithRoot(Root(0xFEEF04BE)); }, true, 0},
        MarkerCase{"SignatureBytesReversed", [] { return WithRoot(Root(0xBD04EFFE)); }, true, 0},
        MarkerCase{"NoRootBlock",
                   [] {
                       Resource v = Marker("1.59");
                       v->hasRoot = false;
                       return v;
                   },
                   true, 0},
        MarkerCase{"RootOfSignatureOnly", [] { return WithRoot(Root(0xFEEF04BD, 4)); }, true, 1},
        MarkerCase{"RootShorterThanSignature", [] { return WithRoot(Root(0xFEEF04BD, 2)); }, true, 0},
        MarkerCase{"RootLongerThanFixedBlock", [] { return WithRoot(Root(0xFEEF04BD, 80)); }, true, 1}),
    [](const ::testing::TestParamInfo<MarkerCase>& info) { return std::string(info.param.name); });

// ---------------------------------------------------------------------------------------
// The reader.

TEST_F(FileVersionReaderTest, OpenStartsFromGerman1252AndAZeroBlock)
{
    FileVersionReader reader;
    std::memset(&reader.fixedInfo, 0xEE, sizeof reader.fixedInfo);
    reader.language = 0x1234;
    reader.codePage = 0x5678;
    EXPECT_EQ(reader.Open(kDriver), 0);
    EXPECT_EQ(reader.codePage, 1252);
    EXPECT_EQ(reader.language, 0x0407);
    VS_FIXEDFILEINFO zero{};
    EXPECT_EQ(std::memcmp(&reader.fixedInfo, &zero, sizeof zero), 0);
}

TEST_F(FileVersionReaderTest, OpenCopiesTheWholeFixedBlockAndTheFirstTranslation)
{
    Resource version = MarkerIn({0x04B00409, 0x04E40407}, "040904b0");
    version->root = Root(0xFEEF04BD);
    AddDriver(kDriver, version);
    FileVersionReader reader;
    ASSERT_EQ(reader.Open(kDriver), 1);
    EXPECT_EQ(std::memcmp(&reader.fixedInfo, version->root.data(), sizeof reader.fixedInfo), 0);
    EXPECT_EQ(reader.language, 0x0409);
    EXPECT_EQ(reader.codePage, 0x04B0);
    EXPECT_EQ(std::string(reader.GetStringValue("OrvelVersion").c_str()), "1.59");
}

TEST_F(FileVersionReaderTest, ShortRootBlockLeavesTheRestOfTheFixedBlockZero)
{
    // What follows the root block in the resource (translations, values) must not leak in.
    Resource version = Marker("1.59");
    version->root = Root(0xFEEF04BD, 8);
    AddDriver(kDriver, version);
    FileVersionReader reader;
    ASSERT_EQ(reader.Open(kDriver), 1);
    EXPECT_EQ(reader.fixedInfo.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(reader.fixedInfo.dwStrucVersion, 0x11110001u);
    const DWORD* words = reinterpret_cast<const DWORD*>(&reader.fixedInfo);
    for (int i = 2; i < 13; ++i)
        EXPECT_EQ(words[i], 0u) << "word " << i;
}

TEST_F(FileVersionReaderTest, WithoutTranslationTheGermanWesternTableIsAsked)
{
    AddDriver(kDriver, MarkerIn({}, "040704e4"));
    EXPECT_EQ(CheckDriverFileVersion(kDriver), 1);
    EXPECT_EQ(sim::LogOf("VerQueryValue \\StringFileInfo"),
              std::vector<std::string>{"VerQueryValue \\StringFileInfo\\040704e4\\OrvelVersion"});
}

TEST_F(FileVersionReaderTest, QueryPathUsesLowerCaseHexWithLeadingZeros)
{
    AddDriver(kDriver, MarkerIn({0x00EF0C0A}, "0c0a00ef"));
    EXPECT_EQ(CheckDriverFileVersion(kDriver), 1);
    EXPECT_EQ(sim::LogOf("VerQueryValue \\StringFileInfo"),
              std::vector<std::string>{"VerQueryValue \\StringFileInfo\\0c0a00ef\\OrvelVersion"});
    EXPECT_STREQ(StringValuePath(0x0407, 1252, "OrvelVersion").c_str(), kGermanMarker);
    EXPECT_STREQ(StringValuePath(0xABCD, 0x0001, "x").c_str(), "\\StringFileInfo\\abcd0001\\x");
    EXPECT_STREQ(StringValuePath(0, 0, "").c_str(), "\\StringFileInfo\\00000000\\");
}

TEST_F(FileVersionReaderTest, ValueIsReadNoFurtherThanItsLength)
{
    // The unterminated marker is directly followed by the next value's bytes.
    Resource version = Marker("");
    version->values[kGermanMarker] = "1.59";
    version->values["\\StringFileInfo\\040704e4\\Zulu"] = std::string("0 more\0", 7);
    AddDriver(kDriver, version);
    FileVersionReader reader;
    ASSERT_EQ(reader.Open(kDriver), 1);
    EXPECT_STREQ(reader.GetStringValue("OrvelVersion").c_str(), "1.59");
    EXPECT_EQ(reader.GetStringValue("OrvelVersion").size(), 4u);
    EXPECT_EQ(CheckDriverFileVersion(kDriver), 1);
}

TEST_F(FileVersionReaderTest, ValueAtTheEndOfTheResourceIsNotReadPast)
{
    Resource version = Marker("");
    version->values[kGermanMarker] = "1.59";  // the last bytes of the resource, no terminator
    AddDriver(kDriver, version);
    FileVersionReader reader;
    ASSERT_EQ(reader.Open(kDriver), 1);

    // Whatever the resource's buffer holds behind the value is not zero either.
    DWORD size = os::GetFileVersionInfoSizeA(kDriver, nullptr);
    void* value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(os::VerQueryValueA(reader.versionData.Get(), kGermanMarker, &value, &length));
    unsigned char* behind = static_cast<unsigned char*>(value) + length;
    ASSERT_LE(behind, reader.versionData.Get() + size);
    std::memset(behind, 'X', static_cast<std::size_t>(reader.versionData.Get() + size - behind));

    String text = reader.GetStringValue("OrvelVersion");
    EXPECT_STREQ(text.c_str(), "1.59");
}

TEST_F(FileVersionReaderTest, GetStringValueBeforeOpenIsEmpty)
{
    FileVersionReader reader;
    EXPECT_TRUE(reader.GetStringValue("OrvelVersion").empty());
    EXPECT_TRUE(sim::LogOf("VerQueryValue").empty());
}

TEST_F(FileVersionReaderTest, MissingValueIsEmptyAndNamesMatchWithoutCase)
{
    AddDriver(kDriver, Marker("1.59"));
    FileVersionReader reader;
    ASSERT_EQ(reader.Open(kDriver), 1);
    EXPECT_TRUE(reader.GetStringValue("FileVersion").empty());
    EXPECT_TRUE(reader.GetStringValue("OrvelVersio").empty());
    // VerQueryValue compares names without regard to case.
    EXPECT_STREQ(reader.GetStringValue("orvelversion").c_str(), "1.59");
    EXPECT_STREQ(reader.GetStringValue("ORVELVERSION").c_str(), "1.59");
}

class LongNameTest : public FileVersionReaderTest, public ::testing::WithParamInterface<std::size_t> {};

TEST_P(LongNameTest, NamesOf260CharactersOrMoreAreRefused)
{
    const std::size_t length = GetParam();
    std::string name = "C:\\" + std::string(length - 9, 'd') + "\\a.sys";
    ASSERT_EQ(name.size(), length);
    AddDriver(name, Marker("1.59"));
    int expected = length < 260 ? 1 : 0;
    FileVersionReader reader;
    EXPECT_EQ(reader.Open(name.c_str()), expected);
    EXPECT_EQ(CheckDriverFileVersion(name.c_str()), expected);
    EXPECT_TRUE(World().boxes.empty());
}

INSTANTIATE_TEST_SUITE_P(Lengths, LongNameTest, ::testing::Values(259, 260, 261, 400),
    [](const ::testing::TestParamInfo<std::size_t>& info) { return std::to_string(info.param) + "_characters"; });

TEST_F(FileVersionReaderTest, NullNameReadsTheRunningProgram)
{
    AddDriver(World().modulePath, Marker("1.59"));
    FileVersionReader reader;
    EXPECT_EQ(reader.Open(nullptr), 1);
    EXPECT_STREQ(reader.GetStringValue("OrvelVersion").c_str(), "1.59");
}

TEST_F(FileVersionReaderTest, ReopeningReplacesTheResource)
{
    const std::string other = "C:\\WINDOWS\\system32\\drivers\\orvel2kparport.sys";
    AddDriver(kDriver, Marker("1.59"));
    AddDriver(other, MarkerIn({0x04B00409}, "040904b0", "2.00"));
    FileVersionReader reader;
    ASSERT_EQ(reader.Open(kDriver), 1);
    ASSERT_EQ(reader.Open(other.c_str()), 1);
    EXPECT_EQ(reader.language, 0x0409);
    EXPECT_STREQ(reader.GetStringValue("OrvelVersion").c_str(), "2.00");
    EXPECT_EQ(reader.Open("C:\\nowhere.sys"), 0);
    EXPECT_EQ(reader.language, 0x0407);
    EXPECT_EQ(reader.codePage, 1252);
}

}  // namespace
