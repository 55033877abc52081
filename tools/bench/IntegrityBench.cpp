// Prints what the installer's package check costs: the digest's speed in memory and the
// time of the whole check (every digest, every window, every final block) on an
// installer file. Not a test.
// Usage: integrity-bench INSTALLER
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "package/Integrity.h"
#include "platform/stdio/StdioFiles.h"

namespace {

using Clock = std::chrono::steady_clock;

template <typename TAction> double MedianSeconds(int Runs, TAction Action)
{
    std::vector<double> Times;
    for (int I = 0; I < Runs; ++I) {
        const auto Start = Clock::now();
        Action();
        Times.push_back(std::chrono::duration<double>(Clock::now() - Start).count());
    }
    std::sort(Times.begin(), Times.end());
    return Times[Times.size() / 2];
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: integrity-bench INSTALLER\n");
        return 2;
    }
    std::vector<uint8_t> Block(64 << 20);
    for (size_t I = 0; I < Block.size(); ++I)
        Block[I] = static_cast<uint8_t>(I * 2654435761u >> 13);
    qe::TDigest Sink{};
    const double Digest = MedianSeconds(5, [&] { Sink = qe::DigestOf(Block.data(), Block.size()); });
    std::printf("XXH3-128 in memory:  %8.0f MiB/s (digest byte %02x)\n", 64 / Digest, Sink[0]);

    qe::TStdioFiles Files;
    auto File = Files.OpenForReading(argv[1]);
    const qe::TPlatform None; // the model is only loaded
    qe::TQeInstall Model(None);
    Model.LoadFromStream(*File);
    const double MiB = static_cast<double>(File->GetSize()) / (1 << 20);
    bool Sound = false;
    const double Check = MedianSeconds(5, [&] { Sound = qe::CheckPackage(*File, Model).Sound(); });
    std::printf("package check:       %8.3f s for %.0f MiB (%.0f MiB/s), %s\n", Check, MiB, MiB / Check,
                Sound ? "sound" : "DAMAGED");
    return Sound ? 0 : 1;
}
