#include "platform/sim/SimSystem.h"

#include <algorithm>

#include "platform/Paths.h"

// MD5 is a pure computation: the simulation takes it from the system it is built for.
#ifdef _WIN32
#include "platform/win32/Win32Text.h"
#else
#include <gcrypt.h>
#endif

namespace qe::sim {

std::string TSimSystem::ExpandEnvironment(const std::string& Text)
{
    std::string Result;
    size_t I = 0;
    while (I < Text.size()) {
        const size_t Open = Text.find('%', I);
        if (Open == std::string::npos) {
            Result += Text.substr(I);
            break;
        }
        Result += Text.substr(I, Open - I);
        const size_t Close = Text.find('%', Open + 1);
        if (Close == std::string::npos) {
            Result += Text.substr(Open);
            break;
        }
        auto It = FVariables.find(UpperCase(Text.substr(Open + 1, Close - Open - 1)));
        if (It != FVariables.end() && Close > Open + 1) {
            Result += It->second.second;
            I = Close + 1;
        } else {
            // An unknown name stays as written; its closing "%" may open the next one.
            Result += Text.substr(Open, Close - Open);
            I = Close;
        }
    }
    return Result;
}

bool TSimSystem::TopLevelWindowExists(const std::string& ClassName)
{
    // Window class names are compared without letter case.
    return std::any_of(FWindows.begin(), FWindows.end(),
                       [&](const TWindow& W) { return SameText(W.ClassName, ClassName); });
}

bool TSimSystem::StartHiddenIdleProcess(const std::string& CommandLine, const std::string& CurrentFolder,
                                        const std::vector<std::string>& Environment)
{
    bool Found = false;
    if (!CommandLine.empty() && CommandLine[0] == '"') {
        const size_t Close = CommandLine.find('"', 1);
        Found = Close != std::string::npos && FFileSystem->FileExists(CommandLine.substr(1, Close - 1));
    } else {
        // Unquoted: each blank may end the program name, the shortest candidate first.
        size_t End = 0;
        do {
            End = CommandLine.find(' ', End + 1);
            Found = FFileSystem->FileExists(CommandLine.substr(0, End));
        } while (!Found && End != std::string::npos);
    }
    // Without a current folder of its own the process starts in the caller's.
    if (!Found || (!CurrentFolder.empty() && !FFileSystem->FolderExists(CurrentFolder)))
        return false;
    FProcessStarts.push_back({CommandLine, CurrentFolder, Environment});
    return true;
}

bool TSimSystem::RandomBytes(uint8_t* Buffer, size_t Size)
{
    // splitmix64: well spread bytes from a counter.
    for (size_t I = 0; I < Size; ++I) {
        uint64_t Z = (FRandomState += 0x9E3779B97F4A7C15ULL);
        Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBULL;
        Buffer[I] = static_cast<uint8_t>(Z ^ (Z >> 31));
    }
    return true;
}

void TSimSystem::SetFolders(const std::string& Windows, const std::string& System, const std::string& Temp)
{
    FWindowsFolder = Windows;
    FSystemWindowsFolder = Windows;
    FSystemFolder = System;
    FTempFolder = Temp;
}

void TSimSystem::SetVariable(const std::string& Name, const std::string& Value)
{
    FVariables[UpperCase(Name)] = {Name, Value};
}

void TSimSystem::AddWindow(const std::string& ClassName, const std::string& Title)
{
    FWindows.push_back({ClassName, Title});
}

void TSimSystem::CloseWindows(const std::string& ClassName)
{
    std::erase_if(FWindows, [&](const TWindow& W) { return SameText(W.ClassName, ClassName); });
}

bool TSimSystem::Md5(const void* Data, size_t Size, std::array<uint8_t, 16>& Digest)
{
#ifdef _WIN32
    return win32::Md5(Data, Size, Digest);
#else
    static const bool Ready = gcry_check_version(nullptr) != nullptr;
    if (Ready)
        gcry_md_hash_buffer(GCRY_MD_MD5, Digest.data(), Data, Size);
    return Ready;
#endif
}

} // namespace qe::sim
