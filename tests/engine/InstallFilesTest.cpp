// Writing a file whole: a file of that name, or a link planted under it or under a name
// beside it, must neither be written through nor cost the old file, and a real failure
// must not be hidden.
#include <gtest/gtest.h>

#include "engine/InstallFiles.h"
#include "platform/Exceptions.h"
#include "platform/sim/ForwardingPlatform.h"
#include "platform/sim/SimPlatform.h"

namespace qe::test {
namespace {

const std::string Folder = "C:\\Data";
const std::string Target = Folder + "\\report.txt";

void WriteNew(TStream& Stream)
{
    Stream.WriteString("new");
}

// A write that stops after its first bytes, as a full disk stops it.
void WritePartly(TStream& Stream)
{
    Stream.WriteString("par");
    throw EStreamError("Stream write error");
}

class WriteFileSafelyTest : public ::testing::Test {
protected:
    WriteFileSafelyTest() { M.FileSystem.AddFolders(Folder); }
    std::vector<std::string> Names()
    {
        std::vector<std::string> Result;
        for (const auto& Entry : M.FileSystem.ListFolder(Folder))
            Result.push_back(Entry.Name);
        return Result;
    }
    // The platform with another file system.
    TPlatform With(IFileSystem& Disk)
    {
        TPlatform P = M.Platform();
        P.FileSystem = &Disk;
        return P;
    }
    sim::TSimPlatform M;
};

TEST_F(WriteFileSafelyTest, AFileThatIsThereIsReplacedOnlyOnceTheNewOneIsWhole)
{
    M.FileSystem.AddFile(Folder + "\\REPORT.TXT", "old"); // the same name in other letters
    EXPECT_THROW(WriteFileSafely(M.Platform(), Target, WritePartly), EStreamError);
    EXPECT_EQ(M.FileSystem.FileContents(Target), "old");
    EXPECT_EQ(Names(), std::vector<std::string>{"REPORT.TXT"});

    WriteFileSafely(M.Platform(), Target, WriteNew);
    EXPECT_EQ(M.FileSystem.FileContents(Target), "new");
    EXPECT_EQ(Names().size(), 1u);
}

TEST_F(WriteFileSafelyTest, AFolderInTheWayFailsWithTheFilesName)
{
    M.FileSystem.AddFolders(Target);
    try {
        WriteFileSafely(M.Platform(), Target, WriteNew);
        FAIL() << "written";
    } catch (const EFCreateError& E) {
        EXPECT_EQ(E.Message().rfind("Cannot create file \"" + Folder + "\\", 0), 0u) << E.Message();
    }
    EXPECT_TRUE(M.FileSystem.FolderExists(Target));
    EXPECT_EQ(Names(), std::vector<std::string>{"report.txt"});
}

// Records the names of the files created new, and refuses them all when told.
class TNewFiles : public sim::TForwardingFileSystem {
public:
    using TForwardingFileSystem::TForwardingFileSystem;
    std::unique_ptr<TStream> CreateNewForWriting(const std::string& Path) override
    {
        Created.push_back(Path);
        if (Refuse)
            throw EFCreateError(CannotCreateFileMessage(Path, "Access is denied"));
        return FInner.CreateNewForWriting(Path);
    }
    std::unique_ptr<TStream> CreateForWriting(const std::string& Path) override
    {
        ++Replacing;
        return FInner.CreateForWriting(Path);
    }
    std::vector<std::string> Created;
    bool Refuse = false;
    int Replacing = 0;
};

TEST_F(WriteFileSafelyTest, ANewFileThatCannotBeMadeEndsWithItsOwnMessageAndIsNotTriedAgain)
{
    TNewFiles Disk(M.FileSystem);
    Disk.Refuse = true;
    try {
        WriteFileSafely(With(Disk), Target, WriteNew);
        FAIL() << "written";
    } catch (const EFCreateError& E) {
        EXPECT_EQ(E.Message(), CannotCreateFileMessage(Target, "Access is denied"));
    }
    EXPECT_EQ(Disk.Created, std::vector<std::string>{Target});
    EXPECT_EQ(Disk.Replacing, 0);
    EXPECT_TRUE(Names().empty());
}

TEST_F(WriteFileSafelyTest, LinksUnderTheNameOrBesideItAreNeverWrittenThrough)
{
    // What another user planted in a folder they may change: a link under the name a file
    // used to be written beside (the old fixed one), and a link under the target's name
    // to a file that does not exist yet.
    M.FileSystem.AddFile("C:\\Windows\\victim.dll", "system");
    M.FileSystem.AddFile(Target, "old");
    M.FileSystem.AddLink(Target + ".~qe", "C:\\Windows\\victim.dll", false);
    M.FileSystem.AddLink(Folder + "\\notes.txt", "C:\\Windows\\planted.dll", false);
    TNewFiles Disk(M.FileSystem);
    WriteFileSafely(With(Disk), Target, WriteNew);
    WriteFileSafely(With(Disk), Target, WriteNew);
    WriteFileSafely(With(Disk), Folder + "\\notes.txt", WriteNew);

    EXPECT_EQ(M.FileSystem.FileContents("C:\\Windows\\victim.dll"), "system");
    EXPECT_FALSE(M.FileSystem.FileExists("C:\\Windows\\planted.dll"));
    EXPECT_EQ(M.FileSystem.FileContents(Target), "new");
    EXPECT_EQ(M.FileSystem.FileContents(Folder + "\\notes.txt"), "new");
    TEntryKind Kind = TEntryKind::ekUnknown;
    M.FileSystem.HoldAsItself(Target + ".~qe", Kind);
    EXPECT_EQ(Kind, TEntryKind::ekLink);
    // Nothing is ever created by replacing, and each file beside is a new 8.3 name that
    // no one could guess ahead: three targets, each name taken, three names beside.
    EXPECT_EQ(Disk.Replacing, 0);
    ASSERT_EQ(Disk.Created.size(), 6u);
    std::vector<std::string> Beside = {Disk.Created[1], Disk.Created[3], Disk.Created[5]};
    for (const std::string& Name : Beside) {
        EXPECT_EQ(Name.size(), Folder.size() + 1 + 12) << Name;
        EXPECT_TRUE(Name.ends_with(".~qe")) << Name;
    }
    EXPECT_NE(Beside[0], Beside[1]);
    EXPECT_EQ(Names().size(), 3u); // report.txt, the planted link beside it, notes.txt
}

} // namespace
} // namespace qe::test
