// The languages the wizard speaks: one file of texts each (language/texts/CODE.txt),
// built into the program, and the choice of one for a run.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "language/TextTable.h"

namespace qe {

struct TLanguageFile {
    const char* Code;        // as /LANG= and the manifest name it: "en", "de", "pt-BR", "zh-CN"
    std::string_view Source; // the file's UTF-8 contents
};

// Every language built into the program, English first.
std::span<const TLanguageFile> LanguageFiles();
// The language of this code, letter case aside; null when there is none.
const TLanguageFile* FindLanguageFile(std::string_view Code);
// The codes of every language, comma-separated, for messages that list them.
std::string LanguageCodes();

// English, the texts every other language falls back to; read once.
const TTextTable& EnglishTexts();
// The texts of the language of Code (English where its file lacks one); English for a code
// of no language.
TTextTable LoadTexts(std::string_view Code);

// What decides the language of a run, strongest first.
struct TLanguageRequest {
    std::string CommandLine;          // /LANG=xx; empty when not given
    std::string Installed;            // the uninstaller: the language its installation used
    std::string DisplayLanguage;      // the user's Windows display language, "de-DE"
    std::vector<std::string> Offered; // the vendor's choice of languages; empty: all
};

// The language code for a run: the first of the command line's, the installation's and the
// display language's that the vendor offers, else English when offered, else the vendor's
// first. A display language matches a language of the same tag or, failing that, of the
// same primary language ("pt-PT" gets "pt-BR"); Chinese only in its simplified script
// ("zh-CN", "zh-SG", "zh-Hans"), since a reader of traditional characters reads English
// sooner than simplified ones.
std::string ChooseLanguage(const TLanguageRequest& Request);

} // namespace qe
