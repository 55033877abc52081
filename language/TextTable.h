// One language's texts, read from its file. A language file is UTF-8 text that a
// translator edits: one "Name = Text" line per text, "#" lines are comments. Inside a
// text, %1 to %9 stand for what the program puts in (a product name, a path), %n for a
// line break within a message, and %% for a percent sign.
#pragma once

#include <array>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "language/TextIds.h"
#include "platform/Exceptions.h"

namespace qe {

// A language file that cannot be read; the message names the file and the line.
class ELanguageError : public Exception {
public:
    using Exception::Exception;
};

class TTextTable {
public:
    // Reads Source, the contents of the file FileName (named in errors). Raises for a line
    // without "=", a name that is no text's or is given twice, text that is not UTF-8 and a
    // "%" that starts none of the placeholders above. A text the file does not give is
    // taken from Fallback; without one it stays missing (Missing() lists it).
    static TTextTable Parse(std::string_view Source, const std::string& FileName, const TTextTable* Fallback = nullptr);

    // The text as the file gives it, placeholders and all; empty when missing.
    const std::string& Raw(TText Id) const { return FTexts[static_cast<size_t>(Id)]; }
    // The text with its placeholders replaced: %1 by the first of Args and so on, %n by a
    // carriage return (the program's line break within a message), %% by "%".
    std::string Format(TText Id, std::initializer_list<std::string_view> Args = {}) const;
    // The texts the file did not give and no fallback filled in.
    std::vector<TText> Missing() const;
    // The code of the language, as LoadTexts gives it ("de"); empty for a table read
    // otherwise.
    const std::string& Language() const { return FLanguage; }
    void SetLanguage(const std::string& Code) { FLanguage = Code; }

private:
    std::array<std::string, TextCount> FTexts;
    std::array<bool, TextCount> FGiven{};
    std::string FLanguage;
};

// Text with its placeholders replaced, as TTextTable::Format does.
std::string FormatText(std::string_view Text, std::initializer_list<std::string_view> Args = {});

// The numbered placeholders a text uses, as a bit set (bit 1 for %1, ... bit 9 for %9).
unsigned PlaceholdersOf(std::string_view Text);

} // namespace qe
