#include "package/QeClasses.h"

#include <cstdlib>
#include <limits>

#include "package/EncDec.h"
#include "platform/Exceptions.h"

namespace qe {
namespace {

// Top-level ids of the install package.
enum TPackageId : int32_t {
    piShowNotice = 1,
    piProgramName = 2,
    piMajorVersion = 3,
    piMinorVersion = 4,
    piBuildNumber = 5,
    piReleaseNumber = 6,
    piPublisher = 7,
    piWebsite = 8,
    piAddress = 9,
    piContactName = 10,
    piEmail = 11,
    piLicense = 12,
    piReadme = 13,
    piWhatsNew = 14,
    piExpertsOverride = 16,
    piPayloadKey = 18,
    piBanner = 19,
    piFile = 20,
};

// Ids inside a file-entry group.
enum TFileEntryId : int32_t {
    fiTarget = 1,
    fiCreationTimeLow = 2,
    fiCreationTimeHigh = 3,
    fiWriteTimeLow = 4,
    fiWriteTimeHigh = 5,
    fiShortcutName = 6,
    fiPayloadSize = 7,
    fiPayloadOffset = 8,
};

void SetLowHalf(uint64_t& Time, int32_t Value)
{
    Time = (Time & 0xFFFFFFFF00000000ULL) | static_cast<uint32_t>(Value);
}

void SetHighHalf(uint64_t& Time, int32_t Value)
{
    Time = (Time & 0xFFFFFFFFULL) | static_cast<uint64_t>(static_cast<uint32_t>(Value)) << 32;
}

// Number * Numerator / Denominator rounded half away from zero, with a 64-bit
// intermediate; -1 when Denominator is 0 or the result does not fit.
int32_t MulDiv(int32_t Number, int32_t Numerator, int32_t Denominator)
{
    if (Denominator == 0)
        return -1;
    const int64_t Product = static_cast<int64_t>(Number) * Numerator;
    const int64_t Magnitude = (std::llabs(Product) + std::llabs(Denominator) / 2) / std::llabs(Denominator);
    const int64_t Result = (Product < 0) != (Denominator < 0) ? -Magnitude : Magnitude;
    if (Result > std::numeric_limits<int32_t>::max() || Result < std::numeric_limits<int32_t>::min())
        return -1;
    return static_cast<int32_t>(Result);
}

} // namespace

// --- TQeData ---

TQeData::TQeData(const TPlatform& Platform) : Banner(std::make_unique<TJpegImage>()), FPlatform(Platform) {}

void TQeData::Clear()
{
    Banner = std::make_unique<TJpegImage>();
    ShowNotice = 1;
    ProgramName.clear();
    MajorVersion = 1;
    MinorVersion = 0;
    BuildNumber = 0;
    ReleaseNumber = 0;
    Publisher.clear();
    Website.clear();
    Address.clear();
    ContactName.clear();
    Email.clear();
}

void TQeData::LoadFromFile(const std::string& Name)
{
    auto Stream = FPlatform.FileSystem->OpenForReading(Name);
    LoadFromStream(*Stream);
    FileName = Name;
}

int32_t TQeData::ProgressPercent() const
{
    return MulDiv(ProgressPosition, 100, ProgressMax);
}

void TQeData::DoProgress(const std::string& Text, int32_t Steps)
{
    ProgressPosition += Steps;
    if (OnProgress)
        OnProgress(*this, Text, ProgressPercent());
}

bool ReadPackageOffset(TStream& Stream, uint32_t& Offset)
{
    Stream.Seek(PackageOffsetField, TSeekOrigin::soBeginning);
    uint8_t Field[4];
    if (Stream.Read(Field, 4) != 4)
        return false;
    Offset = static_cast<uint32_t>(Field[0]) | static_cast<uint32_t>(Field[1]) << 8 |
             static_cast<uint32_t>(Field[2]) << 16 | static_cast<uint32_t>(Field[3]) << 24;
    return true;
}

void WritePackageOffset(TStream& Stream, uint32_t Offset)
{
    const uint8_t Field[4] = {static_cast<uint8_t>(Offset), static_cast<uint8_t>(Offset >> 8),
                              static_cast<uint8_t>(Offset >> 16), static_cast<uint8_t>(Offset >> 24)};
    Stream.Seek(PackageOffsetField, TSeekOrigin::soBeginning);
    Stream.WriteBuffer(Field, 4);
}

bool LocateRecord(TStream& Stream, TTagStreamAdapter& Tags, uint32_t Signature)
{
    uint32_t Offset = 0;
    // The offset is signed: a negative one leads nowhere.
    if (!ReadPackageOffset(Stream, Offset) || static_cast<int32_t>(Offset) < 0)
        return false;
    Stream.Seek(Offset, TSeekOrigin::soBeginning);
    return Tags.CheckSignature(Signature);
}

std::string TQeData::ReadDecoded(TTagStreamAdapter& Tags)
{
    return DecodeString(Tags.ReadString());
}

void TQeData::ReadBanner(TTagStreamAdapter& Tags)
{
    const int32_t Count = Tags.ReadCount();
    if (Count < 0)
        return; // a count the stream cannot meet ends the data; the banner stays
    std::string Bytes(static_cast<size_t>(Count), '\0');
    if (Count > 0)
        Tags.Stream().ReadBuffer(Bytes.data(), Count);
    Banner->LoadFromBytes(std::move(Bytes));
}

// --- TQeInstall ---

TQeInstall::TQeInstall(const TPlatform& Platform) : TQeData(Platform) {}

void TQeInstall::Clear()
{
    TQeData::Clear();
    Files.clear();
    ExpertsOverride.clear();
    License.clear();
    Readme.clear();
    WhatsNew.clear();
    PayloadKey.fill(0);
}

TQeInstallFile& TQeInstall::AddFile()
{
    Files.push_back(std::make_unique<TQeInstallFile>());
    return *Files.back();
}

void TQeInstall::LoadFromStream(TStream& Stream)
{
    Clear();
    TTagStreamAdapter Tags(Stream);
    if (!LocateRecord(Stream, Tags, PackageSignature))
        return;
    while (Tags.NextTag()) {
        switch (Tags.TagId) {
        case piShowNotice: ShowNotice = Tags.ReadByte(); break;
        case piProgramName: ProgramName = ReadDecoded(Tags); break;
        case piMajorVersion: MajorVersion = Tags.ReadInteger(); break;
        case piMinorVersion: MinorVersion = Tags.ReadInteger(); break;
        case piBuildNumber: BuildNumber = Tags.ReadInteger(); break;
        case piReleaseNumber: ReleaseNumber = Tags.ReadInteger(); break;
        case piPublisher: Publisher = ReadDecoded(Tags); break;
        case piWebsite: Website = ReadDecoded(Tags); break;
        case piAddress: Address = ReadDecoded(Tags); break;
        case piContactName: ContactName = ReadDecoded(Tags); break;
        case piEmail: Email = ReadDecoded(Tags); break;
        case piLicense: License = ReadDecoded(Tags); break;
        case piReadme: Readme = ReadDecoded(Tags); break;
        case piWhatsNew: WhatsNew = ReadDecoded(Tags); break;
        case piExpertsOverride: ExpertsOverride = ReadDecoded(Tags); break;
        case piPayloadKey: {
            // Exactly 16 bytes make a key; a shorter value is no key, and bytes beyond
            // the sixteenth are passed over.
            const int32_t Count = Tags.ReadCount();
            if (Count < 0)
                break;
            TPayloadKey Stored{};
            const int32_t Taken = std::min<int32_t>(Count, 16);
            if (Stream.Read(Stored.data(), Taken) == 16)
                for (size_t I = 0; I < Stored.size(); ++I)
                    PayloadKey[I] = Stored[I] ^ KeyMask;
            Stream.Seek(Count - Taken, TSeekOrigin::soCurrent);
            break;
        }
        case piBanner: ReadBanner(Tags); break;
        case piFile: ReadFileEntry(Tags, AddFile()); break;
        default: Tags.SkipValue(); break;
        }
    }
}

void TQeInstall::ReadFileEntry(TTagStreamAdapter& Tags, TQeInstallFile& File)
{
    while (Tags.NextTag()) {
        switch (Tags.TagId) {
        case fiTarget: File.Target = ReadDecoded(Tags); break;
        case fiCreationTimeLow: SetLowHalf(File.CreationTime, Tags.ReadInteger()); break;
        case fiCreationTimeHigh: SetHighHalf(File.CreationTime, Tags.ReadInteger()); break;
        case fiWriteTimeLow: SetLowHalf(File.WriteTime, Tags.ReadInteger()); break;
        case fiWriteTimeHigh: SetHighHalf(File.WriteTime, Tags.ReadInteger()); break;
        case fiShortcutName: File.ShortcutName = ReadDecoded(Tags); break;
        case fiPayloadSize: File.PayloadSize = Tags.ReadInteger(); break;
        case fiPayloadOffset: File.PayloadOffset = Tags.ReadInteger(); break;
        default: Tags.SkipValue(); break;
        }
    }
}

} // namespace qe
