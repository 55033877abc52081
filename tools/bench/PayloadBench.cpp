// Prints how fast payloads are enciphered and deciphered between buffered files, and
// how long loading a package takes: the figures behind the producer's and the install
// run's speed.
//   payload-bench [MEBIBYTES]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "package/PackageWriter.h"
#include "package/PayloadCipher.h"
#include "package/QeClasses.h"
#include "package/SubStreams.h"
#include "platform/stdio/StdioFiles.h"

namespace {

double SecondsSince(std::chrono::steady_clock::time_point Start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
}

} // namespace

int main(int argc, char** argv)
{
    namespace fs = std::filesystem;
    const int64_t MiB = argc > 1 ? std::atoll(argv[1]) : 64;
    const int64_t Size = MiB * 1024 * 1024 + 5;
    const fs::path Dir = fs::temp_directory_path() / "qe-payload-bench";
    fs::create_directories(Dir);
    qe::TStdioFiles Files;
    const qe::TPayloadKey Key = qe::RandomPayloadKey();

    {
        auto Plain = Files.CreateForWriting((Dir / "plain.bin").string());
        std::mt19937 Random(1);
        std::vector<uint8_t> Chunk(1 << 20);
        for (int64_t Done = 0; Done < Size; Done += static_cast<int64_t>(Chunk.size())) {
            for (auto& B : Chunk)
                B = static_cast<uint8_t>(Random());
            Plain->WriteBuffer(Chunk.data(), static_cast<int32_t>(std::min<int64_t>(Chunk.size(), Size - Done)));
        }
        Plain->Flush();
    }

    auto Start = std::chrono::steady_clock::now();
    {
        auto Plain = Files.OpenForReading((Dir / "plain.bin").string());
        auto Stored = Files.CreateForWriting((Dir / "stored.bin").string());
        qe::CipherStream(*Plain, *Stored, Key.data(), qe::PayloadKeySize, true);
        Stored->Flush();
    }
    const double Encipher = SecondsSince(Start);

    Start = std::chrono::steady_clock::now();
    {
        auto Stored = Files.OpenForReading((Dir / "stored.bin").string());
        qe::TSubStream Window(*Stored, 0, Stored->GetSize() - 1);
        Window.Seek(0, qe::TSeekOrigin::soBeginning);
        auto Out = Files.CreateForWriting((Dir / "out.bin").string());
        qe::CipherStream(Window, *Out, Key.data(), qe::PayloadKeySize, false);
        Out->Flush();
    }
    const double Decipher = SecondsSince(Start);
    const bool Same = fs::file_size(Dir / "out.bin") == static_cast<uintmax_t>(Size);

    std::printf("payload of %lld MiB: encipher %.2f s (%.0f MiB/s), decipher through a window %.2f s (%.0f MiB/s)%s\n",
                static_cast<long long>(MiB), Encipher, MiB / Encipher, Decipher, MiB / Decipher,
                Same ? "" : "  SIZE MISMATCH");
    fs::remove_all(Dir);
    return Same ? 0 : 1;
}
