#include "package/PackageWriter.h"

#include <random>

#include "package/EncDec.h"
#include "package/Integrity.h"
#include "package/PayloadCipher.h"
#include "package/QeClasses.h"
#include "platform/Exceptions.h"

namespace qe {
namespace {

void WriteBinary(TTagStreamAdapter& Tags, int32_t Id, const std::string& Bytes)
{
    TMemoryStream Source(std::vector<uint8_t>(Bytes.begin(), Bytes.end()));
    Tags.WriteStream(Id, Source, static_cast<int32_t>(Bytes.size()));
}

int32_t Low(uint64_t Time)
{
    return static_cast<int32_t>(static_cast<uint32_t>(Time));
}
int32_t High(uint64_t Time)
{
    return static_cast<int32_t>(static_cast<uint32_t>(Time >> 32));
}

// The package records: the record that marks the strings UTF-8 first, so that a reader
// knows how to read them before it meets one; then ids in ascending order, every string
// record written even when empty, one group per file after the other records, the
// integrity record, a closing end record. The data-folder record, younger than the file
// groups' id, stands before them with the other records.
void WritePackage(TStream& Out, const TPackageContents& C, const std::vector<int64_t>& Sizes, int64_t FirstPayload,
                  const TIntegrityRecord& Integrity)
{
    TTagStreamAdapter Tags(Out);
    Tags.WriteSignature(PackageSignature);
    if (C.Utf8Strings)
        Tags.WriteByte(piUtf8Strings, 1);
    WriteProductFields(Tags, C);
    WriteEncoded(Tags, piLicense, C.License);
    WriteEncoded(Tags, piReadme, C.Readme);
    WriteEncoded(Tags, piWhatsNew, C.WhatsNew);
    if (!C.ExpertsOverride.empty())
        WriteEncoded(Tags, piExpertsOverride, C.ExpertsOverride);
    std::string Masked(C.PayloadKey.begin(), C.PayloadKey.end());
    for (char& Byte : Masked)
        Byte = static_cast<char>(static_cast<uint8_t>(Byte) ^ KeyMask);
    WriteBinary(Tags, piPayloadKey, Masked);
    if (!C.BannerJpeg.empty())
        WriteBinary(Tags, piBanner, C.BannerJpeg);
    if (C.UseDataFolders)
        Tags.WriteByte(piDataFolders, 1);
    if (!C.Languages.empty())
        WriteEncoded(Tags, piLanguages, JoinLanguageCodes(C.Languages));
    int64_t Offset = FirstPayload;
    for (size_t I = 0; I < C.Files.size(); ++I) {
        const TPackedFile& F = C.Files[I];
        const int64_t Size = CipheredSize(Sizes[I]);
        if (Offset + Size - 1 > INT32_MAX)
            throw Exception("The package does not fit into 2 GiB");
        Tags.WriteTag(piFile, tkGroup);
        WriteEncoded(Tags, fiTarget, F.Target);
        Tags.WriteInteger(fiCreationTimeLow, Low(F.CreationTime));
        Tags.WriteInteger(fiCreationTimeHigh, High(F.CreationTime));
        Tags.WriteInteger(fiWriteTimeLow, Low(F.WriteTime));
        Tags.WriteInteger(fiWriteTimeHigh, High(F.WriteTime));
        WriteEncoded(Tags, fiShortcutName, F.ShortcutName);
        Tags.WriteInteger(fiPayloadSize, static_cast<int32_t>(Size));
        Tags.WriteInteger(fiPayloadOffset, static_cast<int32_t>(Offset));
        Tags.WriteEnd();
        Offset += Size;
    }
    Integrity.Write(Tags);
    Tags.WriteEnd();
}

} // namespace

TPackedFile MemoryFile(std::string Target, std::string Contents, std::string ShortcutName, uint64_t CreationTime,
                       uint64_t WriteTime)
{
    TPackedFile File;
    File.Target = std::move(Target);
    File.ShortcutName = std::move(ShortcutName);
    File.CreationTime = CreationTime;
    File.WriteTime = WriteTime;
    File.OpenSource = [Bytes = std::move(Contents)] {
        return std::make_unique<TMemoryStream>(std::vector<uint8_t>(Bytes.begin(), Bytes.end()));
    };
    return File;
}

void WriteInstaller(TStream& Out, TStream& Stub, const TPackageContents& Contents)
{
    Stub.Seek(0, TSeekOrigin::soBeginning);
    const int64_t StubSize = Stub.GetSize();
    if (StubSize < PackageOffsetField + 4 || StubSize > INT32_MAX)
        throw Exception("The stub is not an executable that can carry a package");
    std::vector<int64_t> Sizes;
    for (const TPackedFile& File : Contents.Files)
        Sizes.push_back(File.OpenSource()->GetSize());

    // The package's length depends neither on the offsets nor on the digests it holds.
    TIntegrityRecord Integrity;
    Integrity.Windows.resize(Contents.Files.size());
    TMemoryStream Probe;
    WritePackage(Probe, Contents, Sizes, 0, Integrity);
    TMemoryStream Package;
    WritePackage(Package, Contents, Sizes, StubSize + Probe.GetSize(), Integrity);
    // The integrity record's header: before its count, value and the closing end record.
    const int64_t IntegrityAt = Package.GetSize() - 5 - 9 - TIntegrityRecord::ValueSize(Contents.Files.size());
    Integrity.Records = DigestOf(Package.Bytes().data(), static_cast<size_t>(IntegrityAt));

    Out.Seek(0, TSeekOrigin::soBeginning);
    Out.CopyFrom(Stub, 0);
    Package.Seek(0, TSeekOrigin::soBeginning);
    Out.CopyFrom(Package, 0);
    for (size_t I = 0; I < Contents.Files.size(); ++I) {
        const TPackedFile& File = Contents.Files[I];
        const std::string Name = File.SourceName.empty() ? File.Target : File.SourceName;
        auto Source = File.OpenSource();
        if (Source->GetSize() != Sizes[I])
            throw Exception("The file \"" + Name + "\" changed while it was packed");
        TDigestingStream Payload(Out);
        try {
            CipherStream(*Source, Payload, Contents.PayloadKey.data(), PayloadKeySize, true);
        } catch (const ECipherException&) {
            throw Exception("The file \"" + Name + "\" could not be read whole");
        }
        Integrity.Windows[I] = Payload.Final();
    }
    Out.Seek(StubSize + IntegrityAt, TSeekOrigin::soBeginning);
    TTagStreamAdapter Tags(Out);
    Integrity.Write(Tags);
    WritePackageOffset(Out, static_cast<uint32_t>(StubSize));
    Out.Seek(0, TSeekOrigin::soEnd);
    Out.Flush();
}

TPayloadKey RandomPayloadKey()
{
    // The system's random source: rand_s on Windows, getrandom or the processor's on Linux.
    std::random_device Source;
    TPayloadKey Key{};
    for (uint8_t& Byte : Key)
        Byte = static_cast<uint8_t>(Source());
    return Key;
}

} // namespace qe
