// The switches of setup.exe and Uninstall.exe, in the manner of Windows programs: each
// "/NAME" or "/NAME=value" ("-" may stand for "/"), names in any letter case, a value in
// double quotes where it holds blanks. The text is taken as the system gives it, the
// program's own name first.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "language/Languages.h"

namespace qe {

enum class TUiMode {
    Wizard,     // every page, as a user goes through them
    Silent,     // no questions: the progress page is shown and closes itself
    VerySilent, // no window at all
};

struct TCommandLine {
    TUiMode Mode = TUiMode::Wizard;
    bool SuppressMessageBoxes = false;
    bool CurrentUser = false;
    bool Help = false;
    // The terminal folders to install into instead of those found; none given when empty.
    std::optional<std::vector<std::string>> Terminals;
    std::string LogFile; // "" for no log
    // The wizard's language by its code (/LANG=), in the program's spelling; "" when not
    // given. It wins over the user's display language where the product offers it.
    std::string Language;
    // The text given, after the program's name, for the log.
    std::string Arguments;
    // The first fault in the switches, in words for the user (in the language of the texts
    // the command line was read with); "" when they are sound.
    // Everything else understood is set all the same, so that a faulty command line is
    // reported as quietly, and logged where, the rest of it asks.
    std::string Error;

    // Whether no message box may be shown: /VERYSILENT or /SUPPRESSMSGBOXES.
    bool Quiet() const { return Mode == TUiMode::VerySilent || SuppressMessageBoxes; }
};

// Splits a command line into its arguments: blanks and tabs separate them outside double
// quotes; a double quote starts or ends a quoted part and is dropped. A backslash is
// always itself, so that a quoted folder may end in one ("C:\Trading\").
std::vector<std::string> SplitCommandLine(const std::string& Line);

// The switches of the command line Line. The uninstaller takes no /TERMINALS= and no
// /CURRENTUSER: what it removes is in its record. Faults are worded with Texts.
TCommandLine ParseCommandLine(const std::string& Line, bool Uninstaller, const TTextTable& Texts = EnglishTexts());

// What the /? box says: how to start Program (its file name), the switches and the exit
// codes, lines separated by "\r", in the language of Texts.
std::string CommandLineHelp(const std::string& Program, bool Uninstaller, const TTextTable& Texts = EnglishTexts());

} // namespace qe
