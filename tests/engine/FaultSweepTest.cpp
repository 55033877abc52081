// For every N, failing the N-th file create, write, folder create, registry write or link
// save ends the install run with that failure, and every file on the machine is either
// as it was before the run or as a whole run leaves it: nothing half-written, nothing
// left beside a file, no earlier file of the user's damaged.
#include <optional>
#include <set>

#include "platform/sim/ForwardingPlatform.h"
#include "tests/engine/EngineFixture.h"
#include "tests/engine/MachineSnapshot.h"
#include "tests/platform/TerminalDataSeed.h"

namespace qe::test {
namespace {

enum TFaultKind { fkCreate, fkWrite, fkFolder, fkRegistry, fkLink, fkKinds };
const char* const KindNames[fkKinds] = {"file create", "write", "folder create", "registry write", "link save"};

// Counts the operations of each kind and fails the one chosen, once.
struct TFaultPlan {
    TFaultKind Kind = fkCreate;
    int FailAt = 0; // 0: fail nothing
    int Counts[fkKinds] = {};
    std::string Message; // of the failure raised, when one was

    bool Hit(TFaultKind K) { return ++Counts[K] == FailAt && K == Kind; }
};

class TFaultyStream : public TStream {
public:
    TFaultyStream(std::unique_ptr<TStream> Inner, TFaultPlan& Plan) : FInner(std::move(Inner)), FPlan(Plan) {}
    int32_t Read(void* Buffer, int32_t Count) override { return FInner->Read(Buffer, Count); }
    int32_t Write(const void* Buffer, int32_t Count) override
    {
        if (FPlan.Hit(fkWrite)) {
            FPlan.Message = "Stream write error"; // what a short write raises
            return 0;
        }
        return FInner->Write(Buffer, Count);
    }
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override { return FInner->Seek(Offset, Origin); }
    int64_t GetSize() override { return FInner->GetSize(); }
    void Flush() override { FInner->Flush(); }
    bool SetFileTimes(const TFileTimes& Times) override { return FInner->SetFileTimes(Times); }

private:
    std::unique_ptr<TStream> FInner;
    TFaultPlan& FPlan;
};

class TFaultyFileSystem : public sim::TForwardingFileSystem {
public:
    TFaultyFileSystem(IFileSystem& Inner, TFaultPlan& Plan) : TForwardingFileSystem(Inner), FPlan(Plan) {}
    std::unique_ptr<TStream> CreateForWriting(const std::string& Path) override
    {
        Refuse(Path);
        return std::make_unique<TFaultyStream>(FInner.CreateForWriting(Path), FPlan);
    }
    std::unique_ptr<TStream> CreateNewForWriting(const std::string& Path) override
    {
        // A name that is taken fails on its own: the plan breaks the creates that succeed.
        uint32_t Attributes = 0;
        if (!FInner.GetAttributes(Path, Attributes))
            Refuse(Path);
        return std::make_unique<TFaultyStream>(FInner.CreateNewForWriting(Path), FPlan);
    }
    bool MakeFolder(const std::string& Path) override { return !FPlan.Hit(fkFolder) && FInner.MakeFolder(Path); }

private:
    // Fails the create the plan chooses.
    void Refuse(const std::string& Path)
    {
        if (FPlan.Hit(fkCreate)) {
            FPlan.Message = CannotCreateFileMessage(Path, "Injected fault");
            throw EFCreateError(FPlan.Message);
        }
    }

    TFaultPlan& FPlan;
};

class TFaultyRegistry : public sim::TForwardingRegistry {
public:
    TFaultyRegistry(IRegistry& Inner, TFaultPlan& Plan) : TForwardingRegistry(Inner), FPlan(Plan) {}
    void WriteString(TRegistryRoot Root, const std::string& Key, const std::string& Name,
                     const std::string& Value) override
    {
        if (FPlan.Hit(fkRegistry)) {
            FPlan.Message = FailedToSetDataMessage(Name);
            throw ERegistryException(FPlan.Message);
        }
        FInner.WriteString(Root, Key, Name, Value);
    }

private:
    TFaultPlan& FPlan;
};

class TFaultyShell : public sim::TForwardingShell {
public:
    TFaultyShell(IShell& Inner, TFaultPlan& Plan) : TForwardingShell(Inner), FPlan(Plan) {}
    void SaveLink(const TShellLink& Link, const std::string& FileName) override
    {
        if (FPlan.Hit(fkLink)) {
            FPlan.Message = CannotCreateFileMessage(FileName, "Injected fault");
            throw EFCreateError(FPlan.Message);
        }
        FInner.SaveLink(Link, FileName);
    }

private:
    TFaultPlan& FPlan;
};

// A machine with a product installed before (older files of the user's, settings of
// the terminal, in its folder and its data folder) and the installer of a new version,
// seen through the injectors.
class TSweepMachine {
public:
    explicit TSweepMachine(const TPackageContents& Contents, TFaultPlan& Plan)
        : FileSystem(M.FileSystem, Plan), Registry(M.Registry, Plan), Shell(M.Shell, Plan)
    {
        M.FileSystem.AddDrive('D');
        M.FileSystem.AddFile(std::string(EngineTest::T1) + "\\terminal.exe", "");
        M.FileSystem.AddFile(std::string(EngineTest::T2) + "\\terminal.exe", "");
        M.FileSystem.AddFile(std::string(EngineTest::T1) + "\\MQL4\\Experts\\Grid.ex4", "old expert");
        M.FileSystem.AddFile(std::string(EngineTest::T1) + "\\MQL4\\Experts\\Mine.ex4", "the user's own");
        M.FileSystem.AddFile(std::string(EngineTest::T1) + "\\config\\experts.ini", std::string(292, '\x01') + "tail");
        M.FileSystem.AddFile(std::string(EngineTest::App) + "\\Readme.rtf", "old readme");
        const std::string Data = AddDataFolder(M, "D1", OriginBytes(u"C:\\Program Files\\MetaTrader 4"));
        M.FileSystem.AddFile(Data + "\\MQL4\\Experts\\Grid.ex4", "old expert");
        M.FileSystem.AddFile(Data + "\\MQL4\\Experts\\Mine.ex4", "the user's own");
        M.FileSystem.AddFile(Data + "\\config\\experts.ini", std::string(292, '\x01'));
        TMemoryStream Stub(std::vector<uint8_t>(1024, 0));
        TMemoryStream Out;
        WriteInstaller(Out, Stub, Contents);
        M.FileSystem.AddFile(sim::TSimPlatform::ExePath, std::string(Out.Bytes().begin(), Out.Bytes().end()));
        Platform = M.Platform();
        Platform.FileSystem = &FileSystem;
        Platform.Registry = &Registry;
        Platform.Shell = &Shell;
    }

    // Runs the installer; the message that ended it, or "" when it ran through.
    std::string Install()
    {
        TQeInstall Model(Platform);
        Model.LoadFromFile(sim::TSimPlatform::ExePath);
        Model.TargetFolders = {EngineTest::T1, EngineTest::T2};
        try {
            Model.Execute();
        } catch (const Exception& Error) {
            return Error.Message();
        }
        return {};
    }

    // The files and folders only; a failed registry write may leave some values set.
    TMachineSnapshot Files()
    {
        TMachineSnapshot Result = Snapshot(M);
        std::erase_if(Result, [](const auto& Entry) { return Entry.first.rfind("registry ", 0) == 0; });
        return Result;
    }

    sim::TSimPlatform M;
    TFaultyFileSystem FileSystem;
    TFaultyRegistry Registry;
    TFaultyShell Shell;
    TPlatform Platform;
};

// A path's contents, or nothing when the machine has no such path.
std::optional<std::string> StateOf(const TMachineSnapshot& Machine, const std::string& Path)
{
    const auto Found = Machine.find(Path);
    return Found == Machine.end() ? std::nullopt : std::optional<std::string>(Found->second);
}

TEST(FaultSweep, EveryFailureEndsTheRunWithItsMessageAndNoFileHalfWritten)
{
    TPackageContents Contents;
    Contents.ProgramName = "Grid Expert";
    Contents.Publisher = "Northwind";
    Contents.Website = "www.example.com";
    Contents.Email = "a@example.com";
    Contents.Readme = "{\\rtf1 readme}";
    Contents.License = "{\\rtf1 licence}";
    Contents.ExpertsOverride = "1 0";
    Contents.UseDataFolders = true;
    Contents.PayloadKey = RandomPayloadKey();
    // Small files: every block written is a case of its own.
    Contents.Files = {MemoryFile("{metatrader}\\MQL4\\Experts\\Grid.ex4", std::string(200, 'g')),
                      MemoryFile("{app}\\Manual.txt", std::string(100, 'm'), "Manual"),
                      MemoryFile("{metatrader}\\MQL4\\Indicators\\Levels.ex4", "levels")};

    TFaultPlan Counting;
    TSweepMachine Clean(Contents, Counting);
    const TMachineSnapshot Before = Clean.Files();
    ASSERT_EQ(Clean.Install(), "");
    const TMachineSnapshot After = Clean.Files();

    for (int Kind = 0; Kind < fkKinds; ++Kind) {
        ASSERT_GT(Counting.Counts[Kind], 0) << KindNames[Kind];
        for (int N = 1; N <= Counting.Counts[Kind]; ++N) {
            TFaultPlan Plan;
            Plan.Kind = static_cast<TFaultKind>(Kind);
            Plan.FailAt = N;
            TSweepMachine Machine(Contents, Plan);
            const std::string Message = Machine.Install();
            const std::string Case = std::string(KindNames[Kind]) + " " + std::to_string(N);
            ASSERT_NE(Message, "") << Case;
            // A folder that cannot be made shows as the failure of what goes into it.
            if (Kind != fkFolder) {
                EXPECT_EQ(Message, Plan.Message) << Case;
            }
            const TMachineSnapshot Failed = Machine.Files();
            std::set<std::string> Paths;
            for (const TMachineSnapshot* Side : {&Before, &After, &Failed})
                for (const auto& Entry : *Side)
                    Paths.insert(Entry.first);
            for (const std::string& Path : Paths) {
                const std::optional<std::string> State = StateOf(Failed, Path);
                EXPECT_TRUE(State == StateOf(Before, Path) || State == StateOf(After, Path))
                    << Case << ": " << Path << " is neither as before nor as after a whole run";
            }
        }
    }
}

} // namespace
} // namespace qe::test
