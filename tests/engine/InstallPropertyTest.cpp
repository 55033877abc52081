// Random packages, written by the package writer, installed and uninstalled on the
// simulated Windows: between the runs every installed file holds its source bytes and
// times; afterwards the machine is as it was, but for what is meant to stay: the
// terminals' expert settings (and their "config" folder), folders made inside the
// terminal folders (the terminal's own tree), and the program folder holding only the
// uninstaller, which its removal script deletes after the program has ended. Every
// package also passes the producer's verify. Each seed is a test of its own: a failing
// one is replayed with --gtest_filter='*InstallProperty*/seed37'.
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <unistd.h>

#include "engine/PathMacros.h"
#include "engine/Uninstaller.h"
#include "package/PackageVerify.h"
#include "platform/Paths.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/MachineSnapshot.h"

namespace qe::test {
namespace {

const std::string Terminal1 = EngineTest::T1;
const std::string Terminal2 = EngineTest::T2;

// One random package and the machine it is installed on.
struct TCase {
    TPackageContents Contents;
    std::vector<std::string> Sources; // each file's bytes, in the order of Contents.Files
    std::vector<std::string> Terminals;
    bool UserSettings = false; // a terminal has settings of its own before the install
    bool Twice = false;        // installed again over the first install, as an update is
};

class TCaseMaker {
public:
    explicit TCaseMaker(unsigned Seed) : FRandom(Seed) {}

    TCase Make()
    {
        TCase C;
        TPackageContents& P = C.Contents;
        P.ProgramName = Pick(8) == 0 ? "Grid Expert Pro 2" : "Grid Expert";
        for (uint8_t& Byte : P.PayloadKey)
            Byte = static_cast<uint8_t>(FRandom());
        P.Publisher = Pick(2) ? "Northwind" : "";
        P.Website = Pick(2) ? "www.northwind.example" : "";
        P.ContactName = Pick(2) ? "Anna" : "";
        P.Email = Pick(2) ? "support@northwind.example" : "";
        P.Readme = Pick(2) ? "{\\rtf1 readme\\par}\nsecond line" : "";
        P.License = Pick(2) ? "{\\rtf1 licence}" : "";
        P.WhatsNew = Pick(2) ? "{\\rtf1 news}\r\n" : "";
        P.ExpertsOverride = Pick(2) ? std::string("1 0 1").substr(0, 1 + Pick(5)) : "";
        const int Count = Pick(7);
        for (int I = 0; I < Count; ++I) {
            // Folder macros, with folders of their own that the install must make.
            static const char* const Folders[] = {
                "{app}\\",
                "{app}\\docs\\",
                "{app}\\docs\\deep\\",
                "{metatrader}\\MQL4\\Experts\\",
                "{metatrader}\\MQL4\\Files\\Grid\\",
                "{metatrader}\\",
                "{mydocuments}\\Grid Expert\\",
                "{windir}\\Grid Expert\\",
            };
            const std::string Name = "f" + std::to_string(I) + (Pick(2) ? ".ex4" : ".bin");
            std::string Shortcut;
            if (Pick(3) == 0)
                Shortcut = (Pick(3) == 0 ? "Tools\\" : "") + std::string("Link ") + std::to_string(I);
            const std::string Target = Folders[Pick(8)] + Name;
            const uint64_t Created = 0x01D9000000000000ULL + FRandom();
            const uint64_t Written = Created + FRandom();
            C.Sources.push_back(Bytes(Size()));
            P.Files.push_back(MemoryFile(Target, C.Sources.back(), Shortcut, Created, Written));
        }
        C.Terminals =
            Pick(6) == 0 ? std::vector<std::string>{Terminal2} : std::vector<std::string>{Terminal1, Terminal2};
        C.UserSettings = Pick(2) != 0;
        C.Twice = Pick(4) == 0;
        return C;
    }

private:
    unsigned Pick(unsigned Choices) { return static_cast<unsigned>(FRandom() % Choices); }

    // From nothing to a few blocks past the stream buffer (64 KiB), and now and then past
    // the cipher's chunk (256 KiB): around the edges of blocks, buffers and chunks.
    size_t Size()
    {
        static const size_t Edges[] = {0, 16, 32, 64 * 1024, 64 * 1024 + 48, 256 * 1024};
        const size_t Edge = Edges[Pick(Pick(4) == 0 ? 6 : 5)];
        const size_t Around = Pick(40);
        return Edge + Around >= 20 ? Edge + Around - 20 : Around;
    }

    std::string Bytes(size_t Count)
    {
        std::string Result(Count, '\0');
        for (size_t I = 0; I < Count; I += 4) {
            const uint32_t Word = FRandom();
            for (size_t K = 0; K < 4 && I + K < Count; ++K)
                Result[I + K] = static_cast<char>(Word >> (8 * K));
        }
        return Result;
    }

    std::mt19937 FRandom;
};

class InstallProperty : public EngineTest, public ::testing::WithParamInterface<unsigned> {
protected:
    // Installs the case (once or twice), checks the installed files, uninstalls, and
    // compares the machine with what it held before the install.
    void Run(unsigned Seed)
    {
        const TCase C = TCaseMaker(Seed).Make();
        Contents = C.Contents;
        if (C.UserSettings)
            M.FileSystem.AddFile(Terminal2 + "\\config\\experts.ini", std::string(300, '\x7f'));
        // Another program's entry in the list of installed programs, and the user's own
        // files beside the targets.
        M.Registry.SetString(TRegistryRoot::rrLocalMachine, std::string(UninstallKeyPrefix) + "Other", "DisplayName",
                             "Other");
        M.FileSystem.AddFile(Terminal1 + "\\MQL4\\Experts\\Mine.ex4", "the user's own");
        M.FileSystem.AddFile(std::string(sim::TSimPlatform::Documents) + "\\Notes.txt", "notes");
        WriteInstallerFile();
        ExpectVerified();

        const TMachineSnapshot Before = Snapshot(M);
        for (int Round = C.Twice ? 2 : 1; Round > 0; --Round) {
            auto Install = LoadInstaller();
            Install->TargetFolders = C.Terminals;
            Install->Execute();
            ExpectInstalled(C);
        }

        LoadUninstaller(ProgramFolder(M.Platform(), Contents.ProgramName, TInstallScope::Machine) + "\\Uninstall.exe")
            ->Execute();
        ExpectAsBefore(Before, Snapshot(M), C);
    }

    // The producer's verify of the same installer, as a file on disk.
    void ExpectVerified()
    {
        const auto File =
            std::filesystem::temp_directory_path() / ("qe-install-property-" + std::to_string(::getpid()));
        std::ofstream(File, std::ios::binary) << M.FileSystem.FileContents(sim::TSimPlatform::ExePath);
        TStdioFiles Files;
        std::ostringstream Report;
        EXPECT_TRUE(VerifyFile(File.string(), Files, Report)) << Report.str();
        EXPECT_NE(Report.str().find(std::to_string(Contents.Files.size()) + " files, all sound"), std::string::npos)
            << Report.str();
        std::filesystem::remove(File);
    }

    void ExpectInstalled(const TCase& C)
    {
        TMacroList Macros;
        BuildMacros(M.Platform(), Contents.ProgramName, TInstallScope::Machine, Macros);
        for (size_t I = 0; I < C.Contents.Files.size(); ++I) {
            const TPackedFile& File = C.Contents.Files[I];
            std::vector<std::string> Paths;
            if (IsTerminalTarget(File.Target)) {
                for (const std::string& Terminal : C.Terminals) {
                    Macros.SetValue(MetaTraderMacro, Terminal);
                    Paths.push_back(ExpandMacros(File.Target, Macros));
                }
            } else {
                Paths.push_back(ExpandMacros(File.Target, Macros));
            }
            for (const std::string& Path : Paths) {
                ASSERT_TRUE(M.FileSystem.FileExists(Path)) << Path;
                EXPECT_TRUE(M.FileSystem.FileContents(Path) == C.Sources[I])
                    << Path << ": " << M.FileSystem.FileContents(Path).size() << " bytes instead of "
                    << C.Sources[I].size() << " or other bytes";
                TFileTimes Times;
                ASSERT_TRUE(M.FileSystem.GetFileTimes(Path, Times));
                EXPECT_EQ(Times.CreationTime, File.CreationTime) << Path;
                EXPECT_EQ(Times.LastWriteTime, File.WriteTime) << Path;
            }
        }
    }

    // What may differ after the uninstall, and nothing else.
    bool MeantToStay(const std::string& Path, bool IsFolder, const TCase& C)
    {
        const std::string App = ProgramFolder(M.Platform(), Contents.ProgramName, TInstallScope::Machine);
        if (SameText(Path, App) || SameText(Path, App + "\\Uninstall.exe"))
            return true;
        for (const std::string& Terminal : C.Terminals) {
            const std::string Config = Terminal + "\\config";
            if (!Contents.ExpertsOverride.empty() &&
                (SameText(Path, Config) || SameText(Path, Config + "\\experts.ini")))
                return true;
            if (IsFolder && IsInsideFolder(Path, Terminal))
                return true;
        }
        return false;
    }

    void ExpectAsBefore(const TMachineSnapshot& Before, const TMachineSnapshot& After, const TCase& C)
    {
        for (const auto& [Path, State] : After) {
            const auto Old = Before.find(Path);
            if (Old == Before.end() || Old->second != State) {
                EXPECT_TRUE(MeantToStay(Path, State == "(folder)", C))
                    << Path << (Old == Before.end() ? " is left behind" : " was changed");
            }
        }
        for (const auto& [Path, State] : Before)
            EXPECT_EQ(After.count(Path), 1u) << Path << " is gone";
        // The settings record is the old one with the override's bytes set.
        if (C.UserSettings && !Contents.ExpertsOverride.empty()) {
            EXPECT_EQ(M.FileSystem.FileContents(Terminal2 + "\\config\\experts.ini").substr(292),
                      std::string(8, '\x7f'));
        }
    }
};

TEST_P(InstallProperty, InstallsWholeAndUninstallsToWhatWasThere)
{
    Run(GetParam());
}

INSTANTIATE_TEST_SUITE_P(Random, InstallProperty, ::testing::Range(1u, 201u),
                         [](const auto& Info) { return "seed" + std::to_string(Info.param); });

} // namespace
} // namespace qe::test
