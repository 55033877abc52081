// Where the program's text (UTF-8) meets Windows' (UTF-16): every string that goes to or
// comes from the wide ("W") API passes through here, the same conversion for every call.
// Also Windows' own capitals and its MD5 digest (CryptoAPI), which the portable side takes
// when it runs on Windows.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace qe::win32 {

// UTF-8 as the API's UTF-16; an ill-formed sequence becomes U+FFFD (platform/Unicode.h).
std::wstring Wide(const std::string& Text);
// The API's UTF-16 as UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf8(const wchar_t* Text, size_t Length);
// Up to the first NUL.
std::string Utf8(const wchar_t* Text);
std::string Utf8(const std::wstring& Text);

std::u16string WideUpperCase(const std::u16string& Text);
bool Md5(const void* Data, size_t Size, std::array<uint8_t, 16>& Digest);

} // namespace qe::win32
