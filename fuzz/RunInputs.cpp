// Runs a fuzz target's function over files, as the fuzzer would: each file given, and
// every file in each folder given. Used where libFuzzer is not linked, to keep the inputs
// the fuzzer found as tests, and to measure what each input costs: every input runs in a
// child process of its own, so its peak memory and its time are its alone.
// Usage: fuzz-NAME [--max-rss-mb=N] [--max-seconds=S] FILE|FOLDER...
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size);

namespace fs = std::filesystem;

namespace {

struct TCost {
    bool Passed = false;
    double Seconds = 0;
    long PeakKiB = 0; // the child's peak resident set, the runner's few pages included
};

TCost RunInChild(const fs::path& Input)
{
    std::fflush(nullptr); // or the child would write the runner's pending lines again
    const auto Start = std::chrono::steady_clock::now();
    const pid_t Child = fork();
    if (Child < 0) {
        std::perror("fork");
        std::exit(2);
    }
    if (Child == 0) {
        std::ifstream In(Input, std::ios::binary);
        const std::vector<uint8_t> Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
        LLVMFuzzerTestOneInput(Bytes.data(), Bytes.size());
        std::fflush(nullptr);
        _exit(0);
    }
    int Status = 0;
    rusage Usage{};
    wait4(Child, &Status, 0, &Usage);
    TCost Cost;
    Cost.Passed = WIFEXITED(Status) && WEXITSTATUS(Status) == 0;
    Cost.Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
    Cost.PeakKiB = Usage.ru_maxrss;
    return Cost;
}

bool TakeOption(const std::string& Arg, const std::string& Name, double& Value)
{
    if (Arg.rfind(Name, 0) != 0)
        return false;
    Value = std::atof(Arg.c_str() + Name.size());
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    double MaxRssMb = 0, MaxSeconds = 0; // 0: no limit
    std::vector<fs::path> Inputs;
    for (int I = 1; I < argc; ++I) {
        const std::string Arg = argv[I];
        if (TakeOption(Arg, "--max-rss-mb=", MaxRssMb) || TakeOption(Arg, "--max-seconds=", MaxSeconds))
            continue;
        // A folder that is not there would make a test that passes on nothing.
        if (!fs::exists(Arg)) {
            std::fprintf(stderr, "%s: no such file or folder\n", Arg.c_str());
            return 2;
        }
        if (fs::is_directory(Arg)) {
            for (const auto& Entry : fs::directory_iterator(Arg))
                if (Entry.is_regular_file())
                    Inputs.push_back(Entry.path());
        } else {
            Inputs.emplace_back(Arg);
        }
    }
    std::sort(Inputs.begin(), Inputs.end());
    int Failures = 0;
    fs::path Slowest, Largest;
    double SlowestSeconds = 0;
    long LargestKiB = 0;
    for (const fs::path& Input : Inputs) {
        const TCost Cost = RunInChild(Input);
        const bool TooBig = MaxRssMb > 0 && Cost.PeakKiB > MaxRssMb * 1024;
        const bool TooSlow = MaxSeconds > 0 && Cost.Seconds > MaxSeconds;
        if (!Cost.Passed || TooBig || TooSlow) {
            ++Failures;
            std::printf("FAILED %s: %s%s%s(%.3f s, %ld KiB)\n", Input.string().c_str(),
                        Cost.Passed ? "" : "the run failed ", TooBig ? "over the memory limit " : "",
                        TooSlow ? "over the time limit " : "", Cost.Seconds, Cost.PeakKiB);
        }
        if (Cost.Seconds > SlowestSeconds)
            SlowestSeconds = Cost.Seconds, Slowest = Input;
        if (Cost.PeakKiB > LargestKiB)
            LargestKiB = Cost.PeakKiB, Largest = Input;
    }
    std::printf("%zu inputs ran, %d failed\n", Inputs.size(), Failures);
    if (!Inputs.empty())
        std::printf("slowest: %.3f s (%s)\npeak memory: %.1f MiB (%s)\n", SlowestSeconds,
                    Slowest.filename().string().c_str(), LargestKiB / 1024.0, Largest.filename().string().c_str());
    return Inputs.empty() || Failures > 0 ? 1 : 0;
}
