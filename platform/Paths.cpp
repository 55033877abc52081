#include "platform/Paths.h"

#include "platform/CaseFolding.h"

namespace qe {
namespace {

bool IsDelimiter(char C)
{
    return C == '\\' || C == ':';
}

// Index of the last "\" or ":", or npos.
size_t LastDelimiter(const std::string& Path)
{
    return Path.find_last_of("\\:");
}

} // namespace

std::string ExtractFileDir(const std::string& Path)
{
    size_t I = LastDelimiter(Path);
    if (I == std::string::npos)
        return {};
    // Keep the "\" of a root ("C:\", "\") but not of an ordinary folder.
    if (I > 0 && Path[I] == '\\' && !IsDelimiter(Path[I - 1]))
        return Path.substr(0, I);
    return Path.substr(0, I + 1);
}

std::string ExtractFilePath(const std::string& Path)
{
    const size_t I = LastDelimiter(Path);
    return I == std::string::npos ? std::string() : Path.substr(0, I + 1);
}

std::string ExtractFileName(const std::string& Path)
{
    const size_t I = LastDelimiter(Path);
    return I == std::string::npos ? Path : Path.substr(I + 1);
}

std::string IncludeTrailingDelimiter(const std::string& Path)
{
    if (!Path.empty() && Path.back() == PathDelimiter)
        return Path;
    return Path + PathDelimiter;
}

std::string ExcludeTrailingDelimiter(const std::string& Path)
{
    if (!Path.empty() && Path.back() == PathDelimiter)
        return Path.substr(0, Path.size() - 1);
    return Path;
}

std::string UpperCase(const std::string& Text)
{
    std::string Result = Text;
    for (char& C : Result)
        if (C >= 'a' && C <= 'z')
            C = static_cast<char>(C - 'a' + 'A');
    return Result;
}

std::string LowerCase(const std::string& Text)
{
    std::string Result = Text;
    for (char& C : Result)
        if (C >= 'A' && C <= 'Z')
            C = static_cast<char>(C - 'A' + 'a');
    return Result;
}

bool SameText(const std::string& A, const std::string& B)
{
    return FoldCase(A) == FoldCase(B);
}

std::string Trim(const std::string& Text)
{
    size_t First = 0;
    size_t Last = Text.size();
    while (First < Last && static_cast<unsigned char>(Text[First]) <= ' ')
        ++First;
    while (Last > First && static_cast<unsigned char>(Text[Last - 1]) <= ' ')
        --Last;
    return Text.substr(First, Last - First);
}

bool IsInsideFolder(const std::string& Path, const std::string& Folder)
{
    if (Folder.empty())
        return false;
    // Folded whole: a capital may take other bytes than its small letter.
    const std::string Root = FoldCase(IncludeTrailingDelimiter(Folder));
    const std::string Folded = FoldCase(Path);
    return Folded.size() > Root.size() && Folded.starts_with(Root);
}

} // namespace qe
