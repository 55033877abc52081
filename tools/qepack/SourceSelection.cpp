#include "tools/qepack/SourceSelection.h"

#include <algorithm>

#include "platform/CaseFolding.h"
#include "platform/Unicode.h"
#include "platform/stdio/Utf8Path.h"

namespace qe {

namespace fs = std::filesystem;

namespace {

// Text as its characters, letters in capitals as Windows compares them.
std::u32string FoldedCharacters(const std::string& Text)
{
    const std::string Folded = FoldCase(Text);
    std::u32string Characters;
    char32_t Character = 0;
    for (size_t Pos = 0; Pos < Folded.size();) {
        DecodeUtf8(Folded, Pos, Character);
        Characters += Character;
    }
    return Characters;
}

} // namespace

bool NameMatches(const std::string& Pattern, const std::string& Name)
{
    // Greedy matching with one remembered star: linear in practice, no recursion. "?" is
    // one character, however many bytes it takes.
    const std::u32string P = FoldedCharacters(Pattern), N = FoldedCharacters(Name);
    size_t Pi = 0, Ni = 0, Star = std::u32string::npos, Resume = 0;
    while (Ni < N.size()) {
        if (Pi < P.size() && (P[Pi] == '?' || P[Pi] == N[Ni])) {
            ++Pi;
            ++Ni;
        } else if (Pi < P.size() && P[Pi] == '*') {
            Star = Pi++;
            Resume = Ni;
        } else if (Star != std::u32string::npos) {
            Pi = Star + 1;
            Ni = ++Resume;
        } else {
            return false;
        }
    }
    while (Pi < P.size() && P[Pi] == '*')
        ++Pi;
    return Pi == P.size();
}

namespace {

std::string LinkFault(const fs::path& Dir, const fs::path& Link)
{
    return "the source folder \"" + TextOf(Dir) + "\" holds the symbolic link \"" + TextOf(Link) +
           "\"; qepack follows no link inside a source folder: copy what it points to into the folder, or name it "
           "as a source of its own";
}

} // namespace

TSourceSelection SelectSources(const fs::path& Folder, const std::string& Source)
{
    std::string Generic = Source;
    std::replace(Generic.begin(), Generic.end(), '\\', '/');
    TSourceSelection Result;
    const auto Under = [&](const std::string& Relative) {
        const fs::path P = PathOf(Relative);
        return P.is_absolute() ? P : Folder / P;
    };
    std::error_code Error;
    const size_t Slash = Generic.rfind('/');
    const std::string Last = Generic.substr(Slash == std::string::npos ? 0 : Slash + 1);

    const std::string Parent = Slash == std::string::npos ? "." : Generic.substr(0, Slash + 1);
    if (Parent.find_first_of("*?") != std::string::npos) {
        Result.Fault = "the source \"" + Source + "\" has * or ? in a folder name; patterns match file names only";
        return Result;
    }
    if (Last.find_first_of("*?") != std::string::npos) {
        Result.Many = true;
        const fs::path Dir = Under(Parent);
        if (!fs::is_directory(Dir, Error)) {
            Result.Fault = "the folder \"" + TextOf(Dir) + "\" of the source \"" + Source + "\" does not exist";
            return Result;
        }
        for (const auto& Entry : fs::directory_iterator(Dir, Error)) {
            if (!NameMatches(Last, TextOf(Entry.path().filename())))
                continue;
            if (Entry.is_symlink(Error)) {
                Result.Fault = LinkFault(Dir, Entry.path());
                return Result;
            }
            if (Entry.is_regular_file(Error))
                Result.Files.push_back({Entry.path(), TextOf(Entry.path().filename())});
        }
        if (Result.Files.empty())
            Result.Fault = "the pattern \"" + Source + "\" matches no file in \"" + TextOf(Dir) + "\"";
    } else if (Last.empty() && !Generic.empty()) {
        // "Folder/": every file below it, sub-folders included.
        Result.Many = true;
        const fs::path Dir = Under(Generic);
        if (!fs::is_directory(Dir, Error)) {
            Result.Fault = "the source folder \"" + TextOf(Dir) + "\" does not exist";
            return Result;
        }
        for (auto It = fs::recursive_directory_iterator(Dir, Error); It != fs::recursive_directory_iterator();
             It.increment(Error)) {
            if (It->is_symlink(Error)) {
                Result.Fault = LinkFault(Dir, It->path());
                return Result;
            }
            if (!It->is_regular_file(Error))
                continue;
            const std::u8string Relative = fs::relative(It->path(), Dir, Error).generic_u8string();
            std::string Below(Relative.begin(), Relative.end());
            std::replace(Below.begin(), Below.end(), '/', '\\');
            Result.Files.push_back({It->path(), Below});
        }
        if (Result.Files.empty())
            Result.Fault = "the source folder \"" + TextOf(Dir) + "\" holds no file";
    } else {
        const fs::path Path = Under(Generic);
        if (fs::is_directory(Path, Error))
            Result.Fault = "the source \"" + Source + "\" is a folder: write \"" + Generic +
                           "/\" to install every file in it under the target folder, or \"" + Generic +
                           "/*.ex4\" for some of them";
        else if (!fs::exists(Path, Error))
            Result.Fault = "the source file \"" + TextOf(Path) + "\" does not exist";
        else if (!fs::is_regular_file(Path, Error))
            Result.Fault = "the source \"" + TextOf(Path) + "\" is not a plain file";
        else
            Result.Files.push_back({Path, {}});
    }
    std::sort(Result.Files.begin(), Result.Files.end(),
              [](const TSelectedFile& A, const TSelectedFile& B) { return A.Below < B.Below; });
    return Result;
}

} // namespace qe
