// libFuzzer target: arbitrary bytes as OEM.BMP through DibImage::Load on the simulated
// file system, once as they are and once with a read or seek error of the file system.
// Build and run with tools/fuzz_bmp.sh.
#include "dib/DibImage.h"
#include "res/Catalogue.h"
#include "tests/sim/SimWindows.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const char kPath[] = "C:\\Setup\\OEM.BMP";
HDC const kDc = reinterpret_cast<HDC>(0x4711);

void Require(bool condition, const char* what)
{
    if (!condition) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

bool IsLoaderMessage(const std::string& text)
{
    for (unsigned i = 0; i < kCatalogueSize; ++i) {
        if (kCatalogue[i].id >= 1200 && kCatalogue[i].id <= 1205 && text == kCatalogue[i].text)
            return true;
    }
    return false;
}

void LoadOnce(const std::string& bytes, int failReadAfter, bool failSeek)
{
    sim::Reset();
    sim::AddFile(kPath, bytes);
    sim::Get().failReadAfterBytes = failReadAfter;
    sim::Get().failSeek = failSeek;

    DibImage image;
    int result = image.Load(kPath);
    Require(result == 0 || result == 1, "Load answers 1 or 0");
    Require(sim::Get().openFiles == 0, "the file is closed on every path");
    Require(!image.file, "no handle is kept");

    if (result == 1) {
        Require(sim::Get().boxes.empty(), "a successful load shows nothing");
        Require(image.bits.Get() != nullptr, "a loaded picture has rows");
        Require(image.info.header.biSize == 40, "biSize is 40 after a load");
        Require(image.info.header.biClrUsed <= 16, "the drawing call is told of no more colours than info holds");
        Require(CheckDibHeader(image.info.header) == 0, "only acceptable headers load");
        std::size_t size = DibRowsSize(image.info.header);
        Require(size > 0 && size <= std::size_t{2048} * 4096, "the rows are of a sensible size");
        // Every row the header describes is readable (ASan checks the buffer's end).
        volatile unsigned sum = 0;
        for (std::size_t i = 0; i < size; ++i)
            sum = sum + image.bits.Get()[i];
        (void)sum;
        image.Paint(kDc, 2, 2);
        Require(sim::LogOf("StretchDIBits").size() == 1, "one drawing call per paint");
    } else {
        Require(sim::Get().boxes.size() == 1, "a failed load shows exactly one message");
        Require(IsLoaderMessage(sim::Get().boxes[0].text), "the message is one of 1200-1205");
        Require(sim::Get().boxes[0].owner == nullptr, "the message has no owner");
        Require(image.bits.Get() == nullptr, "a failed load keeps no rows");
        image.Paint(kDc, 2, 2);
        Require(sim::LogOf("StretchDIBits").empty(), "nothing is drawn without a picture");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    std::string bytes(reinterpret_cast<const char*>(data), size);
    LoadOnce(bytes, -1, false);

    // The same file with a fault of the file system, at a place the input decides.
    std::uint32_t h = 2166136261u;
    for (std::size_t i = 0; i < size && i < 64; ++i)
        h = (h ^ data[i]) * 16777619u;
    if (h & 1)
        LoadOnce(bytes, -1, true);
    else
        LoadOnce(bytes, static_cast<int>((h >> 1) % (size + 16)), false);
    return 0;
}
