#include "package/QeUninstall.h"

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
        switch (Tags.TagId) {
        case uiShowNotice: ShowNotice = Tags.ReadByte(); break;
        case uiProgramName: ProgramName = ReadDecoded(Tags); break;
        case uiMajorVersion: MajorVersion = Tags.ReadInteger(); break;
        case uiMinorVersion: MinorVersion = Tags.ReadInteger(); break;
        case uiBuildNumber: BuildNumber = Tags.ReadInteger(); break;
        case uiReleaseNumber: ReleaseNumber = Tags.ReadInteger(); break;
        case uiPublisher: Publisher = ReadDecoded(Tags); break;
        case uiWebsite: Website = ReadDecoded(Tags); break;
        case uiAddress: Address = ReadDecoded(Tags); break;
        case uiContactName: ContactName = ReadDecoded(Tags); break;
        case uiEmail: Email = ReadDecoded(Tags); break;
        case uiBanner: ReadBanner(Tags); break;
        case uiFolder: Folders.push_back(ReadDecoded(Tags)); break;
        case uiFile: Files.push_back(ReadDecoded(Tags)); break;
        default: Tags.SkipValue(); break;
        }
    }
}

} // namespace qe
