// What Windows and the installer accept as a file's target, a shortcut name or the
// product's name. Each check returns the reason for a refusal with a hint of the fix,
// or nothing when the text is sound.
#pragma once

#include <optional>
#include <string>

#include "package/TargetPaths.h"

namespace qe {

// The folder macros a target may start with, and the length each is assumed to
// reach on a trader's computer when path limits are checked.
struct TTargetMacro {
    const char* Name;
    const char* Example;
};
extern const TTargetMacro TargetMacros[6];

// Why Name cannot be one file or folder name: what the installer refuses
// (PlainNameFault), and a leading blank.
std::optional<std::string> NameFault(const std::string& Name);

// Why the product name cannot name the program folder, the Start Menu folder and
// the uninstall entry: what the installer refuses (ProgramNameFault), and more than
// 100 characters.
std::optional<std::string> ProductNameFault(const std::string& Name);

// Why Target cannot be installed: an unknown or missing macro, a way out of the
// macro's folder, a name Windows refuses, or a path too long once the macro stands
// for its longest usual value (ProgramName is part of "{app}").
std::optional<std::string> TargetFault(const std::string& Target, const std::string& ProgramName);

// Why a Start Menu shortcut cannot carry Name.
std::optional<std::string> ShortcutFault(const std::string& Name, const std::string& ProgramName);

// Target with its macro in lower case and every letter folded: two targets that
// Windows takes for the same file give the same key.
std::string TargetKey(const std::string& Target);

} // namespace qe
