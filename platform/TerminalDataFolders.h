// Where a MetaTrader 4 terminal of today reads its add-ons: not from its install folder
// but from each Windows user's data folder, %APPDATA%\MetaQuotes\Terminal\<ID>, whose
// origin.txt names the install folder. A terminal started with /portable, or never
// started by this user, has none.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace qe {

// The folder that holds the current user's data folders; "" when the user has no
// AppData folder.
std::string TerminalDataRoot(const TPlatform& Platform);

// The name of the data folder of the terminal installed in InstallFolder: the upper-case
// hexadecimal MD5 of the UTF-16LE bytes of the folder's path in capitals, without a
// trailing "\" or terminator; "" when the system can make no digest.
std::string TerminalDataId(const TPlatform& Platform, const std::string& InstallFolder);

// The install folder that the bytes of an origin.txt name: UTF-16LE, with or without a
// byte-order mark and a line end; nothing when they name no absolute path.
std::optional<std::string> ParseOrigin(const std::string& Bytes);

// The current user's data folders, read once.
class TTerminalDataFolders {
public:
    explicit TTerminalDataFolders(const TPlatform& Platform);

    // The data folder of the terminal installed in InstallFolder: the one whose
    // origin.txt names that folder (letter case and a trailing "\" aside), or else the one
    // named by its ID; "" when it has none. Nothing is created.
    std::string Find(const std::string& InstallFolder) const;
    // The install folders that the origin.txt files name, in the order the data folders
    // are listed, without a trailing "\"; unreadable and malformed files are left out.
    std::vector<std::string> Origins() const;

private:
    // A path in the form two paths are compared in: capitals, no trailing "\".
    static std::string Key(const std::string& Path);

    struct TDataFolder {
        std::string Path;
        std::string Origin; // as written, without a trailing "\"
        std::string OriginKey;
    };

    const TPlatform& FPlatform;
    std::string FRoot;
    std::vector<TDataFolder> FFolders;
};

} // namespace qe
