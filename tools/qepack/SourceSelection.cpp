#include "tools/qepack/SourceSelection.h"

#include <algorithm>

#include "platform/Paths.h"

namespace qe {

namespace fs = std::filesystem;

bool NameMatches(const std::string& Pattern, const std::string& Name)
{
    // Greedy matching with one remembered star: linear in practice, no recursion.
    const std::string P = LowerCase(Pattern), N = LowerCase(Name);
    size_t Pi = 0, Ni = 0, Star = std::string::npos, Resume = 0;
    while (Ni < N.size()) {
        if (Pi < P.size() && (P[Pi] == '?' || P[Pi] == N[Ni])) {
            ++Pi;
            ++Ni;
        } else if (Pi < P.size() && P[Pi] == '*') {
            Star = Pi++;
            Resume = Ni;
        } else if (Star != std::string::npos) {
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
    return "the source folder \"" + Dir.string() + "\" holds the symbolic link \"" + Link.string() +
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
        const fs::path P(Relative);
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
            Result.Fault = "the folder \"" + Dir.string() + "\" of the source \"" + Source + "\" does not exist";
            return Result;
        }
        for (const auto& Entry : fs::directory_iterator(Dir, Error)) {
            if (!NameMatches(Last, Entry.path().filename().string()))
                continue;
            if (Entry.is_symlink(Error)) {
                Result.Fault = LinkFault(Dir, Entry.path());
                return Result;
            }
            if (Entry.is_regular_file(Error))
                Result.Files.push_back({Entry.path(), Entry.path().filename().string()});
        }
        if (Result.Files.empty())
            Result.Fault = "the pattern \"" + Source + "\" matches no file in \"" + Dir.string() + "\"";
    } else if (Last.empty() && !Generic.empty()) {
        // "Folder/": every file below it, sub-folders included.
        Result.Many = true;
        const fs::path Dir = Under(Generic);
        if (!fs::is_directory(Dir, Error)) {
            Result.Fault = "the source folder \"" + Dir.string() + "\" does not exist";
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
            std::string Below = fs::relative(It->path(), Dir, Error).generic_string();
            std::replace(Below.begin(), Below.end(), '/', '\\');
            Result.Files.push_back({It->path(), Below});
        }
        if (Result.Files.empty())
            Result.Fault = "the source folder \"" + Dir.string() + "\" holds no file";
    } else {
        const fs::path Path = Under(Generic);
        if (fs::is_directory(Path, Error))
            Result.Fault = "the source \"" + Source + "\" is a folder: write \"" + Generic +
                           "/\" to install every file in it under the target folder, or \"" + Generic +
                           "/*.ex4\" for some of them";
        else if (!fs::exists(Path, Error))
            Result.Fault = "the source file \"" + Path.string() + "\" does not exist";
        else if (!fs::is_regular_file(Path, Error))
            Result.Fault = "the source \"" + Path.string() + "\" is not a plain file";
        else
            Result.Files.push_back({Path, {}});
    }
    std::sort(Result.Files.begin(), Result.Files.end(),
              [](const TSelectedFile& A, const TSelectedFile& B) { return A.Below < B.Below; });
    return Result;
}

} // namespace qe
