// The uninstaller: a copy of the running program without its package, with the
// uninstall record appended, registered in the Windows list of installed programs.
#include "engine/Uninstaller.h"

#include "engine/InstallFiles.h"
#include "package/EncDec.h"
#include "package/QeClasses.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"

namespace qe {
namespace {

// Ids of the uninstall record.
enum TUninstallId : int32_t {
    uiShowNotice = 1,
    uiProgramName = 2,
    uiMajorVersion = 3,
    uiMinorVersion = 4,
    uiBuildNumber = 5,
    uiReleaseNumber = 6,
    uiPublisher = 7,
    uiWebsite = 8,
    uiAddress = 9,
    uiContactName = 10,
    uiEmail = 11,
    uiBanner = 12,
    uiFolder = 13,
    uiFile = 14,
};

uint32_t GetLE32(const uint8_t* Bytes)
{
    return static_cast<uint32_t>(Bytes[0]) | static_cast<uint32_t>(Bytes[1]) << 8 |
           static_cast<uint32_t>(Bytes[2]) << 16 | static_cast<uint32_t>(Bytes[3]) << 24;
}

void CopyBytes(TStream& Source, TStream& Dest, int64_t Count)
{
    std::vector<uint8_t> Buffer(64 * 1024);
    while (Count > 0) {
        const auto N = static_cast<int32_t>(std::min<int64_t>(Count, static_cast<int64_t>(Buffer.size())));
        Source.ReadBuffer(Buffer.data(), N);
        Dest.WriteBuffer(Buffer.data(), N);
        Count -= N;
    }
}

} // namespace

bool HasOwnUninstallKey(const std::string& ProgramName)
{
    return ProgramName.find_first_not_of('\\') != std::string::npos;
}

void TQeInstall::CreateUninstaller(const std::string& ExePath, const std::string& LinkPath)
{
    IFileSystem& Fs = *FPlatform.FileSystem;
    InstallLog.push_back({LinkPath, false});
    DoProgress("Creating unistaller ...", 1);
    ForceFolders(Fs, ExtractFileDir(ExePath));
    {
        auto Source = Fs.OpenForReading(FileName);
        // The record's offset is stored inside the copied program; a program whose
        // offset field points before its own end, or past the end of the file, carries
        // no package and cannot become an uninstaller. That is found out before the
        // uninstaller's file is made.
        uint8_t Field[4] = {};
        Source->Seek(PackageOffsetField, TSeekOrigin::soBeginning);
        const bool HasField = Source->Read(Field, 4) == 4;
        const uint32_t ProgramSize = GetLE32(Field);
        if (!HasField || ProgramSize < PackageOffsetField + 4 || ProgramSize > Source->GetSize())
            throw Exception("The program file \"" + FileName + "\" carries no package offset");
        auto Exe = Fs.CreateForWriting(ExePath);
        Source->Seek(0, TSeekOrigin::soBeginning);
        CopyBytes(*Source, *Exe, ProgramSize);
        Exe->Seek(0, TSeekOrigin::soEnd);
        WriteUninstallRecord(*Exe);
        Exe->Flush();
    }
    if (HasOwnUninstallKey(ProgramName)) {
        DoProgress("Registering unistaller ...", 1);
        const std::string Key = UninstallKeyPrefix + ProgramName;
        const auto Root = TRegistryRoot::rrLocalMachine;
        FPlatform.Registry->WriteString(Root, Key, "DisplayName", ProgramName);
        FPlatform.Registry->WriteString(Root, Key, "UninstallString", ExePath);
        FPlatform.Registry->WriteString(Root, Key, "DisplayIcon", ExePath);
    } else {
        DoProgress("Not registering the uninstaller: the package gives no program name.", 1);
    }
    ForceFolders(Fs, ExtractFileDir(LinkPath));
    WriteShellLink(*FPlatform.Shell, ExePath, LinkPath);
}

void TQeInstall::WriteUninstallRecord(TStream& Stream)
{
    const int64_t Start = Stream.Position();
    TTagStreamAdapter Tags(Stream);
    Tags.WriteSignature(UninstallSignature);
    Tags.WriteByte(uiShowNotice, ShowNotice);
    Tags.WriteString(uiProgramName, EncodeString(ProgramName));
    Tags.WriteInteger(uiMajorVersion, MajorVersion);
    Tags.WriteInteger(uiMinorVersion, MinorVersion);
    Tags.WriteInteger(uiBuildNumber, BuildNumber);
    Tags.WriteInteger(uiReleaseNumber, ReleaseNumber);
    Tags.WriteString(uiPublisher, EncodeString(Publisher));
    Tags.WriteString(uiWebsite, EncodeString(Website));
    Tags.WriteString(uiAddress, EncodeString(Address));
    Tags.WriteString(uiContactName, EncodeString(ContactName));
    Tags.WriteString(uiEmail, EncodeString(Email));
    if (!Banner->Empty()) {
        TMemoryStream Picture;
        Banner->SaveToStream(Picture);
        Picture.SetPosition(0);
        Tags.WriteStream(uiBanner, Picture, static_cast<int32_t>(Picture.GetSize()));
    }
    for (const TInstallLogEntry& Entry : InstallLog)
        Tags.WriteString(Entry.IsFolder ? uiFolder : uiFile, EncodeString(Entry.Path));

    const auto Offset = static_cast<uint32_t>(Start);
    const uint8_t Field[4] = {static_cast<uint8_t>(Offset), static_cast<uint8_t>(Offset >> 8),
                              static_cast<uint8_t>(Offset >> 16), static_cast<uint8_t>(Offset >> 24)};
    Stream.Seek(PackageOffsetField, TSeekOrigin::soBeginning);
    Stream.WriteBuffer(Field, 4);
}

} // namespace qe
