#include "language/TextTable.h"

#include "platform/Unicode.h"

#include <optional>
#include <vector>

namespace qe {
namespace {

constexpr std::string_view Blanks = " \t";

std::string_view Trimmed(std::string_view Text)
{
    const size_t First = Text.find_first_not_of(Blanks);
    if (First == std::string_view::npos)
        return {};
    return Text.substr(First, Text.find_last_not_of(Blanks) - First + 1);
}

// Calls Each(Kind) for every placeholder of Text, Kind being its character after "%";
// false when a "%" starts none.
template <class F> bool ForEachPlaceholder(std::string_view Text, F Each)
{
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] != '%')
            continue;
        if (I + 1 == Text.size())
            return false;
        const char Kind = Text[++I];
        if (!(Kind == 'n' || Kind == '%' || (Kind >= '1' && Kind <= '9')))
            return false;
        Each(Kind);
    }
    return true;
}

std::optional<TText> TextByName(std::string_view Name)
{
    for (size_t I = 0; I < TextCount; ++I)
        if (Name == TextName(static_cast<TText>(I)))
            return static_cast<TText>(I);
    return std::nullopt;
}

} // namespace

const char* TextName(TText Id)
{
    static const char* const Names[] = {
#define QE_TEXT_NAME(Name) #Name,
        QE_TEXT_IDS(QE_TEXT_NAME)
#undef QE_TEXT_NAME
    };
    return Names[static_cast<size_t>(Id)];
}

TTextTable TTextTable::Parse(std::string_view Source, const std::string& FileName, const TTextTable* Fallback)
{
    TTextTable Table;
    if (Source.substr(0, 3) == "\xEF\xBB\xBF")
        Source.remove_prefix(3);
    size_t LineNumber = 0;
    while (!Source.empty()) {
        ++LineNumber;
        const size_t End = Source.find('\n');
        std::string_view Line = Source.substr(0, End);
        Source.remove_prefix(End == std::string_view::npos ? Source.size() : End + 1);
        if (!Line.empty() && Line.back() == '\r')
            Line.remove_suffix(1);
        const auto Fail = [&](const std::string& What) {
            throw ELanguageError(FileName + ":" + std::to_string(LineNumber) + ": " + What);
        };
        if (!IsValidUtf8(Line))
            Fail("the line is not UTF-8 text; save the file as UTF-8");
        Line = Trimmed(Line);
        if (Line.empty() || Line.front() == '#')
            continue;
        const size_t Equals = Line.find('=');
        if (Equals == std::string_view::npos)
            Fail("a text line is \"Name = Text\"");
        const std::string_view Name = Trimmed(Line.substr(0, Equals));
        const std::string_view Text = Trimmed(Line.substr(Equals + 1));
        const std::optional<TText> Id = TextByName(Name);
        if (!Id)
            Fail("\"" + std::string(Name) + "\" is the name of no text");
        const auto Index = static_cast<size_t>(*Id);
        if (Table.FGiven[Index])
            Fail("\"" + std::string(Name) + "\" is given twice");
        if (!ForEachPlaceholder(Text, [](char) {}))
            Fail("a \"%\" is followed by none of 1 to 9, n or %");
        Table.FTexts[Index] = Text;
        Table.FGiven[Index] = true;
    }
    if (Fallback)
        for (size_t I = 0; I < TextCount; ++I)
            if (!Table.FGiven[I] && Fallback->FGiven[I]) {
                Table.FTexts[I] = Fallback->FTexts[I];
                Table.FGiven[I] = true;
            }
    return Table;
}

std::string TTextTable::Format(TText Id, std::initializer_list<std::string_view> Args) const
{
    return FormatText(Raw(Id), Args);
}

std::string FormatText(std::string_view Text, std::initializer_list<std::string_view> Args)
{
    std::string Result;
    Result.reserve(Text.size());
    for (size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] != '%' || I + 1 == Text.size()) {
            Result += Text[I];
            continue;
        }
        const char Kind = Text[++I];
        if (Kind == 'n')
            Result += '\r';
        else if (Kind == '%')
            Result += '%';
        else if (const auto Number = static_cast<size_t>(Kind - '1'); Number < Args.size())
            Result += Args.begin()[Number];
    }
    return Result;
}

std::vector<TText> TTextTable::Missing() const
{
    std::vector<TText> Result;
    for (size_t I = 0; I < TextCount; ++I)
        if (!FGiven[I])
            Result.push_back(static_cast<TText>(I));
    return Result;
}

unsigned PlaceholdersOf(std::string_view Text)
{
    unsigned Set = 0;
    ForEachPlaceholder(Text, [&](char Kind) {
        if (Kind >= '1' && Kind <= '9')
            Set |= 1u << (Kind - '0');
    });
    return Set;
}

} // namespace qe
