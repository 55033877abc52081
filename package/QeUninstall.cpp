#include "package/QeUninstall.h"

#include "package/EncDec.h"
#include "package/ProductFields.h"

namespace qe {

TQeUninstall::TQeUninstall(const TPlatform& Platform) : TQeData(Platform) {}

void TQeUninstall::Clear()
{
    TQeData::Clear();
    // A record without the scope's record is of an installation for every user.
    Scope = TInstallScope::Machine;
    Files.clear();
    Folders.clear();
}

void TQeUninstall::LoadFromStream(TStream& Stream)
{
    LoadRecord(Stream, UninstallSignature);
}

void TQeUninstall::ReadRecords(TTagStreamAdapter& Tags, bool& Utf8)
{
    while (Tags.NextTag()) {
        if (ReadProductField(Tags, *this))
            continue;
        switch (Tags.TagId) {
        case uiBanner: ReadBanner(Tags); break;
        case uiFolder: Folders.push_back(ReadDecoded(Tags)); break;
        case uiFile: Files.push_back(ReadDecoded(Tags)); break;
        case uiCurrentUser: Scope = Tags.ReadByte() == 1 ? TInstallScope::CurrentUser : TInstallScope::Machine; break;
        case uiLanguage: Language = ReadDecoded(Tags); break;
        case uiUtf8Strings: Utf8 = Tags.ReadByte() == 1; break;
        default: Tags.SkipValue(); break;
        }
    }
}

void TQeUninstall::MakeStringsUtf8(bool Utf8)
{
    TQeData::MakeStringsUtf8(Utf8);
    for (std::vector<std::string>* Paths : {&Folders, &Files})
        for (std::string& Path : *Paths)
            Path = StoredText(Path, Utf8);
}

// The record's writer sits beside its reader; the install run calls it for the
// uninstaller it makes.
void TQeInstall::WriteUninstallRecord(TStream& Stream)
{
    const int64_t Start = Stream.Position();
    TTagStreamAdapter Tags(Stream);
    Tags.WriteSignature(UninstallSignature);
    // First, so that a reader knows how to read the strings before it meets one.
    Tags.WriteByte(uiUtf8Strings, 1);
    WriteProductFields(Tags, *this);
    if (!Banner->Empty()) {
        TMemoryStream Picture;
        Banner->SaveToStream(Picture);
        Picture.SetPosition(0);
        Tags.WriteStream(uiBanner, Picture, static_cast<int32_t>(Picture.GetSize()));
    }
    // Written only for the current user, so that an uninstaller of an installation for
    // every user stays as older uninstallers read it.
    if (Scope == TInstallScope::CurrentUser)
        Tags.WriteByte(uiCurrentUser, 1);
    for (const TInstallLogEntry& Entry : InstallLog)
        WriteEncoded(Tags, Entry.IsFolder ? uiFolder : uiFile, Entry.Path);
    if (!Language.empty())
        WriteEncoded(Tags, uiLanguage, Language);

    WritePackageOffset(Stream, static_cast<uint32_t>(Start));
}

} // namespace qe
