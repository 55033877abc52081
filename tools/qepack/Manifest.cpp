#include "tools/qepack/Manifest.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

#include <toml++/toml.h>

#include "language/Languages.h"
#include "package/Documents.h"
#include "package/JpegImage.h"
#include "package/QeClasses.h"
#include "platform/Paths.h"
#include "platform/Unicode.h"
#include "platform/stdio/FileTimes.h"
#include "platform/stdio/Utf8Path.h"
#include "tools/qepack/SourceSelection.h"
#include "tools/qepack/TargetRules.h"

namespace qe {

const std::vector<TManifestKey> ManifestKeys = {
    {"product", "name", TManifestValue::Text},
    {"product", "version", TManifestValue::Version},
    {"product", "build", TManifestValue::Number},
    {"product", "release", TManifestValue::Number},
    {"product", "show_notice", TManifestValue::Flag},
    {"product", "description", TManifestValue::Text},
    {"product", "copyright", TManifestValue::Text},
    {"publisher", "name", TManifestValue::Text},
    {"publisher", "website", TManifestValue::Text},
    {"publisher", "address", TManifestValue::Text},
    {"publisher", "contact", TManifestValue::Text},
    {"publisher", "email", TManifestValue::Text},
    {"documents", "license", TManifestValue::FileName},
    {"documents", "readme", TManifestValue::FileName},
    {"documents", "news", TManifestValue::FileName},
    {"installer", "banner", TManifestValue::FileName},
    {"installer", "experts_override", TManifestValue::Text},
    {"installer", "data_folders", TManifestValue::Flag},
    {"installer", "languages", TManifestValue::TextList},
    {"file", "source", TManifestValue::FileName},
    {"file", "target", TManifestValue::Text},
    {"file", "shortcut", TManifestValue::Text},
};

namespace {

namespace fs = std::filesystem;

constexpr int BannerWidth = 160, BannerHeight = 320;
constexpr uintmax_t LargeFile = 100 * 1024 * 1024;

// Parser messages a vendor meets most, with what to do about them.
std::string ParseHint(const std::string& Description)
{
    if (Description.find("escape sequence") != std::string::npos ||
        Description.find("unicode scalar") != std::string::npos)
        return " - in \"double quotes\" a \\ starts an escape: write Windows paths in 'single quotes', as "
               "target = '{app}\\Manual.txt'";
    if (Description.find("unescaped control characters") != std::string::npos)
        return " - a text runs to the end of its line: close it with the quote it opened with";
    if (Description.find("could not determine value type") != std::string::npos)
        return " - write texts in quotes, as name = \"Grid Expert\"; numbers and true/false stand bare";
    if (Description.find("cannot redefine") != std::string::npos)
        return " - this key or table is given twice; keep one";
    return {};
}

const TManifestKey* FindKey(const std::string& Table, const std::string& Key)
{
    for (const TManifestKey& K : ManifestKeys)
        if (Table == K.Table && Key == K.Key)
            return &K;
    return nullptr;
}

class TManifestReader {
public:
    TManifestReader(std::string Path, TStdioFiles& Files, bool AllowOutside)
        : FPath(std::move(Path)), FFiles(Files), FAllowOutside(AllowOutside)
    {
        FFolder = PathOf(FPath).parent_path();
    }

    TManifest Read(const std::vector<std::string>& Defines)
    {
        // Read here, so that its path is taken as UTF-8 on every system.
        std::string Bytes;
        try {
            Bytes = FFiles.ReadWhole(FPath);
        } catch (const EStreamError&) {
            throw EManifestError("Cannot open the manifest \"" + FPath + "\"");
        }
        toml::table Root;
        try {
            Root = toml::parse(Bytes, FPath);
        } catch (const toml::parse_error& Error) {
            const std::string Description(Error.description());
            throw EManifestError(FPath + ":" + std::to_string(Error.source().begin.line) + ": " + Description +
                                 ParseHint(Description));
        }
        for (const std::string& Define : Defines)
            ApplyDefine(Root, Define);
        CheckKeys(Root, {"product", "publisher", "documents", "installer", "file"});
        FManifest.Inputs.push_back(FPath);
        TPackageContents& C = FManifest.Contents;
        ReadProduct(Table(Root, "product", true), C);
        ReadPublisher(Table(Root, "publisher", false), C);
        ReadDocuments(Table(Root, "documents", false), C);
        ReadInstaller(Table(Root, "installer", false), C);
        ReadFiles(Root, C);
        return std::move(FManifest);
    }

private:
    // "--define table.key=value": the value takes the kind that the key holds.
    void ApplyDefine(toml::table& Root, const std::string& Define)
    {
        const size_t Equals = Define.find('=');
        const size_t Dot = Define.find('.');
        const std::string Key = Define.substr(0, Equals);
        const TManifestKey* Known =
            Dot < Equals && Equals != std::string::npos ? FindKey(Key.substr(0, Dot), Key.substr(Dot + 1)) : nullptr;
        if (Known == nullptr || std::string(Known->Table) == "file")
            throw EManifestError("--define " + Define +
                                 ": write TABLE.KEY=VALUE with a key of [product], [publisher], [documents] or "
                                 "[installer], as --define product.version=2.6");
        const std::string Value = Define.substr(Equals + 1);
        auto* Table = Root.get(Known->Table) ? Root.get(Known->Table)->as_table() : nullptr;
        if (Table == nullptr)
            Table = Root.insert_or_assign(Known->Table, toml::table{}).first->second.as_table();
        if (Known->Kind == TManifestValue::Number) {
            if (Value.empty() || Value.size() > 10 || Value.find_first_not_of("0123456789") != std::string::npos)
                throw EManifestError("--define " + Define + ": \"" + Key + "\" takes a whole number");
            Table->insert_or_assign(Known->Key, std::stoll(Value));
        } else if (Known->Kind == TManifestValue::TextList) {
            // "de,en": the list's texts, comma-separated.
            toml::array List;
            for (const std::string& Item : SplitLanguageCodes(Value))
                List.push_back(Item);
            Table->insert_or_assign(Known->Key, std::move(List));
        } else if (Known->Kind == TManifestValue::Flag) {
            if (Value != "true" && Value != "false")
                throw EManifestError("--define " + Define + ": \"" + Key + "\" takes true or false");
            Table->insert_or_assign(Known->Key, Value == "true");
        } else {
            Table->insert_or_assign(Known->Key, Value);
        }
        FDefined[Table->get(Known->Key)] = Key;
    }

    // "manifest:line: ", or the --define that gave the value.
    std::string At(const toml::node& Node) const
    {
        const auto Defined = FDefined.find(&Node);
        if (Defined != FDefined.end())
            return "--define " + Defined->second + ": ";
        return FPath + ":" + std::to_string(Node.source().begin.line) + ": ";
    }

    [[noreturn]] void Fail(const toml::node& Node, const std::string& Message) const
    {
        throw EManifestError(At(Node) + Message);
    }

    void Warn(const toml::node& Node, const std::string& Message) { FManifest.Warnings.push_back(At(Node) + Message); }

    void CheckKeys(const toml::table& Table, std::initializer_list<const char*> Allowed) const
    {
        const std::set<std::string> Known(Allowed.begin(), Allowed.end());
        for (const auto& [Key, Node] : Table)
            if (!Known.contains(std::string(Key.str())))
                Fail(Node, "unknown key \"" + std::string(Key.str()) + "\"; this table takes " + Listed(Allowed) +
                               " (see docs/manifest.md)");
    }

    void CheckKeys(const toml::table& Table, const char* TableName) const
    {
        std::vector<const char*> Keys;
        for (const TManifestKey& K : ManifestKeys)
            if (std::string(K.Table) == TableName)
                Keys.push_back(K.Key);
        const std::set<std::string> Known(Keys.begin(), Keys.end());
        for (const auto& [Key, Node] : Table)
            if (!Known.contains(std::string(Key.str())))
                Fail(Node, "unknown key \"" + std::string(Key.str()) + "\"; [" + TableName + "] takes " +
                               Listed({Keys.begin(), Keys.end()}) + " (see docs/manifest.md)");
    }

    static std::string Listed(std::vector<const char*> Names)
    {
        std::string Text;
        for (size_t I = 0; I < Names.size(); ++I)
            Text += std::string(I == 0 ? "" : I + 1 == Names.size() ? " and " : ", ") + Names[I];
        return Text;
    }

    const toml::table* Table(const toml::table& Parent, const char* Name, bool Required) const
    {
        const toml::node* Node = Parent.get(Name);
        if (Node == nullptr) {
            if (Required)
                throw EManifestError(FPath + ": the manifest has no [" + std::string(Name) +
                                     "] table; `qepack init` writes a starting manifest");
            return nullptr;
        }
        if (!Node->is_table())
            Fail(*Node, "\"" + std::string(Name) + "\" must be a table, written [" + Name + "]");
        return Node->as_table();
    }

    // A text value, UTF-8 as the parser checked it; empty when absent.
    std::string Text(const toml::table* Table, const char* Key) const
    {
        if (Table == nullptr || Table->get(Key) == nullptr)
            return {};
        const toml::node& Node = *Table->get(Key);
        if (!Node.is_string())
            Fail(Node, "\"" + std::string(Key) + "\" must be a text in quotes, as " + Key + " = \"" +
                           (std::string(Key) == "version" ? "2.5" : "...") + "\"");
        return Node.as_string()->get();
    }

    // A true/false value; Default when absent.
    bool Flag(const toml::table* Table, const char* Key, bool Default) const
    {
        if (Table == nullptr || Table->get(Key) == nullptr)
            return Default;
        const toml::node& Node = *Table->get(Key);
        if (!Node.is_boolean())
            Fail(Node, "\"" + std::string(Key) + "\" must be true or false, without quotes");
        return Node.as_boolean()->get();
    }

    int32_t Number(const toml::table* Table, const char* Key) const
    {
        if (Table == nullptr || Table->get(Key) == nullptr)
            return 0;
        const toml::node& Node = *Table->get(Key);
        if (!Node.is_integer() || Node.as_integer()->get() < 0 || Node.as_integer()->get() > INT32_MAX)
            Fail(Node, "\"" + std::string(Key) + "\" must be a whole number from 0 to 2147483647, without quotes");
        return static_cast<int32_t>(Node.as_integer()->get());
    }

    std::string SourcePath(const std::string& Relative) const
    {
        const fs::path P = PathOf(Relative);
        return TextOf(P.is_absolute() ? P : FFolder / P);
    }

    // Refuses a file outside the manifest's folder, where its path or a link leads, unless
    // the build allows it.
    void CheckInside(const toml::node& Node, const fs::path& Path) const
    {
        if (FAllowOutside)
            return;
        std::error_code Error;
        const fs::path Folder = fs::weakly_canonical(fs::absolute(FFolder.empty() ? fs::path(".") : FFolder), Error);
        const fs::path File = fs::weakly_canonical(fs::absolute(Path), Error);
        const auto [FolderEnd, FileAt] = std::mismatch(Folder.begin(), Folder.end(), File.begin(), File.end());
        if (FolderEnd == Folder.end())
            return;
        const bool Linked = File != fs::absolute(Path).lexically_normal();
        Fail(Node, "\"" + TextOf(Path) + "\" lies outside the manifest's folder \"" + TextOf(Folder) + "\"" +
                       (Linked ? " (a symbolic link leads to \"" + TextOf(File) + "\")" : "") +
                       "; qepack packs only files below it, so that a manifest from elsewhere cannot pack this "
                       "machine's files: copy the file in, or build with --allow-outside");
    }

    // The bytes of a file the manifest names, read whole (documents and the banner).
    std::string FileBytes(const toml::table* Table, const char* Key)
    {
        const std::string Name = Text(Table, Key);
        if (Name.empty())
            return {};
        const std::string Path = SourcePath(Name);
        if (fs::is_directory(PathOf(Path)))
            Fail(*Table->get(Key), "\"" + Path + "\" is a folder; \"" + Key + "\" names a file");
        CheckInside(*Table->get(Key), Path);
        std::string Bytes;
        try {
            Bytes = FFiles.ReadWhole(Path);
        } catch (const Exception& Error) {
            Fail(*Table->get(Key), Error.Message());
        }
        FManifest.Inputs.push_back(Path);
        return Bytes;
    }

    void ReadProduct(const toml::table* T, TPackageContents& C)
    {
        CheckKeys(*T, "product");
        C.ProgramName = Text(T, "name");
        if (const auto Fault = ProductNameFault(C.ProgramName))
            throw EManifestError((T->get("name") ? At(*T->get("name")) : At(*T)) + *Fault);
        if (const toml::node* Version = T->get("version"))
            ReadVersion(*Version, Text(T, "version"), C);
        C.BuildNumber = Number(T, "build");
        C.ReleaseNumber = Number(T, "release");
        C.ShowNotice = Flag(T, "show_notice", true) ? 1 : 0;
        FManifest.Product.Description = Text(T, "description");
        FManifest.Product.Copyright = Text(T, "copyright");
    }

    // "MAJOR.MINOR", two whole numbers as written: the installer shows them as numbers,
    // so "3.01" would read "v3.1".
    void ReadVersion(const toml::node& Node, const std::string& Version, TPackageContents& C) const
    {
        const size_t Dot = Version.find('.');
        const auto Digits = [](const std::string& S) {
            return !S.empty() && S.size() <= 9 && S.find_first_not_of("0123456789") == std::string::npos;
        };
        const std::string Major = Version.substr(0, Dot),
                          Minor = Dot == std::string::npos ? "" : Version.substr(Dot + 1);
        if (Dot == std::string::npos || !Digits(Major) || !Digits(Minor))
            Fail(Node, "\"version\" must read MAJOR.MINOR, two whole numbers, as in \"2.5\"; build and release "
                       "numbers have keys of their own");
        const std::string Shown = std::to_string(std::stoi(Major)) + "." + std::to_string(std::stoi(Minor));
        if (Major.size() > 1 && Major.front() == '0')
            Fail(Node, "the version \"" + Version + "\" has a leading zero; the installer shows numbers, so write \"" +
                           Shown + "\"");
        if (Minor.size() > 1 && Minor.front() == '0') {
            const std::string Tens = Major + "." + std::to_string(std::stoi(Minor)) + "0";
            Fail(Node, "the version \"" + Version +
                           "\" has a leading zero after the dot, and the installer shows "
                           "numbers: it would read v" +
                           Shown + "; write \"" + Shown + "\" (v" + Shown + ") or \"" + Tens + "\" (v" + Tens + ")");
        }
        C.MajorVersion = std::stoi(Major);
        C.MinorVersion = std::stoi(Minor);
    }

    void ReadPublisher(const toml::table* T, TPackageContents& C) const
    {
        if (T == nullptr)
            return;
        CheckKeys(*T, "publisher");
        C.Publisher = Text(T, "name");
        C.Website = Text(T, "website");
        C.Address = Text(T, "address");
        C.ContactName = Text(T, "contact");
        C.Email = Text(T, "email");
        // The publisher's name names the website shortcut.
        if (!C.Publisher.empty() && !C.Website.empty())
            if (const auto Fault = NameFault(C.Publisher + " Website.url"))
                Fail(*T->get("name"), "the publisher's name names the website shortcut, and " + *Fault);
    }

    // A document: RTF as it is, or UTF-8 text without its byte-order mark.
    std::string Document(const toml::table* T, const char* Key)
    {
        std::string Bytes = FileBytes(T, Key);
        if (IsRtfDocument(Bytes))
            return Bytes;
        if (Bytes.starts_with("\xEF\xBB\xBF"))
            Bytes.erase(0, 3);
        if (!IsValidUtf8(Bytes))
            Fail(*T->get(Key), "\"" + SourcePath(Text(T, Key)) +
                                   "\" is neither RTF nor UTF-8 text; save it as RTF, or as text in UTF-8");
        return Bytes;
    }

    void ReadDocuments(const toml::table* T, TPackageContents& C)
    {
        if (T == nullptr)
            return;
        CheckKeys(*T, "documents");
        C.License = Document(T, "license");
        C.Readme = Document(T, "readme");
        C.WhatsNew = Document(T, "news");
    }

    void ReadInstaller(const toml::table* T, TPackageContents& C)
    {
        // On unless the vendor says otherwise: today's terminals read their add-ons there.
        C.UseDataFolders = Flag(T, "data_folders", true);
        if (T == nullptr)
            return;
        CheckKeys(*T, "installer");
        C.BannerJpeg = FileBytes(T, "banner");
        if (C.BannerJpeg.empty() && !Text(T, "banner").empty())
            Fail(*T->get("banner"), "the banner file is empty");
        if (!C.BannerJpeg.empty()) {
            TJpegImage Banner;
            try {
                Banner.LoadFromBytes(C.BannerJpeg);
            } catch (const EJpegError& Error) {
                Fail(*T->get("banner"), "the banner is not a JPEG picture: " + Error.Message());
            }
            if (Banner.Width() != BannerWidth || Banner.Height() != BannerHeight)
                Warn(*T->get("banner"), "the banner is " + std::to_string(Banner.Width()) + " x " +
                                            std::to_string(Banner.Height()) +
                                            " pixels; the installer shows it centred, uncut and unscaled, in a "
                                            "160 x 320 area");
        }
        ReadLanguages(T, C);
        C.ExpertsOverride = Text(T, "experts_override");
        if (C.ExpertsOverride.size() > 8 || C.ExpertsOverride.find_first_not_of("01 ") != std::string::npos)
            Fail(*T->get("experts_override"),
                 "\"experts_override\" holds up to 8 characters, each \"1\" (set), \"0\" (clear) or a blank (keep)");
    }

    // The wizard's languages, by code: each one the installer speaks, once.
    void ReadLanguages(const toml::table* T, TPackageContents& C) const
    {
        const toml::node* Node = T->get("languages");
        if (Node == nullptr)
            return;
        const std::string Known = " (the installer speaks " + LanguageCodes() + ")";
        const toml::array* List = Node->as_array();
        if (List == nullptr || List->empty())
            Fail(*Node, "\"languages\" lists the installer's languages by code, as languages = [\"de\", \"en\"]; "
                        "leave it out to offer every language" +
                            Known);
        for (const toml::node& Item : *List) {
            const TLanguageFile* File = Item.is_string() ? FindLanguageFile(Item.as_string()->get()) : nullptr;
            if (File == nullptr)
                Fail(Item, "\"languages\" names a language by its code in quotes" + Known);
            if (std::find(C.Languages.begin(), C.Languages.end(), File->Code) != C.Languages.end())
                Fail(Item, "the language \"" + std::string(File->Code) + "\" is listed twice");
            C.Languages.push_back(File->Code);
        }
    }

    void ReadFiles(const toml::table& Root, TPackageContents& C)
    {
        const toml::node* List = Root.get("file");
        if (List == nullptr)
            return;
        if (!List->is_array_of_tables())
            Fail(*List, "files are listed as [[file]] tables");
        std::map<std::string, const toml::node*> Targets, Shortcuts;
        for (const toml::node& Item : *List->as_array()) {
            const toml::table& T = *Item.as_table();
            CheckKeys(T, "file");
            const std::string Target = Text(&T, "target");
            const std::string Shortcut = Text(&T, "shortcut");
            const std::string Source = Text(&T, "source");
            if (Source.empty())
                Fail(T, "a file needs a \"source\"");
            if (Target.empty())
                Fail(T, "a file needs a \"target\"");
            const toml::node& TargetNode = *T.get("target");
            const TSourceSelection Selected = SelectSources(FFolder, Source);
            if (!Selected.Fault.empty())
                Fail(*T.get("source"), Selected.Fault);
            if (Selected.Many && !Shortcut.empty())
                Fail(*T.get("shortcut"), "a shortcut names one file, and this source selects several; list that "
                                         "file in a [[file]] of its own");
            if (!Shortcut.empty()) {
                if (const auto Fault = ShortcutFault(Shortcut, C.ProgramName))
                    Fail(*T.get("shortcut"), *Fault);
                if (const auto [It, New] = Shortcuts.emplace(TargetKey(Shortcut), T.get("shortcut")); !New)
                    Fail(*T.get("shortcut"), "the shortcut \"" + Shortcut + "\" is also made by line " +
                                                 std::to_string(It->second->source().begin.line));
            }
            if (LowerCase(Target).starts_with("{metatrader}\\experts\\") ||
                LowerCase(Target) == "{metatrader}\\experts")
                Warn(TargetNode, "the target \"" + Target +
                                     "\" is in the terminal's experts folder, which only terminals before build 600 "
                                     "(2014) read; today's terminals read {metatrader}\\MQL4\\Experts, "
                                     "{metatrader}\\MQL4\\Indicators and so on (see docs/manifest.md)");
            const std::string Folder = Target.ends_with("\\") ? Target.substr(0, Target.size() - 1) : Target;
            for (const TSelectedFile& Source : Selected.Files) {
                TPackedFile File;
                File.Target = Selected.Many ? Folder + "\\" + Source.Below : Target;
                File.ShortcutName = Shortcut;
                if (const auto Fault = TargetFault(File.Target, C.ProgramName))
                    Fail(TargetNode, *Fault);
                if (const auto [It, New] = Targets.emplace(TargetKey(File.Target), &TargetNode); !New)
                    Fail(TargetNode, "the target \"" + File.Target + "\" is also written by line " +
                                         std::to_string(It->second->source().begin.line) +
                                         " (Windows does not tell names apart by letter case)");
                AddSource(T, Source.Path, File, C);
            }
        }
    }

    void AddSource(const toml::table& T, const fs::path& Path, TPackedFile& File, TPackageContents& C)
    {
        CheckInside(*T.get("source"), Path);
        const std::string Name = TextOf(Path);
        std::error_code Error;
        const uintmax_t Size = fs::file_size(Path, Error);
        if (!Error && Size > LargeFile)
            Warn(*T.get("source"),
                 "the source \"" + Name + "\" is " + std::to_string(Size >> 20) + " MiB; is it meant to be packed?");
        const TSourceTimes Times = ReadSourceTimes(Name);
        File.CreationTime = Times.CreationTime;
        File.WriteTime = Times.WriteTime;
        File.SourceName = Name;
        File.OpenSource = [&Files = FFiles, Name] { return Files.OpenForReading(Name); };
        FManifest.Inputs.push_back(Name);
        C.Files.push_back(std::move(File));
    }

    std::string FPath;
    fs::path FFolder;
    TStdioFiles& FFiles;
    bool FAllowOutside;
    TManifest FManifest;
    std::map<const toml::node*, std::string> FDefined;
};

} // namespace

TManifest LoadManifest(const std::string& Path, TStdioFiles& Files, const std::vector<std::string>& Defines,
                       bool AllowOutside)
{
    return TManifestReader(Path, Files, AllowOutside).Read(Defines);
}

} // namespace qe
