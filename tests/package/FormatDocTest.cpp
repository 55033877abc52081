#include <algorithm>
#include <cstdio>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "package/EncDec.h"
#include "package/Integrity.h"
#include "package/PackageWriter.h"
#include "package/QeClasses.h"

namespace qe {
namespace {

// The documented table and mask are what other producers copy: they must be ours.
TEST(FormatDoc, StatesTheCodeTableAndTheKeyMaskOfTheCode)
{
    std::ifstream Doc(std::string(QE_SOURCE_DIR) + "/docs/package-format.md");
    ASSERT_TRUE(Doc.good());
    char Mask[8];
    std::snprintf(Mask, sizeof Mask, "0x%02X", KeyMask);
    bool TableFound = false, MaskFound = false;
    for (std::string Line; std::getline(Doc, Line);) {
        TableFound |= Line == std::string("CodeTable = \"") + CodeTable + "\"";
        MaskFound |= Line == std::string("KeyMask = ") + Mask;
    }
    EXPECT_TRUE(TableFound);
    EXPECT_TRUE(MaskFound);
}

// Another implementation checks its digest against the documented example.
TEST(FormatDoc, StatesThepiIntegrityAndADigestOfTheCode)
{
    std::ifstream Doc(std::string(QE_SOURCE_DIR) + "/docs/package-format.md");
    ASSERT_TRUE(Doc.good());
    std::string Expected = "XXH3-128(\"abc\") = ";
    char Hex[3];
    for (const uint8_t Byte : DigestOf("abc", 3)) {
        std::snprintf(Hex, sizeof Hex, "%02x", Byte);
        Expected += Hex;
    }
    const std::string Row = "| " + std::to_string(piIntegrity) + " | 8 | integrity record |";
    bool DigestFound = false, RowFound = false;
    for (std::string Line; std::getline(Doc, Line);) {
        DigestFound |= Line == Expected;
        RowFound |= Line.rfind(Row, 0) == 0;
    }
    EXPECT_TRUE(DigestFound) << Expected;
    EXPECT_TRUE(RowFound);
}

// One row of an id table of the format page: the id cell, the kind and the field's words.
struct TDocRow {
    std::string Id;
    int Kind = -1;
    std::string Field;
};

std::string Trimmed(const std::string& Text)
{
    const size_t First = Text.find_first_not_of(' ');
    return First == std::string::npos ? "" : Text.substr(First, Text.find_last_not_of(' ') - First + 1);
}

// The rows of the first table after the line that begins with Marker.
std::vector<TDocRow> DocTable(const std::string& Marker)
{
    std::ifstream Doc(std::string(QE_SOURCE_DIR) + "/docs/package-format.md");
    std::vector<TDocRow> Rows;
    bool Seen = false;
    int TableLine = 0;
    for (std::string Line; std::getline(Doc, Line);) {
        Seen |= Line.rfind(Marker, 0) == 0;
        if (!Seen || (Line.empty() || Line[0] != '|')) {
            if (TableLine > 0)
                break;
            continue;
        }
        if (++TableLine <= 2) // the header and the line under it
            continue;
        std::vector<std::string> Cells;
        for (size_t Start = 1, End; (End = Line.find('|', Start)) != std::string::npos; Start = End + 1)
            Cells.push_back(Trimmed(Line.substr(Start, End - Start)));
        if (Cells.size() < 3)
            continue;
        Rows.push_back({Cells[0], std::atoi(Cells[1].c_str()), Cells[2]});
    }
    return Rows;
}

// Each id of the code's enums with the words its row must show.
struct TIdName {
    int32_t Id;
    const char* Field;
};

const TIdName ProductFields[] = {
    {pfShowNotice, "`ShowNotice`"},
    {pfProgramName, "`ProgramName`"},
    {pfMajorVersion, "`MajorVersion`"},
    {pfMinorVersion, "`MinorVersion`"},
    {pfBuildNumber, "`BuildNumber`"},
    {pfReleaseNumber, "`ReleaseNumber`"},
    {pfPublisher, "`Publisher`"},
    {pfWebsite, "`Website`"},
    {pfAddress, "`Address`"},
    {pfContactName, "`ContactName`"},
    {pfEmail, "`Email`"},
};
const TIdName PackageIds[] = {
    {piLicense, "`License`"},
    {piReadme, "`Readme`"},
    {piWhatsNew, "`WhatsNew`"},
    {piExpertsOverride, "`ExpertsOverride`"},
    {piPayloadKey, "`PayloadKey`"},
    {piBanner, "`Banner`"},
    {piFile, "file entry"},
    {piIntegrity, "integrity record"},
    {piDataFolders, "`UseDataFolders`"},
    {piUtf8Strings, "strings are UTF-8"},
    {piLanguages, "`Languages`"},
};
const TIdName FileEntryIds[] = {
    {fiTarget, "`Target`"},
    {fiCreationTimeLow, "low 32 bits of `CreationTime`"},
    {fiCreationTimeHigh, "high 32 bits of `CreationTime`"},
    {fiWriteTimeLow, "low 32 bits of `WriteTime`"},
    {fiWriteTimeHigh, "high 32 bits of `WriteTime`"},
    {fiShortcutName, "`ShortcutName`"},
    {fiPayloadSize, "`PayloadSize`"},
    {fiPayloadOffset, "`PayloadOffset`"},
};

// The id and kind of every record the package writer writes, the file entries' apart.
struct TWrittenKinds {
    std::map<int32_t, int> TopLevel;
    std::map<int32_t, int> FileEntry;
};

TWrittenKinds KindsTheWriterWrites()
{
    TPackageContents Contents;
    Contents.ProgramName = "Grid Expert";
    Contents.Readme = Contents.License = Contents.WhatsNew = "{\\rtf1 text}";
    Contents.ExpertsOverride = "1 0";
    Contents.UseDataFolders = true;
    Contents.Languages = {"de", "en"};
    Contents.BannerJpeg = "\xFF\xD8 banner bytes";
    Contents.Files.push_back(MemoryFile("{app}\\a.txt", "a", "A"));
    TMemoryStream Stub(std::vector<uint8_t>(1024, 0));
    TMemoryStream Installer;
    WriteInstaller(Installer, Stub, Contents);

    TWrittenKinds Kinds;
    Installer.Seek(1024, TSeekOrigin::soBeginning);
    TTagStreamAdapter Tags(Installer);
    EXPECT_TRUE(Tags.CheckSignature(PackageSignature));
    while (Tags.NextTag()) {
        Kinds.TopLevel[Tags.TagId] = Tags.TagKind;
        if (Tags.TagId != piFile) {
            Tags.SkipValue();
            continue;
        }
        while (Tags.NextTag()) {
            Kinds.FileEntry[Tags.TagId] = Tags.TagKind;
            Tags.SkipValue();
        }
    }
    return Kinds;
}

// The id and kind of every record of an uninstall record for the current user in German,
// the banner aside.
std::map<int32_t, int> UninstallKindsTheWriterWrites()
{
    const TPlatform NoMachine;
    TQeInstall Install(NoMachine);
    Install.Scope = TInstallScope::CurrentUser;
    Install.Language = "de";
    Install.InstallLog = {{"C:\\A", true}, {"C:\\A\\b.txt", false}};
    TMemoryStream Uninstaller(std::vector<uint8_t>(256, 0));
    Uninstaller.Seek(0, TSeekOrigin::soEnd);
    Install.WriteUninstallRecord(Uninstaller);

    std::map<int32_t, int> Kinds;
    Uninstaller.Seek(256, TSeekOrigin::soBeginning);
    TTagStreamAdapter Tags(Uninstaller);
    EXPECT_TRUE(Tags.CheckSignature(UninstallSignature));
    while (Tags.NextTag()) {
        Kinds[Tags.TagId] = Tags.TagKind;
        Tags.SkipValue();
    }
    return Kinds;
}

std::string Ids(const std::vector<std::string>& List)
{
    std::string Text;
    for (const std::string& Id : List)
        Text += Id + " ";
    return Text;
}

// Checks a table's rows against the code's ids, in ascending order, and their kinds
// against those the writer writes.
void ExpectRows(const std::vector<TDocRow>& Rows, std::vector<TIdName> Expected, const std::map<int32_t, int>& Kinds)
{
    std::sort(Expected.begin(), Expected.end(), [](const TIdName& A, const TIdName& B) { return A.Id < B.Id; });
    std::vector<std::string> DocIds, CodeIds;
    for (const TDocRow& Row : Rows)
        DocIds.push_back(Row.Id);
    for (const TIdName& Id : Expected)
        CodeIds.push_back(std::to_string(Id.Id));
    ASSERT_EQ(Ids(DocIds), Ids(CodeIds)) << "the page's ids, then the code's";
    for (size_t I = 0; I < Rows.size(); ++I) {
        EXPECT_NE(Rows[I].Field.find(Expected[I].Field), std::string::npos)
            << "id " << Rows[I].Id << " is \"" << Rows[I].Field << "\" on the page, " << Expected[I].Field
            << " in the code";
        const auto Written = Kinds.find(Expected[I].Id);
        ASSERT_NE(Written, Kinds.end()) << "the writer writes no id " << Expected[I].Id;
        EXPECT_EQ(Rows[I].Kind, Written->second) << "kind of id " << Rows[I].Id;
    }
    EXPECT_EQ(Kinds.size(), Rows.size()) << "the writer writes ids the page does not show";
}

// Another implementation reads and writes the ids the page shows: they must be the
// code's, with the kinds our writer uses.
TEST(FormatDoc, IdTablesAreTheCodesIdsWithTheWritersKinds)
{
    const TWrittenKinds Kinds = KindsTheWriterWrites();
    std::vector<TIdName> Package(std::begin(ProductFields), std::end(ProductFields));
    Package.insert(Package.end(), std::begin(PackageIds), std::end(PackageIds));
    ExpectRows(DocTable("## Package ids"), Package, Kinds.TopLevel);
    ExpectRows(DocTable("File-entry ids"), {std::begin(FileEntryIds), std::end(FileEntryIds)}, Kinds.FileEntry);

    // The uninstall record: the product's fields under the same ids, then its own.
    const std::map<int32_t, int> UninstallKinds = UninstallKindsTheWriterWrites();
    const std::vector<TDocRow> Uninstall = DocTable("## Uninstall record ids");
    ASSERT_EQ(Uninstall.size(), 7u);
    EXPECT_EQ(Uninstall[0].Id, std::to_string(pfShowNotice) + " .. " + std::to_string(pfEmail));
    EXPECT_EQ(std::size(ProductFields), static_cast<size_t>(pfEmail - pfShowNotice + 1));
    const std::vector<std::tuple<int32_t, int, const char*>> Own = {
        {uiBanner, tkBinary, "banner"},          {uiFolder, tkString, "folder"},     {uiFile, tkString, "file"},
        {uiCurrentUser, tkByte, "current user"}, {uiLanguage, tkString, "language"}, {uiUtf8Strings, tkByte, "UTF-8"}};
    for (size_t I = 0; I < Own.size(); ++I) {
        const auto& [Id, Kind, Words] = Own[I];
        EXPECT_EQ(Uninstall[I + 1].Id, std::to_string(Id));
        EXPECT_EQ(Uninstall[I + 1].Kind, Kind) << "kind of uninstall id " << Id;
        if (Id != uiBanner) {
            EXPECT_EQ(UninstallKinds.at(Id), Kind) << "kind the writer writes for uninstall id " << Id;
        }
        EXPECT_NE(Uninstall[I + 1].Field.find(Words), std::string::npos) << Uninstall[I + 1].Field;
    }
}

} // namespace
} // namespace qe
