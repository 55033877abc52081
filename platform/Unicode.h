// The program's text is UTF-8; Windows' is UTF-16. The conversions between the two, and
// the walk over UTF-8 text one character at a time, with one rule for damaged text: an
// ill-formed sequence (a stray continuation byte, a sequence cut short, an overlong form, a
// surrogate, a value above U+10FFFF) stands for one U+FFFD per maximal part, never for a
// character it seems to encode.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace qe {

constexpr char32_t ReplacementCharacter = 0xFFFD;

// The character at Text[Pos], and Pos moved past it. False for an ill-formed sequence:
// Character is then U+FFFD and Pos moves past the sequence's maximal valid part (at least
// one byte). Pos must be below Text's size.
bool DecodeUtf8(std::string_view Text, size_t& Pos, char32_t& Character);

void AppendUtf8(std::string& Text, char32_t Character);

bool IsValidUtf8(std::string_view Text);
// Text with each ill-formed sequence replaced by U+FFFD.
std::string ValidUtf8(std::string_view Text);

// UTF-8 as UTF-16, an ill-formed sequence as U+FFFD.
std::u16string Utf8ToUtf16(std::string_view Text);
// UTF-16 as UTF-8, an unpaired surrogate as U+FFFD.
std::string Utf16ToUtf8(std::u16string_view Text);
// Whether every surrogate of Text is one of a pair: only then does its UTF-8 name it.
bool IsValidUtf16(std::u16string_view Text);

// The length of UTF-8 text in UTF-16 units, Windows' measure of names and paths.
size_t Utf16Length(std::string_view Text);

// The first Characters characters of Text and "...", for a message that shows a long text
// in part; never cut inside a character.
std::string Abridged(std::string_view Text, size_t Characters);

} // namespace qe
