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
        case 1: ShowNotice = Tags.ReadByte(); break;
        case 2: ProgramName = ReadDecoded(Tags); break;
        case 3: MajorVersion = Tags.ReadInteger(); break;
        case 4: MinorVersion = Tags.ReadInteger(); break;
        case 5: BuildNumber = Tags.ReadInteger(); break;
        case 6: ReleaseNumber = Tags.ReadInteger(); break;
        case 7: Publisher = ReadDecoded(Tags); break;
        case 8: Website = ReadDecoded(Tags); break;
        case 9: Address = ReadDecoded(Tags); break;
        case 10: ContactName = ReadDecoded(Tags); break;
        case 11: Email = ReadDecoded(Tags); break;
        case 12: ReadBanner(Tags); break;
        case 13: Folders.push_back(ReadDecoded(Tags)); break;
        case 14: Files.push_back(ReadDecoded(Tags)); break;
        default: Tags.SkipValue(); break;
        }
    }
}

} // namespace qe
