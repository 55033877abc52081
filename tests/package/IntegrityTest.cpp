// The integrity record and the check of a whole package: each kind of damage is found
// and named; a package of an older producer, without the record, still passes.
#include "package/Integrity.h"

#include <gtest/gtest.h>

#include "package/PackageWriter.h"
#include "platform/sim/SimPlatform.h"

namespace qe {
namespace {

constexpr int64_t StubSize = 512;

class PackageCheck : public ::testing::Test {
protected:
    PackageCheck()
    {
        for (int I = 0; I < 16; ++I)
            Contents.PayloadKey[static_cast<size_t>(I)] = static_cast<uint8_t>(I * 11);
        Contents.ProgramName = "Grid Expert";
        Contents.Files.push_back(MemoryFile("{app}\\a.txt", "alpha"));
        Contents.Files.push_back(MemoryFile("{metatrader}\\b.bin", std::string(70000, 'b')));
        Contents.Files.push_back(MemoryFile("{app}\\empty.txt", ""));
        Write();
    }

    void Write()
    {
        TMemoryStream Stub(std::vector<uint8_t>(StubSize, 0));
        TMemoryStream Out;
        WriteInstaller(Out, Stub, Contents);
        Bytes = Out.Bytes();
    }

    TPackageCheck Check()
    {
        TMemoryStream File(Bytes);
        TQeInstall Model(Machine.Platform());
        Model.LoadFromStream(File);
        return CheckPackage(File, Model);
    }

    std::string Refusal()
    {
        TMemoryStream File(Bytes);
        TQeInstall Model(Machine.Platform());
        Model.LoadFromStream(File);
        try {
            RefuseDamagedPackage(CheckPackage(File, Model), Model);
        } catch (const EPackageDamaged& Error) {
            return Error.Message();
        }
        return "(none)";
    }

    size_t Find(const std::string& Needle) const
    {
        const std::string Haystack(Bytes.begin(), Bytes.end());
        const size_t At = Haystack.find(Needle);
        EXPECT_NE(At, std::string::npos) << Needle;
        return At;
    }

    // Where the file entry's payload lies, from the loaded model.
    std::pair<int64_t, int64_t> Window(size_t Index)
    {
        TMemoryStream File(Bytes);
        TQeInstall Model(Machine.Platform());
        Model.LoadFromStream(File);
        return {Model.Files[Index]->PayloadOffset, Model.Files[Index]->PayloadSize};
    }

    sim::TSimPlatform Machine;
    TPackageContents Contents;
    std::vector<uint8_t> Bytes;
};

TEST_F(PackageCheck, AProducedPackageIsSoundAndCarriesItsRecord)
{
    const TPackageCheck Result = Check();
    EXPECT_TRUE(Result.HasPackage);
    EXPECT_TRUE(Result.HasIntegrityRecord);
    EXPECT_TRUE(Result.Sound()) << Refusal();
    EXPECT_EQ(Result.FileSizes, (std::vector<int64_t>{5, 70000, 0}));
    // The record stands last, right before the closing end record.
    const std::string Tail(Bytes.begin() + Window(0).first - 5, Bytes.begin() + Window(0).first);
    EXPECT_EQ(Tail, std::string("\xFF\xFF\xFF\xFF\0", 5));
}

TEST_F(PackageCheck, EachKindOfDamageIsNamed)
{
    const std::vector<uint8_t> Good = Bytes;
    const auto [Offset, Size] = Window(1);

    Bytes[static_cast<size_t>(Offset + Size / 2)] ^= 1; // one bit inside a payload
    EXPECT_EQ(Refusal(), "The installer is damaged: the contents of b.bin do not match their digest. "
                         "Download it again.");
    const TPackageCheck Result = Check();
    EXPECT_EQ(Result.FileFaults, (std::vector<std::string>{"", "the contents of %1 do not match their digest", ""}));
    EXPECT_EQ(Result.FileFault(1, "{metatrader}\\b.bin"),
              "the contents of {metatrader}\\b.bin do not match their digest");
    EXPECT_EQ(Result.FileFault(0, "a.txt"), "");

    Bytes = Good; // one bit of the records: the major version
    Bytes[Find(std::string("\x03\0\0\0\x04\x01", 6)) + 5] ^= 2;
    EXPECT_EQ(Refusal(), "The installer is damaged: its package records do not match their digest. Download it again.");

    Bytes = Good; // cut inside the records
    Bytes.resize(static_cast<size_t>(StubSize + 40));
    EXPECT_EQ(Refusal(), "The installer is damaged: its package ends inside its records. Download it again.");

    Bytes = Good; // cut inside the last payload
    Bytes.resize(Bytes.size() - 1);
    EXPECT_EQ(Refusal(),
              "The installer is damaged: the contents of empty.txt lie outside the file. Download it again.");

    Bytes = Good; // a record after the integrity record escapes its digest
    const size_t End = static_cast<size_t>(Window(0).first - 5);
    const uint8_t Extra[9] = {2, 0, 0, 0, 4, 7, 0, 0, 0};
    Bytes.insert(Bytes.begin() + static_cast<ptrdiff_t>(End), Extra, Extra + 9);
    EXPECT_EQ(Refusal(), "The installer is damaged: records follow its integrity record. Download it again.");
}

TEST_F(PackageCheck, TheRefusalNamesAFileByItsFileName)
{
    Contents.Files = {MemoryFile("{metatrader}\\MQL4\\Experts\\Grid.ex4", "g"), MemoryFile("{app}", "odd")};
    Write();
    Bytes[static_cast<size_t>(Window(0).first)] ^= 1;
    EXPECT_EQ(Refusal(), "The installer is damaged: the contents of Grid.ex4 do not match their digest. "
                         "Download it again.");
    // A target without a file name of its own is refused for its path, named as it
    // stands, whatever its contents.
    Bytes[static_cast<size_t>(Window(0).first)] ^= 1;
    Bytes.resize(Bytes.size() - 1);
    EXPECT_EQ(Refusal(), "The installer is damaged: the target \"{app}\" needs \\ after {app}. Download it again.");
}

TEST_F(PackageCheck, APackageWithoutTheRecordIsCheckedWithoutDigests)
{
    // An id the reader does not know stands where an older producer wrote nothing.
    Bytes[Find(std::string("\x15\0\0\0\x08", 5))] = 99;
    TPackageCheck Result = Check();
    EXPECT_FALSE(Result.HasIntegrityRecord);
    EXPECT_TRUE(Result.Sound()) << Refusal();

    // Without digests a changed payload byte is not seen, but a final block whose count
    // does not decipher to 0..15 is.
    const auto [Offset, Size] = Window(0);
    for (int Try = 1; Try < 256; ++Try) {
        Bytes[static_cast<size_t>(Offset + Size - 1)] ^= static_cast<uint8_t>(Try);
        if (!Check().Sound())
            break;
    }
    EXPECT_EQ(Refusal(), "The installer is damaged: the contents of a.txt end in a damaged block. "
                         "Download it again.");
}

TEST_F(PackageCheck, AFileWithoutAPackageHasNothingToCheck)
{
    Bytes.assign(StubSize, 0);
    const TPackageCheck Result = Check();
    EXPECT_FALSE(Result.HasPackage);
    EXPECT_TRUE(Result.Sound());
}

} // namespace
} // namespace qe
