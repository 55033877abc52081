// std::filesystem paths from the program's UTF-8 text and back: the same on Linux and on
// Windows, where a path made from narrow text would read it in the ANSI code page.
#pragma once

#include <filesystem>
#include <string>

namespace qe {

inline std::filesystem::path PathOf(const std::string& Utf8)
{
    return std::filesystem::path(std::u8string(Utf8.begin(), Utf8.end()));
}

inline std::string TextOf(const std::filesystem::path& Path)
{
    const std::u8string Utf8 = Path.u8string();
    return std::string(Utf8.begin(), Utf8.end());
}

} // namespace qe
