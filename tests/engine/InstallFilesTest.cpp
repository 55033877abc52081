// Writing a file whole when the caller believes it new: a belief that turns out wrong
// must not cost the old file, and a real failure must not be hidden.
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
    sim::TSimPlatform M;
};

TEST_F(WriteFileSafelyTest, AFileThatIsThereAfterAllIsReplacedOnlyOnceTheNewOneIsWhole)
{
    for (const bool KnownNew : {false, true}) {
        M.FileSystem.AddFile(Folder + "\\REPORT.TXT", "old"); // the same name in other letters
        EXPECT_THROW(WriteFileSafely(M.FileSystem, Target, WritePartly, KnownNew), EStreamError) << KnownNew;
        EXPECT_EQ(M.FileSystem.FileContents(Target), "old") << KnownNew;
        EXPECT_EQ(Names(), std::vector<std::string>{"REPORT.TXT"}) << KnownNew;

        WriteFileSafely(M.FileSystem, Target, WriteNew, KnownNew);
        EXPECT_EQ(M.FileSystem.FileContents(Target), "new") << KnownNew;
        EXPECT_EQ(Names().size(), 1u) << KnownNew;
        M.FileSystem.RemoveFile(Target);
    }
}

TEST_F(WriteFileSafelyTest, AFolderInTheWayFailsAsItDoesWithoutTheBelief)
{
    M.FileSystem.AddFolders(Target);
    std::string Messages[2];
    for (const bool KnownNew : {false, true})
        try {
            WriteFileSafely(M.FileSystem, Target, WriteNew, KnownNew);
        } catch (const EFCreateError& E) {
            Messages[KnownNew] = E.Message();
        }
    EXPECT_NE(Messages[false], "");
    EXPECT_EQ(Messages[true], Messages[false]);
    EXPECT_TRUE(M.FileSystem.FolderExists(Target));
}

// Refuses to create any new file, as a folder without the right to write does.
class TNoNewFiles : public sim::TForwardingFileSystem {
public:
    using TForwardingFileSystem::TForwardingFileSystem;
    std::unique_ptr<TStream> CreateNewForWriting(const std::string& Path) override
    {
        throw EFCreateError(CannotCreateFileMessage(Path, "Access is denied"));
    }
    std::unique_ptr<TStream> CreateForWriting(const std::string& Path) override
    {
        ++Creates;
        return FInner.CreateForWriting(Path);
    }
    int Creates = 0;
};

TEST_F(WriteFileSafelyTest, ANewFileThatCannotBeMadeEndsWithItsOwnMessageAndIsNotTriedAgain)
{
    TNoNewFiles Disk(M.FileSystem);
    try {
        WriteFileSafely(Disk, Target, WriteNew, true);
        FAIL() << "written";
    } catch (const EFCreateError& E) {
        EXPECT_EQ(E.Message(), CannotCreateFileMessage(Target, "Access is denied"));
    }
    EXPECT_EQ(Disk.Creates, 0);
    EXPECT_TRUE(Names().empty());
}

} // namespace
} // namespace qe::test
