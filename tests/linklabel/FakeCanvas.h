// A canvas of fixed, known metrics that records what is drawn on it.
#pragma once

#include "linklabel/Canvas.h"

#include <map>
#include <string>
#include <vector>

namespace qe::test {

struct TDrawnText {
    int32_t X;
    int32_t Y;
    std::string Text;
    TFontStyles Styles;
    TColor Color;
};

// Characters are 10 pixels wide, a space 5; bold adds 1 pixel per character. Lines are 13
// pixels high in the plain font and 15 in bold, so that a layout that measures its line
// height in the wrong style shows. Text is UTF-8: a character of several bytes is one
// character, and a string that begins or ends inside one is recorded in CutCharacters.
class TFakeCanvas : public TCanvas {
public:
    void SetFont(const TFont& Font) override
    {
        CurrentFont = Font;
        ++FontSets;
    }
    TFontStyles GetFontStyles() const override { return CurrentFont.Styles; }
    void SetFontStyles(TFontStyles Styles) override { CurrentFont.Styles = Styles; }
    TColor GetFontColor() const override { return CurrentFont.Color; }
    void SetFontColor(TColor Color) override { CurrentFont.Color = Color; }

    int32_t TextWidth(const std::string& S) override
    {
        ++WidthCalls;
        const bool Bold = CurrentFont.Styles.Contains(TFontStyle::fsBold);
        CheckWhole(S);
        int32_t W = 0;
        for (char C : S) {
            if ((static_cast<unsigned char>(C) & 0xC0) == 0x80)
                continue; // inside a character
            auto It = CharWidths.find(C);
            W += It != CharWidths.end() ? It->second : (C == ' ' ? SpaceWidth : CharWidth);
            if (Bold)
                W += 1;
        }
        return W;
    }
    int32_t TextHeight(const std::string&) override
    {
        return CurrentFont.Styles.Contains(TFontStyle::fsBold) ? BoldLineHeight : LineHeight;
    }
    void DrawString(int32_t X, int32_t Y, const std::string& S) override
    {
        CheckWhole(S);
        Drawn.push_back({X, Y, S, CurrentFont.Styles, CurrentFont.Color});
    }
    void FillRectangle(const TRect& Rect, TColor Color) override { Fills.push_back({Rect, Color}); }

    // The drawing calls that drew visible text (the empty ones left by a wrap are skipped).
    std::vector<TDrawnText> Texts() const
    {
        std::vector<TDrawnText> R;
        for (const TDrawnText& D : Drawn)
            if (!D.Text.empty())
                R.push_back(D);
        return R;
    }

    int32_t CharWidth = 10;
    int32_t SpaceWidth = 5;
    int32_t LineHeight = 13;
    int32_t BoldLineHeight = 15;
    std::map<char, int32_t> CharWidths;

    TFont CurrentFont;
    std::vector<TDrawnText> Drawn;
    std::vector<std::pair<TRect, TColor>> Fills;
    int WidthCalls = 0;
    int FontSets = 0;
    std::vector<std::string> CutCharacters;

private:
    void CheckWhole(const std::string& S)
    {
        const bool CutAtStart = !S.empty() && (static_cast<unsigned char>(S.front()) & 0xC0) == 0x80;
        std::size_t Last = S.size();
        while (Last > 0 && (static_cast<unsigned char>(S[Last - 1]) & 0xC0) == 0x80)
            --Last;
        const auto Lead = Last > 0 ? static_cast<unsigned char>(S[Last - 1]) : 0;
        const std::size_t Needed = Lead < 0xC0 ? 0 : Lead < 0xE0 ? 1 : Lead < 0xF0 ? 2 : 3;
        if (CutAtStart || S.size() - Last != Needed)
            CutCharacters.push_back(S);
    }
};

} // namespace qe::test
