#include "language/Languages.h"

#include <algorithm>

namespace qe {
namespace {

char Lower(char C)
{
    return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C;
}

bool SameCode(std::string_view A, std::string_view B)
{
    return A.size() == B.size() &&
           std::equal(A.begin(), A.end(), B.begin(), [](char X, char Y) { return Lower(X) == Lower(Y); });
}

std::string_view PrimaryTag(std::string_view Tag)
{
    return Tag.substr(0, Tag.find_first_of("-_"));
}

bool IsSimplifiedChinese(std::string_view Tag)
{
    const std::string_view Rest = Tag.size() > 3 ? Tag.substr(3) : std::string_view();
    return Tag.size() == 2 || SameCode(Rest, "CN") || SameCode(Rest, "SG") || SameCode(Rest.substr(0, 4), "Hans");
}

// The offered language that a display language tag asks for; empty for none.
std::string MatchDisplayLanguage(std::string_view Tag, const std::vector<std::string>& Offered)
{
    for (const std::string& Code : Offered)
        if (SameCode(Code, Tag))
            return Code;
    const std::string_view Primary = PrimaryTag(Tag);
    if (Primary.empty() || (SameCode(Primary, "zh") && !IsSimplifiedChinese(Tag)))
        return {};
    for (const std::string& Code : Offered)
        if (SameCode(PrimaryTag(Code), Primary))
            return Code;
    return {};
}

} // namespace

const TLanguageFile* FindLanguageFile(std::string_view Code)
{
    for (const TLanguageFile& File : LanguageFiles())
        if (SameCode(File.Code, Code))
            return &File;
    return nullptr;
}

std::string LanguageCodes()
{
    std::string Codes;
    for (const TLanguageFile& File : LanguageFiles())
        Codes += (Codes.empty() ? "" : ", ") + std::string(File.Code);
    return Codes;
}

const TTextTable& EnglishTexts()
{
    static const TTextTable English = [] {
        TTextTable Texts = TTextTable::Parse(LanguageFiles().front().Source, "en.txt");
        Texts.SetLanguage(LanguageFiles().front().Code);
        return Texts;
    }();
    return English;
}

TTextTable LoadTexts(std::string_view Code)
{
    const TLanguageFile* File = FindLanguageFile(Code);
    if (!File || File == &LanguageFiles().front())
        return EnglishTexts();
    TTextTable Texts = TTextTable::Parse(File->Source, std::string(File->Code) + ".txt", &EnglishTexts());
    Texts.SetLanguage(File->Code);
    return Texts;
}

std::string ChooseLanguage(const TLanguageRequest& Request)
{
    // Only languages the program has count, each in its own spelling.
    std::vector<std::string> Offered;
    for (const std::string& Code : Request.Offered)
        if (const TLanguageFile* File = FindLanguageFile(Code))
            Offered.push_back(File->Code);
    if (Offered.empty())
        for (const TLanguageFile& File : LanguageFiles())
            Offered.push_back(File.Code);

    for (const std::string* Asked : {&Request.CommandLine, &Request.Installed})
        for (const std::string& Code : Offered)
            if (SameCode(Code, *Asked))
                return Code;
    if (std::string Match = MatchDisplayLanguage(Request.DisplayLanguage, Offered); !Match.empty())
        return Match;
    const std::string English = LanguageFiles().front().Code;
    return std::find(Offered.begin(), Offered.end(), English) != Offered.end() ? English : Offered.front();
}

} // namespace qe
