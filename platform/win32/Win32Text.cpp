#include "platform/win32/Win32Text.h"

#include <windows.h>

#include <wincrypt.h>

#include <cwchar>

#include "platform/Unicode.h"

namespace qe::win32 {

std::wstring Wide(const std::string& Text)
{
    const std::u16string Units = Utf8ToUtf16(Text);
    return std::wstring(Units.begin(), Units.end());
}

std::string Utf8(const wchar_t* Text, size_t Length)
{
    return Utf16ToUtf8(std::u16string_view(reinterpret_cast<const char16_t*>(Text), Length));
}

std::string Utf8(const wchar_t* Text)
{
    return Utf8(Text, wcslen(Text));
}

std::string Utf8(const std::wstring& Text)
{
    return Utf8(Text.data(), Text.size());
}

std::u16string WideUpperCase(const std::u16string& Text)
{
    std::u16string Result = Text;
    if (!Result.empty())
        CharUpperBuffW(reinterpret_cast<wchar_t*>(Result.data()), static_cast<DWORD>(Result.size()));
    return Result;
}

bool Md5(const void* Data, size_t Size, std::array<uint8_t, 16>& Digest)
{
    HCRYPTPROV Provider = 0;
    if (!CryptAcquireContextW(&Provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
        return false;
    HCRYPTHASH Hash = 0;
    DWORD Length = static_cast<DWORD>(Digest.size());
    const bool Done = CryptCreateHash(Provider, CALG_MD5, 0, 0, &Hash) &&
                      CryptHashData(Hash, static_cast<const BYTE*>(Data), static_cast<DWORD>(Size), 0) &&
                      CryptGetHashParam(Hash, HP_HASHVAL, Digest.data(), &Length, 0) && Length == Digest.size();
    if (Hash != 0)
        CryptDestroyHash(Hash);
    CryptReleaseContext(Provider, 0);
    return Done;
}

} // namespace qe::win32
