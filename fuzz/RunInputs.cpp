// Runs a fuzz target's function over files, as the fuzzer would: each file given, and
// every file in each folder given. Used where libFuzzer is not linked, to keep the
// inputs it once found faults with as tests.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

namespace fs = std::filesystem;

int main(int argc, char** argv)
{
    std::vector<fs::path> Inputs;
    for (int I = 1; I < argc; ++I) {
        if (fs::is_directory(argv[I])) {
            for (const auto& Entry : fs::directory_iterator(argv[I]))
                if (Entry.is_regular_file())
                    Inputs.push_back(Entry.path());
        } else {
            Inputs.emplace_back(argv[I]);
        }
    }
    for (const fs::path& Input : Inputs) {
        std::ifstream In(Input, std::ios::binary);
        const std::vector<uint8_t> Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
        std::printf("%s (%zu bytes)\n", Input.string().c_str(), Bytes.size());
        LLVMFuzzerTestOneInput(Bytes.data(), Bytes.size());
    }
    std::printf("%zu inputs ran\n", Inputs.size());
    return 0;
}
