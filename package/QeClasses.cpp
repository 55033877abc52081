#include "package/QeClasses.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

#include "language/Languages.h"
#include "package/Documents.h"
#include "package/EncDec.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"

namespace qe {
namespace {

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

TQeData::TQeData(const TPlatform& Platform)
    : Banner(std::make_unique<TJpegImage>()), Texts(&EnglishTexts()), FPlatform(Platform)
{
}

void TQeData::Clear()
{
    Banner = std::make_unique<TJpegImage>();
    static_cast<TProductFields&>(*this) = TProductFields{};
    Language.clear();
}

void TQeData::LoadFromFile(const std::string& Name)
{
    LoadFromFile(FPlatform.FileSystem->OpenForReading(Name), Name);
}

void TQeData::LoadFromFile(std::unique_ptr<TStream> File, const std::string& Name)
{
    FProgramFile.reset();
    LoadFromStream(*File);
    FProgramFile = std::move(File);
    FileName = Name;
}

TStream& TQeData::ProgramFile()
{
    if (!FProgramFile)
        throw Exception("The model was loaded from no file");
    return *FProgramFile;
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

std::string JoinLanguageCodes(const std::vector<std::string>& Codes)
{
    std::string Value;
    for (const std::string& Code : Codes)
        Value += (Value.empty() ? "" : ",") + Code;
    return Value;
}

std::vector<std::string> SplitLanguageCodes(const std::string& Value)
{
    std::vector<std::string> Codes;
    size_t Start = 0;
    while (Start <= Value.size()) {
        const size_t End = std::min(Value.find(',', Start), Value.size());
        const std::string Code = Trim(Value.substr(Start, End - Start));
        if (!Code.empty())
            Codes.push_back(Code);
        Start = End + 1;
    }
    return Codes;
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

void TQeData::ReadBanner(TTagStreamAdapter& Tags)
{
    const int32_t Count = Tags.ReadCount();
    if (Count < 0)
        return; // a count the stream cannot meet ends the data; the banner stays
    std::string Bytes(static_cast<size_t>(Count), '\0');
    if (Count > 0)
        Tags.Stream().ReadBuffer(Bytes.data(), Count);
    try {
        Banner->LoadFromBytes(std::move(Bytes));
    } catch (const EJpegBoundsError&) {
        // A picture too costly to decode is no banner; the program shows none.
        Banner = std::make_unique<TJpegImage>();
    }
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
    UseDataFolders = false;
    Languages.clear();
}

TQeInstallFile& TQeInstall::AddFile()
{
    Files.push_back(std::make_unique<TQeInstallFile>());
    return *Files.back();
}

void TQeInstall::LoadFromStream(TStream& Stream)
{
    LoadRecord(Stream, PackageSignature);
}

void TQeInstall::ReadRecords(TTagStreamAdapter& Tags, bool& Utf8)
{
    TStream& Stream = Tags.Stream();
    while (Tags.NextTag()) {
        if (ReadProductField(Tags, *this))
            continue;
        switch (Tags.TagId) {
        case piLicense: License = ReadDecoded(Tags); break;
        case piReadme: Readme = ReadDecoded(Tags); break;
        case piWhatsNew: WhatsNew = ReadDecoded(Tags); break;
        case piExpertsOverride: ExpertsOverride = ReadDecoded(Tags); break;
        case piPayloadKey: {
            // Exactly PayloadKeySize bytes make a key; a shorter value is no key, and
            // bytes beyond it are passed over.
            const int32_t Count = Tags.ReadCount();
            if (Count < 0)
                break;
            TPayloadKey Stored{};
            const int32_t Taken = std::min<int32_t>(Count, PayloadKeySize);
            if (Stream.Read(Stored.data(), Taken) == static_cast<int32_t>(PayloadKeySize))
                for (size_t I = 0; I < Stored.size(); ++I)
                    PayloadKey[I] = Stored[I] ^ KeyMask;
            Stream.Seek(Count - Taken, TSeekOrigin::soCurrent);
            break;
        }
        case piBanner: ReadBanner(Tags); break;
        case piFile: ReadFileEntry(Tags, AddFile()); break;
        case piDataFolders: UseDataFolders = Tags.ReadByte() != 0; break;
        case piUtf8Strings: Utf8 = Tags.ReadByte() == 1; break;
        case piLanguages: Languages = SplitLanguageCodes(ReadDecoded(Tags)); break;
        default: Tags.SkipValue(); break;
        }
    }
}

void TQeData::LoadRecord(TStream& Stream, uint32_t Signature)
{
    Clear();
    TTagStreamAdapter Tags(Stream);
    if (!LocateRecord(Stream, Tags, Signature))
        return;
    // The strings are read as stored and made UTF-8 at the end: the record that says how
    // they are stored may come anywhere, and one written before UTF-8 has none (its strings
    // are Windows-1252).
    bool Utf8 = false;
    try {
        ReadRecords(Tags, Utf8);
    } catch (...) {
        MakeStringsUtf8(Utf8);
        throw;
    }
    MakeStringsUtf8(Utf8);
}

void TQeData::MakeStringsUtf8(bool Utf8)
{
    MakeFieldsUtf8(*this, Utf8);
}

void TQeInstall::MakeStringsUtf8(bool Utf8)
{
    TQeData::MakeStringsUtf8(Utf8);
    ExpertsOverride = StoredText(ExpertsOverride, Utf8);
    for (std::string* Document : {&License, &Readme, &WhatsNew})
        *Document = StoredDocument(*Document, Utf8);
    for (const auto& File : Files) {
        File->Target = StoredText(File->Target, Utf8);
        File->ShortcutName = StoredText(File->ShortcutName, Utf8);
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
