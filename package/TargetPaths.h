// What the paths and names in a package or an uninstall record must be before a run with
// an administrator's rights uses them: plain paths that Windows' path parser reads as they
// are written. One check for the install run, the uninstall run and the producer (qepack
// build and verify), so that what the producer packs the installer installs, and what a
// crafted package or record holds beyond it, both refuse. Each check returns the reason
// for a refusal in the language of Texts, or nothing when the text is sound; the producer
// speaks English, the installer its wizard's language.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "language/Languages.h"

namespace qe {

class TQeInstall;

// The folder macros a target starts with, in lower case.
extern const char* const TargetMacroNames[6];

// Why Name is not one plain name of a file or folder: empty, "." or "..", a character
// Windows refuses in names (< > : " / \ | ? * and control characters), a trailing dot or
// blank (which Windows drops), a device name (CON, NUL, COM1, LPT1.txt ...), the form of a
// short name that stands for another name (PROGRA~1), or longer than 255 characters.
std::optional<std::string> PlainNameFault(const std::string& Name, const TTextTable& Texts = EnglishTexts());

// Why Path is not plain names separated by single "\" (no drive, no leading "\").
std::optional<std::string> PlainRelativePathFault(const std::string& Path, const TTextTable& Texts = EnglishTexts());

// Why Path is not a plain absolute path: a drive, ":\" and plain names; no "\\?\",
// "\\.\" or network ("\\server\share") prefix.
std::optional<std::string> PlainPathFault(const std::string& Path, const TTextTable& Texts = EnglishTexts());

// The macro Target starts with, in lower case ("{app}"); empty when none.
std::string TargetMacroOf(const std::string& Target);

// Why an unexpanded target cannot be installed: it must be a macro, "\" and a plain
// relative path that holds no further macro. Hint follows the reasons about the macro.
std::optional<std::string> TargetPathFault(const std::string& Target, const TTextTable& Texts = EnglishTexts(),
                                           const std::string& Hint = {});

// Why ProgramName cannot name the program folder, the Start Menu folder and the uninstall
// entry: it must be one plain name, and hold no macro that the program folder's value
// would bring into the targets.
std::optional<std::string> ProgramNameFault(const std::string& ProgramName, const TTextTable& Texts = EnglishTexts());

// Every path fault of a package's model, in words for the user in the language of the
// model's texts ("the target "..." cannot be installed: ..."): the product name and the
// website shortcut it names, then each file entry's target and shortcut (one entry per
// file, empty when it is sound).
struct TPathFaults {
    std::optional<std::string> Package;
    std::vector<std::string> Files;
};
TPathFaults PackagePathFaults(const TQeInstall& Model);

} // namespace qe
