#include "linklabel/LinkTools.h"

#include <cctype>

namespace qe {

TStaticObject::TStaticObject()
{
    throw EGenericToolsError("This class cannot be instantiated");
}

bool TStringTools::StartsWithText(const std::string& S, const std::string& Prefix)
{
    return S.size() >= Prefix.size() && S.compare(0, Prefix.size(), Prefix) == 0;
}

bool TStringTools::EndsWithText(const std::string& S, const std::string& Suffix)
{
    return S.size() >= Suffix.size() && S.compare(S.size() - Suffix.size(), Suffix.size(), Suffix) == 0;
}

namespace {

unsigned char FoldCase(char C)
{
    return static_cast<unsigned char>(std::toupper(static_cast<unsigned char>(C)));
}

bool SameTextAt(const std::string& S, std::size_t Pos, const std::string& Pattern)
{
    for (std::size_t i = 0; i < Pattern.size(); ++i)
        if (FoldCase(S[Pos + i]) != FoldCase(Pattern[i]))
            return false;
    return true;
}

} // namespace

std::string TStringTools::DeletePattern(const std::string& S, const std::string& Pattern)
{
    if (Pattern.empty())
        return S;
    std::string Result;
    Result.reserve(S.size());
    std::size_t i = 0;
    while (i < S.size()) {
        if (i + Pattern.size() <= S.size() && SameTextAt(S, i, Pattern)) {
            i += Pattern.size();
        } else {
            Result += S[i];
            ++i;
        }
    }
    return Result;
}

std::string TStringTools::StripLineBreaks(const std::string& S)
{
    return DeletePattern(S, "\r\n");
}

bool TStringTools::SubstituteAll(const std::string& Find, const std::string& Replacement, std::string& S)
{
    // An empty pattern is found everywhere and would never stop being replaced.
    if (Find.empty())
        return false;
    // Each search starts again at the beginning of S, so a replacement may form a new match
    // with the text before it. A replacement that itself contains Find would be found again
    // for ever; then the search goes on after the inserted text instead.
    const bool Regrows = Replacement.find(Find) != std::string::npos;
    bool Replaced = false;
    std::size_t From = 0;
    for (std::size_t Pos = S.find(Find); Pos != std::string::npos; Pos = S.find(Find, From)) {
        S.replace(Pos, Find.size(), Replacement);
        Replaced = true;
        From = Regrows ? Pos + Replacement.size() : 0;
    }
    return Replaced;
}

bool TGraphicTools::RectContainsPoint(const TRect& Rect, const TPoint& P)
{
    return Rect.Left <= P.X && P.X <= Rect.Right && Rect.Top <= P.Y && P.Y <= Rect.Bottom;
}

} // namespace qe
