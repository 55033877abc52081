// What the simulated Windows does beyond the shared conformance suite: the faults and
// records that only a simulation can arrange.
#include <gtest/gtest.h>

#include "platform/Exceptions.h"
#include "platform/ShellLink.h"
#include "platform/sim/SimPlatform.h"

namespace qe::sim {
namespace {

std::string CreateError(IFileSystem& Fs, const std::string& Path)
{
    try {
        Fs.CreateForWriting(Path);
    } catch (const EFCreateError& E) {
        return E.Message();
    }
    return "(created)";
}

TEST(SimFileSystem, PathsResolveLikeWindowsPaths)
{
    TSimPlatform M;
    auto& Fs = M.FileSystem;
    Fs.AddFile("C:\\Work\\a.txt", "a");
    EXPECT_EQ(Fs.FileContents("c:/work/./Sub/../A.TXT "), "a");
    Fs.SetCurrentFolder("C:\\Work");
    EXPECT_EQ(Fs.FileContents("a.txt"), "a");
    EXPECT_EQ(Fs.FileContents("\\Work\\a.txt"), "a");
    EXPECT_EQ(CreateError(Fs, "D:\\x.txt"),
              "Cannot create file \"D:\\x.txt\". The system cannot find the path specified");
    Fs.AddDrive('D');
    Fs.AddFile("D:\\x.txt", "d");
    EXPECT_EQ(Fs.FileContents("d:x.txt"), "d");
    EXPECT_EQ(CreateError(Fs, "C:\\Work\\bad?.txt"),
              "Cannot create file \"C:\\Work\\bad?.txt\". "
              "The filename, directory name, or volume label syntax is incorrect");
    EXPECT_TRUE(CreateError(Fs, "C:\\" + std::string(260, 'n')).ends_with("\". The filename or extension is too long"));
}

TEST(SimFileSystem, ProtectedFoldersRefuseEveryChangeToAUserWithoutAdministratorRights)
{
    TSimPlatform M;
    auto& Fs = M.FileSystem;
    Fs.AddFile("C:\\Program Files\\Old\\a.txt", "a");
    Fs.AddFolders("C:\\Program Files\\Empty");
    Fs.ProtectFolder("C:\\Program Files");
    EXPECT_EQ(Fs.PrivateTo("C:\\Program Files"), TPrivateTo::Administrators);
    EXPECT_EQ(Fs.PrivateTo("C:\\Program Files\\Old"), std::nullopt); // inherited, not its own

    EXPECT_FALSE(Fs.MakeFolder("C:\\Program Files\\New"));
    EXPECT_EQ(Fs.LastError(), 5u);
    EXPECT_EQ(CreateError(Fs, "C:\\Program Files\\Old\\b.txt"),
              "Cannot create file \"C:\\Program Files\\Old\\b.txt\". Access is denied");
    EXPECT_THROW(Fs.CreateForWriting("C:\\Program Files\\Old\\a.txt"), EFCreateError);
    EXPECT_THROW(Fs.RenameFile("C:\\Program Files\\Old\\a.txt", "C:\\Program Files\\Old\\c.txt"), EFCreateError);
    EXPECT_FALSE(Fs.RemoveFile("C:\\Program Files\\Old\\a.txt"));
    EXPECT_FALSE(Fs.RemoveFolder("C:\\Program Files\\Empty"));
    // Reading stays open to everyone; the folder next door is the user's.
    EXPECT_EQ(Fs.FileContents("C:\\Program Files\\Old\\a.txt"), "a");
    EXPECT_NO_THROW(Fs.OpenForReading("C:\\Program Files\\Old\\a.txt"));
    EXPECT_TRUE(Fs.MakeFolder("C:\\Program Files Two"));

    M.System.SetElevated(true);
    EXPECT_TRUE(Fs.MakeFolder("C:\\Program Files\\New"));
    EXPECT_TRUE(Fs.RemoveFile("C:\\Program Files\\Old\\a.txt"));
    EXPECT_TRUE(Fs.RemoveFolder("C:\\Program Files\\Empty"));
    EXPECT_THROW(Fs.ProtectFolder("C:\\Program Files\\None"), Exception);
}

TEST(SimFileSystem, FilesInUseRefuseOpeningReplacingAndDeleting)
{
    TSimPlatform M;
    auto& Fs = M.FileSystem;
    Fs.AddFile("C:\\App\\Uninstall.exe", "exe");
    Fs.SetInUse("C:\\App\\Uninstall.exe", true);
    EXPECT_EQ(CreateError(Fs, "C:\\App\\Uninstall.exe"),
              "Cannot create file \"C:\\App\\Uninstall.exe\". "
              "The process cannot access the file because it is being used by another process");
    EXPECT_THROW(Fs.OpenForReading("C:\\App\\Uninstall.exe"), EFOpenError);
    EXPECT_FALSE(Fs.RemoveFile("C:\\App\\Uninstall.exe"));
    Fs.SetInUse("C:\\App\\Uninstall.exe", false);
    {
        // Our own open handles: a reader shares with readers only.
        auto Reader = Fs.OpenForReading("C:\\App\\Uninstall.exe");
        EXPECT_NO_THROW(Fs.OpenForReading("C:\\App\\Uninstall.exe"));
        EXPECT_THROW(Fs.CreateForWriting("C:\\App\\Uninstall.exe"), EFCreateError);
        EXPECT_FALSE(Fs.RemoveFile("C:\\App\\Uninstall.exe"));
    }
    EXPECT_TRUE(Fs.RemoveFile("C:\\App\\Uninstall.exe"));
}

TEST(SimFileSystem, HiddenAndReadOnlyFilesCannotBeReplacedAndNewFilesGetTheClock)
{
    TSimPlatform M;
    auto& Fs = M.FileSystem;
    Fs.SetNow(1000);
    Fs.AddFile("C:\\h.txt", "h", faHidden);
    EXPECT_THROW(Fs.CreateForWriting("C:\\h.txt"), EFCreateError);
    Fs.AddFile("C:\\r.txt", "r", faReadOnly);
    EXPECT_THROW(Fs.CreateForWriting("C:\\r.txt"), EFCreateError);
    EXPECT_FALSE(Fs.RemoveFile("C:\\r.txt"));
    EXPECT_EQ(Fs.FileContents("C:\\r.txt"), "r");
    Fs.AddFile("C:\\n.txt", "n");
    Fs.SetNow(2000);
    Fs.AddFile("C:\\n.txt", "again");
    TFileTimes T;
    ASSERT_TRUE(Fs.GetFileTimes("C:\\n.txt", T));
    EXPECT_EQ(T.CreationTime, 1000u); // replacing keeps the creation time
    EXPECT_EQ(T.LastWriteTime, 2000u);
    EXPECT_FALSE(Fs.RemoveFolder("C:\\"));
}

TEST(SimFileSystem, ForceFoldersMakesShortAndRelativeNamesAndStopsOnlyAtRoots)
{
    TSimPlatform M;
    auto& Fs = M.FileSystem;
    // A name of one or two characters is an ordinary folder, at the root or below the
    // current folder.
    EXPECT_TRUE(ForceFolders(Fs, "\\q"));
    EXPECT_TRUE(Fs.FolderExists("C:\\q"));
    Fs.SetCurrentFolder("C:\\Users");
    EXPECT_TRUE(ForceFolders(Fs, "ab\\c"));
    EXPECT_TRUE(Fs.FolderExists("C:\\Users\\ab\\c"));
    EXPECT_TRUE(ForceFolders(Fs, "C:x"));
    EXPECT_TRUE(Fs.FolderExists("C:\\Users\\x"));

    for (const char* Root : {"C:", "C:\\", "\\", "\\\\server\\share", "\\\\server\\share\\"})
        EXPECT_TRUE(IsRootFolder(Root)) << Root;
    for (const char* Folder : {"", "q", "\\q", "qq", "C:\\q", "C:q", "\\\\server\\share\\x"})
        EXPECT_FALSE(IsRootFolder(Folder)) << Folder;
}

TEST(SimRegistry, DeniedWritesFailWithTheValueName)
{
    TSimPlatform M;
    M.Registry.DenyWrites(TRegistryRoot::rrLocalMachine, true);
    try {
        M.Registry.WriteString(TRegistryRoot::rrLocalMachine, "SOFTWARE\\X", "DisplayName", "x");
        FAIL();
    } catch (const ERegistryException& E) {
        EXPECT_EQ(E.Message(), "Failed to set data for 'DisplayName'");
    }
    EXPECT_FALSE(M.Registry.KeyExists(TRegistryRoot::rrLocalMachine, "SOFTWARE\\X"));
    EXPECT_FALSE(M.Registry.DeleteKey(TRegistryRoot::rrLocalMachine, "SOFTWARE"));
}

TEST(SimShell, OpenFolderChoicesAndProcessStartsAreRecorded)
{
    TSimPlatform M;
    M.FileSystem.AddFile("C:\\Program Files\\MT4\\terminal.exe", "");
    EXPECT_TRUE(M.Shell.ShellOpen("C:\\Program Files\\MT4\\terminal.exe"));
    EXPECT_TRUE(M.Shell.ShellOpen("http://example.com"));
    EXPECT_FALSE(M.Shell.ShellOpen("C:\\none.exe"));
    EXPECT_EQ(M.Shell.Opened(),
              (std::vector<std::string>{"C:\\Program Files\\MT4\\terminal.exe", "http://example.com"}));

    std::string Folder = "C:\\does not exist";
    EXPECT_EQ(M.Shell.ChooseFolder("Select MetaTrader Folder", Folder), TFolderPick::fpCancelled);
    EXPECT_EQ(Folder, "");
    M.Shell.AnswerFolderChoice(true, "C:\\Program Files\\MT4");
    M.Shell.AnswerFolderChoiceWithoutPath("This PC");
    Folder = "C:\\Program Files";
    EXPECT_EQ(M.Shell.ChooseFolder("Select MetaTrader Folder", Folder), TFolderPick::fpFolder);
    EXPECT_EQ(Folder, "C:\\Program Files\\MT4");
    EXPECT_EQ(M.Shell.ChooseFolder("Select MetaTrader Folder", Folder), TFolderPick::fpNoFileSystemPath);
    EXPECT_EQ(Folder, "This PC");
    ASSERT_EQ(M.Shell.FolderChoices().size(), 3u);
    EXPECT_EQ(M.Shell.FolderChoices()[1].InitialFolder, "C:\\Program Files");

    // An unquoted command line with blanks finds its program as Windows does.
    M.FileSystem.AddFile("C:\\Temp Files\\s.bat", "");
    EXPECT_TRUE(M.System.StartHiddenIdleProcess("C:\\Temp Files\\s.bat", "C:\\TEMP", {}));
    EXPECT_TRUE(M.System.StartHiddenIdleProcess("\"C:\\Temp Files\\s.bat\" x", "C:\\TEMP", {}));
    EXPECT_FALSE(M.System.StartHiddenIdleProcess("C:\\Temp Files\\s.bat", "C:\\Nowhere", {}));
    ASSERT_EQ(M.System.ProcessStarts().size(), 2u);
    EXPECT_EQ(M.System.ProcessStarts()[1].CommandLine, "\"C:\\Temp Files\\s.bat\" x");
}

TEST(SimPlatform, ACopyIsAMachineOfItsOwn)
{
    TSimPlatform Original;
    Original.FileSystem.AddFile("C:\\Program Files\\MT4\\terminal.exe", "MZ");
    Original.Registry.SetString(TRegistryRoot::rrLocalMachine, "SOFTWARE\\X", "Name", "before");
    auto Held = Original.FileSystem.OpenForReading("C:\\Program Files\\MT4\\terminal.exe");

    TSimPlatform Copy(Original);
    // The original's open file is not open in the copy, and is rewritten there alone.
    Copy.FileSystem.CreateForWriting("C:\\Program Files\\MT4\\terminal.exe")->WriteString("changed");
    Copy.Registry.SetString(TRegistryRoot::rrLocalMachine, "SOFTWARE\\X", "Name", "after");
    // The copy's shell and system work on the copy's files.
    TShellLink Link(Copy.Shell);
    Link.Path = "C:\\Program Files\\MT4\\terminal.exe";
    Link.Save("C:\\TEMP\\t.lnk");
    Copy.FileSystem.AddFile("C:\\TEMP\\s.bat", "");
    EXPECT_TRUE(Copy.System.StartHiddenIdleProcess("C:\\TEMP\\s.bat", "", {}));

    std::string Name;
    EXPECT_TRUE(Original.Registry.ReadString(TRegistryRoot::rrLocalMachine, "SOFTWARE\\X", "Name", false, Name));
    EXPECT_EQ(Name, "before");
    EXPECT_EQ(Original.FileSystem.FileContents("C:\\Program Files\\MT4\\terminal.exe"), "MZ");
    EXPECT_FALSE(Original.FileSystem.FileExists("C:\\TEMP\\t.lnk"));
    EXPECT_FALSE(Original.FileSystem.FileExists("C:\\TEMP\\s.bat"));
    EXPECT_TRUE(Original.System.ProcessStarts().empty());
    EXPECT_TRUE(Copy.FileSystem.FileExists("C:\\TEMP\\t.lnk"));
    EXPECT_EQ(Copy.FileSystem.FileContents("C:\\Program Files\\MT4\\terminal.exe"), "changed");
    EXPECT_EQ(Copy.Platform().FileSystem, &Copy.FileSystem);
}

} // namespace
} // namespace qe::sim
