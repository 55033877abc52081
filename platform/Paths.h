// Text operations on Windows paths: folders are separated by "\", a drive is "X:".
#pragma once

#include <string>

namespace qe {

constexpr char PathDelimiter = '\\';

// Everything before the last "\" (or the drive's ":"), without a trailing "\" unless
// it is a drive root such as "C:\". "" when the path names no folder.
std::string ExtractFileDir(const std::string& Path);
// Everything up to and including the last "\" or ":".
std::string ExtractFilePath(const std::string& Path);
// The part after the last "\" or ":".
std::string ExtractFileName(const std::string& Path);
std::string IncludeTrailingDelimiter(const std::string& Path);
std::string ExcludeTrailingDelimiter(const std::string& Path);
// Upper and lower case of the ASCII letters; other bytes stay, so that positions in the
// result are positions in Text.
std::string UpperCase(const std::string& Text);
std::string LowerCase(const std::string& Text);
// Whether Windows takes A and B for the same name (platform/CaseFolding.h).
bool SameText(const std::string& A, const std::string& B);
// Whether Path lies below Folder (not Folder itself), letter case aside.
bool IsInsideFolder(const std::string& Path, const std::string& Folder);
// Removes leading and trailing blanks and control characters.
std::string Trim(const std::string& Text);

} // namespace qe
