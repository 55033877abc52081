#include "package/QeUninstall.h"

#include "package/EncDec.h"

namespace qe {

TQeUninstall::TQeUninstall(const TPlatform& Platform) : TQeData(Platform) {}

void TQeUninstall::Clear()
{
    TQeData::Clear();
    Files.clear();
    Folders.clear();
}

void TQeUninstall::LoadFromStream(TStream& Stream)
{
    Clear();
    TTagStreamAdapter Tags(Stream);
    if (!LocateRecord(Stream, Tags, UninstallSignature))
        return;
    while (Tags.NextTag()) {
        if (ReadProductField(Tags, *this))
            continue;
        switch (Tags.TagId) {
        case uiBanner: ReadBanner(Tags); break;
        case uiFolder: Folders.push_back(ReadDecoded(Tags)); break;
        case uiFile: Files.push_back(ReadDecoded(Tags)); break;
        case uiLanguage: Language = ReadDecoded(Tags); break;
        default: Tags.SkipValue(); break;
        }
    }
}

// The record's writer sits beside its reader; the install run calls it for the
// uninstaller it makes.
void TQeInstall::WriteUninstallRecord(TStream& Stream)
{
    const int64_t Start = Stream.Position();
    TTagStreamAdapter Tags(Stream);
    Tags.WriteSignature(UninstallSignature);
    WriteProductFields(Tags, *this);
    if (!Banner->Empty()) {
        TMemoryStream Picture;
        Banner->SaveToStream(Picture);
        Picture.SetPosition(0);
        Tags.WriteStream(uiBanner, Picture, static_cast<int32_t>(Picture.GetSize()));
    }
    for (const TInstallLogEntry& Entry : InstallLog)
        WriteEncoded(Tags, Entry.IsFolder ? uiFolder : uiFile, Entry.Path);
    if (!Language.empty())
        WriteEncoded(Tags, uiLanguage, Language);

    WritePackageOffset(Stream, static_cast<uint32_t>(Start));
}

} // namespace qe
