// Geometry, colours and font descriptions shared by the link label's layout code and the
// canvases it draws on. Plain values only: nothing here knows about a windowing system.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>

namespace qe {

struct TPoint {
    int32_t X = 0;
    int32_t Y = 0;
    bool operator==(const TPoint&) const = default;
};

// Left, Top, Right, Bottom in pixels.
struct TRect {
    int32_t Left = 0;
    int32_t Top = 0;
    int32_t Right = 0;
    int32_t Bottom = 0;
    bool operator==(const TRect&) const = default;
    int32_t Width() const { return Right - Left; }
    int32_t Height() const { return Bottom - Top; }
};

// A colour in the platform's blue-green-red order (0x00BBGGRR). Values with the top byte
// 0xFF name a system colour by its index in the low byte (clWindowText is index 8).
using TColor = uint32_t;

constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clWindowText = clSystemColor | 8;
constexpr TColor clBtnFace = clSystemColor | 15;
constexpr TColor clWindow = clSystemColor | 5;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clPurple = 0x800080;

inline bool IsSystemColor(TColor Color)
{
    return (Color & 0xFF000000) == clSystemColor;
}

enum class TFontStyle : uint8_t { fsBold = 0, fsItalic = 1, fsUnderline = 2, fsStrikeOut = 3 };

// A set of font styles, one bit per TFontStyle.
class TFontStyles {
public:
    constexpr TFontStyles() = default;
    constexpr TFontStyles(std::initializer_list<TFontStyle> Styles)
    {
        for (TFontStyle S : Styles)
            FBits |= Bit(S);
    }
    constexpr bool Contains(TFontStyle S) const { return (FBits & Bit(S)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr TFontStyles operator+(TFontStyle S) const { return FromBits(FBits | Bit(S)); }
    constexpr TFontStyles operator+(TFontStyles Other) const { return FromBits(FBits | Other.FBits); }
    constexpr TFontStyles operator-(TFontStyle S) const { return FromBits(FBits & ~Bit(S)); }
    constexpr bool operator==(const TFontStyles&) const = default;
    constexpr uint8_t Bits() const { return FBits; }
    static constexpr TFontStyles FromBits(uint8_t Bits)
    {
        TFontStyles R;
        R.FBits = Bits & 0x0F;
        return R;
    }

private:
    static constexpr uint8_t Bit(TFontStyle S) { return static_cast<uint8_t>(1u << static_cast<unsigned>(S)); }
    uint8_t FBits = 0;
};

// What a control asks of the font it draws with.
struct TFont {
    std::string Name = "MS Sans Serif";
    int32_t Size = 8; // points
    TColor Color = clWindowText;
    TFontStyles Styles;
    // The rest describes a font handed over by a window exactly, in the window system's
    // terms; left at 0, Size and Styles alone say what is drawn.
    int32_t Height = 0;  // pixels, negative for the character height; used instead of Size
    int32_t Weight = 0;  // of the text without the bold style
    uint8_t Charset = 1; // the system's default character set
    uint8_t Quality = 0;
    uint8_t PitchAndFamily = 0;
    bool operator==(const TFont&) const = default;
};

} // namespace qe
