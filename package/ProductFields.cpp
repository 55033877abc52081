#include "package/ProductFields.h"

#include "package/EncDec.h"
#include "platform/Cp1252.h"
#include "platform/Unicode.h"

namespace qe {

bool ReadProductField(TTagStreamAdapter& Tags, TProductFields& Fields)
{
    switch (Tags.TagId) {
    case pfShowNotice: Fields.ShowNotice = Tags.ReadByte(); break;
    case pfProgramName: Fields.ProgramName = ReadDecoded(Tags); break;
    case pfMajorVersion: Fields.MajorVersion = Tags.ReadInteger(); break;
    case pfMinorVersion: Fields.MinorVersion = Tags.ReadInteger(); break;
    case pfBuildNumber: Fields.BuildNumber = Tags.ReadInteger(); break;
    case pfReleaseNumber: Fields.ReleaseNumber = Tags.ReadInteger(); break;
    case pfPublisher: Fields.Publisher = ReadDecoded(Tags); break;
    case pfWebsite: Fields.Website = ReadDecoded(Tags); break;
    case pfAddress: Fields.Address = ReadDecoded(Tags); break;
    case pfContactName: Fields.ContactName = ReadDecoded(Tags); break;
    case pfEmail: Fields.Email = ReadDecoded(Tags); break;
    default: return false;
    }
    return true;
}

void WriteProductFields(TTagStreamAdapter& Tags, const TProductFields& Fields)
{
    Tags.WriteByte(pfShowNotice, Fields.ShowNotice);
    WriteEncoded(Tags, pfProgramName, Fields.ProgramName);
    Tags.WriteInteger(pfMajorVersion, Fields.MajorVersion);
    Tags.WriteInteger(pfMinorVersion, Fields.MinorVersion);
    Tags.WriteInteger(pfBuildNumber, Fields.BuildNumber);
    Tags.WriteInteger(pfReleaseNumber, Fields.ReleaseNumber);
    WriteEncoded(Tags, pfPublisher, Fields.Publisher);
    WriteEncoded(Tags, pfWebsite, Fields.Website);
    WriteEncoded(Tags, pfAddress, Fields.Address);
    WriteEncoded(Tags, pfContactName, Fields.ContactName);
    WriteEncoded(Tags, pfEmail, Fields.Email);
}

std::string StoredText(const std::string& Stored, bool Utf8)
{
    return Utf8 ? ValidUtf8(Stored) : Cp1252ToUtf8(Stored);
}

void MakeFieldsUtf8(TProductFields& Fields, bool Utf8)
{
    for (std::string* Text :
         {&Fields.ProgramName, &Fields.Publisher, &Fields.Website, &Fields.Address, &Fields.ContactName, &Fields.Email})
        *Text = StoredText(*Text, Utf8);
}

} // namespace qe
