#include "tools/qepack/Manifest.h"

#include <filesystem>
#include <initializer_list>
#include <set>

#include <toml++/toml.h>

#include "package/JpegImage.h"
#include "tools/qepack/AnsiText.h"
#include "tools/qepack/FileTimes.h"

namespace qe {
namespace {

namespace fs = std::filesystem;

class TManifestReader {
public:
    TManifestReader(std::string Path, TStdioFiles& Files) : FPath(std::move(Path)), FFiles(Files)
    {
        FFolder = fs::path(FPath).parent_path();
    }

    TPackageContents Read()
    {
        toml::table Root;
        try {
            Root = toml::parse_file(FPath);
        } catch (const toml::parse_error& Error) {
            if (!fs::exists(FPath))
                throw EManifestError("Cannot open the manifest \"" + FPath + "\"");
            throw EManifestError(At(Error.source()) + std::string(Error.description()));
        }
        CheckKeys(Root, {"product", "publisher", "documents", "installer", "file"});
        TPackageContents C;
        ReadProduct(Table(Root, "product", true), C);
        ReadPublisher(Table(Root, "publisher", false), C);
        ReadDocuments(Table(Root, "documents", false), C);
        ReadInstaller(Table(Root, "installer", false), C);
        ReadFiles(Root, C);
        return C;
    }

private:
    std::string At(const toml::source_region& Where) const
    {
        return FPath + ":" + std::to_string(Where.begin.line) + ": ";
    }

    [[noreturn]] void Fail(const toml::node& Node, const std::string& Message) const
    {
        throw EManifestError(At(Node.source()) + Message);
    }

    void CheckKeys(const toml::table& Table, std::initializer_list<const char*> Allowed) const
    {
        const std::set<std::string> Known(Allowed.begin(), Allowed.end());
        for (const auto& [Key, Node] : Table)
            if (!Known.contains(std::string(Key.str())))
                Fail(Node, "unknown key \"" + std::string(Key.str()) + "\"");
    }

    const toml::table* Table(const toml::table& Parent, const char* Name, bool Required) const
    {
        const toml::node* Node = Parent.get(Name);
        if (Node == nullptr) {
            if (Required)
                throw EManifestError(FPath + ": the manifest has no [" + std::string(Name) + "] table");
            return nullptr;
        }
        if (!Node->is_table())
            Fail(*Node, "\"" + std::string(Name) + "\" must be a table");
        return Node->as_table();
    }

    // A text value in the installer's character set; empty when absent.
    std::string Text(const toml::table* Table, const char* Key) const
    {
        if (Table == nullptr || Table->get(Key) == nullptr)
            return {};
        const toml::node& Node = *Table->get(Key);
        if (!Node.is_string())
            Fail(Node, "\"" + std::string(Key) + "\" must be a string");
        const auto Ansi = Utf8ToAnsi(Node.as_string()->get());
        if (!Ansi)
            Fail(Node, "\"" + std::string(Key) + "\" holds characters that Windows-1252 text cannot carry");
        return *Ansi;
    }

    int32_t Number(const toml::table* Table, const char* Key) const
    {
        if (Table == nullptr || Table->get(Key) == nullptr)
            return 0;
        const toml::node& Node = *Table->get(Key);
        if (!Node.is_integer() || Node.as_integer()->get() < 0 || Node.as_integer()->get() > INT32_MAX)
            Fail(Node, "\"" + std::string(Key) + "\" must be a whole number from 0 to 2147483647");
        return static_cast<int32_t>(Node.as_integer()->get());
    }

    std::string SourcePath(const std::string& Relative) const
    {
        const fs::path P(Relative);
        return (P.is_absolute() ? P : FFolder / P).string();
    }

    // The bytes of a file the manifest names, read whole (documents and the banner).
    std::string FileBytes(const toml::table* Table, const char* Key) const
    {
        const std::string Name = Text(Table, Key);
        if (Name.empty())
            return {};
        const std::string Path = SourcePath(Name);
        std::unique_ptr<TStream> Stream;
        try {
            Stream = FFiles.OpenForReading(Path);
        } catch (const Exception& Error) {
            Fail(*Table->get(Key), Error.Message());
        }
        std::string Bytes(static_cast<size_t>(Stream->GetSize()), '\0');
        Stream->ReadBuffer(Bytes.data(), static_cast<int32_t>(Bytes.size()));
        return Bytes;
    }

    void ReadProduct(const toml::table* T, TPackageContents& C) const
    {
        CheckKeys(*T, {"name", "version", "build", "release", "show_notice"});
        C.ProgramName = Text(T, "name");
        if (C.ProgramName.empty())
            throw EManifestError(At(T->source()) + "the product needs a name");
        if (C.ProgramName.find_first_of("\\/:*?\"<>|") != std::string::npos)
            Fail(*T->get("name"), "the product name names folders, so it cannot hold \\ / : * ? \" < > |");
        const std::string Version = Text(T, "version");
        if (!Version.empty()) {
            const size_t Dot = Version.find('.');
            const auto Digits = [](const std::string& S) {
                return !S.empty() && S.size() <= 9 && S.find_first_not_of("0123456789") == std::string::npos;
            };
            if (Dot == std::string::npos || !Digits(Version.substr(0, Dot)) || !Digits(Version.substr(Dot + 1)))
                Fail(*T->get("version"), "\"version\" must read MAJOR.MINOR, as in \"2.5\"");
            C.MajorVersion = std::stoi(Version.substr(0, Dot));
            C.MinorVersion = std::stoi(Version.substr(Dot + 1));
        }
        C.BuildNumber = Number(T, "build");
        C.ReleaseNumber = Number(T, "release");
        if (const toml::node* Notice = T->get("show_notice")) {
            if (!Notice->is_boolean())
                Fail(*Notice, "\"show_notice\" must be true or false");
            C.ShowNotice = Notice->as_boolean()->get() ? 1 : 0;
        }
    }

    void ReadPublisher(const toml::table* T, TPackageContents& C) const
    {
        if (T == nullptr)
            return;
        CheckKeys(*T, {"name", "website", "address", "contact", "email"});
        C.Publisher = Text(T, "name");
        C.Website = Text(T, "website");
        C.Address = Text(T, "address");
        C.ContactName = Text(T, "contact");
        C.Email = Text(T, "email");
    }

    void ReadDocuments(const toml::table* T, TPackageContents& C) const
    {
        if (T == nullptr)
            return;
        CheckKeys(*T, {"license", "readme", "news"});
        C.License = FileBytes(T, "license");
        C.Readme = FileBytes(T, "readme");
        C.WhatsNew = FileBytes(T, "news");
    }

    void ReadInstaller(const toml::table* T, TPackageContents& C) const
    {
        if (T == nullptr)
            return;
        CheckKeys(*T, {"banner", "experts_override"});
        C.BannerJpeg = FileBytes(T, "banner");
        if (C.BannerJpeg.empty() && !Text(T, "banner").empty())
            Fail(*T->get("banner"), "the banner file is empty");
        if (!C.BannerJpeg.empty()) {
            try {
                TJpegImage().LoadFromBytes(C.BannerJpeg);
            } catch (const EJpegError& Error) {
                Fail(*T->get("banner"), "the banner is not a JPEG picture: " + Error.Message());
            }
        }
        C.ExpertsOverride = Text(T, "experts_override");
        if (C.ExpertsOverride.size() > 8 || C.ExpertsOverride.find_first_not_of("01 ") != std::string::npos)
            Fail(*T->get("experts_override"),
                 "\"experts_override\" holds up to 8 characters, each \"0\", \"1\" or a blank");
    }

    void ReadFiles(const toml::table& Root, TPackageContents& C) const
    {
        const toml::node* List = Root.get("file");
        if (List == nullptr)
            return;
        if (!List->is_array_of_tables())
            Fail(*List, "files are listed as [[file]] tables");
        for (const toml::node& Item : *List->as_array()) {
            const toml::table& T = *Item.as_table();
            CheckKeys(T, {"source", "target", "shortcut"});
            TPackedFile File;
            File.Target = Text(&T, "target");
            File.ShortcutName = Text(&T, "shortcut");
            const std::string Source = Text(&T, "source");
            if (Source.empty())
                Fail(T, "a file needs a \"source\"");
            CheckTarget(T, File.Target);
            const std::string Path = SourcePath(Source);
            if (!fs::is_regular_file(Path))
                Fail(*T.get("source"), "the source file \"" + Path + "\" does not exist");
            const TSourceTimes Times = ReadSourceTimes(Path);
            File.CreationTime = Times.CreationTime;
            File.WriteTime = Times.WriteTime;
            File.SourceName = Path;
            File.OpenSource = [&Files = FFiles, Path] { return Files.OpenForReading(Path); };
            C.Files.push_back(std::move(File));
        }
    }

    void CheckTarget(const toml::table& T, const std::string& Target) const
    {
        if (Target.empty())
            Fail(T, "a file needs a \"target\"");
        const toml::node& Node = *T.get("target");
        const size_t Slash = Target.rfind('\\');
        const std::string Folder = Slash == std::string::npos ? "" : Target.substr(0, Slash);
        if (Folder.find_first_not_of(' ') == std::string::npos)
            Fail(Node, "the target \"" + Target + "\" names no folder, as in {app}\\" + Target.substr(Slash + 1));
        if (Slash + 1 == Target.size())
            Fail(Node, "the target \"" + Target + "\" names no file");
        if (Target.find("\\\\") != std::string::npos)
            Fail(Node, "the target \"" + Target + "\" has an empty folder name");
        if (Target.find('/') != std::string::npos)
            Fail(Node, "targets are Windows paths: write \\ between folders");
    }

    std::string FPath;
    fs::path FFolder;
    TStdioFiles& FFiles;
};

} // namespace

TPackageContents LoadManifest(const std::string& Path, TStdioFiles& Files)
{
    return TManifestReader(Path, Files).Read();
}

} // namespace qe
