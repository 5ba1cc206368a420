// Feeds every file of the BMP fuzz corpus once through the fuzz target
// (LLVMFuzzerTestOneInput in fuzz_bmp.cpp), without libFuzzer: the fuzz target's own
// checks abort on a fault, so a seed that once found a bug keeps being tried in every
// host build, the 32-bit one included.
//
//   bmp_corpus_replay <corpus directory>
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus directory>\n", argv[0]);
        return 2;
    }
    std::vector<std::filesystem::path> files;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(argv[1], error)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    // A missing or empty corpus would pass silently otherwise.
    if (error || files.empty()) {
        std::fprintf(stderr, "no corpus files in %s\n", argv[1]);
        return 1;
    }
    std::sort(files.begin(), files.end());
    for (const auto& file : files) {
        // Named first, so that an abort in the fuzz target says which seed caused it.
        std::printf("%s\n", file.filename().string().c_str());
        std::fflush(stdout);
        std::ifstream in(file, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "cannot read %s\n", file.string().c_str());
            return 1;
        }
        std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    }
    std::printf("%zu corpus files replayed\n", files.size());
    return 0;
}
