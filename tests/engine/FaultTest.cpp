// Failures end a run with their message and leave what was written before them.
#include "engine/Uninstaller.h"
#include "platform/Paths.h"
#include "platform/sim/ForwardingPlatform.h"
#include "tests/engine/EngineFixture.h"

namespace qe::test {
namespace {

const std::string AppS = EngineTest::App;
const std::string MenuS = EngineTest::Menu;
const std::string T1S = EngineTest::T1;
const std::string KeyS = std::string(UninstallKeyPrefix) + "Grid Expert";

// A disk that fills up while one file is written: its writes stop after Room bytes.
class TFullDisk : public sim::TForwardingFileSystem {
public:
    TFullDisk(IFileSystem& Inner, std::string Victim, int64_t Room)
        : TForwardingFileSystem(Inner), FVictim(std::move(Victim)), FRoom(Room)
    {
    }
    std::unique_ptr<TStream> CreateForWriting(const std::string& Path) override
    {
        return Limited(Path, FInner.CreateForWriting(Path));
    }
    std::unique_ptr<TStream> CreateNewForWriting(const std::string& Path) override
    {
        return Limited(Path, FInner.CreateNewForWriting(Path));
    }

private:
    std::unique_ptr<TStream> Limited(const std::string& Path, std::unique_ptr<TStream> Stream)
    {
        if (!SameText(Path, FVictim))
            return Stream;
        return std::make_unique<TLimitedStream>(std::move(Stream), FRoom);
    }

    class TLimitedStream : public sim::TForwardingStream {
    public:
        TLimitedStream(std::unique_ptr<TStream> Inner, int64_t Room) : TForwardingStream(std::move(Inner)), FRoom(Room)
        {
        }
        int32_t Write(const void* Buffer, int32_t Count) override
        {
            const auto N = static_cast<int32_t>(std::min<int64_t>(Count, std::max<int64_t>(FRoom, 0)));
            FRoom -= N;
            return N > 0 ? FInner->Write(Buffer, N) : 0;
        }

    private:
        int64_t FRoom;
    };

    std::string FVictim;
    int64_t FRoom;
};

// A file system on which setting file times always fails, by name or on an open file.
class TNoFileTimes : public sim::TForwardingFileSystem {
public:
    using TForwardingFileSystem::TForwardingFileSystem;
    bool SetFileTimes(const std::string&, const TFileTimes&) override { return false; }
    std::unique_ptr<TStream> CreateForWriting(const std::string& Path) override
    {
        return std::make_unique<TTimelessStream>(FInner.CreateForWriting(Path));
    }
    std::unique_ptr<TStream> CreateNewForWriting(const std::string& Path) override
    {
        return std::make_unique<TTimelessStream>(FInner.CreateNewForWriting(Path));
    }

private:
    class TTimelessStream : public sim::TForwardingStream {
    public:
        using TForwardingStream::TForwardingStream;
        bool SetFileTimes(const TFileTimes&) override { return false; }
    };
};

// A registry that refuses to set one value.
class TRefusedValue : public sim::TForwardingRegistry {
public:
    TRefusedValue(IRegistry& Inner, std::string Name) : TForwardingRegistry(Inner), FName(std::move(Name)) {}
    void WriteString(TRegistryRoot Root, const std::string& Key, const std::string& Name,
                     const std::string& Value) override
    {
        if (Name == FName)
            throw ERegistryException(FailedToSetDataMessage(Name));
        FInner.WriteString(Root, Key, Name, Value);
    }

private:
    std::string FName;
};

const std::string InUseText = "The process cannot access the file because it is being used by another process";

// The same machine seen through a fault injector.
class Faults : public EngineTest {
protected:
    const TPlatform& Platform() override { return FInjected; }
    void Inject(IFileSystem* FileSystem) { FInjected.FileSystem = FileSystem; }
    void Inject(IRegistry* Registry) { FInjected.Registry = Registry; }

    // Installs into T1 and returns the message that ended the run; the run must not
    // have got as far as the uninstaller.
    std::string FailedInstall()
    {
        auto Install = LoadInstaller();
        Install->TargetFolders = {T1S};
        const std::string Message = RunError(*Install);
        EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\Uninstall.exe"));
        EXPECT_FALSE(M.Registry.KeyExists(TRegistryRoot::rrLocalMachine, KeyS));
        EXPECT_NE(Texts().back(), "Done.");
        return Message;
    }

    TPlatform FInjected = M.Platform();

    std::string RunError(TQeData& Model)
    {
        try {
            Model.Execute();
        } catch (const Exception& E) {
            return E.Message();
        }
        return "(no error)";
    }
};

TEST_F(Faults, AFullDiskEndsTheRunWithItsMessageAndKeepsTheFilesFinished)
{
    Contents.Files.push_back(MemoryFile("{app}\\first.txt", "first"));
    Contents.Files.push_back(MemoryFile("{app}\\big.dat", std::string(100000, 'b')));
    Contents.Files.push_back(MemoryFile("{app}\\third.txt", "third"));
    TFullDisk Disk(M.FileSystem, AppS + "\\big.dat", 4096);
    Inject(&Disk);
    auto Install = LoadInstaller();
    Install->TargetFolders = {T1S};
    EXPECT_EQ(RunError(*Install), "Stream write error");
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\first.txt"), "first");
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\big.dat")); // no half-written file
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\third.txt"));
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\Uninstall.exe"));
    EXPECT_FALSE(M.Registry.KeyExists(TRegistryRoot::rrLocalMachine, KeyS));
    EXPECT_EQ(Texts().back(), "Copying file " + AppS + "\\big.dat ...");
}

TEST_F(Faults, AFullDiskWhileTheUninstallerIsWrittenRegistersNothing)
{
    TFullDisk Disk(M.FileSystem, AppS + "\\Uninstall.exe", StubSize + 20);
    Inject(&Disk);
    auto Install = LoadInstaller();
    EXPECT_EQ(RunError(*Install), "Stream write error");
    EXPECT_FALSE(M.Registry.KeyExists(TRegistryRoot::rrLocalMachine, KeyS));
    EXPECT_FALSE(M.FileSystem.FileExists(MenuS + "\\Uninstall.lnk"));
    EXPECT_EQ(Texts().back(), "Creating unistaller ...");
}

TEST_F(Faults, WithoutRegistryRightsTheUninstallerExistsButNoEntryOrShortcut)
{
    M.Registry.DenyWrites(TRegistryRoot::rrLocalMachine, true);
    auto Install = LoadInstaller();
    EXPECT_EQ(RunError(*Install), "Failed to set data for 'DisplayName'");
    EXPECT_TRUE(M.FileSystem.FileExists(AppS + "\\Uninstall.exe"));
    EXPECT_EQ(LoadUninstaller()->Files, std::vector<std::string>{MenuS + "\\Uninstall.lnk"});
    EXPECT_FALSE(M.FileSystem.FileExists(MenuS + "\\Uninstall.lnk"));
    EXPECT_EQ(Texts().back(), "Registering unistaller ...");
}

TEST_F(Faults, UnwritableTargetsAndBadPayloadsName)
{
    // A target held open by another program.
    M.FileSystem.AddFile(AppS + "\\busy.txt", "old");
    M.FileSystem.SetInUse(AppS + "\\busy.txt", true);
    Contents.Files = {MemoryFile("{app}\\busy.txt", "new")};
    auto Install = LoadInstaller();
    Install->TargetFolders = {T1S};
    EXPECT_EQ(RunError(*Install), "Cannot create file \"" + AppS +
                                      "\\busy.txt\". The process cannot access the file because it is being used "
                                      "by another process");
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\busy.txt"), "old");

    // A target with no folder part: no target the installer takes.
    Contents.Files = {MemoryFile("loose.txt", "x")};
    Install.reset();
    Install = LoadInstaller();
    Install->TargetFolders = {T1S};
    EXPECT_EQ(RunError(*Install),
              "The installer is damaged: the target \"loose.txt\" starts with no folder macro. Download it again.");

    // A payload window that runs past the end of the file.
    Contents.Files = {MemoryFile("{app}\\cut.txt", std::string(100, 'c'))};
    Install.reset();
    Install = LoadInstaller();
    Install->Files[0]->PayloadSize += 64;
    Install->TargetFolders = {T1S};
    // The package is checked before anything is written, so nothing of it is.
    EXPECT_EQ(RunError(*Install),
              "The installer is damaged: the contents of cut.txt lie outside the file. Download it again.");
    EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\cut.txt"));
}

TEST_F(Faults, LongPathsFailClearlyInsteadOfBeingCut)
{
    const std::string LongName(240, 'n');
    Contents.Files = {MemoryFile("{metatrader}\\" + LongName + ".mq4", "x")};
    auto Install = LoadInstaller();
    Install->TargetFolders = {T1S};
    const std::string Path = T1S + "\\" + LongName + ".mq4";
    EXPECT_EQ(RunError(*Install), "Cannot create file \"" + Path + "\". The filename or extension is too long");

    Contents.Files = {MemoryFile("{app}\\a.txt", "x", std::string(200, 's'))};
    Install.reset();
    Install = LoadInstaller();
    Install->TargetFolders = {T1S};
    const std::string Link = MenuS + "\\" + std::string(200, 's') + ".lnk";
    EXPECT_EQ(RunError(*Install), "Cannot create file \"" + Link + "\". The filename or extension is too long");
    for (const auto& Entry : M.FileSystem.ListFolder(MenuS))
        EXPECT_EQ(Entry.Name.find("sss"), std::string::npos) << Entry.Name;
}

TEST_F(Faults, AReadOnlyReadmeEndsTheRunAndKeepsItsOldText)
{
    M.FileSystem.AddFile(AppS + "\\Readme.rtf", "old", faReadOnly);
    Contents.Files = {MemoryFile("{app}\\a.txt", "a")};
    Contents.Readme = "{\\rtf1 new}";
    EXPECT_EQ(FailedInstall(), "Cannot create file \"" + AppS + "\\Readme.rtf\". Access is denied");
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\Readme.rtf"), "old");
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\a.txt"), "a");
    EXPECT_EQ(Texts().back(), "Copying file " + AppS + "\\Readme.rtf ...");
}

TEST_F(Faults, AnInternetShortcutInUseEndsTheRun)
{
    const std::string Url = MenuS + "\\Quant Website.url";
    M.FileSystem.AddFile(Url, "old");
    M.FileSystem.SetInUse(Url, true);
    Contents.Publisher = "Quant";
    Contents.Website = "quant.example";
    Contents.Readme = "{\\rtf1 r}";
    EXPECT_EQ(FailedInstall(), "Cannot create file \"" + Url + "\". " + InUseText);
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\Readme.rtf"), "{\\rtf1 r}\r\n");
    EXPECT_TRUE(M.FileSystem.FileExists(MenuS + "\\Readme.lnk"));
    EXPECT_EQ(Texts().back(), "Creating shortcut " + Url + " ...");
}

TEST_F(Faults, SettingsFilesThatCannotBeRewrittenOrReadEndTheRun)
{
    const std::string Ini = T1S + "\\config\\experts.ini";
    M.FileSystem.AddFile(Ini, std::string(292, '\7'), faReadOnly);
    Contents.ExpertsOverride = "1";
    EXPECT_EQ(FailedInstall(), "Cannot create file \"" + Ini + "\". Access is denied");
    EXPECT_EQ(M.FileSystem.FileContents(Ini), std::string(292, '\7'));

    M.FileSystem.SetAttributes(Ini, faArchive);
    M.FileSystem.SetInUse(Ini, true);
    Lines.clear();
    EXPECT_EQ(FailedInstall(), "Cannot open file \"" + Ini + "\". " + InUseText);
    EXPECT_EQ(Texts().back(), "Overriding MetaTrader settings in " + T1S + " ...");
}

TEST_F(Faults, AnUninstallerInUseEndsTheRunWithoutTouchingTheRegistry)
{
    M.FileSystem.AddFile(AppS + "\\Uninstall.exe", "the running uninstaller");
    M.FileSystem.SetInUse(AppS + "\\Uninstall.exe", true);
    auto Install = LoadInstaller();
    EXPECT_EQ(RunError(*Install), "Cannot create file \"" + AppS + "\\Uninstall.exe\". " + InUseText);
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\Uninstall.exe"), "the running uninstaller");
    EXPECT_FALSE(M.Registry.KeyExists(TRegistryRoot::rrLocalMachine, KeyS));
    EXPECT_FALSE(M.FileSystem.FileExists(MenuS + "\\Uninstall.lnk"));
    EXPECT_EQ(Texts().back(), "Creating unistaller ...");
}

TEST_F(Faults, AProgramFileWithoutAPackageOffsetMakesNoUninstaller)
{
    for (const uint8_t Offset : {uint8_t{100}, uint8_t{139}, uint8_t{250}}) {
        // The field at 136 names a record inside the field itself, or past the file's end.
        std::string Program(200, '\0');
        Program[136] = static_cast<char>(Offset);
        M.FileSystem.AddFile("C:\\plain.exe", Program);
        TQeInstall Install(Platform());
        Install.LoadFromFile("C:\\plain.exe");
        Install.ProgramName = "Grid Expert";
        EXPECT_EQ(RunError(Install), "The program file \"C:\\plain.exe\" carries no package offset") << int{Offset};
        EXPECT_FALSE(M.FileSystem.FileExists(AppS + "\\Uninstall.exe"));
        EXPECT_FALSE(M.Registry.KeyExists(TRegistryRoot::rrLocalMachine, KeyS));
    }
}

TEST_F(Faults, FileTimesThatCannotBeSetDoNotEndTheRun)
{
    TNoFileTimes Disk(M.FileSystem);
    Inject(&Disk);
    M.FileSystem.SetNow(5000);
    Contents.Files = {MemoryFile("{app}\\a.txt", "a", "", 131000000000000000ULL, 132000000000000000ULL)};
    auto Install = LoadInstaller();
    Install->TargetFolders = {T1S};
    EXPECT_EQ(RunError(*Install), "(no error)");
    EXPECT_EQ(Texts().back(), "Done.");
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\a.txt"), "a");
    TFileTimes Times;
    ASSERT_TRUE(M.FileSystem.GetFileTimes(AppS + "\\a.txt", Times));
    EXPECT_EQ(Times.LastWriteTime, 5000u); // the disk's own time
}

TEST_F(Faults, ARefusedRegistryValueEndsTheRunAndKeepsTheUninstaller)
{
    TRefusedValue Registry(M.Registry, "UninstallString");
    Inject(&Registry);
    Contents.Files = {MemoryFile("{app}\\a.txt", "a")};
    auto Install = LoadInstaller();
    Install->TargetFolders = {T1S};
    EXPECT_EQ(RunError(*Install), "Failed to set data for 'UninstallString'");
    EXPECT_EQ(Texts().back(), "Registering unistaller ...");
    // What came before stays: the file, the whole uninstaller with its record, the
    // first value; the shortcut to the uninstaller is never made.
    EXPECT_EQ(M.FileSystem.FileContents(AppS + "\\a.txt"), "a");
    EXPECT_EQ(LoadUninstaller()->Files, (std::vector<std::string>{AppS + "\\a.txt", MenuS + "\\Uninstall.lnk"}));
    std::string Value;
    EXPECT_TRUE(M.Registry.ReadString(TRegistryRoot::rrLocalMachine, KeyS, "DisplayName", false, Value));
    EXPECT_FALSE(M.Registry.ReadString(TRegistryRoot::rrLocalMachine, KeyS, "UninstallString", false, Value));
    EXPECT_FALSE(M.FileSystem.FileExists(MenuS + "\\Uninstall.lnk"));
}

TEST_F(Faults, TheInstallerFileIsHeldFromLoadingToTheEndOfTheRun)
{
    Contents.Files = {MemoryFile("{app}\\a.txt", "a")};
    auto Install = LoadInstaller();
    EXPECT_FALSE(M.FileSystem.RemoveFile(sim::TSimPlatform::ExePath));
    Install->TargetFolders = {T1S};
    EXPECT_EQ(RunError(*Install), "(no error)");
    // A model read from bytes alone has no file to install from.
    TQeInstall Bare(Platform());
    TMemoryStream Bytes(std::vector<uint8_t>(M.FileSystem.FileContents(sim::TSimPlatform::ExePath).size()));
    Bare.LoadFromStream(Bytes);
    EXPECT_EQ(RunError(Bare), "The model was loaded from no file");
}

} // namespace
} // namespace qe::test
