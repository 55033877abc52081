#include "engine/InstallFiles.h"

#include "package/Documents.h"
#include "platform/Exceptions.h"
#include "platform/Paths.h"
#include "platform/ShellLink.h"

namespace qe {

void WriteShellLink(const TPlatform& Platform, const std::string& Target, const std::string& LinkPath)
{
    if (!Platform.FileSystem->FolderExists(ExtractFileDir(LinkPath)))
        throw Exception("Unable to create directory");
    TShellLink Link(*Platform.Shell);
    Link.Path = Target;
    Link.WorkingDirectory = ExtractFileDir(Target);
    Link.Save(LinkPath);
}

namespace {

// Fills the new file Path through Write; on a failure the unfinished file is removed.
void WriteOrRemove(IFileSystem& FileSystem, const std::string& Path, std::unique_ptr<TStream> Stream,
                   const std::function<void(TStream&)>& Write)
{
    try {
        Write(*Stream);
        Stream->Flush();
    } catch (...) {
        Stream.reset(); // closed before it is removed
        FileSystem.RemoveFile(Path);
        throw;
    }
}

// The name of the file written beside Path before it takes Path's name: 8 random
// hexadecimal digits and ".~qe", an 8.3 name, so that it fits wherever Path's folder does.
std::string AsideName(ISystem& System, const std::string& Path)
{
    return ExtractFilePath(Path) + RandomName(System, 4) + ".~qe";
}

} // namespace

void WriteFileSafely(const TPlatform& Platform, const std::string& Path, const std::function<void(TStream&)>& Write)
{
    IFileSystem& FileSystem = *Platform.FileSystem;
    std::unique_ptr<TStream> Stream;
    try {
        Stream = FileSystem.CreateNewForWriting(Path);
    } catch (const EFCreateError&) {
        // Something of that name is there: the way beside it below deals with it.
        // Otherwise the failure is the file's own.
        uint32_t Attributes = 0;
        if (!FileSystem.GetAttributes(Path, Attributes))
            throw;
    }
    if (Stream) {
        WriteOrRemove(FileSystem, Path, std::move(Stream), Write);
        return;
    }
    // Names taken by chance are passed over; a name that cannot be made at all fails.
    std::string Written;
    for (int Attempt = 0; !Stream; ++Attempt) {
        Written = AsideName(*Platform.System, Path);
        try {
            Stream = FileSystem.CreateNewForWriting(Written);
        } catch (const EFCreateError&) {
            uint32_t Attributes = 0;
            if (Attempt == 2 || !FileSystem.GetAttributes(Written, Attributes))
                throw;
        }
    }
    WriteOrRemove(FileSystem, Written, std::move(Stream), Write);
    try {
        FileSystem.RenameFile(Written, Path);
    } catch (...) {
        FileSystem.RemoveFile(Written);
        throw;
    }
}

void WriteWholeFile(const TPlatform& Platform, const std::string& Path, const std::string& Bytes)
{
    WriteFileSafely(Platform, Path, [&Bytes](TStream& Stream) { Stream.WriteString(Bytes); });
}

std::string WithCrLfLines(const std::string& Text)
{
    std::string Result;
    Result.reserve(Text.size() + Text.size() / 16 + 2);
    size_t I = 0;
    while (I < Text.size()) {
        const size_t End = Text.find_first_of("\r\n", I);
        if (End == std::string::npos) {
            Result += Text.substr(I);
            Result += "\r\n";
            break;
        }
        Result += Text.substr(I, End - I);
        Result += "\r\n";
        I = End + (Text[End] == '\r' && End + 1 < Text.size() && Text[End + 1] == '\n' ? 2 : 1);
    }
    return Result;
}

std::string DocumentFileName(const std::string& Stem, const std::string& Document)
{
    return Stem + (IsRtfDocument(Document) ? ".rtf" : ".txt");
}

std::string DocumentFileBytes(const std::string& Document)
{
    return (IsRtfDocument(Document) ? "" : "\xEF\xBB\xBF") + WithCrLfLines(Document);
}

std::string InternetShortcut(const std::string& Url)
{
    std::string Ascii;
    for (const char C : Url) {
        const auto Byte = static_cast<unsigned char>(C);
        if (Byte >= 0x20 && Byte < 0x7F) {
            Ascii += C;
        } else {
            Ascii += '%';
            Ascii += "0123456789ABCDEF"[Byte >> 4];
            Ascii += "0123456789ABCDEF"[Byte & 15];
        }
    }
    return "[InternetShortcut]\r\nURL=" + Ascii + "\r\n\r\n";
}

std::string WebsiteUrl(const std::string& Website)
{
    std::string Site = Trim(Website);
    // A site given with "https://" is taken as it stands, as one with "http://" is:
    // putting "http://" in front would make the link "http://https://...", which opens
    // nothing.
    if (!Site.empty() && Site.find("http://") == std::string::npos && Site.find("https://") == std::string::npos)
        Site = "http://" + Site;
    return Site == "http://" ? std::string() : Site;
}

} // namespace qe
