#include "engine/InstallFiles.h"

#include "platform/Paths.h"
#include "platform/ShellLink.h"

namespace qe {

void WriteShellLink(IShell& Shell, const std::string& Target, const std::string& LinkPath)
{
    TShellLink Link(Shell);
    Link.Path = Target;
    Link.WorkingDirectory = ExtractFileDir(Target);
    Link.Save(LinkPath);
}

void WriteWholeFile(IFileSystem& FileSystem, const std::string& Path, const std::string& Bytes)
{
    auto Stream = FileSystem.CreateForWriting(Path);
    Stream->WriteString(Bytes);
    Stream->Flush();
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

std::string InternetShortcut(const std::string& Url)
{
    return "[InternetShortcut]\r\nURL=" + Url + "\r\n\r\n";
}

} // namespace qe
