#include "package/Integrity.h"

#include <algorithm>

#include "package/PayloadCipher.h"
#include "package/SubStreams.h"
#include "package/TargetPaths.h"

// XXH3 from its header alone: no library to link, the same code in the stub and qepack.
#define XXH_INLINE_ALL
#include <xxhash.h>

namespace qe {
namespace {

// Read size of the check: large reads go straight from the file to this buffer.
constexpr int32_t CheckChunk = 1 << 20;

// The digest of Count bytes of File from Start; false when the file ends first.
bool DigestRange(TStream& File, int64_t Start, int64_t Count, std::vector<uint8_t>& Buffer, TDigest& Digest)
{
    File.Seek(Start, TSeekOrigin::soBeginning);
    TDigestState State;
    while (Count > 0) {
        const auto Want = static_cast<int32_t>(std::min<int64_t>(Count, static_cast<int64_t>(Buffer.size())));
        const int32_t Got = File.Read(Buffer.data(), Want);
        if (Got <= 0)
            return false;
        State.Update(Buffer.data(), static_cast<size_t>(Got));
        Count -= Got;
    }
    Digest = State.Final();
    return true;
}

// Where the package's top-level records lie, and its integrity record.
struct TRecordScan {
    int64_t Start = 0;        // the signature
    bool Complete = false;    // the records end with an end record
    int64_t IntegrityAt = -1; // header of the integrity record
    bool IntegrityReadable = false;
    bool RecordsAfterIntegrity = false;
    std::string IntegrityValue;
};

bool ScanRecords(TStream& File, TRecordScan& Scan)
{
    TTagStreamAdapter Tags(File);
    if (!LocateRecord(File, Tags, PackageSignature))
        return false;
    Scan.Start = File.Position() - 4;
    for (;;) {
        const int64_t At = File.Position();
        if (!Tags.NextTag()) {
            Scan.Complete = !Tags.HeaderCut();
            return true;
        }
        if (Scan.IntegrityAt >= 0)
            Scan.RecordsAfterIntegrity = true;
        if (Tags.TagId != piIntegrity || Tags.TagKind != tkBinary) {
            Tags.SkipValue();
            continue;
        }
        Scan.IntegrityAt = At;
        const int32_t Count = Tags.ReadCount(); // one the file cannot meet ends the records
        Scan.IntegrityReadable = Count >= 0;
        Scan.IntegrityValue.assign(static_cast<size_t>(std::max(Count, 0)), '\0');
        if (Count > 0)
            File.ReadBuffer(Scan.IntegrityValue.data(), Count);
    }
}

// Reads the record's value; false when it is not one this reader knows.
bool ParseIntegrityValue(const std::string& Value, TIntegrityRecord& Record)
{
    const auto* Bytes = reinterpret_cast<const uint8_t*>(Value.data());
    if (Value.size() < 24 || GetLE32(Bytes) != IntegrityDigestXxh3x128)
        return false;
    const uint32_t Count = GetLE32(Bytes + 4);
    if (Count > (Value.size() - 24) / 16 || Value.size() != 24 + 16 * static_cast<size_t>(Count))
        return false;
    std::copy_n(Bytes + 8, 16, Record.Records.begin());
    Record.Windows.resize(Count);
    for (uint32_t I = 0; I < Count; ++I)
        std::copy_n(Bytes + 24 + 16 * static_cast<size_t>(I), 16, Record.Windows[I].begin());
    return true;
}

// Deciphers the window's final block; its size, or -1 when its count byte is damaged.
int64_t DecipheredSize(TStream& File, const TQeInstallFile& Entry, const TPayloadKey& Key)
{
    const int64_t Blocks = Entry.PayloadSize / 16;
    const int64_t Final = static_cast<int64_t>(Entry.PayloadOffset) + (Blocks - 1) * 16;
    TSubStream Block(File, Final, Final + 15);
    Block.SetPosition(0);
    TMemoryStream Plain;
    try {
        CipherStream(Block, Plain, Key.data(), static_cast<int>(Key.size()), false);
    } catch (const ECipherException&) {
        return -1;
    }
    return (Blocks - 1) * 16 + Plain.GetSize();
}

} // namespace

// --- digests

struct TDigestState::TState {
    XXH3_state_t Xxh;
};

TDigestState::TDigestState() : FState(new TState)
{
    XXH3_128bits_reset(&FState->Xxh);
}

TDigestState::~TDigestState()
{
    delete FState;
}

void TDigestState::Update(const void* Bytes, size_t Count)
{
    XXH3_128bits_update(&FState->Xxh, Bytes, Count);
}

TDigest TDigestState::Final() const
{
    XXH128_canonical_t Canonical;
    XXH128_canonicalFromHash(&Canonical, XXH3_128bits_digest(&FState->Xxh));
    TDigest Digest;
    std::copy_n(Canonical.digest, 16, Digest.begin());
    return Digest;
}

TDigest DigestOf(const void* Bytes, size_t Count)
{
    TDigestState State;
    State.Update(Bytes, Count);
    return State.Final();
}

int32_t TDigestingStream::Write(const void* Buffer, int32_t Count)
{
    const int32_t Written = FTarget.Write(Buffer, Count);
    if (Written > 0)
        FDigest.Update(Buffer, static_cast<size_t>(Written));
    return Written;
}

// --- the record

int32_t TIntegrityRecord::ValueSize(size_t WindowCount)
{
    return static_cast<int32_t>(24 + 16 * WindowCount);
}

void TIntegrityRecord::Write(TTagStreamAdapter& Tags) const
{
    std::vector<uint8_t> Value(static_cast<size_t>(ValueSize(Windows.size())));
    PutLE32(Value.data(), IntegrityDigestXxh3x128);
    PutLE32(Value.data() + 4, static_cast<uint32_t>(Windows.size()));
    std::copy(Records.begin(), Records.end(), Value.begin() + 8);
    for (size_t I = 0; I < Windows.size(); ++I)
        std::copy(Windows[I].begin(), Windows[I].end(), Value.begin() + 24 + 16 * static_cast<ptrdiff_t>(I));
    TMemoryStream Source(std::move(Value));
    Tags.WriteStream(piIntegrity, Source, static_cast<int32_t>(Source.GetSize()));
}

// --- the check

bool TPackageCheck::Sound() const
{
    for (size_t I = 0; I < FileFaults.size(); ++I)
        if (!FileSound(I))
            return false;
    return PackageFaults.empty();
}

std::string TPackageCheck::FileFault(size_t Index, const std::string& Name) const
{
    if (!PathFaults[Index].empty())
        return PathFaults[Index];
    return FormatText(FileFaults[Index], {Name});
}

std::string TPackageCheck::FirstFault(const TQeInstall& Model) const
{
    if (!PackageFaults.empty())
        return PackageFaults.front();
    for (size_t I = 0; I < FileFaults.size(); ++I)
        if (!FileSound(I)) {
            const std::string& Target = Model.Files[I]->Target;
            const std::string Name = Target.substr(Target.rfind('\\') + 1);
            return FileFault(I, Name.empty() || Name.front() == '{' ? Target : Name);
        }
    return {};
}

TPackageCheck CheckPackage(TStream& File, const TQeInstall& Model)
{
    TPackageCheck Check;
    TRecordScan Scan;
    Check.HasPackage = ScanRecords(File, Scan);
    if (!Check.HasPackage)
        return Check;
    // A small package needs no megabyte of buffer.
    std::vector<uint8_t> Buffer(static_cast<size_t>(std::clamp<int64_t>(File.GetSize(), 1, CheckChunk)));
    TIntegrityRecord Record;
    Check.HasIntegrityRecord = Scan.IntegrityAt >= 0;
    const TTextTable& Texts = *Model.Texts;
    if (!Scan.Complete)
        Check.PackageFaults.push_back(Texts.Format(TText::FaultRecordsCut));
    if (Check.HasIntegrityRecord) {
        TDigest Records{};
        if (!Scan.IntegrityReadable || !ParseIntegrityValue(Scan.IntegrityValue, Record))
            Check.PackageFaults.push_back(Texts.Format(TText::FaultIntegrityUnreadable));
        else if (Scan.RecordsAfterIntegrity)
            Check.PackageFaults.push_back(Texts.Format(TText::FaultRecordsAfterIntegrity));
        else if (Record.Windows.size() != Model.Files.size())
            Check.PackageFaults.push_back(Texts.Format(TText::FaultIntegrityFileCount));
        else if (!DigestRange(File, Scan.Start, Scan.IntegrityAt - Scan.Start, Buffer, Records) ||
                 Records != Record.Records)
            Check.PackageFaults.push_back(Texts.Format(TText::FaultRecordsDigest));
    }
    const bool CheckDigests = Check.HasIntegrityRecord && Check.PackageFaults.empty();
    // Paths that Windows would read as something else: such a package is refused whatever
    // its digests say.
    const TPathFaults Paths = PackagePathFaults(Model);
    if (Paths.Package)
        Check.PackageFaults.push_back(*Paths.Package);
    const int64_t FileSize = File.GetSize();
    for (size_t I = 0; I < Model.Files.size(); ++I) {
        const TQeInstallFile& Entry = *Model.Files[I];
        const int64_t Start = Entry.PayloadOffset;
        int64_t Size = -1;
        TDigest Window{};
        std::string Fault;
        if (Start < 0 || Entry.PayloadSize < 16 || Start + Entry.PayloadSize > FileSize)
            Fault = Texts.Raw(TText::FaultFileOutside);
        else if (CheckDigests &&
                 (!DigestRange(File, Start, Entry.PayloadSize, Buffer, Window) || Window != Record.Windows[I]))
            Fault = Texts.Raw(TText::FaultFileDigest);
        else if ((Size = DecipheredSize(File, Entry, Model.PayloadKey)) < 0)
            Fault = Texts.Raw(TText::FaultFileDamagedBlock);
        Check.FileFaults.push_back(Fault);
        Check.PathFaults.push_back(Paths.Files[I]);
        Check.FileSizes.push_back(Check.FileSound(I) ? Size : -1);
    }
    return Check;
}

void RefuseDamagedPackage(const TPackageCheck& Check, const TQeInstall& Model)
{
    const std::string Fault = Check.FirstFault(Model);
    if (!Fault.empty())
        throw EPackageDamaged(Model.Texts->Format(TText::MessagePackageDamaged, {Fault}));
}

} // namespace qe
